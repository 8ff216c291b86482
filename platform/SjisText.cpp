#include "platform/SjisText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>

namespace tidewake {
namespace {

constexpr const char* kCodecName = "windows-31j";
constexpr char16_t kReplacement = 0xFFFD;

// The ICU converter behind the codec name swaps three ASCII control codes (0x1A, 0x1C, 0x7F) the
// way IBM code pages do and marks bad input with U+001A. ASCII therefore never goes through it.

// One converter for every thread, used under a lock (a converter keeps state while it works), and
// never destroyed. It was one per thread: a per-thread object with a destructor is destroyed as its
// thread ends, and with MinGW's thread-local storage that could come after the storage itself was
// freed, so a thread that had encoded (the import's reading thread) could crash as it ended.
struct SharedEncoder {
  std::mutex lock;
  QStringEncoder encoder{kCodecName, QStringConverter::Flag::Stateless};
};

SharedEncoder& Encoder() {
  static auto* const shared = new SharedEncoder;
  return *shared;
}

// The converter's error flag cannot be cleared once set, so errors are told by what it writes:
// U+001A for bytes it cannot decode (no character of the code page decodes to it once the
// control codes are kept away), the unassigned pair 0xFC 0xFC for characters it cannot encode.
constexpr char16_t kDecodeSub = 0x1A;
const QByteArray kEncodeSub("\xfc\xfc", 2);

// Every character of the code page, asked of the converter once: a line is then decoded by
// looking its bytes up, with no converter call and no second pass for bad bytes. The table holds
// exactly what the converter gives for each byte and byte pair, so the two cannot disagree.
class DecodeTable {
 public:
  DecodeTable() {
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    const auto one = [&decoder](const char* p, qsizetype n) -> char16_t {
      const QString s = decoder.decode(QByteArrayView(p, n));
      if (s.size() != 1 || s.at(0).unicode() == kDecodeSub) return kReplacement;
      return s.at(0).unicode();
    };
    for (int b = 0; b < 256; ++b) {
      // ASCII is never given to the converter (it would swap the control codes).
      if (b < 0x80) {
        single_[b] = static_cast<char16_t>(b);
      } else if (b >= 0xA1 && b <= 0xDF) {
        const char c = static_cast<char>(b);
        single_[b] = one(&c, 1);
      } else {
        single_[b] = kReplacement;  // a lead byte alone, or no character at all
      }
    }
    int lead = 0;
    for (int l = 0x81; l <= 0xFC; ++l) {
      if (!IsSjisLeadByte(static_cast<unsigned char>(l))) continue;
      leadIndex_[l] = static_cast<unsigned char>(lead + 1);
      for (int t = 0; t < 256; ++t) {
        if (!IsSjisTrailByte(static_cast<unsigned char>(t))) continue;  // stays kNoPair
        const char pair[2] = {static_cast<char>(l), static_cast<char>(t)};
        pairs_[lead][t] = one(pair, 2);
      }
      ++lead;
    }
  }

  // The character of the byte when it stands alone (U+FFFD for a lead byte without its trail).
  char16_t Single(unsigned char b) const { return single_[b]; }
  // 0 for a byte that starts no pair, else 1 + the row of its pairs.
  unsigned char Lead(unsigned char b) const { return leadIndex_[b]; }
  // The character of a pair (U+FFFD when the code page leaves it unassigned), or kNoPair when the
  // second byte cannot end a pair: the lead then stands alone and the byte is read on its own.
  char16_t Pair(unsigned char row, unsigned char trail) const { return pairs_[row - 1][trail]; }

  static constexpr char16_t kNoPair = 0;

 private:
  static constexpr int kLeads = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);
  char16_t single_[256] = {};
  unsigned char leadIndex_[256] = {};
  char16_t pairs_[kLeads][256] = {};
};

const DecodeTable& Table() {
  static const DecodeTable table;
  return table;
}

}  // namespace

void EnsureShiftJisCodec() {
  QStringDecoder dec(kCodecName);
  QStringEncoder enc(kCodecName);
  // 0x82A0 is HIRAGANA LETTER A: a codec that is merely "valid" but maps it wrongly is no use either.
  const QString a = dec.decode(QByteArray("\x82\xa0", 2));
  if (!dec.isValid() || !enc.isValid() || a != QString(QChar(0x3042))) {
    throw std::runtime_error(
        "This Qt cannot convert Shift_JIS (code page 932, \"windows-31j\"): Qt Core must be built "
        "with ICU to read race programmes and fan handbooks.");
  }
}

