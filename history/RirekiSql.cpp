#include "history/RirekiSql.h"

#include "platform/RuntimeError.h"

#include <QFileInfo>

#include <cfloat>
#include <cmath>
#include <limits>

namespace tidewake::rireki {

namespace {

// A text's characters for SQLite; never null, which it would store as NULL.
const void* Utf16(const QString& s) { return s.isNull() ? static_cast<const void*>(u"") : s.utf16(); }

// Why a write was refused by the file system: the file, or the folder its journal goes in.
QString ReadOnlyReason(const QString& path) {
  const QFileInfo file(path);
  if (file.exists() && !file.isWritable()) return QStringLiteral("読み取り専用のファイルです");
  const QFileInfo folder(file.absolutePath());
  if (!folder.isWritable()) return QStringLiteral("ファイルのあるフォルダに書き込めません");
  return QStringLiteral("書き込みが許されていません");
}

struct Words {
  int number;
  QString head, tail;
};

Words WordsFor(int rc, const QString& path, Doing doing) {
  const QString cannot = doing == Doing::Write  ? QStringLiteral("履歴データベースに書き込めません")
                         : doing == Doing::Read ? QStringLiteral("履歴データベースを読めません")
                                                : QStringLiteral("履歴データベースを開けません");
  switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return {ErrNo::HistoryLocked,
              cannot + QStringLiteral("。ほかのプログラムが使用中です。しばらくしてからやり直してください"),
              {}};
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return {ErrNo::HistoryReadOnly, QStringLiteral("履歴データベースに書き込めません。") + ReadOnlyReason(path), {}};
    case SQLITE_FULL:
      return {ErrNo::HistoryFull, QStringLiteral("履歴データベースに書き込めません。ディスクの空きが足りません"), {}};
    case SQLITE_IOERR:
      return {ErrNo::HistoryIo, cannot + QStringLiteral("。ディスクの読み書きに失敗しました"), {}};
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return {ErrNo::HistoryDamaged, QStringLiteral("履歴データベースが壊れています"),
              QStringLiteral("。このファイルは書き換えません")};
    case SQLITE_NOMEM:
      return {ErrNo::OutOfMemory, cannot + QStringLiteral("。メモリが足りません"), {}};
    case SQLITE_INTERRUPT:
      return {ErrNo::HistoryTooSlow,
              QStringLiteral("履歴データベースの問い合わせに時間がかかりすぎたため打ち切りました"),
              {}};
    case SQLITE_CANTOPEN: {
      const QFileInfo file(path);
      if (!QFileInfo(file.absolutePath()).isDir()) {
        return {ErrNo::HistoryCannotOpen, cannot + QStringLiteral("。フォルダがありません"), {}};
      }
      if (file.exists() && !file.isReadable()) {
        return {ErrNo::HistoryCannotOpen, cannot + QStringLiteral("。読み取りが許されていません"), {}};
      }
      if (doing != Doing::Read) {
        return {
            ErrNo::HistoryReadOnly, QStringLiteral("履歴データベースに書き込めません。") + ReadOnlyReason(path), {}};
      }
      return {ErrNo::HistoryCannotOpen, cannot, {}};
    }
    default:
      return {doing == Doing::Open ? ErrNo::HistoryCannotOpen : ErrNo::HistoryIo, cannot, {}};
  }
}

}  // namespace

QString FailureText(int rc, const QString& path, Doing doing, const QString& detail) {
  const Words w = WordsFor(rc, path, doing);
  const QString aside = detail.isEmpty() ? QString() : QStringLiteral("（SQLite: %1）").arg(detail);
  return w.head + aside + w.tail + QStringLiteral(": ") + path;
}

void Fail(sqlite3* db, int rc, const QString& path, Doing doing) {
  // SQLite's own words for the last failure on the connection when it has one, else its words
  // for the code.
  QString detail = QString::fromUtf8(sqlite3_errstr(rc));
  if (db && sqlite3_errcode(db) == rc) detail = QString::fromUtf8(sqlite3_errmsg(db));
  throw RuntimeError(WordsFor(rc, path, doing).number, FailureText(rc, path, doing, detail));
}

void Exec(sqlite3* db, const char* sql, const QString& path, Doing doing) {
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) Fail(db, rc, path, doing);
}

