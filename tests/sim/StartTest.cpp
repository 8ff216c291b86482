// The header on the water, the entry, the twenty-step run-up and its verdicts.

#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "tests/sim/SimHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tidewake;
using namespace tidewake::test;

namespace {

const QString kCaptionStopped = QStringLiteral("ユーザによって中止されました");

// Prepares the water and runs a race on `card`; the harness's hook sees each event pump
// (pumps 1..20 are the run-up's steps).
void RunRace(RunHarness&, const std::array<CardEntry, 6>& card) {
  PoolInit();
  EntrantDataSet(card);
  gstrTitle = QStringLiteral("ＳＧ　第１回オールスター");
  std::int32_t period = 100;
  RaceStart(period);
}

QString EntryCaption(RunHarness& h) {
  for (const QString& c : h.scene.label.captions) {
    if (c.startsWith(QStringLiteral("進入は内から "))) return c;
  }
  return QString();
}

// The X at step 18's end from which the step-19 move at speed `s` leaves StTime at `target`
// or just beyond it, worked with the run-up's own single-precision steps.
float StTimeAfterMove(float x, float s) { return (250.0f - ((1.0f * s + x) + 33.0f)) / s; }

}  // namespace

TEST(PoolTitleDraw, PrintsVenueRaceTitleAndTheSixNames) {
  RunHarness h;
  PoolInit();
  EntrantDataSet(PlainCard());
  gstrTitle = QStringLiteral("ＳＧ　第１回オールスター BOAT RACE");
  h.scene.pool.clearLog();
  PoolTitleDraw();
  EXPECT_EQ(h.scene.pool.printed(), (QStringList{
                                        QStringLiteral("(3,3) 住之江 12 R  ＳＧ　第１回オールスター BOAT RACE"),
                                        QStringLiteral("(0,15)   1 選手一"),
                                        QStringLiteral("(0,27)   2 選手二"),
                                        QStringLiteral("(0,39)   3 選手三"),
                                        QStringLiteral("(0,51)   4 選手四"),
                                        QStringLiteral("(0,63)   5 選手五"),
                                        QStringLiteral("(0,75)   6 選手六"),
                                    }));
  EXPECT_TRUE(h.scene.pool.log().first().contains(QStringLiteral("#FFFFFF")));
  EXPECT_FALSE(h.scene.pool.FontBold());
  EXPECT_EQ(h.scene.pool.FontName(), QStringLiteral("ＭＳ ゴシック"));
  EXPECT_EQ(h.scene.pool.ForeColor(), 0u);
}

TEST(PoolTitleDraw, NoVenueSelectedPrintsAnEmptyName) {
  RunHarness h;
  h.scene.jyoCode = 0;
  h.scene.raceNoText = QStringLiteral(" 1 R");
  gstrTitle = QStringLiteral("T");
  PoolTitleDraw();
  EXPECT_EQ(h.scene.pool.printed().first(), QStringLiteral("(3,3)   1 R  T"));
}

TEST(ClockDraw, HandTurnsFromTwoOClockToStraightUp) {
  RunHarness h;
  PoolInit();
  h.scene.clock.clearLog();
  gsngClock = 0;
  ClockDraw();
  const double a = 3.14 / 180 * -30.0;
  EXPECT_EQ(h.scene.clock.log(),
            (QStringList{QStringLiteral("Cls"),
                         QStringLiteral("Line(44,49.5)-(%1,%2) #00FFFF")
                             .arg(QString::number(static_cast<float>(44 + std::cos(a) * 22), 'g', 9),
                                  QString::number(static_cast<float>(49.5 + std::sin(a) * 27.5), 'g', 9))}));
  h.scene.clock.clearLog();
  gsngClock = 10;
  ClockDraw();
  const QString line = h.scene.clock.log().at(1);
  const auto end = line.mid(line.indexOf(u'-') + 2).section(u')', 0, 0).split(u',');
  EXPECT_NEAR(end[0].toDouble(), 44, 0.1);  // 3.14 for pi leaves the hand a hair left of vertical
  EXPECT_NEAR(end[1].toDouble(), 22, 0.01);
}

