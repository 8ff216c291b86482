#include "history/cRirekiDb.h"

#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <atomic>
#include <map>

namespace tidewake {

namespace {

const QString kDbName = QStringLiteral("RIREKI.DB");
// Marks the file as ours (PRAGMA application_id): "TdWk".
constexpr int kApplicationId = 0x5464576B;
constexpr char kProgramme = 'B';
constexpr char kResults = 'K';

// Each step brings the schema from the version before it to its own; a new file runs them all.
const char* const kMigrations[] = {
    // 1: the days, meetings, races, entrants, results and payouts.
    "CREATE TABLE source(day INTEGER NOT NULL, kind TEXT NOT NULL, sha256 TEXT NOT NULL,"
    " PRIMARY KEY(day, kind)) WITHOUT ROWID;"
    "CREATE TABLE meeting(day INTEGER NOT NULL, kind TEXT NOT NULL, jyo TEXT NOT NULL, ord INTEGER NOT NULL,"
    " jyo_name TEXT NOT NULL, title TEXT NOT NULL, title_long TEXT NOT NULL, race_date TEXT NOT NULL,"
    " total_day INTEGER NOT NULL, race_numbers INTEGER NOT NULL, participation_numbers INTEGER NOT NULL,"
    " participants TEXT, PRIMARY KEY(day, kind, jyo)) WITHOUT ROWID;"
    "CREATE TABLE race(day INTEGER NOT NULL, kind TEXT NOT NULL, jyo TEXT NOT NULL, race_no INTEGER NOT NULL,"
    " name TEXT NOT NULL, closing_hour TEXT NOT NULL, vote_type INTEGER NOT NULL, course_fix INTEGER NOT NULL,"
    " header INTEGER NOT NULL, kyori INTEGER NOT NULL, tenko TEXT NOT NULL, kaze_muki TEXT NOT NULL,"
    " fusoku INTEGER NOT NULL, hakou INTEGER NOT NULL, kimarite TEXT NOT NULL, fuseiritu INTEGER NOT NULL,"
    " bikou TEXT, PRIMARY KEY(day, kind, jyo, race_no)) WITHOUT ROWID;"
    "CREATE TABLE entrant(day INTEGER NOT NULL, jyo TEXT NOT NULL, race_no INTEGER NOT NULL, waku INTEGER NOT NULL,"
    " sensyu_no TEXT NOT NULL, name TEXT NOT NULL, birthplace TEXT NOT NULL, class TEXT NOT NULL,"
    " age INTEGER NOT NULL, weight INTEGER NOT NULL, zenkoku REAL NOT NULL, zenkoku_f REAL NOT NULL,"
    " tochi REAL NOT NULL, tochi_f REAL NOT NULL, motor_no TEXT NOT NULL, motor_f REAL NOT NULL,"
    " boat_no TEXT NOT NULL, boat_f REAL NOT NULL, seiseki TEXT NOT NULL, hayami INTEGER NOT NULL,"
    " tokutenritu REAL NOT NULL, tokutenritu_order INTEGER NOT NULL, tansyoritu REAL NOT NULL,"
    " PRIMARY KEY(day, jyo, race_no, waku)) WITHOUT ROWID;"
    "CREATE TABLE result(day INTEGER NOT NULL, jyo TEXT NOT NULL, race_no INTEGER NOT NULL, line INTEGER NOT NULL,"
    " tyakujyun TEXT NOT NULL, tyakujyun_no INTEGER NOT NULL, waku INTEGER NOT NULL, sensyu_no TEXT NOT NULL,"
    " name TEXT NOT NULL, motor_no TEXT NOT NULL, boat_no TEXT NOT NULL, tenji REAL NOT NULL,"
    " course INTEGER NOT NULL, st_text TEXT NOT NULL, st REAL NOT NULL, st_flying INTEGER NOT NULL,"
    " st_exists INTEGER NOT NULL, race_time TEXT NOT NULL, race_time_s REAL NOT NULL,"
    " PRIMARY KEY(day, jyo, race_no, line)) WITHOUT ROWID;"
    // The card's tooltip asks for one racer's latest races.
    "CREATE INDEX result_racer ON result(sensyu_no, day);"
    "CREATE TABLE payout(day INTEGER NOT NULL, jyo TEXT NOT NULL, race_no INTEGER NOT NULL, kakesiki INTEGER NOT NULL,"
    " idx INTEGER NOT NULL, kumiban TEXT NOT NULL, kingaku INTEGER NOT NULL, ninki INTEGER NOT NULL,"
    " PRIMARY KEY(day, jyo, race_no, kakesiki, idx)) WITHOUT ROWID;"
    "CREATE TABLE summary(day INTEGER NOT NULL, jyo TEXT NOT NULL, race_no INTEGER NOT NULL, kakesiki INTEGER NOT NULL,"
    " idx INTEGER NOT NULL, kumiban TEXT NOT NULL, kingaku INTEGER NOT NULL,"
    " PRIMARY KEY(day, jyo, race_no, kakesiki, idx)) WITHOUT ROWID;",
    // 2: a race's status, late starts, special payouts and a raceless block's notice.
    "ALTER TABLE race ADD COLUMN status INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE result ADD COLUMN st_late INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE payout ADD COLUMN tokubarai INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE summary ADD COLUMN tokubarai INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE meeting ADD COLUMN notice TEXT NOT NULL DEFAULT '';",
};
static_assert(std::size(kMigrations) == cRirekiDb::kSchemaVersion);

QString NotOurs(const QString& path, const QString& why) {
  return QStringLiteral("履歴データベースではないファイルです（%1）。このファイルは書き換えません: %2").arg(why, path);
}

QString Damaged(const QString& path, const QString& why) {
  return QStringLiteral("履歴データベースが壊れています（%1）。このファイルは書き換えません: %2").arg(why, path);
}

// Days are kept as the number yyyymmdd: small, ordered, and readable in any SQLite tool.
int DayKey(QDate d) { return d.year() * 10000 + d.month() * 100 + d.day(); }
QDate KeyDay(int k) { return k > 0 ? QDate(k / 10000, k / 100 % 100, k % 100) : QDate(); }
QDate KeyDay(const QVariant& v) { return v.isNull() ? QDate() : KeyDay(v.toInt()); }

QString Sha256(QByteArrayView bytes) {
  return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// An empty list is NULL, told apart from a list of one empty text.
QVariant JoinOrNull(const QStringList& list, QChar sep) {
  return list.isEmpty() ? QVariant() : QVariant(list.join(sep));
}

// SQLite's own connection behind a Qt SQL one.
sqlite3* Handle(const QSqlDatabase& db) {
  const QVariant handle = db.driver()->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
  return *static_cast<sqlite3* const*>(handle.constData());
}

// One statement of a write, prepared once per day and bound by position. Writes go through
// SQLite's own interface on the connection Qt SQL opened: a year's import binds tens of millions of
// values, and Qt's generic binding (a QVariant and a UTF-16 copy each) would double its time.
class Statement {
 public:
  Statement(const QSqlDatabase& db, const QString& sql, const QString& path) : path_(path) {
    db_ = Handle(db);
    if (!db_) throw RuntimeError(ErrNo::DeviceIo, QStringLiteral("履歴データベースに書き込めません: %1").arg(path_));
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &stmt_, nullptr) != SQLITE_OK) Fail();
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& operator<<(const QString& s) {
    const QByteArray u = s.toUtf8();
    return Check(sqlite3_bind_text(stmt_, ++n_, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT));
  }
  // NULL or a text.
  Statement& operator<<(const QVariant& v) {
    return v.isNull() ? Check(sqlite3_bind_null(stmt_, ++n_)) : *this << v.toString();
  }
  Statement& operator<<(int v) { return Check(sqlite3_bind_int(stmt_, ++n_, v)); }
  Statement& operator<<(std::int16_t v) { return *this << static_cast<int>(v); }
  Statement& operator<<(bool v) { return *this << static_cast<int>(v); }
  Statement& operator<<(float v) { return Check(sqlite3_bind_double(stmt_, ++n_, v)); }
  void Run() {
    n_ = 0;
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) Fail(rc);
  }