std::int64_t Scalar(sqlite3* db, const char* sql, const QString& path, Doing doing) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  if (rc != SQLITE_OK) Fail(db, rc, path, doing);
  rc = sqlite3_step(stmt);
  const std::int64_t v = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(db, rc, path, doing);
  return v;
}

Statement::Statement(sqlite3* db, const QString& sql, const QString& path, Doing doing)
    : db_(db), path_(path), doing_(doing) {
  const QByteArray text = sql.toUtf8();
  const int rc = sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) Fail(db_, rc, path_, doing_);
  // A buffer for every place, made now: SQLite reads a bound text where it stands, so a buffer
  // must never move once bound (growing the list would move the short texts kept inside it).
  texts_.resize(static_cast<std::size_t>(sqlite3_bind_parameter_count(stmt_)));
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Check(int rc) {
  if (rc != SQLITE_OK) Fail(db_, rc, path_, doing_);
  return *this;
}

void Utf8Into(QStringView s, std::string& out) {
  out.resize(static_cast<std::size_t>(s.size()) * 3);
  char* o = out.data();
  const char16_t* p = s.utf16();
  const char16_t* const end = p + s.size();
  while (p < end) {
    const char32_t c = *p++;
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *o++ = static_cast<char>(0xC0 | c >> 6);
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c >= 0xD800 && c < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000) {
      const char32_t u = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
      *o++ = static_cast<char>(0xF0 | u >> 18);
      *o++ = static_cast<char>(0x80 | (u >> 12 & 0x3F));
      *o++ = static_cast<char>(0x80 | (u >> 6 & 0x3F));
      *o++ = static_cast<char>(0x80 | (u & 0x3F));
    } else {
      // A surrogate without its other half has no UTF-8 form: the replacement character.
      const char32_t u = c >= 0xD800 && c < 0xE000 ? char32_t{0xFFFD} : c;
      *o++ = static_cast<char>(0xE0 | u >> 12);
      *o++ = static_cast<char>(0x80 | (u >> 6 & 0x3F));
      *o++ = static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

// A text is bound as UTF-8, the file's own encoding, from a buffer the statement keeps for that
// place: SQLite would otherwise translate every UTF-16 text into a buffer of its own as it writes
// the row.
Statement& Statement::operator<<(QStringView s) {
  const auto at = static_cast<std::size_t>(n_);
  if (at >= texts_.size()) return Check(SQLITE_RANGE);
  std::string& utf8 = texts_[at];
  Utf8Into(s, utf8);
  return Check(sqlite3_bind_text(stmt_, ++n_, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC));
}
Statement& Statement::operator<<(int v) { return Check(sqlite3_bind_int(stmt_, ++n_, v)); }
Statement& Statement::operator<<(std::int64_t v) { return Check(sqlite3_bind_int64(stmt_, ++n_, v)); }
Statement& Statement::operator<<(double v) { return Check(sqlite3_bind_double(stmt_, ++n_, v)); }
Statement& Statement::operator<<(std::nullptr_t) { return Check(sqlite3_bind_null(stmt_, ++n_)); }
Statement& Statement::Bytes(const QByteArray& b) {
  if (b.isEmpty()) return Check(sqlite3_bind_zeroblob(stmt_, ++n_, 0));
  return Check(sqlite3_bind_blob(stmt_, ++n_, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT));
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) {
    sqlite3_reset(stmt_);
    Fail(db_, rc, path_, doing_);
  }
  return false;
}

void Statement::Run() {
  n_ = 0;
  const int rc = sqlite3_step(stmt_);
  sqlite3_reset(stmt_);
  if (rc != SQLITE_DONE && rc != SQLITE_ROW) Fail(db_, rc, path_, doing_);
}

void Statement::Reset() {
  n_ = 0;
  sqlite3_reset(stmt_);
}

Rows::Rows(sqlite3* db, const char* sql, const QString& path) : db_(db), path_(path) {
  const int rc = sqlite3_prepare_v2(db_, sql, -1, &stmt_, nullptr);
  if (rc != SQLITE_OK) Fail(db_, rc, path_, Doing::Read);
}

Rows::~Rows() { sqlite3_finalize(stmt_); }

Rows& Rows::Bind(std::int64_t v) {
  const int rc = sqlite3_bind_int64(stmt_, ++n_, v);
  if (rc != SQLITE_OK) Fail(db_, rc, path_, Doing::Read);
  return *this;
}

Rows& Rows::Bind(const QString& s) {
  const int rc = sqlite3_bind_text16(stmt_, ++n_, Utf16(s), static_cast<int>(s.size() * 2), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) Fail(db_, rc, path_, Doing::Read);
  return *this;
}

Rows& Rows::BindNull() {
  const int rc = sqlite3_bind_null(stmt_, ++n_);
  if (rc != SQLITE_OK) Fail(db_, rc, path_, Doing::Read);
  return *this;
}

bool Rows::next() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) Fail(db_, rc, path_, Doing::Read);
  return false;
}

