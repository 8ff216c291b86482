// The history database: opening a file (what it must be before it is used, and bringing an older
// one up to date), the files recorded, the checks. Writing days is cRirekiDbWrite.cpp, reading
// them cRirekiDbRead.cpp.

#include "history/cRirekiDb.h"

#include "history/RirekiHash.h"
#include "history/RirekiRows.h"
#include "history/RirekiSchema.h"
#include "history/RirekiSql.h"
#include "platform/Process.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <atomic>

namespace tidewake {

using namespace rireki;

namespace {

const QString kDbName = QStringLiteral("RIREKI.DB");
// Marks the file as ours (PRAGMA application_id): "TdWk".
constexpr int kApplicationId = 0x5464576B;
// An import lets the write-ahead log grow to this many pages (64 MB) before it is copied into the file.
constexpr int kImportCheckpointPages = 16384;
// Another program's write is waited for this long before the database is called busy.
constexpr int kBusyMs = 10000;

QString NotOurs(const QString& path, const QString& why) {
  return QStringLiteral("履歴データベースではないファイルです（%1）。このファイルは書き換えません: %2").arg(why, path);
}

// SQLite's own connection behind a Qt SQL one.
sqlite3* Handle(const QSqlDatabase& db) {
  const QVariant handle = db.driver()->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
  return *static_cast<sqlite3* const*>(handle.constData());
}

// What a file is, read inside a transaction so that no other program changes it meanwhile.
struct Verdict {
  bool fresh = false;  // empty: ours to make
  int version = 0;
};

Verdict Inspect(sqlite3* db, const QString& path) {
  // The first read of the file: SQLite tells a file that is not its own from its first page.
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  const std::int64_t appId = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
  sqlite3_finalize(stmt);
  if ((rc & 0xff) == SQLITE_NOTADB) {
    throw RuntimeError(ErrNo::HistoryNotOurs, NotOurs(path, QStringLiteral("SQLite のファイルではありません")));
  }
  if (rc != SQLITE_ROW) Fail(db, rc, path, Doing::Open);
  const std::int64_t objects = Scalar(db, "SELECT count(*) FROM sqlite_master", path, Doing::Open);
  const std::int64_t version = Scalar(db, "PRAGMA user_version", path, Doing::Open);
  if (appId != kApplicationId) {
    if (appId == 0 && objects == 0 && version == 0) return {true, 0};
    throw RuntimeError(ErrNo::HistoryNotOurs, NotOurs(path, QStringLiteral("ほかのプログラムのデータベースです")));
  }
  if (version > kSchemaVersion) {
    throw RuntimeError(
        ErrNo::HistoryNewer,
        QStringLiteral("新しい版のプログラムが作った履歴データベースです（版 %1）。このファイルは書き換えません: %2")
            .arg(version)
            .arg(path));
  }
  if (version < 1) Damaged(path, QStringLiteral("版 %1 はありえません").arg(version));
  const QString difference = SchemaDifference(db, static_cast<int>(version));
  if (!difference.isEmpty()) Damaged(path, difference);
  return {false, static_cast<int>(version)};
}

// SQLite's own check; the first problem it names, empty when the file is sound.
QString QuickCheck(sqlite3* db, const QString& path) {
  Rows q(db, "PRAGMA quick_check", path);
  const QString first = q.next() ? q.Text(0) : QString();
  return first == u"ok" ? QString() : first;
}

// Runs `sql` in its own transaction; rolled back when it throws.
template <typename F>
void InTransaction(sqlite3* db, const char* begin, const QString& path, F&& body) {
  Exec(db, begin, path, Doing::Write);
  try {
    body();
    Exec(db, "COMMIT", path, Doing::Write);
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

int ProgressBound(void* deadline) {
  return std::chrono::steady_clock::now() >= *static_cast<std::chrono::steady_clock::time_point*>(deadline) ? 1 : 0;
}

}  // namespace

void rireki::Damaged(const QString& path, const QString& why) {
  throw RuntimeError(
      ErrNo::HistoryDamaged,
      QStringLiteral("履歴データベースが壊れています（%1）。このファイルは書き換えません: %2").arg(why, path));
}

QString cRirekiDb::DefaultPath() { return AppFilePath(kDbName); }

QStringList cRirekiDb::SchemaStep(int version) { return rireki::SchemaStep(version); }

bool cRirekiDb::NeedsUpgrade(const QString& path) {
  try {
    cRirekiDb db(path, RirekiAccess::ReadOnly, {}, true);
    return db.olderVersion_;
  } catch (const RuntimeError&) {
    return false;  // opening it says why
  }
}

cRirekiDb::cRirekiDb(const QString& path, RirekiAccess access, const UpgradeProgress& progress)
    : cRirekiDb(path, access, progress, false) {}

cRirekiDb::cRirekiDb(const QString& path, RirekiAccess access, const UpgradeProgress& progress, bool inspectOnly)
    : path_(path) {
  static std::atomic<int> next{0};
  connection_ = QStringLiteral("tidewake-rireki-%1").arg(next++);
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    try {
      Open(access, progress, inspectOnly);
      return;
    } catch (const RuntimeError& e) {
      Close();
      // Programs starting together on one file: SQLite skips its own wait where waiting could
      // deadlock, so a look can meet another program's lock at once. The open starts again from
      // the beginning, within the same time SQLite would have waited.
      if (e.number() != ErrNo::HistoryLocked || waited.elapsed() >= kBusyMs) throw;
      QThread::msleep(20);
    } catch (...) {
      Close();
      throw;
    }
  }
}

cRirekiDb::~cRirekiDb() { Close(); }

void cRirekiDb::Close() {
  recent_.reset();
  writer_.reset();
  racers_.reset();
  db_ = nullptr;
  if (QSqlDatabase::contains(connection_)) {
    { QSqlDatabase::database(connection_, false).close(); }
    QSqlDatabase::removeDatabase(connection_);
  }
}

void cRirekiDb::Connect(bool readOnly) {
  Close();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    if (readOnly) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    const bool opened = db.open();
    db_ = opened ? Handle(db) : nullptr;
    if (!db_) {
      const QString why = db.lastError().driverText().isEmpty() ? db.lastError().text() : db.lastError().databaseText();
      throw RuntimeError(ErrNo::HistoryCannotOpen,
                         FailureText(SQLITE_CANTOPEN, path_, readOnly ? Doing::Read : Doing::Open, why));
    }
  }
  // The writes and reads go through SQLite's interface on the connection Qt SQL opened: both
  // must be one library, or each would keep its own locks on the file.
  {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    const QString driver =
        q.exec(QStringLiteral("SELECT sqlite_source_id()")) && q.next() ? q.value(0).toString() : QString();
    if (driver != QString::fromUtf8(sqlite3_sourceid())) {
      throw RuntimeError(ErrNo::HistoryCannotOpen,
                         QStringLiteral("履歴データベースを開けません。Qt の SQLite（%1）とこのプログラムの SQLite"
                                        "（%2）が別のものです: %3")
                             .arg(driver, QString::fromUtf8(sqlite3_sourceid()), path_));
    }
  }
  // A file is data, never code: no view, trigger or schema of its own is trusted or run.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_busy_timeout(db_, kBusyMs);
  sqlite3_extended_result_codes(db_, 1);
}

void cRirekiDb::Open(RirekiAccess access, const UpgradeProgress& progress, bool inspectOnly) {
  if (path_.isEmpty()) {
    throw RuntimeError(ErrNo::HistoryCannotOpen, QStringLiteral("履歴データベースのファイル名が空です"));
  }
  // Only stat() here: a descriptor of the file opened and closed beside SQLite's would drop the
  // locks SQLite holds on it, and another program would take the file for unused.
  const QFileInfo info(path_);
  if (info.exists() && !info.isFile()) {
    throw RuntimeError(ErrNo::HistoryCannotOpen,
                       QStringLiteral("履歴データベースを開けません。ファイルではありません: %1").arg(path_));
  }
  const bool existed = info.exists() && info.size() > 0;
  const bool readOnly = access == RirekiAccess::ReadOnly || inspectOnly;
  if (!existed && readOnly) {
    throw RuntimeError(ErrNo::HistoryMissing,
                       QStringLiteral("履歴データベースがありません（まだ何も取り込まれていません）: %1").arg(path_));
  }
  Connect(readOnly);
  writable_ = !readOnly && !sqlite3_db_readonly(db_, "main");
  // A new file's pages; an existing file keeps its own.
  if (!existed && writable_) Exec(db_, "PRAGMA page_size=4096", path_, Doing::Open);

  // First a look without any lock held long: most opens find a file of the current version.
  Verdict v;
  Exec(db_, "BEGIN", path_, Doing::Open);
  try {
    v = Inspect(db_, path_);
    Exec(db_, "COMMIT", path_, Doing::Open);
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  olderVersion_ = !v.fresh && v.version < kSchemaVersion;
  if (inspectOnly) return;
  if (v.fresh || olderVersion_) {
    if (!writable_) {
      if (v.fresh) {
        throw RuntimeError(ErrNo::HistoryMissing, QStringLiteral("履歴データベースは空です: %1").arg(path_));
      }
      if (access == RirekiAccess::ReadOnly) {
        // An older file is brought up to date before it is read.
        Open(RirekiAccess::ReadWrite, progress, false);
        return;
      }
      Fail(db_, SQLITE_READONLY, path_, Doing::Write);
    }
    // Decided again under the write lock: two programs opening a new or older file at once both
    // wait here, and the second finds the file the first made.
    InTransaction(db_, "BEGIN IMMEDIATE", path_, [&] {
      v = Inspect(db_, path_);
      if (v.fresh) {
        QString error;
        if (!RunStep(db_, kSchemaVersion, error)) {
          throw RuntimeError(ErrNo::HistoryIo,
                             QStringLiteral("履歴データベースを用意できません（%1）: %2").arg(error, path_));
        }
        Exec(db_, QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId).toUtf8().constData(), path_,
             Doing::Write);
        Exec(db_, QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion).toUtf8().constData(), path_,
             Doing::Write);
      } else if (v.version < kSchemaVersion) {
        Upgrade(v.version, progress);
      }
    });
    olderVersion_ = false;
    if (v.version > 0 && v.version < kSchemaVersion) {
      // The older rows' pages are given back, and the new ones checked once.
      Exec(db_, "VACUUM", path_, Doing::Write);
      const QString problem = QuickCheck(db_, path_);
      if (!problem.isEmpty()) Damaged(path_, problem);
    }
  }
  if (writable_ && v.fresh) {
    // Writes survive a killed process in a write-ahead log; readers never wait for an import. The
    // file keeps the mode: one a SQLite tool set otherwise is used as it is, not changed by a look.
    Rows set(db_, "PRAGMA journal_mode=WAL", path_);
    set.next();
  }
  Exec(db_, "PRAGMA synchronous=NORMAL", path_, Doing::Open);
  Exec(db_, "PRAGMA cache_size=-32768", path_, Doing::Open);
  // The log an import let grow is cut back to this once it has been copied into the file.
  Exec(db_, "PRAGMA journal_size_limit=4194304", path_, Doing::Open);
  CheckAfterUnfinishedImport();
}

