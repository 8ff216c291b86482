// The chances after the exhibition: each boat's exhibition time against the race's others, the
// start exhibition's courses as the entry, what a user types read or refused with the reason, and
// the likeliest combinations with the odds at which each breaks even.

#include "predict/mWinCard.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"
#include "predict/mWinFeatures.h"
#include "tests/common/SampleFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace tidewake;

namespace {

// The exhibition's five features of each boat, in the order of their names.
std::array<std::array<double, 5>, 6> TimeFeatures(const mWinFeatures::ExhibitionTimes& times) {
  cBangumiFile::Card card;
  card.KyoteijyoCode = QStringLiteral("01");
  card.RaceNumbers = 1;
  mWinFeatures::Exhibition e;
  e.Times = times;
  const QStringList names = mWinFeatures::FeatureNames(mWinFeatures::AfterSet());
  const auto at = static_cast<std::size_t>(names.indexOf(QStringLiteral("tenji_best")));
  const mWinModel::RaceRows rows = mWinFeatures::AfterFeatures(card, 1, e, {});
  std::array<std::array<double, 5>, 6> f{};
  for (std::size_t b = 0; b < 6; ++b) {
    for (std::size_t k = 0; k < 5; ++k) f[b][k] = rows[b][at + k];
  }
  return f;
}

}  // namespace

// best, mean (tenths of a second behind), rank (0 fastest .. 1 slowest), fastest, missing.
TEST(WinAfterFeatures, ExhibitionTimesAgainstTheRacesOthers) {
  using F = std::array<double, 5>;
  const F missing{0, 0, 0, 0, 1};
  const struct {
    const char* what;
    mWinFeatures::ExhibitionTimes times;
    std::array<F, 6> expected;
  } cases[] = {
      {"six times",
       {6.70f, 6.80f, 6.75f, 6.90f, 6.70f, 6.85f},
       {F{0, -5.0 / 6, 0.1, 1, 0}, F{1, 1.0 / 6, 0.6, 0, 0}, F{0.5, -2.0 / 6, 0.4, 0, 0}, F{2, 7.0 / 6, 1, 0, 0},
        F{0, -5.0 / 6, 0.1, 1, 0}, F{1.5, 4.0 / 6, 0.8, 0, 0}}},
      {"two blank: compared among the four",
       {6.70f, 0.0f, 6.80f, 6.90f, 0.0f, 6.60f},
       {F{1, -0.5, 1.0 / 3, 0, 0}, missing, F{2, 0.5, 2.0 / 3, 0, 0}, F{3, 1.5, 1, 0, 0}, missing,
        F{0, -1.5, 0, 1, 0}}},
      {"a slip of the pen and a time that is none",
       {6.70f, 67.8f, 0.678f, -6.8f, NAN, 6.80f},
       {F{0, -0.5, 0, 1, 0}, missing, missing, missing, missing, F{1, 0.5, 1, 0, 0}}},
      {"one time: nothing to compare", {6.70f, 0, 0, 0, 0, 0}, {missing, missing, missing, missing, missing, missing}},
      {"none", {}, {missing, missing, missing, missing, missing, missing}},
      {"a boat that idled round: clipped",
       {6.70f, 6.70f, 6.70f, 6.70f, 6.70f, 7.90f},
       {F{0, -2, 0.4, 1, 0}, F{0, -2, 0.4, 1, 0}, F{0, -2, 0.4, 1, 0}, F{0, -2, 0.4, 1, 0}, F{0, -2, 0.4, 1, 0},
        F{5, 5, 1, 0, 0}}},
  };
  for (const auto& c : cases) {
    const auto got = TimeFeatures(c.times);
    for (std::size_t b = 0; b < 6; ++b) {
      for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_NEAR(got[b][k], c.expected[b][k], 1e-4) << c.what << ": boat " << b + 1 << " feature " << k;
      }
    }
  }
}

