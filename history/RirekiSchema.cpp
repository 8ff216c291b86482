#include "history/RirekiSchema.h"

#include <QMutex>
#include <QMutexLocker>

#include <map>
#include <vector>

namespace tidewake::rireki {

namespace {

// Each step brings the schema from the version before it to its own, as older programs left it.
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
    // 3: a race's lines of the day's payout summary kept as one text on its row.
    "ALTER TABLE race ADD COLUMN summary TEXT;"
    "UPDATE race SET summary = (SELECT group_concat(kakesiki || char(9) || kumiban || char(9) || kingaku || char(9)"
    " || tokubarai, char(10)) FROM (SELECT * FROM summary s WHERE s.day = race.day AND s.jyo = race.jyo"
    " AND s.race_no = race.race_no ORDER BY kakesiki, idx)) WHERE kind = 'K';"
    "DROP TABLE summary;",
};
static_assert(std::size(kMigrations) == kLastRowSchema);

// 4: compact rows, typed (STRICT) so that a row of the wrong type is refused as it is written.
// A value with a compact form is kept in it, and the column's type tells which form a row holds
// (see codec in RirekiSql.h): venue codes and plain decimal numbers as integers, figures as
// integer hundredths (race times tenths), a text the row's other values give as NULL, a racer's
// name and birthplace once in `racer` and on a row only when they differ from it. A race's
// payouts are one text on its row, a line a payout (bet kind, combination, yen, popularity,
// special: tab-separated, the last two left out when 0), and its summary lines 1 when they are
// its payouts'. The programme (b_*) and the results (k_*, result) have tables of their own; a
// meeting's `source` is the file it came from, so that a file of some venues replaces those
// venues only.
const char kSchema4[] =
    "CREATE TABLE source(id INTEGER PRIMARY KEY, day INTEGER NOT NULL, kind TEXT NOT NULL CHECK(kind IN ('B', 'K')),"
    " sha256 TEXT NOT NULL, UNIQUE(sha256, day, kind)) STRICT;"
    "CREATE INDEX source_day ON source(day, kind);"
    "CREATE TABLE racer(sensyu_no ANY PRIMARY KEY, name TEXT, kname TEXT, birthplace TEXT) WITHOUT ROWID, STRICT;"
    "CREATE TABLE b_meeting(day INTEGER NOT NULL, jyo ANY NOT NULL, ord INTEGER NOT NULL, source INTEGER NOT NULL,"
    " title TEXT NOT NULL, title_long TEXT NOT NULL, race_date TEXT NOT NULL, total_day INTEGER NOT NULL,"
    " race_numbers INTEGER NOT NULL, participation_numbers INTEGER NOT NULL, participants TEXT, notice TEXT NOT NULL,"
    " PRIMARY KEY(day, jyo)) WITHOUT ROWID, STRICT;"
    "CREATE INDEX b_meeting_venue ON b_meeting(jyo, day);"
    "CREATE TABLE b_race(day INTEGER NOT NULL, jyo ANY NOT NULL, race_no INTEGER NOT NULL, title ANY NOT NULL,"
    " closing ANY NOT NULL, vote_type INTEGER NOT NULL, course_fix INTEGER NOT NULL,"
    " PRIMARY KEY(day, jyo, race_no)) WITHOUT ROWID, STRICT;"
    "CREATE TABLE entrant(day INTEGER NOT NULL, jyo ANY NOT NULL, race_no INTEGER NOT NULL, waku INTEGER NOT NULL,"
    " sensyu_no ANY NOT NULL, name TEXT, birthplace TEXT, class TEXT NOT NULL, age INTEGER NOT NULL,"
    " weight INTEGER NOT NULL, zenkoku ANY NOT NULL, zenkoku_f ANY NOT NULL, tochi ANY NOT NULL, tochi_f ANY NOT NULL,"
    " motor_no ANY NOT NULL, motor_f ANY NOT NULL, boat_no ANY NOT NULL, boat_f ANY NOT NULL, seiseki ANY NOT NULL,"
    " hayami INTEGER NOT NULL, tokutenritu ANY, tokutenritu_order INTEGER NOT NULL, tansyoritu ANY,"
    " PRIMARY KEY(day, jyo, race_no, waku)) WITHOUT ROWID, STRICT;"
    "CREATE TABLE k_meeting(day INTEGER NOT NULL, jyo ANY NOT NULL, ord INTEGER NOT NULL, source INTEGER NOT NULL,"
    " jyo_name TEXT NOT NULL, title TEXT NOT NULL, title_long TEXT NOT NULL, race_date TEXT NOT NULL,"
    " total_day INTEGER NOT NULL, notice TEXT NOT NULL, PRIMARY KEY(day, jyo)) WITHOUT ROWID, STRICT;"
    "CREATE INDEX k_meeting_venue ON k_meeting(jyo, day);"
    "CREATE TABLE k_race(day INTEGER NOT NULL, jyo ANY NOT NULL, race_no INTEGER NOT NULL, status INTEGER NOT NULL,"
    " header INTEGER NOT NULL, name TEXT NOT NULL, course_fix INTEGER NOT NULL, kyori INTEGER NOT NULL,"
    " tenko TEXT NOT NULL, kaze_muki TEXT NOT NULL, fusoku INTEGER NOT NULL, hakou INTEGER NOT NULL,"
    " kimarite TEXT NOT NULL, fuseiritu INTEGER NOT NULL, bikou TEXT, payouts TEXT, summary ANY,"
    " PRIMARY KEY(day, jyo, race_no)) WITHOUT ROWID, STRICT;"
    "CREATE TABLE result(day INTEGER NOT NULL, jyo ANY NOT NULL, race_no INTEGER NOT NULL, line INTEGER NOT NULL,"
    " place TEXT NOT NULL, place_no INTEGER, waku INTEGER NOT NULL, sensyu_no ANY NOT NULL, name TEXT,"
    " motor_no ANY NOT NULL, boat_no ANY NOT NULL, tenji ANY NOT NULL, course INTEGER NOT NULL, st ANY NOT NULL,"
    " st_text TEXT, start INTEGER NOT NULL, race_time ANY NOT NULL, race_time_text TEXT,"
    " PRIMARY KEY(day, jyo, race_no, line)) WITHOUT ROWID, STRICT;"
    "CREATE INDEX result_racer ON result(sensyu_no, day);"
    "CREATE TABLE exhibition(day INTEGER NOT NULL, jyo ANY NOT NULL, race_no INTEGER NOT NULL, waku INTEGER NOT NULL,"
    " tenji ANY, course INTEGER NOT NULL, PRIMARY KEY(day, jyo, race_no, waku)) WITHOUT ROWID, STRICT;"
    "CREATE TABLE import_run(pid INTEGER PRIMARY KEY, started INTEGER NOT NULL) STRICT;";

struct SchemaRow {
  QString type, name, table, sql;
  bool operator==(const SchemaRow&) const = default;
};
using Schema = std::map<QString, SchemaRow>;  // by name

Schema Read(sqlite3* db, bool* ok) {
  Schema rows;
  sqlite3_stmt* stmt = nullptr;
  *ok = sqlite3_prepare_v2(db, "SELECT type, name, tbl_name, sql FROM sqlite_master", -1, &stmt, nullptr) == SQLITE_OK;
  int rc = SQLITE_DONE;
  while (*ok && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    auto text = [&](int i) {
      const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
      return t ? QString::fromUtf8(t, sqlite3_column_bytes(stmt, i)) : QString();
    };
    SchemaRow row{text(0), text(1), text(2), text(3)};
    rows[row.name] = row;
  }
  *ok = *ok && rc == SQLITE_DONE;
  sqlite3_finalize(stmt);
  return rows;
}

// The tables and indexes a file of `version` holds, as SQLite records them, made once in memory
// from the same statements.
const Schema& Expected(int version) {
  static QMutex mutex;
  static std::map<int, Schema> made;
  QMutexLocker lock(&mutex);
  const auto found = made.find(version);
  if (found != made.end()) return found->second;
  Schema schema;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK) {
    QString error;
    bool ok = true;
    if (version == kSchemaVersion) {
      ok = RunStep(db, kSchemaVersion, error);
    } else {
      for (int v = 1; ok && v <= version; ++v) ok = RunStep(db, v, error);
    }
    if (ok) schema = Read(db, &ok);
  }
  sqlite3_close(db);
  return made[version] = schema;
}

