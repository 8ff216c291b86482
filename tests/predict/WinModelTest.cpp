// The win model: the chances as distributions, the fit on simulated races, missing figures,
// the coefficient file, and the history entry predictor.

#include "platform/RuntimeError.h"
#include "predict/mCourseHistory.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"
#include "predict/mWinFeatures.h"
#include "predict/mWinFit.h"
#include "predict/mWinModel.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/SampleFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <stop_token>

using namespace tidewake;
namespace wm = tidewake::mWinModel;

namespace {

wm::RaceRows RandomRows(std::mt19937& rng, int features) {
  std::normal_distribution<double> z(0.0, 1.0);
  wm::RaceRows rows;
  for (auto& r : rows) {
    r.resize(static_cast<std::size_t>(features));
    for (double& x : r) x = z(rng);
  }
  return rows;
}

std::vector<double> RandomBeta(std::mt19937& rng, int features, double scale) {
  std::normal_distribution<double> z(0.0, scale);
  std::vector<double> b(static_cast<std::size_t>(features));
  for (double& x : b) x = z(rng);
  return b;
}

wm::Coefficients RandomCoefficients(std::mt19937& rng, int features, double scale) {
  wm::Coefficients c;
  for (int i = 0; i < features; ++i) c.Names << QStringLiteral("f%1").arg(i);
  c.Win = RandomBeta(rng, features, scale);
  c.Second = RandomBeta(rng, features, scale);
  c.Third = RandomBeta(rng, features, scale);
  return c;
}

// Every chance in (0, 1) and the lot summing to 1.
template <std::size_t N>
void ExpectDistribution(const std::array<double, N>& p, std::size_t nonZero) {
  std::size_t positive = 0;
  for (double x : p) {
    ASSERT_TRUE(std::isfinite(x));
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
    positive += x > 0.0 ? 1 : 0;
  }
  EXPECT_EQ(positive, nonZero);
  EXPECT_NEAR(std::accumulate(p.begin(), p.end(), 0.0), 1.0, 1e-9);
}

}  // namespace

// For random rows and coefficients, mild to extreme: win, 2連単 and 3連単 chances are
// distributions over 6, 30 and 120 outcomes, and reordering the boats reorders the chances.
TEST(WinModel, ChancesAreDistributionsInvariantToBoatOrder) {
  std::mt19937 rng(7);
  for (double scale : {0.0, 0.3, 3.0, 300.0}) {
    for (int trial = 0; trial < 50; ++trial) {
      const wm::RaceRows rows = RandomRows(rng, 5);
      const wm::Coefficients k = RandomCoefficients(rng, 5, scale);
      const wm::RaceChances c = wm::Predict(rows, k);
      ExpectDistribution(c.Win, 6);
      ExpectDistribution(c.Exacta, 30);
      ExpectDistribution(c.Trifecta, 120);
      ExpectDistribution(wm::Harville(c.Win).Trifecta, 120);

      std::array<int, 6> perm{0, 1, 2, 3, 4, 5};
      std::shuffle(perm.begin(), perm.end(), rng);
      wm::RaceRows moved;
      for (int i = 0; i < 6; ++i)
        moved[static_cast<std::size_t>(perm[static_cast<std::size_t>(i)])] = rows[static_cast<std::size_t>(i)];
      const wm::RaceChances m = wm::Predict(moved, k);
      for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(m.Win[static_cast<std::size_t>(perm[i])], c.Win[i], 1e-12);
        for (std::size_t j = 0; j < 6; ++j) {
          if (i != j) {
            EXPECT_NEAR(m.Exacta[static_cast<std::size_t>(perm[i] * 6 + perm[j])], c.Exacta[i * 6 + j], 1e-12);
          }
        }
      }
    }
  }
}

TEST(WinModel, LikeliestIsSortedAndRanksAgree) {
  std::mt19937 rng(3);
  const wm::RaceChances c = wm::Predict(RandomRows(rng, 4), RandomCoefficients(rng, 4, 1.0));
  for (int places : {2, 3}) {
    const auto top = wm::Likeliest(c, places, 5);
    ASSERT_EQ(top.size(), 5u);
    for (std::size_t i = 0; i < top.size(); ++i) {
      EXPECT_EQ(wm::RankOf(c, top[i].Boats, places), static_cast<int>(i) + 1);
      if (i) {
        EXPECT_GE(top[i - 1].Chance, top[i].Chance);
      }
    }
    EXPECT_EQ(wm::Likeliest(c, places, 1000).size(), places == 2 ? 30u : 120u);
  }
}

