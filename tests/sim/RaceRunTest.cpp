// The race from the start line to the result table: turns, meetings, overtaking, laps, finish.

#include "sim/RaceSteps.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "tests/sim/SimHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tidewake;
using namespace tidewake::test;

namespace {

// The water prepared with the plain card and every boat but the ones a test uses parked far away.
class RaceRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PoolInit();
    EntrantDataSet(PlainCard());
    for (std::size_t i = 0; i < 6; ++i) {
      gtypEntrant[i].X = 5000 + 100 * static_cast<float>(i);
      gtypEntrant[i].Y = 5000;
      gtypEntrant[i].Weight = 50;
    }
    gsngClock = 20;
    gintFrame = 30;
  }
  EntrantType& boat(int i) { return gtypEntrant[static_cast<std::size_t>(i)]; }
  // Speed a notch gives at 50 kg without motor loss.
  static float SpeedOf(std::int16_t notch) { return KmhToMs(BoatSpeed(GearToRpm(notch), 50)); }

  RunHarness h;
};

std::vector<float> Angles(EntrantType& e, std::int16_t index, int steps) {
  std::vector<float> out;
  for (int k = 0; k < steps; ++k) {
    TurnStep(index);
    out.push_back(e.Angle);
  }
  return out;
}

}  // namespace

TEST_F(RaceRunTest, TurnBeginsEarlierForABetterRacer) {
  EntrantType& e = boat(0);
  e.Syoritu = 4;
  e.Speed = 20;  // look-ahead 40
  e.Direction = 1;
  e.X = 360;
  EXPECT_TRUE(TurnPointCheck(0));
  e.X = 359.9f;
  EXPECT_FALSE(TurnPointCheck(0));
  e.Direction = -1;
  e.X = 107;  // 107 - 40 + 33 = 100
  EXPECT_TRUE(TurnPointCheck(0));
  e.X = 107.1f;
  EXPECT_FALSE(TurnPointCheck(0));
  e.X = 0;
  e.TurnType = 2;
  EXPECT_FALSE(TurnPointCheck(0));
}

TEST_F(RaceRunTest, TurnStyleByWinRateAndChance) {
  struct Case {
    float w;
    std::int16_t lap;
    float r;
    std::int16_t style;
  };
  const Case cases[] = {
      {8, 0, 0.5f, 4},     {8, 0, 0.2f, 2},  {8, 0, 0.19f, 1},   {11, 2, 0.49f, 2},  {7, 1, 0.5f, 4},
      {7.99f, 0, 0.2f, 2}, {7, 0, 0.1f, 1},  {6, 0, 0.8f, 4},    {6.5f, 0, 0.5f, 3}, {6, 1, 0.2f, 2},
      {6.9f, 0, 0.19f, 1}, {4, 0, 0.8f, 3},  {5.9f, 0, 0.5f, 2}, {4, 0, 0.49f, 1},   {3.99f, 0, 0.8f, 3},
      {0, 0, 0.6f, 2},     {2, 0, 0.59f, 1}, {0, 1, 0, 1},
  };
  for (const Case& c : cases) {
    ScriptedRandom random({c.r});
    boat(0).Syoritu = c.w;
    boat(0).Lap = c.lap;
    EXPECT_EQ(TurnTypeChoose(0), c.style) << c.w << " lap " << c.lap << " r " << c.r;
    EXPECT_EQ(random.draws(), 1);
  }
  // A racer of 8 or more turns in style 4 on the second lap without a draw.
  ScriptedRandom random({0.0f});
  boat(0).Syoritu = 8;
  boat(0).Lap = 1;
  EXPECT_EQ(TurnTypeChoose(0), 4);
  EXPECT_EQ(random.draws(), 0);
}

