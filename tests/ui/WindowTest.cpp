// The main window as the user meets it: the real frmMain, offscreen, driven through its commands
// with the test doubles for the file dialog, the message box and the clock, on the real files.

#include "data/cBangumiFile.h"
#include "data/cSensyuFile.h"
#include "platform/Format.h"
#include "platform/mMyFunc.h"
#include "predict/mCourseExpect.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/ProgrammeText.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmMain.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace tidewake {
namespace {

using namespace test;

// ---- Start-up ----

TEST_F(Window, StartsOnTheDemoCard) {
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Corvane Tidewake"));
  EXPECT_EQ(Items(w->cboJyo), QStringList{QStringLiteral("12#   ＳＧ　第１回オールスター BOAT RACE")});
  EXPECT_EQ(Items(w->cboRaceNo), QStringList{QStringLiteral("12 R")});
  EXPECT_EQ(w->cboJyo->currentIndex(), 0);
  EXPECT_EQ(w->cboRaceNo->currentIndex(), 0);
  EXPECT_EQ(w->lblDay->text(), QStringLiteral("  ボートレース住之江"));
  EXPECT_TRUE(w->mnuRaceSpeedNormal->isChecked());
  EXPECT_FALSE(w->mnuRaceSpeedHi->isChecked());
  EXPECT_EQ(w->lblNotice->text(), QStringLiteral("Tidewake Ver.%1 (C) Corvane ").arg(QStringLiteral(TIDEWAKE_VERSION)));

  // Header, the boat numbers on their colours, the demo's values as the card shows them.
  EXPECT_EQ(w->Grid().CellValue(0, 13), QStringLiteral("成　　　　績\r\n１２３４５６"));
  const Colour back[6] = {0xFFFFFF, 0x404040, 0x0000FF, 0xFF0000, 0x00FFFF, 0x00FF00};
  const Colour fore[6] = {0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0, 0};
  for (std::int16_t b = 1; b <= 6; ++b) {
    EXPECT_EQ(Cell(b, 0), QString::number(b));
    EXPECT_EQ(w->Grid().CellBackColor(b, 0), back[b - 1]);
    EXPECT_EQ(w->Grid().CellForeColor(b, 0), fore[b - 1]);
    EXPECT_EQ(Cell(b, 14), QString::number(b));
    EXPECT_EQ(Cell(b, 1).size(), 4);
    EXPECT_FALSE(Cell(b, 2).isEmpty());
  }
  EXPECT_EQ((QStringList{Cell(1, 3), Cell(1, 4), Cell(1, 5), Cell(1, 6), Cell(1, 7), Cell(1, 8), Cell(1, 9),
                         Cell(1, 10), Cell(1, 11), Cell(1, 12), Cell(1, 13)}),
            (QStringList{"41", "千葉", "47", "A1", "9.27", "67.30", "39", "49.67", "14", "41.22", "１１１１１１"}));
  EXPECT_EQ((QStringList{Cell(2, 8), Cell(2, 13), Cell(4, 13), Cell(6, 12)}),
            (QStringList{"55.00", "１１１１１３２", "６１１２２１", "39.67"}));
  // The selectors do nothing on the demo card.
  w->SelectListIndex(w->cboJyo, 0);
  EXPECT_EQ(Cell(1, 3), QStringLiteral("41"));
}

TEST_F(Window, ClientAreaIsTheCardOrTheWaterBelowTheMenuBar) {
  w->show();
  EXPECT_EQ(w->centralWidget()->size(), QSize(828, 209));
  EXPECT_EQ(w->centralWidget()->y(), w->menuBar()->height());
  EXPECT_EQ(w->height(), w->menuBar()->height() + 209);
  EXPECT_EQ(w->picGridPanel->geometry(), QRect(0, 0, 828, 209));
  EXPECT_EQ(w->picGrid->geometry(), QRect(8, 36, 785, 153));
  EXPECT_EQ(w->cmdClose->text(), QStringLiteral("戻る"));
  EXPECT_LT(w->cmdCancel->x(), -3000) << "Cancel lies outside the water";

  int heightDuringRun = 0;
  clock.onEvents = [&] { heightDuringRun = w->centralWidget()->height(); };
  w->mnuTestRun->trigger();
  EXPECT_EQ(heightDuringRun, 400);
  EXPECT_EQ(w->centralWidget()->size(), QSize(828, 400));
  EXPECT_EQ(w->height(), w->menuBar()->height() + 400);
  w->cmdClose->click();
  EXPECT_EQ(w->centralWidget()->size(), QSize(828, 209));
}

// ---- A real day ----

TEST_F(Window, OpeningAProgrammeListsItsVenuesAndEmptiesTheCard) {
  TIDEWAKE_SAMPLE_OR_SKIP(path, "B/b240101.txt");
  OpenProgramme(path);
  const QStringList items = Items(w->cboJyo);
  ASSERT_FALSE(items.isEmpty());
  cBangumiFile store;
  KyoteijyoTable titles;
  QString name;
  ASSERT_TRUE(store.KaisaiCheck(titles, name));
  QStringList expected;
  for (int code = 1; code <= 24; ++code) {
    if (!titles[static_cast<std::size_t>(code)].isEmpty()) {
      expected << FormatNumber(code, u"00") + QStringLiteral("#   ") + titles[static_cast<std::size_t>(code)];
    }
  }
  EXPECT_EQ(items, expected) << "ascending codes, each \"NN#   title\"";
  EXPECT_EQ(w->cboJyo->currentIndex(), -1);
  EXPECT_EQ(w->cboRaceNo->count(), 0);
  EXPECT_TRUE(w->lblDay->text().isEmpty());
  for (int b = 1; b <= 6; ++b) {
    EXPECT_EQ(Cell(b, 0), QString::number(b));
    for (int c = 1; c <= 14; ++c) EXPECT_TRUE(Cell(b, c).isEmpty()) << b << "," << c;
  }
  // Runs need a race.
  w->mnuRaceStart->trigger();
  EXPECT_TRUE(w->picGridPanel->isVisibleTo(w.get()));
}

TEST_F(Window, EveryRaceOfEveryVenueShowsTheStoresValues) {
  for (const char* file : {"B/b240101.txt", "B/b200315.txt"}) {
    SCOPED_TRACE(file);
    TIDEWAKE_SAMPLE_OR_SKIP(path, file);
    OpenProgramme(path);
    RecordingMessageBox boxes;  // no racer store: each venue says so
    for (int v = 0; v < w->cboJyo->count(); ++v) {
      const int code = w->cboJyo->itemData(v).toInt();
      ChooseVenue(code);
      cBangumiFile store;
      QString name;
      ASSERT_TRUE(store.FileLoad(FormatNumber(code, u"00"), name));
      EXPECT_EQ(w->lblDay->text(), FormatDate(store.RaceDate(), u"yyyy/m/d") + QStringLiteral("  ") +
                                       JyoNameGet(static_cast<std::int16_t>(code)) + QStringLiteral("競艇場"));
      QStringList races;
      for (int r = 1; r <= store.RaceNumbers(); ++r) races << FormatText(QString::number(r), u"@@ R");
      EXPECT_EQ(Items(w->cboRaceNo), races);
      EXPECT_EQ(w->cboRaceNo->currentIndex(), 0);
      for (std::int16_t r = 1; r <= store.RaceNumbers(); ++r) {
        ChooseRace(r);
        for (std::int16_t b = 1; b <= 6; ++b) {
          const QStringList want = {store.SensyuNo(r, b),
                                    store.SensyuName(r, b),
                                    QString::number(store.SensyuAge(r, b)),
                                    store.SensyuBirthplace(r, b),
                                    QString::number(store.SensyuWeight(r, b)),
                                    store.SensyuClass(r, b),
                                    FormatNumber(store.SensyuZenkokuSyoritu(r, b), u"0.00"),
                                    FormatNumber(store.SensyuZenkokuFSyoritu(r, b), u"0.00"),
                                    store.MotorNo(r, b),
                                    FormatNumber(store.MotorFSyoritu(r, b), u"0.00"),
                                    store.BoatNo(r, b),
                                    FormatNumber(store.BoatFSyoritu(r, b), u"0.00"),
                                    store.Seiseki(r, b),
                                    QString::number(b)};
          QStringList got;
          for (int c = 1; c <= 14; ++c) got << Cell(b, c);
          ASSERT_EQ(got, want) << "venue " << code << " race " << r << " boat " << b;
        }
      }
    }
  }
}

TEST_F(Window, ThreeDigitMotorAndBoatNumbersStayWhole) {
  TIDEWAKE_SAMPLE_OR_SKIP(path, "B/b200315.txt");
  OpenProgramme(path);
  RecordingMessageBox boxes;
  int seen = 0;
  for (int v = 0; v < w->cboJyo->count(); ++v) {
    ChooseVenue(w->cboJyo->itemData(v).toInt());
    for (int r = 1; r <= w->cboRaceNo->count(); ++r) {
      ChooseRace(r);
      for (int b = 1; b <= 6; ++b) seen += (Cell(b, 9).size() == 3) + (Cell(b, 11).size() == 3);
    }
  }
  EXPECT_GT(seen, 0) << "the 2020 programme has three-digit motor and boat numbers";
}

// ---- Entry courses ----

TEST_F(Window, CoursesComeFromThePredictionWithAHandbookAndFromTheBoatsWithout) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, "B/b240101.txt");
  TIDEWAKE_SAMPLE_OR_SKIP(fan, "F/fan2604.txt");
  OpenProgramme(programme);
  {
    // No handbook yet: said once in the run, in a fan's words, over any number of venue choices.
    RecordingMessageBox boxes;
    for (int v = 0; v < 5; ++v) {
      ChooseVenue(w->cboJyo->itemData(v % w->cboJyo->count()).toInt());
      EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"}));
      w->mnuPopupAuto->trigger();
      EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"}));
    }
    ASSERT_EQ(boxes.boxes().size(), 1u) << "the racer store is missing";
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Information);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith(
        QStringLiteral("選手ファイル（ファン手帳）が登録されていません。進入は枠なりで表示します。")));
    EXPECT_TRUE(w->lblStatus->text().startsWith(QStringLiteral("ファン手帳: 未登録")))
        << "[" << w->lblStatus->text().toStdString() << "]";
  }
  UpdateRacers(fan);
  // Installed: what it holds is said, and shown beside the notice.
  ASSERT_EQ(updateBoxes.size(), 1u);
  EXPECT_EQ(updateBoxes[0].text,
            QStringLiteral("ファン手帳を登録しました。\n期間: 2026年後期（2025/11/01～2026/04/30）\n選手: 1,643 人"));
  EXPECT_EQ(w->lblStatus->text(),
            QStringLiteral("ファン手帳: 2026年後期（2025/11/01～2026/04/30） 1,643 人　進入予想: 統計"));
  int moved = 0;
  for (int v = 0; v < w->cboJyo->count(); ++v) {
    const int code = w->cboJyo->itemData(v).toInt();
    ChooseVenue(code);
    for (std::int16_t r = 1; r <= w->cboRaceNo->count(); ++r) {
      ChooseRace(r);
      const bool fixed = w->Bangumi().CourseFix(r);
      const QStringList want = Predicted(w->Predictor(), r);
      ASSERT_EQ(Courses(), want) << "venue " << code << " race " << r;
      if (fixed) {
        EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"})) << "a fixed entry keeps boat order";
      }
      moved += want != QStringList{"1", "2", "3", "4", "5", "6"};
    }
  }
  EXPECT_GT(moved, 0);
}