void Rows::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  n_ = 0;
}

std::int16_t Rows::I16(int i) const {
  // A value a crafted file put out of range reads as 0 rather than wrapping.
  const std::int64_t v = Int64(i);
  return v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max()
             ? std::int16_t{0}
             : static_cast<std::int16_t>(v);
}

QString Rows::Text(int i) const {
  const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
  return t ? QString::fromUtf8(t, sqlite3_column_bytes(stmt_, i)) : QString();
}

namespace codec {

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<std::int32_t> PlainValue(QStringView s) {
  // No sign, blank or leading zero, short enough for 32 bits.
  if (s.isEmpty() || s.size() > 9 || (s.size() > 1 && s[0] == u'0')) return std::nullopt;
  std::int32_t v = 0;
  for (QChar c : s) {
    if (!IsDigit(c)) return std::nullopt;
    v = v * 10 + (c.unicode() - u'0');
  }
  return v;
}

void Code(Statement& s, const QString& code) {
  if (code.size() == 2 && IsDigit(code[0]) && IsDigit(code[1])) {
    s << code.toInt();
  } else {
    s << code;
  }
}

QString Code(const Rows& r, int i) {
  if (r.Type(i) == SQLITE_INTEGER) return QStringLiteral("%1").arg(r.Int64(i), 2, 10, QChar(u'0'));
  return r.Text(i);
}

void BindCode(Rows& r, const QString& code) {
  if (code.size() == 2 && IsDigit(code[0]) && IsDigit(code[1])) {
    r.Bind(code.toInt());
  } else {
    r.Bind(code);
  }
}

void Number(Statement& s, const QString& number) {
  if (const auto v = PlainValue(number)) {
    s << *v;
  } else {
    s << number;
  }
}

QString Number(const Rows& r, int i) {
  if (r.Type(i) == SQLITE_INTEGER) return QString::number(r.Int64(i));
  return r.Text(i);
}

void BindNumber(Rows& r, const QString& number) {
  if (const auto v = PlainValue(number)) {
    r.Bind(*v);
  } else {
    r.Bind(number);
  }
}

void Scaled(Statement& s, float v, int scale) {
  if (std::isnan(v)) {
    s << QStringLiteral("NaN");
    return;
  }
  const double x = static_cast<double>(v) * scale;
  if (std::abs(x) < 2e9 && !(v == 0.0f && std::signbit(v))) {
    const std::int64_t n = std::llround(x);
    if (static_cast<float>(static_cast<double>(n) / scale) == v) {
      s << n;
      return;
    }
  }
  s << static_cast<double>(v);
}

float Scaled(const Rows& r, int i, int scale) {
  switch (r.Type(i)) {
    case SQLITE_INTEGER:
      return static_cast<float>(static_cast<double>(r.Int64(i)) / scale);
    case SQLITE_FLOAT: {
      // A value beyond single precision (only a crafted file holds one) is its infinity.
      const double v = r.Real(i);
      if (std::abs(v) > FLT_MAX)
        return v > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
      return static_cast<float>(v);
    }
    case SQLITE_TEXT:
      return r.Text(i) == u"NaN" ? std::numeric_limits<float>::quiet_NaN() : 0.0f;
    default:
      return 0.0f;
  }
}

void Padded(Statement& s, const QString& text, int width) {
  qsizetype end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  if (text.size() == width) {
    s << QStringView(text).left(end);
  } else {
    s.Bytes(text.toUtf8());
  }
}

QString Padded(const Rows& r, int i, int width) {
  if (r.Type(i) == SQLITE_TEXT) return r.Text(i).leftJustified(width, u' ');
  if (r.Type(i) == SQLITE_BLOB) {
    const auto* b = static_cast<const char*>(sqlite3_column_blob(r.handle(), i));
    return b ? QString::fromUtf8(b, sqlite3_column_bytes(r.handle(), i)) : QString();
  }
  return QString();
}

}  // namespace codec

}  // namespace tidewake::rireki