TEST_F(RaceRunTest, TurnStylesLandExactlyOnNinetyAndOnEighty) {
  // Past the mark and above the centre line: nothing holds the turn.
  EntrantType& e = boat(0);
  const auto run = [&](std::int16_t style) {
    e.TurnType = style;
    e.Angle = 0;
    e.Direction = 1;
    e.X = 420;
    e.Y = 150;
    e.Gear = 9;
    return Angles(e, 0, style == 2 ? 9 : 11);
  };
  EXPECT_EQ(run(1), (std::vector<float>{15, 30, 45, 60, 75, 90, 108, 126, 144, 162, 180}));
  EXPECT_EQ(run(2), (std::vector<float>{18, 36, 54, 72, 90, 112.5f, 135, 157.5f, 180}));
  EXPECT_EQ(run(3), (std::vector<float>{18, 36, 54, 72, 90, 105, 120, 135, 150, 165, 180}));
  EXPECT_EQ(run(4), (std::vector<float>{18, 36, 54, 72, 90, 105, 120, 135, 150, 165, 180}));
}

TEST_F(RaceRunTest, TurnWaitsAtNinetyUntilTheCentreLineIsCrossed) {
  EntrantType& e = boat(0);
  e.TurnType = 1;
  e.Angle = 90;
  e.Direction = 1;
  e.X = 420;
  e.Y = 180;  // its bottom edge (213) is still below the centre line
  e.Gear = 3;
  TurnStep(0);
  EXPECT_EQ(e.Angle, 90.0f);
  EXPECT_EQ(e.Gear, 4);
  e.Y = 167;  // bottom edge on the centre line: crossed
  TurnStep(0);
  EXPECT_EQ(e.Angle, 108.0f);
  // Heading left, crossed means at or below the centre line.
  e.Direction = -1;
  e.X = 50;
  e.Angle = 90;
  e.Y = 199;
  TurnStep(0);
  EXPECT_EQ(e.Angle, 90.0f);
  e.Y = 200;
  TurnStep(0);
  EXPECT_EQ(e.Angle, 108.0f);
}

TEST_F(RaceRunTest, HoldRuleKeepsTheOpeningAngleUntilTheMarkIsPassed) {
  EntrantType& e = boat(0);
  e.TurnType = 2;
  e.Angle = 0;
  e.Direction = 1;
  e.X = 399.9f;  // not yet 3 past the mark
  e.Y = 230;
  e.Gear = 9;
  EXPECT_EQ(Angles(e, 0, 6), (std::vector<float>{18, 18, 18, 18, 18, 18}));
  // The notch still falls, to the style's floor for the lane (m = (170 \ 2) \ 16 = 5, held at 4).
  EXPECT_EQ(e.Gear, 4);
  e.X = 403;
  TurnStep(0);
  EXPECT_EQ(e.Angle, 36.0f);
  // Above the centre line it is passed whatever its X.
  e.Angle = 18;
  e.X = 300;
  e.Y = 200.1f;
  TurnStep(0);
  EXPECT_EQ(e.Angle, 18.0f);
  e.Y = 200;
  TurnStep(0);
  EXPECT_EQ(e.Angle, 36.0f);
  // Heading left at mark 1: held while its right edge is beyond the mark and it is above the line.
  e.Direction = -1;
  e.Angle = 18;
  e.X = 67.1f;
  e.Y = 150;
  TurnStep(0);
  EXPECT_EQ(e.Angle, 18.0f);
  e.X = 67;
  TurnStep(0);
  EXPECT_EQ(e.Angle, 36.0f);
}

TEST_F(RaceRunTest, MinimumNotchOfEachStyle) {
  EntrantType& e = boat(0);
  e.Direction = 1;
  e.X = 420;
  const auto floorAt = [&](std::int16_t style, float y) {
    e.TurnType = style;
    e.Angle = 0;
    e.Y = y;
    e.Gear = 0;  // below any floor: the step raises it to the floor
    TurnStep(0);
    return e.Gear;
  };
  EXPECT_EQ(floorAt(1, 300), 3);  // (100 \ 2) \ 16
  EXPECT_EQ(floorAt(1, 380), 1);  // 0, held at 1
  EXPECT_EQ(floorAt(3, 380), 2);
  EXPECT_EQ(floorAt(1, 100), 8);  // 9, held at 8
  EXPECT_EQ(floorAt(2, 100), 4);
  EXPECT_EQ(floorAt(1, 520), 3);  // below the water: the distance counts
  e.Gear = 6;
  e.TurnType = 4;
  e.Angle = 0;
  TurnStep(0);
  EXPECT_EQ(e.Gear, 6);
}