TEST_F(Window, ThePopUpOverridesOneBoatOrAllOnColumn14Only) {
  QStringList actions;
  for (QAction* a : w->mnuPopup->actions()) {
    if (!a->isSeparator()) actions << a->text();
  }
  EXPECT_EQ(actions, (QStringList{"自動(&A)", "標準(&P)", "統計(&S)", "履歴(&H)", "枠なり(&W)", "&1 コース",
                                  "&2 コース", "&3 コース", "&4 コース", "&5 コース", "&6 コース"}));
  EXPECT_EQ(w->mnuPopup->defaultAction(), w->mnuPopupAuto);

  int opened = 0;
  QAction* choice = nullptr;
  w->PopupMenu = [&](QMenu* menu, const QPoint&) {
    EXPECT_EQ(menu, w->mnuPopup);
    ++opened;
    if (choice) choice->trigger();
  };
  const struct {
    Qt::MouseButton button;
    int row, col;
    bool opens;
  } clicks[] = {
      {Qt::RightButton, 3, 14, true}, {Qt::RightButton, 0, 14, false}, {Qt::RightButton, 3, 13, false},
      {Qt::RightButton, 3, 0, false}, {Qt::LeftButton, 3, 14, false},  {Qt::MiddleButton, 6, 14, false},
  };
  for (const auto& c : clicks) {
    opened = 0;
    const QPointF at = CellCentre(c.row, c.col);
    w->picGrid_MouseUp(c.button, static_cast<float>(at.x()), static_cast<float>(at.y()));
    EXPECT_EQ(opened, c.opens ? 1 : 0) << "row " << c.row << " col " << c.col;
  }
  // A course set by hand swaps with the boat that held it: the six stay a permutation.
  const struct {
    int boat, course;
    QStringList courses;
  } steps[] = {
      {3, 1, {"3", "2", "1", "4", "5", "6"}}, {5, 1, {"3", "2", "5", "4", "1", "6"}},
      {1, 1, {"1", "2", "5", "4", "3", "6"}}, {6, 6, {"1", "2", "5", "4", "3", "6"}},
      {2, 6, {"1", "6", "5", "4", "3", "2"}},
  };
  QPointF at;
  for (const auto& step : steps) {
    choice = w->mnuPopupCourse[static_cast<std::size_t>(step.course - 1)];
    at = CellCentre(step.boat, 14);
    w->picGrid_MouseUp(Qt::RightButton, static_cast<float>(at.x()), static_cast<float>(at.y()));
    EXPECT_EQ(Courses(), step.courses) << "boat " << step.boat << " to course " << step.course;
  }
  choice = w->mnuPopupNum;
  w->picGrid_MouseUp(Qt::RightButton, static_cast<float>(at.x()), static_cast<float>(at.y()));
  EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"}));
  choice = w->mnuPopupCourse[5];
  w->picGrid_MouseUp(Qt::RightButton, static_cast<float>(at.x()), static_cast<float>(at.y()));
  choice = w->mnuPopupAuto;  // the demo card has no prediction: 枠なり
  w->picGrid_MouseUp(Qt::RightButton, static_cast<float>(at.x()), static_cast<float>(at.y()));
  EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"}));
}

