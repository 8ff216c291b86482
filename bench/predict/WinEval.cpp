// How well the win model predicts races its fit never saw, beside the betting pool and a table
// of win shares by boat number. The model is fitted on every day before --test-from (from
// --fit-from when given); each test day is predicted with the history of the days before it only.
//
//   WinEval --year-folder ../shared/data/year --test-from 2023-04-01 --test-to 2023-06-30
//   WinEval --year-folder ../shared/data/earlier --year-folder ../shared/data/year --test-from 2023-01-01 ...
//
// Races scored: those whose first three places are held by one boat each (no dead heat), whose
// racers are the card's, where no boat flew, started late or was withdrawn (bets on such a boat
// are refunded, so the pool's payouts no longer speak of six boats), and whose 単勝, 2連単 and
// 3連単 each paid the winning combination in yen (a special payout, 特払い, leaves the race out).
// The pool's chance of the winning combination is its return, 75 %, times 100 / the payout; a
// payout of the 100-yen minimum gives 0.75, the most the pool says then. Every figure is over
// the same races.

#include "platform/RuntimeError.h"
#include "predict/mEntryScore.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"
#include "predict/mWinTrain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

using namespace tidewake;

void Print(const QString& text) { std::fputs(text.toUtf8().constData(), stdout); }

double Ll(double p) { return -std::log(std::max(p, 1e-12)); }

struct Mean {
  double Sum = 0.0;
  long N = 0;
  void Add(double x) {
    Sum += x;
    ++N;
  }
  double Value() const { return N ? Sum / N : 0.0; }
};

struct Bin {
  long N = 0;
  double Chance = 0, Won = 0;
};

// One model's measures on the races scored.
struct Tally {
  Mean Win, Exacta, Trifecta, Top;
  std::array<Bin, 10> Bins;
  void Add(const mWinModel::RaceChances& c, const mWinEval::Outcome& o) {
    const int a = o.FirstThree[0] - 1, b = o.FirstThree[1] - 1, t = o.FirstThree[2] - 1;
    Win.Add(Ll(c.Win[static_cast<std::size_t>(a)]));
    Top.Add(std::max_element(c.Win.begin(), c.Win.end()) - c.Win.begin() == a ? 1.0 : 0.0);
    Exacta.Add(Ll(c.Exacta[static_cast<std::size_t>(a * 6 + b)]));
    Trifecta.Add(Ll(c.Trifecta[static_cast<std::size_t>(a * 36 + b * 6 + t)]));
    for (int i = 0; i < 6; ++i) {
      const double p = c.Win[static_cast<std::size_t>(i)];
      Bin& bin = Bins[static_cast<std::size_t>(std::min(9, static_cast<int>(p * 10)))];
      ++bin.N;
      bin.Chance += p;
      bin.Won += i == a ? 1 : 0;
    }
  }
  // The weighted mean |chance - share won| over the bins.
  double Ece() const {
    double e = 0.0;
    long n = 0;
    for (const Bin& b : Bins) {
      n += b.N;
      if (b.N) e += std::abs(b.Chance - b.Won);
    }
    return n ? e / n : 0.0;
  }
};