TEST_F(RaceRunTest, TurnLossByWinRate) {
  boat(0).Syoritu = 6;
  {
    ScriptedRandom random({0.0f});
    EXPECT_EQ(TurnLoss(0), 0.0f);
    EXPECT_EQ(random.draws(), 1);
  }
  {
    ScriptedRandom random({0.5f, 0.25f});
    EXPECT_EQ(TurnLoss(0), 0.5f);
    EXPECT_EQ(random.draws(), 2);
  }
  {
    ScriptedRandom random({0.5f, 0.5f});
    boat(0).Syoritu = 9.5f;
    EXPECT_EQ(TurnLoss(0), 0.0f);
  }
}

TEST_F(RaceRunTest, MeetingBoundsInTurnsAndOnTheStraight) {
  boat(1).X = 300;
  boat(1).Y = 250;
  // In a turn: within the other boat's width and a third of its height (11).
  EXPECT_EQ(TurnHitCheck(0, 333, 261), 1);
  EXPECT_EQ(TurnHitCheck(0, 267, 239), 1);
  EXPECT_EQ(TurnHitCheck(0, 333.1f, 250), -1);
  EXPECT_EQ(TurnHitCheck(0, 300, 261.1f), -1);
  // On the straight: half the width and half the height (16).
  EXPECT_EQ(HitCheck(0, 316, 266), 1);
  EXPECT_EQ(HitCheck(0, 316.1f, 250), -1);
  EXPECT_EQ(HitCheck(0, 300, 233.9f), -1);
  // Never the boat itself; the lowest index first; flying boats count too.
  boat(0).X = 300;
  boat(0).Y = 250;
  EXPECT_EQ(HitCheck(0, 300, 250), 1);
  boat(2).X = 300;
  boat(2).Y = 250;
  boat(2).Result = QStringLiteral("F");
  EXPECT_EQ(HitCheck(1, 300, 250), 0);
  EXPECT_EQ(TurnHitCheck(0, 300, 250), 1);
  boat(1).X = 5000;
  EXPECT_EQ(TurnHitCheck(0, 300, 250), 2);
}

namespace {
// Boat 1 in a turn at 18 degrees, past mark 0, about to step to 36 degrees at notch 4 (the
// floor of style 2 in its lane), with every draw 0: no motor loss, no turn loss, and a meeting
// threshold of 55.
struct TurnMeeting {
  float dx, dy;
};
TurnMeeting SetUpTurnMeeting(EntrantType& b) {
  b.TurnType = 2;
  b.Angle = 18;
  b.Direction = 1;
  b.X = 420;
  b.Y = 230;
  b.Gear = 5;
  b.Lap = 0;
  b.Rentairitu2 = 54;
  const float speed = KmhToMs(BoatSpeed(GearToRpm(4), b.Weight));
  const double theta = DegToRad(36);
  return {static_cast<float>(speed * std::cos(theta)), static_cast<float>(-speed * std::sin(theta))};
}
}  // namespace

TEST_F(RaceRunTest, BetterRacerPushesTheBoatItMeetsFromBehind) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  EntrantType& j = boat(1);
  const TurnMeeting m = SetUpTurnMeeting(b);
  j.Rentairitu2 = 43;  // 54 x 0.8 = 43.2 is more
  j.X = 420 + m.dx + 10;
  j.Y = 230 + m.dy;
  j.Gear = 5;
  const float jx = j.X, jy = j.Y;
  detail::RaceBoatStep(0);
  EXPECT_FLOAT_EQ(j.X, jx + m.dx);
  EXPECT_FLOAT_EQ(j.Y, jy + m.dy);
  EXPECT_EQ(j.Gear, 5);
  EXPECT_FLOAT_EQ(b.X, 420 + m.dx);
  EXPECT_FLOAT_EQ(b.Y, 230 + m.dy);
  EXPECT_EQ(b.Angle, 36.0f);
}