TEST(StartPosition, RunUpByCourseAndTheStepToOpenTheThrottle) {
  RunHarness h;
  ScriptedRandom random({0.0f});
  PoolInit();
  EntrantDataSet(PlainCard());
  StartPosition();
  for (int i = 0; i < 6; ++i) {
    const EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
    const int runUp = 80 + 27 * i;
    // The throttle opens so that the summed notch speeds first reach the run-up at step 20.
    const int k = 21 - e.AccelStep;
    float sum = 0, before = 0;
    for (int n = 1; n <= k; ++n) {
      before = sum;
      sum += KmhToMs(BoatSpeed(GearToRpm(static_cast<std::int16_t>(std::min(n, 9))), e.Weight));
    }
    EXPECT_GE(sum, static_cast<float>(runUp)) << i;
    EXPECT_LT(before, static_cast<float>(runUp)) << i;
    EXPECT_FLOAT_EQ(e.X, 250 - sum - 33 + static_cast<float>(e.Course)) << i;
    EXPECT_EQ(e.Y, 220.0f + 20.0f * static_cast<float>(i));
  }
  EXPECT_EQ(random.draws(), 6);
}

TEST(StartPosition, BetterWinRateStandsFurtherForward) {
  RunHarness h;
  ScriptedRandom random({0.5f});
  PoolInit();
  auto card = PlainCard();
  card[0].syoritu = 10;
  card[1].syoritu = 0;
  card[1].course = 1;
  EntrantDataSet(card);
  StartPosition();
  EXPECT_NEAR(gtypEntrant[0].X - gtypEntrant[1].X, 0.5 * 10 * 2.36, 1e-4);
  EXPECT_EQ(gtypEntrant[1].Y, 220.0f);
}

TEST(RaceStart, EntryOrderFromInsideOut) {
  {
    RunHarness h;
    ScriptedRandom random({0.3f});
    RunRace(h, PlainCard());
    EXPECT_EQ(EntryCaption(h), QStringLiteral("進入は内から 123456 となりました。"));
  }
  {
    RunHarness h;
    ScriptedRandom random({0.3f});
    auto card = PlainCard();
    card[2].course = 1;
    card[0].course = 3;
    RunRace(h, card);
    EXPECT_EQ(EntryCaption(h), QStringLiteral("進入は内から 321456 となりました。"));
  }
  {
    // Two boats on course 2 and nobody on course 1: the first of them is named, course 1 adds nothing.
    RunHarness h;
    ScriptedRandom random({0.3f});
    auto card = PlainCard();
    card[0].course = 2;
    RunRace(h, card);
    EXPECT_EQ(EntryCaption(h), QStringLiteral("進入は内から 13456 となりました。"));
  }
}

TEST(RaceStart, ShowsTheBoatsTheEntryTheClockThenStartsAfterTwentySteps) {
  RunHarness h;
  ScriptedRandom random({0.3f});
  std::vector<std::int32_t> at;
  h.atPump = [&](int pump) {
    if (pump <= 21) at.push_back(h.clock.Milliseconds());
  };
  const std::int32_t t0 = h.clock.Milliseconds();
  RunRace(h, PlainCard());
  // 1000 ms before the first step; 100 ms a step; 2000 ms between the last step and the race.
  EXPECT_EQ(at[0] - t0, 1000);
  EXPECT_EQ(at[19] - at[18], 100);
  EXPECT_EQ(at[20] - at[19], 2100);
  for (int s = 1; s <= 20; ++s) EXPECT_EQ(h.snaps[static_cast<std::size_t>(s - 1)].clock, 0.5f * static_cast<float>(s));
  const QStringList& c = h.scene.label.captions;
  ASSERT_GE(c.size(), 3);
  EXPECT_EQ(c[0], QStringLiteral("進入は内から 123456 となりました。"));
  EXPECT_EQ(c[1], QStringLiteral("スタート！"));
  EXPECT_EQ(c[2], QStringLiteral("スタートは正常でした。"));
  EXPECT_EQ(h.scene.log.filter(QStringLiteral("スタート！")).size(), 1);
  // The run-up does not reseed; the race does, once.
  EXPECT_EQ(random.reseeds(), 1);
}

