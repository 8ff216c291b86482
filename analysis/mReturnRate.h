#pragma once

#include "analysis/mPeriod.h"
#include "analysis/mReport.h"
#include "history/RirekiResults.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <vector>

namespace tidewake {
class cRirekiDb;
}

// 回収率 and 的中率: what buying ¥100 of every combination a rule names returned, race by race, as
// the official payouts say: a combination naming a boat whose bets were refunded (F, L, K) is not
// bought; a race called off, void, or whose kind was not sold (不成立) is not counted; a dead heat
// pays each combination it lists; a special payout (特払い) pays its yen to every combination
// bought. Each figure comes with a 95 % interval from a bootstrap over days.
namespace tidewake::mReturnRate {

// Boats 1..6 of a combination; places the kind does not use are 0.
using Combination = std::array<std::int16_t, 3>;

int Places(Kakesiki kind);     // 1, 1, 2, 2, 2, 3, 3
bool Ordered(Kakesiki kind);   // 2連単 and 3連単 (and the single boat of 単勝, 複勝)
bool HasNinki(Kakesiki kind);  // the results print a popularity for all but 単勝 and 複勝
// Every combination of the kind in the results' order (1-2-3, 1-2-4, ...; unordered ones ascending).
std::vector<Combination> AllCombinations(Kakesiki kind);
// "1-2-3", "4", as the results print them.
QString CombinationText(const Combination& c, Kakesiki kind);
// A printed combination read; unordered kinds sorted ascending; none when it is not one.
std::optional<Combination> ParseCombination(const QString& kumiban, Kakesiki kind);
// The bet kinds by the names the console takes ("tansyo" .. "sanrenfuku", or as printed "単勝").
std::optional<Kakesiki> KindByName(const QString& name);
QString KindName(Kakesiki kind);  // "単勝" .. "3連複"
QString KindKey(Kakesiki kind);   // "tansyo" .. "sanrenfuku"
inline constexpr std::array<Kakesiki, kKakesikiCount> kKinds{
    Kakesiki::Tansyo,      Kakesiki::Fukusyo,   Kakesiki::Nirentan,  Kakesiki::Nirenfuku,
    Kakesiki::Kakurenfuku, Kakesiki::Sanrentan, Kakesiki::Sanrenfuku};

// What a bet on one race cost and returned, in yen.
struct Take {
  std::int64_t Stake = 0, Return = 0;
  bool Hit = false;  // a combination bought was one the race paid (a 特払い is no hit)
};

// One race's payouts of one kind, read for buying.
class cRaceBets {
 public:
  cRaceBets(const ResultRace& race, Kakesiki kind);
  // The race sold and paid this kind: held, the kind not 不成立, and a payout listed.
  bool Counts() const { return counts_; }
  // Some boat's bets were refunded (or the results do not list a boat).
  bool AnyRefund() const;
  bool Refunded(int waku) const { return waku >= 1 && waku <= 6 && refunded_[static_cast<std::size_t>(waku)]; }
  // ¥100 on each combination, those naming a refunded boat left out.
  Take Buy(const std::vector<Combination>& combinations) const;
  // ¥100 on the combinations of popularity `first`..`last` (the results name the winners' only):
  // counted only in a race without a refund.
  Take BuyPopularity(int first, int last) const;
  // The combination names a boat whose bets were refunded.
  bool NamesRefunded(const Combination& c) const;

  struct Winner {
    Combination Boats{};
    std::int32_t Yen = 0;
    std::int16_t Ninki = 0;
  };
  const std::vector<Winner>& Winners() const { return winners_; }
  std::int32_t Tokubarai() const { return tokubarai_; }

 private:
  Kakesiki kind_;
  bool counts_ = false;
  std::array<bool, 7> refunded_{};
  std::vector<Winner> winners_;
  std::int32_t tokubarai_ = 0;  // the 特払い yen; 0 when none
};

// The sums of one cell by day, for the interval.
struct DaySum {
  int Day = 0;  // the day's index among the days read
  double Stake = 0, Return = 0;
};

// A rule's figures over the races: races counted, races hit, yen staked and returned, and the
// same by day.
struct Cell {
  std::int64_t Races = 0, Hits = 0, Stake = 0, Return = 0;
  std::vector<DaySum> Days;
  void Add(int day, const Take& take);
  double Rate() const { return Stake > 0 ? static_cast<double>(Return) / static_cast<double>(Stake) : mReport::kNone; }
  double HitRate() const { return Races > 0 ? static_cast<double>(Hits) / static_cast<double>(Races) : mReport::kNone; }
};

// The bootstrap over days: resamples of the days drawn with replacement (each day's races
// together), the same resamples for every cell of a page, from a fixed seed so that a page
// computed twice says the same.
class cResampler {
 public:
  static constexpr int kResamples = 1000;
  static constexpr std::uint32_t kSeed = 20240101;
  explicit cResampler(int days, int resamples = kResamples, std::uint32_t seed = kSeed);
  // The 2.5 % and 97.5 % points of the return over the stake; NaN when nothing was staked.
  std::pair<double, double> Interval(const std::vector<DaySum>& sums) const;

 private:
  int days_, resamples_;
  // [day * resamples + resample]: how often the day was drawn. Counts in 16 bits keep a long
  // history's table in the processor's cache (a day is drawn at most `days` times a resample; a
  // period of more than 65,535 days is counted as saturated, which no history reaches).
  std::vector<std::uint16_t> weights_;
};

// The intervals of many cells with the same resamples, split over the machine's threads; in the
// cells' order.
std::vector<std::pair<double, double>> Intervals(const cResampler& resampler,
                                                 const std::vector<const std::vector<DaySum>*>& cells);

// How often a cell is too thin to say much: faded below this many races.
inline constexpr int kFewRaces = 100;

// The words every 回収率 page states.
QStringList Definitions();
QString IntervalWords();

// The rows of a 回収率 table.
enum class By { Boat, Course, Popularity, Combination };
std::optional<By> ByName(const QString& name);  // "boat", "course", "popularity", "combination"

struct Query {
  Kakesiki Kind = Kakesiki::Sanrentan;
  By Rows = By::Boat;
  mPeriod::Period Period = mPeriod::Everything();
  std::int16_t Jyo = 0;  // 0: every venue
};

// The table of a kind over the races read, race by race (in day order).
class cTable {
 public:
  explicit cTable(const Query& query);
  void Add(const ResultRace& race);
  // Takes in the races of a later run of days, counted by a table of the same query.
  void Merge(const cTable& later);
  // The page: the table, its notes, the cumulative return of each row as a chart.
  mReport::Page Page(const QString& venueName) const;
  const std::vector<Cell>& Cells() const { return cells_; }
  const QStringList& Labels() const { return labels_; }
  int Days() const { return static_cast<int>(dates_.size()); }

 private:
  Query query_;
  QStringList labels_;
  std::vector<Cell> cells_;
  std::vector<std::vector<Combination>> buys_;  // Boat: by boat; Combination: one each
  std::vector<std::pair<int, int>> bands_;      // Popularity: first, last
  std::vector<QDate> dates_;
  // Combination: the row of each combination by its code, and each row's take of the race.
  static int Code(const Combination& c);
  int Index(const Combination& c) const;
  std::array<int, 7 * 7 * 7> index_{};
  std::vector<Take> takes_;
};

// The table from the history; an empty page when a stop was requested.
mReport::Page Table(const cRirekiDb& db, const Query& query, const QString& venueName, std::stop_token stop = {});

// The 95 % interval's text "78.1～90.2".
QString IntervalText(const std::pair<double, double>& interval);

}  // namespace tidewake::mReturnRate
