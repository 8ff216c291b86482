// The results store on a real day's results, each figure next to the least a correct reader must
// do: read the file and decode every line once.

#include "data/cKekkaFile.h"

#include "bench/data/BenchSupport.h"
#include "platform/mMyFunc.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tidewake;

const QString kResults = QStringLiteral(TIDEWAKE_SHARED_DATA "/K/k240101.txt");

bool HaveResults(benchmark::State& state) { return bench::HaveSample(state, kResults); }

// A program folder holding the store copied from the real results.
struct KekkaFolder : bench::TempProgramFolder {
  KekkaFolder() {
    cKekkaFile k;
    k.FileConv(kResults);
  }
};

void Baseline_ReadAndDecodeResults(benchmark::State& state) {
  if (!HaveResults(state)) return;
  KekkaFolder folder;
  const QString store = AppFilePath(QStringLiteral("KEKKA.BRF"));
  for (auto _ : state) benchmark::DoNotOptimize(bench::ReadAndDecode(store));
}
BENCHMARK(Baseline_ReadAndDecodeResults)->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);

// The first block (大村, 24) and the last (常滑, 06): the load skips the blocks before
// the one asked for without decoding them.
void KekkaFileLoad(benchmark::State& state, const char* code) {
  if (!HaveResults(state)) return;
  KekkaFolder folder;
  cKekkaFile k;
  for (auto _ : state) {
    QString name;
    benchmark::DoNotOptimize(k.FileLoad(QString::fromLatin1(code), name));
  }
}
BENCHMARK_CAPTURE(KekkaFileLoad, FirstBlock, "24")->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);
BENCHMARK_CAPTURE(KekkaFileLoad, LastBlock, "06")->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);

void KekkaKaisaiCheck(benchmark::State& state) {
  if (!HaveResults(state)) return;
  KekkaFolder folder;
  cKekkaFile k;
  for (auto _ : state) {
    KyoteijyoTable table;
    QString name;
    benchmark::DoNotOptimize(k.KaisaiCheck(table, name));
  }
}
BENCHMARK(KekkaKaisaiCheck)->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);

// The import reads every venue before it copies the bytes.
void KekkaFileConv(benchmark::State& state) {
  if (!HaveResults(state)) return;
  KekkaFolder folder;
  cKekkaFile k;
  for (auto _ : state) benchmark::DoNotOptimize(k.FileConv(kResults));
}
BENCHMARK(KekkaFileConv)->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);

}  // namespace
