#include "data/ArchiveMember.h"
#include "data/ProgrammeOpen.h"
#include "data/cBangumiFile.h"
#include "data/mDayFile.h"

#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

QByteArray Store(const TempAppFolder& folder) { return ReadBytes(folder.file(QStringLiteral("BANGUMI.BRF"))); }

// The store written by converting the day's text file, in a program folder of its own.
QByteArray StoreFromText(const QString& txt) {
  TempAppFolder folder;
  cBangumiFile bangumi;
  EXPECT_TRUE(bangumi.FileConv(txt));
  return Store(folder);
}

}  // namespace

TEST(Archive, OfficialDownloadsGiveTheStoreOfTheirTextFiles) {
  TIDEWAKE_SAMPLE_OR_SKIP(lzhFolder, QStringLiteral("lzh"));
  for (const char* day : {"b240101", "b200315"}) {
    SCOPED_TRACE(day);
    TIDEWAKE_SAMPLE_OR_SKIP(txt, QStringLiteral("B/%1.txt").arg(QLatin1String(day)));
    const QString lzh = SharedDataFile(QStringLiteral("lzh/%1.lzh").arg(QLatin1String(day)));
    ASSERT_FALSE(lzh.isEmpty());

    const ArchiveMember member = ArchiveMemberRead(lzh, ArchiveKind::Programme);
    EXPECT_EQ(member.bytes, ReadBytes(txt)) << "the member unpacks to the text file byte for byte";
    EXPECT_EQ(member.name, lzh + S(u" の ") + QLatin1String(day).toString().toUpper() + S(u".TXT"));

    const QByteArray expected = StoreFromText(txt);
    ASSERT_FALSE(expected.isEmpty());
    TempAppFolder folder;
    cBangumiFile bangumi;
    ASSERT_TRUE(ProgrammeOpen(bangumi, lzh));
    EXPECT_EQ(Store(folder), expected);
    // The text file itself takes the same helper to the same store.
    ASSERT_TRUE(ProgrammeOpen(bangumi, txt));
    EXPECT_EQ(Store(folder), expected);
  }
}

TEST(Archive, TheResultsDownloadHoldsTheResultsAndNoProgramme) {
  TIDEWAKE_SAMPLE_OR_SKIP(lzh, QStringLiteral("lzh/k240101.lzh"));
  TIDEWAKE_SAMPLE_OR_SKIP(txt, QStringLiteral("K/k240101.txt"));
  EXPECT_EQ(ArchiveMemberRead(lzh, ArchiveKind::Results).bytes, ReadBytes(txt));
  EXPECT_RUNTIME_ERROR(ArchiveMemberRead(lzh, ArchiveKind::Programme), ErrNo::ArchiveNoMember,
                       S(u"書庫に番組ファイル(B*.TXT)がありません: ") + lzh);
}