void cRirekiDb::CheckAfterUnfinishedImport() {
  std::vector<std::int64_t> ended;
  {
    Rows q(db_, "SELECT pid FROM import_run", path_);
    while (q.next()) {
      if (!ProcessAlive(q.Int64(0))) ended.push_back(q.Int64(0));
    }
  }
  if (ended.empty()) return;
  const QString problem = QuickCheck(db_, path_);
  if (!problem.isEmpty()) Damaged(path_, problem);
  if (!writable_) return;
  try {
    InTransaction(db_, "BEGIN IMMEDIATE", path_, [&] {
      Statement drop(db_, QStringLiteral("DELETE FROM import_run WHERE pid = ?"), path_);
      for (std::int64_t pid : ended) (drop << pid).Run();
    });
  } catch (const RuntimeError&) {
    // Checked and sound; the marks go the next time.
  }
}

void cRirekiDb::SetInteractive(std::chrono::milliseconds limit) {
  interactive_ = true;
  limit_ = limit;
  sqlite3_busy_timeout(db_, static_cast<int>(limit.count()));
  InstallBound();
  Bound();
}

void cRirekiDb::InstallBound() const {
  if (interactive_) {
    sqlite3_progress_handler(db_, 1000, ProgressBound, &deadline_);
  } else {
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
  }
}

