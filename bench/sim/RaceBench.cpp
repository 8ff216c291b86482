// A whole race and a whole exhibition run headless: the headless scene, a virtual clock that
// only counts (no pacing), a seeded generator. Each is measured next to the bare arithmetic of
// the same number of boat-frames (the speed model and a move, nothing else), the least a run of
// that length must do.
//
// Counters: "frames" per run (the race's with its twenty run-up steps); "frame_time", one frame's
// work. Its share of the 100 ms frame period of the display speed "速い" is frame_time / 100 ms.

#include "platform/Clock.h"
#include "platform/Random.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tidewake;

class CountingClock final : public IClock {
 public:
  std::int32_t Milliseconds() override { return now_; }
  void DoEvents() override {}
  void Wait(std::int32_t ms) override {
    if (ms > 0) now_ += ms;
  }

 private:
  std::int32_t now_ = 0;
};

class SeededRandom final : public IRandom {
 public:
  float Rnd() override { return engine_.NextSingle(); }
  void Randomize() override {}

 private:
  Pcg32 engine_{2024};
};

struct Installed {
  CountingClock clock;
  SeededRandom random;
  Installed() {
    SetClock(&clock);
    SetRandom(&random);
  }
  ~Installed() {
    SetClock(nullptr);
    SetRandom(nullptr);
  }
};

// The demo card, as EntrantDataSet copies it.
void DemoEntrants() {
  const float weight[] = {50, 50, 51, 50, 52, 50};
  const float win[] = {9.27f, 8.92f, 9.53f, 9.15f, 8.99f, 8.91f};
  const float two[] = {67.30f, 55.00f, 66.67f, 61.40f, 62.48f, 66.12f};
  const float motor[] = {49.67f, 46.34f, 39.06f, 47.83f, 43.20f, 46.83f};
  const float boat[] = {41.22f, 39.84f, 39.20f, 43.75f, 42.86f, 39.67f};
  for (std::size_t i = 0; i < 6; ++i) {
    EntrantType& e = gtypEntrant[i];
    e.Weight = weight[i];
    e.Syoritu = win[i];
    e.Rentairitu2 = two[i];
    e.MotorRentairitu2 = motor[i];
    e.BoatRentairitu2 = boat[i];
    e.Course = static_cast<std::int16_t>(i + 1);
    e.Name = QStringLiteral("選手");
  }
}

void SetCounters(benchmark::State& state, double frames) {
  state.counters["frames"] = benchmark::Counter(frames / static_cast<double>(state.iterations()));
  state.counters["frame_time"] = benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations());
}

// The arithmetic floor of `frames` frames of six boats: a motor loss, the speed and a move.
void BareFrames(benchmark::State& state, int frames) {
  Installed installed;
  DemoEntrants();
  double total = 0;
  for (auto _ : state) {
    for (int f = 0; f < frames; ++f) {
      for (EntrantType& e : gtypEntrant) {
        const auto rpm = static_cast<std::int16_t>(GearToRpm(9) - MotorLoss(e.MotorRentairitu2));
        e.Speed = KmhToMs(BoatSpeed(rpm, e.Weight));
        e.X += e.Speed;
      }
    }
    benchmark::DoNotOptimize(gtypEntrant);
    total += frames;
  }
  SetCounters(state, total);
}

void Baseline_BareFramesOfARace(benchmark::State& state) { BareFrames(state, 185); }
BENCHMARK(Baseline_BareFramesOfARace)->Unit(benchmark::kMicrosecond);

void WholeRace(benchmark::State& state) {
  Installed installed;
  double frames = 0;
  for (auto _ : state) {
    PoolInit();
    DemoEntrants();
    std::int32_t period = 100;
    RaceStart(period);
    frames += 20 + gintFrame;  // the run-up's steps and the race's frames
  }
  SetCounters(state, frames);
}
BENCHMARK(WholeRace)->Unit(benchmark::kMicrosecond);

void Baseline_BareFramesOfAnExhibition(benchmark::State& state) { BareFrames(state, 155); }
BENCHMARK(Baseline_BareFramesOfAnExhibition)->Unit(benchmark::kMicrosecond);

void WholeExhibitionRun(benchmark::State& state) {
  Installed installed;
  double frames = 0;
  for (auto _ : state) {
    PoolInit();
    DemoEntrants();
    std::int32_t period = 100;
    TestRun(period);
    frames += gintFrame;
  }
  SetCounters(state, frames);
}
BENCHMARK(WholeExhibitionRun)->Unit(benchmark::kMicrosecond);

}  // namespace
