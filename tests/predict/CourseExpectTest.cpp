// The entry-course prediction on cards and racer stores written by the tests: the favourite
// course types, the tactics labels, the standard rules, the rules of venue 03, the clashes and
// their properties over many generated races.

#include "predict/mCourseExpect.h"

#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/SensyuRecord.h"
#include "tests/predict/PredictFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

using namespace tidewake;
using namespace tidewake::test;
namespace ce = tidewake::mCourseExpect;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

const QString kNige = S(u"　　逃げ");
const QString kJizai = S(u"　自在　");
const QString kMakuri = S(u"　　捲り");
const QString kMarkSashi = S(u"ﾏｰｸ差し ");
const QString kSashi = S(u"差し　　");
const QString kTenkai = S(u"展開待ち");
const QString kNone = S(u"　　　　");

RacerSpec Racer(const char* no, int starts, std::array<int, 6> entries) {
  RacerSpec r;
  r.no = no;
  r.starts = starts;
  r.entries = entries;
  return r;
}

// The favourite course type of one racer, alone in a store whose newest class is `last`.
struct TypeCase {
  int starts;
  std::array<int, 6> entries;
  int expected;
};

struct CourseType : PredictFixture {
  std::int16_t TypeOf(const RacerSpec& r, int last = 110) {
    auto boats = SpreadBoats();
    boats[0].racer = r;
    RacerSpec newest = Racer("9999", 20, {4, 3, 3, 3, 3, 4});
    newest.yoseiKi = last;
    Load(QStringLiteral("24"), boats, {newest});
    return ce::TokuiCourseTypeGet(sensyu, QString::fromLatin1(r.no));
  }
};

struct Prediction : PredictFixture {
  void SetUp() override {
    ce::gintAbilityWeight = {};
    ce::gintExpectBoat = {};
    ce::gintExpectCourse = {};
  }
  QString Predict(std::int16_t race = 1) { return ce::EntryCourseExpect(bangumi, sensyu, race, false); }
};

}  // namespace

// ---- Favourite course type -------------------------------------------------------------------

TEST_F(CourseType, EachRuleInItsOrderWithThresholdsReachedExactly) {
  const TypeCase cases[] = {
      {20, {10, 7, 3, 0, 0, 0}, 1},  // 17 of 20 from courses 1-2 is 0.85: "イン"
      {20, {10, 6, 4, 0, 0, 0}, 2},  // 16 of 20 is not; 20 of 20 from 1-3: "内"
      {20, {2, 3, 6, 6, 3, 0}, 4},   // 0.6 from 3-4 and 0.3 from 2 and 5: "センタ"
      {20, {0, 5, 6, 5, 0, 4}, 4},   // 11 of 20 (0.55) and 5 of 20 (0.25), both exactly
      {20, {4, 2, 6, 6, 2, 0}, 5},   // 0.6 but only 0.2 from 2 and 5: on to the later rules, "中"
      {20, {0, 0, 0, 0, 0, 20}, 9},  // all from course 6: "アウト"
      {20, {0, 1, 1, 1, 3, 14}, 9},  // 14 of 20 is 0.7
      {20, {6, 3, 3, 5, 2, 1}, 3},   // 3 of 20 from 5-6: "内中"
      {25, {7, 3, 6, 5, 2, 2}, 3},   // 4 of 25 is 0.16
      {20, {0, 1, 2, 6, 6, 5}, 8},   // 17 of 20 from 4-6: "外"
      {20, {1, 2, 4, 3, 5, 5}, 7},   // 3 of 20 from 1-2: "中外"
      {20, {4, 3, 3, 3, 3, 4}, 0},   // no rule holds: "自在"
      // The start count is the record's, not the sum of the entries: 17 of 40 is no "イン".
      {40, {10, 7, 3, 0, 0, 0}, 3},
  };
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.starts << " {" << c.entries[0] << ',' << c.entries[1] << ',' << c.entries[2]
                                      << ',' << c.entries[3] << ',' << c.entries[4] << ',' << c.entries[5] << '}');
    EXPECT_EQ(TypeOf(Racer("4001", c.starts, c.entries)), c.expected);
  }
}

