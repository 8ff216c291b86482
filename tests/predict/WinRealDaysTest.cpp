// The win model on real days of the shared year: every race read gives finite rows and chances
// that are distributions, with the shipped coefficients and with ones fitted on the days before.

#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"
#include "tests/common/SampleFiles.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace tidewake;

TEST(WinRealDays, EveryRaceGivesFiniteChancesAndMostArePlaced) {
  TIDEWAKE_SAMPLE_OR_SKIP(first, QStringLiteral("year/b230401.lzh"));
  QStringList skipped;
  // Four days, two in the sanitizer build, where the fit runs unoptimised.
#ifdef __SANITIZE_ADDRESS__
  constexpr int kDays = 2;
#else
  constexpr int kDays = 4;
#endif
  const std::vector<DayRecord> days =
      mWinEval::YearFolderDays(QFileInfo(first).path(), QDate(2023, 4, 1), QDate(2023, 4, kDays), &skipped);
  EXPECT_TRUE(skipped.isEmpty()) << skipped.join(u'\n').toStdString();
  ASSERT_EQ(days.size(), static_cast<std::size_t>(kDays));

  const mWinModel::Coefficients fitted = mWinEval::FitDays(days, QDate(), QDate(2023, 4, kDays), {}, mWinEval::kRidge);
  ASSERT_TRUE(fitted.IsWhole());
  int races = 0, placed = 0;
  mWinEval::Walk(days, {}, [&](const mWinEval::RaceCase& rc) {
    ++races;
    for (const auto& row : rc.Rows) {
      for (double x : row) ASSERT_TRUE(std::isfinite(x)) << rc.Date.toString().toStdString() << " " << rc.RaceNo;
    }
    for (const mWinModel::Coefficients* k : {&mWinCoefficients::Shipped().Before, &fitted}) {
      const auto c = mWinModel::Predict(rc.Rows, *k, mWinEval::CoursesOf(rc.Entry.Courses));
      EXPECT_NEAR(std::accumulate(c.Win.begin(), c.Win.end(), 0.0), 1.0, 1e-9);
      EXPECT_NEAR(std::accumulate(c.Trifecta.begin(), c.Trifecta.end(), 0.0), 1.0, 1e-9);
    }
    if (rc.Result &&
        mWinEval::ReadOutcome(rc.Card->races[static_cast<std::size_t>(rc.RaceNo - 1)], *rc.Result).Placed) {
      ++placed;
    }
  });
  EXPECT_GT(races, kDays * 100);
  EXPECT_GT(placed, races * 9 / 10);
}
