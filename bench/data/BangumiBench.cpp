// The programme store on a real day's programme, each figure next to the least a correct reader
// must do: read the file and decode every line once.

#include "data/cBangumiFile.h"

#include "bench/data/BenchSupport.h"
#include "platform/MessageBox.h"
#include "platform/SjisText.h"
#include "platform/mMyFunc.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tidewake;

const QString kProgramme = QStringLiteral(TIDEWAKE_SHARED_DATA "/B/b240101.txt");

bool HaveProgramme(benchmark::State& state) { return bench::HaveSample(state, kProgramme); }

// A program folder holding the store converted from the real programme.
struct Folder : bench::TempProgramFolder {
  Folder() {
    cBangumiFile b;
    b.FileConv(kProgramme);
  }
};

void Baseline_ReadAndDecodeProgramme(benchmark::State& state) {
  if (!HaveProgramme(state)) return;
  for (auto _ : state) benchmark::DoNotOptimize(bench::ReadAndDecode(kProgramme));
}
BENCHMARK(Baseline_ReadAndDecodeProgramme)->Unit(benchmark::kMicrosecond);

void Baseline_ReadAndDecodeStore(benchmark::State& state) {
  if (!HaveProgramme(state)) return;
  Folder folder;
  const QString store = AppFilePath(QStringLiteral("BANGUMI.BRF"));
  for (auto _ : state) benchmark::DoNotOptimize(bench::ReadAndDecode(store));
}
BENCHMARK(Baseline_ReadAndDecodeStore)->Unit(benchmark::kMicrosecond);

void FileConv(benchmark::State& state) {
  if (!HaveProgramme(state)) return;
  Folder folder;
  cBangumiFile b;
  for (auto _ : state) benchmark::DoNotOptimize(b.FileConv(kProgramme));
}
BENCHMARK(FileConv)->Unit(benchmark::kMicrosecond);

void KaisaiCheck(benchmark::State& state) {
  if (!HaveProgramme(state)) return;
  Folder folder;
  cBangumiFile b;
  for (auto _ : state) {
    KyoteijyoTable table;
    QString name;
    benchmark::DoNotOptimize(b.KaisaiCheck(table, name));
  }
}
BENCHMARK(KaisaiCheck)->Unit(benchmark::kMicrosecond);

void FileLoad_LastBlock(benchmark::State& state) {
  if (!HaveProgramme(state)) return;
  Folder folder;
  cBangumiFile b;
  for (auto _ : state) {
    QString name;
    benchmark::DoNotOptimize(b.FileLoad(QStringLiteral("06"), name));
  }
}
BENCHMARK(FileLoad_LastBlock)->Unit(benchmark::kMicrosecond);

}  // namespace