TEST_F(CourseType, NoStartsTellsABreakFromANewcomer) {
  RacerSpec r = Racer("4001", 0, {0, 0, 0, 0, 0, 0});
  r.yoseiKi = 100;
  EXPECT_EQ(TypeOf(r, 110), 6);  // "休明け"
  r.yoseiKi = 110;
  EXPECT_EQ(TypeOf(r, 110), 10);  // "新人"
  r.yoseiKi = 0;
  EXPECT_EQ(TypeOf(r, 110), 10);
  // Entries but no starts count as no starts.
  r = Racer("4001", 0, {5, 5, 0, 0, 0, 0});
  r.yoseiKi = 100;
  EXPECT_EQ(TypeOf(r, 110), 6);
  // A racer the store does not hold is a newcomer: no starts, no class.
  r.inStore = false;
  EXPECT_EQ(TypeOf(r, 110), 10);
}

TEST(CourseTypeNames, AsTheCardShowsThem) {
  const char16_t* names[] = {u"自在",   u"イン", u"内", u"内中",   u"センタ", u"中",
                             u"休明け", u"中外", u"外", u"アウト", u"新人"};
  for (std::int16_t t = 0; t <= 10; ++t) EXPECT_EQ(ce::CourseTypeName(t), S(names[t]));
  EXPECT_EQ(ce::CourseTypeName(-1), QString());
  EXPECT_EQ(ce::CourseTypeName(11), QString());
  EXPECT_EQ(ce::TacticsLabels(), (QStringList{kNige, kJizai, kMakuri, kMarkSashi, kSashi, kTenkai, kNone}));
  // Each fills four full-width columns: "ﾏｰｸ差し " is three half-width kana, two kanji and a blank.
  for (const QString& label : ce::TacticsLabels()) EXPECT_EQ(SjisByteLength(label), 8) << label.toStdString();
  EXPECT_EQ(kMarkSashi.size(), 6);
}

// ---- Tactics ----------------------------------------------------------------------------------

namespace {

// Racer A in course c - 1 and racer B in course c, with the order set to boat = course.
struct Duel {
  int stA, stB, hA, hB;  // hundredths
  int abA = 54, abB = 54;
  QString motorB;  // the card's " 30.22" when empty
  QString expected;
};

}  // namespace

TEST_F(Prediction, TacticsByStartTimingStartOrderMotorAndAbility) {
  const Duel duels[] = {
      // B starts clearly earlier (stB + 0.01 < stA).
      {20, 15, 300, 290, 54, 54, {}, kMarkSashi},  // and is no faster away: inside course 1 escapes
      {20, 15, 300, 260, 54, 59, {}, kMakuri},     // faster away, motor <= 49, ability within 5
      {20, 15, 300, 260, 54, 60, {}, kJizai},      // ability 6 above
      {20, 15, 300, 260, 54, 54, QStringLiteral(" 49.01"), kJizai},
      {20, 15, 300, 260, 54, 54, QStringLiteral(" 49.00"), kMakuri},
      // About level (stB + 0.01 >= stA, stB <= stA): 0.16 + 0.01 is 0.17 exactly in single precision.
      {17, 16, 300, 260, 54, 54, {}, kMakuri},
      {17, 17, 300, 270, 54, 54, {}, kMakuri},  // 2.70 + 0.3 is 3.00: "<=" reached exactly
      {17, 17, 245, 215, 54, 54, {}, kMakuri},  // 2.15 + 0.3 rounds to 2.45 in single precision
      {17, 17, 300, 260, 54, 60, {}, kJizai},
      {17, 17, 300, 280, 54, 59, {}, kSashi},  // hB + 0.3 > hA, hB <= hA
      {17, 17, 300, 300, 54, 59, {}, kSashi},
      {17, 17, 300, 280, 54, 60, {}, kJizai},
      {17, 17, 300, 310, 54, 90, {}, kSashi},  // slower away than A: cut inside whatever
      // B starts later (stB > stA).
      {15, 18, 300, 260, 54, 61, {}, kSashi},  // note the bound 7
      {15, 18, 300, 260, 54, 62, {}, kJizai},
      {15, 18, 300, 260, 54, 54, QStringLiteral(" 55.00"), kJizai},
      {15, 18, 300, 280, 54, 54, {}, kTenkai},  // course 2 never copies the label inside
      {15, 18, 300, 310, 54, 54, {}, kTenkai},
  };
  for (const Duel& d : duels) {
    SCOPED_TRACE(::testing::Message() << d.stA << ' ' << d.stB << ' ' << d.hA << ' ' << d.hB << ' ' << d.abA << ' '
                                      << d.abB << ' ' << d.motorB.toStdString());
    auto boats = SpreadBoats();
    boats[0].racer.startTiming[0] = d.stA;
    boats[0].racer.startOrder[0] = d.hA;
    boats[0].racer.ability = d.abA;
    boats[1].racer.startTiming[1] = d.stB;
    boats[1].racer.startOrder[1] = d.hB;
    boats[1].racer.ability = d.abB;
    if (!d.motorB.isEmpty()) boats[1].motor = d.motorB;
    Load(QStringLiteral("24"), boats);
    for (std::int16_t c = 1; c <= 6; ++c) ce::gintExpectBoat[c] = c;
    ce::TacticsGet(bangumi, sensyu, 1);
    EXPECT_EQ(ce::gstrTactics[1], kNige);
    EXPECT_EQ(ce::gstrTactics[2], d.expected);
  }
}

