#include "platform/Clock.h"
#include "platform/Numeric.h"
#include "platform/RaceScene.h"
#include "sim/RunSupport.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"

#include <cmath>

namespace tidewake {
namespace {
constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kYellow = 0x00FFFF;
}  // namespace

using detail::ResumeNext;

void PoolInit() {
  IRaceScene& scene = RaceScene();
  IDrawSurface& pool = scene.picPool();
  ResumeNext([&] { glngPoolWidth = RoundToLong(pool.ScaleWidth()); });
  ResumeNext([&] { gsngPoolHeight = pool.ScaleHeight(); });

  glngMarkX[0] = 400;
  glngMarkX[1] = 100;
  ResumeNext([&] {
    glngMarkY[0] = RoundToLong(gsngPoolHeight) / 2;
    glngMarkY[1] = glngMarkY[0];
  });
  glngLineX = glngMarkX[1] + 150;

  ResumeNext([&] { gsngClockX = scene.picClock().ScaleWidth() / 2; });
  ResumeNext([&] { gsngClockY = scene.picClock().ScaleHeight() / 2; });
  gintGoal = 0;

  ResumeNext([&] { scene.lblStart().SetForeColor(kWhite); });
  ResumeNext([&] {
    ISceneLabel& label = scene.lblStart();
    label.Move(static_cast<float>(glngLineX - RoundToLong(label.Width()) / 2),
               static_cast<float>(glngMarkY[0]) - label.Height());
  });
  for (int k = 0; k <= 1; ++k) {
    ResumeNext([&] {
      ISceneImage& mark = scene.imgTurnMark(k);
      mark.Move(static_cast<float>(glngMarkX[static_cast<std::size_t>(k)] - RoundToLong(mark.Width()) / 2),
                static_cast<float>(glngMarkY[0]) - mark.Height() + 5);
    });
  }

  // The course: the line from the centre line down to the bottom edge, the centre line between
  // the marks, and the blue and yellow buoy lines at each end of it.
  ResumeNext([&] { pool.SetVisible(false); });
  ResumeNext([&] { pool.Cls(); });
  ResumeNext([&] {
    const auto lineX = static_cast<float>(glngLineX);
    const auto y = static_cast<float>(glngMarkY[0]);
    const auto left = static_cast<float>(glngMarkX[1]);
    const auto right = static_cast<float>(glngMarkX[0]);
    pool.Line(lineX, y, lineX, gsngPoolHeight, kBlack);
    pool.Line(left, y, right, y, kBlack);
    pool.Box(left, y - 2, left + 25, y + 2, kBlue, true);
    pool.Box(right - 25, y - 2, right, y + 2, kBlue, true);
    pool.Box(left + 25, y - 2, left + 35, y + 2, kYellow, true);
    pool.Box(right - 35, y - 2, right - 25, y + 2, kYellow, true);
  });
  ResumeNext([&] { pool.SetVisible(true); });

  ResumeNext([&] {
    IDrawSurface& clock = scene.picClock();
    scene.MoveClock(static_cast<float>(RoundToLong(pool.ScaleWidth() - clock.Width()) / 2),
                    scene.lblStart().Top() - clock.Height() - 5);
  });
  ResumeNext([&] { scene.picClock().SetVisible(true); });

  for (std::int16_t i = 0; i < kBoatCount; ++i) {
    EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
    ResumeNext([&] { BoatPictureSet(i, 1); });
    ResumeNext([&] { scene.imgRaceBoat(i).SetVisible(true); });
    e.Course = static_cast<std::int16_t>(i + 1);
    e.X = static_cast<float>(glngLineX);
    e.Y = static_cast<float>(200 + 20 * e.Course);
    ResumeNext([&] { e.Width = scene.imgRaceBoat(i).Width(); });
    ResumeNext([&] { e.Height = scene.imgRaceBoat(i).Height(); });
    e.Gear = 0;
    e.GoalTime = 0;
    e.TurnType = 0;
    e.Angle = 0;
    e.Speed = 0;
    e.Direction = 1;
    e.PictureNo = 1;
    e.Lap = 0;
    e.Result.clear();
    e.Weight = static_cast<float>(50 + i);
  }
}

void WaitTime(std::int32_t lngMilliseconds) {
  if (lngMilliseconds <= 0) return;
  IClock& clock = Clock();
  const std::int32_t start = clock.Milliseconds();
  for (;;) {
    const std::int32_t elapsed = detail::ElapsedSince(start);
    if (elapsed >= lngMilliseconds) return;
    clock.Wait(lngMilliseconds - elapsed);
  }
}

void BoatPictureSet(std::int16_t intIndex, std::int16_t intPictureNo) {
  RaceScene().imgRaceBoat(intIndex).SetPicture(intIndex * 6 + intPictureNo);
}

void ClockDraw() {
  IDrawSurface& clock = RaceScene().picClock();
  clock.Cls();
  const double theta = DegToRad((gsngClock + 2) * 30 - 90);
  clock.Line(gsngClockX, gsngClockY, static_cast<float>(gsngClockX + std::cos(theta) * (gsngClockX - 22)),
             static_cast<float>(gsngClockY + std::sin(theta) * (gsngClockY - 22)), kYellow);
}

void PoolTitleDraw() {
  IRaceScene& scene = RaceScene();
  IDrawSurface& pool = scene.picPool();
  pool.SetCurrentX(3);
  pool.SetCurrentY(3);
  pool.SetFontBold(true);
  pool.SetFontName(QStringLiteral("ＭＳ Ｐゴシック"));
  pool.SetForeColor(kWhite);
  pool.Print(JyoNameGet(scene.SelectedJyoCode()) + u' ' + scene.RaceNoText() + QStringLiteral("  ") + gstrTitle);
  pool.SetFontBold(false);
  pool.SetFontName(QStringLiteral("ＭＳ ゴシック"));
  for (int i = 0; i < kBoatCount; ++i) {
    // A number prints with the blank of its sign before it and one blank after it.
    pool.Print(QStringLiteral("  %1 ").arg(i + 1) + gtypEntrant[static_cast<std::size_t>(i)].Name);
  }
  pool.SetForeColor(kBlack);
}

}  // namespace tidewake
