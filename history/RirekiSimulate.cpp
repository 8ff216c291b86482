#include "history/RirekiSimulate.h"

#include "history/RirekiSql.h"
#include "history/cRirekiDb.h"
#include "platform/RuntimeError.h"

#include <QStringList>

#include <cstring>
#include <memory>

namespace tidewake {

namespace {

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;

// A plain connection to a history file (no checks, no settings): for copying and reading rows
// wholesale.
Connection Open(const QString& path, int flags) {
  sqlite3* db = nullptr;
  const QByteArray file = path.toUtf8();
  const int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
  Connection connection(db);
  if (rc != SQLITE_OK) rireki::Fail(nullptr, rc, path, rireki::Doing::Open);
  return connection;
}

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
  const Connection connection = Open(target, SQLITE_OPEN_READWRITE);
  sqlite3* db = connection.get();
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

namespace {

// A file's rows of `table`, packed, by the statement `sql` bound to the file's id.
HeldRows::Table ReadTable(sqlite3* db, int table, const char* sql, std::int64_t source, const QString& path) {
  HeldRows::Table t;
  t.table = table;
  rireki::Rows r(db, sql, path);
  if (source >= 0) r.Bind(source);
  sqlite3_stmt* stmt = r.handle();
  auto put = [&t](const void* bytes, std::size_t n) { t.packed.append(static_cast<const char*>(bytes), n); };
  while (r.next()) {
    ++t.rows;
    for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i) {
      const char type = static_cast<char>(sqlite3_column_type(stmt, i));
      t.packed += type;
      if (type == SQLITE_INTEGER) {
        const std::int64_t v = sqlite3_column_int64(stmt, i);
        put(&v, sizeof v);
      } else if (type == SQLITE_FLOAT) {
        const double v = sqlite3_column_double(stmt, i);
        put(&v, sizeof v);
      } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
        const void* bytes =
            type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_column_text(stmt, i)) : sqlite3_column_blob(stmt, i);
        const auto length = static_cast<std::uint32_t>(sqlite3_column_bytes(stmt, i));
        put(&length, sizeof length);
        put(bytes, length);
      }
    }
  }
  return t;
}

}  // namespace

const std::vector<const char*>& HeldTables() {
  static const std::vector<const char*> tables{"source",    "racer",  "b_meeting", "b_race",    "entrant",
                                               "k_meeting", "k_race", "result",    "exhibition"};
  return tables;
}

HeldRows ReadHeldRows(const QString& path) {
  const cRirekiDb checked(path, RirekiAccess::ReadOnly);  // ours, and of this version
  const Connection connection = Open(path, SQLITE_OPEN_READONLY);
  sqlite3* h = connection.get();
  const rireki::ReadTransaction read(h, path);
  // A file's rows: those of the venues whose meeting came from it.
  auto venues = [](const char* table, const char* meeting, const char* key) {
    return QStringLiteral(
               "SELECT t.* FROM %1 t JOIN %2 m ON t.day = m.day AND t.jyo = m.jyo WHERE m.source = ?1"
               " ORDER BY %3")
        .arg(QLatin1String(table), QLatin1String(meeting), QLatin1String(key))
        .toUtf8();
  };
  const QByteArray bRace = venues("b_race", "b_meeting", "t.day, t.jyo, t.race_no");
  const QByteArray entrant = venues("entrant", "b_meeting", "t.day, t.jyo, t.race_no, t.waku");
  const QByteArray kRace = venues("k_race", "k_meeting", "t.day, t.jyo, t.race_no");
  const QByteArray result = venues("result", "k_meeting", "t.day, t.jyo, t.race_no, t.line");
  HeldRows held;
  rireki::Rows sources(h, "SELECT id, kind FROM source ORDER BY id", path);
  while (sources.next()) {
    const std::int64_t id = sources.Int64(0);
    const bool programme = sources.Text(1) == u"B";
    std::vector<HeldRows::Table> file;
    file.push_back(ReadTable(h, 0, "SELECT * FROM source WHERE id = ?1", id, path));
    if (held.files.empty()) file.push_back(ReadTable(h, 1, "SELECT * FROM racer ORDER BY sensyu_no", -1, path));
    if (programme) {
      file.push_back(ReadTable(h, 2, "SELECT * FROM b_meeting WHERE source = ?1 ORDER BY day, jyo", id, path));
      file.push_back(ReadTable(h, 3, bRace.constData(), id, path));
      file.push_back(ReadTable(h, 4, entrant.constData(), id, path));
    } else {
      file.push_back(ReadTable(h, 5, "SELECT * FROM k_meeting WHERE source = ?1 ORDER BY day, jyo", id, path));
      file.push_back(ReadTable(h, 6, kRace.constData(), id, path));
      file.push_back(ReadTable(h, 7, result.constData(), id, path));
    }
    if (held.files.empty()) {
      file.push_back(ReadTable(h, 8, "SELECT * FROM exhibition ORDER BY day, jyo, race_no, waku", -1, path));
    }
    for (const auto& t : file) held.rows += t.rows;
    held.files.push_back(std::move(file));
  }
  return held;
}