// Races simulated from known coefficients give them back within a few standard errors.
TEST(WinFit, RecoversKnownCoefficients) {
  std::mt19937 rng(11);
  const std::vector<std::vector<double>> truth{{1.2, -0.8, 0.4}, {0.6, 0.5, -0.3}, {-0.4, 0.9, 0.2}};
  mWinFit::RaceSet set(3);
  // Enough races for the estimates to fall within 0.1 of the truth; few enough for the sanitizer build.
  for (int r = 0; r < 3000; ++r) {
    const wm::RaceRows rows = RandomRows(rng, 3);
    std::array<bool, 6> in{};
    in.fill(true);
    std::array<std::int16_t, 3> order{};
    for (std::size_t place = 0; place < 3; ++place) {
      const auto p = wm::Softmax(wm::Scores(rows, truth[place]), in);
      std::discrete_distribution<int> pick(p.begin(), p.end());
      order[place] = static_cast<std::int16_t>(pick(rng));
      in[static_cast<std::size_t>(order[place])] = false;
    }
    ASSERT_TRUE(set.Add(rows, order));
  }
  wm::RaceRows bad = RandomRows(rng, 3);
  bad[4][1] = std::nan("");
  EXPECT_FALSE(set.Add(bad, {0, 1, 2})) << "a figure that is not a number";
  EXPECT_FALSE(set.Add(RandomRows(rng, 3), {0, 0, 2})) << "a boat placed twice";
  EXPECT_FALSE(set.Add(RandomRows(rng, 2), {0, 1, 2})) << "rows too short";
  for (int place = 0; place < 3; ++place) {
    const auto fit = mWinFit::Fit(set, static_cast<mWinFit::Place>(place), 1e-6);
    EXPECT_TRUE(fit.Converged);
    EXPECT_LE(fit.Iterations, 10);
    for (std::size_t f = 0; f < 3; ++f)
      EXPECT_NEAR(fit.Beta[f], truth[static_cast<std::size_t>(place)][f], 0.1) << place << " " << f;
  }
  // A stop requested ends the fit before its next step, with no coefficients to use.
  std::stop_source stop;
  stop.request_stop();
  EXPECT_TRUE(mWinFit::Fit(set, mWinFit::Place::First, 1e-6, 30, {}, stop.get_token()).Stopped);
  EXPECT_FALSE(mWinFit::FitAll(set, {"a", "b", "c"}, 1e-6, {}, stop.get_token()).IsWhole());
}

// Places drawn from chances that lean on the win logit's strength (against the winner's chance,
// and the boat's own win chance) are learnt back: the fitted model's 2連単 chances come near the
// true ones on races it never saw, far nearer than Harville's; and fit and prediction read the
// strength alike.
TEST(WinFit, LearnsHowSecondAndThirdWeighTheWinStrength) {
  std::mt19937 rng(17);
  const QStringList names{"a", "b", "c"};
  wm::Coefficients truth;
  truth.Names = names + wm::ContextNames();
  const auto n = static_cast<std::size_t>(truth.Names.size());
  truth.Win = {1.2, -0.8, 0.4};
  truth.Win.resize(n, 0.0);
  truth.Second.assign(n, 0.0);
  truth.Third.assign(n, 0.0);
  const auto at = [&](const char* name) { return static_cast<std::size_t>(truth.Names.indexOf(QLatin1String(name))); };
  truth.Second[at("ctx_win_score_x_first_chance")] = 2.0;
  truth.Second[at("ctx_win_chance")] = -1.5;
  truth.Third[at("ctx_win_score")] = 0.5;
  mWinFit::RaceSet set(3);
  for (int r = 0; r < 4000; ++r) {
    const wm::RaceRows rows = RandomRows(rng, 3);
    const auto p = wm::Predict(rows, truth).Trifecta;
    const int k = std::discrete_distribution<int>(p.begin(), p.end())(rng);
    ASSERT_TRUE(set.Add(rows, {static_cast<std::int16_t>(k / 36), static_cast<std::int16_t>(k / 6 % 6),
                               static_cast<std::int16_t>(k % 6)}));
  }
  const wm::Coefficients fitted = mWinFit::FitAll(set, names, 1e-6);
  ASSERT_TRUE(fitted.IsWhole());
  // Harville on the true win chances, which knows nothing of the strength, for scale.
  double worst = 0.0, harville = 0.0;
  for (int r = 0; r < 50; ++r) {
    const wm::RaceRows rows = RandomRows(rng, 3);
    const auto want = wm::Predict(rows, truth), got = wm::Predict(rows, fitted), h = wm::Harville(want.Win);
    for (std::size_t i = 0; i < want.Exacta.size(); ++i) {
      worst = std::max(worst, std::abs(want.Exacta[i] - got.Exacta[i]));
      harville = std::max(harville, std::abs(want.Exacta[i] - h.Exacta[i]));
    }
  }
  EXPECT_LT(worst, 0.06);
  EXPECT_GT(harville, 2.0 * worst);

  // The fit's own log-loss of second place is the one the chained chances give its races.
  double ll = 0.0;
  for (std::size_t r = 0; r < set.Races(); ++r) {
    wm::RaceRows rows;
    for (std::size_t b = 0; b < 6; ++b) {
      for (int f = 0; f < 3; ++f) rows[b].push_back(set.At(r, static_cast<int>(b), f));
    }
    const auto c = wm::Predict(rows, fitted);
    const auto o = set.FirstThree(r);
    ll -= std::log(c.Exacta[static_cast<std::size_t>(o[0] * 6 + o[1])] / c.Win[static_cast<std::size_t>(o[0])]);
  }
  EXPECT_NEAR(mWinFit::Fit(set, mWinFit::Place::Second, 1e-6).MeanLogLoss, ll / static_cast<double>(set.Races()), 1e-6);
}

