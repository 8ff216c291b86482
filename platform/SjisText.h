#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

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

// Characters the code page cannot hold become "?".
QByteArray EncodeSjis(QStringView text);

// Length of the text in code-page bytes: full-width characters count 2, ASCII and half-width
// kana 1. Characters the code page cannot hold count as the "?" that encoding gives.
int SjisByteLength(QStringView text);

// True when the byte starts a two-byte character of code page 932.
constexpr bool IsSjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

constexpr bool IsSjisTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

}  // namespace tidewake
