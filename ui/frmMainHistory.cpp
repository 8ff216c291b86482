// The window's side of the history: importing a folder of official downloads, opening a day the
// history holds, and fitting the win model again, the long ones off the window's thread behind a
// progress dialog.

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinTrain.h"
#include "ui/frmMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

#include <atomic>
#include <optional>
#include <stop_token>

namespace tidewake {

namespace {

const QString kHistoryTitle = QStringLiteral("履歴");
const QString kWinTitle = QStringLiteral("勝率");

}  // namespace

std::unique_ptr<cRirekiDb> frmMain::OpenHistory(const QString& path) {
  // A file of an older program is brought up to date once, on a thread of its own behind a
  // progress dialog (years of days take a while); it cannot be stopped halfway.
  if (cRirekiDb::NeedsUpgrade(path)) {
    QProgressDialog progress(QStringLiteral("履歴データベースを新しい形に変えています..."), QString(), 0, 0, this);
    progress.setObjectName(QStringLiteral("dlgUpgrade"));
    progress.setWindowTitle(kHistoryTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setMinimumWidth(420);
    progress.setCancelButton(nullptr);
    progress.show();
    QCoreApplication::processEvents();
    std::optional<RuntimeError> failure;
    RunOffThread([&] {
      try {
        const cRirekiDb upgraded(path, RirekiAccess::ReadWrite, [&progress](int done, int total) {
          Say(&progress,
              QStringLiteral("履歴データベースを新しい形に変えています... (%1 / %2 日)").arg(done).arg(total), done,
              total);
        });
      } catch (const RuntimeError& e) {
        failure = e;
      }
    });
    progress.close();
    if (failure) throw *failure;
  }
  return std::make_unique<cRirekiDb>(path);
}

void frmMain::RunWithProgress(const QString& strTitle, const QString& strLabel,
                              const std::function<void(QProgressDialog*, std::stop_token)>& work) {
  QProgressDialog progress(strLabel, QStringLiteral("キャンセル"), 0, 0, this);
  progress.setObjectName(QStringLiteral("dlgProgress"));
  progress.setWindowTitle(strTitle);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  // Its title and the longest line it says stay whole.
  progress.setMinimumWidth(420);
  progress.setAutoReset(false);
  progress.setAutoClose(false);
  std::stop_source stop;
  connect(&progress, &QProgressDialog::canceled, &progress, [&stop, &progress] {
    stop.request_stop();
    progress.setLabelText(QStringLiteral("取り消しています..."));
  });
  // On screen at once, before anything is read.
  progress.show();
  QCoreApplication::processEvents();
  RunOffThread([&] { work(&progress, stop.get_token()); });
  // Read before closing: closing the dialog says canceled too.
  stop = std::stop_source(std::nostopstate);
  progress.close();
}

void frmMain::mnuFileHistoryImport_Click() {
  const QString folder = AskFolder(QStringLiteral("履歴に取り込むフォルダ"));
  if (folder.isEmpty()) return;
  // The window's own connection is checked first, so a database that is not ours is reported
  // and no import starts.
  if (!mSession->HistoryForCommand()) return;
  ImportSummary summary;
  QString failure;
  RunWithProgress(QStringLiteral("履歴に取り込む"), QStringLiteral("ファイルを探しています..."),
                  [&](QProgressDialog* dialog, std::stop_token stop) {
                    std::atomic<bool> cancel{false};
                    const std::stop_callback cancelled(stop, [&cancel] { cancel = true; });
                    // Its own connection on its own thread: SQLite's connections are not shared
                    // between threads.
                    try {
                      cRirekiDb db(cRirekiDb::DefaultPath());
                      summary = ImportPaths(
                          db, {folder},
                          [&](int done, int total, const QString& day) {
                            Say(dialog, QStringLiteral("%1 / %2 ファイル  %3").arg(done + 1).arg(total).arg(day), done,
                                total);
                          },
                          &cancel);
                    } catch (const RuntimeError& e) {
                      failure = e.description();
                    }
                  });
  // Whatever came in changes what the card read from the history.
  mSession->HistoryChanged();
  if (!failure.isEmpty()) {
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning, kHistoryTitle);
  } else {
    // The refused files, however many, in the box's details area: the box stays on the screen.
    const bool fine = summary.refused.empty() && summary.stopped.isEmpty();
    MsgBoxDetails(ImportSummaryText(summary, false), ImportRefusalsText(summary), MsgButtons::Ok,
                  fine ? MsgIcon::Information : MsgIcon::Warning, kHistoryTitle);
  }
}

void frmMain::mnuFileHistoryCheck_Click() {
  const QString path = cRirekiDb::DefaultPath();
  QString text, failure;
  bool sound = false;
  // SQLite's full check reads every page: off the window's thread, through a connection of its own.
  // キャンセル stops it halfway; a check cut short has nothing to say.
  RunWithProgress(QStringLiteral("履歴を検査する"), QStringLiteral("履歴データベースを検査しています..."),
                  [&](QProgressDialog*, std::stop_token stop) {
                    try {
                      const cRirekiDb db(path, RirekiAccess::ReadOnly);
                      const std::optional<QStringList> problems = db.Check(stop);
                      if (!problems) return;
                      sound = problems->isEmpty();
                      text = cRirekiDb::CheckText(path, *problems);
                    } catch (const RuntimeError& e) {
                      failure = e.description();
                    }
                  });
  if (text.isEmpty() && failure.isEmpty()) return;
  if (!failure.isEmpty()) {
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning, kHistoryTitle);
  } else {
    MsgBox(text, MsgButtons::Ok, sound ? MsgIcon::Information : MsgIcon::Warning, kHistoryTitle);
  }
}