// A card with no figures at all (a new racer everywhere, 0.00 rates, no history) still gives
// finite chances, with the shipped coefficients as with extreme ones.
TEST(WinFeatures, MissingFiguresGiveFiniteChances) {
  cBangumiFile::Card card;
  card.KyoteijyoCode = QStringLiteral("99");
  card.RaceNumbers = 1;
  card.races[0].boats[2].SensyuZenkokuSyoritu = 7.5f;
  const std::array<mWinHistory::RacerRecord, 6> none{};
  const QStringList names = mWinFeatures::FeatureNames();
  const auto coefficients = static_cast<int>(mWinFeatures::CoefficientNames().size());
  for (const mWinFeatures::CourseTable& courses :
       {mWinFeatures::CourseTable{}, mWinFeatures::CourseTable{0, 9, -1, 3, 4, 5, 6}}) {
    const wm::RaceRows rows = mWinFeatures::RaceFeatures(card, 13, courses, none);
    for (const auto& r : rows) {
      ASSERT_EQ(r.size(), static_cast<std::size_t>(names.size()));
      for (double x : r) ASSERT_TRUE(std::isfinite(x));
    }
    std::mt19937 rng(5);
    for (const wm::Coefficients& k :
         {mWinCoefficients::Shipped().Before, RandomCoefficients(rng, coefficients, 50.0)}) {
      ExpectDistribution(wm::Predict(rows, k).Win, 6);
    }
  }
}

TEST(WinCoefficients, ShippedFileFitsTheFeatures) {
  const wm::Coefficients& k = mWinCoefficients::Shipped().Before;
  EXPECT_EQ(k.Names, mWinFeatures::CoefficientNames());
  ASSERT_TRUE(k.IsWhole());
  // Fitted, not the all-zero stand-in: the inside course wins most.
  EXPECT_LT(k.Win[0], -0.1);
  // It says what it learnt from: the days the results window must not score it on unawares.
  const mWinCoefficients::Period& p = mWinCoefficients::Shipped().Fitted;
  EXPECT_TRUE(p.First.isValid() && p.Last.isValid() && p.First < p.Last);
  EXPECT_GT(p.Races, 100 * p.Days);
}