void cRirekiDb::Bound() const {
  deadline_ = interactive_ ? std::chrono::steady_clock::now() + limit_ : std::chrono::steady_clock::time_point::max();
}

QString cRirekiDb::FileHash(QByteArrayView source) { return Sha256Hex(source); }

bool cRirekiDb::Has(QDate date, char kind, QByteArrayView source) const {
  Bound();
  Rows q(db_, "SELECT 1 FROM source WHERE sha256 = ? AND day = ? AND kind = ?", path_);
  q.Bind(Sha256Hex(source)).Bind(DayKey(date)).Bind(QString(QChar::fromLatin1(kind)));
  return q.next();
}

bool cRirekiDb::HasProgramme(QDate date, QByteArrayView source) const { return Has(date, 'B', source); }
bool cRirekiDb::HasResults(QDate date, QByteArrayView source) const { return Has(date, 'K', source); }

bool cRirekiDb::HasFile(QByteArrayView source) const {
  Bound();
  Rows q(db_, "SELECT 1 FROM source WHERE sha256 = ?", path_);
  q.Bind(Sha256Hex(source));
  return q.next();
}

QSet<QString> cRirekiDb::FileHashes() const {
  Bound();
  QSet<QString> hashes;
  Rows q(db_, "SELECT sha256 FROM source", path_);
  while (q.next()) hashes.insert(q.Text(0));
  return hashes;
}