TEST_F(Prediction, TacticsFurtherOutLookAtTheLabelInside) {
  auto boats = SpreadBoats();
  // Course 2 waits (B later and no faster away); course 3 is clearly earlier and faster away
  // than course 2 but the label inside is "展開待ち": a plain cut inside.
  boats[0].racer.startTiming[0] = 15;
  boats[0].racer.startOrder[0] = 300;
  boats[1].racer.startTiming[1] = 18;
  boats[1].racer.startOrder[1] = 310;
  boats[2].racer.startTiming[2] = 15;
  boats[2].racer.startOrder[2] = 300;
  // Course 4 is later than 3 with hB + 0.3 > hA and hB <= hA: it copies course 3's label.
  boats[3].racer.startTiming[3] = 18;
  boats[3].racer.startOrder[3] = 290;
  // Course 5 later, and slower away: waits. Course 6 clearly earlier after a wait: cuts inside.
  boats[4].racer.startTiming[4] = 19;
  boats[4].racer.startOrder[4] = 320;
  boats[5].racer.startTiming[5] = 15;
  boats[5].racer.startOrder[5] = 300;
  Load(QStringLiteral("24"), boats);
  for (std::int16_t c = 1; c <= 6; ++c) ce::gintExpectBoat[c] = c;
  ce::TacticsGet(bangumi, sensyu, 1);
  EXPECT_EQ(ce::gstrTactics[2], kTenkai);
  EXPECT_EQ(ce::gstrTactics[3], kSashi);
  EXPECT_EQ(ce::gstrTactics[4], kSashi);
  EXPECT_EQ(ce::gstrTactics[5], kTenkai);
  EXPECT_EQ(ce::gstrTactics[6], kSashi);

  // After "　　捲り" inside, a clearly earlier start no faster away marks and cuts.
  boats = SpreadBoats();
  boats[0].racer.startTiming[0] = 20;
  boats[0].racer.startOrder[0] = 300;
  boats[1].racer.startTiming[1] = 15;
  boats[1].racer.startOrder[1] = 260;  // sweeps
  boats[2].racer.startTiming[2] = 10;
  boats[2].racer.startOrder[2] = 250;  // 2.50 + 0.3 > 2.60
  Load(QStringLiteral("24"), boats);
  for (std::int16_t c = 1; c <= 6; ++c) ce::gintExpectBoat[c] = c;
  ce::TacticsGet(bangumi, sensyu, 1);
  EXPECT_EQ(ce::gstrTactics[2], kMakuri);
  EXPECT_EQ(ce::gstrTactics[3], kMarkSashi);
}

