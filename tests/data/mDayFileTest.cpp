// The one way a chosen file comes in: what is refused before it is read, what kind its bytes are,
// and how much one archive may unpack.

#include "data/mDayFile.h"

#include "platform/RuntimeError.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/SampleFiles.h"
#include "tests/data/ZipWriter.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

// The error a read of `path` throws; number 0 when it reads.
[[maybe_unused]] std::pair<int, QString> ReadFailure(const QString& path) {
  try {
    ChosenFileRead(path);
  } catch (const RuntimeError& e) {
    return {e.number(), e.description()};
  }
  return {0, QString()};
}

}  // namespace

// Devices, pipes and links as Unix has them.
#if defined(Q_OS_UNIX)
TEST(mDayFile, WhatIsNoRegularFileOrTooLargeIsRefusedBeforeItIsRead) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath(QStringLiteral("pipe"));
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString big = dir.filePath(QStringLiteral("big.txt"));
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(kMaxDayFileBytes + 1));  // sparse: costs no disk
  }
  const QString dangling = dir.filePath(QStringLiteral("dangling.txt"));
  ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone")), dangling));
  const struct {
    QString path;
    int number;
    const char16_t* text;
  } cases[] = {
      {QStringLiteral("/dev/zero"), ErrNo::NotATextFile, u"ファイルではありません"},
      {fifo, ErrNo::NotATextFile, u"ファイルではありません"},
      {dir.path(), ErrNo::NotATextFile, u"ファイルではありません"},
      {big, ErrNo::NotATextFile, u"16 MiB を超えるファイルは読めません"},
      {dangling, ErrNo::FileNotFound, u"ファイルが見つかりません"},
      {dir.filePath(QStringLiteral("none.txt")), ErrNo::FileNotFound, u"ファイルが見つかりません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const auto [number, text] = ReadFailure(c.path);
    EXPECT_EQ(number, c.number);
    EXPECT_TRUE(text.startsWith(S(c.text))) << text.toStdString();
    EXPECT_TRUE(text.contains(c.path));
  }
}
#endif

TEST(mDayFile, KindsFromTheBytes) {
  const struct {
    const char* what;
    QByteArray bytes;
    DayFileKind kind;
  } cases[] = {
      {"programme", "STARTB\r\n24BBGN\r\n", DayFileKind::Programme},
      {"programme block only", "x\r\n06BBGN\r\n", DayFileKind::Programme},
      {"results", "STARTK\r\n24KBGN\r\n", DayFileKind::Results},
      {"results block only", "24KBGN\r\n", DayFileKind::Results},
      {"empty", "", DayFileKind::Empty},
      {"blank lines", "  \r\n\r\n", DayFileKind::Empty},
      {"a note", "hello\r\n", DayFileKind::Other},
      {"binary", QByteArray("STARTB\0", 7), DayFileKind::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DayFileKindOf(c.bytes), c.kind);
  }
  for (const char* name : {"B/b240101.txt", "K/k240101.txt", "F/fan2604.txt"}) {
    TIDEWAKE_SAMPLE_OR_SKIP(path, name);
    const DayFile f = DayFileOpen(path, std::nullopt);
    EXPECT_EQ(f.kind, name[0] == 'B'   ? DayFileKind::Programme
                      : name[0] == 'K' ? DayFileKind::Results
                                       : DayFileKind::FanHandbook);
  }
}

// Many members just under the cap each: the total is capped, and the first that fits is taken
// without unpacking the rest.
TEST(mDayFile, AnArchiveUnpacksAtMostTheCapInAll) {
  QTemporaryDir dir;
  const QByteArray programme = "STARTB\r\n24BBGN\r\n24BEND\r\nFINALB\r\n";
  // The same day again and again, each copy larger than the one before: each would be unpacked.
  std::vector<std::pair<QByteArray, QByteArray>> growing;
  for (int i = 1; i <= 6; ++i) growing.emplace_back("B240101.TXT", QByteArray(kMaxArchiveMemberBytes / 4 + i, ' '));
  const QString many = dir.filePath(QStringLiteral("many.zip"));
  WriteZip(many, growing);
  EXPECT_RUNTIME_ERROR(DayFileOpen(many, ArchiveKind::Programme), 0,
                       S(u"書庫から展開するデータが 8 MiB を超えます: ") + many);
  const QString first = dir.filePath(QStringLiteral("first.zip"));
  std::vector<std::pair<QByteArray, QByteArray>> members{{"b240101.txt", programme}};
  for (int i = 0; i < 16; ++i) members.emplace_back("B240101.TXT", programme);  // the same day again, no larger
  WriteZip(first, members);
  const DayFile f = DayFileOpen(first, ArchiveKind::Programme);
  EXPECT_EQ(f.bytes, programme);
  EXPECT_EQ(f.kind, DayFileKind::Programme);
}