std::vector<HeldDay> cRirekiDb::HeldDays() const {
  Bound();
  std::vector<HeldDay> days;
  Rows q(db_,
         "SELECT day, max(kind = 'B'), max(kind = 'K') FROM source WHERE kind IN ('B', 'K')"
         " GROUP BY day ORDER BY day DESC",
         path_);
  while (q.next()) {
    const QDate d = q.Type(0) == SQLITE_INTEGER ? KeyDay(q.Int64(0)) : QDate();
    if (!d.isValid()) Damaged(path_, QStringLiteral("日付 %1 はありえません").arg(q.Text(0)));
    days.push_back({d, q.Bool(1), q.Bool(2)});
  }
  return days;
}

QStringList cRirekiDb::Check() const { return *Check(std::stop_token{}); }

std::optional<QStringList> cRirekiDb::Check(std::stop_token stop) const {
  // SQLite asks between steps of its work whether to go on; the window's bound goes back after.
  const auto stopped = [](void* token) { return static_cast<const std::stop_token*>(token)->stop_requested() ? 1 : 0; };
  if (stop.stop_possible()) sqlite3_progress_handler(db_, 1000, stopped, &stop);
  QStringList problems;
  try {
    Rows q(db_, "PRAGMA integrity_check", path_);
    while (q.next()) {
      if (q.Text(0) != u"ok") problems << q.Text(0);
    }
  } catch (const RuntimeError& e) {
    // Damage that stops the check itself is its finding.
    problems << e.description();
  }
  if (stop.stop_possible()) InstallBound();
  if (stop.stop_requested()) return std::nullopt;
  const QString difference = SchemaDifference(db_, kSchemaVersion);
  if (!difference.isEmpty()) problems << difference;
  return problems;
}

QString cRirekiDb::CheckText(const QString& path, const QStringList& problems) {
  if (problems.isEmpty()) return QStringLiteral("履歴データベースに問題は見つかりませんでした: %1").arg(path);
  return QStringLiteral("履歴データベースに問題が見つかりました: %1\n%2").arg(path, problems.join(u'\n'));
}

