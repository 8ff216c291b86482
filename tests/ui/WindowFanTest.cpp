// What a fan meets on the card beyond the runs: the race line, the status line, the settings kept
// between runs, the dialogs' filters, help, copying, the results window beside the card and its
// keys, and one box for one failure.

#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
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
  for (const auto& c : cases) {
    ChooseVenue(c.venue);
    ChooseRace(c.race);
    EXPECT_EQ(w->lblRace->text(), QString::fromUtf16(c.line));
  }
  // Fitted beside the selectors, inside the card view, over nothing else.
  EXPECT_TRUE(w->picGridPanel->rect().contains(w->lblRace->geometry()));
  EXPECT_GE(w->lblRace->x(), w->cboRaceNo->geometry().right());
  EXPECT_LE(w->lblRace->geometry().right(), w->lblDay->x());
  // Every race and day of the programme fits.
  for (int v = 0; v < w->cboJyo->count(); ++v) {
    ChooseVenue(w->cboJyo->itemData(v).toInt());
    EXPECT_LE(w->lblDay->fontMetrics().horizontalAdvance(w->lblDay->text()), w->lblDay->width());
    for (int r = 1; r <= w->cboRaceNo->count(); ++r) {
      ChooseRace(r);
      EXPECT_LE(w->lblRace->fontMetrics().horizontalAdvance(w->lblRace->text()), w->lblRace->width())
          << w->lblRace->text().toStdString();
    }
  }
  OpenProgramme(programme);
  EXPECT_TRUE(w->lblRace->text().isEmpty()) << "no race chosen";
}

TEST_F(Window, TheStatusLineNamesTheHandbookAndThePredictor) {
  EXPECT_EQ(w->lblStatus->text(), QStringLiteral("ファン手帳: 未登録（進入は枠なり）　進入予想: 統計"));
  w->mnuRaceExpectStandard->trigger();
  EXPECT_TRUE(w->lblStatus->text().endsWith(QStringLiteral("　進入予想: 標準")));
  // Beside the notice, in the card view as it was.
  EXPECT_EQ(w->picGridPanel->size(), QSize(frmMain::kClientWidth, frmMain::kClientHeight[0]));
  EXPECT_LE(w->lblStatus->geometry().right(), w->lblNotice->x());
  EXPECT_EQ(w->lblStatus->y(), w->lblNotice->y());
  TIDEWAKE_SAMPLE_OR_SKIP(fan, "F/fan2604.txt");
  UpdateRacers(fan);
  EXPECT_EQ(w->lblStatus->text(),
            QStringLiteral("ファン手帳: 2026年後期（2025/11/01～2026/04/30） 1,643 人　進入予想: 標準"));
  EXPECT_LE(w->lblStatus->fontMetrics().horizontalAdvance(w->lblStatus->text()), w->lblStatus->width());
  // A later run finds it as it was left.
  w = std::make_unique<frmMain>();
  EXPECT_EQ(w->lblStatus->text(),
            QStringLiteral("ファン手帳: 2026年後期（2025/11/01～2026/04/30） 1,643 人　進入予想: 標準"));
}

TEST_F(Window, PredictorSpeedAndFolderAreRememberedBetweenRuns) {
  EXPECT_TRUE(w->mnuRaceExpectStat->isChecked()) << "統計 on a first run";
  EXPECT_TRUE(w->mnuRaceSpeedNormal->isChecked());
  const QString sub = folder.file(QStringLiteral("downloads"));
  ASSERT_TRUE(QDir().mkpath(sub));
  {
    ChosenFileDialog dialog(sub + QStringLiteral("/nothing.txt"));
    RecordingMessageBox boxes;  // the file is not there: said, and nothing else
    w->mnuFileKekka->trigger();
    EXPECT_EQ(dialog.lastFolder, DialogStartFolder());
  }
  w->mnuRaceExpectStandard->trigger();
  w->mnuRaceSpeedHi->trigger();
  w = std::make_unique<frmMain>();
  EXPECT_TRUE(w->mnuRaceExpectStandard->isChecked());
  EXPECT_EQ(w->Predictor(), EntryPredictor::Rules);
  EXPECT_TRUE(w->mnuRaceSpeedHi->isChecked());
  ChosenFileDialog cancel;
  for (QAction* open : {w->mnuFileOpen, w->mnuFileUpdate, w->mnuFileKekka}) {
    open->trigger();
    EXPECT_EQ(cancel.lastFolder, sub);
  }
  // A folder that has gone is not offered.
  ASSERT_TRUE(QDir(sub).removeRecursively());
  w->mnuFileOpen->trigger();
  EXPECT_EQ(cancel.lastFolder, DialogStartFolder());
}

