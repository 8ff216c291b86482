// The history seen from the day: one door to the database with one failure policy, the racers'
// records of the race shown, the days held, and the win model's coefficients.

#include "session/DaySession.h"

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"
#include "predict/mWinCoefficients.h"

namespace tidewake {

namespace {

const QString kHistoryTitle = QStringLiteral("履歴");

}  // namespace

cRirekiDb* DaySession::History(HistoryUse use) {
  // Opened once. A database that cannot be opened (not ours, damaged, newer) is never written.
  // The card and its tooltip never show a box for it and do not try again; recording a file
  // opened says it once in the run; a command the user gave says it every time, and tries again.
  if (!mHistory && (mHistoryError.isEmpty() || use == HistoryUse::Command)) {
    try {
      const QString path = cRirekiDb::DefaultPath();
      mHistory = mHistoryOpener ? mHistoryOpener(path) : std::make_unique<cRirekiDb>(path);
      // The window waits on this connection: no query of it holds the card up for long.
      mHistory->SetInteractive(std::chrono::seconds(2));
      mHistoryError.clear();
    } catch (const RuntimeError& e) {
      mHistoryError = e.description();
    }
  }
  if (!mHistory && use != HistoryUse::Quiet && (use == HistoryUse::Command || !mHistoryReported)) {
    mHistoryReported = true;
    MsgBox(mHistoryError, MsgButtons::Ok, MsgIcon::Warning, kHistoryTitle);
  }
  return mHistory.get();
}

cRirekiDb* DaySession::HistoryForCommand() { return History(HistoryUse::Command); }

void DaySession::Record(const ArchiveMember& member, ArchiveKind kind) {
  cRirekiDb* db = History(HistoryUse::Record);
  if (!db) return;
  try {
    RecordDayMember(*db, member, kind);
  } catch (const RuntimeError& e) {
    MsgBox(QStringLiteral("履歴に記録できませんでした。\n") + e.description(), MsgButtons::Ok, MsgIcon::Warning,
           kHistoryTitle);
  }
  // What the history answered before this file may have changed.
  mRecords = {};
  mLogLoss.reset();
}

mWinCard::Records DaySession::RaceRecords(std::int16_t intRaceNo) {
  if (intRaceNo < 1 || intRaceNo > cBangumiFile::kMaxRace) return {};
  std::optional<mWinCard::Records>& kept = mRecords[static_cast<std::size_t>(intRaceNo - 1)];
  if (kept) return *kept;
  kept.emplace();
  cRirekiDb* db = History(HistoryUse::Quiet);
  if (!db) return *kept;
  try {
    *kept = mWinCard::RaceRecords(mBangumi.card(), intRaceNo, [db](const QString& no, QDate before) {
      return db->RecentRaces(no, before, mWinCard::kRecentRaces);
    });
  } catch (const RuntimeError&) {
    *kept = {};
  }
  return *kept;
}

std::vector<HeldDay> DaySession::HeldDays() {
  std::vector<HeldDay> held;
  cRirekiDb* db = History(HistoryUse::Command);
  if (!db) return held;
  try {
    held = db->HeldDays();
  } catch (const RuntimeError& e) {
    MsgBox(e.description(), MsgButtons::Ok, MsgIcon::Warning, kHistoryTitle);
  }
  return held;
}

QString DaySession::CoefficientsPath() { return AppFilePath(QStringLiteral("WIN.TXT")); }

const mWinCoefficients::Model& DaySession::Model() {
  if (!mCoefficients) {
    QString error;
    mCoefficients = mWinCoefficients::UserOrShipped(CoefficientsPath(), error);
    if (!error.isEmpty()) {
      MsgBox(error + QStringLiteral("\n同梱の係数を使います。"), MsgButtons::Ok, MsgIcon::Warning,
             QStringLiteral("勝率"));
    }
  }
  return *mCoefficients;
}

}  // namespace tidewake
