#include "history/RirekiSimulate.h"

#include "history/RirekiSql.h"
#include "history/cRirekiDb.h"
#include "platform/RuntimeError.h"

#include <QStringList>

namespace tidewake {

namespace {

using rireki::Doing;

// The tables a copy takes, with the rows a day owns; `racer` (no day) is taken once.
const char* const kDayTables[] = {"source",    "b_meeting", "b_race", "entrant",
                                  "k_meeting", "k_race",    "result", "exhibition"};

QStringList Columns(sqlite3* db, const char* table, const QString& path) {
  QStringList columns;
  rireki::Rows r(db, "SELECT name FROM pragma_table_info(?1, 'src')", path);
  r.Bind(QString::fromLatin1(table));
  while (r.next()) columns << r.Text(0);
  return columns;
}

}  // namespace

void BuildShiftedHistory(const QString& source, const QString& target, int copies, int yearsApart) {
  // The target's tables as the program makes them.
  { cRirekiDb made(target); }
  sqlite3* db = nullptr;
  const QByteArray file = target.toUtf8();
  if (const int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr); rc != SQLITE_OK) {
    sqlite3_close(db);
    rireki::Fail(nullptr, rc, target, Doing::Open);
  }
  struct Closer {
    sqlite3* db;
    ~Closer() { sqlite3_close(db); }
  } closer{db};
  rireki::Exec(db, "PRAGMA synchronous=OFF", target, Doing::Write);
  {
    rireki::Statement attach(db, QStringLiteral("ATTACH ?1 AS src"), target, Doing::Open);
    attach << source;
    attach.Run();
  }
  // A 29 February moved by years not a multiple of four would be a day that does not exist.
  if (yearsApart % 4 != 0 &&
      rireki::Scalar(db, "SELECT COUNT(*) FROM src.source WHERE day % 10000 = 229", target, Doing::Read) > 0) {
    throw RuntimeError(ErrNo::HistoryCannotOpen,
                       QStringLiteral("2 月 29 日の日は %1 年ずらせません: %2").arg(yearsApart).arg(source));
  }
  const std::int64_t stride = rireki::Scalar(db, "SELECT IFNULL(MAX(id), 0) + 1 FROM src.source", target, Doing::Read);
  for (int n = copies; n >= 0; --n) {
    rireki::Exec(db, "BEGIN", target, Doing::Write);
    for (const char* table : kDayTables) {
      QStringList values;
      const QStringList columns = Columns(db, table, target);
      for (const QString& c : columns) {
        if (c == u"day") {
          values << QStringLiteral("day - %1").arg(n * yearsApart * 10000);
        } else if (c == u"source" || (c == u"id" && qstrcmp(table, "source") == 0)) {
          values << QStringLiteral("%1 + %2").arg(c).arg(n * stride);
        } else if (c == u"sha256" && n > 0) {
          values << QStringLiteral("sha256 || ':%1'").arg(n);
        } else {
          values << c;
        }
      }
      const QString sql = QStringLiteral("INSERT INTO main.%1(%2) SELECT %3 FROM src.%1")
                              .arg(QLatin1String(table), columns.join(u','), values.join(u','));
      rireki::Statement(db, sql, target).Run();
    }
    rireki::Exec(db, "COMMIT", target, Doing::Write);
  }
  rireki::Exec(db, "INSERT INTO main.racer SELECT * FROM src.racer", target, Doing::Write);
  rireki::Exec(db, "DETACH src", target, Doing::Write);
}

}  // namespace tidewake
