#pragma once

// The history database's own use of SQLite, inside history/ only: statements bound by position,
// rows read by column, the compact forms values are kept in, and SQLite's failures said in the
// program's words.

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidewake::rireki {

// What was being done when SQLite failed: it chooses the words of the message.
enum class Doing { Open, Read, Write };

// Throws the RuntimeError for SQLite's result `rc` on `db` (null before a connection exists):
// another program's lock, a read-only file or folder, a full disk, an I/O failure, a damaged
// file, each in its own words and number (ErrNo::History*), with SQLite's own text only as a detail.
[[noreturn]] void Fail(sqlite3* db, int rc, const QString& path, Doing doing);

// The message of a failure: the sentence, SQLite's text as a detail, the path.
QString FailureText(int rc, const QString& path, Doing doing, const QString& detail);

// Runs one statement that returns no rows the caller needs.
void Exec(sqlite3* db, const char* sql, const QString& path, Doing doing);
// The first column of the first row of `sql`, as an integer (0 when there is no row).
std::int64_t Scalar(sqlite3* db, const char* sql, const QString& path, Doing doing);

// One statement, prepared once, bound by position and run. A text is copied as it is bound (as
// UTF-8, into a buffer of the statement's own for its place), so it need not outlive the call.
class Statement {
 public:
  Statement(sqlite3* db, const QString& sql, const QString& path, Doing doing = Doing::Write);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& operator<<(const QString& s) { return *this << QStringView(s); }
  Statement& operator<<(QStringView s);
  Statement& operator<<(int v);
  Statement& operator<<(std::int64_t v);
  Statement& operator<<(std::int16_t v) { return *this << static_cast<int>(v); }
  Statement& operator<<(bool v) { return *this << static_cast<int>(v); }
  Statement& operator<<(double v);
  Statement& operator<<(std::nullptr_t);
  Statement& Bytes(const QByteArray& b);

  // Steps the statement once; true when it gave a row (read it through Rows' accessors with row()).
  bool Step();
  // Runs it to its end and makes it ready for new values.
  void Run();
  void Reset();
  sqlite3_stmt* handle() const { return stmt_; }

 private:
  Statement& Check(int rc);
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  QString path_;
  Doing doing_;
  int n_ = 0;
  std::vector<std::string> texts_;  // the texts bound, as UTF-8, by place
};

// A text's UTF-8 form into `out` (reused, so that it is allocated once); a surrogate without
// its other half becomes U+FFFD.
void Utf8Into(QStringView s, std::string& out);

// A read: its rows one by one.
class Rows {
 public:
  Rows(sqlite3* db, const char* sql, const QString& path);
  ~Rows();
  Rows(const Rows&) = delete;
  Rows& operator=(const Rows&) = delete;

  Rows& Bind(std::int64_t v);
  Rows& Bind(const QString& s);
  Rows& BindNull();
  bool next();
  // Ready to be bound and run again.
  void Reset();

  int Type(int i) const { return sqlite3_column_type(stmt_, i); }
  bool Null(int i) const { return Type(i) == SQLITE_NULL; }
  std::int64_t Int64(int i) const { return sqlite3_column_int64(stmt_, i); }
  int Int(int i) const { return sqlite3_column_int(stmt_, i); }
  std::int16_t I16(int i) const;
  bool Bool(int i) const { return Int64(i) != 0; }
  double Real(int i) const { return sqlite3_column_double(stmt_, i); }
  QString Text(int i) const;
  sqlite3_stmt* handle() const { return stmt_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  QString path_;
  int n_ = 0;
};

// One read transaction: every query of a read sees the same file, whatever another program
// writes meanwhile.
class ReadTransaction {
 public:
  ReadTransaction(sqlite3* db, const QString& path) : db_(db) {
    own_ = sqlite3_get_autocommit(db_) != 0;
    if (own_) Exec(db_, "BEGIN", path, Doing::Read);
  }
  ~ReadTransaction() {
    if (own_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  }
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;

 private:
  sqlite3* db_;
  bool own_ = false;
};

// The compact forms. Each keeps a value exactly: a value that has no compact form is kept as it
// is, and the column's type (integer, real, text or bytes) tells which form a row holds.
namespace codec {

// A venue code: the integer when it is two decimal digits ("04" as 4), the text otherwise.
void Code(Statement& s, const QString& code);
QString Code(const Rows& r, int i);
// A number kept as text (registration, motor and boat numbers): the integer when the text is
// its plain decimal form ("4593", not "04593" or " 45"), the text otherwise.
void Number(Statement& s, const QString& number);
QString Number(const Rows& r, int i);
// The number's value when its text is that plain decimal form, none otherwise.
std::optional<std::int32_t> PlainValue(QStringView number);
// The same to bind in a read.
void BindNumber(Rows& r, const QString& number);
void BindCode(Rows& r, const QString& code);
// A single-precision figure: an integer count of 1/scale when it comes back as the same float
// (7.57 as 757 at 100), the real otherwise; not-a-number as the text "NaN".
void Scaled(Statement& s, float v, int scale);
float Scaled(const Rows& r, int i, int scale);
// A text printed to a fixed width padded with blanks ("5           "): the text without its
// padding when that is all it is, its bytes otherwise.
void Padded(Statement& s, const QString& text, int width);
QString Padded(const Rows& r, int i, int width);

}  // namespace codec

}  // namespace tidewake::rireki