TEST_F(RaceRunTest, BetterRacerAlongsideTakesANotchOffTheOther) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  EntrantType& j = boat(1);
  const TurnMeeting m = SetUpTurnMeeting(b);
  j.Rentairitu2 = 43;
  j.X = 420;
  j.Y = 230 + m.dy;
  j.Gear = 5;
  detail::RaceBoatStep(0);
  EXPECT_EQ(j.Gear, 4);
  EXPECT_EQ(j.X, 420.0f);
  EXPECT_FLOAT_EQ(b.X, 420 + m.dx);
}

// A boat turning in style 4 keeps its notch through the turn; at notch 0 its speed is smaller
// than the turn's loss and it never got round. A meeting now leaves it notch 1 at least.
TEST_F(RaceRunTest, BoatMetInATurnKeepsItsFirstNotch) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  EntrantType& j = boat(1);
  const TurnMeeting m = SetUpTurnMeeting(b);
  j.Rentairitu2 = 10;
  j.X = 420;
  j.Y = 230 + m.dy;
  j.Gear = 1;
  detail::RaceBoatStep(0);
  EXPECT_EQ(j.Gear, 1);
}

TEST_F(RaceRunTest, StyleFourTurnAtItsLowestNotchAlwaysGetsRound) {
  // The worst a style-4 turn can meet: win rate 6 (the largest loss of the style), the poorest
  // motor and the largest draws in every frame.
  ScriptedRandom random({0.99999994f});
  EntrantType& j = boat(1);
  j.TurnType = 4;
  j.Angle = 90;
  j.Direction = 1;
  j.X = 420;
  j.Y = 190;  // must climb to 167 to cross the centre line
  j.Gear = 1;
  j.Syoritu = 6;
  j.MotorRentairitu2 = 0;
  j.Rentairitu2 = 0;
  for (int frame = 0; frame < 100 && j.Angle == 90; ++frame) {
    const float y = j.Y;
    detail::RaceBoatStep(1);
    if (j.Angle == 90) {
      EXPECT_LT(j.Y, y) << frame;
    }
  }
  EXPECT_GT(j.Angle, 90.0f);
}

TEST_F(RaceRunTest, WeakerRacerYieldsByHalvingItsMove) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  EntrantType& j = boat(1);
  const TurnMeeting m = SetUpTurnMeeting(b);
  j.Rentairitu2 = 43.2f;  // not less than 54 x 0.8
  j.X = 420;
  j.Y = 230 + m.dy;
  detail::RaceBoatStep(0);
  EXPECT_FLOAT_EQ(b.X, 420 + m.dx / 2);
  EXPECT_FLOAT_EQ(b.Y, 230 + m.dy / 2);
  EXPECT_EQ(j.X, 420.0f);
}

TEST_F(RaceRunTest, RacerAtSeventyOrMoreIsNeverTestedForMeetings) {
  // The largest threshold is Int(r x 15) + 55 = 69.
  ScriptedRandom random({0.0f, 0.0f, 0.99999994f});
  EntrantType& b = boat(0);
  EntrantType& j = boat(1);
  const TurnMeeting m = SetUpTurnMeeting(b);
  b.Rentairitu2 = 70;
  j.Rentairitu2 = 0;
  j.X = 420;
  j.Y = 230 + m.dy;
  j.Gear = 5;
  detail::RaceBoatStep(0);
  EXPECT_FLOAT_EQ(b.X, 420 + m.dx);
  EXPECT_EQ(j.Gear, 5);
  // 69.9 with the same draw is tested, and wins.
  SetUpTurnMeeting(b);
  b.Rentairitu2 = 68.9f;
  random.Script({0.0f, 0.0f, 0.99999994f});
  detail::RaceBoatStep(0);
  EXPECT_EQ(j.Gear, 4);
}

