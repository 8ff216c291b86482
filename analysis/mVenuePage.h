#pragma once

#include "analysis/mPeriod.h"
#include "analysis/mRaceFacts.h"
#include "analysis/mReport.h"
#include "history/RirekiResults.h"

#include <array>
#include <cstdint>
#include <stop_token>
#include <vector>

namespace tidewake {
class cRirekiDb;
}

// The venue page: what its races say per entry course, how course 1 wins and loses, the same by
// race number, wind and race name, and what its 3連単 pays.
namespace tidewake::mVenuePage {

// Starts and places of the boats that entered a course.
struct CourseCount {
  std::int64_t Starts = 0, Wins = 0, Top2 = 0, Top3 = 0;
  std::array<std::int64_t, mRaceFacts::kKimarite + 1> WinsBy{};  // by winning technique, Other last
};

// Races of a band and the wins of each course in them.
struct BandCount {
  std::int64_t Races = 0;
  std::array<std::int64_t, 6> Wins{};  // by course 1..6 at [0..5]
};

// A venue's races counted: only races held (not called off, not void).
class cVenueTally {
 public:
  void Add(const ResultRace& race);

  std::int64_t Races() const { return races_; }
  const CourseCount& Course(int course) const { return courses_[static_cast<std::size_t>(course - 1)]; }
  // Races whose course-1 boat did not win, by the winner's technique (Other: course 1 had no
  // boat or the winner has none printed).
  const std::array<std::int64_t, mRaceFacts::kKimarite + 1>& CourseOneLost() const { return lost_; }
  const BandCount& RaceBand(int band) const { return raceBands_[static_cast<std::size_t>(band)]; }
  const BandCount& WindBand(int band) const { return windBands_[static_cast<std::size_t>(band)]; }
  const BandCount& RaceClass(mRaceFacts::RaceClass c) const { return classes_[static_cast<std::size_t>(c)]; }
  // The 3連単 payouts in yen (each combination a dead heat paid), 特払い left out.
  const std::vector<std::int32_t>& Trifecta() const { return trifecta_; }

 private:
  std::int64_t races_ = 0;
  std::array<CourseCount, 6> courses_{};
  std::array<std::int64_t, mRaceFacts::kKimarite + 1> lost_{};
  std::array<BandCount, mRaceFacts::kRaceBands> raceBands_{};
  std::array<BandCount, mRaceFacts::kWindBands> windBands_{};
  std::array<BandCount, mRaceFacts::kRaceClasses> classes_{};
  std::vector<std::int32_t> trifecta_;
};

// The payout profile: the share under ¥1,000 and over ¥10,000, the median.
struct PayoutProfile {
  std::int64_t Count = 0;
  double Under1000 = mReport::kNone, Over10000 = mReport::kNone, Median = mReport::kNone;
};
PayoutProfile Profile(std::vector<std::int32_t> yen);

// The words the venue and racer pages state of what they count.
QStringList CountingWords();

mReport::Page PageOf(const cVenueTally& tally, const QString& venueName, const mPeriod::Period& period);
mReport::Page Page(const cRirekiDb& db, std::int16_t jyo, const QString& venueName, const mPeriod::Period& period,
                   std::stop_token stop = {});

}  // namespace tidewake::mVenuePage