void WriteHeldRows(cRirekiDb& db, const HeldRows& rows, int filesPerBatch, int rowsPerStatement) {
  const cRirekiDb::ImportMark mark(db);
  sqlite3* h = db.handle();
  const std::vector<const char*>& tables = HeldTables();
  // Per table: its number of columns, and its statements for one row and for rowsPerStatement rows.
  std::vector<int> columns;
  // Bound through their handles: the packed bytes stay put while a statement runs, so nothing is copied.
  std::vector<std::unique_ptr<rireki::Statement>> one, many;
  auto prepare = [&](const char* table, int n, int rowCount) {
    QString sql = QStringLiteral("INSERT %1INTO %2 VALUES ")
                      .arg(rowCount > 1 ? QStringLiteral("OR FAIL ") : QString(), QLatin1String(table));
    const QString row = QStringLiteral("(") + QStringLiteral("?,").repeated(n - 1) + QStringLiteral("?)");
    for (int i = 0; i < rowCount; ++i) sql += (i ? QStringLiteral(",") : QString()) + row;
    return std::make_unique<rireki::Statement>(h, sql, db.path());
  };
  for (const char* table : tables) {
    const int n = static_cast<int>(rireki::Scalar(
        h,
        QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('%1')").arg(QLatin1String(table)).toUtf8().constData(),
        db.path(), Doing::Read));
    columns.push_back(n);
    one.push_back(prepare(table, n, 1));
    many.push_back(prepare(table, n, rowsPerStatement));
  }
  // Binds the next `count` rows from `at` and runs the statement.
  auto run = [&](rireki::Statement& statement, int n, int count, const char*& at) {
    sqlite3_stmt* s = statement.handle();
    int place = 1;
    for (int r = 0; r < count; ++r) {
      for (int c = 0; c < n; ++c, ++place) {
        const char type = *at++;
        if (type == SQLITE_INTEGER) {
          std::int64_t v;
          std::memcpy(&v, at, sizeof v);
          at += sizeof v;
          sqlite3_bind_int64(s, place, v);
        } else if (type == SQLITE_FLOAT) {
          double v;
          std::memcpy(&v, at, sizeof v);
          at += sizeof v;
          sqlite3_bind_double(s, place, v);
        } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
          std::uint32_t length;
          std::memcpy(&length, at, sizeof length);
          at += sizeof length;
          const int len = static_cast<int>(length);
          if (type == SQLITE_TEXT) {
            sqlite3_bind_text(s, place, at, len, SQLITE_STATIC);
          } else {
            sqlite3_bind_blob(s, place, at, len, SQLITE_STATIC);
          }
          at += length;
        } else {
          sqlite3_bind_null(s, place);
        }
      }
    }
    statement.Run();
  };
  const struct Guard {
    cRirekiDb& db;
    ~Guard() { db.RollbackBatch(); }
  } guard{db};
  int inBatch = 0;
  for (const auto& file : rows.files) {
    if (!db.InBatch()) db.BeginBatch();
    for (const HeldRows::Table& t : file) {
      const char* at = t.packed.data();
      const int n = columns[static_cast<std::size_t>(t.table)];
      std::int64_t left = t.rows;
      for (; left >= rowsPerStatement && rowsPerStatement > 1; left -= rowsPerStatement) {
        run(*many[static_cast<std::size_t>(t.table)], n, rowsPerStatement, at);
      }
      for (; left > 0; --left) run(*one[static_cast<std::size_t>(t.table)], n, 1, at);
    }
    if (++inBatch >= filesPerBatch) {
      db.CommitBatch();
      inBatch = 0;
    }
  }
  db.CommitBatch();
}

}  // namespace tidewake