TEST(RaceStart, ThrottlesBackAtStep18NearTheLine) {
  RunHarness h;
  ScriptedRandom random({0.0f});
  float speed18 = 0;
  h.atPump = [&](int pump) {
    EntrantType& near = gtypEntrant[1];
    EntrantType& clear = gtypEntrant[2];
    if (pump == 17) {
      // Place the boats so that after step 18's move the nose of boat 2 is 2 units, that of
      // boat 3 4 units, beyond a further move plus 3 short of the line.
      const auto g = static_cast<std::int16_t>(std::min(near.Gear + 1, 9));
      speed18 = KmhToMs(BoatSpeed(GearToRpm(g), near.Weight));
      near.X = 250 - 33 - 2 * speed18 - 3 + 2;
      const auto g3 = static_cast<std::int16_t>(std::min(clear.Gear + 1, 9));
      const float s3 = KmhToMs(BoatSpeed(GearToRpm(g3), clear.Weight));
      clear.X = 250 - 33 - 2 * s3 - 3 - 4;
    }
    if (pump == 18) {
      EXPECT_EQ(near.Gear, 3);
      EXPECT_GT(clear.Gear, 3);
      gblnQuit = true;
    }
  };
  RunRace(h, PlainCard());
  EXPECT_GT(speed18, 0);
}

TEST(RaceStart, FlyingAndLateVerdictsAtStep19) {
  RunHarness h;
  ScriptedRandom random({0.0f});
  float xFlying = 0, xLate = 0, xNormal = 0;
  h.atPump = [&](int pump) {
    if (pump != 18) return;
    // Boat 2: the nose a hair past the line after step 19. Boat 4: exactly one more move short
    // of the line (StTime 1). Boat 5: one step of float less than that (StTime just below 1).
    EntrantType& f = gtypEntrant[1];
    const float sf = KmhToMs(BoatSpeed(GearToRpm(static_cast<std::int16_t>(std::min(f.Gear + 1, 9))), f.Weight));
    f.X = xFlying = 250 - 33 - sf + 0.001f;
    for (std::size_t i : {3u, 4u}) {
      EntrantType& e = gtypEntrant[i];
      const float s = KmhToMs(BoatSpeed(GearToRpm(static_cast<std::int16_t>(std::min(e.Gear + 1, 9))), e.Weight));
      float x = 250 - 33 - 2 * s;
      while (StTimeAfterMove(x, s) < 1) x = std::nextafter(x, -1e9f);
      while (StTimeAfterMove(std::nextafter(x, 1e9f), s) >= 1) x = std::nextafter(x, 1e9f);
      if (i == 4) {
        while (StTimeAfterMove(x, s) >= 1) x = std::nextafter(x, 1e9f);
        xNormal = x;
      } else {
        xLate = x;
      }
      e.X = x;
    }
  };
  RunRace(h, PlainCard());
  ASSERT_NE(xFlying, 0);
  const Snapshot& s19 = h.snaps[18];
  EXPECT_EQ(s19.boats[1].Result, QStringLiteral("F"));
  EXPECT_LT(s19.boats[1].StTime, 0);
  EXPECT_GT(s19.boats[1].StTime, -0.001f);
  EXPECT_GE(s19.boats[3].StTime, 1.0f);
  EXPECT_NEAR(s19.boats[3].StTime, 1.0f, 1e-6f);
  EXPECT_EQ(s19.boats[3].Result, QStringLiteral("L"));
  EXPECT_LT(s19.boats[4].StTime, 1.0f);
  EXPECT_TRUE(s19.boats[4].Result.isEmpty());
  EXPECT_EQ(s19.goal, 2);
  EXPECT_EQ(gtypEntrant[1].Result, QStringLiteral("F"));
  EXPECT_EQ(gtypEntrant[3].Result, QStringLiteral("L"));
  // The race then opens with the accident verdict in red.
  const int red = static_cast<int>(h.scene.log.indexOf(QStringLiteral("lblStart.ForeColor #0000FF")));
  ASSERT_GE(red, 0);
  EXPECT_EQ(h.scene.log.at(red + 1), QStringLiteral("lblStart.Caption スタート事故が発生した模様です！"));
}

