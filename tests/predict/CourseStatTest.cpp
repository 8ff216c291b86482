// The statistical entry-course prediction: the evidence of one racer, the choice of the whole
// entry, and its properties over generated races, both on the evidence directly and through
// cards and racer stores written by the tests.

#include "predict/mCourseStat.h"

#include "tests/common/TestDoubles.h"
#include "tests/predict/PredictFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace tidewake;
using namespace tidewake::test;
namespace cs = tidewake::mCourseStat;

namespace {

RacerSpec Racer(int no, std::array<int, 6> entries) {
  RacerSpec r;
  r.no = QByteArray::number(no);
  r.entries = entries;
  r.starts = 0;
  for (int e : entries) r.starts += e;
  return r;
}

// The entries of a racer who keeps his number: drawn in every boat about as often, he entered
// every course about as often, low..high times each.
std::array<int, 6> KeeperEntries(std::mt19937& rng, int low = 16, int high = 24) {
  std::uniform_int_distribution<int> count(low, high);
  std::array<int, 6> e{};
  for (int& n : e) n = count(rng);
  return e;
}

const std::array<int, 6> kFlat{20, 20, 20, 20, 20, 20};
const std::array<int, 6> kInside{98, 2, 0, 0, 0, 0};   // course 1 in nearly all his races
const std::array<int, 6> kOutside{0, 0, 0, 0, 2, 60};  // course 6 in nearly all
const std::array<int, 6> kSecond{60, 38, 2, 0, 0, 0};  // courses 1 and 2
const std::array<int, 6> kNoEntries{};

// The predicted entry as courses by boat, "123456" for 枠なり.
QString Courses(const cs::Choice& choice) {
  QString s;
  for (std::size_t b = 1; b <= 6; ++b) s += QString::number(choice.Course[b]);
  return s;
}

// The order is a permutation of the six boats, and the two tables agree with it.
void ExpectConsistent(const cs::Choice& choice) {
  const QString& order = choice.Order;
  ASSERT_EQ(order.size(), 6);
  QString sorted = order;
  std::sort(sorted.begin(), sorted.end());
  ASSERT_EQ(sorted, u"123456");
  for (std::int16_t c = 1; c <= 6; ++c) {
    const std::int16_t b = choice.Boat[static_cast<std::size_t>(c)];
    EXPECT_EQ(order[c - 1], QChar(u'0' + b));
    EXPECT_EQ(choice.Course[static_cast<std::size_t>(b)], c);
  }
}

struct StatPrediction : PredictFixture {
  // Race 1 at venue 24 with boat b's racer holding entries[b - 1].
  cs::Choice Predict(const std::array<std::array<int, 6>, 6>& entries, const QString& headerExtra = QString(),
                     const std::array<bool, 6>& missing = {}) {
    auto boats = SpreadBoats();
    for (std::size_t i = 0; i < 6; ++i) {
      boats[i].racer = Racer(4001 + static_cast<int>(i), entries[i]);
      boats[i].racer.inStore = !missing[i];
    }
    Load(QStringLiteral("24"), boats, {}, headerExtra);
    return cs::EntryCourseExpectStat(bangumi, sensyu, 1, false);
  }
};

}  // namespace

// ---- One racer's evidence -----------------------------------------------------------------

TEST_F(StatPrediction, EvidenceIsTheShareAgainstOneInSixWithAnEntryAddedToEachCourse) {
  Predict({kInside, kFlat, kFlat, kFlat, kFlat, kFlat});
  const auto inside = cs::CourseEvidence(sensyu, QStringLiteral("4001"));
  ASSERT_TRUE(inside.has_value());
  EXPECT_DOUBLE_EQ((*inside)[1], std::log(99.0 / 106.0 * 6.0));
  EXPECT_DOUBLE_EQ((*inside)[2], std::log(3.0 / 106.0 * 6.0));
  EXPECT_DOUBLE_EQ((*inside)[6], std::log(1.0 / 106.0 * 6.0));
  const auto flat = cs::CourseEvidence(sensyu, QStringLiteral("4002"));
  ASSERT_TRUE(flat.has_value());
  for (std::size_t c = 1; c <= 6; ++c) EXPECT_NEAR((*flat)[c], 0.0, 1e-12);
  // A number the store does not hold, and a racer with no entries, give no evidence.
  EXPECT_FALSE(cs::CourseEvidence(sensyu, QStringLiteral("9999")).has_value());
  Predict({kNoEntries, kFlat, kFlat, kFlat, kFlat, kFlat});
  EXPECT_FALSE(cs::CourseEvidence(sensyu, QStringLiteral("4001")).has_value());
}

