// The water scene, the speed model and the frame pacing every run shares.

#include "sim/RaceSteps.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "tests/sim/SimHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tidewake;
using namespace tidewake::test;

TEST(SpeedModel, RevolutionsByNotch) {
  const std::int16_t rpm[] = {200, 1100, 2200, 3300, 4400, 5500, 6600, 6000, 6600, 7000};
  for (std::int16_t n = 0; n <= 9; ++n) EXPECT_EQ(GearToRpm(n), rpm[n]) << n;
  // Notch 7 is slower than 6, and anything beyond the table runs at 7000.
  EXPECT_LT(GearToRpm(7), GearToRpm(6));
  for (std::int16_t n : {10, -1, 32767}) EXPECT_EQ(GearToRpm(n), 7000) << n;
}

TEST(SpeedModel, MotorLossSpanByMotorRate) {
  // The largest draw below 1 shows the span: the loss rounds to it.
  ScriptedRandom random({0.99999994f});
  const std::pair<float, std::int16_t> cases[] = {{100, 5},     {60, 5},  {59.99f, 10}, {50, 10},  {49.9f, 20},
                                                  {40, 20},     {39, 50}, {30, 50},     {29, 100}, {20, 100},
                                                  {19.9f, 200}, {0, 200}, {-5, 200}};
  for (const auto& [rate, span] : cases) EXPECT_EQ(MotorLoss(rate), span) << rate;
  EXPECT_EQ(random.draws(), 13);
}

TEST(SpeedModel, MotorLossRoundsHalvesToEven) {
  ScriptedRandom random({0.5f, 0.3f, 0.25f, 0.0f});
  EXPECT_EQ(MotorLoss(60), 2);  // 2.5
  EXPECT_EQ(MotorLoss(60), 2);  // 1.5
  EXPECT_EQ(MotorLoss(0), 50);  // 50
  EXPECT_EQ(MotorLoss(0), 0);
}

TEST(SpeedModel, BoatSpeedLoadFactorIsHeldWithinItsBounds) {
  EXPECT_EQ(BoatSpeed(7000, 50), static_cast<float>(21.6 * 7000 * 60 / 100000 / 1.0625));
  EXPECT_NEAR(BoatSpeed(7000, 50), 85.3835f, 0.0001f);
  // 45 kg would give 0.95625: held at 1.03; 60 kg would give 1.275: held at 1.1.
  EXPECT_EQ(BoatSpeed(7000, 45), static_cast<float>(21.6 * 7000 * 60 / 100000 / 1.03f));
  EXPECT_EQ(BoatSpeed(7000, 60), static_cast<float>(21.6 * 7000 * 60 / 100000 / 1.1f));
  EXPECT_EQ(BoatSpeed(7000, 48), BoatSpeed(7000, 45));
  EXPECT_EQ(BoatSpeed(0, 50), 0.0f);
  // Notch 0 with the largest loss of a poor motor stands still.
  EXPECT_EQ(KmhToMs(BoatSpeed(static_cast<std::int16_t>(GearToRpm(0) - 200), 55)), 0.0f);
}

TEST(SpeedModel, UnitsAndAngles) {
  EXPECT_EQ(KmhToMs(36), 10.0f);
  EXPECT_EQ(KmhToMs(0), 0.0f);
  EXPECT_NEAR(KmhToMs(85.3835f), 23.7176f, 0.0001f);
  // 3.14, not pi.
  EXPECT_EQ(DegToRad(180), 3.14f);
  EXPECT_EQ(DegToRad(90), 1.57f);
  EXPECT_EQ(DegToRad(0), 0.0f);
}

TEST(WaitTime, ZeroOrNegativeReturnsAtOnce) {
  VirtualClock clock(5000);
  for (std::int32_t n : {0, -1, -250, std::numeric_limits<std::int32_t>::min()}) WaitTime(n);
  EXPECT_EQ(clock.waits(), 0);
  EXPECT_EQ(clock.pumps(), 0);
  EXPECT_EQ(clock.Milliseconds(), 5000);
}

TEST(WaitTime, WaitsOnTheClockNotOnThePump) {
  VirtualClock clock(5000);
  WaitTime(1000);
  EXPECT_EQ(clock.Milliseconds(), 6000);
  EXPECT_EQ(clock.waits(), 1);
  EXPECT_EQ(clock.pumps(), 0);
}