 private:
  Statement& Check(int rc) {
    if (rc != SQLITE_OK) Fail(rc);
    return *this;
  }
  [[noreturn]] void Fail(int rc = 0) const {
    const QString why = rc ? QString::fromUtf8(sqlite3_errstr(rc)) : QString::fromUtf8(sqlite3_errmsg(db_));
    throw RuntimeError(ErrNo::DeviceIo, QStringLiteral("履歴データベースに書き込めません（%1）: %2").arg(why, path_));
  }
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  QString path_;
  int n_ = 0;
};

}  // namespace

QString cRirekiDb::DefaultPath() { return AppFilePath(kDbName); }

cRirekiDb::cRirekiDb(const QString& path) : path_(path) {
  static std::atomic<int> next{0};
  connection_ = QStringLiteral("tidewake-rireki-%1").arg(next++);

  // A file that is not SQLite's is never handed to SQLite, which could write a journal beside it.
  QFile file(path_);
  const bool existed = file.exists() && file.size() > 0;
  if (existed) {
    if (!file.open(QIODevice::ReadOnly)) {
      throw RuntimeError(ErrNo::PathFileAccess,
                         QStringLiteral("履歴データベースを開けません（%1）: %2").arg(file.errorString(), path_));
    }
    if (file.read(16) != QByteArray("SQLite format 3\0", 16)) {
      throw RuntimeError(ErrNo::NotATextFile, NotOurs(path_, QStringLiteral("SQLite のファイルではありません")));
    }
  }

  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
  db.setDatabaseName(path_);
  auto fail = [&](int number, const QString& text) {
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
    throw RuntimeError(number, text);
  };
  if (!db.open()) {
    fail(ErrNo::PathFileAccess,
         QStringLiteral("履歴データベースを開けません（%1）: %2").arg(db.lastError().text(), path_));
  }
  QSqlQuery q(db);
  auto scalar = [&](const QString& sql) -> QVariant {
    if (!q.exec(sql) || !q.next()) {
      fail(ErrNo::DeviceIo, Damaged(path_, q.lastError().text()));
    }
    return q.value(0);
  };
  const int appId = scalar(QStringLiteral("PRAGMA application_id")).toInt();
  const int tables = scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt();
  if (appId != kApplicationId && (appId != 0 || tables != 0)) {
    fail(ErrNo::NotATextFile, NotOurs(path_, QStringLiteral("ほかのプログラムのデータベースです")));
  }
  if (existed) {
    const QString check = scalar(QStringLiteral("PRAGMA quick_check")).toString();
    if (check != u"ok") fail(ErrNo::DeviceIo, Damaged(path_, check));
  }
  const int version = scalar(QStringLiteral("PRAGMA user_version")).toInt();
  if (version > kSchemaVersion) {
    fail(ErrNo::NotATextFile,
         QStringLiteral("新しい版のプログラムが作った履歴データベースです（版 %1）。このファイルは書き換えません: %2")
             .arg(version)
             .arg(path_));
  }
  // Writes survive a killed process in a write-ahead log; readers (the window) never wait for an import.
  if (!existed) q.exec(QStringLiteral("PRAGMA page_size=16384"));
  q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
  q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
  q.exec(QStringLiteral("PRAGMA busy_timeout=10000"));
  q.exec(QStringLiteral("PRAGMA cache_size=-16000"));
  if (version < kSchemaVersion) {
    bool ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    for (int v = version; ok && v < kSchemaVersion; ++v) {
      for (const QString& sql : QString::fromUtf8(kMigrations[v]).split(u';', Qt::SkipEmptyParts)) {
        if (!(ok = q.exec(sql))) break;
      }
    }
    ok = ok && q.exec(QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId)) &&
         q.exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)) && q.exec(QStringLiteral("COMMIT"));
    if (!ok) {
      const QString why = q.lastError().text();
      q.exec(QStringLiteral("ROLLBACK"));
      fail(ErrNo::DeviceIo, QStringLiteral("履歴データベースを用意できません（%1）: %2").arg(why, path_));
    }
  }
}