// Every way an archive can fail: one box naming it, the previous store untouched, nothing left
// beside it.
TEST(Archive, EveryFailureIsReportedAndChangesNothing) {
  TIDEWAKE_SAMPLE_OR_SKIP(lzh, QStringLiteral("lzh/b240101.lzh"));
  TIDEWAKE_SAMPLE_OR_SKIP(txt, QStringLiteral("B/b240101.txt"));
  const QByteArray official = ReadBytes(lzh);
  QTemporaryDir inputs;
  const auto input = [&](const char* name) { return inputs.filePath(QLatin1String(name)); };

  QByteArray truncated = official.left(official.size() / 2);
  WriteBytes(input("truncated.lzh"), truncated);
  QByteArray flipped = official;
  for (qsizetype i = 1000; i < 1010; ++i) flipped[i] = static_cast<char>(~flipped[i]);
  WriteBytes(input("flipped.lzh"), flipped);
  QByteArray badHeader = official;
  badHeader[5] = static_cast<char>(~badHeader[5]);  // the "-lh5-" method mark
  WriteBytes(input("badheader.lzh"), badHeader);
  WriteBytes(input("text.lzh"), ReadBytes(txt));
  WriteBytes(input("empty.lzh"), QByteArray());
  WriteZip(input("nothing.zip"), {});
  WriteZip(input("binary.zip"), {{"B240101.TXT", QByteArray("STARTB\r\n\x89PNG\0\0\r\n", 14)}});
  WriteZip(input("readme.zip"), {{"readme.txt", "no programme here\r\n"}, {"b240101/", ""}});
  WriteZip(input("twodays.zip"), {{"b240101.txt", ReadBytes(txt)}, {"B240102.TXT", ReadBytes(txt)}});
  WriteZip(input("huge.zip"), {{"B240101.TXT", QByteArray(kMaxArchiveMemberBytes + 1, ' ')}});

  const struct {
    QString path;
    int number;
    QString start;
  } cases[] = {
      {input("truncated.lzh"), ErrNo::ArchiveDamaged, S(u"書庫が壊れているか、途中で切れています: ")},
      {input("flipped.lzh"), ErrNo::ArchiveDamaged, S(u"書庫が壊れているか、途中で切れています: ")},
      {input("badheader.lzh"), ErrNo::NotAnArchive, S(u"書庫(LHA・ZIP)として読めません。")},
      {input("text.lzh"), ErrNo::NotAnArchive, S(u"書庫(LHA・ZIP)として読めません。")},
      {input("empty.lzh"), ErrNo::NotAnArchive, S(u"書庫(LHA・ZIP)として読めません。")},
      // The member's bytes are no programme: the conversion's own message, naming archive and member.
      {input("binary.zip"), ErrNo::NotATextFile,
       S(u"2 行目が番組の行ではありません（NUL 文字があります）。番組ファイル(B*.TXT)を選んでください: ")},
      {input("nothing.zip"), ErrNo::ArchiveNoMember, S(u"書庫に番組ファイル(B*.TXT)がありません: ")},
      {input("readme.zip"), ErrNo::ArchiveNoMember, S(u"書庫に番組ファイル(B*.TXT)がありません: ")},
      {input("twodays.zip"), ErrNo::ArchiveAmbiguous,
       S(u"書庫に番組ファイル(B*.TXT)が複数あります（b240101.txt、B240102.TXT）")},
      {input("huge.zip"), ErrNo::ArchiveMemberTooLarge, S(u"書庫の B240101.TXT は展開すると 8 MiB を超えます: ")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    TempAppFolder folder;
    WriteBytes(folder.file(QStringLiteral("BANGUMI.BRF")), "previous store\r\n");
    RecordingMessageBox boxes;
    cBangumiFile bangumi;
    EXPECT_FALSE(ProgrammeOpen(bangumi, c.path));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const RecordedBox& box = boxes.boxes()[0];
    EXPECT_EQ(box.title, S(u"番組ファイル変換エラー"));
    EXPECT_EQ(box.icon, MsgIcon::Warning);
    EXPECT_TRUE(box.text.startsWith(c.start)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(c.path)) << box.text.toStdString();
    EXPECT_TRUE(box.text.endsWith(QStringLiteral("(Error code:%1)").arg(c.number))) << box.text.toStdString();
    EXPECT_EQ(Store(folder), "previous store\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
  }
}

// A missing file takes the text file's way and message, whatever its name.
TEST(Archive, AMissingArchiveIsReportedAsAMissingFile) {
  TempAppFolder folder;
  RecordingMessageBox boxes;
  cBangumiFile bangumi;
  const QString missing = folder.file(QStringLiteral("b999999.lzh"));
  EXPECT_FALSE(ProgrammeOpen(bangumi, missing));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, S(u"ファイルが見つかりません。\n") + missing);
  EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("BANGUMI.BRF"))));
}

TEST(Archive, OfTheSameDayTwiceTheLargerIsTaken) {
  TIDEWAKE_SAMPLE_OR_SKIP(txt, QStringLiteral("B/b240101.txt"));
  const QByteArray whole = ReadBytes(txt);
  const QByteArray cut = whole.left(whole.indexOf("23BBGN"));
  const QByteArray expected = StoreFromText(txt);
  QTemporaryDir inputs;
  // Either order: the larger wins, not the first or the last.
  for (const auto& members :
       {std::vector<std::pair<QByteArray, QByteArray>>{{"b240101.txt", cut}, {"B240101.TXT", whole}},
        std::vector<std::pair<QByteArray, QByteArray>>{{"B240101.TXT", whole}, {"b240101.txt", cut}},
        std::vector<std::pair<QByteArray, QByteArray>>{{"readme.txt", "x"}, {"day/b240101.Txt", whole}}}) {
    const QString zip = inputs.filePath(QStringLiteral("b240101.zip"));
    QFile::remove(zip);
    WriteZip(zip, members);
    TempAppFolder folder;
    cBangumiFile bangumi;
    ASSERT_TRUE(ProgrammeOpen(bangumi, zip));
    EXPECT_EQ(Store(folder), expected);
  }
}

