// What a fan does beyond the menus: races and venues by keyboard, the card's tooltip, and files
// dropped on the window.

#include "tests/data/ProgrammeText.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QAbstractItemView>

#include <algorithm>

namespace tidewake {
namespace {

using namespace test;

// A key pressed on the active window, as the user presses it.
void Press(frmMain& w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  if (!w.isVisible()) w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  QTest::keyClick(&w, key, modifiers);
}

TEST_F(WindowWithADay, PageKeysWalkTheRacesAndCtrlPageKeysTheVenues) {
  ASSERT_GE(Venues()->count(), 3);
  const int last = Races()->count();
  ChooseRace(1);
  Press(*w, Qt::Key_PageUp);
  EXPECT_EQ(Races()->currentIndex(), 0) << "nothing before the first race";
  for (int r = 2; r <= last; ++r) Press(*w, Qt::Key_PageDown);
  EXPECT_EQ(Races()->currentIndex(), last - 1);
  const QString shown = Cell(1, CardColumn::SensyuNo);
  Press(*w, Qt::Key_PageDown);
  EXPECT_EQ(Races()->currentIndex(), last - 1) << "nothing past the last race";
  EXPECT_EQ(Cell(1, CardColumn::SensyuNo), shown);
  Press(*w, Qt::Key_PageUp);
  EXPECT_EQ(Races()->currentIndex(), last - 2);
  EXPECT_EQ(Cell(1, CardColumn::SensyuNo), w->Session().Bangumi().SensyuNo(static_cast<std::int16_t>(last - 1), 1));

  // The next venue at the same race number, and back.
  ChooseRace(5);
  Press(*w, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(Venues()->currentIndex(), 1);
  EXPECT_EQ(Races()->currentData().toInt(), 5);
  EXPECT_EQ(Cell(1, CardColumn::SensyuNo), w->Session().Bangumi().SensyuNo(5, 1));
  Press(*w, Qt::Key_PageUp, Qt::ControlModifier);
  Press(*w, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(Venues()->currentIndex(), 0) << "nothing before the first venue";
  EXPECT_EQ(Races()->currentData().toInt(), 5);
}

TEST_F(Window, AVenueWithFewerRacesGivesItsLastRaceAndNoKeyActsDuringARun) {
  const QString text =
      QStringLiteral("STARTB\n") +
      Block(QStringLiteral("02"), 1,
            {QStringList{RaceHeader(1)} + SixEntrants(4000), QStringList{RaceHeader(2)} + SixEntrants(4100),
             QStringList{RaceHeader(3)} + SixEntrants(4200)}) +
      Block(QStringLiteral("05"), 1, {QStringList{RaceHeader(1)} + SixEntrants(5000)}) + QStringLiteral("FINALB\n");
  const QString path = folder.file(QStringLiteral("b990101.txt"));
  WriteBytes(path, SjisLines(text));
  // Nothing on the demo card.
  Press(*w, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(Venues()->count(), 1);
  RecordingMessageBox boxes;  // no racer store
  OpenProgramme(path);
  EXPECT_EQ(VenueCode(), 2);
  Press(*w, Qt::Key_PageDown);
  Press(*w, Qt::Key_PageDown);
  EXPECT_EQ(Races()->currentData().toInt(), 3);
  Press(*w, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(VenueCode(), 5);
  EXPECT_EQ(Races()->currentData().toInt(), 1) << "its last race";
  // Nothing during a run, nor in the race view after it.
  int pumps = 0;
  clock.onEvents = [&] {
    if (++pumps == 2) QTest::keyClick(w.get(), Qt::Key_PageUp, Qt::ControlModifier);
  };
  Act("mnuTestRun")->trigger();
  QTest::keyClick(w.get(), Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(VenueCode(), 5);
}

// The selectors' lists are made when first opened; they open in the selector's font (the window's
// one Japanese font), the venues' as wide as its widest item.
TEST_F(WindowWithADay, TheSelectorsOpenInTheirFontAsWideAsTheirItems) {
  w->show();
  const struct {
    QComboBox* selector;
    int margin;  // room beside the widest item for the list's frame and scroll bar
  } rows[] = {{Venues(), 24}, {Races(), 0}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.selector->objectName().toStdString());
    ASSERT_GT(r.selector->count(), 1);
    EXPECT_EQ(r.selector->font(), w->font());
    r.selector->showPopup();
    const QAbstractItemView* list = r.selector->view();
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->font(), r.selector->font());
    int widest = 0;
    for (int i = 0; i < r.selector->count(); ++i) {
      widest = std::max(widest, list->fontMetrics().horizontalAdvance(r.selector->itemText(i)));
    }
    EXPECT_GE(list->width(), widest + r.margin);
    EXPECT_GE(list->width(), r.selector->width());
    r.selector->hidePopup();
  }
}

TEST_F(WindowWithADay, TheTooltipTellsTheBoatAndTheChanceHeaderExplainsItself) {
  const QString tip = Tip(2, CardColumn::SensyuName);
  EXPECT_TRUE(tip.contains(w->Session().Tip(2).title)) << tip.toStdString();
  EXPECT_TRUE(tip.contains(QStringLiteral("コース別進入: "))) << tip.toStdString();
  EXPECT_TRUE(Tip(0, CardColumn::SensyuName).isEmpty());
  EXPECT_EQ(Tip(0, CardColumn::WinChance), WinChanceExplanation());
  EXPECT_EQ(w->Grid().CellValue(0, Col(CardColumn::WinChance)), QStringLiteral("予想\r\n1着%"));
}

TEST_F(Window, NoTooltipOnTheDemoCard) { EXPECT_TRUE(Tip(2, CardColumn::SensyuName).isEmpty()); }

TEST_F(Window, DroppedFilesAreToldApartByTheirContent) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, "B/b240101.txt");
  TIDEWAKE_SAMPLE_OR_SKIP(fan, "F/fan2604.txt");
  TIDEWAKE_SAMPLE_OR_SKIP(results, "K/k240101.txt");
  // Names that say nothing of the content.
  const QString day = folder.file(QStringLiteral("day.dat"));
  const QString racers = folder.file(QStringLiteral("racers.dat"));
  const QString outcome = folder.file(QStringLiteral("outcome.dat"));
  QFile::copy(programme, day);
  QFile::copy(fan, racers);
  QFile::copy(results, outcome);
  for (const QStringList& order : {QStringList{outcome, day, racers}, QStringList{racers, outcome, day}}) {
    QFile::remove(AppFilePath(QStringLiteral("BANGUMI.BRF")));
    QFile::remove(AppFilePath(QStringLiteral("SENSYU.BRF")));
    Make();
    RecordingMessageBox boxes;
    ASSERT_TRUE(Drop(*w, order));
    EXPECT_EQ(ReadBytes(AppFilePath(QStringLiteral("SENSYU.BRF"))), ReadBytes(fan));
    ASSERT_GT(Venues()->count(), 0);
    // The one box says what was installed: the handbook went first, the results last.
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith(QStringLiteral("ファン手帳を登録しました。")));
    EXPECT_EQ(w->Session().Results(), ResultsState::ThisDay);
    ASSERT_NE(w->KekkaWindow(), nullptr);
  }
}

TEST_F(Window, TheOfficialArchivesOpenAsTheirTextsDo) {
  TIDEWAKE_SAMPLE_OR_SKIP(archive, "lzh/b240101.lzh");
  TIDEWAKE_SAMPLE_OR_SKIP(text, "B/b240101.txt");
  RecordingMessageBox noHandbook;
  {
    ChosenFileDialog dialog(text);
    Act("mnuFileOpen")->trigger();
    EXPECT_TRUE(dialog.lastFilter.contains(QStringLiteral("番組ファイル(B*.LZH)") + QChar(0) + "B*.lzh" + QChar(0)));
  }
  const QByteArray fromText = ReadBytes(AppFilePath(QStringLiteral("BANGUMI.BRF")));
  const QStringList venues = Items(Venues());
  QFile::remove(AppFilePath(QStringLiteral("BANGUMI.BRF")));
  Make();
  OpenProgramme(archive);
  EXPECT_EQ(ReadBytes(AppFilePath(QStringLiteral("BANGUMI.BRF"))), fromText);
  EXPECT_EQ(Items(Venues()), venues);
  // Dropped, the same; a damaged copy says so, naming the archive, and changes nothing.
  Make();
  ASSERT_TRUE(Drop(*w, {archive}));
  EXPECT_EQ(Items(Venues()), venues);
  const QString damaged = folder.file(QStringLiteral("b240101.lzh"));
  WriteBytes(damaged, ReadBytes(archive).left(3000));
  RecordingMessageBox boxes;
  ASSERT_TRUE(Drop(*w, {damaged}));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.contains(damaged));
  EXPECT_EQ(ReadBytes(AppFilePath(QStringLiteral("BANGUMI.BRF"))), fromText);
  EXPECT_EQ(Items(Venues()), venues);
}

TEST_F(WindowWithADay, TheResultsArchiveOpensAsItsTextDoes) {
  TIDEWAKE_SAMPLE_OR_SKIP(archive, "lzh/k240101.lzh");
  TIDEWAKE_SAMPLE_OR_SKIP(text, "K/k240101.txt");
  OpenResults(archive);
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
    // Results can be dropped as well: the box names the three kinds.
    EXPECT_EQ(
        boxes.boxes()[0].text,
        note + QStringLiteral("\n番組ファイルでも成績ファイルでもファン手帳ファイルでもないため、開きませんでした。"));
  }
  EXPECT_TRUE(State() == snapshot);
  bool refused = false;
  clock.onEvents = [&] {
    if (!refused) refused = !Drop(*w, {programme});
  };
  Act("mnuTestRun")->trigger();
  EXPECT_TRUE(refused);
  EXPECT_FALSE(Drop(*w, {programme})) << "the race view takes no files either";
  Back();
  EXPECT_TRUE(State() == snapshot);
}

}  // namespace
}  // namespace tidewake
