#include "data/cBangumiFile.h"

#include "platform/SjisText.h"
#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/ProgrammeText.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

// Bytes of a literal, NUL bytes included, without the terminating one.
template <std::size_t N>
QByteArray B(const char (&s)[N]) {
  return QByteArray(s, N - 1);
}

struct cBangumiFileImport : ::testing::Test {
  TempAppFolder folder;
  cBangumiFile bangumi;
  QString store() const { return folder.file(QStringLiteral("BANGUMI.BRF")); }
  QString input() const { return folder.file(QStringLiteral("b240101.txt")); }
};

}  // namespace

TEST_F(cBangumiFileImport, KeepsWhatTheCardNeedsAndDropsTheRest) {
  const QByteArray in =
      SjisLines(S(u"STARTB\n"
                  u"24BBGN\n"
                  u"ボートレース大　村   　１月　１日  杯  第　１日\n"
                  u"\n"
                  u"                            ＊＊＊　番組表　＊＊＊\n"
                  u"               －内容については主催者発行のものと照合して下さい－\n"
                  u"-------------------------------------------------------------------------------\n"
                  u"艇 選手 選手  年 支 体級\n"
                  u"番 登番  名   齢 部 重別\n"
                  u"   \n"
                  u"  番 is kept: the test looks at the first character as read\n"
                  u"-- two dashes are kept\n"
                  u"24BEND\n"
                  u"FINALB"));
  WriteBytes(input(), in);
  ASSERT_TRUE(bangumi.FileConv(input()));
  EXPECT_EQ(ReadBytes(store()), SjisLines(S(u"STARTB\n"
                                            u"24BBGN\n"
                                            u"ボートレース大　村   　１月　１日  杯  第　１日\n"
                                            u"   \n"
                                            u"  番 is kept: the test looks at the first character as read\n"
                                            u"-- two dashes are kept\n"
                                            u"24BEND\n"
                                            u"FINALB\n")));
}

TEST_F(cBangumiFileImport, WritesTheBytesAsReadWithCrLfEnds) {
  // 髙 at 0xFBFC (IBM) and at 0xEEE0 (NEC-selected): both must reach the store unchanged, and a
  // last line without an end gets CR LF; lone CR and lone LF ends become CR LF too.
  const QByteArray in = B("24BBGN\r\na\xfb\xfc\r\nb\xee\xe0\nc\rlast");
  WriteBytes(input(), in);
  ASSERT_TRUE(bangumi.FileConv(input()));
  EXPECT_EQ(ReadBytes(store()), B("24BBGN\r\na\xfb\xfc\r\nb\xee\xe0\r\nc\r\nlast\r\n"));
  // Converting again gives the same bytes.
  ASSERT_TRUE(bangumi.FileConv(input()));
  EXPECT_EQ(ReadBytes(store()), B("24BBGN\r\na\xfb\xfc\r\nb\xee\xe0\r\nc\r\nlast\r\n"));
}

// A text with no venue in it (headings only, a UTF-8 note, any other text picked by mistake)
// would empty the day's store: it is refused, and the store and its venues stay.
TEST_F(cBangumiFileImport, ATextWithNoVenueIsRefusedAndTheStoreStays) {
  WriteBytes(store(), QByteArray("previous store\r\n"));
  RecordingMessageBox boxes;
  for (const QByteArray& text : {SjisLines(S(u"\n---------\n番\n艇\n")), QByteArray(),
                                 QString::fromUtf8("レース結果のメモ\n1R 1-2-3\n").toUtf8()}) {
    WriteBytes(input(), text);
    EXPECT_FALSE(bangumi.FileConv(input()));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, S(u"番組ファイル変換エラー"));
    EXPECT_EQ(boxes.boxes()[0].text, S(u"番組が見つかりません（場の始まりの行 BBGN がありません）。"
                                       u"番組ファイル(B*.TXT)を選んでください: ") +
                                         input() + S(u"(Error code:1001)"));
    boxes.clear();
    EXPECT_EQ(ReadBytes(store()), QByteArray("previous store\r\n"));
  }
}