TEST(WinAfterInput, ReadsATimeOrSaysWhyNot) {
  const struct {
    const char* text;
    float value;  // -1: refused
  } cases[] = {
      {"6.78", 6.78f}, {" 6.8 ", 6.8f}, {"６．７８", 6.78f}, {"7", 7.0f},  {"", 0.0f},
      {"　", 0.0f},    {"678", -1},     {"6.789", -1},       {"6,78", -1}, {"4.99", -1},
      {"10.00", -1},   {"-6.78", -1},   {"6.78s", -1},       {"1e1", -1},  {"abc", -1},
  };
  for (const auto& c : cases) {
    QString why;
    const std::optional<float> v = mWinCard::ReadExhibitionTime(QString::fromUtf8(c.text), why);
    if (c.value < 0) {
      EXPECT_FALSE(v) << c.text;
      EXPECT_EQ(why, QStringLiteral(
                         "展示タイム「%1」が読めません。6.78 のように 5.00～9.99 秒で入力してください（空欄は不明）。")
                         .arg(QString::fromUtf8(c.text).trimmed()))
          << c.text;
    } else {
      ASSERT_TRUE(v) << c.text << ": " << why.toStdString();
      EXPECT_FLOAT_EQ(*v, c.value) << c.text;
      EXPECT_TRUE(why.isEmpty());
    }
  }
}

TEST(WinAfterInput, CoursesMustBeAPermutation) {
  const struct {
    mWinFeatures::CourseTable courses;
    const char* problem;
  } cases[] = {
      {{0, 1, 2, 3, 4, 5, 6}, ""},
      {{0, 6, 2, 3, 4, 5, 1}, ""},
      {{0, 2, 1, 3, 4, 5, 6}, ""},
      {{0, 1, 1, 3, 4, 5, 6}, "1コースに 1号艇と 2号艇がいます。進入コースは各艇ちがうコースにしてください。"},
      {{0, 1, 2, 3, 4, 5, 0}, "6号艇の進入コースが 1～6 ではありません（0）。"},
      {{0, 7, 2, 3, 4, 5, 6}, "1号艇の進入コースが 1～6 ではありません（7）。"},
  };
  for (const auto& c : cases) EXPECT_EQ(mWinCard::CoursesProblem(c.courses), QString::fromUtf8(c.problem));
}

TEST(WinAfterTickets, LikeliestFirstWithTheirBreakEvenOdds) {
  mWinModel::RaceChances c = mWinModel::Harville({0.5, 0.2, 0.1, 0.1, 0.06, 0.04});
  for (int places : {2, 3}) {
    const auto tickets = mWinCard::Tickets(c, places, 5);
    ASSERT_EQ(tickets.size(), 5u);
    const auto likeliest = mWinModel::Likeliest(c, places, 5);
    for (std::size_t i = 0; i < tickets.size(); ++i) {
      EXPECT_EQ(tickets[i].Boats, likeliest[i].Boats);
      EXPECT_DOUBLE_EQ(tickets[i].Chance, likeliest[i].Chance);
      EXPECT_DOUBLE_EQ(tickets[i].BreakEven * tickets[i].Chance, 1.0);
    }
  }
  EXPECT_EQ(mWinCard::Tickets(c, 2, 1)[0].Boats, (std::array<std::int16_t, 3>{1, 2, 0}));
  EXPECT_EQ(mWinCard::OddsText(mWinCard::BreakEvenOdds(0.4)), QStringLiteral("2.5"));
  EXPECT_EQ(mWinCard::OddsText(mWinCard::BreakEvenOdds(0.0081)), QStringLiteral("123.5"));
  EXPECT_EQ(mWinCard::OddsText(mWinCard::BreakEvenOdds(0.0)), QStringLiteral("-"));
}

// What the results tell of a past race's exhibition: each boat's time and course by its number.
TEST(WinAfterPast, TheResultsGiveTheExhibitionsTimesAndCourses) {
  TIDEWAKE_SAMPLE_OR_SKIP(k, "K/k240101.txt");
  std::vector<cKekkaFile::Venue> venues;
  cKekkaFile::ReadAll(test::ReadBytes(k), [&](const cKekkaFile::Venue& v) { venues.push_back(v); });
  const auto omura =
      std::find_if(venues.begin(), venues.end(), [](const cKekkaFile::Venue& v) { return v.KyoteijyoCode == u"24"; });
  ASSERT_NE(omura, venues.end());
  // 大村 1R: boats 1 3 6 5 2 4 placed, each in its own course, 6.89 6.83 6.87 6.83 6.86 6.77.
  const mWinFeatures::Exhibition e = mWinEval::ExhibitionOf(omura->races[0]);
  EXPECT_EQ(e.Courses, (mWinFeatures::CourseTable{0, 1, 2, 3, 4, 5, 6}));
  const mWinFeatures::ExhibitionTimes times{6.89f, 6.83f, 6.87f, 6.83f, 6.86f, 6.77f};
  EXPECT_EQ(e.Times, times);
}

