#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <vector>

namespace tidewake {

// Shift_JIS as the race files use it: code page 932 with its NEC and IBM extensions.
//
// Bytes 0x00..0x7F are ASCII. A byte or byte pair that is not a character of the code page decodes
// to U+FFFD and decoding goes on with the next byte, so a bad file never stops a read and never
// shifts the columns of the characters around the bad bytes by more than the bad bytes themselves.

// Throws std::runtime_error when this Qt cannot convert code page 932 (no ICU): the program
// cannot read a single race file without it, so it must not start.
void EnsureShiftJisCodec();

QString DecodeSjis(QByteArrayView bytes);

// Decodes into `out`, which has room for bytes.size() characters (a character never takes more
// than its bytes); returns the number of characters written.
qsizetype DecodeSjisInto(QByteArrayView bytes, char16_t* out);

// Decodes into `out` in the room it already has: a reader decoding line after line into one
// text allocates only when a line is longer than any before it.
void DecodeSjisInto(QByteArrayView bytes, QString& out);

// A short text decoded into a buffer of its own: for the fields a reader tests and drops (numbers,
// markers), so that reading them costs no allocation. A longer text is decoded as DecodeSjis does.
class SjisField {
 public:
  explicit SjisField(QByteArrayView bytes) {
    if (bytes.size() <= kSmall) {
      size_ = DecodeSjisInto(bytes, small_);
    } else {
      large_ = DecodeSjis(bytes);
      size_ = -1;
    }
  }
  SjisField(const SjisField&) = delete;
  SjisField& operator=(const SjisField&) = delete;

  QStringView view() const { return size_ >= 0 ? QStringView(small_, size_) : QStringView(large_); }
  QString toString() const { return view().toString(); }

 private:
  static constexpr qsizetype kSmall = 32;
  char16_t small_[kSmall];
  QString large_;
  qsizetype size_;
};

// The character columns of a line not yet decoded, counted as DecodeSjis counts characters (a lead
// byte and a byte that can end a pair are one character; any other byte is one on its own): a
// field at a character column is cut from the bytes without decoding the line. Only the
// characters up to the line's last byte outside ASCII are walked; every byte after it is a
// character of its own.
class SjisColumns {
 public:
  explicit SjisColumns(QByteArrayView line);

  // The number of characters of the line.
  qsizetype size() const { return size_; }
  // Where character k (from 0, at most size()) starts; size() gives the end of the line.
  qsizetype Offset(qsizetype k) const {
    return k < head_ ? (head_ <= kInline ? inline_[k] : heap_[k]) : tailFrom_ + (k - head_);
  }
  // The bytes of characters start..start + length - 1 (from 1), cut as Mid cuts the decoded line:
  // what lies outside the line is missing.
  QByteArrayView Mid(qsizetype start, qsizetype length) const {
    if (start < 1 || length <= 0 || start > size_) return {};
    const qsizetype from = Offset(start - 1);
    return line_.sliced(from, Offset(std::min(start - 1 + length, size_)) - from);
  }
  // The bytes of the last `length` characters (the whole line when it is shorter).
  QByteArrayView Right(qsizetype length) const {
    if (length <= 0) return {};
    return line_.sliced(Offset(std::max<qsizetype>(size_ - length, 0)));
  }

 private:
  static constexpr qsizetype kInline = 64;
  QByteArrayView line_;
  qsizetype head_ = 0;      // characters walked one by one
  qsizetype tailFrom_ = 0;  // where the ASCII tail after them starts
  qsizetype size_ = 0;
  qsizetype inline_[kInline];    // read only below head_
  std::vector<qsizetype> heap_;  // the starts, when more than kInline characters were walked
};

// True when byte `at` of the line starts a character as DecodeSjis reads the line, false when it is
// the second byte of a pair (or outside the line): bytes found by a byte search are the characters
// they look like only where they start one.
bool StartsSjisCharacter(QByteArrayView line, qsizetype at);

// True when every byte is ASCII: the line's characters are then its bytes, one for one.
bool IsAsciiBytes(QByteArrayView bytes);

// Characters the code page cannot hold become "?".
QByteArray EncodeSjis(QStringView text);

// Length of the text in code-page bytes: full-width characters count 2, ASCII and half-width
// kana 1. Characters the code page cannot hold count as the "?" that encoding gives.
int SjisByteLength(QStringView text);

// True when the byte starts a two-byte character of code page 932.
constexpr bool IsSjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

constexpr bool IsSjisTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

}  // namespace tidewake
