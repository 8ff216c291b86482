#pragma once

#include "data/cBangumiFile.h"
#include "history/cRirekiDb.h"
#include "predict/mWinHistory.h"
#include "predict/mWinModel.h"

#include <QDate>

#include <array>
#include <cstdint>
#include <functional>
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

// "43.2": a chance as the card shows it, in percent with one decimal.
QString PercentText(double chance);

}  // namespace tidewake::mWinCard