cRirekiDb::ImportMark::ImportMark(cRirekiDb& db) : db_(db) {
  if (!db_.writable_) return;
  try {
    InTransaction(db_.db_, "BEGIN IMMEDIATE", db_.path_, [&] {
      Statement mark(db_.db_, QStringLiteral("INSERT OR REPLACE INTO import_run(pid, started) VALUES (?, ?)"),
                     db_.path_);
      (mark << ThisProcessId() << static_cast<std::int64_t>(QDateTime::currentSecsSinceEpoch())).Run();
    });
    marked_ = true;
    // The log is copied into the file less often during an import: a copy writes every page the
    // files since the last one changed, and waits for the disk; an import's files change the
    // same index pages over and over.
    checkpoint_ = Scalar(db_.db_, "PRAGMA wal_autocheckpoint", db_.path_, Doing::Read);
    Exec(db_.db_, QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(kImportCheckpointPages).toUtf8().constData(),
         db_.path_, Doing::Write);
  } catch (const RuntimeError&) {
    // The import's first day says why the database cannot be written.
  }
}

cRirekiDb::ImportMark::~ImportMark() {
  if (!marked_) return;
  try {
    InTransaction(db_.db_, "BEGIN IMMEDIATE", db_.path_, [&] {
      Statement unmark(db_.db_, QStringLiteral("DELETE FROM import_run WHERE pid = ?"), db_.path_);
      (unmark << ThisProcessId()).Run();
    });
  } catch (const RuntimeError&) {
    // Left marked: the next open checks the file once and removes the mark.
  }
  // What the import left in the log goes into the file now, without waiting for readers; a copy
  // not made now is made by a later write or when the file is closed.
  const QByteArray restore = QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(checkpoint_).toUtf8();
  sqlite3_exec(db_.db_, restore.constData(), nullptr, nullptr, nullptr);
  sqlite3_exec(db_.db_, "PRAGMA wal_checkpoint(PASSIVE)", nullptr, nullptr, nullptr);
}

void cRirekiDb::Upgrade(int version, const UpgradeProgress& progress) {
  const QString problem = QuickCheck(db_, path_);
  if (!problem.isEmpty()) Damaged(path_, problem);
  QString error;
  for (int v = version + 1; v <= kLastRowSchema; ++v) {
    if (!RunStep(db_, v, error)) Damaged(path_, error);
  }
  // The older tables step aside under other names, the new ones are made, and every day moves
  // across through the writer, its files' hashes kept.
  Exec(db_, "DROP INDEX result_racer", path_, Doing::Write);
  for (const char* table : {"source", "meeting", "race", "entrant", "result", "payout"}) {
    Exec(db_, QStringLiteral("ALTER TABLE %1 RENAME TO v3_%1").arg(QLatin1String(table)).toUtf8().constData(), path_,
         Doing::Write);
  }
  if (!RunStep(db_, kSchemaVersion, error)) {
    throw RuntimeError(ErrNo::HistoryIo,
                       QStringLiteral("履歴データベースを用意できません（%1）: %2").arg(error, path_));
  }
  V3Reader older(db_, path_);
  const std::vector<int> days = older.Days();
  for (std::size_t i = 0; i < days.size(); ++i) {
    if (progress) progress(static_cast<int>(i), static_cast<int>(days.size()));
    QString programmeHash, resultsHash;
    const DayRecord d = older.Day(days[i], programmeHash, resultsHash);
    if (!d.cards.empty()) {
      QStringList codes;
      for (const auto& c : d.cards) codes << c.KyoteijyoCode;
      Write(d.date, 'B', programmeHash, codes, [&](Writer& w, std::int64_t source, const std::vector<int>& ords) {
        WriteCards(w, days[i], source, d.cards, ords);
      });
    }
    if (!d.results.empty()) {
      QStringList codes;
      for (const auto& v : d.results) codes << v.KyoteijyoCode;
      Write(d.date, 'K', resultsHash, codes, [&](Writer& w, std::int64_t source, const std::vector<int>& ords) {
        WriteVenues(w, days[i], source, d.results, ords);
      });
    }
  }
  writer_.reset();  // its statements name the tables about to go
  for (const char* table : {"source", "meeting", "race", "entrant", "result", "payout"}) {
    Exec(db_, QStringLiteral("DROP TABLE v3_%1").arg(QLatin1String(table)).toUtf8().constData(), path_, Doing::Write);
  }
  Exec(db_, QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion).toUtf8().constData(), path_, Doing::Write);
  if (progress) progress(static_cast<int>(days.size()), static_cast<int>(days.size()));
}

}  // namespace tidewake
