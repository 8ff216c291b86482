// What a fan does beyond the menus: races and venues by keyboard, the prediction's reasons on
// the card, and files dropped on the window.

#include "data/cSensyuFile.h"
#include "predict/mCourseExpect.h"
#include "tests/data/ProgrammeText.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace tidewake {
namespace {

using namespace test;

TEST_F(WindowWithADay, PageKeysWalkTheRacesAndCtrlPageKeysTheVenues) {
  ASSERT_GE(w->cboJyo->count(), 3);
  const int last = w->cboRaceNo->count();
  ChooseRace(1);
  w->RaceStep(-1);
  EXPECT_EQ(w->cboRaceNo->currentIndex(), 0) << "nothing before the first race";
  for (int r = 2; r <= last; ++r) w->RaceStep(1);
  EXPECT_EQ(w->cboRaceNo->currentIndex(), last - 1);
  const QString shown = Cell(1, 1);
  w->RaceStep(1);
  EXPECT_EQ(w->cboRaceNo->currentIndex(), last - 1) << "nothing past the last race";
  EXPECT_EQ(Cell(1, 1), shown);
  w->RaceStep(-1);
  EXPECT_EQ(w->cboRaceNo->currentIndex(), last - 2);
  EXPECT_EQ(Cell(1, 1), w->Bangumi().SensyuNo(static_cast<std::int16_t>(last - 1), 1));

  // The next venue at the same race number, and back.
  ChooseRace(5);
  w->VenueStep(1);
  EXPECT_EQ(w->cboJyo->currentIndex(), 1);
  EXPECT_EQ(w->cboRaceNo->currentData().toInt(), 5);
  EXPECT_EQ(Cell(1, 1), w->Bangumi().SensyuNo(5, 1));
  w->VenueStep(-1);
  w->VenueStep(-1);
  EXPECT_EQ(w->cboJyo->currentIndex(), 0) << "nothing before the first venue";
  EXPECT_EQ(w->cboRaceNo->currentData().toInt(), 5);
}

TEST(WindowKeys, AVenueWithFewerRacesGivesItsLastRace) {
  TempAppFolder folder;
  VirtualClock clock;
  const QString text =
      QStringLiteral("STARTB\n") +
      Block(QStringLiteral("02"), 1,
            {QStringList{RaceHeader(1)} + SixEntrants(4000), QStringList{RaceHeader(2)} + SixEntrants(4100),
             QStringList{RaceHeader(3)} + SixEntrants(4200)}) +
      Block(QStringLiteral("05"), 1, {QStringList{RaceHeader(1)} + SixEntrants(5000)}) + QStringLiteral("FINALB\n");
  const QString path = folder.file(QStringLiteral("b990101.txt"));
  WriteBytes(path, SjisLines(text));
  frmMain w;
  // Nothing on the demo card.
  w.VenueStep(1);
  w.RaceStep(1);
  EXPECT_EQ(w.cboJyo->count(), 1);
  {
    ChosenFileDialog dialog(path);
    w.mnuFileOpen->trigger();
  }
  RecordingMessageBox boxes;  // no racer store
  w.VenueStep(1);
  EXPECT_EQ(w.cboJyo->currentIndex(), 0) << "from no venue, the first";
  w.RaceStep(1);
  w.RaceStep(1);
  EXPECT_EQ(w.cboRaceNo->currentData().toInt(), 3);
  w.VenueStep(1);
  EXPECT_EQ(w.cboJyo->currentData().toInt(), 5);
  EXPECT_EQ(w.cboRaceNo->currentData().toInt(), 1) << "its last race";
  // Nothing during a run, nor in the race view after it.
  int pumps = 0;
  clock.onEvents = [&] {
    if (++pumps == 2) w.VenueStep(-1);
  };
  w.mnuTestRun->trigger();
  w.VenueStep(-1);
  EXPECT_EQ(w.cboJyo->currentData().toInt(), 5);
}

TEST_F(WindowWithADay, TheTooltipGivesTheReasonsOfTheRaceShown) {
  const QPointF boat2 = CellCentre(2, 3);
  const auto tip = [&] { return w->CardToolTip(static_cast<float>(boat2.x()), static_cast<float>(boat2.y())); };
  const auto reasons = [&](EntryPredictor p, int race) {
    cSensyuFile sensyu;
    QStringList list = w->Bangumi().ParticipationSensyuNoAllGet();
    EXPECT_TRUE(sensyu.FileLoad(AppFilePath(QStringLiteral("SENSYU.BRF")), list, 0));
    return QStringLiteral("2号艇 %1\n").arg(Cell(2, 2).trimmed()) +
           PredictEntry(p, w->Bangumi(), static_cast<std::int16_t>(race), sensyu).reasons[1] +
           QStringLiteral("\n（履歴なし）");  // the history holds no day before this one
  };
  w->mnuRaceExpectStandard->trigger();
  const QString race3 = reasons(EntryPredictor::Rules, 3);
  EXPECT_TRUE(race3.contains(QStringLiteral("\n得意コース: ")) && race3.contains(QStringLiteral("\n戦法: ")));
  EXPECT_EQ(tip(), race3);
  // Results opened: every race of the venue is predicted for the accuracy line, the rule set's
  // tables end at the last race, and the tooltip still tells of race 3.
  TIDEWAKE_SAMPLE_OR_SKIP(results, "K/k240101.txt");
  {
    ChosenFileDialog dialog(results);
    w->mnuFileKekka->trigger();
  }
  ASSERT_NE(w->KekkaWindow(), nullptr);
  EXPECT_EQ(tip(), race3);
  w->mnuRaceExpectStat->trigger();
  EXPECT_EQ(tip(), reasons(EntryPredictor::Stat, 3));
  EXPECT_TRUE(tip().contains(QStringLiteral("\nコース別進入: "))) << tip().toStdString();
  const QPointF header = CellCentre(0, 3);
  EXPECT_TRUE(w->CardToolTip(static_cast<float>(header.x()), static_cast<float>(header.y())).isEmpty());
  // A fixed-entry race says so.
  for (int v = 0; v < w->cboJyo->count(); ++v) {
    ChooseVenue(w->cboJyo->itemData(v).toInt());
    for (int r = 1; r <= w->cboRaceNo->count(); ++r) {
      if (!w->Bangumi().CourseFix(static_cast<std::int16_t>(r))) continue;
      ChooseRace(r);
      EXPECT_TRUE(tip().contains("\n進入固定\n"));
      return;
    }
  }
  GTEST_SKIP() << "no fixed-entry race on this day";
}

TEST_F(Window, NoTooltipOnTheDemoCard) {
  const QPointF at = CellCentre(2, 3);
  EXPECT_TRUE(w->CardToolTip(static_cast<float>(at.x()), static_cast<float>(at.y())).isEmpty());
}

// Drops as the window receives them: the enter event, then the drop.
bool Drop(frmMain& w, const QStringList& paths) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
  mime.setUrls(urls);
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  return true;
}

