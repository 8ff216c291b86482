#include "platform/ByteScan.h"

#include <QByteArray>

#include <random>

#include <gtest/gtest.h>

using namespace tidewake;

namespace {

// The byte-by-byte loops the searches must equal.
qsizetype NaiveEither(const QByteArray& b, qsizetype from, qsizetype n, char x, char y) {
  while (from < n && b[from] != x && b[from] != y) ++from;
  return from;
}
qsizetype NaiveSkip(const QByteArray& b, qsizetype from, qsizetype n, char c) {
  while (from < n && b[from] == c) ++from;
  return from;
}

}  // namespace

// Every start and end within texts of 0 to 40 bytes (so every place around the eight-byte steps),
// made of the bytes searched for, their neighbours in value, and bytes outside ASCII whose
// arithmetic in a word could spill into the next byte (0x80, 0xFF, 0x01).
TEST(ByteScan, AnswersAsTheByteLoop) {
  std::mt19937 random(7);
  const char alphabet[] = {' ', '\r', '\n', '!', '\x0c', '\x0e', '\x1f', 'a', '\x80', '\xff', '\x01', '\x00', '\x8d'};
  for (int round = 0; round < 400; ++round) {
    QByteArray b(static_cast<qsizetype>(round % 41), 'a');
    // Some texts of one byte only, some with a single odd byte, the rest mixed.
    const int shape = round % 3;
    for (qsizetype i = 0; i < b.size(); ++i) {
      b[i] = shape == 0 ? ' ' : alphabet[random() % sizeof alphabet];
    }
    if (shape == 0 && !b.isEmpty()) b[static_cast<qsizetype>(random() % b.size())] = '\n';
    SCOPED_TRACE(b.toHex().toStdString());
    for (qsizetype n = 0; n <= b.size(); ++n) {
      for (qsizetype from = 0; from <= n; ++from) {
        ASSERT_EQ(FindEither(b.constData(), from, n, '\r', '\n'), NaiveEither(b, from, n, '\r', '\n'))
            << from << ' ' << n;
        ASSERT_EQ(FindByte(b.constData(), from, n, ' '), NaiveEither(b, from, n, ' ', ' ')) << from << ' ' << n;
        ASSERT_EQ(FindByte(b.constData(), from, n, '\xff'), NaiveEither(b, from, n, '\xff', '\xff'));
        ASSERT_EQ(SkipByte(b.constData(), from, n, ' '), NaiveSkip(b, from, n, ' ')) << from << ' ' << n;
        ASSERT_EQ(SkipByte(b.constData(), from, n, '\x80'), NaiveSkip(b, from, n, '\x80'));
      }
    }
  }
}
