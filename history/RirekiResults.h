#pragma once

// Plain rows of the history for the analysis pages: races of the results with their boats and
// payouts, a racer's races with his programme line, the programme's motor figures. Read by
// cRirekiDb's calls (cRirekiDbResults.cpp); no SQL leaves history/.

#include "data/cKekkaFile.h"

#include <QDate>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace tidewake {

// One boat of a race's results.
struct ResultBoat {
  std::int16_t WakuNo = 0;
  std::int16_t Course = 0;       // 0 when the boat did not start
  std::int16_t TyakujyunNo = 0;  // the place 1..6, 0 when the printed place is not one
  QString Tyakujyun;             // the place as printed ("01", "F", "K0", "S1", "L0")
  QString SensyuNo, MotorNo;
  float TenjiTime = 0, StartTiming = 0;
  bool StartFlying = false, StartLate = false, StartTimingExists = false;
};

using ResultPayouts = std::array<std::vector<cKekkaFile::Haraimodosi>, kKakesikiCount>;

// One race of the results: where and when, how it went, its boats in finishing order, its payouts.
struct ResultRace {
  QDate Date;
  std::int16_t Jyo = 0;  // venue code 1..24, 0 when the file's code is not two digits
  std::int16_t RaceNo = 0;
  RaceStatus Status = RaceStatus::None;
  QString RaceName, Kimarite;
  std::int16_t Fusoku = 0;  // wind, metres per second
  std::vector<ResultBoat> Boats;
  ResultPayouts Payouts;
  std::array<bool, kKakesikiCount> Fuseiritu{};
};

// A race of one racer: the race, his line of the results, and his line of that day's programme
// when the history holds it (his national win rate then, his motor's two-place rate).
struct RacerRace {
  QDate Date;
  std::int16_t Jyo = 0, RaceNo = 0;
  QString JyoName;  // as the results print it ("大　村")
  RaceStatus Status = RaceStatus::None;
  QString RaceName, Kimarite;
  ResultBoat Boat;
  bool Programme = false;
  float ZenkokuSyoritu = 0;
  QString SensyuClass;
};

// A boat of a venue's programme: its motor and the motor's two-place rate as printed that day.
struct ProgrammeMotor {
  QDate Date;
  std::int16_t RaceNo = 0, WakuNo = 0;
  QString MotorNo;
  float MotorFSyoritu = 0;
};

// What a read of races gives. Years of races read for one table take a fraction of the time when
// only the values it counts are read: parts not asked for are left empty (texts) or 0.
struct ResultParts {
  bool RaceTexts = true;    // RaceName, Kimarite, Fusoku
  bool BoatDetails = true;  // SensyuNo, MotorNo, TenjiTime, StartTiming
  // Bit k: the payouts (and 不成立) of Kakesiki k.
  std::uint8_t Payouts = 0x7F;
  static constexpr std::uint8_t PayoutsOf(Kakesiki kind) {
    return static_cast<std::uint8_t>(1u << static_cast<int>(kind));
  }
};

// A venue the results of the history hold, with its name as printed.
struct HeldVenue {
  std::int16_t Jyo = 0;
  QString JyoName;
};

}  // namespace tidewake
