// The racer store on the real fan handbook, each figure next to the least any reader of the file
// must do: read it and split it into lines.
//
//   ./build/bench/data/data_bench --benchmark_filter='Fan|Sensyu'

#include "data/cSensyuFile.h"

#include "bench/data/BenchSupport.h"
#include "platform/LineReader.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tidewake;

const QString kFan = QStringLiteral(TIDEWAKE_SHARED_DATA "/F/fan2604.txt");

bool HaveFan(benchmark::State& state) { return bench::HaveSample(state, kFan); }

// Fifty numbers spread over the whole file, ascending, as a meeting's participant list is.
QStringList FiftyRacers() {
  cSensyuFile all;
  QStringList every;
  all.FileLoad(kFan, every, 0);
  QStringList list{QString()};
  const qsizetype step = (every.size() - 1) / 50;
  for (qsizetype k = 1; list.size() <= 50; k += step) list << every[k];
  return list;
}

void Baseline_ReadAndSplitFan(benchmark::State& state) {
  if (!HaveFan(state)) return;
  for (auto _ : state) {
    FileLineReader reader(kFan);
    QByteArray line;
    qsizetype bytes = 0;
    while (reader.Next(line)) bytes += line.size();
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(Baseline_ReadAndSplitFan)->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);

void SensyuFileLoad_50Racers(benchmark::State& state) {
  if (!HaveFan(state)) return;
  const QStringList fifty = FiftyRacers();
  cSensyuFile store;
  for (auto _ : state) {
    QStringList list = fifty;
    benchmark::DoNotOptimize(store.FileLoad(kFan, list, 0));
  }
}
BENCHMARK(SensyuFileLoad_50Racers)->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);

void SensyuFileLoad_EveryRacer(benchmark::State& state) {
  if (!HaveFan(state)) return;
  cSensyuFile store;
  for (auto _ : state) {
    QStringList list;
    benchmark::DoNotOptimize(store.FileLoad(kFan, list, 0));
  }
}
BENCHMARK(SensyuFileLoad_EveryRacer)->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);

// 1,000 questions about the fifty racers loaded, stored and computed figures alike.
void SensyuGetters_1000Calls(benchmark::State& state) {
  if (!HaveFan(state)) return;
  QStringList fifty = FiftyRacers();
  cSensyuFile store;
  store.FileLoad(kFan, fifty, 0);
  for (auto _ : state) {
    float sum = 0;
    for (int call = 0; call < 1000; call += 5) {
      const QString& no = fifty[1 + (call / 5) % 50];
      const auto course = static_cast<std::int16_t>(1 + call % 6);
      sum += store.Syoritu(no);
      sum += store.CourseStartTiming(no, course);
      sum += store.InSisu(no);
      sum += static_cast<float>(store.Ability(no));
      sum += static_cast<float>(store.NameKanji(no).size());
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(SensyuGetters_1000Calls)->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.3);

}  // namespace