cRirekiDb::~cRirekiDb() {
  recent_.reset();
  { QSqlDatabase::database(connection_, false).close(); }
  QSqlDatabase::removeDatabase(connection_);
}

bool cRirekiDb::Has(QDate date, char kind, QByteArrayView source) const {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.prepare(QStringLiteral("SELECT sha256 FROM source WHERE day = ? AND kind = ?"));
  q.addBindValue(DayKey(date));
  q.addBindValue(QString(QChar::fromLatin1(kind)));
  return q.exec() && q.next() && q.value(0).toString() == Sha256(source);
}

QString cRirekiDb::FileHash(QByteArrayView source) { return Sha256(source); }

QSet<QString> cRirekiDb::FileHashes() const {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  QSet<QString> hashes;
  if (q.exec(QStringLiteral("SELECT sha256 FROM source"))) {
    while (q.next()) hashes.insert(q.value(0).toString());
  }
  return hashes;
}

bool cRirekiDb::HasFile(QByteArrayView source) const {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.prepare(QStringLiteral("SELECT 1 FROM source WHERE sha256 = ?"));
  q.addBindValue(Sha256(source));
  return q.exec() && q.next();
}

bool cRirekiDb::HasProgramme(QDate date, QByteArrayView source) const { return Has(date, kProgramme, source); }
bool cRirekiDb::HasResults(QDate date, QByteArrayView source) const { return Has(date, kResults, source); }

