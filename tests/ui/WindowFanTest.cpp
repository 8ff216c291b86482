// What a fan meets on the card beyond the runs: the race line, the status line, the settings kept
// between runs, the dialogs' filters, help, copying, the results window beside the card and its
// keys, and one box for one failure.

#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontInfo>
#include <QHeaderView>
#include <QTableWidget>
#include <QTest>

namespace tidewake {
namespace {

using namespace test;

TEST_F(WindowWithADay, TheRaceLineTellsNameDistanceClosingDayAndFixedEntry) {
  const struct {
    int venue, race;
    const char16_t* line;
  } cases[] = {
      {24, 7, u"7R 予選 1800m 締切予定 20:26 第１日 進入固定"},
      {24, 1, u"1R 予選 1800m 締切予定 17:41 第１日"},
      {21, 4, u"4R サンライズＹ 1800m 締切予定 09:53 第４日 進入固定"},
      {20, 5, u"5R 進入固定戦隊 1800m 締切予定 17:01 第４日 進入固定"},
      {19, 9, u"9R 準優勝戦 1800m 締切予定 18:57 第５日"},
  };
  QLabel* race = Control<QLabel>(*w, "lblRace");
  QLabel* day = Control<QLabel>(*w, "lblDay");
  for (const auto& c : cases) {
    ChooseVenue(c.venue);
    ChooseRace(c.race);
    EXPECT_EQ(race->text(), QString::fromUtf16(c.line));
  }
  // Fitted beside the selectors, inside the card view, over nothing else.
  EXPECT_TRUE(Widget("picGridPanel")->rect().contains(race->geometry()));
  EXPECT_GE(race->x(), Races()->geometry().right());
  EXPECT_LE(race->geometry().right(), day->x());
  // Every race and day of the programme fits, and so does a 不成立 in place of its closing time.
  for (int v = 0; v < Venues()->count(); ++v) {
    ChooseVenue(Venues()->itemData(v).toInt());
    EXPECT_LE(day->fontMetrics().horizontalAdvance(day->text()), day->width());
    for (int r = 1; r <= Races()->count(); ++r) {
      ChooseRace(r);
      EXPECT_LE(race->fontMetrics().horizontalAdvance(race->text()), race->width()) << race->text().toStdString();
      const QString over = RaceLine(w->Session().Bangumi(), static_cast<std::int16_t>(r), QStringLiteral("不成立"));
      EXPECT_LE(race->fontMetrics().horizontalAdvance(over), race->width()) << over.toStdString();
    }
  }
  OpenProgramme(programme);
  EXPECT_TRUE(race->text().startsWith(QStringLiteral("1R "))) << "the first race of the day opened";
}

// The status line says what decides the courses: 履歴 needs no handbook, the others show 枠なり
// without one.
TEST_F(Window, TheStatusLineNamesTheHandbookAndThePredictor) {
  const QString none = QStringLiteral("ファン手帳: 未登録");
  const QString installed = QStringLiteral("ファン手帳: 2026年後期（2025/11/01～2026/04/30） 1,643 人");
  const struct {
    bool handbook;
    const char* predictor;
    QString line;
  } cases[] = {
      {false, "mnuRaceExpectStat", none + QStringLiteral("（進入は枠なり）　進入予想: 統計")},
      {false, "mnuRaceExpectStandard", none + QStringLiteral("（進入は枠なり）　進入予想: 標準")},
      {false, "mnuRaceExpectHistory", none + QStringLiteral("　進入予想: 履歴（各選手の最近の進入から）")},
      {true, "mnuRaceExpectStat", installed + QStringLiteral("　進入予想: 統計")},
      {true, "mnuRaceExpectHistory", installed + QStringLiteral("　進入予想: 履歴（各選手の最近の進入から）")},
      {true, "mnuRaceExpectStandard", installed + QStringLiteral("　進入予想: 標準")},
  };
  QLabel* status = Control<QLabel>(*w, "lblStatus");
  // Beside the notice, in the card view as it was.
  EXPECT_EQ(Widget("picGridPanel")->size(), QSize(frmMain::kClientWidth, frmMain::kClientHeight[0]));
  EXPECT_LE(status->geometry().right(), Widget("lblNotice")->x());
  EXPECT_EQ(status->y(), Widget("lblNotice")->y());
  for (const auto& c : cases) {
    if (c.handbook && !QFile::exists(AppFilePath(QStringLiteral("SENSYU.BRF")))) {
      TIDEWAKE_SAMPLE_OR_SKIP(fan, "F/fan2604.txt");
      UpdateRacers(fan);
    }
    Act(c.predictor)->trigger();
    EXPECT_EQ(status->text(), c.line);
    EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->width());
  }
  // A later run finds it as it was left.
  Make();
  EXPECT_EQ(Text("lblStatus"), installed + QStringLiteral("　進入予想: 標準"));
}

TEST_F(Window, PredictorSpeedAndFolderAreRememberedBetweenRuns) {
  EXPECT_TRUE(Act("mnuRaceExpectStat")->isChecked()) << "統計 on a first run";
  EXPECT_TRUE(Act("mnuRaceSpeedNormal")->isChecked());
  const QString sub = folder.file(QStringLiteral("downloads"));
  ASSERT_TRUE(QDir().mkpath(sub));
  {
    ChosenFileDialog dialog(sub + QStringLiteral("/nothing.txt"));
    RecordingMessageBox boxes;  // the file is not there: said, and nothing else
    Act("mnuFileKekka")->trigger();
    EXPECT_EQ(dialog.lastFolder, DialogStartFolder());
  }
  Act("mnuRaceExpectStandard")->trigger();
  Act("mnuRaceSpeedHi")->trigger();
  Make();
  EXPECT_TRUE(Act("mnuRaceExpectStandard")->isChecked());
  EXPECT_EQ(w->Session().Predictor(), EntryPredictor::Rules);
  EXPECT_TRUE(Act("mnuRaceSpeedHi")->isChecked());
  ChosenFileDialog cancel;
  for (const char* open : {"mnuFileOpen", "mnuFileUpdate", "mnuFileKekka"}) {
    Act(open)->trigger();
    EXPECT_EQ(cancel.lastFolder, sub);
  }
  // A folder that has gone is not offered.
  ASSERT_TRUE(QDir(sub).removeRecursively());
  Act("mnuFileOpen")->trigger();
  EXPECT_EQ(cancel.lastFolder, DialogStartFolder());
}

TEST_F(Window, EachOpenDialogOffersTextAndArchiveTogetherFirst) {
  const struct {
    const char* command;
    const char16_t* first;
    const char* pattern;
  } cases[] = {
      {"mnuFileOpen", u"番組ファイル(B*.TXT;B*.LZH)", "B*.txt;B*.lzh"},
      {"mnuFileUpdate", u"ファン手帳ファイル(F*.TXT;F*.LZH)", "F*.txt;F*.lzh"},
      {"mnuFileKekka", u"成績ファイル(K*.TXT;K*.LZH)", "K*.txt;K*.lzh"},
  };
  for (const auto& c : cases) {
    ChosenFileDialog cancel;
    Act(c.command)->trigger();
    const QStringList fields = cancel.lastFilter.split(QChar(0));
    ASSERT_GE(fields.size(), 8);
    EXPECT_EQ(fields[0], QString::fromUtf16(c.first));
    EXPECT_EQ(fields[1], QString::fromLatin1(c.pattern));
    // Then each alone, and any file.
    EXPECT_EQ(fields[3] + u';' + fields[5], fields[1]);
    EXPECT_EQ(fields[7], QStringLiteral("*.*"));
  }
}

TEST_F(Window, HelpListsEveryKeyAndTheLicences) {
  RecordingMessageBox boxes;
  Act("mnuHelpKeys")->trigger();
  Act("mnuHelpAbout")->trigger();
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("キーボード操作"));
  EXPECT_EQ(boxes.boxes()[1].title, QStringLiteral("バージョン情報"));
  const QString keys = boxes.boxes()[0].text;
  for (QAction* a : w->findChildren<QAction*>()) {
    const QString key = a->shortcut().toString(QKeySequence::PortableText);
    if (!key.isEmpty()) {
      EXPECT_TRUE(keys.contains(key)) << key.toStdString() << " is not listed";
    }
  }
  for (const char* key : {"PgDown", "PgUp", "Ctrl+PgDown", "Ctrl+PgUp", "Esc"}) EXPECT_TRUE(keys.contains(key)) << key;
  // The commands of the history, and every kind of file a drop opens.
  for (const char* command : {"mnuFileHistoryImport", "mnuFileHistoryDay", "mnuRaceWinFit"}) {
    const QString caption = Act(command)->text().section(u'(', 0, 0);
    EXPECT_TRUE(keys.contains(caption)) << caption.toStdString();
  }
  for (const QString& kind : {QStringLiteral("番組"), QStringLiteral("成績"), QStringLiteral("ファン手帳")}) {
    EXPECT_TRUE(keys.section(QStringLiteral("落とす"), 0, 0).contains(kind)) << kind.toStdString();
  }
  const QString about = boxes.boxes()[1].text;
  for (const QString& part : {QStringLiteral("Corvane Tidewake"), QStringLiteral(TIDEWAKE_VERSION),
                              QStringLiteral("Qt ") + qVersion(), QStringLiteral("LGPL"), QStringLiteral("libarchive"),
                              QStringLiteral("BSD"), QStringLiteral("SQLite 3."), QStringLiteral("Eigen 3."),
                              QStringLiteral("MPL"), QStringLiteral("QCustomPlot 2."), QStringLiteral("GPL v3")}) {
    EXPECT_TRUE(about.contains(part)) << part.toStdString();
  }
  EXPECT_EQ(Control<QMenu>(*w, "mnuHelp")->title(), QStringLiteral("ヘルプ(&H)"));
}