// ---- Whole entries ------------------------------------------------------------------------

TEST_F(StatPrediction, TheRacesWhereTheEvidenceIsStrong) {
  struct Case {
    const char* what;
    std::array<std::array<int, 6>, 6> entries;
    const char* order;
  };
  const Case cases[] = {
      {"six flat records", {kFlat, kFlat, kFlat, kFlat, kFlat, kFlat}, "123456"},
      {"an outside racer in boat 5 takes course 6", {kFlat, kFlat, kFlat, kFlat, kOutside, kFlat}, "123465"},
      {"an outside racer in boat 6 stays", {kFlat, kFlat, kFlat, kFlat, kFlat, kOutside}, "123456"},
      {"an inside racer in boat 4 takes course 1", {kFlat, kFlat, kFlat, kInside, kFlat, kFlat}, "412356"},
      // Two of them: boat 1 keeps course 1, and boat 4 does not go to a course he never enters.
      {"an inside racer in boat 1 holds course 1", {kInside, kFlat, kFlat, kInside, kFlat, kFlat}, "123456"},
      {"a racer of courses 1 and 2 in boat 4 takes course 2", {kFlat, kFlat, kFlat, kSecond, kFlat, kFlat}, "142356"},
      // One entry from course 4 in a hundred is little, yet not enough to move him three courses.
      {"weaker evidence keeps 枠なり", {kFlat, kFlat, kFlat, {90, 9, 0, 1, 0, 0}, kFlat, kFlat}, "123456"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const cs::Choice choice = Predict(c.entries);
    ExpectConsistent(choice);
    EXPECT_EQ(choice.Order, QString::fromLatin1(c.order));
  }
}

TEST_F(StatPrediction, AFixedEntryRaceIsWakunariWhateverTheRecords) {
  const std::array<std::array<int, 6>, 6> strong{kOutside, kFlat, kFlat, kInside, kOutside, kInside};
  const cs::Choice moved = Predict(strong);
  EXPECT_NE(moved.Order, u"123456");
  EXPECT_GT(moved.Gain, cs::kMargin);

  const cs::Choice fixed = Predict(strong, QString::fromUtf16(u"　進入固定 "));
  EXPECT_EQ(fixed.Order, u"123456");
  ASSERT_TRUE(bangumi.CourseFix(1));
  ExpectConsistent(fixed);
  EXPECT_EQ(fixed.Gain, 0.0);
  // The caller may fix any race too.
  Predict(strong);
  EXPECT_EQ(Courses(cs::EntryCourseExpectStat(bangumi, sensyu, 1, true)), u"123456");
}

TEST_F(StatPrediction, MissingRacersKeepTheirNumbers) {
  // Without boat 1's record boat 1 keeps course 1, the only one the inside racer of boat 4 wants.
  EXPECT_EQ(Predict({kFlat, kFlat, kFlat, kInside, kFlat, kFlat}).Order, u"412356");
  EXPECT_EQ(Predict({kFlat, kFlat, kFlat, kInside, kFlat, kFlat}, {}, {true, false, false, false, false, false}).Order,
            u"123456");
  // A racer of courses 1 and 2 still gets course 2 past the boats that have records.
  EXPECT_EQ(Predict({kFlat, kFlat, kFlat, kSecond, kFlat, kFlat}, {}, {true, false, false, false, false, false}).Order,
            u"142356");
  // Without boat 6's record the outside racer of boat 5 has nowhere to go.
  EXPECT_EQ(Predict({kFlat, kFlat, kFlat, kFlat, kOutside, kFlat}, {}, {false, false, false, false, false, true}).Order,
            u"123456");
  // Without his own record the inside racer is no one in particular.
  EXPECT_EQ(Predict({kFlat, kFlat, kFlat, kInside, kFlat, kFlat}, {}, {false, false, false, true, false, false}).Order,
            u"123456");
}

TEST_F(StatPrediction, ABadRaceNumberIsReportedAndGivesNoPrediction) {
  Predict({kFlat, kFlat, kFlat, kFlat, kFlat, kFlat});
  RecordingMessageBox boxes;
  EXPECT_EQ(cs::EntryCourseExpectStat(bangumi, sensyu, 13, false).Order, QString());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, u"EntryCourseExpectStatErr");
}

