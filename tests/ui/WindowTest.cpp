// The main window as the user meets it: the real frmMain, offscreen, driven through its controls
// with the test doubles for the file dialog, the message box and the clock, on the real files.
// What the card holds is the session's (tests/session); these tests hold the wiring.

#include "platform/Format.h"
#include "sim/mGlobal.h"
#include "tests/data/ProgrammeText.h"
#include "tests/ui/WindowFixture.h"
#include "ui/ProgramStart.h"

#include <QFontDatabase>
#include <QMenuBar>
#include <QThread>

namespace tidewake {
namespace {

using namespace test;

// ---- Start-up ----

TEST_F(Window, StartsOnTheDemoCard) {
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Corvane Tidewake"));
  EXPECT_EQ(Items(Venues()), QStringList{QStringLiteral("12#   ＳＧ　第１回オールスター BOAT RACE")});
  EXPECT_EQ(Items(Races()), QStringList{QStringLiteral("12 R")});
  EXPECT_EQ(Venues()->currentIndex(), 0);
  EXPECT_EQ(Races()->currentIndex(), 0);
  EXPECT_EQ(Text("lblDay"), QStringLiteral("  ボートレース住之江"));
  EXPECT_TRUE(Act("mnuRaceSpeedNormal")->isChecked());
  EXPECT_FALSE(Act("mnuRaceSpeedHi")->isChecked());
  EXPECT_EQ(Text("lblNotice"), QStringLiteral("Tidewake Ver.%1 (C) Corvane ").arg(QStringLiteral(TIDEWAKE_VERSION)));

  // Header, the boat numbers on their colours, the demo's values as the card shows them.
  EXPECT_EQ(w->Grid().CellValue(0, Col(CardColumn::Seiseki)), QStringLiteral("成　　　　績\r\n１２３４５６"));
  const Colour back[6] = {0xFFFFFF, 0x404040, 0x0000FF, 0xFF0000, 0x00FFFF, 0x00FF00};
  const Colour fore[6] = {0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0, 0};
  for (std::int16_t b = 1; b <= 6; ++b) {
    EXPECT_EQ(Cell(b, CardColumn::Waku), QString::number(b));
    EXPECT_EQ(w->Grid().CellBackColor(b, Col(CardColumn::Waku)), back[b - 1]);
    EXPECT_EQ(w->Grid().CellForeColor(b, Col(CardColumn::Waku)), fore[b - 1]);
    EXPECT_EQ(Cell(b, CardColumn::Course), QString::number(b));
  }
  QStringList boat1;
  for (int c = Col(CardColumn::SensyuAge); c <= Col(CardColumn::Seiseki); ++c)
    boat1 << Cell(1, static_cast<CardColumn>(c));
  EXPECT_EQ(boat1,
            (QStringList{"41", "千葉", "47", "A1", "9.27", "67.30", "39", "49.67", "14", "41.22", "１１１１１１"}));
  // The chances follow the first paint.
  double sum = 0;
  for (const QString& chance : Column(CardColumn::WinChance)) sum += chance.toDouble();
  EXPECT_NEAR(sum, 100.0, 0.35);
  // The selectors do nothing on the demo card.
  Activate(Venues(), 0);
  EXPECT_EQ(Cell(1, CardColumn::SensyuAge), QStringLiteral("41"));
}

TEST_F(Window, ClientAreaIsTheCardOrTheWaterBelowTheMenuBar) {
  w->show();
  EXPECT_EQ(w->centralWidget()->size(), QSize(828, 209));
  EXPECT_EQ(w->centralWidget()->y(), w->menuBar()->height());
  EXPECT_EQ(w->height(), w->menuBar()->height() + 209);
  EXPECT_EQ(Widget("picGridPanel")->geometry(), QRect(0, 0, 828, 209));
  EXPECT_EQ(Picture()->geometry(), QRect(8, 36, 785, 153));
  EXPECT_EQ(Control<QPushButton>(*w, "cmdClose")->text(), QStringLiteral("戻る"));
  EXPECT_LT(Widget("cmdCancel")->x(), -3000) << "Cancel lies outside the water";

  int heightDuringRun = 0;
  clock.onEvents = [&] { heightDuringRun = w->centralWidget()->height(); };
  Act("mnuTestRun")->trigger();
  EXPECT_EQ(heightDuringRun, 400);
  EXPECT_EQ(w->centralWidget()->size(), QSize(828, 400));
  EXPECT_EQ(w->height(), w->menuBar()->height() + 400);
  Back();
  EXPECT_EQ(w->centralWidget()->size(), QSize(828, 209));
}

// ---- A real day ----

// A day opened shows its first venue's first race at once, as Ctrl+B's reopening does.
TEST_F(Window, OpeningAProgrammeListsItsVenuesAndShowsTheFirstRace) {
  TIDEWAKE_SAMPLE_OR_SKIP(path, "B/b240101.txt");
  RecordingMessageBox noHandbook;
  OpenProgramme(path);
  const QStringList items = Items(Venues());
  ASSERT_EQ(items.size(), static_cast<qsizetype>(w->Session().Venues().size()));
  EXPECT_TRUE(items.first().startsWith(QStringLiteral("06#   浜名湖  "))) << items.first().toStdString();
  EXPECT_EQ(Venues()->currentIndex(), 0);
  EXPECT_EQ(Races()->currentIndex(), 0);
  EXPECT_EQ(Text("lblDay"), QStringLiteral("2024/1/1  浜名湖競艇場"));
  EXPECT_EQ(Cell(1, CardColumn::SensyuNo), w->Session().Row(1)[CardColumn::SensyuNo]);
  EXPECT_FALSE(Cell(1, CardColumn::SensyuNo).isEmpty());
  // The whole title in the list's tooltip, where the selector cuts it.
  EXPECT_EQ(Venues()->itemData(0, Qt::ToolTipRole).toString(), items.first());
  Act("mnuFileOpenOld")->trigger();
  EXPECT_EQ(Venues()->currentIndex(), 0);
  EXPECT_EQ(Races()->currentIndex(), 0);
}

// One race of the real day written out by hand, as a fan reads it off the official programme.
TEST_F(WindowWithADay, TheCardShowsTheProgrammesRace) {
  ChooseVenue(24);
  ChooseRace(7);
  QStringList boat1;
  for (int c = 0; c <= Col(CardColumn::Course); ++c) boat1 << Cell(1, static_cast<CardColumn>(c));
  EXPECT_EQ(boat1, (QStringList{"1", "4171", "榎　幸司", "41", "長崎", "52", "A1", "5.98", "38.14", "35", "25.00", "75",
                                "34.15", "            ", "1"}));
  EXPECT_EQ(Text("lblRace"), QStringLiteral("7R 予選 1800m 締切予定 20:26 第１日 進入固定"));
  EXPECT_TRUE(Cell(1, CardColumn::WinChance).contains(u'.'));
}

// ---- Entry courses ----

TEST_F(Window, ThePopUpOverridesOneBoatOrAllOnTheCourseColumnOnly) {
  QStringList actions;
  for (QAction* a : Control<QMenu>(*w, "mnuPopup")->actions()) {
    if (!a->isSeparator()) actions << a->text();
  }
  EXPECT_EQ(actions,
            (QStringList{"自動(&A)", "標準(&P)", "統計(&S)", "履歴(&H)", "枠なり(&W)", "&1 コース", "&2 コース",
                         "&3 コース", "&4 コース", "&5 コース", "&6 コース", "この選手の成績(&A)..."}));
  EXPECT_EQ(Control<QMenu>(*w, "mnuPopup")->defaultAction(), Act("mnuPopupAuto"));

  // The course column opens the course pop-up; a boat's other columns its analysis pop-up.
  QMenu* opened = nullptr;
  int opens = 0;
  w->PopupMenu = [&](QMenu* menu, const QPoint&) {
    opened = menu;
    ++opens;
  };
  const struct {
    Qt::MouseButton button;
    int row;
    CardColumn col;
    const char* menu;
  } clicks[] = {
      {Qt::RightButton, 3, CardColumn::Course, "mnuPopup"},      {Qt::RightButton, 0, CardColumn::Course, nullptr},
      {Qt::RightButton, 3, CardColumn::Seiseki, "mnuBoatPopup"}, {Qt::RightButton, 3, CardColumn::Waku, "mnuBoatPopup"},
      {Qt::RightButton, 0, CardColumn::Waku, nullptr},           {Qt::LeftButton, 3, CardColumn::Course, nullptr},
      {Qt::MiddleButton, 6, CardColumn::Course, nullptr},
  };
  for (const auto& c : clicks) {
    opened = nullptr;
    opens = 0;
    Click(c.button, c.row, c.col);
    EXPECT_EQ(opens, c.menu ? 1 : 0) << "row " << c.row << " col " << Col(c.col);
    if (c.menu) {
      EXPECT_EQ(opened, Control<QMenu>(*w, c.menu)) << "row " << c.row << " col " << Col(c.col);
    }
  }
  // A course set by hand swaps with the boat that held it: the six stay a permutation.
  Popup(3, "mnuPopup1");
  EXPECT_EQ(Courses(), (QStringList{"3", "2", "1", "4", "5", "6"}));
  Popup(5, "mnuPopup1");
  EXPECT_EQ(Courses(), (QStringList{"3", "2", "5", "4", "1", "6"}));
  Popup(1, "mnuPopupNum");
  EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"}));
  Popup(1, "mnuPopup6");
  Popup(1, "mnuPopupAuto");  // the demo card has no prediction: 枠なり
  EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"}));
}

TEST_F(WindowWithADay, TheCheckedPredictorFillsTheCoursesAndASwitchRepredicts) {
  // 統計 at start: it has the most entries right.
  EXPECT_TRUE(Act("mnuRaceExpectStat")->isChecked());
  const auto courses = [&](EntryPredictor p) {
    const EntryPrediction e = PredictEntry(p, w->Session().Bangumi(), 3, w->Session().Sensyu());
    QStringList c;
    for (int b = 1; b <= 6; ++b) c << QString::number(e.Course(b));
    return c;
  };
  EXPECT_EQ(Courses(), courses(EntryPredictor::Stat));
  Act("mnuRaceExpectStandard")->trigger();
  EXPECT_EQ(Courses(), courses(EntryPredictor::Rules)) << "switching predicts the race shown again";
  EXPECT_EQ(w->Session().Predictor(), EntryPredictor::Rules);
  Popup(2, "mnuPopupStat");
  EXPECT_EQ(Courses(), courses(EntryPredictor::Stat));
  Popup(2, "mnuPopupAuto");
  EXPECT_EQ(Courses(), courses(EntryPredictor::Rules)) << "自動 follows the checked one";
}

// ---- Runs ----

TEST_F(Window, ARunHidesTheCardAndLocksTheMenusThenOffersTheWayBack) {
  for (const char* run : {"mnuTestRun", "mnuRaceStart"}) {
    SCOPED_TRACE(run);
    bool sawRunState = false;
    clock.onEvents = [&] {
      if (sawRunState) return;
      sawRunState = true;
      EXPECT_TRUE(w->Running());
      EXPECT_FALSE(FileMenuEnabled());
      EXPECT_FALSE(RaceMenuEnabled());
      EXPECT_FALSE(Act("mnuHelpKeys")->isEnabled()) << "a help box would hold the run's frames";
      EXPECT_FALSE(CardShown());
      EXPECT_FALSE(Widget("cmdClose")->isVisibleTo(w.get()));
      EXPECT_EQ(w->picClock().Visible(), QByteArray(run) == "mnuRaceStart") << "the exhibition has no start clock";
      // Nothing of the card view reaches the program meanwhile.
      Act("mnuRaceStart")->trigger();
      Act("mnuFileOpenOld")->trigger();
      Back();
      Activate(Races(), 0);
      EXPECT_TRUE(w->Running());
    };
    Act(run)->trigger();
    EXPECT_TRUE(sawRunState);
    EXPECT_FALSE(w->Running());
    EXPECT_TRUE(Widget("cmdClose")->isVisibleTo(w.get()));
    EXPECT_TRUE(RaceMenuEnabled());
    EXPECT_FALSE(FileMenuEnabled());
    EXPECT_TRUE(Act("mnuHelpKeys")->isEnabled());
    EXPECT_FALSE(CardShown());
    // A finished run leaves every boat out of it: finished, flying or late.
    if (QByteArray(run) == "mnuRaceStart") {
      for (const EntrantType& e : gtypEntrant) EXPECT_FALSE(e.Result.isEmpty());
    }
    // The file menu's shortcuts stay dead until the way back.
    ChosenFileDialog dialog(QStringLiteral("/nonexistent"));
    Act("mnuFileOpen")->trigger();
    EXPECT_EQ(dialog.calls, 0);
    Back();
    EXPECT_TRUE(CardShown());
    EXPECT_TRUE(FileMenuEnabled());
    EXPECT_FALSE(Widget("cmdClose")->isVisibleTo(w.get()));
  }
}

// The water and what lies on it are made after the card's first paint; a run asked for sooner
// (F4 or F5 pressed the moment the window shows) plays all the same, and the water stays under
// the card whenever it was made.
TEST_F(Window, ARunAskedForBeforeTheFirstPaintPlaysOnTheWater) {
  for (const bool painted : {false, true}) {
    for (const char* run : {"mnuTestRun", "mnuRaceStart"}) {
      SCOPED_TRACE(run);
      SCOPED_TRACE(painted ? "after the first paint" : "before the first paint");
      w.reset();
      w = std::make_unique<frmMain>();
      w->show();
      if (painted) QCoreApplication::processEvents();
      const QPoint onTheCard = Picture()->geometry().center();
      EXPECT_TRUE(Widget("picGridPanel")->isAncestorOf(w->centralWidget()->childAt(onTheCard)));
      bool sawTheWater = false, sawABoat = false;
      clock.onEvents = [&] {
        for (int boat = 0; boat < 6; ++boat) sawABoat = sawABoat || w->imgRaceBoat(boat).Visible();
        if (sawTheWater) return;
        sawTheWater = true;
        EXPECT_TRUE(Widget("picPool")->isVisibleTo(w.get()));
        EXPECT_TRUE(Widget("picPool")->isAncestorOf(w->centralWidget()->childAt(onTheCard)) ||
                    w->centralWidget()->childAt(onTheCard) == Widget("picPool"));
      };
      Act(run)->trigger();
      EXPECT_TRUE(sawTheWater);
      EXPECT_TRUE(sawABoat) << "the boats ran on the water";
      Back();
      EXPECT_TRUE(CardShown());
      EXPECT_TRUE(Widget("picGridPanel")->isAncestorOf(w->centralWidget()->childAt(onTheCard)))
          << "the card lies over the water again";
    }
  }
}

// The card shown first is drawn by its first paint, whatever was chosen before the window showed:
// it is the card of the values shown, as the card set up anew draws them.
TEST_F(Window, TheFirstPaintDrawsTheCardOfTheValuesShown) {
  const QString programme = SharedDataFile(QStringLiteral("B/b240101.txt"));
  for (const bool aRace : {false, true}) {
    SCOPED_TRACE(aRace ? "a race chosen before the window shows" : "the demo card");
    if (aRace && programme.isEmpty()) GTEST_SKIP() << "sample files not found in ../shared/data";
    w.reset();
    w = std::make_unique<frmMain>();
    if (aRace) {
      RecordingMessageBox boxes;  // no handbook yet: the card says so
      OpenProgramme(programme);
      ChooseRace(5);
    }
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QCoreApplication::processEvents();
    cGrid grid;
    QtDrawSurface expected(Picture()->width(), Picture()->height());
    RaceCardSetUp(grid, expected, false);
    for (std::int16_t row = 1; row <= 6; ++row)
      for (std::int16_t c = 1; c < kCardColumns; ++c) grid.SetCellValue(row, c, w->Grid().CellValue(row, c));
    grid.Refresh(false);
    EXPECT_EQ(Picture()->Surface().Image(), expected.Image());
    EXPECT_EQ(Cell(1, CardColumn::SensyuName).isEmpty(), false);
  }
}

// The program's icon is made and given to the window once the card's first paint is done, once.
TEST_F(Window, TheIconIsGivenAfterTheFirstPaintOnce) {
  QApplication::setWindowIcon(QIcon());
  w.reset();
  w = std::make_unique<frmMain>();
  int made = 0;
  GiveIconAfterFirstPaint(*w, [&made] {
    ++made;
    QPixmap p(16, 16);
    p.fill(Qt::blue);
    return QIcon(p);
  });
  w->show();
  EXPECT_EQ(made, 0) << "nothing before the first paint";
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
  QCoreApplication::processEvents();
  EXPECT_EQ(made, 1);
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  w->repaint();
  QCoreApplication::processEvents();
  EXPECT_EQ(made, 1) << "later paints give nothing";
  QApplication::setWindowIcon(QIcon());
}

// The fonts read ahead end whether or not they were told the application was made (it may fail to
// be made), waited for or only destroyed, and a second wait returns at once; the application keeps
// its main thread and the list of fonts is there.
TEST(FontReadAhead, EndsToldOrNotAndLeavesTheApplicationItsThread) {
  const struct {
    const char* name;
    bool told, waited;
  } cases[] = {{"told, waited", true, true},
               {"told, destroyed", true, false},
               {"not told, waited", false, true},
               {"not told, destroyed", false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    {
      FontReadAhead fonts;
      if (c.told) fonts.ApplicationMade();
      if (c.waited) {
        fonts.Wait();
        fonts.Wait();
      }
    }
    EXPECT_EQ(QCoreApplication::instance()->thread(), QThread::currentThread());
    EXPECT_FALSE(QFontDatabase::families().isEmpty());
  }
}

// The entrants of a run are the card's racers with the courses the card shows, set by hand too.
TEST_F(WindowWithADay, TheRunTakesTheRaceShownWithItsCourses) {
  ChooseVenue(24);
  ChooseRace(7);
  Popup(2, "mnuPopup5");
  const QStringList courses = Courses();
  Act("mnuRaceStart")->trigger();
  const auto& race = w->Session().Bangumi().card().races[6];
  for (std::size_t b = 0; b < 6; ++b) {
    const EntrantType& e = gtypEntrant[b];
    EXPECT_EQ(QString::number(e.Course), courses[static_cast<qsizetype>(b)]);
    EXPECT_EQ(e.Name, race.boats[b].SensyuName);
    EXPECT_EQ(e.Syoritu, race.boats[b].SensyuZenkokuSyoritu);
    EXPECT_EQ(e.MotorRentairitu2, race.boats[b].MotorFSyoritu);
  }
  EXPECT_EQ(gtypEntrant[1].Course, 5);
  EXPECT_EQ(gstrTitle, w->Session().Bangumi().TitleLong());
  // The courses survive a race and the way back.
  Back();
  EXPECT_EQ(Courses(), courses);
}

TEST_F(Window, EscapeAsksAndNoCarriesOnYesStops) {
  for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
    RecordingMessageBox boxes;
    boxes.AnswerNext(answer);
    int pumps = 0;
    clock.onEvents = [&] {
      if (++pumps == 5) Escape();
    };
    Act("mnuRaceStart")->trigger();
    ASSERT_GE(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("レースを中止しますか。"));
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::YesNo);
    const bool finished = std::all_of(gtypEntrant.begin(), gtypEntrant.end(), [](const EntrantType& e) {
      return e.Result == "F" || e.Result == "L" || (e.Result.size() == 1 && e.Result[0].isDigit());
    });
    if (answer == MsgResult::Yes) {
      EXPECT_LT(pumps, 10) << "stopped at once";
    } else {
      EXPECT_TRUE(finished) << "carried on to the end";
    }
    EXPECT_TRUE(Widget("cmdClose")->isVisibleTo(w.get()));
    Back();
  }
  RecordingMessageBox boxes;
  boxes.AnswerNext(MsgResult::Yes);
  int pumps = 0;
  clock.onEvents = [&] {
    if (++pumps == 5) Escape();
  };
  Act("mnuTestRun")->trigger();
  ASSERT_GE(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("展示航走を中止しますか。"));
}

TEST_F(Window, ClosingDuringARunEndsItAndReEnablesNothing) {
  w->show();
  int pumps = 0;
  bool hiddenAtOnce = false;
  clock.onEvents = [&] {
    if (++pumps == 3) {
      EXPECT_FALSE(w->close()) << "the window waits for the run";
      hiddenAtOnce = !w->isVisible();
    }
  };
  Act("mnuRaceStart")->trigger();
  EXPECT_TRUE(hiddenAtOnce);
  EXPECT_LT(pumps, 10) << "the run ended at its next check";
  EXPECT_TRUE(gblnQuit);
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(RaceMenuEnabled());
  EXPECT_FALSE(FileMenuEnabled());
  EXPECT_FALSE(Widget("cmdClose")->isVisibleTo(w.get()));
}

// The speed is the frame period of the run, F6 or F7 at any moment: during a run it changes the
// run under way and the next.
TEST_F(Window, TheSpeedItemsAreExclusiveAndActDuringARun) {
  Act("mnuRaceSpeedHi")->trigger();
  EXPECT_TRUE(Act("mnuRaceSpeedHi")->isChecked());
  EXPECT_FALSE(Act("mnuRaceSpeedNormal")->isChecked());
  std::vector<int> waits;
  int before = clock.Milliseconds();
  clock.onEvents = [&] {
    waits.push_back(clock.Milliseconds() - before);
    before = clock.Milliseconds();
    if (waits.size() == 6) Act("mnuRaceSpeedNormal")->trigger();
  };
  Act("mnuTestRun")->trigger();
  ASSERT_GT(waits.size(), 10u);
  EXPECT_EQ(waits[2], 100);
  EXPECT_TRUE(Act("mnuRaceSpeedNormal")->isEnabled()) << "F6 and F7 stay live during a run";
  EXPECT_EQ(waits[8], 250) << "normal from the frame after F6";
  Back();
  EXPECT_TRUE(Act("mnuRaceSpeedNormal")->isChecked());
  EXPECT_FALSE(Act("mnuRaceSpeedHi")->isChecked());
}

// ---- Bad input through the window: a box, and everything as it was ----

TEST_F(WindowWithADay, FilesOfAnotherKindAreRefusedAndChangeNothing) {
  const QString binary = folder.file(QStringLiteral("photo.jpg"));
  WriteBytes(binary, QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0", 11));
  const QString utf8 = folder.file(QStringLiteral("note.txt"));
  WriteBytes(utf8, QString::fromUtf8("今日のメモ\n1R 1-2-3\n").toUtf8());
  const struct {
    const char* what;
    const char* command;
    QString file;
    const char16_t* title;
  } cases[] = {
      {"binary programme", "mnuFileOpen", binary, u"番組ファイル変換エラー"},
      {"UTF-8 programme", "mnuFileOpen", utf8, u"番組ファイル変換エラー"},
      {"binary handbook", "mnuFileUpdate", binary, u""},
      {"UTF-8 handbook", "mnuFileUpdate", utf8, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingMessageBox boxes;
    ChosenFileDialog dialog(c.file);
    Act(c.command)->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, QString::fromUtf16(c.title));
    EXPECT_TRUE(boxes.boxes()[0].text.contains(c.file));
    EXPECT_TRUE(State() == snapshot);
  }
  // A cancelled dialog changes nothing either.
  ChosenFileDialog cancel;
  Act("mnuFileOpen")->trigger();
  Act("mnuFileUpdate")->trigger();
  EXPECT_EQ(cancel.calls, 2);
  EXPECT_EQ(cancel.lastTitle, QStringLiteral("ファイルを開く"));
  EXPECT_EQ(cancel.lastFilter, QStringLiteral("ファン手帳ファイル(F*.TXT;F*.LZH)") + QChar(0) + "F*.txt;F*.lzh" +
                                   QChar(0) + QStringLiteral("ファン手帳ファイル(F*.TXT)") + QChar(0) + "F*.txt" +
                                   QChar(0) + QStringLiteral("ファン手帳ファイル(F*.LZH)") + QChar(0) + "F*.lzh" +
                                   QChar(0) + QStringLiteral("すべてのファイル(*.*)") + QChar(0) + "*.*" + QChar(0));
  EXPECT_TRUE(State() == snapshot);
}

TEST_F(WindowWithADay, ReopeningAMissingStoreKeepsTheVenueListAndTheCard) {
  ASSERT_TRUE(QFile::remove(AppFilePath(QStringLiteral("BANGUMI.BRF"))));
  snapshot.bangumi.clear();
  RecordingMessageBox boxes;
  Act("mnuFileOpenOld")->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  // No programme stored: said plainly, not as a read error.
  EXPECT_EQ(boxes.boxes()[0].text,
            QStringLiteral("まだ番組ファイルを開いていません。「番組ﾌｧｲﾙを開く」(Ctrl+O) で開いてください。"));
  EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Information);
  EXPECT_TRUE(State() == snapshot);
  // The card still works: another race of the venue shown.
  ChooseRace(4);
  EXPECT_EQ(Races()->currentIndex(), 3);
}

TEST(WindowStore, AVenueThatFailsToLoadEmptiesTheCard) {
  TempAppFolder folder;
  VirtualClock clock;
  // Venue 24 is whole; venue 06 has entrants before any race. Such a programme is refused when
  // it is opened, so the store is changed behind the window's back after a good one was listed.
  const QString good =
      QStringLiteral("STARTB\n") + Block(QStringLiteral("06"), 1, {QStringList{RaceHeader(1)} + SixEntrants(5000)}) +
      Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1)} + SixEntrants(4000)}) + QStringLiteral("FINALB\n");
  QString bad = good;
  bad.replace(QStringLiteral("06BBGN\n"), QStringLiteral("06BBGN\n") + SixEntrants(5000).join(u'\n') + u'\n');
  const QString path = folder.file(QStringLiteral("b990101.txt"));
  WriteBytes(path, SjisLines(good));
  frmMain w;
  RecordingMessageBox boxes;  // no handbook
  {
    ChosenFileDialog dialog(path);
    Control<QAction>(w, "mnuFileOpen")->trigger();
  }
  QComboBox* venues = Control<QComboBox>(w, "cboJyo");
  QComboBox* races = Control<QComboBox>(w, "cboRaceNo");
  ASSERT_EQ(venues->count(), 2);
  WriteBytes(AppFilePath(QStringLiteral("BANGUMI.BRF")), SjisLines(bad));
  Activate(venues, venues->findData(24));
  ASSERT_EQ(races->count(), 1);
  EXPECT_EQ(w.Grid().CellValue(1, Col(CardColumn::SensyuNo)), QStringLiteral("4001"));
  boxes.clear();
  Activate(venues, venues->findData(6));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("番組ファイル読み込みエラー(02)"));
  EXPECT_EQ(races->count(), 0);
  EXPECT_TRUE(Control<QLabel>(w, "lblDay")->text().isEmpty());
  // Nothing of venue 24 stays under venue 06's name.
  for (int c = Col(CardColumn::SensyuNo); c < kCardColumns; ++c) {
    EXPECT_TRUE(w.Grid().CellValue(1, static_cast<std::int16_t>(c)).isEmpty()) << c;
  }
  // Neither a race nor a run can be started from here.
  Control<QAction>(w, "mnuRaceStart")->trigger();
  EXPECT_TRUE(Control<QWidget>(w, "picGridPanel")->isVisibleTo(&w));
  Control<QAction>(w, "mnuPopupAuto")->trigger();
  EXPECT_TRUE(w.Grid().CellValue(1, Col(CardColumn::Course)).isEmpty());
}

}  // namespace
}  // namespace tidewake
