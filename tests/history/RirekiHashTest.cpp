// The digest a day's file is known by: the same as Qt's SHA-256 for every length around the
// block boundaries, both with the processor's instructions and without, so that files recorded
// by older programs are still recognised.

#include "history/RirekiHash.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <random>

using namespace tidewake::rireki;

namespace {

QString QtHex(QByteArrayView bytes) {
  return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

TEST(RirekiHash, KnownDigests) {
  struct Case {
    QByteArray text;
    const char* hex;
  };
  const Case cases[] = {
      {QByteArray(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {QByteArray("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {QByteArray("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
  };
  for (const HashWay way : {HashWay::Best, HashWay::Portable}) {
    for (const Case& c : cases) EXPECT_EQ(Sha256Hex(c.text, way), QLatin1String(c.hex)) << c.text.constData();
  }
}

// Every length from nothing to past three blocks (the padding takes one block or two), and a
// large file's, of bytes of every value.
TEST(RirekiHash, EqualsQtsForEveryLengthAroundTheBlocks) {
  std::mt19937 random(20260709);
  QByteArray bytes(300'000, Qt::Uninitialized);
  for (char& b : bytes) b = static_cast<char>(random());
  std::vector<qsizetype> lengths;
  for (qsizetype n = 0; n <= 200; ++n) lengths.push_back(n);
  for (qsizetype n : {1000, 4095, 4096, 4097, 65535, 65536, 299'999, 300'000}) lengths.push_back(n);
  for (const HashWay way : {HashWay::Best, HashWay::Portable}) {
    for (const qsizetype n : lengths) {
      const QByteArrayView view(bytes.constData(), n);
      ASSERT_EQ(Sha256Hex(view, way), QtHex(view)) << "length " << n << (way == HashWay::Best ? " best" : " portable");
    }
  }
  // Bytes not aligned in memory.
  const QByteArrayView odd(bytes.constData() + 3, 1000);
  EXPECT_EQ(Sha256Hex(odd), QtHex(odd));
  if (!HasShaInstructions()) GTEST_LOG_(INFO) << "this processor has no SHA instructions: the portable code ran twice";
}

}  // namespace
