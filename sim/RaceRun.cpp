#include "platform/Clock.h"
#include "platform/Numeric.h"
#include "platform/RaceScene.h"
#include "platform/Random.h"
#include "sim/RaceSteps.h"
#include "sim/RunSupport.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"

#include <cmath>
#include <cstdlib>

namespace tidewake {
namespace {

using detail::ResumeNext;

EntrantType& Boat(int index) { return gtypEntrant[static_cast<std::size_t>(index)]; }

bool OutAtTheStart(const EntrantType& e) {
  return e.Result.size() == 1 && (e.Result.front() == u'F' || e.Result.front() == u'L');
}

// The lowest notch a turn may fall to: the further the boat from the water's bottom edge, the higher.
std::int16_t MinimumNotch(const EntrantType& e, std::int16_t low, std::int16_t high) {
  auto m = static_cast<std::int16_t>(std::abs(detail::RoundLong(gsngPoolHeight - e.Y) / 2) / 16);
  if (m < low) m = low;
  if (m > high) m = high;
  return m;
}

// Whether the boat has crossed the centre line in this turn.
bool CrossedCentreLine(const EntrantType& e) {
  const auto centre = static_cast<float>(glngMarkY[0]);
  return !(e.Y + e.Height > centre && e.Direction > 0) && !(e.Y < centre && e.Direction < 0);
}

void GearDown(EntrantType& e, std::int16_t m) {
  --e.Gear;
  if (e.Gear < m) e.Gear = m;
}

void GearUp(EntrantType& e, std::int16_t most) {
  ++e.Gear;
  if (e.Gear > most) e.Gear = most;
}

// The boat's picture for the angle turned: from 60 degrees the middle stage, from 120 the new heading.
void PictureByAngle(std::int16_t b) {
  EntrantType& e = Boat(b);
  if (e.Angle >= 120) {
    e.PictureNo = e.Direction < 1 ? 1 : 4;
  } else if (e.Angle >= 60) {
    e.PictureNo = e.Direction < 1 ? 6 : 3;
  }
  ResumeNext([&] { BoatPictureSet(b, e.PictureNo); });
}

void TurningStep(std::int16_t b) {
  EntrantType& e = Boat(b);
  const double theta = DegToRad(e.Angle);
  auto dx = static_cast<float>(e.Speed * std::cos(theta) * e.Direction);
  auto dy = static_cast<float>(-e.Speed * std::sin(theta) * e.Direction);

  // A racer below a random threshold of 55..69 on the 2-place rate may meet another boat: the
  // clearly better racer imposes itself, the other yields.
  const float r = Random().Rnd();
  if (std::floor(r * 15) + 55 > e.Rentairitu2) {
    const std::int16_t j = TurnHitCheck(b, e.X + dx, e.Y + dy);
    if (j >= 0) {
      EntrantType& other = Boat(j);
      if (static_cast<double>(e.Rentairitu2) * 0.8 > other.Rentairitu2) {
        const bool behind = e.Direction < 1 ? (e.X + dx > other.X) : (e.X + dx < other.X);
        if (behind) {
          other.X = other.X + dx;
          other.Y = other.Y + dy;
        } else if (other.Gear > 1) {
          // The boat met loses a notch but keeps the first: a boat turning in style 4 does not
          // open the throttle again before the turn is over, and at notch 0 its speed is eaten
          // up by the turn's loss, so it would never get round the mark.
          --other.Gear;
        }
      } else {
        dx = dx / 2;
        dy = dy / 2;
      }
    }
  }

  e.X = e.X + dx;
  if (e.Angle > 90) {
    // A boat with a poor boat rate swings wide in the second half of the turn.
    float drift = (50 - e.BoatRentairitu2) * Random().Rnd();
    if (drift < 0) drift = 0;
    if (drift > 10) drift = 10;
    e.Y = e.Y + dy - drift * static_cast<float>(e.Direction);
  } else {
    e.Y = e.Y + dy;
  }
}

void StraightStep(std::int16_t b) {
  EntrantType& e = Boat(b);
  GearUp(e, 9);
  const auto rpm = static_cast<std::int16_t>(GearToRpm(e.Gear) - MotorLoss(e.MotorRentairitu2));
  e.Speed = KmhToMs(BoatSpeed(rpm, e.Weight));
  const float dx = static_cast<float>(e.Direction) * e.Speed;

  // A lap counts when the nose crosses the line heading right, once the start itself is over.
  const auto line = static_cast<float>(glngLineX);
  if (gsngClock > 10 && e.Direction > 0 && e.X + e.Width < line && e.X + e.Width + dx >= line) {
    ++e.Lap;
    if (e.Lap == 3) {
      ++gintGoal;
      // The clock of this frame plus the part of the move still needed to reach the line.
      e.GoalTime = static_cast<float>(gsngClock - (static_cast<double>(e.X + e.Width) - glngLineX) / e.Speed);
    }
  }
  e.X = e.X + dx;

  if (e.X > line && e.Lap == 0 && e.Direction >= 1) {
    // The first leg: every boat closes towards the centre line by its course number of units.
    e.Y = e.Y - static_cast<float>(e.Course);
    return;
  }
  // Overtaking: a boat about to run into one it is passing swings aside, outwards.
  const std::int16_t j = HitCheck(b, e.X + dx, e.Y);
  if (j >= 0 && static_cast<float>(e.Direction) * Boat(j).X < static_cast<float>(e.Direction) * (e.X + dx)) {
    ResumeNext([&] { e.Y = e.Y + static_cast<float>(detail::RoundLong(e.Direction * e.Height) / 2); });
  }
}

}  // namespace

namespace detail {

void RaceBoatStep(std::int16_t b) {
  IRaceScene& scene = RaceScene();
  EntrantType& e = Boat(b);
  if (OutAtTheStart(e)) {
    if (gintFrame == 12) {
      ResumeNext([&] { scene.imgRaceBoat(b).SetVisible(false); });
      e.X = 0;
    }
    return;
  }
  ResumeNext([&] { scene.imgRaceBoat(b).Move(e.X, e.Y); });

  if (e.Lap == 3) {
    // Finished: cruise on at the speed of notch 3 and 50 kg.
    e.Speed = KmhToMs(BoatSpeed(GearToRpm(3), 50));
    e.X = static_cast<float>(e.Direction) * e.Speed + e.X;
    return;
  }

  if (TurnPointCheck(b)) {
    e.TurnType = TurnTypeChoose(b);
    e.PictureNo = e.Direction < 1 ? 5 : 2;
    ResumeNext([&] { BoatPictureSet(b, e.PictureNo); });
  }
  if (e.TurnType != 0) {
    ResumeNext([&] { TurnStep(b); });
    const auto rpm = static_cast<std::int16_t>(GearToRpm(e.Gear) - MotorLoss(e.MotorRentairitu2));
    e.Speed = KmhToMs(BoatSpeed(rpm, e.Weight)) - TurnLoss(b);
    if (e.Angle == 180) {
      e.Direction = static_cast<std::int16_t>(-e.Direction);
      e.TurnType = 0;
      e.Angle = 0;
    } else {
      PictureByAngle(b);
      TurningStep(b);
      return;
    }
  }
  StraightStep(b);
}

}  // namespace detail

bool TurnPointCheck(std::int16_t intIndex) {
  const EntrantType& e = Boat(intIndex);
  if (e.TurnType != 0) return false;
  // Better racers begin their turn earlier.
  const float a = e.Syoritu / 2 * e.Speed;
  if (e.Direction == 1 && e.X + a >= static_cast<float>(glngMarkX[0])) return true;
  if (e.Direction == -1 && e.X - a + e.Width <= static_cast<float>(glngMarkX[1])) return true;
  return false;
}

std::int16_t TurnTypeChoose(std::int16_t intIndex) {
  const EntrantType& e = Boat(intIndex);
  const float w = e.Syoritu;
  if (w >= 8 && e.Lap == 1) return 4;
  const float r = Random().Rnd() * 10;
  if (w >= 7) {
    if (r >= 5) return 4;
    if (r >= 2) return 2;
    return 1;
  }
  if (w >= 6) {
    if (r >= 8) return 4;
    if (r >= 5) return 3;
    if (r >= 2) return 2;
    return 1;
  }
  if (w >= 4) {
    if (r >= 8) return 3;
    if (r >= 5) return 2;
    return 1;
  }
  if (r >= 8) return 3;
  if (r >= 6) return 2;
  return 1;
}

void TurnStep(std::int16_t intIndex) {
  EntrantType& e = Boat(intIndex);
  const float old = e.Angle;
  switch (e.TurnType) {
    case 1:
      TurnStep1(intIndex);
      break;
    case 2:
      TurnStep2(intIndex);
      break;
    case 3:
      TurnStep3(intIndex);
      break;
    case 4:
      TurnStep4(intIndex);
      break;
    default:
      break;
  }
  // The turn is held at its opening angle until the boat has passed its mark.
  const bool notPassed =
      (e.Direction > 0 && e.X < static_cast<float>(glngMarkX[0] + 3) && e.Y > static_cast<float>(glngMarkY[0])) ||
      (e.Direction < 0 && e.X + e.Width > static_cast<float>(glngMarkX[1]) && e.Y < static_cast<float>(glngMarkY[0]));
  if (e.Angle >= 30 && notPassed) e.Angle = old;
}

void TurnStep1(std::int16_t intIndex) {
  EntrantType& e = Boat(intIndex);
  const std::int16_t m = MinimumNotch(e, 1, 8);
  if (e.Angle < 90) {
    e.Angle += 15;
    GearDown(e, m);
  } else {
    if (CrossedCentreLine(e)) e.Angle += 18;
    GearUp(e, 8);
  }
}

void TurnStep2(std::int16_t intIndex) {
  EntrantType& e = Boat(intIndex);
  const std::int16_t m = MinimumNotch(e, 1, 4);
  if (e.Angle < 90) {
    e.Angle += 18;
    GearDown(e, m);
  } else {
    GearUp(e, e.Angle >= 120 ? 8 : 4);
    if (CrossedCentreLine(e)) e.Angle += 22.5f;
  }
}

void TurnStep3(std::int16_t intIndex) {
  EntrantType& e = Boat(intIndex);
  const std::int16_t m = MinimumNotch(e, 2, 8);
  if (e.Angle < 90) {
    e.Angle += 18;
    GearDown(e, m);
  } else {
    if (CrossedCentreLine(e)) e.Angle += 15;
    GearUp(e, 8);
  }
}

void TurnStep4(std::int16_t intIndex) {
  EntrantType& e = Boat(intIndex);
  if (e.Angle < 90) {
    e.Angle += 18;
  } else if (CrossedCentreLine(e)) {
    e.Angle += 15;
  }
}

float TurnLoss(std::int16_t intIndex) {
  const EntrantType& e = Boat(intIndex);
  const float r1 = Random().Rnd() * 10;
  if (!(r1 > 0)) return 0;
  float loss = Random().Rnd() * (8 - e.Syoritu);
  if (loss < 0) loss = 0;
  return loss;
}

std::int16_t TurnHitCheck(std::int16_t intIndex, float sngX, float sngY) {
  for (std::int16_t i = 0; i < kBoatCount; ++i) {
    if (i == intIndex) continue;
    const EntrantType& o = Boat(i);
    if (std::fabs(sngX - o.X) <= o.Width &&
        std::fabs(sngY - o.Y) <= static_cast<float>(detail::RoundLong(o.Height) / 3)) {
      return i;
    }
  }
  return -1;
}

std::int16_t HitCheck(std::int16_t intIndex, float sngX, float sngY) {
  for (std::int16_t i = 0; i < kBoatCount; ++i) {
    if (i == intIndex) continue;
    const EntrantType& o = Boat(i);
    if (std::fabs(sngX - o.X) <= static_cast<float>(detail::RoundLong(o.Width) / 2) &&
        std::fabs(sngY - o.Y) <= static_cast<float>(detail::RoundLong(o.Height) / 2)) {
      return i;
    }
  }
  return -1;
}

void RaceRun(std::int32_t& lngWaitTime) {
  IRaceScene& scene = RaceScene();
  Random().Randomize();
  gsngClock = 0;
  gintFrame = 0;

  // The start verdict, on the label still showing.
  ResumeNext([&] {
    if (gintGoal == 0) {
      scene.lblStart().SetForeColor(0xFFFFFF);
      scene.lblStart().SetCaption(QStringLiteral("スタートは正常でした。"));
    } else {
      scene.lblStart().SetForeColor(0x0000FF);
      scene.lblStart().SetCaption(QStringLiteral("スタート事故が発生した模様です！"));
    }
  });

  for (;;) {
    const detail::FrameTimer frame;
    ResumeNext(detail::NextFrame);
    gsngClock = static_cast<float>(gsngClock + 0.67 + std::floor(Random().Rnd() * 10) / 100);
    if (gintFrame == 12) {
      ResumeNext([&] { scene.lblStart().SetVisible(false); });
      ResumeNext([&] { scene.picClock().SetVisible(false); });
    }
    for (std::int16_t b = 0; b < kBoatCount; ++b) detail::RaceBoatStep(b);

    // The result table comes four frames after the last boat is out.
    if (gintGoal > 9) {
      ResumeNext(ResultShow);
      break;
    }
    if (gintGoal > 5) ++gintGoal;

    Clock().DoEvents();
    if (detail::LeaveAfterPump(kRaceStopQuestion)) break;
    frame.WaitRest(lngWaitTime);
  }

  if (gblnRunning) {
    gblnRunning = false;
    if (gblnQuit) ResumeNext([&] { scene.Unload(); });
  } else {
    ResumeNext([&] { scene.lblStart().SetCaption(QString::fromUtf16(kStoppedByUser)); });
  }
}

}  // namespace tidewake
