// The window's side of the history: importing a folder of official downloads, opening a day the
// history holds, and fitting the win model again, the long ones off the window's thread behind a
// progress dialog.

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"
#include "ui/frmMain.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QVBoxLayout>

#include <atomic>
#include <stop_token>

namespace tidewake {

namespace {

const QString kHistoryTitle = QStringLiteral("履歴");
const QString kWinTitle = QStringLiteral("勝率");

// Runs `work` on a thread of its own while the window's events go on (the progress dialog, its
// cancel), and returns when it has ended.
void RunOffThread(const std::function<void()>& work) {
  QThread* worker = QThread::create(work);
  QEventLoop loop;
  QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  delete worker;
}

// Says `text` on the dialog from any thread, once the window's thread gets to it.
void Say(QProgressDialog* dialog, const QString& text, int value = -1, int maximum = -1) {
  QPointer<QProgressDialog> shown(dialog);
  QMetaObject::invokeMethod(
      dialog,
      [shown, text, value, maximum] {
        if (!shown) return;
        if (maximum >= 0) shown->setMaximum(maximum);
        if (value >= 0) shown->setValue(value);
        shown->setLabelText(text);
      },
      Qt::QueuedConnection);
}

// The list of the days the history holds, newest first; the day chosen, or nothing.
std::optional<QDate> AskDay(QWidget* parent, const std::vector<HeldDay>& days) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("履歴の日を開く"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("開く日を選んでください（%1 日分）").arg(days.size()), &dialog));
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("lstHeldDays"));
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  for (const HeldDay& d : days) {
    const QString held = d.programme && d.results ? QStringLiteral("番組・成績")
                         : d.programme            ? QStringLiteral("番組のみ")
                                                  : QStringLiteral("成績のみ");
    auto* item =
        new QListWidgetItem(japanese.toString(d.date, QStringLiteral("yyyy/MM/dd（ddd）")) + u' ' + held, list);
    item->setData(Qt::UserRole, d.date);
    // A day without its programme has no card to show.
    if (!d.programme) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
  }
  for (int i = 0; i < list->count(); ++i) {
    if (list->item(i)->flags() & Qt::ItemIsEnabled) {
      list->setCurrentRow(i);
      break;
    }
  }
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  dialog.resize(320, 420);
  if (dialog.exec() != QDialog::Accepted || !list->currentItem()) return std::nullopt;
  return list->currentItem()->data(Qt::UserRole).toDate();
}

}  // namespace

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
                      failure = e.reportText();
                    }
                  });
  // Whatever came in changes what the card read from the history.
  mSession->HistoryChanged();
  if (!failure.isEmpty()) {
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning, kHistoryTitle);
  } else {
    MsgBox(ImportSummaryText(summary), MsgButtons::Ok,
           summary.refused.empty() ? MsgIcon::Information : MsgIcon::Warning, kHistoryTitle);
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
  mWinModel::Coefficients fitted;
  std::size_t days = 0;
  QString failure;
  bool stopped = false;
  RunWithProgress(
      kWinTitle + QStringLiteral("を学習し直す"), QStringLiteral("履歴を読んでいます..."),
      [&](QProgressDialog* dialog, std::stop_token stop) {
        // Cancel asks the fit to stop at its next step; nothing is written then.
        try {
          cRirekiDb db(cRirekiDb::DefaultPath());
          const std::vector<DayRecord> all = db.Days(QDate(1900, 1, 1), QDate(9999, 12, 31));
          days = all.size();
          const QString fitting = QStringLiteral("%1 日分の履歴で学習しています...").arg(days);
          Say(dialog, fitting);
          fitted = mWinEval::FitDays(
              all, QDate(), QDate(), {}, mWinEval::kRidge,
              [&](int step) { Say(dialog, fitting + QStringLiteral("\n計算を繰り返しています（%1 回目）").arg(step)); },
              stop);
        } catch (const RuntimeError& e) {
          failure = e.reportText();
        }
        stopped = stop.stop_requested();
      });
  if (stopped) return;
  if (failure.isEmpty() && days == 0) {
    failure = QStringLiteral("履歴に日がありません。先に「履歴に取り込む」で取り込んでください。");
  }
  QString error;
  if (failure.isEmpty() && !mWinCoefficients::Save(DaySession::CoefficientsPath(), fitted, error)) failure = error;
  if (!failure.isEmpty()) {
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning, kWinTitle);
    return;
  }
  mSession->SetCoefficients(fitted);
  MsgBox(QStringLiteral("%1 日分の履歴で勝率を学習しました。").arg(days), MsgButtons::Ok, MsgIcon::Information,
         kWinTitle);
}

}  // namespace tidewake