TEST_F(WindowWithADay, CtrlCCopiesTheRaceShownAsTabSeparatedText) {
  ChooseVenue(24);
  ChooseRace(7);
  QApplication::clipboard()->clear();
  Act("mnuRaceCopy")->trigger();
  EXPECT_EQ(Act("mnuRaceCopy")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  const QStringList lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 8);
  EXPECT_EQ(lines[0], QStringLiteral("大村 2024/1/1 7R 予選 1800m 締切予定 20:26 第１日 進入固定"))
      << lines[0].toStdString();
  EXPECT_EQ(lines[1],
            QStringLiteral("艇番\t選手登番\t選手名\t年齢\t出身\t体重\t級別\t勝率\t２連率\tモNo\t２連率\tボNo\t２連"
                           "率\t成績\t進入\t予想1着%"));
  for (int b = 1; b <= 6; ++b) {
    const QStringList cells = lines[b + 1].split(u'\t');
    ASSERT_EQ(cells.size(), kCardColumns);
    EXPECT_EQ(cells[Col(CardColumn::Waku)], QString::number(b));
    EXPECT_EQ(cells[Col(CardColumn::SensyuNo)], Cell(b, CardColumn::SensyuNo).trimmed());
    EXPECT_EQ(cells[Col(CardColumn::Course)], Cell(b, CardColumn::Course)) << "the course as the card shows it";
    EXPECT_EQ(cells[Col(CardColumn::WinChance)], Cell(b, CardColumn::WinChance)) << "the chance, copied too";
  }
}