// The shipped after-exhibition chances on a real card: distributions; blank times are neutral
// (as no time known); a faster exhibition raises a boat's chance; the exhibition's courses carry
// the course's weight (the boat in course 1 gains, the boat sent out to course 6 loses most).
TEST(WinAfterChances, FollowTheTimesAndTheCourses) {
  TIDEWAKE_SAMPLE_OR_SKIP(b, "B/b240101.txt");
  const std::vector<cBangumiFile::Card> cards = test::ReadProgramme(b);
  const auto omura =
      std::find_if(cards.begin(), cards.end(), [](const cBangumiFile::Card& c) { return c.KyoteijyoCode == u"24"; });
  ASSERT_NE(omura, cards.end());
  const mWinModel::Coefficients& after = mWinCoefficients::Shipped().After;
  ASSERT_TRUE(after.IsWhole());
  const mWinCard::Records none{};
  mWinFeatures::Exhibition e;
  const mWinModel::RaceChances blank = mWinCard::AfterChances(*omura, 7, e, none, after);
  EXPECT_NEAR(std::accumulate(blank.Win.begin(), blank.Win.end(), 0.0), 1.0, 1e-9);
  EXPECT_NEAR(std::accumulate(blank.Trifecta.begin(), blank.Trifecta.end(), 0.0), 1.0, 1e-9);

  e.Times = {6.80f, 6.80f, 6.80f, 6.80f, 6.80f, 6.80f};
  const mWinModel::RaceChances even = mWinCard::AfterChances(*omura, 7, e, none, after);
  e.Times[3] = 6.60f;
  const mWinModel::RaceChances fast4 = mWinCard::AfterChances(*omura, 7, e, none, after);
  EXPECT_GT(fast4.Win[3], even.Win[3] * 1.2);

  // Boats 1 and 6 swapped in the start exhibition.
  e.Times = {};
  e.Courses = {0, 6, 2, 3, 4, 5, 1};
  const mWinModel::RaceChances swapped = mWinCard::AfterChances(*omura, 7, e, none, after);
  EXPECT_LT(swapped.Win[0], blank.Win[0] / 3);
  EXPECT_GT(swapped.Win[5], blank.Win[5] * 2);
  EXPECT_GT(swapped.Win[5], swapped.Win[0]);
}

// The course carries its weight before the exhibition too: on every race of a real day, the odds of
// the boat sent out of course 1 (to course 2 or 6) at least halve and those of the boat brought into
// course 1 at least double (a model leaning on the boat number barely moves them).
TEST(WinCourseWeight, SwappedCoursesMoveTheChancesWithTheCourse) {
  TIDEWAKE_SAMPLE_OR_SKIP(b, "B/b240101.txt");
  const std::vector<cBangumiFile::Card> cards = test::ReadProgramme(b);
  const mWinCoefficients::Model& model = mWinCoefficients::Shipped();
  const mWinCard::Records none{};
  const mWinFeatures::CourseTable wakunari{0, 1, 2, 3, 4, 5, 6};
  int races = 0;
  for (const cBangumiFile::Card& card : cards) {
    for (std::int16_t r = 1; r <= card.RaceNumbers; ++r, ++races) {
      const mWinModel::RaceChances base = mWinCard::Chances(card, r, wakunari, none, model.Before);
      for (std::size_t other : {std::size_t{2}, std::size_t{6}}) {
        mWinFeatures::CourseTable swapped = wakunari;
        std::swap(swapped[1], swapped[other]);
        const mWinModel::RaceChances s = mWinCard::Chances(card, r, swapped, none, model.Before);
        const std::string what =
            card.KyoteijyoCode.toStdString() + " " + std::to_string(r) + "R, 1 and " + std::to_string(other);
        const auto odds = [](double p) { return p / (1.0 - p); };
        EXPECT_LT(odds(s.Win[0]), odds(base.Win[0]) / 2) << what;
        EXPECT_GT(odds(s.Win[other - 1]), odds(base.Win[other - 1]) * 2) << what;
      }
    }
  }
  EXPECT_GT(races, 100);
}
