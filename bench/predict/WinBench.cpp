// The win chances of a race card, as the card and the results window ask for them, on the races
// of a real day (2023-04-01) with the racers' records of the 180 days before it:
//
// CardChances_Before is the baseline: the chances before the exhibition with the courses shown,
// what the card's 勝率 column has always cost. CardChances_BothModels adds the chances after the
// exhibition (its times and courses as the 直前 input gives them): the target is under 1 ms a card.
// VenueChances_BothModels does every race of a venue, as the results window's venue line does.
// The racers' records come from the history (history_bench's RecentRacesOfACard measures that).
//
//   ./build/bench/predict/predict_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "predict/mWinCard.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"

#include "bench/data/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tidewake;

const QString kYear = QStringLiteral(TIDEWAKE_SHARED_DATA "/year");
const QDate kDay(2023, 4, 1);

// One race as the card holds it when its chances are asked for.
struct CardRace {
  const cBangumiFile::Card* Card = nullptr;
  std::int16_t RaceNo = 0;
  mWinCard::Records Records;
  mWinFeatures::CourseTable Courses{};
  mWinFeatures::Exhibition Shown;
};

struct Day {
  std::vector<cBangumiFile::Card> Cards;
  std::vector<CardRace> Races;
};

const Day* TheDay() {
  static const std::unique_ptr<Day> day = [] {
    auto d = std::make_unique<Day>();
    QStringList unread;
    std::vector<cBangumiFile::Card> cards;
    struct Found {
      int Card;
      CardRace Race;
    };
    std::vector<Found> found;
    mWinEval::Walk(mWinEval::FolderDays({kYear}, kDay.addDays(-mWinFeatures::kWindowDays), kDay, &unread), {},
                   [&](const mWinEval::RaceCase& rc) {
                     if (rc.Date != kDay || !rc.Result) return;
                     if (cards.empty() || cards.back().KyoteijyoCode != rc.Card->KyoteijyoCode)
                       cards.push_back(*rc.Card);
                     found.push_back({static_cast<int>(cards.size()) - 1,
                                      {nullptr, static_cast<std::int16_t>(rc.RaceNo), rc.Records, rc.Entry.Courses,
                                       mWinEval::ExhibitionOf(*rc.Result)}});
                   });
    d->Cards = std::move(cards);
    for (Found& f : found) {
      f.Race.Card = &d->Cards[static_cast<std::size_t>(f.Card)];
      d->Races.push_back(f.Race);
    }
    return d;
  }();
  return day->Races.empty() ? nullptr : day.get();
}

bool HaveDay(benchmark::State& state) {
  if (!bench::HaveSample(state, kYear + QStringLiteral("/b230401.lzh"))) return false;
  if (TheDay()) return true;
  state.SkipWithError("no race read");
  return false;
}

void CardChances_Before(benchmark::State& state) {
  if (!HaveDay(state)) return;
  const mWinCoefficients::Model& model = mWinCoefficients::Shipped();
  std::size_t i = 0;
  for (auto _ : state) {
    const CardRace& r = TheDay()->Races[i++ % TheDay()->Races.size()];
    benchmark::DoNotOptimize(mWinCard::Chances(*r.Card, r.RaceNo, r.Courses, r.Records, model.Before));
  }
}
BENCHMARK(CardChances_Before)->Unit(benchmark::kMicrosecond);

void CardChances_BothModels(benchmark::State& state) {
  if (!HaveDay(state)) return;
  const mWinCoefficients::Model& model = mWinCoefficients::Shipped();
  std::size_t i = 0;
  for (auto _ : state) {
    const CardRace& r = TheDay()->Races[i++ % TheDay()->Races.size()];
    benchmark::DoNotOptimize(mWinCard::Chances(*r.Card, r.RaceNo, r.Courses, r.Records, model.Before));
    benchmark::DoNotOptimize(mWinCard::AfterChances(*r.Card, r.RaceNo, r.Shown, r.Records, model.After));
  }
}
BENCHMARK(CardChances_BothModels)->Unit(benchmark::kMicrosecond);

void VenueChances_BothModels(benchmark::State& state) {
  if (!HaveDay(state)) return;
  const mWinCoefficients::Model& model = mWinCoefficients::Shipped();
  const cBangumiFile::Card* first = TheDay()->Races.front().Card;
  for (auto _ : state) {
    for (const CardRace& r : TheDay()->Races) {
      if (r.Card != first) break;
      benchmark::DoNotOptimize(mWinCard::Chances(*r.Card, r.RaceNo, r.Courses, r.Records, model.Before));
      benchmark::DoNotOptimize(mWinCard::AfterChances(*r.Card, r.RaceNo, r.Shown, r.Records, model.After));
    }
  }
}
BENCHMARK(VenueChances_BothModels)->Unit(benchmark::kMicrosecond);

}  // namespace
