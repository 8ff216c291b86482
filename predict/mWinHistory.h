#pragma once

#include "data/cKekkaFile.h"
#include "history/cRirekiDb.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// What the win model and the 履歴 entry predictor know of each racer from the days before a
// race: his results by course, his start timings and flying starts, and the course he entered
// when drawn in each boat number. Days are added in date order; a question names the day it is
// asked for, and only days before it within the window answer.
namespace tidewake::mWinHistory {

template <typename T>
using Table = std::array<T, 7>;  // index 1..6, 0 unused

// One race of one racer as the results tell it.
struct PastRace {
  QDate Date;
  std::int16_t Waku = 0;    // boat number 1..6
  std::int16_t Course = 0;  // course entered 1..6, 0 when he did not start
  std::int16_t Place = 0;   // 1..6, 0 when not placed (flying, withdrawn, disqualified)
  float StartTiming = 0;    // seconds, when StartKnown and not Flying
  bool StartKnown = false;
  bool Flying = false;
};

// A racer's record over the window.
struct RacerRecord {
  Table<std::int32_t> Starts{}, Wins{}, TwoPlace{}, ThreePlace{};  // by course entered
  std::array<Table<std::int32_t>, 7> Entries{};                    // [boat number][course entered]
  std::int32_t Timings = 0;                                        // starts with a timing, flying ones left out
  double TimingSum = 0.0;
  std::int32_t Flyings = 0;
  std::int32_t TotalStarts() const;
};

// The record of the races given (any order) that fall in [before - windowDays, before); the
// entries by boat number (what the 履歴 entry predictor reads) over [before - entryWindowDays,
// before) (the same window when 0).
RacerRecord RecordOf(const std::vector<PastRace>& races, QDate before, int windowDays, int entryWindowDays = 0);

// The history database's recent races of a racer, as the record reads them.
std::vector<PastRace> FromRecent(const std::vector<RecentRace>& races);

class cWinHistory {
 public:
  // Adds one venue's results of a day. Races without a result add nothing.
  void AddVenue(QDate date, const cKekkaFile::Venue& venue);
  // The racer's record over [before - windowDays, before), his entries over [before -
  // entryWindowDays, before) (the same window when 0).
  RacerRecord Record(const QString& strSensyuNo, QDate before, int windowDays, int entryWindowDays = 0) const;
  std::size_t Racers() const { return races_.size(); }
  // Drops every race before `before`: a walk over years keeps only the window it still asks about.
  void Forget(QDate before);

 private:
  QHash<QString, std::vector<PastRace>> races_;  // by registration number, in date order
};

}  // namespace tidewake::mWinHistory
