// Every race and every exhibition run must end, whatever the card and the chance: generated
// cards over the whole range of the card's values, a seeded generator, the virtual clock.

#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "tests/sim/SimHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace tidewake;
using namespace tidewake::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The instrumented build is about ten times slower; the full count runs in the normal build.
constexpr int kRuns = 3000;
#else
constexpr int kRuns = 10000;
#endif
// Far beyond any real run (under two hundred frames): a run still going here is taken as a hang.
constexpr std::int16_t kFrameCap = 20000;
// A run that ends but takes this long has a boat stalled somewhere: as good as a hang to the user.
constexpr int kStall = 600;

std::array<CardEntry, 6> GeneratedCard(std::mt19937& g) {
  auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(g); };
  std::array<CardEntry, 6> card = PlainCard();
  for (CardEntry& c : card) {
    c.syoritu = uniform(0, 11);
    c.rentairitu2 = uniform(0, 100);
    c.weight = uniform(40, 65);
    c.motorRentairitu2 = uniform(0, 100);
    c.boatRentairitu2 = uniform(0, 100);
    c.course = static_cast<std::int16_t>(std::uniform_int_distribution<int>(1, 6)(g));
  }
  return card;
}

struct Tally {
  int hangs = 0;
  int maxFrames = 0;
  int flyingOrLate = 0;
  int firstHangRun = -1;
};

}  // namespace

TEST(Liveness, EveryRaceReachesItsResultTable) {
  RunHarness h;
  h.keepSnapshots = false;
  h.scene.recording = false;
  SeededRandom random(20240101);
  std::mt19937 cards(7);
  Tally tally;
  bool capped = false;
  h.atPump = [&](int) {
    if (gintFrame >= kFrameCap && !capped) {
      capped = true;
      gblnQuit = true;
    }
  };
  for (int run = 0; run < kRuns; ++run) {
    capped = false;
    gblnQuit = false;
    h.scene.pool.clearLog();
    PoolInit();
    EntrantDataSet(GeneratedCard(cards));
    std::int32_t period = 100;
    RaceStart(period);
    if (capped) {
      ++tally.hangs;
      if (tally.firstHangRun < 0) tally.firstHangRun = run;
      continue;
    }
    tally.maxFrames = std::max<int>(tally.maxFrames, gintFrame);
    ASSERT_FALSE(gblnRunning) << "run " << run;
    ASSERT_GT(gintGoal, 9) << "run " << run;
    ASSERT_TRUE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral(" 確定 12 R"))) << "run " << run;

    int placed = 0;
    std::array<int, 7> boatOfPlace{-1, -1, -1, -1, -1, -1, -1};
    for (int i = 0; i < 6; ++i) {
      const EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
      if (e.Result == u"F" || e.Result == u"L") {
        ++tally.flyingOrLate;
        continue;
      }
      bool ok = false;
      const int p = e.Result.toInt(&ok);
      ASSERT_TRUE(ok && p >= 1 && p <= 6) << "run " << run << " boat " << i + 1 << " " << e.Result.toStdString();
      ASSERT_EQ(boatOfPlace[static_cast<std::size_t>(p)], -1) << "run " << run << " place " << p << " twice";
      boatOfPlace[static_cast<std::size_t>(p)] = i;
      ++placed;
    }
    for (int p = 1; p <= placed; ++p) ASSERT_NE(boatOfPlace[static_cast<std::size_t>(p)], -1) << "run " << run;
    for (int p = 2; p <= placed; ++p) {
      ASSERT_LE(gtypEntrant[static_cast<std::size_t>(boatOfPlace[static_cast<std::size_t>(p - 1)])].GoalTime,
                gtypEntrant[static_cast<std::size_t>(boatOfPlace[static_cast<std::size_t>(p)])].GoalTime)
          << "run " << run << " place " << p;
    }
  }
  gblnQuit = false;
  std::printf("races: %d, hangs: %d (first at run %d), largest frame count %d, flying or late boats %d\n", kRuns,
              tally.hangs, tally.firstHangRun, tally.maxFrames, tally.flyingOrLate);
  EXPECT_EQ(tally.hangs, 0);
  EXPECT_LT(tally.maxFrames, kStall);
  EXPECT_TRUE(h.boxes.boxes().empty());
}

TEST(Liveness, EveryExhibitionRunAnnouncesItsTimes) {
  RunHarness h;
  h.keepSnapshots = false;
  h.scene.recording = false;
  SeededRandom random(20240315);
  std::mt19937 cards(11);
  Tally tally;
  bool capped = false;
  h.atPump = [&](int) {
    if (gintFrame >= kFrameCap && !capped) {
      capped = true;
      gblnQuit = true;
    }
  };
  for (int run = 0; run < kRuns; ++run) {
    capped = false;
    gblnQuit = false;
    h.scene.pool.clearLog();
    PoolInit();
    EntrantDataSet(GeneratedCard(cards));
    std::int32_t period = 100;
    TestRun(period);
    if (capped) {
      ++tally.hangs;
      if (tally.firstHangRun < 0) tally.firstHangRun = run;
      continue;
    }
    tally.maxFrames = std::max<int>(tally.maxFrames, gintFrame);
    ASSERT_FALSE(gblnRunning) << "run " << run;
    ASSERT_TRUE(h.scene.pool.printed().join(u'\n').contains(QStringLiteral(" 展示タイムのお知らせ "))) << "run " << run;
    for (const EntrantType& e : gtypEntrant) ASSERT_EQ(e.Lap, 2) << "run " << run;
  }
  gblnQuit = false;
  std::printf("exhibition runs: %d, hangs: %d (first at run %d), largest frame count %d\n", kRuns, tally.hangs,
              tally.firstHangRun, tally.maxFrames);
  EXPECT_EQ(tally.hangs, 0);
  EXPECT_LT(tally.maxFrames, kStall);
  EXPECT_TRUE(h.boxes.boxes().empty());
}