// The results window beside the card, opened with the results of the day.
class WindowBesideResults : public WindowWithADay {
 protected:
  void SetUp() override {
    WindowWithADay::SetUp();
    if (IsSkipped()) return;
    results = SharedDataFile(QStringLiteral("K/k240101.txt"));
    if (results.isEmpty()) GTEST_SKIP() << "sample results not found in ../shared/data";
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    ChosenFileDialog dialog(results);
    QTest::keyClick(w.get(), Qt::Key_K, Qt::ControlModifier);
  }
  frmKekka& K() { return *w->KekkaWindow(); }
  QString results;
};

TEST_F(WindowBesideResults, TheMainWindowsKeysWorkFromTheResultsWindow) {
  ASSERT_NE(w->KekkaWindow(), nullptr) << "Ctrl+K opened the results";
  EXPECT_TRUE(K().isVisible());
  EXPECT_EQ(QApplication::activeWindow(), w.get()) << "the card keeps the focus";
  K().activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &K());
  const int race = Races()->currentIndex();
  const int venue = Venues()->currentIndex();
  QTest::keyClick(&K(), Qt::Key_PageDown);
  EXPECT_EQ(Races()->currentIndex(), race + 1);
  QTest::keyClick(&K(), Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(Venues()->currentIndex(), venue + 1);
  // F8 and Ctrl+K and Ctrl+O and Ctrl+B reach their commands; F4 and F5 start a run.
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    bool dialog;
  } keys[] = {{Qt::Key_O, Qt::ControlModifier, true}, {Qt::Key_K, Qt::ControlModifier, true}};
  for (const auto& k : keys) {
    ChosenFileDialog cancel;
    K().activateWindow();
    QApplication::processEvents();
    QTest::keyClick(&K(), k.key, k.mods);
    EXPECT_EQ(cancel.calls, 1) << QKeySequence(k.key | k.mods).toString().toStdString();
  }
  K().hide();
  w->activateWindow();
  QApplication::processEvents();
  QTest::keyClick(w.get(), Qt::Key_F8);
  EXPECT_TRUE(K().isVisible()) << "F8 brings it back";
  for (const Qt::Key key : {Qt::Key_F4, Qt::Key_F5}) {
    int frames = 0;
    clock.onEvents = [&] {
      // One frame is enough to know the run started: Escape, and yes, stop.
      if (frames++ == 0) Escape();
    };
    RecordingMessageBox stop;
    stop.AnswerNext(MsgResult::Yes);
    K().activateWindow();
    QApplication::processEvents();
    QTest::keyClick(&K(), key);
    EXPECT_GT(frames, 0) << QKeySequence(key).toString().toStdString() << " from the results window";
    EXPECT_FALSE(w->Running());
    Back();
  }
  // Ctrl+B reopens the programme: the venue list anew, its first venue's first race shown.
  ChooseRace(4);
  K().activateWindow();
  QApplication::processEvents();
  QTest::keyClick(&K(), Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Venues()->currentIndex(), 0);
  EXPECT_EQ(Races()->currentIndex(), 0);
}

