// The window's file commands and drops, with files a fan should never have to meet: each is
// refused with one box naming it, nothing changes, and the program goes on.

#include "data/ArchiveMember.h"
#include "tests/data/ProgrammeText.h"
#include "tests/data/ZipWriter.h"
#include "tests/ui/WindowFixture.h"

#include <QDir>
#include <QTemporaryDir>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tidewake {
namespace {

using namespace test;

QString S(const char16_t* s) { return QString::fromUtf16(s); }

class WindowFiles : public WindowWithADay {
 protected:
  // The commands a file comes in by: the three dialogs and a drop.
  enum class Way { Programme, Results, Handbook, Drop };
  void Give(Way way, const QString& path) {
    ChosenFileDialog dialog(path);
    switch (way) {
      case Way::Programme:
        Act("mnuFileOpen")->trigger();
        break;
      case Way::Results:
        Act("mnuFileKekka")->trigger();
        break;
      case Way::Handbook:
        Act("mnuFileUpdate")->trigger();
        break;
      case Way::Drop:
        Drop(*w, {path});
        break;
    }
  }
  QTemporaryDir dir;
};

// What cannot be read as a file: a folder, a device, a pipe (refused before it is opened, so
// nothing blocks), a dangling link, a file that cannot be read, one far too large.
TEST_F(WindowFiles, WhatCannotBeReadIsRefusedByEveryCommandAndChangesNothing) {
  const QString big = dir.filePath(QStringLiteral("big.txt"));
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(kMaxDayFileBytes + 1));
  }
  QStringList paths{dir.path(), big};
#ifndef Q_OS_WIN
  // Pipes, devices, links and /proc are Unix's.
  const QString fifo = dir.filePath(QStringLiteral("pipe.txt"));
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString dangling = dir.filePath(QStringLiteral("b240101.lzh"));
  ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone")), dangling));
  paths << QStringLiteral("/dev/zero") << fifo << dangling;
  // A regular file whose read fails: for root too, /proc/self/mem cannot be read at its start;
  // anyone else cannot read a file without read permission.
  const QString locked = dir.filePath(QStringLiteral("locked.txt"));
  WriteBytes(locked, "STARTB\r\n");
  ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
  paths << (geteuid() == 0 ? QStringLiteral("/proc/self/mem") : locked);
#endif
  for (Way way : {Way::Programme, Way::Results, Way::Handbook, Way::Drop}) {
    for (const QString& path : paths) {
      SCOPED_TRACE(path.toStdString() + " way " + std::to_string(static_cast<int>(way)));
      RecordingMessageBox boxes;
      Give(way, path);
      ASSERT_EQ(boxes.boxes().size(), 1u);
      EXPECT_TRUE(boxes.boxes()[0].text.contains(path)) << boxes.boxes()[0].text.toStdString();
      EXPECT_TRUE(State() == snapshot);
    }
  }
}

// A file of another kind says what it is and which command opens it; an empty one says so.
TEST_F(WindowFiles, AFileOfTheWrongKindSaysWhichCommandOpensIt) {
  TIDEWAKE_SAMPLE_OR_SKIP(results, "K/k240101.txt");
  TIDEWAKE_SAMPLE_OR_SKIP(resultsArchive, "lzh/k240101.lzh");
  const QString empty = dir.filePath(QStringLiteral("b240102.txt"));
  WriteBytes(empty, QByteArray());
  const struct {
    Way way;
    QString path;
    const char16_t* text;
  } cases[] = {
      {Way::Programme, results, u"これは成績ファイルです。「成績ﾌｧｲﾙを開く」(Ctrl+K) で開いてください"},
      {Way::Programme, resultsArchive, u"これは成績ファイルです。「成績ﾌｧｲﾙを開く」(Ctrl+K) で開いてください"},
      {Way::Results, programme, u"これは番組ファイルです。「番組ﾌｧｲﾙを開く」(Ctrl+O) で開いてください"},
      {Way::Handbook, results, u"これは成績ファイルです。「成績ﾌｧｲﾙを開く」(Ctrl+K) で開いてください"},
      {Way::Results, fan, u"これはファン手帳ファイルです。「選手ﾌｧｲﾙの更新」で開いてください"},
      {Way::Programme, empty, u"ファイルが空です"},
      {Way::Results, empty, u"ファイルが空です"},
      {Way::Drop, empty, u"ファイルが空です"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    RecordingMessageBox boxes;
    Give(c.way, c.path);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(S(c.text))) << boxes.boxes()[0].text.toStdString();
    EXPECT_TRUE(State() == snapshot);
  }
}

// Copies of one day, each larger than the last, as many as fit under the per-member cap: the
// archive's total is capped, so the window answers at once and nothing changes.
TEST_F(WindowFiles, AnArchiveThatWouldUnpackWithoutLimitIsRefused) {
  std::vector<std::pair<QByteArray, QByteArray>> members;
  for (int i = 1; i <= 16; ++i) members.emplace_back("B240101.TXT", QByteArray(kMaxArchiveMemberBytes - 16 + i, ' '));
  const QString archive = dir.filePath(QStringLiteral("b240101.zip"));
  WriteZip(archive, members);
  for (Way way : {Way::Programme, Way::Drop}) {
    RecordingMessageBox boxes;
    Give(way, archive);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(archive));
    EXPECT_TRUE(State() == snapshot);
  }
}

// A venue whose races are not published yet shows its own notice in place of a card.
TEST_F(Window, AVenueWithNoRaceYetShowsItsNotice) {
  const QString wait = S(u"この場のデータ更新は、いましばらくお待ちください。");
  const QString text =
      S(u"STARTB\n") + Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1)} + SixEntrants(4000)}) +
      S(u"02BBGN\nボートレース戸　田   　１月　１日  戸田杯  第　１日\n") + wait + S(u"\n02BEND\nFINALB\n");
  const QString path = folder.file(QStringLiteral("b240101.txt"));
  WriteBytes(path, SjisLines(text));
  {
    RecordingMessageBox noHandbook;  // no handbook installed here: not this test's matter
    OpenProgramme(path);
    ChooseVenue(24);
  }
  ASSERT_EQ(Venues()->count(), 2);
  ASSERT_EQ(Races()->count(), 1);
  RecordingMessageBox boxes;
  ChooseVenue(2);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(Races()->count(), 0);
  EXPECT_EQ(Text("lblDay"), S(u"戸田競艇場  ") + wait);
  // Nothing of the race before stays, its chances included.
  for (int c = Col(CardColumn::SensyuNo); c < kCardColumns; ++c)
    EXPECT_TRUE(Cell(1, static_cast<CardColumn>(c)).isEmpty()) << c;
  Act("mnuRaceStart")->trigger();
  EXPECT_TRUE(CardShown()) << "no race to run";
}

}  // namespace
}  // namespace tidewake
