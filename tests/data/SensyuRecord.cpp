#include "tests/data/SensyuRecord.h"

#include "platform/SjisText.h"

namespace tidewake::test {

namespace {

QByteArray Digits(int value, int width) { return QByteArray::number(value).rightJustified(width, '0'); }

QByteArray Sjis(const char16_t* text) { return EncodeSjis(QString::fromUtf16(text)); }

// Bytes 0..173, shared by both layouts.
QByteArray CommonHead(const QByteArray& no) {
  QByteArray r;
  r += no;
  r += Sjis(u"試験　太郎　　　");  // 16 bytes: 試 験 U+3000 太 郎 and three U+3000
  r += Sjis(u"ｼｹﾝ ﾀﾛｳ        ");   // 15 half-width bytes
  r += Sjis(u"東京");
  r += "A1";
  r += "S550101";
  r += "1";
  r += "45";
  r += "168";
  r += "52";
  r += "O ";
  r += "0652";
  r += "0452";
  r += "030";
  r += "025";
  r += "100";
  r += "03";
  r += "01";
  r += "017";
  const int entries[] = {30, 20, 15, 15, 10, 10};
  for (int c = 1; c <= 6; ++c) {
    r += Digits(entries[c - 1], 3);
    r += Digits(500 + c, 4);
    r += Digits(10 + c, 3);
    r += Digits(205 + 10 * c, 3);
  }
  r += "A2B1B2";
  r += "5250";
  r += "5350";
  return r;
}

QByteArray CourseBlockB() {
  QByteArray r;
  for (int c = 1; c <= 6; ++c) {
    for (int k = 1; k <= 6; ++k) r += Digits(c + k, 3);
    for (int code = 0; code < 8; ++code) r += Digits(code == 0 ? c : code, 2);
  }
  r += "01020304";
  return r;
}

}  // namespace

QByteArray CurrentRecord(const QByteArray& no) {
  QByteArray r = CommonHead(no);
  r += "2026";
  r += "2";
  r += "20251101";
  r += "20260430";
  r += "100";
  r += CourseBlockB();
  return r;
}

QByteArray CurrentRecord(const QByteArray& no, int yoseiKi) {
  return Put(CurrentRecord(no), fan::YoseiKi, Digits(yoseiKi, 3));
}

QByteArray OlderRecord(const QByteArray& no) {
  QByteArray r = CommonHead(no);
  r += "02";
  r += "1";
  r += "020501";
  r += "021031";
  r += "85";
  r += CourseBlockB();
  return r;
}

QByteArray Put(QByteArray record, int pos, const QByteArray& bytes) {
  if (record.size() < pos + bytes.size()) record = record.leftJustified(pos + bytes.size(), ' ');
  record.replace(pos, bytes.size(), bytes);
  return record;
}

QByteArray FanFile(const QList<QByteArray>& lines) {
  QByteArray out;
  for (const QByteArray& line : lines) out += line + "\r\n";
  return out;
}

}  // namespace tidewake::test
