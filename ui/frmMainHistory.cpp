// The window's side of the history: recording every programme and results file opened, importing a
// folder of official downloads off the window's thread, and a racer's recent races on the card.

#include "data/ArchiveMember.h"
#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "ui/frmMain.h"

#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

#include <atomic>
#include <optional>

namespace tidewake {

namespace {

const QString kHistoryTitle = QStringLiteral("履歴");

void HistoryWarn(const QString& text) { MsgBox(text, MsgButtons::Ok, MsgIcon::Warning, kHistoryTitle); }

}  // namespace

cRirekiDb* frmMain::History() {
  // Opened once: a database that is not ours or is damaged is reported when first needed, and then
  // left alone for the rest of the run; the card never waits on it.
  if (!mHistory && !mblnHistoryFailed) {
    try {
      mHistory = OpenHistory();
    } catch (const RuntimeError& e) {
      mblnHistoryFailed = true;
      HistoryWarn(e.description());
    }
  }
  return mHistory.get();
}

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

std::unique_ptr<cRirekiDb> frmMain::OpenHistory() {
  const QString path = cRirekiDb::DefaultPath();
  // A file of an older program is brought up to date once, on a thread of its own behind a
  // progress dialog (years of days take a while); it cannot be stopped halfway.
  if (cRirekiDb::NeedsUpgrade(path)) {
    QProgressDialog progress(QStringLiteral("履歴データベースを新しい形に変えています..."), QString(), 0, 0, this);
    progress.setWindowTitle(kHistoryTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setMinimumWidth(360);
    progress.setCancelButton(nullptr);
    progress.show();
    std::optional<RuntimeError> failure;
    QPointer<QProgressDialog> shown(&progress);
    RunOffThread([&, shown] {
      try {
        cRirekiDb upgraded(path, RirekiAccess::ReadWrite, [shown](int done, int total) {
          QMetaObject::invokeMethod(
              shown.data(),
              [shown, done, total] {
                if (!shown) return;
                shown->setMaximum(total);
                shown->setValue(done);
                shown->setLabelText(
                    QStringLiteral("履歴データベースを新しい形に変えています... (%1 / %2 日)").arg(done).arg(total));
              },
              Qt::QueuedConnection);
        });
      } catch (const RuntimeError& e) {
        failure = e;
      }
    });
    progress.close();
    if (failure) throw *failure;
  }
  auto db = std::make_unique<cRirekiDb>(path);
  // On the window's thread: no query of the card waits long on another program or a large file.
  db->SetInteractive();
  return db;
}

void frmMain::HistoryRecordMember(const ArchiveMember& member, ArchiveKind kind) {
  cRirekiDb* db = History();
  if (!db) return;
  try {
    RecordDayMember(*db, member, kind);
  } catch (const RuntimeError& e) {
    HistoryWarn(QStringLiteral("履歴に記録できませんでした。\n") + e.description());
  }
}

void frmMain::mnuFileHistoryImport_Click() {
  const QString folder = AskFolder(QStringLiteral("履歴に取り込むフォルダ"));
  if (folder.isEmpty()) return;
  // The window's own connection is checked first, so a database that is not ours is reported once
  // and no import starts.
  if (!History()) return;

  QProgressDialog progress(QStringLiteral("ファイルを探しています..."), QStringLiteral("中止"), 0, 0, this);
  progress.setWindowTitle(QStringLiteral("履歴に取り込む"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setMinimumWidth(360);  // its title and the day read stay whole
  progress.setAutoReset(false);
  progress.setAutoClose(false);
  mImportProgress = &progress;

  std::atomic<bool> cancel{false};
  connect(&progress, &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
  ImportSummary summary;
  QString failure;
  const QString path = cRirekiDb::DefaultPath();
  QPointer<QProgressDialog> shown(&progress);
  // Its own connection on its own thread: SQLite's connections are not shared between threads.
  RunOffThread([&, shown] {
    try {
      cRirekiDb db(path);
      summary = ImportPaths(
          db, {folder},
          [&, shown](int done, int total, const QString& day) {
            QMetaObject::invokeMethod(
                shown.data(),
                [shown, done, total, day] {
                  if (!shown) return;
                  shown->setMaximum(total);
                  shown->setValue(done);
                  shown->setLabelText(QStringLiteral("%1 / %2  %3").arg(done + 1).arg(total).arg(day));
                },
                Qt::QueuedConnection);
          },
          &cancel);
    } catch (const RuntimeError& e) {
      failure = e.description();
    }
  });
  mImportProgress = nullptr;
  progress.close();

  if (!failure.isEmpty()) {
    HistoryWarn(failure);
  } else {
    // The refused files, however many, in the box's details area: the box stays on the screen.
    const bool fine = summary.refused.empty() && summary.stopped.isEmpty();
    MsgBoxDetails(ImportSummaryText(summary, false), ImportRefusalsText(summary), MsgButtons::Ok,
                  fine ? MsgIcon::Information : MsgIcon::Warning, kHistoryTitle);
  }
}

void frmMain::mnuFileHistoryCheck_Click() {
  const QString path = cRirekiDb::DefaultPath();
  QProgressDialog progress(QStringLiteral("履歴データベースを検査しています..."), QString(), 0, 0, this);
  progress.setWindowTitle(QStringLiteral("履歴を検査する"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setMinimumWidth(360);
  progress.setCancelButton(nullptr);
  progress.show();
  QString text, failure;
  bool sound = false;
  // SQLite's full check reads every page: off the window's thread, through a connection of its own.
  RunOffThread([&] {
    try {
      const cRirekiDb db(path, RirekiAccess::ReadOnly);
      const QStringList problems = db.Check();
      sound = problems.isEmpty();
      text = cRirekiDb::CheckText(path, problems);
    } catch (const RuntimeError& e) {
      failure = e.description();
    }
  });
  progress.close();
  if (!failure.isEmpty()) {
    HistoryWarn(failure);
  } else {
    MsgBox(text, MsgButtons::Ok, sound ? MsgIcon::Information : MsgIcon::Warning, kHistoryTitle);
  }
}

QString frmMain::HistoryLines(std::int16_t row) {
  if (mblnNoBangumi || !mblnBangumiLoaded || row < 1 || row > 6 || SelectedRaceNo() < 1) return QString();
  // The tooltip never shows a box, and tries the database once: a history that cannot be opened
  // is reported when a file is recorded or a folder imported.
  if (!mHistory && (mblnHistoryFailed || mblnHistoryTipFailed)) return QString();
  if (!mHistory) {
    try {
      mHistory = OpenHistory();
    } catch (const RuntimeError&) {
      mblnHistoryTipFailed = true;
      return QString();
    }
  }
  const QString sensyuNo = mclsBangumi->SensyuNo(SelectedRaceNo(), row).trimmed();
  const QDate day = QDate::fromString(mclsBangumi->RaceDate(), QStringLiteral("yyyy/MM/dd"));
  std::vector<RecentRace> races;
  try {
    if (!sensyuNo.isEmpty() && day.isValid()) races = mHistory->RecentRaces(sensyuNo, day, 6);
  } catch (const RuntimeError&) {
    return QString();
  }
  if (races.empty()) return QStringLiteral("\n（履歴なし）");
  QString text = QStringLiteral("\n最近の%1走:").arg(races.size());
  for (const RecentRace& r : races) {
    QString start = QStringLiteral("ST －");
    if (r.StartTimingExists) {
      const QString figure = QString::number(static_cast<double>(r.StartTiming), 'f', 2).mid(1);
      start = QStringLiteral("ST ") +
              (r.StartFlying ? QStringLiteral("F")
               : r.StartLate ? QStringLiteral("L")
                             : QString()) +
              figure;
    } else if (r.StartLate) {
      start = QStringLiteral("ST L");
    }
    const QString place = r.TyakujyunNo > 0 ? QStringLiteral("%1着").arg(r.TyakujyunNo) : r.Tyakujyun;
    const QString course = r.Course > 0 ? QStringLiteral("%1コース").arg(r.Course) : QStringLiteral("－コース");
    text += QStringLiteral("\n%1 %2 %3R %4 %5 %6")
                .arg(r.date.toString(QStringLiteral("yyyy/MM/dd")),
                     r.KyoteijyoName.isEmpty() ? r.KyoteijyoCode : r.KyoteijyoName)
                .arg(r.RaceNo)
                .arg(course, start, place);
  }
  return text;
}

}  // namespace tidewake