// ---- Runs ----

TEST_F(Window, ARunHidesTheCardAndLocksTheMenusThenOffersTheWayBack) {
  for (QAction* run : {w->mnuTestRun, w->mnuRaceStart}) {
    SCOPED_TRACE(run->text().toStdString());
    bool sawRunState = false;
    clock.onEvents = [&] {
      if (sawRunState) return;
      sawRunState = true;
      EXPECT_TRUE(w->Running());
      EXPECT_FALSE(FileMenuEnabled());
      EXPECT_FALSE(RaceMenuEnabled());
      EXPECT_FALSE(w->mnuHelpKeys->isEnabled()) << "a help box would hold the run's frames";
      EXPECT_FALSE(w->picGridPanel->isVisibleTo(w.get()));
      EXPECT_FALSE(w->cmdClose->isVisibleTo(w.get()));
      EXPECT_EQ(w->picClock().Visible(), run == w->mnuRaceStart) << "the exhibition has no start clock";
      // Nothing of the card view reaches the program meanwhile.
      w->mnuRaceStart->trigger();
      w->mnuFileOpenOld->trigger();
      w->cmdClose_Click();
      w->SelectListIndex(w->cboRaceNo, 0);
      EXPECT_TRUE(w->Running());
    };
    run->trigger();
    EXPECT_TRUE(sawRunState);
    EXPECT_FALSE(w->Running());
    EXPECT_TRUE(w->cmdClose->isVisibleTo(w.get()));
    EXPECT_TRUE(RaceMenuEnabled());
    EXPECT_FALSE(FileMenuEnabled());
    EXPECT_TRUE(w->mnuHelpKeys->isEnabled());
    EXPECT_FALSE(w->picGridPanel->isVisibleTo(w.get()));
    // A finished run leaves every boat out of it: finished, flying or late.
    if (run == w->mnuRaceStart) {
      for (const EntrantType& e : gtypEntrant) EXPECT_FALSE(e.Result.isEmpty());
    }
    // The file menu's shortcuts stay dead until the way back.
    test::ChosenFileDialog dialog(QStringLiteral("/nonexistent"));
    w->mnuFileOpen->trigger();
    EXPECT_EQ(dialog.calls, 0);
    w->cmdClose->click();
    EXPECT_TRUE(w->picGridPanel->isVisibleTo(w.get()));
    EXPECT_TRUE(FileMenuEnabled());
    EXPECT_FALSE(w->cmdClose->isVisibleTo(w.get()));
  }
}

