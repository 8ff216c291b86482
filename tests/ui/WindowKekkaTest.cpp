// The day's results beside the card, and the choice of entry prediction, through the real window.

#include "data/cKekkaFile.h"
#include "platform/Format.h"
#include "predict/mCourseExpect.h"
#include "predict/mCourseStat.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QLabel>
#include <QTableWidget>

namespace tidewake {
namespace {

using namespace test;

class WindowWithResults : public WindowWithADay {
 protected:
  void SetUp() override {
    WindowWithADay::SetUp();
    if (IsSkipped()) return;
    results = SharedDataFile(QStringLiteral("K/k240101.txt"));
    if (results.isEmpty()) GTEST_SKIP() << "sample results not found in ../shared/data";
    ChosenFileDialog dialog(results);
    w->mnuFileKekka->trigger();
    EXPECT_TRUE(dialog.lastFilter.startsWith(QStringLiteral("成績ファイル(K*.TXT;K*.LZH)") + QChar(0) +
                                             "K*.txt;K*.lzh" + QChar(0) + QStringLiteral("成績ファイル(K*.TXT)") +
                                             QChar(0) + "K*.txt" + QChar(0) + QStringLiteral("成績ファイル(K*.LZH)") +
                                             QChar(0) + "K*.lzh" + QChar(0)));
  }
  frmKekka& K() { return *w->KekkaWindow(); }
  QString Text(const char* name) { return K().findChild<QLabel*>(QString::fromLatin1(name))->text(); }
  QTableWidget& Table() { return *K().findChild<QTableWidget*>(QStringLiteral("grdKekka")); }
  QString results;
};

TEST_F(WindowWithResults, TheResultsWindowFollowsTheCard) {
  EXPECT_TRUE(K().isVisible()) << "opening results shows them";
  EXPECT_EQ(K().windowTitle(), QStringLiteral("レース結果"));
  cKekkaFile kekka;
  QString path = results;
  const std::int16_t code = w->SelectedJyoCode();
  ASSERT_TRUE(kekka.FileLoad(FormatNumber(code, u"00"), path));
  for (int race : {3, 7, 12}) {
    ChooseRace(race);
    const auto r = static_cast<std::int16_t>(race);
    ASSERT_TRUE(kekka.RaceExists(r));
    for (std::int16_t j = 1; j <= kekka.BoatNumbers(r); ++j) {
      const std::int16_t waku = kekka.WakuNo(r, j);
      EXPECT_EQ(Table().item(j - 1, frmKekka::colWaku)->text(), QString::number(waku));
      EXPECT_EQ(Table().item(j - 1, frmKekka::colSensyuNo)->text(), kekka.SensyuNo(r, j));
      // The course as the card predicts it, then as it was; marked where they differ.
      const QString predicted = Cell(waku, 14);
      const std::int16_t actual = kekka.Course(r, j);
      if (actual == 0) continue;
      const QString want = predicted + QStringLiteral("→") + QString::number(actual) +
                           (predicted.toInt() != actual ? QStringLiteral(" ") + frmKekka::kMissMark : QString());
      EXPECT_EQ(Table().item(j - 1, frmKekka::colCourse)->text(), want) << "race " << race << " boat " << waku;
    }
  }
  // An override on the card shows at once against the outcome.
  w->Grid().SetCellValue(1, 14, QStringLiteral("6"));
  w->mnuRaceKekka->trigger();
  const int line = kekka.JyuniOfWaku(12, 1) - 1;
  EXPECT_TRUE(Table().item(line, frmKekka::colCourse)->text().startsWith(QStringLiteral("6→")));
}

TEST_F(WindowWithResults, TheAccuracyLineCountsEachPredictionAgainstTheRealEntries) {
  cKekkaFile kekka;
  QString path = results;
  ASSERT_TRUE(kekka.FileLoad(FormatNumber(w->SelectedJyoCode(), u"00"), path));
  // 枠なり's figures straight from the results.
  int races = 0, whole = 0, boats = 0, right = 0;
  for (std::int16_t r = 1; r <= 12; ++r) {
    if (!kekka.RaceExists(r)) continue;
    ++races;
    bool all = true;
    for (std::int16_t b = 1; b <= 6; ++b) {
      const std::int16_t c = kekka.WakuCourse(r, b);
      if (c == 0) continue;
      ++boats;
      right += c == b;
      all = all && c == b;
    }
    whole += all;
  }
  const QString line = Text("lblAccuracy");
  EXPECT_TRUE(line.startsWith(QStringLiteral("進入予想の的中（この場 %1 R）:\n標準 ").arg(races)))
      << line.toStdString();
  EXPECT_TRUE(line.endsWith(QStringLiteral("　枠なり %1 R・%2/%3 艇").arg(whole).arg(right).arg(boats)))
      << line.toStdString();
  EXPECT_TRUE(line.contains(QStringLiteral("　統計 ")));
}

// Another day's results are asked about before they replace the stored ones: No keeps the
// store byte for byte and the results on show; Yes stores them and the window names both dates.
TEST_F(WindowWithResults, ResultsOfAnotherDayAreAskedAboutBeforeTheStoreChanges) {
  TIDEWAKE_SAMPLE_OR_SKIP(other, "K/k200315.txt");
  const QString store = AppFilePath(QStringLiteral("KEKKA.BRF"));
  const QByteArray kept = ReadBytes(store);
  const QString shown = Text("lblAccuracy");
  ASSERT_FALSE(shown.isEmpty());
  for (MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
    RecordingMessageBox boxes;
    boxes.AnswerNext(answer);
    {
      ChosenFileDialog dialog(other);
      w->mnuFileKekka->trigger();
    }
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("番組と日付が違います（番組 2024/01/01、成績 2020/03/15）。\n"
                                                    "この成績ファイルを開きますか？"));
    if (answer == MsgResult::No) {
      EXPECT_EQ(ReadBytes(store), kept);
      EXPECT_EQ(Text("lblAccuracy"), shown);
    }
  }
  EXPECT_EQ(ReadBytes(store), ReadBytes(other));
  const QString mismatch = frmKekka::DayMismatchText(w->Bangumi().RaceDate(), QStringLiteral("2020/03/15"));
  EXPECT_TRUE(mismatch.contains(QStringLiteral("2020/3/15")) && mismatch.contains(QStringLiteral("2024/1/1")));
  ChooseVenue(w->cboJyo->itemData(0).toInt());
  EXPECT_EQ(Text("lblMessage"), mismatch);
  EXPECT_TRUE(Text("lblAccuracy").isEmpty());
}

TEST_F(Window, TheDemoCardHasNoResults) {
  w->mnuRaceKekka->trigger();
  EXPECT_EQ(w->KekkaWindow()->findChild<QLabel*>(QStringLiteral("lblMessage"))->text(), QStringLiteral("成績なし"));
}

TEST_F(WindowWithADay, TheCheckedPredictorFillsTheCoursesAndASwitchRepredicts) {
  // 統計 at start: it has the most entries right.
  EXPECT_TRUE(w->mnuRaceExpectStat->isChecked());
  EXPECT_FALSE(w->mnuRaceExpectStandard->isChecked());
  int differ = 0;
  for (int race = 1; race <= w->cboRaceNo->count(); ++race) {
    w->mnuRaceExpectStat->trigger();
    ChooseRace(race);
    const QStringList stat = Predicted(EntryPredictor::Stat, race);
    const QStringList standard = Predicted(EntryPredictor::Rules, race);
    EXPECT_EQ(Courses(), stat) << "race " << race;
    w->mnuRaceExpectStandard->trigger();
    EXPECT_EQ(Courses(), standard) << "switching predicts the race shown again";
    EXPECT_EQ(w->Predictor(), EntryPredictor::Rules);
    w->mnuPopupAuto->trigger();
    EXPECT_EQ(Courses(), standard) << "自動 follows the checked one";
    // The pop-up offers both, whichever is checked.
    w->mnuPopupStat->trigger();
    EXPECT_EQ(Courses(), stat);
    w->mnuPopupStandard->trigger();
    EXPECT_EQ(Courses(), standard);
    differ += stat != standard;
  }
  EXPECT_GT(differ, 0);
}

}  // namespace
}  // namespace tidewake