QString Kind(const QString& type) {
  if (type == u"table") return QStringLiteral("表");
  if (type == u"index") return QStringLiteral("索引");
  if (type == u"view") return QStringLiteral("ビュー");
  if (type == u"trigger") return QStringLiteral("トリガー");
  return type;
}

}  // namespace

QStringList SchemaStep(int version) {
  const char* sql = version == kSchemaVersion                   ? kSchema4
                    : version >= 1 && version <= kLastRowSchema ? kMigrations[version - 1]
                                                                : nullptr;
  return sql ? QString::fromUtf8(sql).split(u';', Qt::SkipEmptyParts) : QStringList();
}

bool RunStep(sqlite3* db, int version, QString& error) {
  for (const QString& statement : SchemaStep(version)) {
    char* message = nullptr;
    if (sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
      error = QString::fromUtf8(message ? message : "");
      sqlite3_free(message);
      return false;
    }
  }
  return true;
}

QString SchemaDifference(sqlite3* db, int version) {
  const Schema& expected = Expected(version);
  if (expected.empty()) return QStringLiteral("版 %1 の表を用意できません").arg(version);
  bool ok = false;
  const Schema found = Read(db, &ok);
  if (!ok) return QStringLiteral("表の一覧を読めません");
  for (const auto& [name, row] : found) {
    const auto e = expected.find(name);
    if (e == expected.end()) return QStringLiteral("見込みにない%1 %2").arg(Kind(row.type), name);
    if (!(e->second == row)) return QStringLiteral("%1 %2 の定義が違います").arg(Kind(row.type), name);
  }
  for (const auto& [name, row] : expected) {
    if (!found.count(name)) return QStringLiteral("%1 %2 がありません").arg(Kind(row.type), name);
  }
  return {};
}

}  // namespace tidewake::rireki