TEST(WinCoefficients, RoundTripsAndRefusesDamage) {
  std::mt19937 rng(2);
  const mWinCoefficients::Model k{
      RandomCoefficients(rng, 4, 1.0), RandomCoefficients(rng, 5, 1.0), {QDate(2022, 7, 1), QDate(2022, 7, 2), 2, 301}};
  const QByteArray text = mWinCoefficients::Write(k);
  EXPECT_EQ(mWinCoefficients::Read(text), k);
  const mWinCoefficients::Model unknown{k.Before, k.After, {}};
  EXPECT_EQ(mWinCoefficients::Read(mWinCoefficients::Write(unknown)), unknown);

  struct Damage {
    const char* what;
    QByteArray from, to;
  };
  const Damage damages[] = {
      {"other format", "tidewake-win-coefficients", "tidewake-entry"},
      {"newer version", "coefficients 4", "coefficients 5"},
      {"older version", "coefficients 4", "coefficients 3"},
      {"period not a day", "2022-07-02", "2022-07-32"},
      {"period reversed", "2022-07-02", "2022-06-30"},
      {"period half known", "2022-07-02", "-"},
      {"period count negative", "races 301", "races -1"},
      {"period missing", "fitted ", "fit "},
      {"count too high", "before features 4", "before features 5"},
      {"count too low", "before features 4", "before features 3"},
      {"count not a number", "before features 4", "before features x"},
      {"models the other way round", "before features 4", "after features 4"},
      {"second model missing", "after features 5", ""},
      {"a line after the models", "after features 5", "after features 4"},
      {"value not a number", "f2 ", "f2 nan "},
      {"missing value", "\nf3 ", "\nf3 1 "},
      {"repeated name", "f1 ", "f0 "},
  };
  for (const Damage& d : damages) {
    QByteArray bad = text;
    if (QByteArrayView(d.what) == "missing value") {
      bad.truncate(bad.lastIndexOf(' '));
    } else {
      bad.replace(bad.indexOf(d.from), d.from.size(), d.to);
    }
    EXPECT_THROW(mWinCoefficients::Read(bad), RuntimeError) << d.what;
  }
  // An older file is refused with what to do about it.
  EXPECT_RUNTIME_ERROR(mWinCoefficients::Read(QByteArray(text).replace("coefficients 4", "coefficients 3")), 0,
                       QStringLiteral("学習し直して"));
  EXPECT_THROW(mWinCoefficients::Read(text.left(text.size() / 2)), RuntimeError);
  EXPECT_THROW(mWinCoefficients::Read(QByteArray()), RuntimeError);
  // Text past the cap is refused before it is split into lines.
  EXPECT_THROW(mWinCoefficients::Read(text + QByteArray(mWinCoefficients::kMaxFileBytes, '\n')), RuntimeError);

  // A user's damaged file, or one of other features, gives way to the shipped coefficients with
  // the reason; his good file is used.
  test::TempAppFolder dir;
  const QString path = dir.file(QStringLiteral("win.txt"));
  QString error;
  for (const QByteArray& bytes : {text.left(40), text}) {
    test::WriteBytes(path, bytes);
    EXPECT_EQ(mWinCoefficients::UserOrShipped(path, error), mWinCoefficients::Shipped());
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
  }
  mWinCoefficients::Model mine = mWinCoefficients::Shipped();
  mine.Before.Win[0] += 1.0;
  ASSERT_TRUE(mWinCoefficients::Save(path, mine, error));
  EXPECT_EQ(mWinCoefficients::UserOrShipped(path, error), mine);
  EXPECT_TRUE(error.isEmpty());
}

