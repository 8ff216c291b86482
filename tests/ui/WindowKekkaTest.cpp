// The day's results beside the card, through the real window.

#include "data/cKekkaFile.h"
#include "platform/Format.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QHeaderView>
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
    Act("mnuFileKekka")->trigger();
    EXPECT_TRUE(dialog.lastFilter.startsWith(QStringLiteral("成績ファイル(K*.TXT;K*.LZH)") + QChar(0) +
                                             "K*.txt;K*.lzh" + QChar(0) + QStringLiteral("成績ファイル(K*.TXT)") +
                                             QChar(0) + "K*.txt" + QChar(0) + QStringLiteral("成績ファイル(K*.LZH)") +
                                             QChar(0) + "K*.lzh" + QChar(0)));
  }
  frmKekka& K() { return *w->KekkaWindow(); }
  QString KText(const char* name) { return K().findChild<QLabel*>(QString::fromLatin1(name))->text(); }
  QTableWidget& Table(const char* name = "grdKekka") {
    return *K().findChild<QTableWidget*>(QString::fromLatin1(name));
  }
  QString results;
};

TEST_F(WindowWithResults, TheResultsWindowFollowsTheCard) {
  EXPECT_TRUE(K().isVisible()) << "opening results shows them";
  EXPECT_EQ(K().windowTitle(), QStringLiteral("レース結果"));
  cKekkaFile kekka;
  QString path = results;
  ASSERT_TRUE(kekka.FileLoad(FormatNumber(VenueCode(), u"00"), path));
  for (int race : {3, 7, 12}) {
    ChooseRace(race);
    const auto r = static_cast<std::int16_t>(race);
    ASSERT_TRUE(kekka.RaceExists(r));
    for (std::int16_t j = 1; j <= kekka.BoatNumbers(r); ++j) {
      const std::int16_t waku = kekka.WakuNo(r, j);
      EXPECT_EQ(Table().item(j - 1, frmKekka::colWaku)->text(), QString::number(waku));
      EXPECT_EQ(Table().item(j - 1, frmKekka::colSensyuNo)->text(), kekka.SensyuNo(r, j));
      // The course as the card shows it, then as it was; marked where they differ.
      const QString shown = Cell(waku, CardColumn::Course);
      const std::int16_t actual = kekka.Course(r, j);
      if (actual == 0) continue;
      const QString want = shown + QStringLiteral("→") + QString::number(actual) +
                           (shown.toInt() != actual ? QStringLiteral(" ") + kMissMark : QString());
      EXPECT_EQ(Table().item(j - 1, frmKekka::colCourse)->text(), want) << "race " << race << " boat " << waku;
    }
  }
  // A course set by hand on the card shows at once against the outcome.
  Popup(1, "mnuPopup6");
  const int line = kekka.JyuniOfWaku(12, 1) - 1;
  EXPECT_TRUE(Table().item(line, frmKekka::colCourse)->text().startsWith(QStringLiteral("6→")));
}

TEST_F(WindowWithResults, TheAccuracyLineCountsEachPredictionAgainstTheRealEntries) {
  cKekkaFile kekka;
  QString path = results;
  ASSERT_TRUE(kekka.FileLoad(FormatNumber(VenueCode(), u"00"), path));
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
  const QString line = KText("lblAccuracy");
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
  const QString shown = KText("lblAccuracy");
  ASSERT_FALSE(shown.isEmpty());
  for (MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
    RecordingMessageBox boxes;
    boxes.AnswerNext(answer);
    OpenResults(other);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("番組と日付が違います（番組 2024/01/01、成績 2020/03/15）。\n"
                                                    "この成績ファイルを開きますか？"));
    if (answer == MsgResult::No) {
      EXPECT_EQ(ReadBytes(store), kept);
      EXPECT_EQ(KText("lblAccuracy"), shown);
    }
  }
  EXPECT_EQ(ReadBytes(store), ReadBytes(other));
  const QString mismatch = DayMismatchText(QStringLiteral("2024/01/01"), QStringLiteral("2020/03/15"));
  EXPECT_TRUE(mismatch.contains(QStringLiteral("2020/3/15")) && mismatch.contains(QStringLiteral("2024/1/1")));
  ChooseVenue(Venues()->itemData(0).toInt());
  EXPECT_EQ(KText("lblMessage"), mismatch);
  EXPECT_TRUE(KText("lblAccuracy").isEmpty());
}

TEST_F(Window, TheDemoCardHasNoResults) {
  Act("mnuRaceKekka")->trigger();
  EXPECT_EQ(w->KekkaWindow()->findChild<QLabel*>(QStringLiteral("lblMessage"))->text(), QStringLiteral("成績なし"));
}

// Every row and every column of what the window shows is in view, from the first race shown after
// Ctrl+K on a day just opened (a dead heat's last 3連複 included), and the window is no larger than
// that needs when the next race needs less.
TEST_F(Window, TheResultsWindowIsSizedForWhatItShowsNow) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, "year/b220701.lzh");
  TIDEWAKE_SAMPLE_OR_SKIP(results, "year/k220701.lzh");
  RecordingMessageBox boxes;  // no handbook
  w->show();
  OpenProgramme(programme);
  ChooseVenue(21);
  ChooseRace(7);  // a dead heat for third: two 3連単 and two 3連複 paid
  OpenResults(results);
  frmKekka& k = *w->KekkaWindow();
  ASSERT_TRUE(k.isVisible());
  const auto allInView = [&](const char* why) {
    QCoreApplication::processEvents();
    for (const char* name : {"grdKekka", "grdHaraimodosi"}) {
      const auto* t = k.findChild<QTableWidget*>(QString::fromLatin1(name));
      EXPECT_LE(t->horizontalHeader()->length(), t->viewport()->width()) << why << " " << name << ": every column";
      EXPECT_LE(t->verticalHeader()->length(), t->viewport()->height()) << why << " " << name << ": every row";
      EXPECT_GE(t->geometry().bottom(), 0);
      EXPECT_LE(t->geometry().bottom(), k.height()) << why << " " << name;
      EXPECT_LE(t->geometry().right(), k.width()) << why << " " << name;
    }
    for (QLabel* l : k.findChildren<QLabel*>()) {
      if (l->isVisible() && !l->wordWrap()) {
        EXPECT_GE(l->width(), l->sizeHint().width()) << why << " " << l->objectName().toStdString();
      }
    }
  };
  allInView("the first race after Ctrl+K");
  const int payouts = k.findChild<QTableWidget*>(QStringLiteral("grdHaraimodosi"))->rowCount();
  EXPECT_GE(payouts, 12) << "both third places paid";
  ChooseRace(1);
  allInView("an ordinary race");
  EXPECT_EQ(k.size(), k.sizeHint()) << "no larger than it needs";
  ChooseRace(7);
  allInView("the dead heat again");
}

}  // namespace
}  // namespace tidewake