TEST_F(Prediction, NoLabelForARacerWhoNeverEnteredFromHisCourse) {
  auto boats = SpreadBoats();
  boats[0].racer.entries = {0, 5, 5, 5, 5, 0};
  boats[3].racer.entries = {5, 5, 5, 0, 5, 0};
  boats[5].racer.inStore = false;
  Load(QStringLiteral("24"), boats);
  for (std::int16_t c = 1; c <= 6; ++c) ce::gintExpectBoat[c] = c;
  ce::TacticsGet(bangumi, sensyu, 1);
  EXPECT_EQ(ce::gstrTactics[1], kNone);
  EXPECT_EQ(ce::gstrTactics[2], kTenkai);
  EXPECT_EQ(ce::gstrTactics[4], kNone);
  EXPECT_EQ(ce::gstrTactics[6], kNone);
}

// ---- Standard rules ---------------------------------------------------------------------------

TEST_F(Prediction, SpreadRacersKeepTheirBoatNumbers) {
  Load(QStringLiteral("24"), SpreadBoats());
  EXPECT_EQ(Predict(), "123456");
  for (std::int16_t i = 1; i <= 6; ++i) {
    // Values boat + 2.2 (3.2 .. 8.2), then the tie-break thousandths.
    EXPECT_EQ(ce::gsngCourseScore[i], static_cast<float>(i + 2.2) + static_cast<float>(i) / 1000.0f);
    EXPECT_EQ(ce::gsngCourseValue[i], ce::gsngCourseScore[i]);  // already in order
    EXPECT_EQ(ce::gsngInSisu[i], static_cast<float>(70.0 / 120.0 * 100.0));
    EXPECT_EQ(ce::gintExpectCourse[i], i);
    EXPECT_EQ(ce::BoatCourseTypeName(i), S(u"自在"));
  }
  EXPECT_EQ(ce::gstrTactics[1], kNige);
  EXPECT_EQ(ce::BoatTactics(2), kTenkai);
}

TEST_F(Prediction, AnAllRounderWithAHighInnerIndexIsValuedCloser) {
  auto boats = SpreadBoats();
  boats[2].racer = Racer("4003", 10, {3, 2, 2, 1, 1, 1});  // inner index 70 exactly: boat + 1.8
  // An inside racer in boat 6 ("内中"), so that the all-rounders keep their own values; he
  // clashes his way out past every boat, for none of them is much weaker.
  boats[5].racer = Racer("4006", 20, {6, 3, 3, 5, 2, 1});
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "123456");
  EXPECT_EQ(ce::gsngInSisu[3], 70.0f);
  EXPECT_EQ(ce::gsngCourseScore[3], static_cast<float>(3 + 1.8) + 0.003f);
  EXPECT_EQ(ce::gsngCourseScore[4], static_cast<float>(4 + 2.2) + 0.004f);
}

TEST_F(Prediction, WithoutInsideRacersAHighInnerIndexTakesTheInside) {
  auto boats = SpreadBoats();
  boats[5].racer = Racer("4006", 20, {2, 5, 6, 6, 0, 1});  // "センタ", inner index 66.7
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "612345");
  EXPECT_EQ(ce::BoatCourseTypeName(6), S(u"センタ"));
  EXPECT_EQ(ce::gintExpectCourse[6], 1);

  // With an inside racer anywhere, the same racer keeps his type's value 4. The "内中" of boat 4
  // (3) meets boat 1 (3.2) and moves out, then meets boat 2, then boat 3 ...: a value moved
  // outward takes part again, and both end outside.
  boats[3].racer = Racer("4004", 20, {6, 3, 3, 5, 2, 1});
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "123456");
  EXPECT_EQ(ce::gsngCourseValue[6], 8.006f);  // 4, moved out four times
}

TEST_F(Prediction, BoatOneOfTypeInnerMiddleCountsAsInner) {
  auto boats = SpreadBoats();
  boats[0].racer = Racer("4001", 20, {6, 3, 3, 5, 2, 1});   // "内中", valued 2 in boat 1
  boats[2].racer = Racer("4003", 20, {16, 0, 4, 0, 0, 0});  // "内" in boat 3
  Load(QStringLiteral("24"), boats);
  // Both at 2: boat 1 scores higher but is not the weaker racer, so boat 3 moves out.
  EXPECT_EQ(Predict(), "132456");
  EXPECT_EQ(ce::BoatCourseTypeName(1), S(u"内中"));

  // In boat 2 the same racer stays at 3: the "内" of boat 3 goes inside him, and boat 1 (3.2)
  // keeps its place against him.
  boats = SpreadBoats();
  boats[1].racer = Racer("4002", 20, {6, 3, 3, 5, 2, 1});
  boats[2].racer = Racer("4003", 20, {16, 0, 4, 0, 0, 0});
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "312456");
  EXPECT_EQ(ce::gintExpectCourse[2], 3);
  EXPECT_EQ(ce::gintExpectCourse[3], 1);
}