TEST_F(Window, DroppedFilesAreToldApartByTheirContent) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, "B/b240101.txt");
  TIDEWAKE_SAMPLE_OR_SKIP(fan, "F/fan2604.txt");
  // Names that say nothing of the content.
  const QString day = folder.file(QStringLiteral("day.dat"));
  const QString racers = folder.file(QStringLiteral("racers.dat"));
  QFile::copy(programme, day);
  QFile::copy(fan, racers);
  for (const QStringList& order : {QStringList{day, racers}, QStringList{racers, day}}) {
    QFile::remove(AppFilePath(QStringLiteral("BANGUMI.BRF")));
    QFile::remove(AppFilePath(QStringLiteral("SENSYU.BRF")));
    w = std::make_unique<frmMain>();
    RecordingMessageBox boxes;
    ASSERT_TRUE(Drop(*w, order));
    EXPECT_EQ(ReadBytes(AppFilePath(QStringLiteral("SENSYU.BRF"))), ReadBytes(fan));
    ASSERT_GT(w->cboJyo->count(), 0);
    ChooseVenue(w->cboJyo->itemData(0).toInt());
    // The one box says what was installed: the handbook went first.
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith(QStringLiteral("ファン手帳を登録しました。")));
  }
  // One at a time works the same.
  w = std::make_unique<frmMain>();
  ASSERT_TRUE(Drop(*w, {day}));
  EXPECT_GT(w->cboJyo->count(), 0);
}