TEST_F(Window, EachOpenDialogOffersTextAndArchiveTogetherFirst) {
  const struct {
    QAction* command;
    const char16_t* first;
    const char* pattern;
  } cases[] = {
      {w->mnuFileOpen, u"番組ファイル(B*.TXT;B*.LZH)", "B*.txt;B*.lzh"},
      {w->mnuFileUpdate, u"ファン手帳ファイル(F*.TXT;F*.LZH)", "F*.txt;F*.lzh"},
      {w->mnuFileKekka, u"成績ファイル(K*.TXT;K*.LZH)", "K*.txt;K*.lzh"},
  };
  for (const auto& c : cases) {
    ChosenFileDialog cancel;
    c.command->trigger();
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
  w->mnuHelpKeys->trigger();
  w->mnuHelpAbout->trigger();
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
  const QString about = boxes.boxes()[1].text;
  for (const QString& part :
       {QStringLiteral("Corvane Tidewake"), QStringLiteral(TIDEWAKE_VERSION), QStringLiteral("Qt ") + qVersion(),
        QStringLiteral("LGPL"), QStringLiteral("libarchive"), QStringLiteral("BSD")}) {
    EXPECT_TRUE(about.contains(part)) << part.toStdString();
  }
  EXPECT_EQ(w->mnuHelp->title(), QStringLiteral("ヘルプ(&H)"));
}

TEST_F(WindowWithADay, CtrlCCopiesTheRaceShownAsTabSeparatedText) {
  ChooseVenue(24);
  ChooseRace(7);
  QApplication::clipboard()->clear();
  w->mnuRaceCopy->trigger();
  EXPECT_EQ(w->mnuRaceCopy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  const QStringList lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 8);
  EXPECT_EQ(lines[0], QStringLiteral("大村 2024/1/1 7R 予選 1800m 締切予定 20:26 第１日 進入固定"))
      << lines[0].toStdString();
  EXPECT_EQ(lines[1],
            QStringLiteral("艇番\t選手登番\t選手名\t年齢\t出身\t体重\t級別\t勝率\t２連率\tモNo\t２連率\tボNo\t２連"
                           "率\t成績\t進入"));
  for (int b = 1; b <= 6; ++b) {
    const QStringList cells = lines[b + 1].split(u'\t');
    ASSERT_EQ(cells.size(), 15);
    EXPECT_EQ(cells[0], QString::number(b));
    EXPECT_EQ(cells[1], Cell(b, 1).trimmed());
    EXPECT_EQ(cells[14], Cell(b, 14)) << "the course as the card shows it";
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
  const int race = w->cboRaceNo->currentIndex();
  const int venue = w->cboJyo->currentIndex();
  QTest::keyClick(&K(), Qt::Key_PageDown);
  EXPECT_EQ(w->cboRaceNo->currentIndex(), race + 1);
  QTest::keyClick(&K(), Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(w->cboJyo->currentIndex(), venue + 1);
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
      if (frames++ == 0) w->cmdCancel_Click();
    };
    RecordingMessageBox stop;
    stop.AnswerNext(MsgResult::Yes);
    K().activateWindow();
    QApplication::processEvents();
    QTest::keyClick(&K(), key);
    EXPECT_GT(frames, 0) << QKeySequence(key).toString().toStdString() << " from the results window";
    EXPECT_FALSE(w->Running());
    w->cmdClose_Click();
  }
  // Ctrl+B reopens the programme: the venue list anew, none chosen.
  K().activateWindow();
  QApplication::processEvents();
  QTest::keyClick(&K(), Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(w->cboJyo->currentIndex(), -1);
}

TEST_F(WindowBesideResults, TheResultsWindowOpensAtItsContentsSizeBesideTheCard) {
  ASSERT_NE(w->KekkaWindow(), nullptr);
  ChooseRace(12);
  for (const char* name : {"grdKekka", "grdHaraimodosi"}) {
    const auto* t = K().findChild<QTableWidget*>(QString::fromLatin1(name));
    ASSERT_NE(t, nullptr);
    EXPECT_LE(t->horizontalHeader()->length(), t->viewport()->width()) << name << ": every column in view";
    EXPECT_LE(t->verticalHeader()->length(), t->viewport()->height()) << name << ": every row in view";
  }
  // The accuracy lines are laid out, never wrapped.
  const auto* accuracy = K().findChild<QLabel*>(QStringLiteral("lblAccuracy"));
  EXPECT_FALSE(accuracy->wordWrap());
  EXPECT_GE(accuracy->width(), accuracy->sizeHint().width());

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
  EXPECT_EQ(K().findChild<QLabel*>(QStringLiteral("lblMessage"))->text(), QStringLiteral("成績なし"));
  EXPECT_TRUE(K().findChild<QTableWidget*>(QStringLiteral("grdKekka"))->isHidden());
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
  OpenProgramme(programme);
  UpdateRacers(damaged);
  {
    ChosenFileDialog dialog(results);
    RecordingMessageBox boxes;
    w->mnuFileKekka->trigger();
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