TEST_F(Prediction, TwoInRacersClashOverCourseOne) {
  auto boats = SpreadBoats();
  boats[0].racer = Racer("4001", 20, {17, 3, 0, 0, 0, 0});  // inner index 97.5
  boats[2].racer = Racer("4003", 20, {20, 0, 0, 0, 0, 0});  // 100
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "132456");  // boat 1 scores lower and keeps the inside

  // Boat 3 an A1: boat 1 now scores higher, and being much the weaker racer it moves out.
  boats[2].cls = QStringLiteral("A1");
  boats[0].racer.sex = 2;
  boats[0].racer.ability = 40;  // weighs 32
  boats[2].racer.ability = 60;  // 85 % of 60 is 51
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "312456");
  EXPECT_EQ(ce::gintAbilityWeight[1], 32);
  EXPECT_EQ(ce::gintAbilityWeight[3], 60);

  // Strong enough (weight 51 is not below 51): boat 1 keeps it.
  boats[0].racer.sex = 1;
  boats[0].racer.ability = 51;
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "132456");
}

TEST_F(Prediction, AbilityIsWeightedBySex) {
  auto boats = SpreadBoats();
  const int abilities[] = {50, 50, 53, 3, 0, 99};
  const int sexes[] = {1, 2, 2, 2, 2, 0};
  const int weights[] = {50, 40, 42, 2, 0, 79};  // 42.4 -> 42, 2.4 -> 2, 79.2 -> 79
  for (int b = 0; b < 6; ++b) {
    boats[b].racer.ability = abilities[b];
    boats[b].racer.sex = sexes[b];
  }
  Load(QStringLiteral("24"), boats);
  Predict();
  for (int b = 1; b <= 6; ++b) EXPECT_EQ(ce::gintAbilityWeight[b], weights[b - 1]) << b;
}

TEST_F(Prediction, ClassesAndBoatNumbersShapeTheScoreInSinglePrecision) {
  // Six "イン" racers with inner index 100: every value 1, scores 0 plus the class and the boat
  // (0.1, 0.2, 0.3, 0.4, 0.35, 0.3). The inner boat keeps the course unless it scores higher and
  // weighs under 85 % of the other.
  auto boats = SpreadBoats();
  for (auto& b : boats) {
    b.racer.entries = {20, 0, 0, 0, 0, 0};
    b.racer.ability = 10;
  }
  boats[5].racer.ability = 99;
  Load(QStringLiteral("24"), boats);
  // Boats 1..3 keep their courses (boat 6's 0.3 is not below boat 3's 0.3); at course 4 boat 4
  // (0.4, weighing 10) gives way to the strong boat 6 (0.3, 85 % of 99 is 84), not to boat 5,
  // whose 85 % of 10 rounds to 8.
  EXPECT_EQ(Predict(), "123645");

  // Boat 6 an A1: 0 - 0.2 + 0.3 rounds to 0.099999994 in single precision, below boat 1's 0.1,
  // so the weak boat 1 gives way, and then keeps course 2 against the others.
  boats[5].cls = QStringLiteral("A1");
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "612345");

  // An A2 instead: 0 - 0.1 + 0.3 is 0.2 exactly as boat 2's; boat 3 (0.3) is the first to give
  // way to him.
  boats[5].cls = QStringLiteral("A2");
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(Predict(), "126345");
}

// ---- Venue 03 -----------------------------------------------------------------------------------

