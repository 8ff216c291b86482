#include "platform/LineReader.h"
#include "platform/RuntimeError.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/SampleFiles.h"

#include <QTemporaryDir>

#include <random>

#include <gtest/gtest.h>

using namespace tidewake;

namespace {
QList<QByteArray> Split(const QByteArray& bytes) {
  QList<QByteArray> out;
  LineReader r(bytes);
  QByteArrayView line;
  while (r.Next(line)) out << line.toByteArray();
  return out;
}

QList<QByteArray> ReadAll(const QByteArray& bytes, qsizetype keep = FileLineReader::kKeepAll) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("f.txt"));
  test::WriteBytes(path, bytes);
  FileLineReader r(path, keep);
  QList<QByteArray> out;
  QByteArray line;
  while (r.Next(line)) out << line;
  return out;
}
}  // namespace

TEST(LineReader, EveryKindOfLineEnd) {
  using L = QList<QByteArray>;
  EXPECT_EQ(Split("a\r\nb\r\n"), (L{"a", "b"}));
  EXPECT_EQ(Split("a\rb\nc"), (L{"a", "b", "c"}));
  EXPECT_EQ(Split("a\n\r\nb"), (L{"a", "", "b"}));
  EXPECT_EQ(Split("a\r\rb"), (L{"a", "", "b"}));
  EXPECT_EQ(Split("\r\n"), (L{""}));
  EXPECT_EQ(Split(""), L{});
  EXPECT_EQ(Split("last"), (L{"last"}));
}

TEST(LineReader, CountsLines) {
  LineReader r("a\nb\nc");
  QByteArrayView line;
  while (r.Next(line)) {
  }
  EXPECT_EQ(r.LineNumber(), 3);
}

TEST(FileLineReader, SameLinesAsTheBufferReader) {
  for (const QByteArray& bytes : {QByteArray("a\r\nb\r\n"), QByteArray("a\rb\nc"), QByteArray("a\n\r\nb"),
                                  QByteArray(""), QByteArray("\r\n\r\n"), QByteArray("x")}) {
    EXPECT_EQ(ReadAll(bytes), Split(bytes)) << bytes.toStdString();
  }
}

// Any mix of line ends (files with only CR, only LF, both, long stretches of neither): the buffer
// reader, which looks ahead for each kind of end, splits as the file reader does byte by byte.
TEST(LineReader, AnyMixOfLineEndsSplitsAsTheFileReader) {
  std::mt19937 random(16);
  for (int round = 0; round < 40; ++round) {
    QByteArray bytes;
    const int length = static_cast<int>(random() % 300);
    const unsigned ends = random() % 4;  // none, CR only, LF only, both
    for (int i = 0; i < length; ++i) {
      const unsigned pick = random() % 8;
      bytes += pick == 0 && (ends & 1) ? '\r' : pick == 1 && (ends & 2) ? '\n' : 'a';
    }
    ASSERT_EQ(Split(bytes), ReadAll(bytes)) << bytes.toStdString();
  }
}

TEST(FileLineReader, LineEndsAcrossTheReadBuffer) {
  // A CR as the last byte of one 64 KiB read and its LF as the first of the next are one line end.
  for (qsizetype at : {65535, 65536, 65534, 131071}) {
    QByteArray bytes(at, 'x');
    bytes += "\r\nyz\r\n";
    const auto lines = ReadAll(bytes);
    ASSERT_EQ(lines.size(), 2) << at;
    EXPECT_EQ(lines[0].size(), at);
    EXPECT_EQ(lines[1], "yz");
  }
}

TEST(FileLineReader, KeepsOnlyThePrefixOfLongLines) {
  QByteArray bytes(1000000, 'a');
  bytes += "\r\nshort\r\n";
  const auto lines = ReadAll(bytes, 410);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], QByteArray(410, 'a'));
  EXPECT_EQ(lines[1], "short");
}

TEST(FileLineReader, MissingFileIsFileNotFound) {
  EXPECT_RUNTIME_ERROR(FileLineReader r(QStringLiteral("/nonexistent/x.txt")), ErrNo::FileNotFound,
                       QStringLiteral("/nonexistent/x.txt"));
}

// A capped read takes a file up to its cap and refuses one past it, whatever fills it (a file of
// line feeds is the case a user met), before reading it whole.
TEST(ReadFileBytes, RefusesAFileLargerThanItsCap) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("win.txt"));
  constexpr qint64 kCap = 1000;
  for (const qint64 size : {qint64{0}, kCap - 1, kCap, kCap + 1, 100 * kCap}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(size, '\n'));
    f.close();
    if (size <= kCap) {
      EXPECT_EQ(ReadFileBytes(path, kCap).size(), size);
      continue;
    }
    try {
      ReadFileBytes(path, kCap);
      ADD_FAILURE() << size;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), ErrNo::FileTooLarge) << size;
      EXPECT_EQ(e.description(), QStringLiteral("ファイルが大きすぎます（1000 バイトまで）: %1").arg(path));
    }
  }
}