namespace {
// A clock whose wait returns early, after at most `step` ms, as a wait woken by an event does.
class EarlyWakingClock final : public IClock {
 public:
  explicit EarlyWakingClock(std::int32_t start, std::int32_t step) : now_(start), step_(step) {
    previous_ = SetClock(this);
  }
  ~EarlyWakingClock() override { SetClock(previous_); }
  std::int32_t Milliseconds() override { return now_; }
  void DoEvents() override { ++pumps; }
  void Wait(std::int32_t ms) override {
    ++waits;
    // The counter wraps like the platform's 32-bit millisecond counter.
    now_ =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(now_) + static_cast<std::uint32_t>(std::min(ms, step_)));
  }
  int pumps = 0, waits = 0;

 private:
  IClock* previous_;
  std::int32_t now_, step_;
};
}  // namespace

TEST(WaitTime, WaitsAgainAfterAnEarlyWakeUntilTheTimeHasPassed) {
  EarlyWakingClock clock(100, 300);
  WaitTime(1000);
  EXPECT_EQ(clock.Milliseconds(), 1100);
  EXPECT_EQ(clock.waits, 4);
  EXPECT_EQ(clock.pumps, 0);
}

TEST(WaitTime, CountsAcrossTheCounterWrap) {
  EarlyWakingClock clock(std::numeric_limits<std::int32_t>::max() - 100, 50);
  WaitTime(250);
  EXPECT_EQ(static_cast<std::uint32_t>(clock.Milliseconds()),
            static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()) + 150u);
  EXPECT_EQ(clock.waits, 5);
}

TEST(FramePacing, EachFrameLastsThePeriodWhateverItsWorkTook) {
  RunHarness h;
  ScriptedRandom random({0.5f});
  PoolInit();
  EntrantDataSet(PlainCard());
  std::vector<std::int32_t> at;
  h.atPump = [&](int pump) {
    at.push_back(h.clock.Milliseconds());
    // Work of 30 ms in most frames, 150 ms (longer than the period) in the fifth.
    h.clock.Advance(pump == 5 ? 150 : 30);
  };
  std::int32_t period = 100;
  TestRun(period);
  ASSERT_GT(at.size(), 10u);
  EXPECT_EQ(at[1] - at[0], 100);
  EXPECT_EQ(at[2] - at[1], 100);
  // The long frame is not waited out; the next one begins at once.
  EXPECT_EQ(at[5] - at[4], 150);
  EXPECT_EQ(at[6] - at[5], 100);
  // The display speed "普通" paces at 250 ms.
  PoolInit();
  at.clear();
  h.atPump = [&](int) { at.push_back(h.clock.Milliseconds()); };
  period = 250;
  TestRun(period);
  EXPECT_EQ(at[3] - at[2], 250);
}

TEST(PoolInit, PlacesTheCourseTheLabelTheMarksAndTheClock) {
  RunHarness h;
  PoolInit();
  EXPECT_EQ(glngPoolWidth, 828);
  EXPECT_EQ(gsngPoolHeight, 400.0f);
  EXPECT_EQ(glngMarkX[0], 400);
  EXPECT_EQ(glngMarkX[1], 100);
  EXPECT_EQ(glngMarkY[0], 200);
  EXPECT_EQ(glngMarkY[1], 200);
  EXPECT_EQ(glngLineX, 250);
  EXPECT_EQ(gsngClockX, 44.0f);
  EXPECT_EQ(gsngClockY, 49.5f);
  EXPECT_EQ(gintGoal, 0);

  // Label centred over the line (233 \ 2 = 116), standing on the centre line.
  EXPECT_EQ(h.scene.label.ForeColor(), 0xFFFFFFu);
  EXPECT_EQ(h.scene.label.Left(), 134.0f);
  EXPECT_EQ(h.scene.label.Top(), 185.0f);
  EXPECT_EQ(h.scene.marks[0].Left(), 392.0f);
  EXPECT_EQ(h.scene.marks[0].Top(), 173.0f);
  EXPECT_EQ(h.scene.marks[1].Left(), 92.0f);
  EXPECT_EQ(h.scene.marks[1].Top(), 173.0f);
  // Clock centred on the water, its bottom 5 above the label.
  EXPECT_EQ(h.scene.clockLeft, 370.0f);
  EXPECT_EQ(h.scene.clockTop, 81.0f);
  EXPECT_TRUE(h.scene.clock.Visible());

  EXPECT_EQ(h.scene.pool.log(), (QStringList{
                                    QStringLiteral("Hide"),
                                    QStringLiteral("Cls"),
                                    QStringLiteral("Line(250,200)-(250,400) #000000"),
                                    QStringLiteral("Line(100,200)-(400,200) #000000"),
                                    QStringLiteral("Fill(100,198)-(125,202) #FF0000"),
                                    QStringLiteral("Fill(375,198)-(400,202) #FF0000"),
                                    QStringLiteral("Fill(125,198)-(135,202) #00FFFF"),
                                    QStringLiteral("Fill(365,198)-(375,202) #00FFFF"),
                                    QStringLiteral("Show"),
                                }));
}