// The 履歴 entry: a racer who always went in from his boat takes that course; a fixed-entry
// race, or no record, keeps every number.
TEST(CourseHistory, FollowsEachRacersOwnEntries) {
  struct Case {
    const char* what;
    int boat, course, times;
    bool fixed;
    mCourseHistory::CourseTable expected;
  };
  const Case cases[] = {
      {"no record", 0, 0, 0, false, {0, 1, 2, 3, 4, 5, 6}},
      {"boat 4 always course 3", 4, 3, 12, false, {0, 1, 2, 4, 3, 5, 6}},
      {"fixed entry", 4, 3, 12, true, {0, 1, 2, 3, 4, 5, 6}},
      {"boat 6 always course 1", 6, 1, 12, false, {0, 2, 3, 4, 5, 6, 1}},
      {"a split record stays", 4, 0, 3, false, {0, 1, 2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    std::array<mWinHistory::RacerRecord, 6> rec{};
    if (c.boat) {
      auto& own = rec[static_cast<std::size_t>(c.boat - 1)].Entries[static_cast<std::size_t>(c.boat)];
      // Course 0: as often in his own course as in the one inside it.
      for (int course : c.course ? std::vector<int>{c.course} : std::vector<int>{c.boat - 1, c.boat}) {
        own[static_cast<std::size_t>(course)] = c.times;
      }
    }
    EXPECT_EQ(mCourseHistory::Predict(rec, c.fixed).Courses, c.expected) << c.what;
  }
}

namespace {

// A race of six racers 4001..4006 finishing in boat order, paying 1, 1-2 and 1-2-3.
struct RaceCaseBuilder {
  cBangumiFile::Race card;
  cKekkaFile::Race result;
  RaceCaseBuilder() {
    result.Exists = true;
    result.Status = RaceStatus::Held;
    for (std::int16_t b = 1; b <= 6; ++b) {
      card.boats[static_cast<std::size_t>(b - 1)].SensyuNo = QString::number(4000 + b);
      cKekkaFile::Boat k;
      k.WakuNo = b;
      k.Course = b;
      k.TyakujyunNo = b;
      k.Tyakujyun = QStringLiteral("0%1").arg(b);
      k.SensyuNo = QString::number(4000 + b);
      result.boats.push_back(k);
    }
    Pay(Kakesiki::Tansyo, QStringLiteral("1"), 150);
    Pay(Kakesiki::Nirentan, QStringLiteral("1-2"), 480);
    Pay(Kakesiki::Sanrentan, QStringLiteral("1-2-3"), 1230);
  }
  void Pay(Kakesiki kind, const QString& kumiban, std::int32_t yen, bool tokubarai = false) {
    cKekkaFile::Haraimodosi h;
    h.Kumiban = kumiban;
    h.Kingaku = yen;
    h.Tokubarai = tokubarai;
    result.payouts[static_cast<std::size_t>(kind)].push_back(h);
  }
};

}  // namespace

// What a result says, read honestly: only single first three places count, a refund is marked,
// and a payout counts only when it names exactly the boats placed.
TEST(WinEvalOutcome, ReadsPlacesRefundsAndPayoutsHonestly) {
  struct Case {
    const char* what;
    std::function<void(RaceCaseBuilder&)> change;
    bool placed, refund;
    std::int32_t tansyo, nirentan, sanrentan;
  };
  const Case cases[] = {
      {"plain", [](RaceCaseBuilder&) {}, true, false, 150, 480, 1230},
      {"cancelled", [](RaceCaseBuilder& r) { r.result.Status = RaceStatus::Cancelled; }, false, false, 0, 0, 0},
      {"void", [](RaceCaseBuilder& r) { r.result.Status = RaceStatus::Void; }, false, false, 0, 0, 0},
      {"dead heat for second", [](RaceCaseBuilder& r) { r.result.boats[2].TyakujyunNo = 2; }, false, false, 0, 0, 0},
      {"other racer", [](RaceCaseBuilder& r) { r.result.boats[4].SensyuNo = QStringLiteral("9999"); }, false, false, 0,
       0, 0},
      {"boat 6 flew",
       [](RaceCaseBuilder& r) {
         r.result.boats[5].TyakujyunNo = 0;
         r.result.boats[5].Tyakujyun = QStringLiteral("F");
         r.result.boats[5].StartFlying = true;
       },
       true, true, 150, 480, 1230},
      {"boat 5 late", [](RaceCaseBuilder& r) { r.result.boats[4].StartLate = true; }, true, true, 150, 480, 1230},
      {"special payout",
       [](RaceCaseBuilder& r) {
         r.result.payouts[static_cast<std::size_t>(Kakesiki::Sanrentan)].clear();
         r.Pay(Kakesiki::Sanrentan, QString(), 70, true);
       },
       true, false, 150, 480, 0},
      {"payout of other boats",
       [](RaceCaseBuilder& r) {
         r.result.payouts[static_cast<std::size_t>(Kakesiki::Nirentan)][0].Kumiban = QStringLiteral("2-1");
       },
       true, false, 150, 0, 1230},
      {"two combinations paid", [](RaceCaseBuilder& r) { r.Pay(Kakesiki::Tansyo, QStringLiteral("2"), 300); }, true,
       false, 0, 480, 1230},
  };
  for (const Case& c : cases) {
    RaceCaseBuilder r;
    c.change(r);
    const mWinEval::Outcome o = mWinEval::ReadOutcome(r.card, r.result);
    EXPECT_EQ(o.Placed, c.placed) << c.what;
    if (!o.Placed) continue;
    EXPECT_EQ(o.FirstThree, (std::array<std::int16_t, 3>{1, 2, 3})) << c.what;
    EXPECT_EQ(o.Refund, c.refund) << c.what;
    EXPECT_EQ((std::array<std::int32_t, 3>{o.Tansyo, o.Nirentan, o.Sanrentan}),
              (std::array<std::int32_t, 3>{c.tansyo, c.nirentan, c.sanrentan}))
        << c.what;
  }
  EXPECT_DOUBLE_EQ(mWinEval::PoolChance(100), 0.75);
  EXPECT_DOUBLE_EQ(mWinEval::PoolChance(0), 0.0);
}
