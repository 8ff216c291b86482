// The window's side of the win model: the card's 勝率 column, the coefficients in use, and
// fitting them again on the user's history.

#include "history/cRirekiDb.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"
#include "predict/mWinTrain.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

#include <cmath>
#include <stop_token>

namespace tidewake {

namespace {

const QString kWinTitle = QStringLiteral("勝率");
constexpr std::int16_t kColCourse = 14;

}  // namespace

QString frmMain::WinCoefficientsPath() { return mWinCoefficients::UserPath(); }

const mWinModel::Coefficients& frmMain::WinCoefficients() {
  if (!mWinCoefficients) {
    QString error;
    mWinCoefficients = mWinCoefficients::UserOrShipped(WinCoefficientsPath(), error);
    if (!error.isEmpty()) {
      MsgBox(error + QStringLiteral("\n同梱の係数を使います。"), MsgButtons::Ok, MsgIcon::Warning, kWinTitle);
    }
  }
  return mWinCoefficients->Before;
}

mWinCard::Records frmMain::HistoryRecords(std::int16_t intRaceNo) {
  const cBangumiFile::Card& card = mclsBangumi->card();
  const QString key = card.KyoteijyoCode + card.RaceDate + QString::number(intRaceNo);
  if (key == mstrRecordsKey) return mRecords;
  mstrRecordsKey = key;
  mRecords = {};
  // Like the tooltip, the card never shows a box for the history: a history that cannot be opened
  // is said when it is used for what the user asked.
  if (!mHistory && !mblnHistoryFailed) {
    try {
      mHistory = std::make_unique<cRirekiDb>(cRirekiDb::DefaultPath());
    } catch (const RuntimeError&) {
      mblnHistoryFailed = true;
    }
  }
  if (!mHistory) return mRecords;
  try {
    cRirekiDb* db = mHistory.get();
    mRecords = mWinCard::RaceRecords(card, intRaceNo, [db](const QString& no, QDate before) {
      return db->RecentRaces(no, before, mWinCard::kRecentRaces);
    });
  } catch (const RuntimeError&) {
    mRecords = {};
  }
  return mRecords;
}

mWinModel::RaceChances frmMain::WinChances(std::int16_t intRaceNo, const std::array<std::int16_t, 7>& courses) {
  return mWinCard::Chances(mclsBangumi->card(), intRaceNo, courses, HistoryRecords(intRaceNo), WinCoefficients());
}

std::optional<mWinModel::RaceChances> frmMain::WinChancesShown() {
  if (mblnNoBangumi || !mblnBangumiLoaded || SelectedRaceNo() < 1) return std::nullopt;
  std::array<std::int16_t, 7> courses{};
  for (std::int16_t b = 1; b <= 6; ++b) {
    courses[static_cast<std::size_t>(b)] = static_cast<std::int16_t>(mclsGrid->CellValue(b, kColCourse).toInt());
  }
  return WinChances(SelectedRaceNo(), courses);
}

void frmMain::ShowWinChances() {
  const std::optional<mWinModel::RaceChances> chances = WinChancesShown();
  for (std::int16_t b = 1; b <= 6; ++b) {
    mclsGrid->SetCellValue(b, kColWin,
                           chances ? mWinCard::PercentText(chances->Win[static_cast<std::size_t>(b - 1)]) : QString());
  }
}

void frmMain::mnuRaceWinFit_Click() {
  if (!History()) return;
  QProgressDialog progress(QStringLiteral("履歴を読んでいます..."), QStringLiteral("キャンセル"), 0, 0, this);
  progress.setWindowTitle(QStringLiteral("勝率を学習し直す"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setAutoReset(false);
  progress.setAutoClose(false);
  // Cancel asks the fit to stop at its next step; nothing is written and the coefficients in use stay.
  std::stop_source stop;
  connect(&progress, &QProgressDialog::canceled, &progress, [&stop, &progress] {
    stop.request_stop();
    progress.setLabelText(QStringLiteral("取り消しています..."));
  });
  progress.show();

  QPointer<QProgressDialog> shown(&progress);
  const auto say = [shown](const QString& text) {
    QMetaObject::invokeMethod(
        shown.data(),
        [shown, text] {
          if (shown) shown->setLabelText(text);
        },
        Qt::QueuedConnection);
  };
  // Read and fitted on a thread of its own, with its own connection (SQLite's connections are not
  // shared between threads); the rules and the words are the console's.
  mWinTrain::cTraining training;
  const QString path = cRirekiDb::DefaultPath();
  QString failure;
  RunOffThread([&] {
    try {
      cRirekiDb db(path);
      training.Gather(
          db, [&](QDate day) { say(QStringLiteral("履歴を読んでいます... (%1)").arg(day.toString(Qt::ISODate))); },
          stop.get_token());
    } catch (const RuntimeError& e) {
      failure = e.reportText() + QStringLiteral("\n係数は変えていません。");
    }
  });
  if (failure.isEmpty() && !stop.stop_requested()) {
    switch (training.status()) {
      case mWinTrain::Status::Nothing:
      case mWinTrain::Status::Failed:
        failure = training.Message();
        break;
      case mWinTrain::Status::Few:
        progress.hide();
        if (MsgBox(training.Message(), MsgButtons::YesNo, MsgIcon::Question, kWinTitle) != MsgResult::Yes) {
          progress.close();
          return;
        }
        progress.show();
        break;
      default:
        break;
    }
  }
  const auto races = training.Gathered().Races;
  if (failure.isEmpty() && !stop.stop_requested()) {
    say(QStringLiteral("%1 レースで学習しています...").arg(races));
    RunOffThread([&] {
      training.Fit([&](int step) { say(QStringLiteral("%1 レースで学習しています... (%2)").arg(races).arg(step)); },
                   stop.get_token());
    });
    if (training.status() == mWinTrain::Status::Failed) failure = training.Message();
  }
  // Read before closing: closing the dialog says canceled too.
  const bool cancelled = stop.stop_requested();
  progress.close();
  if (cancelled && failure.isEmpty()) return;

  QString error;
  if (failure.isEmpty() && !mWinCoefficients::Save(WinCoefficientsPath(), training.Result(), error)) failure = error;
  if (!failure.isEmpty()) {
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning, kWinTitle);
    return;
  }
  mWinCoefficients = training.Result();
  WinCoefficientsChanged();
  MsgBox(training.Message(), MsgButtons::Ok, MsgIcon::Information, kWinTitle);
}

void frmMain::mnuRaceWinShipped_Click() {
  const QString path = WinCoefficientsPath();
  const mWinCoefficients::Period& shipped = mWinCoefficients::Shipped().Fitted;
  if (!QFileInfo::exists(path)) {
    MsgBox(QStringLiteral("出荷時の係数を使っています。"), MsgButtons::Ok, MsgIcon::Information, kWinTitle);
    return;
  }
  if (MsgBox(QStringLiteral("学習した係数（%1）を削除して、出荷時の係数（%2 ～ %3 の %4 レースで学習）に戻しますか。")
                 .arg(QDir::toNativeSeparators(path), shipped.First.toString(Qt::ISODate),
                      shipped.Last.toString(Qt::ISODate))
                 .arg(shipped.Races),
             MsgButtons::YesNo, MsgIcon::Question, kWinTitle) != MsgResult::Yes) {
    return;
  }
  QFile file(path);
  if (!file.remove()) {
    MsgBox(QStringLiteral("%1 を削除できません（%2）。").arg(QDir::toNativeSeparators(path), file.errorString()),
           MsgButtons::Ok, MsgIcon::Warning, kWinTitle);
    return;
  }
  mWinCoefficients = mWinCoefficients::Shipped();
  WinCoefficientsChanged();
}

void frmMain::WinCoefficientsChanged() {
  // The venue's log-loss line was computed with the coefficients before.
  mstrWinVenueKey.clear();
  ShowWinChances();
  mclsGrid->Refresh(false);
  RefreshKekka();
}

}  // namespace tidewake

namespace tidewake {

namespace {

QString ChanceText(double p) { return mWinCard::PercentText(p) + QStringLiteral("%"); }

QString TopLine(const QString& name, const mWinModel::RaceChances& c, int places) {
  QStringList parts;
  for (const mWinModel::Combination& k : mWinModel::Likeliest(c, places, 5)) {
    parts << mWinModel::CombinationText(k.Boats, places) + u' ' + ChanceText(k.Chance);
  }
  return name + QStringLiteral(": ") + parts.join(QStringLiteral("　"));
}

}  // namespace

QString frmMain::WinVenueText() {
  const cBangumiFile::Card& card = mclsBangumi->card();
  const cKekkaFile::Venue& venue = mclsKekka->venue();
  const QString key = card.KyoteijyoCode + card.RaceDate + venue.KyoteijyoCode + venue.RaceDate +
                      QString::number(static_cast<int>(mPredictor)) + QString::number(mWinCoefficients.has_value());
  if (key == mstrWinVenueKey) return mstrWinVenueText;
  mstrWinVenueKey = key;
  double model = 0.0, pool = 0.0;
  int races = 0;
  for (std::int16_t r = 1; r <= card.RaceNumbers && r <= cBangumiFile::kMaxRace; ++r) {
    const mWinEval::Outcome o = mWinEval::ReadOutcome(card.races[static_cast<std::size_t>(r - 1)],
                                                      venue.races[static_cast<std::size_t>(r - 1)]);
    if (!o.Placed || o.Refund || o.Tansyo <= 0) continue;
    // Each race with the courses the predictor in use gives it (枠なり when it gives none).
    const mWinCard::Records records = HistoryRecords(r);
    const EntryPrediction p = PredictEntry(mPredictor, *mclsBangumi, r, *mclsSensyu, &records);
    std::array<std::int16_t, 7> courses{0, 1, 2, 3, 4, 5, 6};
    if (p.predicted && (mblnSensyuLoaded || mPredictor == EntryPredictor::History)) {
      for (int b = 1; b <= 6; ++b) courses[static_cast<std::size_t>(b)] = p.Course(b);
    }
    const mWinModel::RaceChances c = WinChances(r, courses);
    model -= std::log(c.Win[static_cast<std::size_t>(o.FirstThree[0] - 1)]);
    pool -= std::log(mWinEval::PoolChance(o.Tansyo));
    ++races;
  }
  // The rule set keeps the race it predicted last in its shared tables: the race shown again.
  if (mPredictor == EntryPredictor::Rules && SelectedRaceNo() >= 1) {
    PredictEntry(mPredictor, *mclsBangumi, SelectedRaceNo(), *mclsSensyu);
  }
  // A model scored on a day it learnt from looks better than it is: the line says so.
  mstrWinVenueText = races == 0 ? QString()
                                : QStringLiteral("勝率予想の対数損失（この場 %1 R）: %2　オッズ %3")
                                          .arg(races)
                                          .arg(model / races, 0, 'f', 2)
                                          .arg(pool / races, 0, 'f', 2) +
                                      mWinCoefficients::FittedDayNote(WinModelInUse().Fitted, mWinCard::CardDate(card));
  return mstrWinVenueText;
}

QString frmMain::WinText(bool withResults) {
  const std::optional<mWinModel::RaceChances> chances = WinChancesShown();
  if (!chances) return QString();
  QStringList lines{QStringLiteral("勝率予想（進入は出走表のコース）"), TopLine(QStringLiteral("2連単"), *chances, 2),
                    TopLine(QStringLiteral("3連単"), *chances, 3)};
  const std::int16_t r = SelectedRaceNo();
  if (withResults && mclsKekka->KyoteijyoCode().toInt() == SelectedJyoCode()) {
    const mWinEval::Outcome o = mWinEval::ReadOutcome(mclsBangumi->card().races[static_cast<std::size_t>(r - 1)],
                                                      mclsKekka->venue().races[static_cast<std::size_t>(r - 1)]);
    if (o.Placed) {
      const auto& f = o.FirstThree;
      const auto a = static_cast<std::size_t>(f[0] - 1), b = static_cast<std::size_t>(f[1] - 1),
                 t = static_cast<std::size_t>(f[2] - 1);
      lines << QStringLiteral("結果の予想: 2連単 %1 %2（%3 位）　3連単 %4 %5（%6 位）")
                   .arg(mWinModel::CombinationText(f, 2), ChanceText(chances->Exacta[a * 6 + b]))
                   .arg(mWinModel::RankOf(*chances, f, 2))
                   .arg(mWinModel::CombinationText(f, 3), ChanceText(chances->Trifecta[a * 36 + b * 6 + t]))
                   .arg(mWinModel::RankOf(*chances, f, 3));
    }
    const QString venue = WinVenueText();
    if (!venue.isEmpty()) lines << venue;
  }
  return lines.join(u'\n');
}

}  // namespace tidewake
