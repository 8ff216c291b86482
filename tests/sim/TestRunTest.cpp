// The exhibition run: six boats set off 8 frames apart in one lane, go round both marks and
// back past the line, and the exhibition times are announced.

#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "tests/sim/SimHarness.h"

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {
void RunExhibition(std::uint32_t seed) {
  SeededRandom random(seed);
  PoolInit();
  EntrantDataSet(PlainCard());
  std::int32_t period = 100;
  TestRun(period);
  EXPECT_EQ(random.reseeds, 1);
}
}  // namespace

TEST(TestRun, BoatsSetOffEightFramesApartInOneLane) {
  RunHarness h;
  RunExhibition(3);
  ASSERT_GT(h.snaps.size(), 48u);
  for (const Snapshot& s : h.snaps) {
    for (int i = 0; i < 6; ++i) {
      const EntrantType& e = s.boats[static_cast<std::size_t>(i)];
      // Boat i + 1 sets off in frame 8 x i (boat 1 in frame 1); before that it waits off the water.
      const int setOff = i == 0 ? 1 : 8 * i;
      if (s.frame < setOff) {
        EXPECT_EQ(e.X, -33.0f) << "frame " << s.frame << " boat " << i + 1;
        EXPECT_EQ(e.Speed, 0.0f);
      } else if (s.frame == setOff) {
        EXPECT_GT(e.X, -33.0f) << "frame " << s.frame << " boat " << i + 1;
      }
      // Everyone stays in the lane 60 below the centre line while running straight to the first mark.
      if (e.Lap == 0 && e.TurnType == 0 && e.Direction == 1) {
        EXPECT_EQ(e.Y, 260.0f);
      }
    }
  }
  EXPECT_EQ(h.scene.label.captions.first(), QStringLiteral("展示航走"));
  EXPECT_FALSE(h.scene.label.Visible());  // hidden by the table
}

TEST(TestRun, TimesAreAnnounced24FramesAfterTheLastBoatFinishes) {
  RunHarness h;
  RunExhibition(4);
  int lastFinish = 0;
  for (const Snapshot& s : h.snaps) {
    if (s.goal >= 7 && lastFinish == 0) lastFinish = s.frame;
  }
  ASSERT_GT(lastFinish, 0);
  EXPECT_EQ(gintFrame, lastFinish + 24);
  for (const EntrantType& e : gtypEntrant) {
    EXPECT_EQ(e.Lap, 2);
    EXPECT_GT(e.GoalTime, 0.0f);
  }
  const QStringList lines = h.scene.pool.printed();
  EXPECT_TRUE(lines.contains(QStringLiteral("(190,30)  展示タイムのお知らせ ")));
  EXPECT_FALSE(gblnRunning);
  EXPECT_EQ(h.scene.unloads, 0);
}

TEST(TestRun, EachBoatTurnsThreeTimesInStyleOne) {
  RunHarness h;
  RunExhibition(6);
  for (int i = 0; i < 6; ++i) {
    int turns = 0;
    std::int16_t previous = 0;
    for (const Snapshot& s : h.snaps) {
      const EntrantType& e = s.boats[static_cast<std::size_t>(i)];
      if (e.TurnType != 0) {
        EXPECT_EQ(e.TurnType, 1);
      }
      if (e.TurnType != 0 && previous == 0) ++turns;
      previous = e.TurnType;
    }
    EXPECT_EQ(turns, 3) << "boat " << i + 1;
  }
}

TEST(TestRun, StopAnsweredNoGoesOnAtTheSameFrame) {
  RunHarness h;
  h.boxes.AnswerNext(MsgResult::No);
  h.atPump = [&](int pump) {
    if (pump == 10) gblnRunning = false;
  };
  RunExhibition(3);
  ASSERT_EQ(h.boxes.boxes().size(), 1u);
  EXPECT_EQ(h.boxes.boxes()[0].text, QStringLiteral("展示航走を中止しますか。"));
  EXPECT_EQ(h.boxes.boxes()[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(h.boxes.boxes()[0].icon, MsgIcon::Question);
  for (std::size_t k = 0; k < h.snaps.size(); ++k) EXPECT_EQ(h.snaps[k].frame, static_cast<std::int16_t>(k + 1));
  EXPECT_TRUE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral("展示タイムのお知らせ")));
}

TEST(TestRun, StopAnsweredYesEndsWithoutTheTimes) {
  RunHarness h;
  h.boxes.AnswerNext(MsgResult::Yes);
  h.atPump = [&](int pump) {
    if (pump == 10) gblnRunning = false;
  };
  RunExhibition(3);
  EXPECT_EQ(h.clock.pumps(), 10);
  EXPECT_EQ(h.scene.label.Caption(), QStringLiteral("ユーザによって中止されました"));
  EXPECT_FALSE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral("展示タイムのお知らせ")));
  EXPECT_FALSE(gblnRunning);
}

TEST(TestRun, QuitEndsTheRunAndUnloadsTheWindow) {
  RunHarness h;
  h.atPump = [&](int pump) {
    if (pump == 10) gblnQuit = true;
  };
  RunExhibition(3);
  EXPECT_EQ(h.clock.pumps(), 10);
  EXPECT_EQ(gintFrame, 10);
  EXPECT_EQ(h.scene.unloads, 1);
  EXPECT_FALSE(gblnRunning);
  gblnQuit = false;
}
