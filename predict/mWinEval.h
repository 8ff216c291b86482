#pragma once

#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "history/cRirekiDb.h"
#include "predict/mCourseHistory.h"
#include "predict/mWinFeatures.h"
#include "predict/mWinFit.h"
#include "predict/mWinHistory.h"
#include "predict/mWinModel.h"

#include <QDate>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

// The days the win model learns from and is measured on, walked in date order with the history
// of the days before each one. Knows nothing of where the days come from (the history database,
// or the official archives read directly).
namespace tidewake::mWinEval {

using tidewake::DayRecord;

// What a race's result says, read honestly: the first three boats when exactly one boat holds
// each of the places 1, 2, 3 and the racers are those of the card; the real courses; and the
// pool's payouts of the winning 単勝, 2連単 and 3連単 when each names exactly those boats (not a
// special payout, 特払い, which says nothing of the pool's chance).
struct Outcome {
  bool Placed = false;                       // the first three are known
  std::array<std::int16_t, 3> FirstThree{};  // boats 1..6
  mCourseHistory::CourseTable RealCourses{};
  bool Refund = false;  // a boat flew, started late or was withdrawn: bets on it were refunded
  std::int32_t Tansyo = 0, Nirentan = 0, Sanrentan = 0;  // yen per 100, 0 when not read
};

Outcome ReadOutcome(const cBangumiFile::Race& card, const cKekkaFile::Race& result);

// The pool's chance of a payout: its return (75 %) times 100 / the payout. A payout of the
// 100-yen minimum gives 0.75, the most the pool can say then.
inline constexpr double kPoolReturn = 0.75;
double PoolChance(std::int32_t yen);

// Boats 1..6 as 0..5, as the fit takes a finishing order.
std::array<std::int16_t, 3> ZeroBased(const std::array<std::int16_t, 3>& boats);

// Courses by boat 1..6 as the model takes them (by boat - 1); a course outside 1..6 is 枠なり's.
mWinModel::Courses CoursesOf(const mCourseHistory::CourseTable& byBoat);

// What the start exhibition and the exhibition times would have told of a past race, read from its
// results: each boat's exhibition time, and its course in the race for the start exhibition's (the
// two agree almost always; the results print only the race's). A boat without a course keeps its
// number.
mWinFeatures::Exhibition ExhibitionOf(const cKekkaFile::Race& result);

// A race on its day, with what the days before it knew.
struct RaceCase {
  QDate Date;
  int Venue = 0;  // 1..24
  int RaceNo = 0;
  const cBangumiFile::Card* Card = nullptr;
  const cKekkaFile::Race* Result = nullptr;  // null when the day's results lack the race
  std::array<mWinHistory::RacerRecord, 6> Records;
  mCourseHistory::Prediction Entry;  // 履歴
  mWinModel::RaceRows Rows;          // with the 履歴 courses
};

// Gives the next day in date order into `day`, or false when there is none. A walk over years
// reads its days through one, so that only the days being read are in memory.
using DaySource = std::function<bool(DayRecord& day)>;

// The days of a list, in its order.
DaySource ListDays(const std::vector<DayRecord>& days);

// The history's days from `from` to `to` inclusive (a null date is open), read a month at a time.
// The days stay the database's: `db` must outlive the source and be used on the same thread.
DaySource HistoryDays(const cRirekiDb& db, QDate from, QDate to);

// Walks every race of every day in order; `each` sees the race before its day's results join the
// history. Days must be in date order. A stop requested on `stop` ends the walk before the next day.
void Walk(const DaySource& days, const mWinFeatures::FeatureSet& set, const std::function<void(const RaceCase&)>& each,
          std::stop_token stop = {});
void Walk(const std::vector<DayRecord>& days, const mWinFeatures::FeatureSet& set,
          const std::function<void(const RaceCase&)>& each, std::stop_token stop = {});

// The races a fit learns from: placed, no refund, the day in [from, to) (a null date is open).
bool Fittable(const RaceCase& rc, const Outcome& o, QDate from, QDate to);

// Fits the three logits on the placed races of days in [from, to) (a null date is open) with no
// refund. Empty coefficients (not IsWhole) when a stop is requested on `stop` before the end.
mWinModel::Coefficients FitDays(const DaySource& days, QDate from, QDate to, const mWinFeatures::FeatureSet& set,
                                double ridge, const std::function<void(int)>& progress = {}, std::stop_token stop = {});
mWinModel::Coefficients FitDays(const std::vector<DayRecord>& days, QDate from, QDate to,
                                const mWinFeatures::FeatureSet& set, double ridge,
                                const std::function<void(int)>& progress = {}, std::stop_token stop = {});

inline constexpr double kRidge = 1.0;

// The days of a folder of official archives (bYYMMDD.lzh with kYYMMDD.lzh) in [from, to], in date
// order, read directly rather than through the history database. A day whose programme or results
// cannot be read is left out and named in `skipped` ("230401: why").
std::vector<DayRecord> YearFolderDays(const QString& strFolder, QDate from, QDate to, QStringList* skipped = nullptr);
// The same from several folders (the first that holds a day's pair gives it), one day at a time.
// `skipped` must outlive the source.
DaySource FolderDays(const QStringList& folders, QDate from, QDate to, QStringList* skipped = nullptr);

}  // namespace tidewake::mWinEval