TEST_F(Prediction, Venue03HasItsOwnRules) {
  auto boats = SpreadBoats();
  boats[4].racer = Racer("4005", 20, {20, 0, 0, 0, 0, 0});  // "イン": 1
  boats[5].racer = Racer("4006", 20, {0, 0, 0, 0, 0, 20});  // "アウト": 9
  Load(QStringLiteral("03"), boats);
  // Four racers valued 4 move apart one by one in boat order: 4, 5, 6, 7.
  EXPECT_EQ(Predict(), "512346");
  EXPECT_EQ(ce::gintExpectCourse[1], 2);
  EXPECT_EQ(ce::gintExpectCourse[6], 6);
  EXPECT_EQ(ce::BoatCourseTypeName(6), S(u"アウト"));
  EXPECT_EQ(ce::gstrTactics[1], kNige);

  // A newcomer (10) stays outside everyone; "中" (5) counts as 4 here.
  boats = SpreadBoats();
  boats[0].racer = Racer("4001", 0, {0, 0, 0, 0, 0, 0});
  boats[0].racer.yoseiKi = 120;
  boats[1].racer = Racer("4002", 20, {4, 2, 6, 6, 2, 0});
  Load(QStringLiteral("03"), boats);
  EXPECT_EQ(Predict(), "234561");
}

TEST_F(Prediction, Venue03ReadsTheAbilityWeightsTheLastStandardPredictionLeft) {
  auto boats = SpreadBoats();
  for (int b = 1; b <= 4; ++b)
    boats[b].racer = Racer(QByteArray::number(4001 + b).constData(), 20, {20, 0, 0, 0, 0, 0});
  boats[5].racer = Racer("4006", 0, {0, 0, 0, 0, 0, 0});
  boats[5].racer.yoseiKi = 120;
  Load(QStringLiteral("03"), boats);
  // Boats 2..5 "イン" move apart to 1, 2, 3, 4; boat 1 (4, scoring 4) then meets boat 5 (4,
  // scoring 1). With no weights yet neither is weaker, and boat 5 moves out.
  EXPECT_EQ(Predict(), "234156");

  // After a standard prediction left boat 1 much weaker than boat 5, boat 1 is the one to move.
  ce::gintAbilityWeight = {0, 30, 54, 54, 54, 60, 54};
  EXPECT_EQ(Predict(), "234516");
  EXPECT_EQ(ce::gintAbilityWeight[1], 30);  // not refreshed at venue 03
}

// ---- Fixed entry and failures --------------------------------------------------------------------

TEST_F(Prediction, AFixedEntryKeepsTheBoatNumbers) {
  auto boats = SpreadBoats();
  boats[5].racer = Racer("4006", 20, {20, 0, 0, 0, 0, 0});
  Load(QStringLiteral("24"), boats);
  EXPECT_EQ(ce::EntryCourseExpect(bangumi, sensyu, 1, true), "123456");
  for (std::int16_t i = 1; i <= 6; ++i) {
    EXPECT_EQ(ce::gintExpectCourse[i], i);
    EXPECT_EQ(ce::gintExpectBoat[i], i);
    EXPECT_EQ(ce::BoatCourseTypeName(i), QString());
  }
  EXPECT_EQ(ce::gstrTactics[1], kNige);
  EXPECT_EQ(Predict(), "612345");
}

TEST_F(Prediction, FailuresAreReportedByTheRoutineThatMetThem) {
  Load(QStringLiteral("24"), SpreadBoats());
  ASSERT_EQ(Predict(), "123456");
  const QString subscript = S(u"インデックスが有効範囲にありません: レース番号 13 は 1～12 の範囲外です");
  RecordingMessageBox boxes;
  // A race the card cannot have: the prediction says so once and predicts nothing; no labels
  // are left from the race before.
  EXPECT_EQ(Predict(13), QString());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, "EntryCourseExpectStandardErr");
  EXPECT_EQ(boxes.boxes()[0].text, subscript);
  EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Warning);
  for (std::int16_t c = 1; c <= 6; ++c) EXPECT_EQ(ce::gstrTactics[c], kNone);

  boxes.clear();
  ce::gintExpectBoat = {};
  ce::TacticsGet(bangumi, sensyu, 1);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, "TacticsGetErr");
  EXPECT_EQ(boxes.boxes()[0].text, S(u"インデックスが有効範囲にありません: 艇番 0 は 1～6 の範囲外です"));
  EXPECT_EQ(ce::gstrTactics[1], kNige);  // written before the failure

  Load(QStringLiteral("03"), SpreadBoats());
  boxes.clear();
  EXPECT_EQ(Predict(13), QString());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, "EntryCourseExpect03Err");
}