TEST(PoolInit, PutsEveryBoatBackAtTheLineInItsOwnLane) {
  RunHarness h;
  for (EntrantType& e : gtypEntrant) {
    e.Gear = 7;
    e.GoalTime = 99;
    e.TurnType = 3;
    e.Angle = 45;
    e.Speed = 12;
    e.Direction = -1;
    e.PictureNo = 4;
    e.Lap = 3;
    e.Result = QStringLiteral("F");
    e.Course = 4;
  }
  PoolInit();
  for (int i = 0; i < 6; ++i) {
    const EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
    EXPECT_EQ(e.Course, i + 1);
    EXPECT_EQ(e.X, 250.0f);
    EXPECT_EQ(e.Y, 220.0f + 20.0f * static_cast<float>(i));
    EXPECT_EQ(e.Width, 33.0f);
    EXPECT_EQ(e.Height, 33.0f);
    EXPECT_EQ(e.Gear, 0);
    EXPECT_EQ(e.GoalTime, 0.0f);
    EXPECT_EQ(e.TurnType, 0);
    EXPECT_EQ(e.Angle, 0.0f);
    EXPECT_EQ(e.Speed, 0.0f);
    EXPECT_EQ(e.Direction, 1);
    EXPECT_EQ(e.PictureNo, 1);
    EXPECT_EQ(e.Lap, 0);
    EXPECT_TRUE(e.Result.isEmpty());
    EXPECT_EQ(e.Weight, 50.0f + static_cast<float>(i));
    // Picture 1 (heading right) of the boat's own six.
    EXPECT_EQ(h.scene.boats[static_cast<std::size_t>(i)].Picture(), i * 6 + 1);
    EXPECT_TRUE(h.scene.boats[static_cast<std::size_t>(i)].Visible());
  }
}

TEST(PoolInit, CentreLineOfAnOddWater) {
  RunHarness h;
  h.scene.pool.SetSize(828, 401);
  PoolInit();
  EXPECT_EQ(glngMarkY[0], 200);
  h.scene.pool.SetSize(828, 401.5f);  // rounds to 402, halves to even
  PoolInit();
  EXPECT_EQ(glngMarkY[0], 201);
}

TEST(PoolInit, SkipsAStepThatFailsAndRunsTheRest) {
  RunHarness h;
  h.scene.marksFail = true;
  PoolInit();
  EXPECT_EQ(h.scene.label.Left(), 134.0f);
  EXPECT_EQ(h.scene.clockTop, 81.0f);
  EXPECT_EQ(h.scene.pool.log().size(), 9);
  EXPECT_EQ(gtypEntrant[5].Y, 320.0f);
}

TEST(BoatPictureSet, PicksTheBoatsOwnPictureFromTheList) {
  RunHarness h;
  BoatPictureSet(0, 1);
  EXPECT_EQ(h.scene.boats[0].Picture(), 1);
  BoatPictureSet(5, 6);
  EXPECT_EQ(h.scene.boats[5].Picture(), 36);
  BoatPictureSet(2, 4);
  EXPECT_EQ(h.scene.boats[2].Picture(), 16);
}

TEST(HeadlessScene, StandsInUntilTheWindowInstallsItsOwn) {
  // No scene installed: the window's layout, drawing nothing.
  ASSERT_EQ(SetRaceScene(nullptr), nullptr);
  PoolInit();
  EXPECT_EQ(glngPoolWidth, 828);
  EXPECT_EQ(glngMarkY[0], 200);
  EXPECT_EQ(gsngClockX, 44.0f);
  EXPECT_EQ(gtypEntrant[0].Width, 33.0f);
  EXPECT_EQ(RaceScene().lblStart().Left(), 134.0f);
  EXPECT_THROW(RaceScene().imgRaceBoat(6), RuntimeError);
  EXPECT_THROW(RaceScene().imgTurnMark(-1), RuntimeError);
}
