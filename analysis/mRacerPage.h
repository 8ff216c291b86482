#pragma once

#include "analysis/mPeriod.h"
#include "analysis/mRaceFacts.h"
#include "analysis/mReport.h"
#include "history/RirekiResults.h"

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace tidewake {
class cRirekiDb;
}

// The racer page: his starts per entry course (how often he took it and from which boat number),
// his places there, start timings, F and L, the techniques of his wins, his record at each venue,
// his national win rate over time and every race, newest first.
namespace tidewake::mRacerPage {

// His starts from one entry course (or all of them).
struct CourseRecord {
  std::int64_t Starts = 0, Wins = 0, Top2 = 0, Top3 = 0, Flying = 0, Late = 0;
  std::array<std::int64_t, 7> FromWaku{};  // starts by boat number 1..6
  std::int64_t Timings = 0;                // starts with a timing, F and L left out
  double TimingSum = 0, TimingSquares = 0;
  std::array<std::int64_t, mRaceFacts::kKimarite + 1> WinsBy{};
  double MeanTiming() const;
  double TimingSpread() const;  // the standard deviation (n - 1); NaN below two timings
};

struct VenueRecord {
  QString Name;
  std::int64_t Starts = 0, Wins = 0, Top2 = 0, Top3 = 0;
};

// A racer's races counted. Races of a void or called-off race are listed but not counted, save
// their F and L.
class cRacerTally {
 public:
  void Add(const RacerRace& race);
  const CourseRecord& Course(int course) const { return courses_[static_cast<std::size_t>(course)]; }  // 0: all
  const std::map<std::int16_t, VenueRecord>& Venues() const { return venues_; }
  // The national win rate the programmes printed, one a day he raced, in date order.
  const std::vector<std::pair<QDate, float>>& WinRates() const { return rates_; }

 private:
  std::array<CourseRecord, 7> courses_{};
  std::map<std::int16_t, VenueRecord> venues_;
  std::vector<std::pair<QDate, float>> rates_;
};

struct Query {
  QString SensyuNo;
  mPeriod::Period Period;
  std::int16_t Jyo = 0;  // this venue (当地); 0 none
};

// `races` newest first, as the history gives them.
mReport::Page PageOf(const std::vector<RacerRace>& races, const Query& query, const QString& name);
mReport::Page Page(const cRirekiDb& db, const Query& query);

}  // namespace tidewake::mRacerPage
