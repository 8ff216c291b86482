#include "platform/Clock.h"
#include "platform/RaceScene.h"
#include "platform/Random.h"
#include "sim/RaceSteps.h"
#include "sim/RunSupport.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"

#include <cmath>

namespace tidewake {
namespace detail {

void TestBoatStep(std::int16_t b, std::array<float, 6>& sngMaxSpeed) {
  IRaceScene& scene = RaceScene();
  EntrantType& e = gtypEntrant[static_cast<std::size_t>(b)];
  detail::ResumeNext([&] { scene.imgRaceBoat(b).Move(e.X, e.Y); });
  // The boats set off 8 frames apart; one that has not set off stays off the water.
  if (!(gintFrame / 8 == b || e.Speed != 0)) return;

  if (e.Lap == 2) {
    e.Speed = KmhToMs(BoatSpeed(GearToRpm(3), 50));
    e.X = static_cast<float>(e.Direction) * e.Speed + e.X;
    return;
  }
  // Every exhibition turn is of style 1; there are no meetings, no drift and no start leg.
  if (TurnPointCheck(b)) {
    e.TurnType = 1;
    e.PictureNo = e.Direction < 1 ? 5 : 2;
    detail::ResumeNext([&] { BoatPictureSet(b, e.PictureNo); });
  }
  if (e.TurnType != 0) {
    detail::ResumeNext([&] { TurnStep(b); });
    const auto rpm = static_cast<std::int16_t>(GearToRpm(e.Gear) - MotorLoss(e.MotorRentairitu2));
    e.Speed = KmhToMs(BoatSpeed(rpm, e.Weight)) - TurnLoss(b);
    if (e.Angle != 180) {
      if (e.Angle >= 120) {
        e.PictureNo = e.Direction < 1 ? 1 : 4;
      } else if (e.Angle >= 60) {
        e.PictureNo = e.Direction < 1 ? 6 : 3;
      }
      detail::ResumeNext([&] { BoatPictureSet(b, e.PictureNo); });
      const double theta = DegToRad(e.Angle);
      e.X = static_cast<float>(e.X + e.Speed * std::cos(theta) * e.Direction);
      e.Y = static_cast<float>(e.Y - e.Speed * std::sin(theta) * e.Direction);
    } else {
      e.Direction = static_cast<std::int16_t>(-e.Direction);
      e.TurnType = 0;
      e.Angle = 0;
    }
  }
  if (e.TurnType == 0) {
    ++e.Gear;
    if (e.Gear > 9) e.Gear = 9;
    const auto rpm = static_cast<std::int16_t>(GearToRpm(e.Gear) - MotorLoss(e.MotorRentairitu2));
    e.Speed = KmhToMs(BoatSpeed(rpm, e.Weight));
    const float dx = static_cast<float>(e.Direction) * e.Speed;
    float& best = sngMaxSpeed[static_cast<std::size_t>(b)];
    if (e.Speed > best) best = e.Speed;
    // A pass is counted crossing 50 units before the line, heading left.
    const auto passLine = static_cast<float>(glngLineX - 50);
    if (e.X > passLine && e.Direction < 0 && e.X + dx <= passLine) {
      ++e.Lap;
      if (e.Lap == 2) {
        ++gintGoal;
        e.GoalTime = gsngClock;
      }
    }
    e.X = e.X + dx;
  }
}

}  // namespace detail

void TestRun(std::int32_t& lngWaitTime) {
  IRaceScene& scene = RaceScene();
  std::array<float, 6> sngMaxSpeed{};
  Random().Randomize();
  gsngClock = 0;
  gintFrame = 0;
  gblnRunning = true;

  detail::ResumeNext(PoolTitleDraw);
  detail::ResumeNext([&] { scene.lblStart().SetCaption(QStringLiteral("展示航走")); });
  detail::ResumeNext([&] { scene.lblStart().SetVisible(true); });
  for (EntrantType& e : gtypEntrant) {
    e.Speed = 0;
    e.X = -e.Width;
    e.Y = static_cast<float>(glngMarkY[0] + 60);
  }

  for (;;) {
    const detail::FrameTimer frame;
    detail::ResumeNext(detail::NextFrame);
    gsngClock = static_cast<float>(gsngClock + 0.67);
    for (std::int16_t b = 0; b < kBoatCount; ++b) detail::TestBoatStep(b, sngMaxSpeed);

    // The times are announced 24 frames after the last boat's second pass.
    if (gintGoal > 29) {
      detail::ResumeNext([&] { TestTimeShow(sngMaxSpeed); });
      break;
    }
    if (gintGoal > 5) ++gintGoal;

    Clock().DoEvents();
    if (detail::LeaveAfterPump(kTestStopQuestion)) break;
    frame.WaitRest(lngWaitTime);
  }

  if (gblnRunning) {
    gblnRunning = false;
    if (gblnQuit) detail::ResumeNext([&] { scene.Unload(); });
  } else {
    detail::ResumeNext([&] { scene.lblStart().SetCaption(QString::fromUtf16(kStoppedByUser)); });
  }
}

}  // namespace tidewake
