#include "platform/SjisText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <stdexcept>

namespace tidewake {
namespace {

constexpr const char* kCodecName = "windows-31j";
constexpr char16_t kReplacement = 0xFFFD;

// The ICU converter behind the codec name swaps three ASCII control codes (0x1A, 0x1C, 0x7F) the
// way IBM code pages do and marks bad input with U+001A. ASCII therefore never goes through it.
bool IsPlainSingleByte(unsigned char b) { return b < 0x80 || (b >= 0xA1 && b <= 0xDF); }
bool IsSwappedControl(unsigned char b) { return b == 0x1A || b == 0x1C || b == 0x7F; }

QStringDecoder& Decoder() {
  thread_local QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
  return decoder;
}

QStringEncoder& Encoder() {
  thread_local QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
  return encoder;
}

// The converter's error flag cannot be cleared once set, so errors are told by what it writes:
// U+001A for bytes it cannot decode (no character of the code page decodes to it once the
// control codes are kept away), the unassigned pair 0xFC 0xFC for characters it cannot encode.
constexpr char16_t kDecodeSub = 0x1A;
const QByteArray kEncodeSub("\xfc\xfc", 2);

// Decodes one character of one or two bytes; U+FFFD when the code page has no such character.
QChar DecodeOne(const char* p, qsizetype n) {
  const QString s = Decoder().decode(QByteArrayView(p, n));
  if (s.size() != 1 || s.at(0).unicode() == kDecodeSub) return QChar(kReplacement);
  return s.at(0);
}

// Byte-by-byte path for lines with bad bytes or control codes.
QString DecodeCareful(QByteArrayView bytes) {
  QString out;
  out.reserve(bytes.size());
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const qsizetype n = bytes.size();
  for (qsizetype i = 0; i < n; ++i) {
    const unsigned char c = b[i];
    if (c < 0x80) {
      out.append(QChar(c));
    } else if (IsSjisLeadByte(c) && i + 1 < n && IsSjisTrailByte(b[i + 1])) {
      out.append(DecodeOne(bytes.data() + i, 2));
      ++i;
    } else if (c >= 0xA1 && c <= 0xDF) {
      out.append(DecodeOne(bytes.data() + i, 1));
    } else {
      out.append(QChar(kReplacement));
    }
  }
  return out;
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

QString DecodeSjis(QByteArrayView bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const qsizetype n = bytes.size();
  // Walk the character structure once: pure ASCII needs no converter at all, and any bad byte or
  // swapped control code sends the line down the careful path.
  bool ascii = true;
  bool control = false;
  for (qsizetype i = 0; i < n; ++i) {
    const unsigned char c = b[i];
    if (c < 0x80) {
      control = control || IsSwappedControl(c);
      continue;
    }
    ascii = false;
    if (IsSjisLeadByte(c)) {
      if (i + 1 >= n || !IsSjisTrailByte(b[i + 1])) return DecodeCareful(bytes);
      ++i;
    } else if (!IsPlainSingleByte(c)) {
      return DecodeCareful(bytes);
    }
  }
  if (ascii) return QString::fromLatin1(bytes.data(), n);
  if (control) return DecodeCareful(bytes);
  QString s = Decoder().decode(bytes);
  // Pairs of valid shape can still be unassigned codes (0x85 0x40).
  if (s.contains(QChar(kDecodeSub))) return DecodeCareful(bytes);
  return s;
}

QByteArray EncodeSjis(QStringView text) {
  QByteArray out;
  out.reserve(text.size() * 2);
  auto& enc = Encoder();
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
