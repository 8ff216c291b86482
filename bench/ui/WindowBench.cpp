// A real race in the real window, as the user runs it at the fast speed (100 ms a frame):
//
// - CpuWhileARaceAnimates/QtClock: CPU time over wall time (getrusage) while the race animates,
//   paced by the window's clock, which sleeps in the event loop between frames;
//   CpuWhileARaceAnimates/SpinningWait: the same race paced by a wait that spins on
//   processEvents until the deadline, the baseline. Counter "cpu_pct": percent of one core.
// - FrameWork: the same race with no pacing at all (a clock that only counts), so the wall time
//   is the window's own work: move and draw six boats, show the water. Counter "frame_us" is one
//   frame's work, "period_pct" its share of the 100 ms period.
//
// The generator is seeded the same for every run, so each measures the very same race: venue 24
// race 12 of 2024/1/1 with the 2026 handbook. Run offscreen or under a display:
//   QT_QPA_PLATFORM=offscreen ./build/bench/ui/window_bench

#include "data/cBangumiFile.h"
#include "data/mSensyuStore.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/SjisText.h"
#include "platform/mMyFunc.h"
#include "sim/mGlobal.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/FontSubstitutions.h"
#include "ui/qtplatform/QtClock.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>

namespace {

using namespace tidewake;

class SeededRandom final : public IRandom {
 public:
  float Rnd() override { return engine_.NextSingle(); }
  void Randomize() override { engine_.Seed(2024); }

 private:
  Pcg32 engine_{2024};
};

// Paces like the window's clock, but waits by spinning on the event queue.
class SpinningClock final : public IClock {
 public:
  SpinningClock() { timer_.start(); }
  std::int32_t Milliseconds() override { return static_cast<std::int32_t>(timer_.elapsed()); }
  void DoEvents() override { QCoreApplication::processEvents(); }
  void Wait(std::int32_t ms) override {
    const qint64 end = timer_.elapsed() + ms;
    while (timer_.elapsed() < end) QCoreApplication::processEvents();
  }

 private:
  QElapsedTimer timer_;
};

// Lets the window's events through but never waits: time advances only by what the run asks.
class CountingClock final : public IClock {
 public:
  std::int32_t Milliseconds() override { return now_; }
  void DoEvents() override {
    ++frames;
    QCoreApplication::processEvents();
  }
  void Wait(std::int32_t ms) override {
    if (ms > 0) now_ += ms;
  }
  int frames = 0;

 private:
  std::int32_t now_ = 0;
};

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The window on the real race, at the fast speed, shown, paced by `clock`, with the generator
// seeded the same for every run; both are put back when it goes.
class RealRace {
 public:
  explicit RealRace(IClock& clock) {
    previousRandom_ = SetRandom(&random_);
    previousClock_ = SetClock(&clock);
    const QString data = QStringLiteral(TIDEWAKE_SHARED_DATA);
    SetAppFolder(folder_.path());
    cBangumiFile bangumi;
    if (!bangumi.FileConv(data + QStringLiteral("/B/b240101.txt")) ||
        !SensyuStoreUpdate(data + QStringLiteral("/F/fan2604.txt"))) {
      return;
    }
    window_ = std::make_unique<frmMain>();
    Action("mnuFileOpenOld")->trigger();
    if (!window_->Session().ChooseVenue(24) || !window_->Session().ChooseRace(12)) return;
    Action("mnuRaceSpeedHi")->trigger();
    window_->show();
    QCoreApplication::processEvents();
    ok_ = true;
  }
  ~RealRace() {
    window_.reset();
    SetAppFolder(QString());
    SetClock(previousClock_);
    SetRandom(previousRandom_);
  }
  RealRace(const RealRace&) = delete;
  RealRace& operator=(const RealRace&) = delete;

  // False (and the benchmark is skipped) when the real files are not there.
  bool Ready(benchmark::State& state) const {
    if (!ok_) state.SkipWithError("the real files are not in ../shared/data");
    return ok_;
  }

  // Runs the race once and goes back to the card; the wall seconds the race took.
  double Run() {
    QElapsedTimer timer;
    timer.start();
    Action("mnuRaceStart")->trigger();
    const double wall = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    window_->findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
    return wall;
  }

 private:
  QAction* Action(const char* name) { return window_->findChild<QAction*>(QString::fromLatin1(name)); }
  SeededRandom random_;
  IRandom* previousRandom_ = nullptr;
  IClock* previousClock_ = nullptr;
  QTemporaryDir folder_;
  std::unique_ptr<frmMain> window_;
  bool ok_ = false;
};

template <typename MakeClock>
void CpuWhileARaceAnimates(benchmark::State& state, MakeClock makeClock) {
  auto clock = makeClock();
  RealRace race(*clock);
  if (!race.Ready(state)) return;
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const double cpu0 = CpuSeconds();
    wall += race.Run();
    cpu += CpuSeconds() - cpu0;
  }
  state.counters["cpu_pct"] = 100.0 * cpu / wall;
  state.counters["wall_s"] = wall / static_cast<double>(state.iterations());
}

void FrameWork(benchmark::State& state) {
  CountingClock clock;
  RealRace race(clock);
  if (!race.Ready(state)) return;
  double wall = 0;
  for (auto _ : state) wall += race.Run();
  const double frameSeconds = wall / clock.frames;
  state.counters["frames"] = static_cast<double>(clock.frames) / static_cast<double>(state.iterations());
  state.counters["frame_us"] = frameSeconds * 1e6;
  state.counters["period_pct"] = 100.0 * frameSeconds / 0.100;
}

BENCHMARK_CAPTURE(CpuWhileARaceAnimates, QtClock, [] { return std::make_unique<QtClock>(); })
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(CpuWhileARaceAnimates, SpinningWait, [] { return std::make_unique<SpinningClock>(); })
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(FrameWork)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
