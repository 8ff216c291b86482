// How much processor a run's frame pacing costs: 20 frames of 100 ms (the fast display speed)
// waited out through QtClock::Wait, which sleeps in a nested event loop, beside the same frames
// paced by a wait that delivers events in a loop until the deadline (the baseline, measured in
// the same run). Each reports the processor time over the wall time of its frames (getrusage,
// user and system, the whole process) and how late past its deadline a frame ended on average.

#include "ui/qtplatform/QtClock.h"

#include <QApplication>
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>

using namespace tidewake;

namespace {

constexpr int kFrames = 20;
constexpr std::int32_t kFramePeriod = 100;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The baseline: delivering events over and over until the counter has moved on far enough.
void SpinUntil(QtClock& clock, std::int32_t start, std::int32_t ms) {
  while (clock.Milliseconds() - start < ms) QCoreApplication::processEvents();
}

// One run of frames as a race paces them: read the counter, let events through once, wait the
// rest of the period out.
template <typename WaitRest>
void RunFrames(benchmark::State& state, WaitRest waitRest, double* cpuShareOut) {
  QtClock clock;
  double cpu = 0;
  double wall = 0;
  double late = 0;
  for (auto _ : state) {
    const double cpu0 = CpuSeconds();
    const double wall0 = WallSeconds();
    for (int f = 0; f < kFrames; ++f) {
      const std::int32_t start = clock.Milliseconds();
      clock.DoEvents();
      waitRest(clock, start, kFramePeriod - (clock.Milliseconds() - start));
      late += clock.Milliseconds() - start - kFramePeriod;
    }
    cpu += CpuSeconds() - cpu0;
    wall += WallSeconds() - wall0;
  }
  const double share = wall > 0 ? cpu / wall : 0;
  state.counters["cpu_ms"] = cpu * 1000 / static_cast<double>(state.iterations());
  state.counters["wall_ms"] = wall * 1000 / static_cast<double>(state.iterations());
  state.counters["cpu_per_wall_%"] = share * 100;
  state.counters["late_ms_per_frame"] = late / static_cast<double>(state.iterations() * kFrames);
  if (cpuShareOut) *cpuShareOut = share;
}

double gSpinShare = 0;

void BM_FramesPacedBySpinningEvents(benchmark::State& state) {
  RunFrames(
      state,
      [](QtClock& clock, std::int32_t start, std::int32_t rest) {
        if (rest > 0) SpinUntil(clock, start, kFramePeriod);
      },
      &gSpinShare);
}
BENCHMARK(BM_FramesPacedBySpinningEvents)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_FramesPacedByQtClockWait(benchmark::State& state) {
  double share = 0;
  RunFrames(
      state, [](QtClock& clock, std::int32_t, std::int32_t rest) { clock.Wait(rest); }, &share);
  // The processor the sleeping wait uses as a fraction of what spinning uses, in the same run.
  if (gSpinShare > 0) state.counters["vs_spinning"] = share / gSpinShare;
}
BENCHMARK(BM_FramesPacedByQtClockWait)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