TEST_F(Window, TheOfficialArchivesOpenAsTheirTextsDo) {
  TIDEWAKE_SAMPLE_OR_SKIP(archive, "lzh/b240101.lzh");
  TIDEWAKE_SAMPLE_OR_SKIP(text, "B/b240101.txt");
  {
    ChosenFileDialog dialog(text);
    w->mnuFileOpen->trigger();
    EXPECT_TRUE(dialog.lastFilter.contains(QStringLiteral("番組ファイル(B*.LZH)") + QChar(0) + "B*.lzh" + QChar(0)));
  }
  const QByteArray fromText = ReadBytes(AppFilePath(QStringLiteral("BANGUMI.BRF")));
  const QStringList venues = Items(w->cboJyo);
  QFile::remove(AppFilePath(QStringLiteral("BANGUMI.BRF")));
  w = std::make_unique<frmMain>();
  {
    ChosenFileDialog dialog(archive);
    w->mnuFileOpen->trigger();
  }
  EXPECT_EQ(ReadBytes(AppFilePath(QStringLiteral("BANGUMI.BRF"))), fromText);
  EXPECT_EQ(Items(w->cboJyo), venues);
  // Dropped, the same; a damaged copy says so, naming the archive, and changes nothing.
  w = std::make_unique<frmMain>();
  ASSERT_TRUE(Drop(*w, {archive}));
  EXPECT_EQ(Items(w->cboJyo), venues);
  const QString damaged = folder.file(QStringLiteral("b240101.lzh"));
  WriteBytes(damaged, ReadBytes(archive).left(3000));
  RecordingMessageBox boxes;
  ASSERT_TRUE(Drop(*w, {damaged}));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.contains(damaged));
  EXPECT_EQ(ReadBytes(AppFilePath(QStringLiteral("BANGUMI.BRF"))), fromText);
  EXPECT_EQ(Items(w->cboJyo), venues);
}

TEST_F(WindowWithADay, TheResultsArchiveOpensAsItsTextDoes) {
  TIDEWAKE_SAMPLE_OR_SKIP(archive, "lzh/k240101.lzh");
  TIDEWAKE_SAMPLE_OR_SKIP(text, "K/k240101.txt");
  ChosenFileDialog dialog(archive);
  w->mnuFileKekka->trigger();
  EXPECT_EQ(ReadBytes(AppFilePath(QStringLiteral("KEKKA.BRF"))), ReadBytes(text));
  EXPECT_TRUE(w->KekkaWindow()->isVisible());
}

TEST_F(WindowWithADay, AnUnrelatedFileOrADropDuringARunChangesNothing) {
  const QString note = folder.file(QStringLiteral("note.txt"));
  WriteBytes(note, QByteArray("shopping list\r\n"));
  {
    RecordingMessageBox boxes;
    ASSERT_TRUE(Drop(*w, {note}));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text,
              note + QStringLiteral("\n番組ファイルでもファン手帳ファイルでもないため、開きませんでした。"));
  }
  EXPECT_TRUE(State() == snapshot);
  bool refused = false;
  clock.onEvents = [&] {
    if (!refused) refused = !Drop(*w, {programme});
  };
  w->mnuTestRun->trigger();
  EXPECT_TRUE(refused);
  EXPECT_FALSE(Drop(*w, {programme})) << "the race view takes no files either";
  w->cmdClose->click();
  EXPECT_TRUE(State() == snapshot);
}

}  // namespace
}  // namespace tidewake