qsizetype DecodeSjisInto(QByteArrayView bytes, char16_t* out) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const qsizetype n = bytes.size();
  char16_t* o = out;
  qsizetype i = 0;
  // ASCII, nearly every byte of a race file, is copied without a look at the table.
  while (i < n && b[i] < 0x80) *o++ = b[i++];
  if (i == n) return n;
  const DecodeTable& table = Table();
  while (i < n) {
    const unsigned char c = b[i++];
    if (c < 0x80) {
      *o++ = c;
      continue;
    }
    if (const unsigned char row = table.Lead(c); row != 0 && i < n) {
      const char16_t u = table.Pair(row, b[i]);
      if (u != DecodeTable::kNoPair) {
        *o++ = u;
        ++i;
        continue;
      }
    }
    *o++ = table.Single(c);
  }
  return o - out;
}

void DecodeSjisInto(QByteArrayView bytes, QString& out) {
  out.resize(bytes.size());
  out.truncate(DecodeSjisInto(bytes, reinterpret_cast<char16_t*>(out.data())));
}

QString DecodeSjis(QByteArrayView bytes) {
  if (bytes.isEmpty()) return QString::fromLatin1(bytes.data(), 0);  // null for null bytes, as before
  QString out(bytes.size(), Qt::Uninitialized);
  out.truncate(DecodeSjisInto(bytes, reinterpret_cast<char16_t*>(out.data())));
  return out;
}

bool StartsSjisCharacter(QByteArrayView line, qsizetype at) {
  if (at < 0 || at >= line.size()) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(line.data());
  const qsizetype n = line.size();
  // The pairing rule of DecodeSjisInto, walked from the start of the line: a pair's second byte
  // is known only from the bytes before it.
  qsizetype pos = 0;
  while (pos < at) {
    const unsigned char c = b[pos];
    pos += c >= 0x80 && IsSjisLeadByte(c) && pos + 1 < n && IsSjisTrailByte(b[pos + 1]) ? 2 : 1;
  }
  return pos == at;
}

bool IsAsciiBytes(QByteArrayView bytes) {
  // Eight bytes at a time: the readers ask it of most lines.
  const char* p = bytes.data();
  qsizetype n = bytes.size();
  std::uint64_t any = 0;
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    any |= word;
  }
  for (; n > 0; ++p, --n) any |= static_cast<unsigned char>(*p);
  return (any & 0x8080808080808080ull) == 0;
}

SjisColumns::SjisColumns(QByteArrayView line) : line_(line) {
  const auto* b = reinterpret_cast<const unsigned char*>(line.data());
  const qsizetype n = line.size();
  // The last byte outside ASCII, looked for eight bytes at a time from the end.
  qsizetype last = n - 1;
  while (last >= 7) {
    std::uint64_t word;
    std::memcpy(&word, b + last - 7, sizeof word);
    if (word & 0x8080808080808080ull) break;
    last -= 8;
  }
  while (last >= 0 && b[last] < 0x80) --last;
  // The pairing rule of DecodeSjisInto: a lead byte takes the next byte when that can end a pair
  // (which may be an ASCII byte after the last one outside it). At most one start per byte walked.
  const bool large = last + 1 > kInline;
  if (large) heap_.resize(static_cast<std::size_t>(last + 1));
  qsizetype* out = large ? heap_.data() : inline_;
  qsizetype pos = 0;
  while (pos <= last) {
    out[head_++] = pos;
    const unsigned char c = b[pos];
    pos += c >= 0x80 && IsSjisLeadByte(c) && pos + 1 < n && IsSjisTrailByte(b[pos + 1]) ? 2 : 1;
  }
  if (large) {
    if (head_ <= kInline) {
      std::copy(heap_.begin(), heap_.begin() + head_, inline_);
      heap_.clear();
    } else {
      heap_.resize(static_cast<std::size_t>(head_));
    }
  }
  tailFrom_ = pos;
  size_ = head_ + (n - pos);
}

QByteArray EncodeSjis(QStringView text) {
  QByteArray out;
  out.reserve(text.size() * 2);
  SharedEncoder& shared = Encoder();
  QStringEncoder& enc = shared.encoder;
  const std::lock_guard held(shared.lock);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u < 0x80) {
      out.append(static_cast<char>(u));
      continue;
    }
    // Runs of non-ASCII characters go through the converter together.
    qsizetype j = i;
    while (j < text.size() && text[j].unicode() >= 0x80) ++j;
    const QStringView run = text.mid(i, j - i);
    QByteArray bytes = enc.encode(run);
    if (bytes.contains(kEncodeSub)) {
      // One character at a time, so that only the ones the code page lacks become "?".
      bytes.clear();
      for (QChar ch : run) {
        const QByteArray one = enc.encode(QStringView(&ch, 1));
        bytes.append(one.isEmpty() || one == kEncodeSub ? QByteArray("?") : one);
      }
    }
    out.append(bytes);
    i = j - 1;
  }
  return out;
}

int SjisByteLength(QStringView text) { return static_cast<int>(EncodeSjis(text).size()); }

}  // namespace tidewake