RecordOutcome cRirekiDb::Record(QDate date, char kind, QByteArrayView source, const std::function<void()>& write) {
  if (!date.isValid()) {
    throw RuntimeError(ErrNo::DateOutOfRange, QStringLiteral("日付のない日は履歴に記録できません: %1").arg(path_));
  }
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  const int day = DayKey(date);
  const QString kindText(QChar::fromLatin1(kind));
  const QString sha = Sha256(source);
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
    throw RuntimeError(ErrNo::DeviceIo,
                       QStringLiteral("履歴データベースに書き込めません（%1）: %2").arg(q.lastError().text(), path_));
  }
  try {
    QSqlQuery find(db);
    find.prepare(QStringLiteral("SELECT sha256 FROM source WHERE day = ? AND kind = ?"));
    find.addBindValue(day);
    find.addBindValue(kindText);
    find.exec();
    const bool had = find.next();
    if (had && find.value(0).toString() == sha) {
      find.finish();
      q.exec(QStringLiteral("ROLLBACK"));
      return RecordOutcome::AlreadyThere;
    }
    find.finish();
    const QStringList tables =
        kind == kProgramme ? QStringList{QStringLiteral("entrant")}
                           : QStringList{QStringLiteral("result"), QStringLiteral("payout"), QStringLiteral("summary")};
    for (const QString& t : tables) {
      Statement del(db, QStringLiteral("DELETE FROM %1 WHERE day = ?").arg(t), path_);
      (del << day).Run();
    }
    for (const QString& t : {QStringLiteral("meeting"), QStringLiteral("race")}) {
      Statement del(db, QStringLiteral("DELETE FROM %1 WHERE day = ? AND kind = ?").arg(t), path_);
      (del << day << kindText).Run();
    }
    write();
    Statement src(db, QStringLiteral("INSERT OR REPLACE INTO source(day, kind, sha256) VALUES (?, ?, ?)"), path_);
    (src << day << kindText << sha).Run();
    if (!q.exec(QStringLiteral("COMMIT"))) {
      throw RuntimeError(ErrNo::DeviceIo,
                         QStringLiteral("履歴データベースに書き込めません（%1）: %2").arg(q.lastError().text(), path_));
    }
    return had ? RecordOutcome::Replaced : RecordOutcome::Added;
  } catch (...) {
    q.exec(QStringLiteral("ROLLBACK"));
    throw;
  }
}

RecordOutcome cRirekiDb::RecordProgramme(QDate date, const std::vector<cBangumiFile::Card>& cards,
                                         QByteArrayView source) {
  return Record(date, kProgramme, source, [&] { WriteCards(DayKey(date), cards); });
}

RecordOutcome cRirekiDb::RecordResults(QDate date, const std::vector<cKekkaFile::Venue>& venues,
                                       QByteArrayView source) {
  return Record(date, kResults, source, [&] { WriteVenues(DayKey(date), venues); });
}

namespace {

QString DuplicateVenue(const QString& jyo, const QString& path) {
  return QStringLiteral("同じ日に競艇場コード %1 のブロックが二つあります。履歴には記録しません: %2").arg(jyo, path);
}

}  // namespace

void cRirekiDb::WriteCards(int day, const std::vector<cBangumiFile::Card>& cards) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  Statement meeting(db,
                    QStringLiteral("INSERT INTO meeting(day, kind, jyo, ord, jyo_name, title, title_long, race_date,"
                                   " total_day, race_numbers, participation_numbers, participants, notice)"
                                   " VALUES (?, 'B', ?, ?, '', ?, ?, ?, ?, ?, ?, ?, ?)"),
                    path_);
  Statement race(db,
                 QStringLiteral("INSERT INTO race(day, kind, jyo, race_no, name, closing_hour, vote_type, course_fix,"
                                " header, kyori, tenko, kaze_muki, fusoku, hakou, kimarite, fuseiritu, bikou, status)"
                                " VALUES (?, 'B', ?, ?, ?, ?, ?, ?, 0, 0, '', '', 0, 0, '', 0, NULL, 0)"),
                 path_);
  Statement entrant(db,
                    QStringLiteral("INSERT INTO entrant VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,"
                                   " ?, ?, ?, ?, ?)"),
                    path_);
  QSet<QString> seen;
  int ord = 0;
  for (const cBangumiFile::Card& c : cards) {
    if (seen.contains(c.KyoteijyoCode)) throw RuntimeError(ErrNo::NotATextFile, DuplicateVenue(c.KyoteijyoCode, path_));
    seen.insert(c.KyoteijyoCode);
    (meeting << day << c.KyoteijyoCode << ord++ << c.Title << c.TitleLong << c.RaceDate << c.TotalDay << c.RaceNumbers
             << c.ParticipationNumbers << JoinOrNull(c.participants, u',') << c.Notice)
        .Run();
    for (int r = 0; r < cBangumiFile::kMaxRace; ++r) {
      const cBangumiFile::Race& rc = c.races[r];
      (race << day << c.KyoteijyoCode << r + 1 << rc.RaceTitle << rc.ClosingHour << rc.VoteType << rc.CourseFix).Run();
      if (r >= c.RaceNumbers) continue;
      for (int w = 0; w < cBangumiFile::kBoats; ++w) {
        const cBangumiFile::Entrant& e = rc.boats[w];
        (entrant << day << c.KyoteijyoCode << r + 1 << w + 1 << e.SensyuNo << e.SensyuName << e.SensyuBirthplace
                 << e.SensyuClass << e.SensyuAge << e.SensyuWeight << e.SensyuZenkokuSyoritu << e.SensyuZenkokuFSyoritu
                 << e.SensyuTochiSyoritu << e.SensyuTochiFSyoritu << e.MotorNo << e.MotorFSyoritu << e.BoatNo
                 << e.BoatFSyoritu << e.Seiseki << e.Hayami << e.Tokutenritu << e.TokutenrituOrder << e.Tansyoritu)
            .Run();
      }
    }
  }
}

