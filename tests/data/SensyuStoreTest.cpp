// Replacing the racer store: only a fan handbook replaces it, and every failure leaves the store
// as it was, byte for byte.

#include "data/mSensyuStore.h"
#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/SensyuRecord.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tidewake {
namespace {

using test::FanFile;
using test::ReadBytes;
using test::RecordingMessageBox;
using test::WriteBytes;

class cSensyuFileStore : public ::testing::Test {
 protected:
  test::TempAppFolder folder;
  QString store() const { return folder.file(QStringLiteral("SENSYU.BRF")); }
  QString input() const { return folder.file(QStringLiteral("fan2604.txt")); }
  const QByteArray previous = FanFile({test::CurrentRecord("4001")});
};

TEST_F(cSensyuFileStore, RefusesWhatIsNoHandbookAndKeepsTheStore) {
  const QByteArray record = test::CurrentRecord("4002");
  const struct {
    const char* what;
    QByteArray bytes;
    const char16_t* why;
  } cases[] = {
      {"a photo", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), u"NUL 文字があります"},
      {"a record with a NUL in it", FanFile({record.left(100) + QByteArray(1, '\0') + record.mid(101)}),
       u"NUL 文字があります"},
      {"an empty file", QByteArray(), u"ファイルが空です"},
      {"a UTF-8 note", QString::fromUtf8("選手メモ\n4001 山田\n").toUtf8(), u"選手の行として読める行がありません"},
      {"a record cut short", FanFile({record.left(150)}), u"選手の行として読める行がありません"},
      {"a record with a letter in a count", FanFile({test::Put(record, test::fan::Syusso, "1x0")}),
       u"選手の行として読める行がありません"},
      {"a handbook in the older layout, which the store would read in the current one",
       FanFile({test::OlderRecord("3010")}), u"古い形式（1 行 403 バイト）のファン手帳ファイルです"},
      {"more racer lines than the loader takes", FanFile(QList<QByteArray>(33000, record)),
       u"選手ファイルの選手の行が 32767 行を超えています（32768 行目）"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(store(), previous);
    WriteBytes(input(), c.bytes);
    RecordingMessageBox boxes;
    EXPECT_FALSE(SensyuStoreUpdate(input()));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(boxes.boxes()[0].title.isEmpty());
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith(input() + QStringLiteral("\r\n")));
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QString::fromUtf16(c.why)));
    EXPECT_TRUE(boxes.boxes()[0].text.endsWith(QStringLiteral("選手ファイルは更新されませんでした。")));
    EXPECT_EQ(ReadBytes(store()), previous);
  }
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left";
}

TEST_F(cSensyuFileStore, AMissingFileOrAStoreThatCannotBeWrittenIsReported) {
  WriteBytes(store(), previous);
  RecordingMessageBox boxes;
  EXPECT_FALSE(SensyuStoreUpdate(folder.file(QStringLiteral("nothing.txt"))));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("(Error code:53)")));
  EXPECT_EQ(ReadBytes(store()), previous);

  boxes.clear();
  SetAppFolder(folder.file(QStringLiteral("no/such/folder")));
  EXPECT_FALSE(SensyuStoreReplace(FanFile({test::CurrentRecord("4003")}), QStringLiteral("fan.txt")));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("選手ファイルを書き込めません")));
}

TEST_F(cSensyuFileStore, AHandbookReplacesTheStoreByteForByte) {
  // 髙 at its IBM code in the name: the store keeps the bytes as they came.
  const QByteArray current = FanFile({test::Put(test::CurrentRecord("4010"), test::fan::NameKanji, "\xfb\xfc"),
                                      QByteArray("   "), test::CurrentRecord("4011")});
  WriteBytes(store(), previous);
  WriteBytes(input(), current);
  EXPECT_TRUE(SensyuStoreUpdate(input()));
  EXPECT_EQ(ReadBytes(store()), current);
}

TEST_F(cSensyuFileStore, TheRealHandbooksAreAccepted) {
  for (const char* name : {"F/fan2604.txt", "F/fan2004.txt"}) {
    TIDEWAKE_SAMPLE_OR_SKIP(path, name);
    ASSERT_TRUE(SensyuStoreUpdate(path));
    EXPECT_EQ(ReadBytes(store()), ReadBytes(path));
  }
}

}  // namespace
}  // namespace tidewake