TEST_F(RaceRunTest, PoorBoatSwingsWideInTheSecondHalfOfATurn) {
  ScriptedRandom random({0.0f, 0.0f, 0.9f, 0.5f});  // motor, turn loss, meeting, drift
  EntrantType& b = boat(0);
  b.TurnType = 1;
  b.Angle = 108;
  b.Direction = 1;
  b.X = 420;
  b.Y = 150;
  b.Gear = 7;
  b.Rentairitu2 = 80;
  b.BoatRentairitu2 = 20;  // (50 - 20) x 0.5 = 15, held at 10
  detail::RaceBoatStep(0);
  ASSERT_EQ(b.Angle, 126.0f);
  const double theta = DegToRad(126);
  const float speed = KmhToMs(BoatSpeed(GearToRpm(8), 50));
  EXPECT_FLOAT_EQ(b.Y, static_cast<float>(150 - speed * std::sin(theta)) - 10);
  // A good boat does not drift.
  random.Script({0.0f, 0.0f, 0.9f, 0.5f});
  b.Angle = 108;
  b.Y = 150;
  b.Gear = 7;
  b.BoatRentairitu2 = 60;
  detail::RaceBoatStep(0);
  EXPECT_FLOAT_EQ(b.Y, static_cast<float>(150 - speed * std::sin(theta)));
}

TEST_F(RaceRunTest, PictureFollowsTheTurn) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  b.Rentairitu2 = 80;
  b.Syoritu = 0;
  b.Direction = 1;
  b.X = 420;
  b.Y = 150;
  b.Speed = 20;
  b.Gear = 8;
  std::vector<int> pictures;
  for (int k = 0; k < 12 && pictures.size() < 12; ++k) {
    detail::RaceBoatStep(0);
    pictures.push_back(h.scene.boats[0].Picture());
  }
  // Style 1 (draw 0): 15, 30, 45 show 2; 60, 75, 90, 108 show 3; 126, 144, 162 show 4; at 180
  // the boat runs straight on and 4 stays.
  EXPECT_EQ(pictures, (std::vector<int>{2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 4}));
  EXPECT_EQ(b.Direction, -1);
  EXPECT_EQ(b.TurnType, 0);
  EXPECT_EQ(b.Angle, 0.0f);
}

TEST_F(RaceRunTest, TurnEndsAtEightyAndRunsStraightInTheSameFrame) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  b.TurnType = 4;
  b.Angle = 165;
  b.Direction = 1;
  b.X = 420;
  b.Y = 100;
  b.Gear = 8;
  b.Rentairitu2 = 80;
  detail::RaceBoatStep(0);
  EXPECT_EQ(b.Direction, -1);
  EXPECT_EQ(b.TurnType, 0);
  EXPECT_EQ(b.Gear, 9);
  EXPECT_FLOAT_EQ(b.X, 420 - SpeedOf(9));
}

TEST_F(RaceRunTest, OvertakingBoatSwingsAsideOutwards) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  EntrantType& j = boat(1);
  const float s = SpeedOf(9);
  const auto place = [&](std::int16_t direction, float jOffset) {
    b.Direction = direction;
    b.TurnType = 0;
    b.Lap = 1;
    b.Gear = 8;
    b.Syoritu = 0;
    b.X = 300;
    b.Y = 230;
    j.X = 300 + 2 * s * direction + jOffset;
    j.Y = 230;
  };
  place(1, -5);  // behind the point one more move ahead
  detail::RaceBoatStep(0);
  EXPECT_EQ(b.Y, 246.0f);
  place(1, 0);  // level with it
  detail::RaceBoatStep(0);
  EXPECT_EQ(b.Y, 230.0f);
  place(1, 5);  // ahead of it
  detail::RaceBoatStep(0);
  EXPECT_EQ(b.Y, 230.0f);
  place(-1, 5);  // heading left, behind means to the right
  detail::RaceBoatStep(0);
  EXPECT_EQ(b.Y, 214.0f);
}

