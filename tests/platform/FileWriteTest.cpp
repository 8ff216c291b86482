// FileReplace: a file is replaced whole or not at all, whatever the size of the new bytes against
// the write buffer, and every failure names the file and keeps the old one.

#include "platform/FileWrite.h"
#include "platform/RuntimeError.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tidewake;

namespace {

QStringList FilesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

}  // namespace

TEST(FileReplace, WritesWholeOrKeepsTheOldFile) {
  // Sizes around Qt's 16 KiB write buffer: a write that fits it reaches the disk only when the
  // buffer is flushed.
  constexpr long long kBuffer = 16 * 1024;
  const struct {
    long long size;
    long long room;  // the most a file may hold; -1 for no limit
    bool whole;
  } cases[] = {
      {0, -1, true},
      {1, -1, true},
      {kBuffer + 1, -1, true},
      {100, 100, true},
      {100, 99, false},
      {100, 0, false},
      {kBuffer - 1, 4096, false},
      {kBuffer, kBuffer - 1, false},
      {kBuffer, kBuffer, true},
      {kBuffer + 1, kBuffer, false},
      {4 * kBuffer, 2 * kBuffer, false},
  };
  const QByteArray previous("the old file\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes, room for " << c.room);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("STORE.BRF"));
    test::WriteBytes(path, previous);
    QByteArray bytes(c.size, 'a');
    for (qsizetype i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);
    std::optional<RuntimeError> failure;
    {
      std::optional<test::FileSizeLimit> limit;
      if (c.room >= 0) {
        limit.emplace(c.room);
        if (!limit->active()) GTEST_SKIP() << "no file size limit on this system";
      }
      try {
        FileReplace(path, bytes, QStringLiteral("番組ファイル"));
      } catch (const RuntimeError& e) {
        failure = e;
      }
    }
    EXPECT_EQ(test::ReadBytes(path), c.whole ? bytes : previous);
    EXPECT_EQ(FilesIn(dir.path()), QStringList{QStringLiteral("STORE.BRF")}) << "no temporary file is left";
    ASSERT_EQ(failure.has_value(), !c.whole);
    if (failure) {
      EXPECT_EQ(failure->number(), ErrNo::DeviceIo);
      EXPECT_TRUE(failure->description().startsWith(QStringLiteral("番組ファイルを書き込めません: ") + path))
          << failure->description().toStdString();
    }
  }
}

TEST(FileReplace, APlaceThatCannotHoldTheFileIsNamed) {
  QTemporaryDir dir;
  const struct {
    const char* what;
    QString path;
  } cases[] = {
      {"a folder that does not exist", dir.filePath(QStringLiteral("no/such/STORE.BRF"))},
      {"a folder where the file should be", dir.path()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_RUNTIME_ERROR(FileReplace(c.path, "bytes", QStringLiteral("選手ファイル")), ErrNo::PathFileAccess,
                         QStringLiteral("選手ファイルを書き込めません: ") + c.path);
  }
  EXPECT_TRUE(FilesIn(dir.path()).isEmpty());
}

TEST(FileReplace, ARealFullDiskKeepsTheOldFile) {
  // Exit status: 0 all held, 1 no failure reported, 2 the old file changed, 3 a file left over,
  // 4 the setting up failed, 5 a file that fits was refused.
  const std::optional<int> status = test::RunOnSmallDisk(64 * 1024, [](const QString& disk) {
    const QString path = disk + QStringLiteral("/WIN.TXT");
    const QByteArray previous("the old file\n");
    try {
      FileReplace(path, previous, QStringLiteral("勝率の係数ファイル"));
    } catch (const RuntimeError&) {
      return 5;
    }
    if (!test::FillDisk(disk)) return 4;
    bool reported = false;
    try {
      FileReplace(path, QByteArray(3000, 'n'), QStringLiteral("勝率の係数ファイル"));
    } catch (const RuntimeError& e) {
      reported = e.number() == ErrNo::DeviceIo;
    }
    if (!reported) return 1;
    QFile after(path);
    if (!after.open(QIODevice::ReadOnly) || after.readAll() != previous) return 2;
    if (FilesIn(disk).size() != 2) return 3;
    return 0;
  });
  if (!status) GTEST_SKIP() << "this system does not let a test mount a small disk";
  EXPECT_EQ(*status, 0);
}

TEST(FileReplace, KeepsWhatTheOldFileWas) {
  // Whatever stood at the path before: its permissions stay, and a link stays a link whose target
  // gets the bytes.
  using P = QFileDevice;
  const struct {
    const char* what;
    bool old;  // a file stood there
    QFileDevice::Permissions mode;
    bool link;  // the path is a link to the old file beside it
  } cases[] = {
      {"no old file", false, {}, false},
      {"a file readable by all", true, P::ReadOwner | P::WriteOwner | P::ReadGroup | P::ReadOther, false},
      {"a file for its owner only", true, P::ReadOwner | P::WriteOwner, false},
      {"a file for its group too", true, P::ReadOwner | P::WriteOwner | P::ReadGroup, false},
      {"a link to a file", true, P::ReadOwner | P::WriteOwner, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
#ifdef Q_OS_WIN
    // There a link made by QFile::link is a shortcut: a file of its own, which no path goes through.
    if (c.link) continue;
#endif
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("STORE.BRF"));
    const QString target = dir.filePath(QStringLiteral("TARGET.BRF"));
    const QString old = c.link ? target : path;
    if (c.old) {
      test::WriteBytes(old, "the old file\n");
      ASSERT_TRUE(QFile::setPermissions(old, c.mode));
    }
    if (c.link) {
      ASSERT_TRUE(QFile::link(target, path));
    }
    const QFileDevice::Permissions before = QFile::permissions(old);
    const QByteArray bytes(20000, 'x');
    FileReplace(path, bytes, QStringLiteral("番組ファイル"));
    EXPECT_EQ(test::ReadBytes(path), bytes);
    EXPECT_EQ(QFileInfo(path).isSymLink(), c.link);
    if (c.link) {
      EXPECT_EQ(test::ReadBytes(target), bytes);
    }
    if (c.old) {
      EXPECT_EQ(QFile::permissions(old), before);
    }
    QStringList expected{QStringLiteral("STORE.BRF")};
    if (c.link) expected << QStringLiteral("TARGET.BRF");
    EXPECT_EQ(FilesIn(dir.path()), expected) << "no temporary file is left";
  }
}