void frmMain::mnuFileHistoryDay_Click() {
  if (!mSession->HistoryForCommand()) return;
  const std::vector<HeldDay> days = mSession->HeldDays();
  if (days.empty()) {
    MsgBox(QStringLiteral("履歴に日がありません。先に「履歴に取り込む」で取り込むか、番組ファイルを開いてください。"),
           MsgButtons::Ok, MsgIcon::Information, kHistoryTitle);
    return;
  }
  const std::optional<QDate> day = AskHeldDay ? AskHeldDay(days) : AskDay(this, days);
  if (day) mSession->OpenHistoryDay(*day);
}

void frmMain::mnuRaceWinFit_Click() {
  if (!mSession->HistoryForCommand()) return;
  // Read and fitted off the window's thread with a connection of its own (SQLite's connections
  // are not shared between threads); the rules and the words are the console's.
  mWinTrain::cTraining training;
  QString failure;
  bool stopped = false;
  const QString title = kWinTitle + QStringLiteral("を学習し直す");
  RunWithProgress(title, QStringLiteral("履歴を読んでいます..."), [&](QProgressDialog* dialog, std::stop_token stop) {
    try {
      cRirekiDb db(cRirekiDb::DefaultPath());
      training.Gather(
          db,
          [&](QDate day) { Say(dialog, QStringLiteral("履歴を読んでいます... (%1)").arg(day.toString(Qt::ISODate))); },
          stop);
    } catch (const RuntimeError& e) {
      failure = e.reportText() + QStringLiteral("\n係数は変えていません。");
    }
    stopped = stop.stop_requested();
  });
  if (stopped && failure.isEmpty()) return;
  if (failure.isEmpty()) {
    switch (training.status()) {
      case mWinTrain::Status::Nothing:
      case mWinTrain::Status::Failed:
        failure = training.Message();
        break;
      case mWinTrain::Status::Few:
        if (MsgBox(training.Message(), MsgButtons::YesNo, MsgIcon::Question, kWinTitle) != MsgResult::Yes) return;
        break;
      default:
        break;
    }
  }
  if (failure.isEmpty()) {
    const QString fitting = QStringLiteral("%1 レースで学習しています...").arg(training.Gathered().Races);
    RunWithProgress(title, fitting, [&](QProgressDialog* dialog, std::stop_token stop) {
      // Cancel asks the fit to stop at its next step; nothing is written then.
      training.Fit(
          [&](int step) { Say(dialog, fitting + QStringLiteral("\n計算を繰り返しています（%1 回目）").arg(step)); },
          stop);
      stopped = stop.stop_requested();
    });
    if (training.status() == mWinTrain::Status::Failed) {
      failure = training.Message();
    } else if (stopped || training.status() != mWinTrain::Status::Fitted) {
      return;
    }
  }
  QString error;
  if (failure.isEmpty() && !mWinCoefficients::Save(DaySession::CoefficientsPath(), training.Result(), error)) {
    failure = error;
  }
  if (!failure.isEmpty()) {
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning, kWinTitle);
    return;
  }
  mSession->SetCoefficients(training.Result());
  MsgBox(training.Message(), MsgButtons::Ok, MsgIcon::Information, kWinTitle);
}

void frmMain::mnuRaceWinShipped_Click() {
  const QString path = DaySession::CoefficientsPath();
  if (!QFileInfo::exists(path)) {
    MsgBox(QStringLiteral("出荷時の係数を使っています。"), MsgButtons::Ok, MsgIcon::Information, kWinTitle);
    return;
  }
  const mWinCoefficients::Period& shipped = mWinCoefficients::Shipped().Fitted;
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
  mSession->SetCoefficients(mWinCoefficients::Shipped());
}

}  // namespace tidewake
