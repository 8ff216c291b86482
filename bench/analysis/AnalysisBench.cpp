// The analysis pages on a history of 1,735 days (see BigHistory.h), each beside the read of the
// same rows with nothing counted (the floor any page stands on):
//   RacerPage (the busiest racer, every day held) beside ReadRacerRaces;
//   VenuePage and MotorPage (the busiest venue, every day held) beside ReadVenueRaces;
//   ReturnTable (3連単 by boat, by combination, 2連単 by popularity, every venue and day, read in
//   runs of days on the processor's threads) beside ReadAllRaces (one thread, every value read).
//   ModelRecord (the model's record over the last year held) beside WalkYear (the same walk over
//   the same days, every race's history gathered, nothing predicted or counted).
// Targets: racer and venue page ≤ 100 ms, motor page ≤ 200 ms, a 回収率 table over all days ≤ 1 s,
// the model's record over a year ≤ 10 s.
//
//   ./build/bench/analysis/analysis_bench [--history FILE] --benchmark_repetitions=3

#include "analysis/mModelRecord.h"
#include "analysis/mMotorPage.h"
#include "analysis/mPages.h"
#include "analysis/mRacerPage.h"
#include "analysis/mReturnRate.h"
#include "analysis/mVenuePage.h"
#include "bench/analysis/BigHistory.h"
#include "history/cRirekiDb.h"
#include "platform/SjisText.h"
#include "predict/mWinEval.h"
#include "predict/mWinFeatures.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tidewake;

QString gPath;
// The busiest racer and venue of the shared days.
const QString kRacer = QStringLiteral("4189");
constexpr std::int16_t kVenue = 6;

cRirekiDb& Db() {
  static std::unique_ptr<cRirekiDb> db = std::make_unique<cRirekiDb>(gPath, RirekiAccess::ReadOnly);
  return *db;
}

bool Ready(benchmark::State& state) {
  if (!gPath.isEmpty()) return true;
  state.SkipWithError("the shared archives are not there: no history to measure");
  return false;
}

mPeriod::Period Whole() { return mPeriod::Of(mPeriod::Choice::All, mPages::LastDay(Db())); }
mPeriod::Period HalfYear() { return mPeriod::Of(mPeriod::Choice::SixMonths, mPages::LastDay(Db())); }

void Counters(benchmark::State& state, std::int64_t rows) { state.counters["rows"] = static_cast<double>(rows); }

void ReadRacerRaces(benchmark::State& state) {
  if (!Ready(state)) return;
  const auto p = Whole();
  std::size_t n = 0;
  for (auto _ : state) n = Db().RacerRaces(kRacer, p.From, p.To).size();
  Counters(state, static_cast<std::int64_t>(n));
}
BENCHMARK(ReadRacerRaces)->Unit(benchmark::kMillisecond);

void RacerPage(benchmark::State& state) {
  if (!Ready(state)) return;
  const auto p = state.range(0) ? Whole() : HalfYear();
  for (auto _ : state) benchmark::DoNotOptimize(mRacerPage::Page(Db(), {kRacer, p, kVenue}));
}
BENCHMARK(RacerPage)->Arg(0)->Arg(1)->ArgName("all_days")->Unit(benchmark::kMillisecond);

void ReadVenueRaces(benchmark::State& state) {
  if (!Ready(state)) return;
  const auto p = Whole();
  std::int64_t n = 0;
  for (auto _ : state) {
    n = 0;
    Db().ResultRaces(p.From, p.To, kVenue, [&](const ResultRace&) { ++n; });
  }
  Counters(state, n);
}
BENCHMARK(ReadVenueRaces)->Unit(benchmark::kMillisecond);

void VenuePage(benchmark::State& state) {
  if (!Ready(state)) return;
  const auto p = state.range(0) ? Whole() : HalfYear();
  for (auto _ : state) benchmark::DoNotOptimize(mVenuePage::Page(Db(), kVenue, QStringLiteral("場"), p));
}
BENCHMARK(VenuePage)->Arg(0)->Arg(1)->ArgName("all_days")->Unit(benchmark::kMillisecond);

void MotorPage(benchmark::State& state) {
  if (!Ready(state)) return;
  const auto p = state.range(0) ? Whole() : HalfYear();
  for (auto _ : state) benchmark::DoNotOptimize(mMotorPage::Page(Db(), {kVenue, p, {}}, QStringLiteral("場")));
}
BENCHMARK(MotorPage)->Arg(0)->Arg(1)->ArgName("all_days")->Unit(benchmark::kMillisecond);

void ReadAllRaces(benchmark::State& state) {
  if (!Ready(state)) return;
  const auto p = Whole();
  std::int64_t n = 0;
  for (auto _ : state) {
    n = 0;
    Db().ResultRaces(p.From, p.To, 0, [&](const ResultRace&) { ++n; });
  }
  Counters(state, n);
}
BENCHMARK(ReadAllRaces)->Unit(benchmark::kMillisecond)->Iterations(2);

void ReturnTable(benchmark::State& state) {
  if (!Ready(state)) return;
  static const std::array<std::pair<Kakesiki, mReturnRate::By>, 3> kTables{
      {{Kakesiki::Sanrentan, mReturnRate::By::Boat},
       {Kakesiki::Sanrentan, mReturnRate::By::Combination},
       {Kakesiki::Nirentan, mReturnRate::By::Popularity}}};
  const auto& [kind, by] = kTables[static_cast<std::size_t>(state.range(0))];
  const mReturnRate::Query q{kind, by, Whole(), 0};
  for (auto _ : state) benchmark::DoNotOptimize(mReturnRate::Table(Db(), q, QStringLiteral("全場")));
}
// Its CPU time is the whole program's, every run of days' thread together.
BENCHMARK(ReturnTable)
    ->DenseRange(0, 2)
    ->ArgName("sanrentan_boat/combination/nirentan_popularity")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

mPeriod::Period Year() { return mPeriod::Of(mPeriod::Choice::OneYear, mPages::LastDay(Db())); }

void WalkYear(benchmark::State& state) {
  if (!Ready(state)) return;
  const auto p = Year();
  std::int64_t n = 0;
  for (auto _ : state) {
    n = 0;
    const QDate start = p.From.addDays(-mWinFeatures::kWindowDays - 1);
    mWinEval::Walk(mWinEval::HistoryDays(Db(), start, p.To), {}, [&](const mWinEval::RaceCase&) { ++n; });
  }
  Counters(state, n);
}
BENCHMARK(WalkYear)->Unit(benchmark::kMillisecond)->Iterations(1);

void ModelRecord(benchmark::State& state) {
  if (!Ready(state)) return;
  const auto p = Year();
  for (auto _ : state) {
    benchmark::DoNotOptimize(mModelRecord::Page(Db(), mWinCoefficients::Shipped(), p));
  }
}
BENCHMARK(ModelRecord)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  tidewake::EnsureShiftJisCodec();
  QString path = QStringLiteral(TIDEWAKE_BENCH_OUTPUT "/history-1735.db");
  for (int i = 1; i + 1 < argc; ++i) {
    if (QString::fromUtf8(argv[i]) == u"--history") path = QString::fromLocal8Bit(argv[i + 1]);
  }
  gPath = tidewake::bench::BigHistory(path);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