TEST_F(RaceRunTest, FirstLegClosesTowardsTheCentreLine) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(5);
  EntrantType& j = boat(1);
  b.Course = 6;
  b.Lap = 0;
  b.Direction = 1;
  b.X = 260;
  b.Y = 320;
  b.Gear = 8;
  b.Syoritu = 0;
  j.X = 260 + SpeedOf(9);  // overlapping: no swing on the first leg
  j.Y = 320;
  detail::RaceBoatStep(5);
  EXPECT_EQ(b.Y, 314.0f);
  // Still behind the line: no closing.
  b.X = 200;
  b.Y = 320;
  j.X = 5000;
  detail::RaceBoatStep(5);
  EXPECT_EQ(b.Y, 320.0f);
}

TEST_F(RaceRunTest, LapCountsOnlyAfterTheFirstTenSeconds) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  const auto cross = [&](float clock) {
    gsngClock = clock;
    b.Direction = 1;
    b.TurnType = 0;
    b.X = 250 - 33 - 5;
    b.Gear = 8;
    detail::RaceBoatStep(0);
  };
  b.Lap = 0;
  cross(10);
  EXPECT_EQ(b.Lap, 0);
  cross(10.01f);
  EXPECT_EQ(b.Lap, 1);
  // Heading left across the line is no lap.
  b.Direction = -1;
  b.X = 250 - 33 + 5;
  detail::RaceBoatStep(0);
  EXPECT_EQ(b.Lap, 1);
}

TEST_F(RaceRunTest, FinishTimeIsInterpolatedWithinTheFrame) {
  ScriptedRandom random({0.0f});
  EntrantType& b = boat(0);
  b.Weight = 50.82353f;  // notch 7 (6000 rpm) then runs 20 units a frame
  b.Lap = 2;
  b.Direction = 1;
  b.Gear = 6;
  b.X = 250 - 33 - 6;
  gsngClock = 100;
  gintGoal = 1;
  detail::RaceBoatStep(0);
  EXPECT_NEAR(b.Speed, 20.0f, 1e-4f);
  EXPECT_EQ(b.Lap, 3);
  EXPECT_EQ(gintGoal, 2);
  EXPECT_NEAR(b.GoalTime, 100.3f, 1e-4f);
  // Finished: cruises at the speed of notch 3 and 50 kg, even past the mark.
  b.X = 500;
  detail::RaceBoatStep(0);
  EXPECT_EQ(b.Speed, SpeedOf(3));
  EXPECT_EQ(b.X, 500 + SpeedOf(3));
  EXPECT_EQ(b.TurnType, 0);
  EXPECT_EQ(gintGoal, 2);
}

TEST_F(RaceRunTest, FlyingBoatLeavesTheWaterAtFrame12) {
  EntrantType& b = boat(2);
  b.Result = QStringLiteral("F");
  b.X = 240;
  for (std::int16_t f = 1; f <= 11; ++f) {
    gintFrame = f;
    detail::RaceBoatStep(2);
  }
  EXPECT_EQ(b.X, 240.0f);
  EXPECT_TRUE(h.scene.boats[2].Visible());
  EXPECT_EQ(h.scene.log.filter(QStringLiteral("imgRaceBoat(2).Move")).size(), 0);
  gintFrame = 12;
  detail::RaceBoatStep(2);
  EXPECT_EQ(b.X, 0.0f);
  EXPECT_FALSE(h.scene.boats[2].Visible());
}

namespace {
void RunWholeRace(std::uint32_t seed) {
  SeededRandom random(seed);
  PoolInit();
  EntrantDataSet(PlainCard());
  std::int32_t period = 100;
  RaceStart(period);
}
}  // namespace