TEST_F(Prediction, AnOverflowingCountIsReportedNotWrapped) {
  // Entries written "9e3" convert to 9000: six times that is past the 16-bit range.
  auto boats = SpreadBoats();
  Load(QStringLiteral("24"), boats);
  RecordingMessageBox boxes;
  const QByteArray rec = RacerRecord(boats[0].racer).replace(82, 3, "9e3");
  QList<QByteArray> lines{rec};
  for (int b = 1; b < 6; ++b) lines << RacerRecord(boats[b].racer);
  WriteBytes(folder.file(QStringLiteral("SENSYU.BRF")), FanFile(lines));
  QStringList list = bangumi.ParticipationSensyuNoAllGet();
  ASSERT_TRUE(sensyu.FileLoad(folder.file(QStringLiteral("SENSYU.BRF")), list, 0));
  EXPECT_EQ(Predict(), QString());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, "EntryCourseExpectStandardErr");
  EXPECT_EQ(boxes.boxes()[0].text, S(u"オーバーフローしました: 54000"));
}

// ---- Properties over generated races ----------------------------------------------------------------

TEST_F(Prediction, EveryGeneratedRaceGivesAPermutation) {
  std::mt19937 rng(240101);
  const QStringList labels = ce::TacticsLabels();
  const QString classes[] = {QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("B1"), QStringLiteral("B2")};
  std::set<QString> results;
  for (int round = 0; round < 150; ++round) {
    std::array<BoatSpec, 6> boats;
    for (int b = 0; b < 6; ++b) {
      RacerSpec& r = boats[b].racer;
      r.no = QByteArray::number(4001 + b + 6 * (round % 3));
      // Entries concentrated on a random course or spread, some racers without starts.
      const int focus = static_cast<int>(rng() % 6);
      int total = 0;
      for (int c = 0; c < 6; ++c) {
        r.entries[c] = static_cast<int>(rng() % 8) + (c == focus ? static_cast<int>(rng() % 40) : 0);
        total += r.entries[c];
      }
      r.starts = rng() % 8 == 0 ? 0 : total;
      r.sex = 1 + static_cast<int>(rng() % 2);
      r.ability = 30 + static_cast<int>(rng() % 50);
      r.yoseiKi = 80 + static_cast<int>(rng() % 40);
      for (int c = 0; c < 6; ++c) {
        r.startTiming[c] = 10 + static_cast<int>(rng() % 15);
        r.startOrder[c] = 150 + static_cast<int>(rng() % 300);
      }
      r.inStore = rng() % 10 != 0;
      boats[b].cls = classes[rng() % 4];
      boats[b].motor = QStringLiteral(" %1.00").arg(20 + rng() % 50);
    }
    const QString code = round % 4 == 0 ? QStringLiteral("03") : QStringLiteral("12");
    Load(code, boats);
    const QString first = Predict();
    SCOPED_TRACE(::testing::Message() << "round " << round << " result " << first.toStdString());
    ASSERT_EQ(first.size(), 6);
    QString sorted = first;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, "123456");
    for (std::int16_t c = 1; c <= 6; ++c) {
      EXPECT_EQ(first[c - 1].digitValue(), ce::gintExpectBoat[c]);
      EXPECT_EQ(ce::gintExpectCourse[ce::gintExpectBoat[c]], c);
      EXPECT_TRUE(labels.contains(ce::gstrTactics[c])) << ce::gstrTactics[c].toStdString();
      EXPECT_EQ(ce::BoatTactics(ce::gintExpectBoat[c]), ce::gstrTactics[c]);
    }
    // Keys ascending by course, each boat's key among them.
    for (int c = 1; c < 6; ++c) EXPECT_LT(ce::gsngCourseValue[c], ce::gsngCourseValue[c + 1]);
    const auto tactics = ce::gstrTactics;
    EXPECT_EQ(Predict(), first);
    EXPECT_EQ(ce::gstrTactics, tactics);
    results.insert(first);
  }
  EXPECT_GT(results.size(), 10u);  // the generated races are not all alike
}