TEST_F(Window, EntrantDataSetTakesTheCardAsItStandsOverridesIncluded) {
  w->Grid().SetCellValue(2, 5, QStringLiteral("47"));  // below 50: raised
  w->Grid().SetCellValue(2, 14, QStringLiteral("5"));
  w->Grid().SetCellValue(5, 14, QStringLiteral("2"));
  ASSERT_TRUE(w->EntrantDataSet());
  const EntrantType& two = gtypEntrant[1];
  EXPECT_EQ(two.Weight, 50.0f);
  EXPECT_EQ(two.Syoritu, 8.92f);
  EXPECT_EQ(two.Rentairitu2, 55.0f);
  EXPECT_EQ(two.MotorRentairitu2, 46.34f);
  EXPECT_EQ(two.BoatRentairitu2, 39.84f);
  EXPECT_EQ(two.Course, 5);
  EXPECT_EQ(two.Name, Cell(2, 2));
  EXPECT_EQ(gtypEntrant[4].Course, 2);
  EXPECT_EQ(gtypEntrant[4].Weight, 52.0f);
  EXPECT_EQ(gtypEntrant[0].Weight, 50.0f) << "47 kg on the demo card";

  // The overrides survive a race and the way back.
  w->mnuRaceStart->trigger();
  w->cmdClose->click();
  EXPECT_EQ(Cell(2, 14), QStringLiteral("5"));
  EXPECT_EQ(Cell(5, 14), QStringLiteral("2"));

  // A card that does not read as a race starts nothing.
  w->Grid().SetCellValue(4, 7, QStringLiteral("－"));
  RecordingMessageBox boxes;
  w->mnuRaceStart->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(
      boxes.boxes()[0].text.startsWith(QStringLiteral("出走表の 4 号艇、7 列目の値ではレースを始められません。")));
  EXPECT_TRUE(w->picGridPanel->isVisibleTo(w.get()));
  EXPECT_TRUE(FileMenuEnabled());
}