TEST(RaceStart, StopAnsweredNoGoesOnAtTheSameStep) {
  RunHarness h;
  ScriptedRandom random({0.3f});
  h.boxes.AnswerNext(MsgResult::No);
  h.atPump = [&](int pump) {
    if (pump == 5) gblnRunning = false;
  };
  RunRace(h, PlainCard());
  ASSERT_EQ(h.boxes.boxes().size(), 1u);
  const RecordedBox& box = h.boxes.boxes()[0];
  EXPECT_EQ(box.text, QStringLiteral("レースを中止しますか。"));
  EXPECT_EQ(box.buttons, MsgButtons::YesNo);
  EXPECT_EQ(box.icon, MsgIcon::Question);
  EXPECT_TRUE(box.title.isEmpty());
  // Steps 6..20 follow step 5, none repeated or skipped, and the race is run to its table.
  for (int s = 1; s <= 20; ++s) EXPECT_EQ(h.snaps[static_cast<std::size_t>(s - 1)].clock, 0.5f * static_cast<float>(s));
  EXPECT_TRUE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral(" 確定 12 R")));
  EXPECT_FALSE(gblnRunning);
}

TEST(RaceStart, StopAnsweredYesEndsTheRunUpWithoutARace) {
  RunHarness h;
  ScriptedRandom random({0.3f});
  h.boxes.AnswerNext(MsgResult::Yes);
  std::int32_t stoppedAt = 0;
  h.atPump = [&](int pump) {
    if (pump == 5) {
      gblnRunning = false;
      stoppedAt = h.clock.Milliseconds();
    }
  };
  RunRace(h, PlainCard());
  EXPECT_EQ(h.clock.pumps(), 5);
  EXPECT_EQ(h.boxes.boxes().size(), 1u);
  EXPECT_EQ(h.scene.label.Caption(), kCaptionStopped);
  EXPECT_EQ(h.scene.label.captions.filter(QStringLiteral("スタートは")).size(), 0);
  EXPECT_EQ(h.clock.Milliseconds() - stoppedAt, 2000);
  EXPECT_EQ(random.reseeds(), 0);
  EXPECT_EQ(h.scene.unloads, 0);
  EXPECT_FALSE(gblnRunning);
}

// Escape while "スタート！" stands (the pause after the run-up) asks, as at any other moment: No
// runs the race, Yes stops before it.
TEST(RaceStart, EscapeDuringTheStartPauseAsks) {
  for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
    RunHarness h;
    ScriptedRandom random({0.3f});
    h.boxes.AnswerNext(answer);
    h.clock.onWait = [&](std::int32_t ms) {
      if (ms == 2000 && h.clock.pumps() == 20) gblnRunning = false;
    };
    RunRace(h, PlainCard());
    ASSERT_EQ(h.boxes.boxes().size(), 1u);
    EXPECT_EQ(h.boxes.boxes()[0].text, QStringLiteral("レースを中止しますか。"));
    const bool raced = h.scene.pool.printed().join(u'\n').contains(QStringLiteral(" 確定 12 R"));
    EXPECT_EQ(raced, answer == MsgResult::No);
    EXPECT_EQ(h.scene.label.Caption() == kCaptionStopped, answer == MsgResult::Yes);
    EXPECT_FALSE(gblnRunning);
  }
}

TEST(RaceStart, QuitDuringTheRunUpUnloadsAtOnce) {
  RunHarness h;
  ScriptedRandom random({0.3f});
  std::int32_t quitAt = 0;
  h.atPump = [&](int pump) {
    if (pump == 7) {
      gblnQuit = true;
      quitAt = h.clock.Milliseconds();
    }
  };
  RunRace(h, PlainCard());
  EXPECT_EQ(h.clock.pumps(), 7);
  EXPECT_EQ(h.scene.unloads, 1);
  // Neither the pause nor the race follows.
  EXPECT_EQ(h.clock.Milliseconds(), quitAt);
  EXPECT_EQ(random.reseeds(), 0);
  EXPECT_TRUE(h.boxes.boxes().empty());
  gblnQuit = false;
}