void cRirekiDb::WriteVenues(int day, const std::vector<cKekkaFile::Venue>& venues) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  Statement meeting(db,
                    QStringLiteral("INSERT INTO meeting(day, kind, jyo, ord, jyo_name, title, title_long, race_date,"
                                   " total_day, race_numbers, participation_numbers, participants, notice)"
                                   " VALUES (?, 'K', ?, ?, ?, ?, ?, ?, ?, 0, 0, NULL, ?)"),
                    path_);
  Statement race(db,
                 QStringLiteral("INSERT INTO race(day, kind, jyo, race_no, name, closing_hour, vote_type, course_fix,"
                                " header, kyori, tenko, kaze_muki, fusoku, hakou, kimarite, fuseiritu, bikou, status)"
                                " VALUES (?, 'K', ?, ?, ?, '', 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 path_);
  Statement result(
      db, QStringLiteral("INSERT INTO result VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
      path_);
  Statement payout(db, QStringLiteral("INSERT INTO payout VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"), path_);
  Statement summary(db, QStringLiteral("INSERT INTO summary VALUES (?, ?, ?, ?, ?, ?, ?, ?)"), path_);
  QSet<QString> seen;
  int ord = 0;
  for (const cKekkaFile::Venue& v : venues) {
    if (seen.contains(v.KyoteijyoCode)) throw RuntimeError(ErrNo::NotATextFile, DuplicateVenue(v.KyoteijyoCode, path_));
    seen.insert(v.KyoteijyoCode);
    (meeting << day << v.KyoteijyoCode << ord++ << v.KyoteijyoName << v.Title << v.TitleLong << v.RaceDate << v.TotalDay
             << v.Notice)
        .Run();
    for (int r = 0; r < cKekkaFile::kMaxRace; ++r) {
      const cKekkaFile::Race& rc = v.races[r];
      int fuseiritu = 0;
      for (int k = 0; k < kKakesikiCount; ++k) fuseiritu |= rc.fuseiritu[k] ? 1 << k : 0;
      (race << day << v.KyoteijyoCode << r + 1 << rc.RaceName << rc.CourseFix << rc.Exists << rc.Kyori << rc.Tenko
            << rc.KazeMuki << rc.Fusoku << rc.Hakou << rc.Kimarite << fuseiritu << JoinOrNull(rc.bikou, u'\n')
            << static_cast<int>(rc.Status))
          .Run();
      for (std::size_t i = 0; i < rc.boats.size(); ++i) {
        const cKekkaFile::Boat& b = rc.boats[i];
        (result << day << v.KyoteijyoCode << r + 1 << static_cast<int>(i) << b.Tyakujyun << b.TyakujyunNo << b.WakuNo
                << b.SensyuNo << b.SensyuName << b.MotorNo << b.BoatNo << b.TenjiTime << b.Course << b.StartTimingText
                << b.StartTiming << b.StartFlying << b.StartTimingExists << b.RaceTime << b.RaceTimeSeconds
                << b.StartLate)
            .Run();
      }
      for (int k = 0; k < kKakesikiCount; ++k) {
        for (std::size_t i = 0; i < rc.payouts[k].size(); ++i) {
          const cKekkaFile::Haraimodosi& h = rc.payouts[k][i];
          (payout << day << v.KyoteijyoCode << r + 1 << k << static_cast<int>(i) << h.Kumiban << h.Kingaku << h.Ninki
                  << h.Tokubarai)
              .Run();
        }
        for (std::size_t i = 0; i < rc.matome[k].size(); ++i) {
          const cKekkaFile::Matome& m = rc.matome[k][i];
          (summary << day << v.KyoteijyoCode << r + 1 << k << static_cast<int>(i) << m.Kumiban << m.Kingaku
                   << m.Tokubarai)
              .Run();
        }
      }
    }
  }
}

namespace {

// A read that cannot fail on a database that opened; a failure is still reported, not ignored.
QSqlQuery Select(const QSqlDatabase& db, const QString& sql, const QVariantList& binds, const QString& path) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  bool ok = q.prepare(sql);
  for (int i = 0; ok && i < binds.size(); ++i) q.bindValue(i, binds[i]);
  if (!ok || !q.exec()) {
    throw RuntimeError(ErrNo::DeviceIo,
                       QStringLiteral("履歴データベースを読めません（%1）: %2").arg(q.lastError().text(), path));
  }
  return q;
}

// The rows of a read, through SQLite's own interface for the same reason as the writes: reading a
// year back is millions of values.
class Rows {
 public:
  Rows(const QSqlDatabase& db, const QString& sql, const QVariantList& binds, const QString& path) : path_(path) {
    db_ = Handle(db);
    const QByteArray text = sql.toUtf8();
    if (!db_ ||
        sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &stmt_, nullptr) != SQLITE_OK) {
      Fail();
    }
    for (int i = 0; i < binds.size(); ++i) {
      const QByteArray v = binds[i].toString().toUtf8();
      const int rc = binds[i].typeId() == QMetaType::Int
                         ? sqlite3_bind_int(stmt_, i + 1, binds[i].toInt())
                         : sqlite3_bind_text(stmt_, i + 1, v.constData(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
      if (rc != SQLITE_OK) Fail();
    }
  }
  ~Rows() { sqlite3_finalize(stmt_); }
  Rows(const Rows&) = delete;
  Rows& operator=(const Rows&) = delete;

  bool next() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail();
    return false;
  }
  int Int(int i) const { return sqlite3_column_int(stmt_, i); }
  double Real(int i) const { return sqlite3_column_double(stmt_, i); }
  bool Null(int i) const { return sqlite3_column_type(stmt_, i) == SQLITE_NULL; }
  QString Text(int i) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(stmt_, i)) : QString();
  }

 private:
  [[noreturn]] void Fail() const {
    throw RuntimeError(ErrNo::DeviceIo, QStringLiteral("履歴データベースを読めません（%1）: %2")
                                            .arg(db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString(), path_));
  }
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  QString path_;
};