TEST_F(Window, EscapeAsksAndNoCarriesOnYesStops) {
  for (const char* answer : {"No", "Yes"}) {
    SCOPED_TRACE(answer);
    RecordingMessageBox boxes;
    boxes.AnswerNext(QString(answer) == "Yes" ? MsgResult::Yes : MsgResult::No);
    int pumps = 0;
    clock.onEvents = [&] {
      if (++pumps == 5) w->cmdCancel_Click();
    };
    w->mnuRaceStart->trigger();
    ASSERT_GE(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("レースを中止しますか。"));
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::YesNo);
    const bool finished = std::all_of(gtypEntrant.begin(), gtypEntrant.end(), [](const EntrantType& e) {
      return e.Result == "F" || e.Result == "L" || (e.Result.size() == 1 && e.Result[0].isDigit());
    });
    if (QString(answer) == "Yes") {
      EXPECT_LT(pumps, 10) << "stopped at once";
    } else {
      EXPECT_TRUE(finished) << "carried on to the end";
    }
    EXPECT_TRUE(w->cmdClose->isVisibleTo(w.get()));
    w->cmdClose->click();
  }
  RecordingMessageBox boxes;
  boxes.AnswerNext(MsgResult::Yes);
  int pumps = 0;
  clock.onEvents = [&] {
    if (++pumps == 5) w->cmdCancel_Click();
  };
  w->mnuTestRun->trigger();
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
  w->mnuRaceStart->trigger();
  EXPECT_TRUE(hiddenAtOnce);
  EXPECT_LT(pumps, 10) << "the run ended at its next check";
  EXPECT_TRUE(gblnQuit);
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(RaceMenuEnabled());
  EXPECT_FALSE(FileMenuEnabled());
  EXPECT_FALSE(w->cmdClose->isVisibleTo(w.get()));
}