TEST(RaceRun, ResultTableFourFramesAfterTheLastBoatIsOut) {
  RunHarness h;
  RunWholeRace(5);
  int lastOut = 0;
  for (const Snapshot& s : h.snaps) {
    if (s.pump > 20 && s.goal >= 7 && lastOut == 0) lastOut = s.frame;
  }
  ASSERT_GT(lastOut, 0);
  EXPECT_EQ(gintFrame, lastOut + 4);
  EXPECT_TRUE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral(" 確定 12 R")));
  EXPECT_FALSE(gblnRunning);
  EXPECT_EQ(h.scene.unloads, 0);
  // The label and the clock go at frame 12.
  EXPECT_FALSE(h.scene.label.Visible());
  EXPECT_FALSE(h.scene.clock.Visible());
  const int hide = static_cast<int>(h.scene.log.indexOf(QStringLiteral("lblStart.Hide")));
  ASSERT_GE(hide, 0);
  // Boat 1 was moved once before the run-up, once a step and once in each of frames 1..11.
  EXPECT_EQ(h.scene.log.mid(0, hide).filter(QStringLiteral("imgRaceBoat(0).Move")).size(), 1 + 20 + 11);
}

TEST(RaceRun, AllSixFlyingDrawsTheTableInTheFifthFrame) {
  RunHarness h;
  PoolInit();
  EntrantDataSet(PlainCard());
  for (EntrantType& e : gtypEntrant) {
    e.Result = QStringLiteral("F");
    e.StTime = -0.02f;
  }
  gintGoal = 6;
  gblnRunning = true;
  std::int32_t period = 100;
  RaceRun(period);
  EXPECT_EQ(gintFrame, 5);
  EXPECT_EQ(h.clock.pumps(), 4);
  EXPECT_EQ(h.scene.label.captions.first(), QStringLiteral("スタート事故が発生した模様です！"));
  EXPECT_EQ(h.scene.pool.printed().filter(QStringLiteral("  F     ")).size(), 6);
}

TEST(RaceRun, StopAnsweredNoGoesOnAtTheSameFrame) {
  RunHarness h;
  h.boxes.AnswerNext(MsgResult::No);
  h.atPump = [&](int pump) {
    if (pump == 30) gblnRunning = false;
  };
  RunWholeRace(9);
  ASSERT_EQ(h.boxes.boxes().size(), 1u);
  EXPECT_EQ(h.boxes.boxes()[0].text, QStringLiteral("レースを中止しますか。"));
  EXPECT_EQ(h.boxes.boxes()[0].icon, MsgIcon::Question);
  std::int16_t previous = 0;
  for (const Snapshot& s : h.snaps) {
    if (s.pump <= 20) continue;
    EXPECT_EQ(s.frame, previous + 1);
    previous = s.frame;
  }
  EXPECT_TRUE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral(" 確定 12 R")));
}

TEST(RaceRun, StopAnsweredYesEndsWithoutATable) {
  RunHarness h;
  h.boxes.AnswerNext(MsgResult::Yes);
  h.atPump = [&](int pump) {
    if (pump == 40) gblnRunning = false;
  };
  RunWholeRace(9);
  EXPECT_EQ(h.clock.pumps(), 40);
  EXPECT_EQ(h.scene.label.Caption(), QStringLiteral("ユーザによって中止されました"));
  EXPECT_FALSE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral(" 確定 ")));
  EXPECT_FALSE(gblnRunning);
  EXPECT_EQ(h.scene.unloads, 0);
}

TEST(RaceRun, QuitEndsTheRaceAndUnloadsTheWindow) {
  RunHarness h;
  h.atPump = [&](int pump) {
    if (pump == 33) gblnQuit = true;
  };
  RunWholeRace(9);
  EXPECT_EQ(h.clock.pumps(), 33);
  EXPECT_EQ(gintFrame, 13);
  EXPECT_EQ(h.scene.unloads, 1);
  EXPECT_FALSE(gblnRunning);
  EXPECT_FALSE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral(" 確定 ")));
  EXPECT_TRUE(h.boxes.boxes().empty());
  gblnQuit = false;
}
