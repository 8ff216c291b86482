// How the win model's log-loss on days its fit never saw grows as the fit shrinks: fitted on the
// last N days before --test-from (N from one day to every day), each scored on the races of
// --test-from .. --test-to, beside the fit on every day and the betting pool. The program's
// minimum of races for a fit (mWinTrain::kMinimumRaces) is read off this table.
//
//   WinFitSize --year-folder ../shared/data/earlier --year-folder ../shared/data/year
//              --test-from 2023-04-01 --test-to 2023-06-30

#include "predict/mWinEval.h"
#include "predict/mWinTrain.h"

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using namespace tidewake;

void Print(const QString& text) {
  std::fputs(text.toUtf8().constData(), stdout);
  std::fflush(stdout);
}

double Ll(double p) { return -std::log(std::max(p, 1e-12)); }

// A test race as the model sees it before the day, and what happened.
struct TestRace {
  mWinModel::RaceRows Rows;
  mWinModel::Courses Courses;
  std::array<std::int16_t, 3> FirstThree;
  double PoolWin = 0, PoolExacta = 0, PoolTrifecta = 0;
};

struct Score {
  double Win = 0, Exacta = 0, Trifecta = 0;
};

Score ScoreOf(const std::vector<TestRace>& races, const mWinModel::Coefficients& k) {
  Score s;
  for (const TestRace& r : races) {
    const mWinModel::RaceChances c = mWinModel::Predict(r.Rows, k, r.Courses);
    const auto a = static_cast<std::size_t>(r.FirstThree[0] - 1), b = static_cast<std::size_t>(r.FirstThree[1] - 1),
               t = static_cast<std::size_t>(r.FirstThree[2] - 1);
    s.Win += Ll(c.Win[a]);
    s.Exacta += Ll(c.Exacta[a * 6 + b]);
    s.Trifecta += Ll(c.Trifecta[a * 36 + b * 6 + t]);
  }
  const double n = std::max<double>(1.0, static_cast<double>(races.size()));
  return {s.Win / n, s.Exacta / n, s.Trifecta / n};
}

int Usage() {
  std::fputs("usage: WinFitSize --year-folder DIR... --test-from YYYY-MM-DD --test-to YYYY-MM-DD [--days N,N,...]\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList folders;
  QDate testFrom, testTo;
  QList<int> sizes{1, 2, 4, 7, 14, 30, 61, 91, 182, 365, 0};  // 0: every day before the test
  const QStringList args = app.arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString next = i + 1 < args.size() ? args[i + 1] : QString();
    if (args[i] == QLatin1String("--year-folder")) {
      folders << next, ++i;
    } else if (args[i] == QLatin1String("--test-from")) {
      testFrom = QDate::fromString(next, Qt::ISODate), ++i;
    } else if (args[i] == QLatin1String("--test-to")) {
      testTo = QDate::fromString(next, Qt::ISODate), ++i;
    } else if (args[i] == QLatin1String("--days")) {
      sizes.clear();
      for (const QString& n : next.split(u',')) sizes << n.toInt();
      ++i;
    } else {
      return Usage();
    }
  }
  if (folders.isEmpty() || !testFrom.isValid() || !testTo.isValid()) return Usage();
  const QDate start(2000, 1, 1);

  // The test races, with the history of every day before each.
  std::vector<TestRace> test;
  double poolWin = 0, poolExacta = 0, poolTrifecta = 0;
  mWinEval::Walk(mWinEval::FolderDays(folders, testFrom.addDays(-mWinTrain::cTraining().LookBackDays()), testTo), {},
                 [&](const mWinEval::RaceCase& rc) {
                   if (rc.Date < testFrom || !rc.Result) return;
                   const auto o =
                       mWinEval::ReadOutcome(rc.Card->races[static_cast<std::size_t>(rc.RaceNo - 1)], *rc.Result);
                   if (!o.Placed || o.Refund || !o.Tansyo || !o.Nirentan || !o.Sanrentan) return;
                   test.push_back({rc.Rows, mWinEval::CoursesOf(rc.Entry.Courses), o.FirstThree});
                   poolWin += Ll(mWinEval::PoolChance(o.Tansyo));
                   poolExacta += Ll(mWinEval::PoolChance(o.Nirentan));
                   poolTrifecta += Ll(mWinEval::PoolChance(o.Sanrentan));
                 });
  const double n = std::max<double>(1.0, static_cast<double>(test.size()));
  Print(QStringLiteral("test: %1 races of %2 .. %3; the pool: win %4, 2連単 %5, 3連単 %6\n\n")
            .arg(test.size())
            .arg(testFrom.toString(Qt::ISODate), testTo.toString(Qt::ISODate))
            .arg(poolWin / n, 0, 'f', 4)
            .arg(poolExacta / n, 0, 'f', 4)
            .arg(poolTrifecta / n, 0, 'f', 4));
  Print(QStringLiteral("| days fitted | first day | races | win | 2連単 | 3連単 |\n|---:|---|---:|---:|---:|---:|\n"));
  for (int days : sizes) {
    const QDate from = days > 0 ? testFrom.addDays(-days) : QDate();
    mWinTrain::cTraining training(from, testFrom.addDays(-1));
    training.Gather(mWinEval::FolderDays(folders, from.isValid() ? from.addDays(-training.LookBackDays()) : start,
                                         testFrom.addDays(-1)));
    training.Fit();
    if (training.status() != mWinTrain::Status::Fitted) {
      Print(QStringLiteral("| %1 | - | - | %2 |\n").arg(days).arg(training.Message()));
      continue;
    }
    const mWinCoefficients::Period& p = training.Result().Fitted;
    const Score s = ScoreOf(test, training.Result().Before);
    Print(QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |\n")
              .arg(p.Days)
              .arg(p.First.toString(Qt::ISODate))
              .arg(p.Races)
              .arg(s.Win, 0, 'f', 4)
              .arg(s.Exacta, 0, 'f', 4)
              .arg(s.Trifecta, 0, 'f', 4));
  }
  return 0;
}
