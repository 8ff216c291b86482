#pragma once

#include "platform/SjisText.h"

#include <QByteArrayView>

#include <algorithm>
#include <optional>

namespace tidewake {

// The character columns of a programme's entrant line as the official files print it, told by its
// bytes alone: the boat number 1..6 and a blank, the racer's number in four ASCII bytes, the name
// in four double-byte characters, the age in two ASCII bytes, the birthplace in two double-byte
// characters, and nothing but ASCII from there to the end of the line
// ("1 3501川上昇平54長崎55B1 4.92 25.30 ..."). On such a line every character after the
// birthplace is one byte, so a column is at a fixed byte and no walk of the line is needed; the
// columns are those SjisColumns gives the same line. Any other line (a half-width character in
// the name, a byte outside ASCII after the birthplace, a blank before the boat number, a line
// shorter than the birthplace) has none, and the column reader reads it.
class EntrantColumns {
 public:
  static std::optional<EntrantColumns> Of(QByteArrayView line) {
    const auto* b = reinterpret_cast<const unsigned char*>(line.data());
    if (line.size() < kFixedBytes || b[0] < '1' || b[0] > '6' || b[1] != ' ') return std::nullopt;
    const auto pair = [b](int at) { return IsSjisLeadByte(b[at]) && IsSjisTrailByte(b[at + 1]); };
    const auto ascii = [b](int at) { return b[at] < 0x80; };
    if (!(ascii(2) && ascii(3) && ascii(4) && ascii(5) && pair(6) && pair(8) && pair(10) && pair(12) && ascii(14) &&
          ascii(15) && pair(16) && pair(18))) {
      return std::nullopt;
    }
    if (!IsAsciiBytes(line.sliced(kFixedBytes))) return std::nullopt;
    return EntrantColumns(line);
  }

  // As SjisColumns: the number of characters, where character k (from 0) starts, and the bytes of
  // characters start..start + length - 1 (from 1), what lies outside the line missing.
  qsizetype size() const { return line_.size() - kPairs; }
  static constexpr qsizetype Offset(qsizetype k) {
    if (k < 6) return k;
    if (k < 10) return 2 * k - 6;  // the name: two bytes a character
    if (k < 12) return k + 4;
    if (k < 14) return 2 * k - 8;  // the birthplace
    return k + kPairs;
  }
  QByteArrayView Mid(qsizetype start, qsizetype length) const {
    if (start < 1 || length <= 0 || start > size()) return {};
    const qsizetype from = Offset(start - 1);
    return line_.sliced(from, Offset(std::min(start - 1 + length, size())) - from);
  }

 private:
  static constexpr qsizetype kFixedBytes = 20;  // up to the end of the birthplace
  static constexpr qsizetype kPairs = 6;        // the double-byte characters
  explicit EntrantColumns(QByteArrayView line) : line_(line) {}
  QByteArrayView line_;
};

}  // namespace tidewake
