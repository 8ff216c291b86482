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
  int firstHangRun = -1;
};

// Runs kRuns generated cards through `run` (a race or an exhibition run). A run that reaches the
// frame cap is stopped through the quit flag and counted as a hang; `check(runNumber)` looks at
// every run that ended by itself and reports through the test's assertions.
template <typename Run, typename Check>
Tally RunGeneratedCards(std::uint32_t drawSeed, std::uint32_t cardSeed, const char* what, Run run, Check check) {
  RunHarness h;
  h.keepSnapshots = false;
  h.scene.recording = false;
  SeededRandom random(drawSeed);
  std::mt19937 cards(cardSeed);
  Tally tally;
  bool capped = false;
  h.atPump = [&](int) {
    if (gintFrame >= kFrameCap && !capped) {
      capped = true;
      gblnQuit = true;
    }
  };
  for (int n = 0; n < kRuns && !::testing::Test::HasFatalFailure(); ++n) {
    capped = false;
    gblnQuit = false;
    h.scene.pool.clearLog();
    PoolInit();
    EntrantDataSet(GeneratedCard(cards));
    std::int32_t period = 100;
    run(period);
    if (capped) {
      ++tally.hangs;
      if (tally.firstHangRun < 0) tally.firstHangRun = n;
      continue;
    }
    tally.maxFrames = std::max<int>(tally.maxFrames, gintFrame);
    EXPECT_FALSE(gblnRunning) << what << " " << n;
    check(n, h.scene.pool.printed().join(u'\n'));
  }
  gblnQuit = false;
  std::printf("%s: %d, hangs: %d (first at run %d), largest frame count %d\n", what, kRuns, tally.hangs,
              tally.firstHangRun, tally.maxFrames);
  EXPECT_EQ(tally.hangs, 0);
  EXPECT_LT(tally.maxFrames, kStall);
  EXPECT_TRUE(h.boxes.boxes().empty());
  return tally;
}

}  // namespace

TEST(Liveness, EveryRaceReachesItsResultTable) {
  int flyingOrLate = 0;
  RunGeneratedCards(
      20240101, 7, "races", [](std::int32_t& period) { RaceStart(period); },
      [&](int run, const QString& printed) {
        ASSERT_GT(gintGoal, 9) << "run " << run;
        ASSERT_TRUE(printed.contains(QStringLiteral(" 確定 12 R"))) << "run " << run;
        // Places 1..n go to the boats that did not start flying or late, once each, in finishing order.
        int placed = 0;
        std::array<int, 7> boatOfPlace{-1, -1, -1, -1, -1, -1, -1};
        for (int i = 0; i < 6; ++i) {
          const EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
          if (e.Result == u"F" || e.Result == u"L") {
            ++flyingOrLate;
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
      });
  std::printf("flying or late boats: %d\n", flyingOrLate);
}

TEST(Liveness, EveryExhibitionRunAnnouncesItsTimes) {
  RunGeneratedCards(
      20240315, 11, "exhibition runs", [](std::int32_t& period) { TestRun(period); },
      [](int run, const QString& printed) {
        ASSERT_TRUE(printed.contains(QStringLiteral(" 展示タイムのお知らせ "))) << "run " << run;
        for (const EntrantType& e : gtypEntrant) ASSERT_EQ(e.Lap, 2) << "run " << run;
      });
}