TEST_F(Window, TheSpeedItemsAreExclusive) {
  w->mnuRaceSpeedHi->trigger();
  EXPECT_TRUE(w->mnuRaceSpeedHi->isChecked());
  EXPECT_FALSE(w->mnuRaceSpeedNormal->isChecked());
  // The fast speed paces every frame at 100 ms.
  std::vector<int> waits;
  int before = clock.Milliseconds();
  clock.onEvents = [&] {
    waits.push_back(clock.Milliseconds() - before);
    before = clock.Milliseconds();
  };
  w->mnuTestRun->trigger();
  ASSERT_GT(waits.size(), 3u);
  EXPECT_EQ(waits[2], 100);
  w->cmdClose->click();
  w->mnuRaceSpeedNormal->trigger();
  EXPECT_FALSE(w->mnuRaceSpeedHi->isChecked());
}

// ---- Bad input through the window: a box, and everything as it was ----

TEST_F(WindowWithADay, FilesOfAnotherKindAreRefusedAndChangeNothing) {
  const QString binary = folder.file(QStringLiteral("photo.jpg"));
  test::WriteBytes(binary, QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0", 11));
  const QString utf8 = folder.file(QStringLiteral("note.txt"));
  test::WriteBytes(utf8, QString::fromUtf8("今日のメモ\n1R 1-2-3\n").toUtf8());
  const struct {
    const char* what;
    QAction* command;
    QString file;
    const char16_t* title;
  } cases[] = {
      {"binary programme", w->mnuFileOpen, binary, u"番組ファイル変換エラー"},
      {"UTF-8 programme", w->mnuFileOpen, utf8, u"番組ファイル変換エラー"},
      {"binary handbook", w->mnuFileUpdate, binary, u""},
      {"UTF-8 handbook", w->mnuFileUpdate, utf8, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingMessageBox boxes;
    test::ChosenFileDialog dialog(c.file);
    c.command->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, QString::fromUtf16(c.title));
    EXPECT_TRUE(boxes.boxes()[0].text.contains(c.file));
    EXPECT_TRUE(State() == snapshot);
  }
  // A cancelled dialog changes nothing either.
  test::ChosenFileDialog cancel;
  w->mnuFileOpen->trigger();
  w->mnuFileUpdate->trigger();
  EXPECT_EQ(cancel.calls, 2);
  EXPECT_EQ(cancel.lastTitle, QStringLiteral("ファイルを開く"));
  EXPECT_EQ(cancel.lastFilter, QStringLiteral("ファン手帳ファイル(F*.TXT;F*.LZH)") + QChar(0) + "F*.txt;F*.lzh" +
                                   QChar(0) + QStringLiteral("ファン手帳ファイル(F*.TXT)") + QChar(0) + "F*.txt" +
                                   QChar(0) + QStringLiteral("ファン手帳ファイル(F*.LZH)") + QChar(0) + "F*.lzh" +
                                   QChar(0) + QStringLiteral("すべてのファイル(*.*)") + QChar(0) + "*.*" + QChar(0));
  EXPECT_EQ(cancel.lastFolder, DialogStartFolder());
  EXPECT_TRUE(State() == snapshot);
}

TEST_F(WindowWithADay, ReopeningAMissingStoreKeepsTheVenueListAndTheCard) {
  ASSERT_TRUE(QFile::remove(AppFilePath(QStringLiteral("BANGUMI.BRF"))));
  snapshot.bangumi.clear();
  RecordingMessageBox boxes;
  w->mnuFileOpenOld->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  // No programme stored: said plainly, not as a read error.
  EXPECT_EQ(boxes.boxes()[0].text,
            QStringLiteral("まだ番組ファイルを開いていません。「番組ﾌｧｲﾙを開く」(Ctrl+O) で開いてください。"));
  EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Information);
  EXPECT_TRUE(State() == snapshot);
  // The card still works: another race of the venue shown.
  ChooseRace(4);
  EXPECT_EQ(w->cboRaceNo->currentIndex(), 3);
}

