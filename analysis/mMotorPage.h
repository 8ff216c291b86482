#pragma once

#include "analysis/mPeriod.h"
#include "analysis/mReport.h"
#include "history/RirekiResults.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <stop_token>
#include <vector>

namespace tidewake {
class cRirekiDb;
}

// The motor page: each motor number of a venue over a period, its results (starts, 1着率,
// 2連対率, mean exhibition time) ranked, beside the two-place rate the programme last printed.
// The files never say when a venue changed its motors: the user chooses where the period starts.
namespace tidewake::mMotorPage {

struct MotorRecord {
  std::int64_t Starts = 0, Wins = 0, Top2 = 0;
  std::int64_t Tenji = 0;  // exhibition times counted
  double TenjiSum = 0;
  float Programme = 0;  // the programme's 2連率, the latest printed in the period
  QDate ProgrammeDate;
  double Top2Rate() const;
};

class cMotorTally {
 public:
  void Add(const ResultRace& race);
  void Add(const ProgrammeMotor& motor);
  const std::map<QString, MotorRecord>& Motors() const { return motors_; }

 private:
  std::map<QString, MotorRecord> motors_;
};

// Motors with fewer starts than this are faded.
inline constexpr int kFewStarts = 10;

struct Query {
  std::int16_t Jyo = 0;
  mPeriod::Period Period;  // From: the day the user takes the motors to have started
  QStringList Marked;      // the motors of the race shown
};

mReport::Page PageOf(const cMotorTally& tally, const Query& query, const QString& venueName);
mReport::Page Page(const cRirekiDb& db, const Query& query, const QString& venueName, std::stop_token stop = {});

}  // namespace tidewake::mMotorPage