// The racer store takes the handbook's bytes, from a text file or an archive alike.
TEST(Archive, AFanHandbookComesOutAsItsBytes) {
  TIDEWAKE_SAMPLE_OR_SKIP(fan, QStringLiteral("F/fan2604.txt"));
  const QByteArray bytes = ReadBytes(fan);
  QTemporaryDir inputs;
  const QString zip = inputs.filePath(QStringLiteral("fan2604.lzh.zip"));
  WriteZip(zip, {{"B240101.TXT", "a programme"}, {"FAN2604.TXT", bytes}});
  EXPECT_EQ(DayFileOpen(zip, ArchiveKind::FanHandbook).bytes, bytes);
  // With no results in it, the archive says what it holds instead.
  const DayFile other = DayFileOpen(zip, ArchiveKind::Results);
  EXPECT_EQ(other.kind, DayFileKind::Programme);
  EXPECT_EQ(WrongKindText(other.kind, ArchiveKind::Results),
            S(u"これは番組ファイルです。「番組ﾌｧｲﾙを開く」(Ctrl+O) で開いてください"));
  const DayFile text = DayFileOpen(fan, ArchiveKind::FanHandbook);
  EXPECT_EQ(text.bytes, bytes);
  EXPECT_EQ(text.kind, DayFileKind::FanHandbook);
  EXPECT_EQ(text.name, fan);
}

// Whatever is cut off the end of an official archive, the result is a refusal or the whole day,
// never part of it.
TEST(Archive, EveryTruncationIsRefusedOrWhole) {
  TIDEWAKE_SAMPLE_OR_SKIP(lzh, QStringLiteral("lzh/b200315.lzh"));
  TIDEWAKE_SAMPLE_OR_SKIP(txt, QStringLiteral("B/b200315.txt"));
  const QByteArray official = ReadBytes(lzh);
  const QByteArray whole = ReadBytes(txt);
  int refused = 0;
  for (qsizetype n = 0; n < official.size(); n += n < 64 || n > official.size() - 64 ? 1 : 257) {
    try {
      EXPECT_EQ(
          ArchiveMemberReadBytes(QByteArrayView(official).first(n), QStringLiteral("x.lzh"), ArchiveKind::Programme)
              .bytes,
          whole)
          << n;
    } catch (const RuntimeError&) {
      ++refused;
    }
  }
  EXPECT_GT(refused, 100);
}

// Names in Japanese, in the archive and in the path to it, read back whole (libarchive gives them
// in another form on Windows than here).
TEST(Archive, JapaneseNamesInTheArchiveAndItsPathReadWhole) {
  QTemporaryDir inputs;
  const QString folder = inputs.filePath(S(u"競艇データ"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QByteArray day("STARTB\r\n01BBGN\r\n01BEND\r\nFINALB\r\n");
  const QString zip = folder + S(u"/番組_240101.zip");
  WriteZip(zip, {{QString(S(u"番組/B240101.TXT")).toUtf8(), day}, {QString(S(u"説明.txt")).toUtf8(), "x"}});
  const ArchiveMember member = ArchiveMemberRead(zip, ArchiveKind::Programme);
  EXPECT_EQ(member.bytes, day);
  EXPECT_EQ(member.name, zip + S(u" の 番組/B240101.TXT"));
  // Two programmes whose names differ only in their folders' Japanese are still one day.
  WriteZip(zip, {{QString(S(u"番組/B240101.TXT")).toUtf8(), day}, {QString(S(u"予備/b240101.txt")).toUtf8(), day}});
  EXPECT_EQ(ArchiveMemberRead(zip, ArchiveKind::Programme).bytes, day);
}

// The fuzzer's seeds are archives of our own making: hand-made LHA level-0 headers with stored
// members. They must read as what they stand for, or the fuzzer starts from nothing.
TEST(Archive, HandMadeLhaSeedsRead) {
  const QString corpus = QStringLiteral(TIDEWAKE_TEST_SOURCE "/../../fuzz/corpus/ArchiveFuzz/");
  const QByteArray one = ArchiveMemberRead(corpus + QStringLiteral("lh0_programme.lzh"), ArchiveKind::Programme).bytes;
  EXPECT_TRUE(one.startsWith("STARTB\r\n01BBGN\r\n"));
  EXPECT_TRUE(one.endsWith("01BEND\r\nFINALB\r\n"));
  const ArchiveMember twice =
      ArchiveMemberRead(corpus + QStringLiteral("lh0_same_day_twice.lzh"), ArchiveKind::Programme);
  EXPECT_EQ(twice.bytes, one);
  EXPECT_TRUE(twice.name.endsWith(S(u" の B000101.TXT")));
  EXPECT_EQ(ArchiveMemberRead(corpus + QStringLiteral("deflate_programme.zip"), ArchiveKind::Programme).bytes, one);
}