std::int16_t I16(const Rows& q, int i) { return static_cast<std::int16_t>(q.Int(i)); }
int Int(const Rows& q, int i) { return q.Int(i); }
float F(const Rows& q, int i) { return static_cast<float>(q.Real(i)); }
QString S(const Rows& q, int i) { return q.Text(i); }
bool B(const Rows& q, int i) { return q.Int(i) != 0; }
QStringList SplitOrEmpty(const Rows& q, int i, QChar sep) { return q.Null(i) ? QStringList() : q.Text(i).split(sep); }

std::int16_t I16(const QSqlQuery& q, int i) { return static_cast<std::int16_t>(q.value(i).toInt()); }
float F(const QSqlQuery& q, int i) { return static_cast<float>(q.value(i).toDouble()); }
QString S(const QSqlQuery& q, int i) { return q.value(i).toString(); }
bool B(const QSqlQuery& q, int i) { return q.value(i).toInt() != 0; }

}  // namespace

std::vector<DayRecord> cRirekiDb::Days(QDate from, QDate to) const {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  const QVariantList range{DayKey(from), DayKey(to)};
  std::vector<DayRecord> days;
  QHash<QString, std::size_t> dayIndex;
  QHash<QString, cBangumiFile::Card*> cards;
  QHash<QString, cKekkaFile::Venue*> venues;
  // Reads one snapshot: an import on another connection cannot change the day between the queries.
  QSqlQuery tx(db);
  tx.exec(QStringLiteral("BEGIN"));
  struct EndRead {
    QSqlQuery& q;
    ~EndRead() { q.exec(QStringLiteral("COMMIT")); }
  } endRead{tx};

  {
    Rows q(db, QStringLiteral("SELECT day FROM source WHERE day BETWEEN ? AND ? GROUP BY day ORDER BY day"), range,
           path_);
    while (q.next()) {
      dayIndex.insert(S(q, 0), days.size());
      days.push_back(DayRecord{KeyDay(Int(q, 0)), {}, {}});
    }
  }
  // Counted first, so that the vectors never move the cards the hashes point at.
  {
    Rows q(db,
           QStringLiteral("SELECT day, kind, count(*) FROM meeting WHERE day BETWEEN ? AND ?"
                          " GROUP BY day, kind"),
           range, path_);
    while (q.next()) {
      DayRecord& d = days[dayIndex.value(S(q, 0))];
      if (S(q, 1) == u"B")
        d.cards.reserve(Int(q, 2));
      else
        d.results.reserve(Int(q, 2));
    }
  }
  {
    Rows q(db,
           QStringLiteral("SELECT day, kind, jyo, jyo_name, title, title_long, race_date, total_day,"
                          " race_numbers, participation_numbers, participants, notice FROM meeting"
                          " WHERE day BETWEEN ? AND ? ORDER BY day, kind, ord"),
           range, path_);
    while (q.next()) {
      DayRecord& d = days[dayIndex.value(S(q, 0))];
      const QString key = S(q, 0) + S(q, 2);
      if (S(q, 1) == u"B") {
        cBangumiFile::Card& c = d.cards.emplace_back();
        c.KyoteijyoCode = S(q, 2);
        c.Title = S(q, 4);
        c.TitleLong = S(q, 5);
        c.RaceDate = S(q, 6);
        c.TotalDay = I16(q, 7);
        c.RaceNumbers = I16(q, 8);
        c.ParticipationNumbers = I16(q, 9);
        c.participants = SplitOrEmpty(q, 10, u',');
        c.Notice = S(q, 11);
        cards.insert(key, &c);
      } else {
        cKekkaFile::Venue& v = d.results.emplace_back();
        v.KyoteijyoCode = S(q, 2);
        v.KyoteijyoName = S(q, 3);
        v.Title = S(q, 4);
        v.TitleLong = S(q, 5);
        v.RaceDate = S(q, 6);
        v.TotalDay = I16(q, 7);
        v.Notice = S(q, 11);
        venues.insert(key, &v);
      }
    }
  }
  {
    Rows q(db,
           QStringLiteral("SELECT day, kind, jyo, race_no, name, closing_hour, vote_type, course_fix,"
                          " header, kyori, tenko, kaze_muki, fusoku, hakou, kimarite, fuseiritu, bikou,"
                          " status FROM race WHERE day BETWEEN ? AND ?"),
           range, path_);
    while (q.next()) {
      const QString key = S(q, 0) + S(q, 2);
      const int r = Int(q, 3) - 1;
      if (r < 0 || r >= cBangumiFile::kMaxRace) continue;
      if (S(q, 1) == u"B") {
        cBangumiFile::Card* c = cards.value(key);
        if (!c) continue;
        cBangumiFile::Race& rc = c->races[r];
        rc.RaceTitle = S(q, 4);
        rc.ClosingHour = S(q, 5);
        rc.VoteType = I16(q, 6);
        rc.CourseFix = B(q, 7);
      } else {
        cKekkaFile::Venue* v = venues.value(key);
        if (!v) continue;
        cKekkaFile::Race& rc = v->races[r];
        rc.RaceName = S(q, 4);
        rc.CourseFix = B(q, 7);
        rc.Exists = B(q, 8);
        rc.Kyori = I16(q, 9);
        rc.Tenko = S(q, 10);
        rc.KazeMuki = S(q, 11);
        rc.Fusoku = I16(q, 12);
        rc.Hakou = I16(q, 13);
        rc.Kimarite = S(q, 14);
        const int fuseiritu = Int(q, 15);
        for (int k = 0; k < kKakesikiCount; ++k) rc.fuseiritu[k] = (fuseiritu >> k) & 1;
        rc.bikou = SplitOrEmpty(q, 16, u'\n');
        rc.Status = static_cast<RaceStatus>(Int(q, 17));
      }
    }
  }
  {
    Rows q(db, QStringLiteral("SELECT * FROM entrant WHERE day BETWEEN ? AND ?"), range, path_);
    while (q.next()) {
      cBangumiFile::Card* c = cards.value(S(q, 0) + S(q, 1));
      const int r = Int(q, 2) - 1, w = Int(q, 3) - 1;
      if (!c || r < 0 || r >= cBangumiFile::kMaxRace || w < 0 || w >= cBangumiFile::kBoats) continue;
      cBangumiFile::Entrant& e = c->races[r].boats[w];
      e.SensyuNo = S(q, 4);
      e.SensyuName = S(q, 5);
      e.SensyuBirthplace = S(q, 6);
      e.SensyuClass = S(q, 7);
      e.SensyuAge = I16(q, 8);
      e.SensyuWeight = I16(q, 9);
      e.SensyuZenkokuSyoritu = F(q, 10);
      e.SensyuZenkokuFSyoritu = F(q, 11);
      e.SensyuTochiSyoritu = F(q, 12);
      e.SensyuTochiFSyoritu = F(q, 13);
      e.MotorNo = S(q, 14);
      e.MotorFSyoritu = F(q, 15);
      e.BoatNo = S(q, 16);
      e.BoatFSyoritu = F(q, 17);
      e.Seiseki = S(q, 18);
      e.Hayami = I16(q, 19);
      e.Tokutenritu = F(q, 20);
      e.TokutenrituOrder = I16(q, 21);
      e.Tansyoritu = F(q, 22);
    }
  }
  {
    Rows q(db, QStringLiteral("SELECT * FROM result WHERE day BETWEEN ? AND ? ORDER BY day, jyo, race_no, line"), range,
           path_);
    while (q.next()) {
      cKekkaFile::Venue* v = venues.value(S(q, 0) + S(q, 1));
      const int r = Int(q, 2) - 1;
      if (!v || r < 0 || r >= cKekkaFile::kMaxRace) continue;
      cKekkaFile::Boat& b = v->races[r].boats.emplace_back();
      b.Tyakujyun = S(q, 4);
      b.TyakujyunNo = I16(q, 5);
      b.WakuNo = I16(q, 6);
      b.SensyuNo = S(q, 7);
      b.SensyuName = S(q, 8);
      b.MotorNo = S(q, 9);
      b.BoatNo = S(q, 10);
      b.TenjiTime = F(q, 11);
      b.Course = I16(q, 12);
      b.StartTimingText = S(q, 13);
      b.StartTiming = F(q, 14);
      b.StartFlying = B(q, 15);
      b.StartTimingExists = B(q, 16);
      b.RaceTime = S(q, 17);
      b.RaceTimeSeconds = F(q, 18);
      b.StartLate = B(q, 19);
    }
  }
  {
    Rows q(db,
           QStringLiteral("SELECT * FROM payout WHERE day BETWEEN ? AND ? ORDER BY day, jyo, race_no, kakesiki, idx"),
           range, path_);
    while (q.next()) {
      cKekkaFile::Venue* v = venues.value(S(q, 0) + S(q, 1));
      const int r = Int(q, 2) - 1, k = Int(q, 3);
      if (!v || r < 0 || r >= cKekkaFile::kMaxRace || k < 0 || k >= kKakesikiCount) continue;
      cKekkaFile::Haraimodosi& h = v->races[r].payouts[k].emplace_back();
      h.Kumiban = S(q, 5);
      h.Kingaku = Int(q, 6);
      h.Ninki = I16(q, 7);
      h.Tokubarai = B(q, 8);
    }
  }
  {
    Rows q(db,
           QStringLiteral("SELECT * FROM summary WHERE day BETWEEN ? AND ? ORDER BY day, jyo, race_no, kakesiki, idx"),
           range, path_);
    while (q.next()) {
      cKekkaFile::Venue* v = venues.value(S(q, 0) + S(q, 1));
      const int r = Int(q, 2) - 1, k = Int(q, 3);
      if (!v || r < 0 || r >= cKekkaFile::kMaxRace || k < 0 || k >= kKakesikiCount) continue;
      v->races[r].matome[k].push_back(cKekkaFile::Matome{S(q, 5), Int(q, 6), B(q, 7)});
    }
  }
  return days;
}