int Usage() {
  std::fputs(
      "usage: WinEval (--history DB | --year-folder DIR...) [--fit-from YYYY-MM-DD] --test-from YYYY-MM-DD\n"
      "               --test-to YYYY-MM-DD [--ridge X] [--no-venue] [--no-history] [--[no-]interaction]\n"
      "               [--[no-]boat] [--entry-window DAYS]\n"
      "               [--write-coefficients FILE]\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList yearFolders;
  QString history, coefficientsOut;
  QDate fitFrom, testFrom, testTo;
  double ridge = mWinEval::kRidge;
  mWinFeatures::FeatureSet before = mWinFeatures::BeforeSet(), after = mWinFeatures::AfterSet();
  const QStringList args = app.arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    const QString next = i + 1 < args.size() ? args[i + 1] : QString();
    if (a == QLatin1String("--year-folder"))
      yearFolders << next, ++i;
    else if (a == QLatin1String("--history"))
      history = next, ++i;
    else if (a == QLatin1String("--fit-from"))
      fitFrom = QDate::fromString(next, Qt::ISODate), ++i;
    else if (a == QLatin1String("--test-from"))
      testFrom = QDate::fromString(next, Qt::ISODate), ++i;
    else if (a == QLatin1String("--test-to"))
      testTo = QDate::fromString(next, Qt::ISODate), ++i;
    else if (a == QLatin1String("--ridge"))
      ridge = next.toDouble(), ++i;
    else if (a == QLatin1String("--write-coefficients"))
      coefficientsOut = next, ++i;
    else if (a == QLatin1String("--no-venue"))
      before.Venue = after.Venue = false;
    else if (a == QLatin1String("--no-history"))
      before.History = after.History = false;
    else if (a == QLatin1String("--interaction"))
      before.Interaction = after.Interaction = true;
    else if (a == QLatin1String("--no-interaction"))
      before.Interaction = after.Interaction = false;
    else if (a == QLatin1String("--boat"))
      before.Boat = after.Boat = true;
    else if (a == QLatin1String("--no-boat"))
      before.Boat = after.Boat = false;
    else if (a == QLatin1String("--entry-window"))
      before.EntryWindowDays = after.EntryWindowDays = next.toInt(), ++i;
    else
      return Usage();
  }
  if (!testFrom.isValid() || !testTo.isValid() || (yearFolders.isEmpty() == history.isEmpty())) return Usage();
  std::unique_ptr<cRirekiDb> db;
  if (!history.isEmpty()) {
    try {
      db = std::make_unique<cRirekiDb>(history);
    } catch (const RuntimeError& e) {
      std::fprintf(stderr, "%s\n", e.description().toUtf8().constData());
      return 1;
    }
  }
  // The days are read again for each pass, one at a time (a month at a time from the history):
  // years of days never sit in memory together.
  QStringList unread;
  mWinTrain::cTraining training(fitFrom, testFrom.addDays(-1), before, after, ridge);
  const QDate readFrom = fitFrom.isValid() ? fitFrom.addDays(-training.LookBackDays()) : QDate(2000, 1, 1);
  const auto days = [&]() -> mWinEval::DaySource {
    if (db) return mWinEval::HistoryDays(*db, fitFrom.isValid() ? readFrom : QDate(), testTo);
    return mWinEval::FolderDays(yearFolders, readFrom, testTo, &unread);
  };
  QElapsedTimer clock;
  clock.start();
  training.Gather(days());
  for (const QString& s : unread) std::fprintf(stderr, "%s\n", s.toUtf8().constData());
  const double loadSeconds = clock.restart() / 1000.0;
  training.Fit();
  if (training.status() != mWinTrain::Status::Fitted) {
    std::fprintf(stderr, "no fit: %s\n", training.Message().toUtf8().constData());
    return 1;
  }
  const mWinCoefficients::Model& model = training.Result();
  const double fitSeconds = clock.restart() / 1000.0;
  Print(QStringLiteral("fitted on %1 days (%2 to %3), %4 races; read in %5 s\n")
            .arg(model.Fitted.Days)
            .arg(model.Fitted.First.toString(Qt::ISODate), model.Fitted.Last.toString(Qt::ISODate))
            .arg(model.Fitted.Races)
            .arg(loadSeconds, 0, 'f', 1));
  Print(QStringLiteral("fit: %1 and %2 features, ridge %3, %4 s\n")
            .arg(model.Before.Names.size())
            .arg(model.After.Names.size())
            .arg(ridge)
            .arg(fitSeconds, 0, 'f', 1));
  if (!coefficientsOut.isEmpty()) {
    QString error;
    if (!mWinCoefficients::Save(coefficientsOut, model, error)) {
      std::fprintf(stderr, "%s\n", error.toUtf8().constData());
      return 1;
    }
  }

  // The boat-number table: win shares by boat over the fitted races.
  std::array<double, 6> boatShare{1, 1, 1, 1, 1, 1};
  mWinEval::Walk(days(), before, [&](const mWinEval::RaceCase& rc) {
    if (rc.Date >= testFrom || (fitFrom.isValid() && rc.Date < fitFrom) || !rc.Result) return;
    const auto o = mWinEval::ReadOutcome(rc.Card->races[static_cast<std::size_t>(rc.RaceNo - 1)], *rc.Result);
    if (o.Placed && !o.Refund) boatShare[static_cast<std::size_t>(o.FirstThree[0] - 1)] += 1;
  });
  double shareSum = 0;
  for (double s : boatShare) shareSum += s;
  for (double& s : boatShare) s /= shareSum;

  Tally beforeModel, afterModel;
  Mean poolWin, boatTable, poolExacta, poolTrifecta, harvExacta, harvTrifecta;
  // The races whose entry was not 枠なり: each model given the courses of 枠なり, of the 履歴
  // prediction and of the race, and by course the mean chance beside the share won.
  Tally moved[5];
  std::array<std::array<Mean, 7>, 3> byCourse{};  // before given the race's courses, after, the share won
  long skipped = 0, unplaced = 0, refunds = 0, unpaid = 0, movedRaces = 0;
  mEntryScore::EntryTally entryHistory, entryWakunari;
  mWinEval::Walk(days(), before, [&](const mWinEval::RaceCase& rc) {
    if (rc.Date < testFrom || rc.Date > testTo) return;
    if (!rc.Result) return ++skipped, void();
    const auto o = mWinEval::ReadOutcome(rc.Card->races[static_cast<std::size_t>(rc.RaceNo - 1)], *rc.Result);
    bool anyCourse = false, allCourses = true, wakunari = true;
    for (int b = 1; b <= 6; ++b) {
      const auto c = o.RealCourses[static_cast<std::size_t>(b)];
      anyCourse = anyCourse || c != 0;
      allCourses = allCourses && c != 0;
      wakunari = wakunari && (c == 0 || c == b);
    }
    if (anyCourse) {
      entryHistory.Add(rc.Entry.Courses, o.RealCourses);
      entryWakunari.Add(mEntryScore::WakunariCourses(), o.RealCourses);
    }
    if (!o.Placed) return ++unplaced, void();
    if (o.Refund) return ++refunds, void();
    if (!o.Tansyo || !o.Nirentan || !o.Sanrentan) return ++unpaid, void();
    const mWinModel::RaceChances c = mWinModel::Predict(rc.Rows, model.Before, mWinEval::CoursesOf(rc.Entry.Courses));
    const mWinFeatures::Exhibition shown = mWinEval::ExhibitionOf(*rc.Result);
    const mWinModel::RaceChances a =
        mWinModel::Predict(mWinFeatures::AfterFeatures(*rc.Card, rc.RaceNo, shown, rc.Records, after), model.After,
                           mWinEval::CoursesOf(shown.Courses));
    beforeModel.Add(c, o);
    afterModel.Add(a, o);
    const int w = o.FirstThree[0] - 1, b2 = o.FirstThree[1] - 1, t = o.FirstThree[2] - 1;
    poolWin.Add(Ll(mWinEval::PoolChance(o.Tansyo)));
    boatTable.Add(Ll(boatShare[static_cast<std::size_t>(w)]));
    poolExacta.Add(Ll(mWinEval::PoolChance(o.Nirentan)));
    poolTrifecta.Add(Ll(mWinEval::PoolChance(o.Sanrentan)));
    const mWinModel::RaceChances h = mWinModel::Harville(c.Win);
    harvExacta.Add(Ll(h.Exacta[static_cast<std::size_t>(w * 6 + b2)]));
    harvTrifecta.Add(Ll(h.Trifecta[static_cast<std::size_t>(w * 36 + b2 * 6 + t)]));
    if (!allCourses || wakunari) return;
    ++movedRaces;
    const mWinFeatures::CourseTable real = o.RealCourses;
    const mWinFeatures::CourseTable frames{0, 1, 2, 3, 4, 5, 6};
    const auto beforeGiven = [&](const mWinFeatures::CourseTable& courses) {
      return mWinModel::Predict(mWinFeatures::RaceFeatures(*rc.Card, rc.RaceNo, courses, rc.Records, before),
                                model.Before, mWinEval::CoursesOf(courses));
    };
    mWinFeatures::Exhibition framed = shown;
    framed.Courses = frames;
    const mWinModel::RaceChances givenReal = beforeGiven(real);
    moved[0].Add(beforeGiven(frames), o);
    moved[1].Add(c, o);
    moved[2].Add(givenReal, o);
    moved[3].Add(mWinModel::Predict(mWinFeatures::AfterFeatures(*rc.Card, rc.RaceNo, framed, rc.Records, after),
                                    model.After, mWinEval::CoursesOf(frames)),
                 o);
    moved[4].Add(a, o);
    for (std::size_t boat = 1; boat <= 6; ++boat) {
      const auto course = static_cast<std::size_t>(real[boat]);
      byCourse[0][course].Add(givenReal.Win[boat - 1]);
      byCourse[1][course].Add(a.Win[boat - 1]);
      byCourse[2][course].Add(static_cast<int>(boat) == o.FirstThree[0] ? 1.0 : 0.0);
    }
  });
  const double evalSeconds = clock.restart() / 1000.0;

  Print(QStringLiteral("\nraces scored: %1; left out: %2 with no result, %3 without three single places or with other "
                       "racers, %4 with a refund (F, L, K), %5 without a payout in yen (特払い or unread)\n")
            .arg(beforeModel.Win.N)
            .arg(skipped)
            .arg(unplaced)
            .arg(refunds)
            .arg(unpaid));
  Print(
      QStringLiteral("the pool's chance of the winning combination: 0.75 x 100 / payout (a 100-yen minimum "
                     "payout gives 0.75); races with a refund or a special payout are left out of every figure\n"));
  Print(QStringLiteral("\n| forecast of the winner | log-loss |\n|---|---:|\n"));
  Print(QStringLiteral("| every boat 1/6 | %1 |\n").arg(std::log(6.0), 0, 'f', 4));
  Print(QStringLiteral("| win share by boat number | %1 |\n").arg(boatTable.Value(), 0, 'f', 4));
  Print(QStringLiteral("| the pool (単勝) | %1 |\n").arg(poolWin.Value(), 0, 'f', 4));
  Print(QStringLiteral("| the model before the exhibition | %1 |\n").arg(beforeModel.Win.Value(), 0, 'f', 4));
  Print(QStringLiteral("| the model after the exhibition | %1 |\n").arg(afterModel.Win.Value(), 0, 'f', 4));
  Print(QStringLiteral("\ntop pick wins: before %1 %, after %2 %\n")
            .arg(100.0 * beforeModel.Top.Value(), 0, 'f', 1)
            .arg(100.0 * afterModel.Top.Value(), 0, 'f', 1));
  for (const auto& [name, tally] : {std::pair{"before", &beforeModel}, {"after", &afterModel}}) {
    Print(
        QStringLiteral("\n%1 the exhibition:\n\n| chance | boats | mean chance | share won |\n|---|---:|---:|---:|\n")
            .arg(QLatin1String(name) == QLatin1String("before") ? QStringLiteral("Before") : QStringLiteral("After")));
    for (std::size_t i = 0; i < tally->Bins.size(); ++i) {
      const Bin& b = tally->Bins[i];
      Print(QStringLiteral("| %1–%2 | %3 | %4 | %5 |\n")
                .arg(i / 10.0, 0, 'f', 1)
                .arg((i + 1) / 10.0, 0, 'f', 1)
                .arg(b.N)
                .arg(b.N ? b.Chance / b.N : 0.0, 0, 'f', 4)
                .arg(b.N ? b.Won / b.N : 0.0, 0, 'f', 4));
    }
    Print(QStringLiteral("\ncalibration error (weighted mean |chance - share won| over the bins): %1\n")
              .arg(tally->Ece(), 0, 'f', 4));
  }
  Print(QStringLiteral("\n| log-loss of the winning combination | 2連単 | 3連単 |\n|---|---:|---:|\n"));
  Print(QStringLiteral("| the model before the exhibition | %1 | %2 |\n")
            .arg(beforeModel.Exacta.Value(), 0, 'f', 4)
            .arg(beforeModel.Trifecta.Value(), 0, 'f', 4));
  Print(QStringLiteral("| the model after the exhibition | %1 | %2 |\n")
            .arg(afterModel.Exacta.Value(), 0, 'f', 4)
            .arg(afterModel.Trifecta.Value(), 0, 'f', 4));
  Print(QStringLiteral("| Harville from the win chances before | %1 | %2 |\n")
            .arg(harvExacta.Value(), 0, 'f', 4)
            .arg(harvTrifecta.Value(), 0, 'f', 4));
  Print(QStringLiteral("| the pool | %1 | %2 |\n")
            .arg(poolExacta.Value(), 0, 'f', 4)
            .arg(poolTrifecta.Value(), 0, 'f', 4));
  Print(QStringLiteral(
            "\nThe %1 races whose entry was not 枠なり:\n\n| model, given the courses of | win | 2連単 | 3連単 |\n"
            "|---|---:|---:|---:|\n")
            .arg(movedRaces));
  const char* movedNames[] = {"before, 枠なり", "before, the 履歴 prediction", "before, the race",
                              "after, 枠なり (with its times)", "after, the race (the exhibition's)"};
  for (int i = 0; i < 5; ++i) {
    Print(QStringLiteral("| %1 | %2 | %3 | %4 |\n")
              .arg(QString::fromUtf8(movedNames[i]))
              .arg(moved[i].Win.Value(), 0, 'f', 4)
              .arg(moved[i].Exacta.Value(), 0, 'f', 4)
              .arg(moved[i].Trifecta.Value(), 0, 'f', 4));
  }
  Print(
      QStringLiteral("\n| course entered | boats | mean chance before (given the race's courses) | mean chance after | "
                     "share won |\n|---:|---:|---:|---:|---:|\n"));
  for (std::size_t course = 1; course <= 6; ++course) {
    Print(QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n")
              .arg(course)
              .arg(byCourse[2][course].N)
              .arg(byCourse[0][course].Value(), 0, 'f', 4)
              .arg(byCourse[1][course].Value(), 0, 'f', 4)
              .arg(byCourse[2][course].Value(), 0, 'f', 4));
  }
  Print(QStringLiteral("\n| entry | races | boats right | whole entry right |\n|---|---:|---:|---:|\n"));
  Print(QStringLiteral("| 統計 | - | no fan handbook for these days | - |\n"));
  for (const auto& [name, t] :
       {std::pair{QStringLiteral("履歴"), entryHistory}, {QStringLiteral("枠なり"), entryWakunari}}) {
    Print(QStringLiteral("| %1 | %2 | %3 | %4 |\n")
              .arg(name)
              .arg(t.Races)
              .arg(t.BoatShare(), 0, 'f', 4)
              .arg(t.WholeShare(), 0, 'f', 4));
  }
  Print(QStringLiteral("\ntime: read %1 s, fit %2 s, evaluation %3 s\n")
            .arg(loadSeconds, 0, 'f', 1)
            .arg(fitSeconds, 0, 'f', 1)
            .arg(evalSeconds, 0, 'f', 1));
  Print(QStringLiteral("summary races=%1 win_ll=%2 pool_win_ll=%3 boat_table_ll=%4 top_pick=%5 ece=%6 exacta_ll=%7 "
                       "pool_exacta_ll=%8 trifecta_ll=%9 pool_trifecta_ll=%10 entry_boats_history=%11 "
                       "entry_whole_history=%12 entry_boats_wakunari=%13 entry_whole_wakunari=%14")
            .arg(beforeModel.Win.N)
            .arg(beforeModel.Win.Value(), 0, 'f', 4)
            .arg(poolWin.Value(), 0, 'f', 4)
            .arg(boatTable.Value(), 0, 'f', 4)
            .arg(beforeModel.Top.Value(), 0, 'f', 4)
            .arg(beforeModel.Ece(), 0, 'f', 4)
            .arg(beforeModel.Exacta.Value(), 0, 'f', 4)
            .arg(poolExacta.Value(), 0, 'f', 4)
            .arg(beforeModel.Trifecta.Value(), 0, 'f', 4)
            .arg(poolTrifecta.Value(), 0, 'f', 4)
            .arg(entryHistory.BoatShare(), 0, 'f', 4)
            .arg(entryHistory.WholeShare(), 0, 'f', 4)
            .arg(entryWakunari.BoatShare(), 0, 'f', 4)
            .arg(entryWakunari.WholeShare(), 0, 'f', 4) +
        QStringLiteral(" after_win_ll=%1 after_ece=%2 after_exacta_ll=%3 after_trifecta_ll=%4 after_top_pick=%5\n")
            .arg(afterModel.Win.Value(), 0, 'f', 4)
            .arg(afterModel.Ece(), 0, 'f', 4)
            .arg(afterModel.Exacta.Value(), 0, 'f', 4)
            .arg(afterModel.Trifecta.Value(), 0, 'f', 4)
            .arg(afterModel.Top.Value(), 0, 'f', 4));
  return 0;
}