TEST_F(cBangumiFileImport, FailuresLeaveThePreviousStoreAsItWas) {
  WriteBytes(store(), QByteArray("previous store\r\n"));
  RecordingMessageBox boxes;

  // A missing input.
  const QString missing = folder.file(QStringLiteral("b999999.txt"));
  EXPECT_FALSE(bangumi.FileConv(missing));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, S(u"番組ファイル変換エラー"));
  EXPECT_EQ(boxes.boxes()[0].text, S(u"ファイルが見つかりません。\n") + missing);
  EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Warning);
  boxes.clear();

  // A binary file picked by mistake: NUL bytes are in no programme.
  const QByteArray binary = B("24BBGN\r\n\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
  WriteBytes(input(), binary);
  EXPECT_FALSE(bangumi.FileConv(input()));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            S(u"4 行目が番組の行ではありません（NUL 文字があります）。番組ファイル(B*.TXT)を選んでください: ") +
                input() + S(u"(Error code:1001)"));
  boxes.clear();

  // One enormous line.
  WriteBytes(input(), QByteArray(200000, 'x'));
  EXPECT_FALSE(bangumi.FileConv(input()));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.startsWith(S(u"1 行目が番組の行ではありません（65536 バイトを超えています）")));
  boxes.clear();

  EXPECT_EQ(ReadBytes(store()), QByteArray("previous store\r\n"));
  // No temporary file is left beside the store.
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(cBangumiFileImport, AStoreThatCannotBeWrittenIsReported) {
  WriteBytes(input(), QByteArray("24BBGN\r\n24BEND\r\n"));
  RecordingMessageBox boxes;
  SetAppFolder(folder.file(QStringLiteral("no/such/folder")));
  EXPECT_FALSE(bangumi.FileConv(input()));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, S(u"番組ファイル変換エラー"));
  EXPECT_TRUE(boxes.boxes()[0].text.contains(S(u"番組ファイルを書き込めません")));
  EXPECT_TRUE(boxes.boxes()[0].text.endsWith(S(u"(Error code:75)")));
}

TEST_F(cBangumiFileImport, ConversionDoesNotTouchTheLoadedCard) {
  WriteBytes(input(), SjisLines(Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1)} + SixEntrants(4000)})));
  ASSERT_TRUE(bangumi.FileConv(input()));
  QString name;
  ASSERT_TRUE(bangumi.FileLoad(QStringLiteral("24"), name));
  WriteBytes(input(), SjisLines(Block(QStringLiteral("06"), 2, {QStringList{RaceHeader(1)} + SixEntrants(5000)})));
  ASSERT_TRUE(bangumi.FileConv(input()));
  EXPECT_EQ(bangumi.KyoteijyoCode(), "24");
  EXPECT_EQ(bangumi.SensyuNo(1, 1), "4001");
}

// A programme whose venue codes, dates, races or entrants cannot be read is refused whole, with a
// message naming the line, before it replaces the store: BANGUMI.BRF stays byte for byte, and
// Ctrl+B after a restart reopens the good day.
TEST_F(cBangumiFileImport, AProgrammeThatCannotBeReadNeverReplacesTheStore) {
  const QString good = Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1)} + SixEntrants(4000)});
  WriteBytes(input(), SjisLines(good));
  ASSERT_TRUE(bangumi.FileConv(input()));
  const QByteArray kept = ReadBytes(store());
  QList<QStringList> thirteen;
  for (int r = 1; r <= 13; ++r) thirteen << (QStringList{RaceHeader(r)} + SixEntrants(4000 + 10 * r));
  EntrantFields age;
  age.age = QStringLiteral("5a");
  const struct {
    const char* what;
    QString text;
    const char16_t* message;
  } cases[] = {
      {"a venue code of letters", QString(good).replace(QStringLiteral("24BBGN"), QStringLiteral("AABBGN")),
       u"1 行目の競艇場コードが数値ではありません: \"AA\""},
      {"a venue code outside 01..24", QString(good).replace(QStringLiteral("24BBGN"), QStringLiteral("99BBGN")),
       u"1 行目の競艇場コード \"99\" は 01～24 の範囲外です"},
      {"a year of 1e64", QString(good).replace(QStringLiteral("２０２４年"), QStringLiteral("1e64年")),
       u"4 行目の日付の年（22–25 バイト目）が整数ではありません: \"1e64\""},
      {"a thirteenth race header", Block(QStringLiteral("24"), 1, thirteen),
       u"89 行目: レース No.がオーバーフローしました。"},
      {"an entrant field", Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1), EntrantLine(age)}}),
       u"6 行目の年齢（15–16 バイト目）が数値ではありません: \"5a\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(input(), SjisLines(c.text));
    RecordingMessageBox boxes;
    EXPECT_FALSE(bangumi.FileConv(input()));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, S(u"番組ファイル変換エラー"));
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith(S(c.message))) << boxes.boxes()[0].text.toStdString();
    EXPECT_TRUE(boxes.boxes()[0].text.contains(input()));
    EXPECT_EQ(ReadBytes(store()), kept);
  }
}
