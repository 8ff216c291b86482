// The window's side of the win model: the card's 勝率 column, the coefficients in use, and
// fitting them again on the user's history.

#include "history/cRirekiDb.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"
#include "ui/frmMain.h"

#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

namespace tidewake {

namespace {

const QString kWinTitle = QStringLiteral("勝率");
constexpr std::int16_t kColCourse = 14;

}  // namespace

QString frmMain::WinCoefficientsPath() { return AppFilePath(QStringLiteral("WIN.TXT")); }

const mWinModel::Coefficients& frmMain::WinCoefficients() {
  if (!mWinCoefficients) {
    QString error;
    mWinCoefficients = mWinCoefficients::UserOrShipped(WinCoefficientsPath(), error);
    if (!error.isEmpty()) {
      MsgBox(error + QStringLiteral("\n同梱の係数を使います。"), MsgButtons::Ok, MsgIcon::Warning, kWinTitle);
    }
  }
  return *mWinCoefficients;
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
  QProgressDialog progress(QStringLiteral("履歴を読んでいます..."), QString(), 0, 0, this);
  progress.setWindowTitle(QStringLiteral("勝率を学習し直す"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setAutoReset(false);
  progress.setAutoClose(false);
  progress.show();

  mWinModel::Coefficients fitted;
  std::size_t days = 0;
  QString failure;
  const QString path = cRirekiDb::DefaultPath();
  QPointer<QProgressDialog> shown(&progress);
  const auto say = [shown](const QString& text) {
    QMetaObject::invokeMethod(
        shown.data(),
        [shown, text] {
          if (shown) shown->setLabelText(text);
        },
        Qt::QueuedConnection);
  };
  // Its own connection on its own thread: SQLite's connections are not shared between threads.
  QThread* worker = QThread::create([&] {
    try {
      cRirekiDb db(path);
      const std::vector<DayRecord> all = db.Days(QDate(1900, 1, 1), QDate(9999, 12, 31));
      days = all.size();
      say(QStringLiteral("%1 日分の履歴で学習しています...").arg(days));
      fitted = mWinEval::FitDays(all, QDate(), QDate(), {}, mWinEval::kRidge, [&](int step) {
        say(QStringLiteral("%1 日分の履歴で学習しています... (%2)").arg(days).arg(step));
      });
    } catch (const RuntimeError& e) {
      failure = e.reportText();
    }
  });
  QEventLoop loop;
  connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  delete worker;
  progress.close();

  if (failure.isEmpty() && days == 0)
    failure = QStringLiteral("履歴に日がありません。先に「履歴に取り込む」で取り込んでください。");
  QString error;
  if (failure.isEmpty() && !mWinCoefficients::Save(WinCoefficientsPath(), fitted, error)) failure = error;
  if (!failure.isEmpty()) {
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning, kWinTitle);
    return;
  }
  mWinCoefficients = fitted;
  ShowWinChances();
  mclsGrid->Refresh(false);
  RefreshKekka();
  MsgBox(QStringLiteral("%1 日分の履歴で勝率を学習しました。").arg(days), MsgButtons::Ok, MsgIcon::Information,
         kWinTitle);
}

}  // namespace tidewake