TEST_F(WindowBesideResults, TheResultsWindowOpensBesideTheCardInOneFont) {
  ASSERT_NE(w->KekkaWindow(), nullptr);
  // The accuracy lines are laid out, never wrapped; the figures in the words' own font.
  const auto* accuracy = K().findChild<QLabel*>(QStringLiteral("lblAccuracy"));
  EXPECT_FALSE(accuracy->wordWrap());
  EXPECT_GE(accuracy->width(), accuracy->sizeHint().width());
  for (const char* name : {"lblWin", "lblWinResult", "lblAccuracy"}) {
    EXPECT_EQ(QFontInfo(K().findChild<QLabel*>(QString::fromLatin1(name))->font()).family(),
              QStringLiteral("IPAPGothic"))
        << name;
  }

  // On a 1280 × 800 screen: under the main window when it fits, else beside it, always in view.
  const QRect screen(0, 0, 1280, 800);
  const QRect main(226, 90, 836, 262);
  const struct {
    QSize size;
    QPoint at;
  } places[] = {
      {{700, 400}, {226, 360}},  // under
      {{200, 500}, {1070, 90}},  // to the right: too tall for under
      {{215, 500}, {3, 90}},     // to the left: too wide for the right
      {{760, 520}, {226, 280}},  // none fits: as low as the screen allows
  };
  for (const auto& p : places) {
    const QPoint at = PlaceBeside(main, p.size, screen);
    EXPECT_EQ(at, p.at) << p.size.width() << "x" << p.size.height();
    EXPECT_TRUE(screen.contains(QRect(at, p.size)));
  }
}

TEST_F(WindowBesideResults, ANewProgrammeEmptiesTheResultsWindowAtOnce) {
  ASSERT_NE(w->KekkaWindow(), nullptr);
  EXPECT_FALSE(K().findChild<QTableWidget*>(QStringLiteral("grdKekka"))->isHidden());
  TIDEWAKE_SAMPLE_OR_SKIP(other, "B/b200315.txt");
  OpenProgramme(other);
  EXPECT_TRUE(K().findChild<QTableWidget*>(QStringLiteral("grdKekka"))->isHidden()) << "the stored results are of 2024";
}

TEST_F(Window, AFailingRuleSetShowsOneBoxPerVenueChoiceNotOnePerRace) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, "B/b240101.txt");
  TIDEWAKE_SAMPLE_OR_SKIP(fan, "F/fan2604.txt");
  TIDEWAKE_SAMPLE_OR_SKIP(results, "K/k240101.txt");
  // Every racer's record but the first counts 9000 entries: the rule set overflows in every race.
  QList<QByteArray> lines = ReadBytes(fan).split('\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {
    if (lines[i].size() > 90) lines[i].replace(82, 3, "9e3");
  }
  const QString damaged = folder.file(QStringLiteral("fan-damaged.txt"));
  WriteBytes(damaged, lines.join('\n'));
  UpdateRacers(damaged);
  {
    RecordingMessageBox firstVenue;
    OpenProgramme(programme);
  }
  {
    RecordingMessageBox boxes;
    OpenResults(results);
  }
  for (int choice = 0; choice < 3; ++choice) {
    RecordingMessageBox boxes;
    ChooseVenue(24);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("EntryCourseExpectStandardErr"));
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("オーバーフロー")));
  }
}

}  // namespace
}  // namespace tidewake
