// A store whose new copy cannot be written whole (a full disk) is kept as it was, the user is told,
// and no temporary file stays. The disk is made "full" by a file size limit on this process and,
// where the system lets a test mount one, by a real small tmpfs.

#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "data/mDayFile.h"
#include "data/mSensyuStore.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/common/WriteFailure.h"
#include "tests/data/ProgrammeText.h"
#include "tests/data/SensyuRecord.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

struct StoreCase {
  const char* what;
  QString store;
  const char16_t* cannotWrite;  // the start of the message in the box
  QByteArray input;             // a small file of the store's kind: it fits a write buffer
  std::function<bool(const QString& inputPath)> replace;
};

std::vector<StoreCase> StoreCases() {
  return {
      {"programme", QStringLiteral("BANGUMI.BRF"), u"番組ファイルを書き込めません",
       SjisLines(Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1)} + SixEntrants(4000)})),
       [](const QString& path) { return cBangumiFile().FileConv(path); }},
      {"results", QStringLiteral("KEKKA.BRF"), u"成績ファイルを書き込めません",
       ReadBytes(QStringLiteral(TIDEWAKE_TEST_SOURCE "/kekka/k220721_20_cancelled.txt")),
       [](const QString& path) { return cKekkaFile().FileConv(path); }},
      {"racers", QStringLiteral("SENSYU.BRF"), u"選手ファイルを書き込めません",
       FanFile({CurrentRecord("4003"), CurrentRecord("4004")}),
       [](const QString& path) { return SensyuStoreUpdate(path); }},
  };
}

const QByteArray kPrevious("previous store\r\n");

}  // namespace

TEST(StoreWriteFailure, AFullDiskKeepsEveryStoreAndSaysSo) {
  for (const StoreCase& c : StoreCases()) {
    SCOPED_TRACE(c.what);
    ASSERT_LT(c.input.size(), 16 * 1024) << "a file small enough to sit in a write buffer";
    TempAppFolder folder;
    const QString input = folder.file(QStringLiteral("day.txt"));
    WriteBytes(input, c.input);
    WriteBytes(folder.file(c.store), kPrevious);
    RecordingMessageBox boxes;
    {
      // Room for the previous store's size, not for the new one.
      FileSizeLimit full(kPrevious.size());
      if (!full.active()) GTEST_SKIP() << "no file size limit on this system";
      EXPECT_FALSE(c.replace(input));
    }
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(S(c.cannotWrite))) << boxes.boxes()[0].text.toStdString();
    EXPECT_EQ(ReadBytes(folder.file(c.store)), kPrevious);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file is left";

    // With room again the same file goes in whole.
    boxes.clear();
    EXPECT_TRUE(c.replace(input));
    EXPECT_TRUE(boxes.boxes().empty());
    const QByteArray stored = ReadBytes(folder.file(c.store));
    EXPECT_FALSE(stored.isEmpty());
    EXPECT_NE(stored, kPrevious);
  }
}

TEST(StoreWriteFailure, ARealFullDiskKeepsTheStore) {
  const QByteArray small = SjisLines(Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1)} + SixEntrants(4000)}));
  // Exit status: 0 all held, 1 no failure reported, 2 the old store changed, 3 a file left over,
  // 4 the setting up failed.
  const std::optional<int> status = RunOnSmallDisk(64 * 1024, [&](const QString& disk) {
    SetAppFolder(disk);
    QFile old(AppFilePath(QStringLiteral("BANGUMI.BRF")));
    if (!old.open(QIODevice::WriteOnly) || old.write(kPrevious) != kPrevious.size() || !old.flush()) return 4;
    old.close();
    if (!FillDisk(disk)) return 4;
    bool reported = false;
    try {
      StoreReplace(QStringLiteral("BANGUMI.BRF"), small, QStringLiteral("番組ファイル"));
    } catch (const RuntimeError& e) {
      reported = e.description().startsWith(QStringLiteral("番組ファイルを書き込めません"));
    }
    if (!reported) return 1;
    QFile after(AppFilePath(QStringLiteral("BANGUMI.BRF")));
    if (!after.open(QIODevice::ReadOnly) || after.readAll() != kPrevious) return 2;
    if (QDir(disk).entryList(QDir::Files | QDir::Hidden).size() != 2) return 3;
    return 0;
  });
  if (!status) GTEST_SKIP() << "this system does not let a test mount a small disk";
  EXPECT_EQ(*status, 0);
}
