#include "platform/Clock.h"
#include "platform/RaceScene.h"
#include "platform/Random.h"
#include "sim/RunSupport.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"

namespace tidewake {

void StartPosition() {
  for (EntrantType& e : gtypEntrant) {
    // The run-up: 80 for course 1, 27 more for each course further out.
    const int runUp = 80 + 27 * (e.Course - 1);
    e.X = static_cast<float>(glngLineX - runUp) - e.Width;
    // The step from which the boat opens the throttle, notch by notch, so that its nose would
    // reach the line at the last step (motor losses left out).
    float sum = 0;
    std::int16_t notch = 0;
    for (std::int16_t k = 1; k <= 20; ++k) {
      if (notch < 9) ++notch;
      sum += KmhToMs(BoatSpeed(GearToRpm(notch), e.Weight));
      if (e.X + e.Width + sum >= static_cast<float>(glngLineX)) {
        e.AccelStep = static_cast<std::int16_t>(21 - k);
        break;
      }
    }
    // A better win rate places the boat up to 2.36 units a point further forward, and each
    // course adds its own number of units.
    const float r = Random().Rnd();
    e.X = static_cast<float>(static_cast<double>(glngLineX) - sum - e.Width +
                             static_cast<double>(r) * e.Syoritu * 2.36 + e.Course);
    e.Y = static_cast<float>(200 + 20 * e.Course);
  }
}

void RaceStart(std::int32_t& lngWaitTime) {
  IRaceScene& scene = RaceScene();
  PoolTitleDraw();
  StartPosition();
  gblnRunning = true;
  gblnQuit = false;
  gsngClock = 0;

  QString order;
  for (std::int16_t c = 1; c <= 6; ++c) {
    for (int i = 0; i < kBoatCount; ++i) {
      if (gtypEntrant[static_cast<std::size_t>(i)].Course == c) {
        order += QString::number(i + 1);
        break;
      }
    }
  }
  for (int i = 0; i < kBoatCount; ++i) {
    const EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
    scene.imgRaceBoat(i).Move(e.X, e.Y);
  }
  scene.lblStart().SetCaption(QStringLiteral("進入は内から ") + order + QStringLiteral(" となりました。"));
  scene.lblStart().SetVisible(true);
  ClockDraw();
  WaitTime(1000);

  bool stopped = false;
  for (int s = 1; s <= 20; ++s) {
    const detail::FrameTimer frame;
    gsngClock = gsngClock + 0.5f;
    for (int i = 0; i < kBoatCount; ++i) {
      EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
      scene.imgRaceBoat(i).Move(e.X, e.Y);
      if (s >= e.AccelStep) {
        ++e.Gear;
        if (e.Gear >= 10) e.Gear = 9;
      }
      const auto rpm = static_cast<std::int16_t>(GearToRpm(e.Gear) - MotorLoss(e.MotorRentairitu2));
      e.Speed = KmhToMs(BoatSpeed(rpm, e.Weight));
      e.X = static_cast<float>(e.Direction) * e.Speed + e.X;
      // A boat whose nose would come within 3 units of the line on one more such move throttles back.
      if (s == 18 &&
          static_cast<float>(glngLineX) - (static_cast<float>(e.Direction) * e.Speed + e.X + e.Width + 3) < 0) {
        e.Gear = 3;
      }
      if (s == 19) {
        e.StTime = (static_cast<float>(glngLineX) - (e.X + e.Width)) / e.Speed;
        if (e.StTime >= 1) {
          e.Result = QStringLiteral("L");
          ++gintGoal;
        } else if (e.StTime < 0) {
          e.Result = QStringLiteral("F");
          ++gintGoal;
        }
      }
    }
    ClockDraw();
    if (s >= 20) scene.lblStart().SetCaption(QStringLiteral("スタート！"));
    Clock().DoEvents();
    if (detail::LeaveAfterPump(kRaceStopQuestion)) {
      stopped = true;
      break;
    }
    frame.WaitRest(lngWaitTime);
  }

  if (gblnQuit) {
    scene.Unload();
    return;
  }
  WaitTime(2000);
  // Escape while "スタート！" stands is asked about as at any other moment of the race.
  if (!stopped && !gblnQuit && !gblnRunning) stopped = detail::LeaveAfterPump(kRaceStopQuestion);
  if (!stopped) {
    RaceRun(lngWaitTime);
  } else {
    scene.lblStart().SetCaption(QString::fromUtf16(kStoppedByUser));
  }
}

}  // namespace tidewake