TEST_F(WindowWithADay, ANewHandbookServesTheVenueShownAtOnce) {
  // Replaced while a venue is shown: 自動 predicts from the new store without choosing again.
  const QStringList before = Courses();
  TIDEWAKE_SAMPLE_OR_SKIP(old, "F/fan2004.txt");
  UpdateRacers(old);
  EXPECT_EQ(Courses(), before) << "the card stays until the user asks";
  w->mnuPopupAuto->trigger();
  RecordingMessageBox boxes;
  EXPECT_EQ(Courses(), Predicted(w->Predictor(), 3));
}

TEST(WindowStore, AVenueThatFailsToLoadLeavesTheRaceListEmpty) {
  test::TempAppFolder folder;
  test::VirtualClock clock;
  using test::Block;
  using test::RaceHeader;
  using test::SixEntrants;
  // Venue 24 is whole; venue 06 has entrants before any race. Such a programme is refused when
  // it is opened, so the store is changed behind the window's back after a good one was listed.
  const QString good =
      QStringLiteral("STARTB\n") + Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1)} + SixEntrants(4000)}) +
      Block(QStringLiteral("06"), 1, {QStringList{RaceHeader(1)} + SixEntrants(5000)}) + QStringLiteral("FINALB\n");
  QString bad = good;
  bad.replace(QStringLiteral("06BBGN\n"), QStringLiteral("06BBGN\n") + SixEntrants(5000).join(u'\n') + u'\n');
  const QString path = folder.file(QStringLiteral("b990101.txt"));
  test::WriteBytes(path, test::SjisLines(good));
  frmMain w;
  {
    test::ChosenFileDialog dialog(path);
    w.mnuFileOpen->trigger();
  }
  ASSERT_EQ(w.cboJyo->count(), 2);
  test::WriteBytes(AppFilePath(QStringLiteral("BANGUMI.BRF")), test::SjisLines(bad));
  RecordingMessageBox boxes;
  w.SelectListIndex(w.cboJyo, w.cboJyo->findData(24));
  ASSERT_EQ(w.cboRaceNo->count(), 1);
  const QString shown = w.Grid().CellValue(1, 1);
  EXPECT_EQ(shown, QStringLiteral("4001"));
  boxes.clear();
  w.SelectListIndex(w.cboJyo, w.cboJyo->findData(6));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("番組ファイル読み込みエラー(02)"));
  EXPECT_EQ(w.cboRaceNo->count(), 0);
  EXPECT_TRUE(w.lblDay->text().isEmpty());
  EXPECT_EQ(w.Grid().CellValue(1, 1), shown) << "the card keeps what it showed";
  // Neither a race nor a run can be started from here.
  w.mnuRaceStart->trigger();
  EXPECT_TRUE(w.picGridPanel->isVisibleTo(&w));
  w.mnuPopupAuto->trigger();
  EXPECT_EQ(w.Grid().CellValue(1, 14), QStringLiteral("1"));
}

}  // namespace
}  // namespace tidewake