// ---- Properties over generated races ------------------------------------------------------

TEST_F(StatPrediction, GeneratedRacesOfKeepersAndOfAnyone) {
  std::mt19937 rng(20240101);
  std::uniform_int_distribution<int> any(0, 60);
  std::bernoulli_distribution sometimes(0.2);
  for (int race = 0; race < 40; ++race) {
    SCOPED_TRACE(race);
    // Six racers who always entered in their own number's course: 枠なり.
    std::array<std::array<int, 6>, 6> keepers{};
    for (auto& e : keepers) e = KeeperEntries(rng);
    const cs::Choice kept = Predict(keepers);
    EXPECT_EQ(kept.Order, u"123456");
    EXPECT_EQ(kept.Gain, 0.0);

    // A racer who entered course 1 in nearly all his races, drawn in boat 4 among keepers, is
    // predicted inside.
    std::array<std::array<int, 6>, 6> withInside{};
    for (auto& e : withInside) e = KeeperEntries(rng, 18, 22);
    withInside[3] = {
        std::uniform_int_distribution<int>(110, 140)(rng), std::uniform_int_distribution<int>(0, 1)(rng), 0, 0, 0, 0};
    const cs::Choice inside = Predict(withInside);
    ExpectConsistent(inside);
    EXPECT_LT(inside.Course[4], 4);

    // Anyone, some missing from the handbook: a permutation, the missing in their own courses,
    // the same answer twice, and a move only when it beats 枠なり by the margin.
    std::array<std::array<int, 6>, 6> entries{};
    std::array<bool, 6> missing{};
    for (std::size_t b = 0; b < 6; ++b) {
      for (int& n : entries[b]) n = sometimes(rng) ? 0 : any(rng);
      missing[b] = sometimes(rng);
    }
    const cs::Choice choice = Predict(entries, {}, missing);
    const QString& order = choice.Order;
    ExpectConsistent(choice);
    for (std::size_t b = 0; b < 6; ++b) {
      if (missing[b]) {
        EXPECT_EQ(choice.Course[b + 1], static_cast<std::int16_t>(b + 1)) << "boat " << b + 1;
      }
    }
    EXPECT_TRUE(order == u"123456" || choice.Gain > cs::kMargin) << order.toStdString();
    EXPECT_EQ(cs::EntryCourseExpectStat(bangumi, sensyu, 1, false).Order, order);
    // The same race with a fixed entry.
    EXPECT_EQ(Predict(entries, QString::fromUtf16(u"　進入固定 "), missing).Order, u"123456");
  }
}

TEST(StatChoice, GeneratedEvidenceAlwaysGivesAPermutationThatKeepsThePinnedBoats) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> evidence(-4.0, 2.0);
  std::bernoulli_distribution pinned(0.25);
  for (int race = 0; race < 500; ++race) {
    SCOPED_TRACE(race);
    cs::Evidence ev{};
    cs::Table<bool> keep{};
    for (std::size_t b = 1; b <= 6; ++b) {
      for (std::size_t c = 1; c <= 6; ++c) ev[b][c] = evidence(rng);
      keep[b] = pinned(rng);
    }
    const cs::Choice choice = cs::ChooseEntry(ev, keep);
    const QString& order = choice.Order;
    ExpectConsistent(choice);
    for (std::size_t b = 1; b <= 6; ++b) {
      if (keep[b]) {
        EXPECT_EQ(choice.Course[b], static_cast<std::int16_t>(b));
      }
    }
    // No entry allowed scores above the chosen one by more than rounding.
    double chosen = 0;
    int inward = 0;
    for (std::size_t b = 1; b <= 6; ++b) {
      const auto c = static_cast<std::size_t>(choice.Course[b]);
      chosen += ev[b][c];
      if (c < b) inward += static_cast<int>(b - c);
    }
    chosen -= cs::kMovePenalty * inward;
    double straight = 0;
    for (std::size_t b = 1; b <= 6; ++b) straight += ev[b][b];
    if (order == u"123456") {
      EXPECT_EQ(choice.Gain, 0.0);
    } else {
      EXPECT_NEAR(choice.Gain, chosen - straight, 1e-9);
      EXPECT_GT(choice.Gain, cs::kMargin);
    }
  }
}