std::vector<RecentRace> cRirekiDb::RecentRaces(const QString& sensyuNo, QDate beforeDate, int n) const {
  if (!recent_) {
    recent_ = std::make_unique<QSqlQuery>(QSqlDatabase::database(connection_, false));
    recent_->setForwardOnly(true);
    recent_->prepare(
        QStringLiteral("SELECT r.day, r.jyo, m.jyo_name, r.race_no, r.waku, r.course, r.tyakujyun_no,"
                       " r.tyakujyun, r.st, r.st_flying, r.st_late, r.st_exists FROM result r"
                       " LEFT JOIN meeting m ON m.day = r.day AND m.kind = 'K' AND m.jyo = r.jyo"
                       " WHERE r.sensyu_no = ? AND r.day < ? ORDER BY r.day DESC, r.race_no DESC LIMIT ?"));
  }
  QSqlQuery& q = *recent_;
  q.bindValue(0, sensyuNo);
  q.bindValue(1, DayKey(beforeDate));
  q.bindValue(2, n);
  if (!q.exec()) {
    throw RuntimeError(ErrNo::DeviceIo,
                       QStringLiteral("履歴データベースを読めません（%1）: %2").arg(q.lastError().text(), path_));
  }
  std::vector<RecentRace> races;
  while (q.next()) {
    RecentRace& r = races.emplace_back();
    r.date = KeyDay(q.value(0));
    r.KyoteijyoCode = S(q, 1);
    r.KyoteijyoName = S(q, 2);
    r.RaceNo = I16(q, 3);
    r.WakuNo = I16(q, 4);
    r.Course = I16(q, 5);
    r.TyakujyunNo = I16(q, 6);
    r.Tyakujyun = S(q, 7);
    r.StartTiming = F(q, 8);
    r.StartFlying = B(q, 9);
    r.StartLate = B(q, 10);
    r.StartTimingExists = B(q, 11);
  }
  q.finish();
  return races;
}

cRirekiDb::Stats cRirekiDb::Statistics() const {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  Stats s;
  QSqlQuery q = Select(db,
                       QStringLiteral("SELECT (SELECT count(DISTINCT day) FROM source),"
                                      " (SELECT count(*) FROM (SELECT DISTINCT day, jyo FROM meeting)),"
                                      " (SELECT count(*) FROM (SELECT day, jyo, race_no FROM entrant"
                                      "   UNION SELECT day, jyo, race_no FROM result)),"
                                      " (SELECT count(*) FROM (SELECT sensyu_no FROM entrant UNION"
                                      "   SELECT sensyu_no FROM result)),"
                                      " (SELECT min(day) FROM source), (SELECT max(day) FROM source)"),
                       {}, path_);
  if (q.next()) {
    s.days = q.value(0).toInt();
    s.venues = q.value(1).toInt();
    s.races = q.value(2).toInt();
    s.racers = q.value(3).toInt();
    s.first = KeyDay(q.value(4));
    s.last = KeyDay(q.value(5));
  }
  return s;
}

}  // namespace tidewake
