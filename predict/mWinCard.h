#pragma once

#include "data/cBangumiFile.h"
#include "history/cRirekiDb.h"
#include "predict/mWinFeatures.h"
#include "predict/mWinHistory.h"
#include "predict/mWinModel.h"

#include <QDate>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The win model on the race shown: the six racers' records from the history before the card's
// day, and the chances with the courses the card shows.
namespace tidewake::mWinCard {

using Records = std::array<mWinHistory::RacerRecord, 6>;
// A racer's races before a day, the latest first (cRirekiDb::RecentRaces).
using RecentSource = std::function<std::vector<RecentRace>(const QString& strSensyuNo, QDate before)>;

// Enough of a racer's races to cover the feature window at the busiest pace (a race a day or two).
inline constexpr int kRecentRaces = 400;

// The card's day ("2024/01/01"); invalid when the card has none.
QDate CardDate(const cBangumiFile::Card& card);

// Records of the six boats of race intRaceNo (1..12); empty records when there is no source.
Records RaceRecords(const cBangumiFile::Card& card, std::int16_t intRaceNo, const RecentSource& source);

// The chances with the courses by boat (index 1..6; a course outside 1..6 is the boat's number).
mWinModel::RaceChances Chances(const cBangumiFile::Card& card, std::int16_t intRaceNo,
                               const std::array<std::int16_t, 7>& courses, const Records& records,
                               const mWinModel::Coefficients& coefficients);

// The chances after the exhibition: its courses as the entry, its times against the race's
// others (blank times say nothing; the courses must be a permutation, see CoursesProblem).
mWinModel::RaceChances AfterChances(const cBangumiFile::Card& card, std::int16_t intRaceNo,
                                    const mWinFeatures::Exhibition& exhibition, const Records& records,
                                    const mWinModel::Coefficients& coefficients);

// "43.2": a chance as the card shows it, in percent with one decimal.
QString PercentText(double chance);

// The odds at which a bet on a chance breaks even: 1 ÷ chance (the board's odds pay that many
// times the stake). Infinite for a chance of 0.
double BreakEvenOdds(double chance);
// "2.3", "15.7", "1234.5": break-even odds as the board writes odds, one decimal; "-" when infinite.
QString OddsText(double odds);

// A 2連単 or 3連単 combination with its chance and the odds at which it breaks even.
struct Ticket {
  std::array<std::int16_t, 3> Boats{};  // 1-based, the third 0 for 2連単
  double Chance = 0.0;
  double BreakEven = 0.0;
};
// The `count` likeliest combinations of `places` (2: 2連単, 3: 3連単), likeliest first.
std::vector<Ticket> Tickets(const mWinModel::RaceChances& chances, int places, int count);

// An exhibition time as a user types it ("6.78"; full-width digits allowed; blank for none):
// its value (0 for blank), or nothing with the reason in strError.
std::optional<float> ReadExhibitionTime(const QString& text, QString& strError);
// Why the courses by boat (1..6) are not a start exhibition's, or empty when they are (each of
// the courses 1..6 taken by exactly one boat).
QString CoursesProblem(const mWinFeatures::CourseTable& courses);

}  // namespace tidewake::mWinCard
