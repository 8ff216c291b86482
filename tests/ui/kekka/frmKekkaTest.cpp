// The results window offscreen, on real races of the real results.

#include "ui/frmKekka.h"

#include "data/cKekkaFile.h"
#include "session/ResultsView.h"
#include "sim/mMain.h"
#include "tests/common/SampleFiles.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QLabel>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

struct ResultsWindowBase {
  frmKekka window;
  cKekkaFile kekka;

  // Loads a venue of one of the real cases cut into the data tests' folder.
  void LoadCase(const char* file, const QString& code) {
    QString name =
        QStringLiteral(TIDEWAKE_TEST_SOURCE "/../data/kekka/") + QString::fromLatin1(file) + QStringLiteral(".txt");
    ASSERT_TRUE(kekka.FileLoad(code, name));
  }

  // Loads a venue of a real results file; false (and the test skips) when the file is absent.
  bool Load(const char* file, const char* code) {
    const QString path = SharedDataFile(QString::fromLatin1(file));
    if (path.isEmpty()) return false;
    QString name = path;
    EXPECT_TRUE(kekka.FileLoad(QString::fromLatin1(code), name));
    return true;
  }

  // Shows a race of the loaded results as the session describes it, with the courses of the
  // card by boat (index 1..6; none: no prediction).
  void ShowRace(const cKekkaFile* k, int code, int race, std::array<std::int16_t, 7> courses = {}) {
    std::optional<CourseTable> predicted;
    if (courses[1] != 0)
      predicted = CourseTable({courses[1], courses[2], courses[3], courses[4], courses[5], courses[6]});
    window.Show(ResultsRaceView(k ? &k->venue() : nullptr, static_cast<std::int16_t>(code),
                                static_cast<std::int16_t>(race), predicted));
  }

  QTableWidget* table() const { return window.findChild<QTableWidget*>(QStringLiteral("grdKekka")); }
  QTableWidget* payouts() const { return window.findChild<QTableWidget*>(QStringLiteral("grdHaraimodosi")); }
  QString label(const char* name) const { return window.findChild<QLabel*>(QString::fromLatin1(name))->text(); }
  QStringList row(int r) const {
    QStringList out;
    for (int c = 0; c < frmKekka::colCount; ++c) {
      const QTableWidgetItem* item = table()->item(r, c);
      out << (item ? item->text() : QString());
    }
    return out;
  }
  // Every payout row as "賭式/組番/払戻金/人気".
  QStringList payoutRows() const {
    QStringList out;
    for (int r = 0; r < payouts()->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < 4; ++c) cells << payouts()->item(r, c)->text();
      out << cells.join(u'/');
    }
    return out;
  }
  QStringList column(int c) const {
    QStringList out;
    for (int r = 0; r < table()->rowCount(); ++r) {
      const QTableWidgetItem* item = table()->item(r, c);
      out << (item ? item->text() : QString());
    }
    return out;
  }
};

struct ResultsWindow : ResultsWindowBase, ::testing::Test {};

}  // namespace

TEST_F(ResultsWindow, IsATopLevelWindowOfItsOwn) {
  EXPECT_EQ(window.windowTitle(), S(u"レース結果"));
  EXPECT_TRUE(window.isWindow());
  EXPECT_FALSE(window.isModal());
  EXPECT_EQ(window.windowModality(), Qt::NonModal);
}

// 大村 1R of 2024-01-01 with a prediction that swaps boats 5 and 6: their courses are marked.
TEST_F(ResultsWindow, ShowsTheFinishingOrderBesideThePrediction) {
  if (!Load("K/k240101.txt", "24")) GTEST_SKIP() << "sample file not found: ../shared/data/K/k240101.txt";
  ShowRace(&kekka, 24, 1, {0, 1, 2, 3, 4, 6, 5});
  window.show();
  EXPECT_EQ(label("lblTenko"), S(u"天候 晴  風 北 3m  波 2cm"));
  EXPECT_EQ(label("lblKimarite"), S(u"決まり手 逃げ"));
  EXPECT_TRUE(label("lblRace").startsWith(S(u"大村 1R 予選  1800m")));
  EXPECT_FALSE(window.findChild<QLabel*>(QStringLiteral("lblMessage"))->isVisible());
  ASSERT_TRUE(table()->isVisible());
  const QString miss = u' ' + kMissMark;
  EXPECT_EQ(row(0), (QStringList{S(u"1"), S(u"1"), S(u"3501"), S(u"川　上　　昇　平"), S(u"6.89"), S(u"1→1"),
                                 S(u"0.08"), S(u"1.49.7")}));
  EXPECT_EQ(row(2), (QStringList{S(u"3"), S(u"6"), S(u"3773"), S(u"津　留　　浩一郎"), S(u"6.77"), S(u"5→6") + miss,
                                 S(u"0.11"), S(u"1.51.3")}));
  EXPECT_EQ(row(3)[frmKekka::colCourse], S(u"6→5") + miss);
  EXPECT_EQ(row(4), (QStringList{S(u"5"), S(u"2"), S(u"5129"), S(u"山　口　　真喜子"), S(u"6.83"), S(u"2→2"),
                                 S(u"0.13"), QString()}));
  // The boat number on its colours.
  for (int r = 0; r < 6; ++r) {
    const QTableWidgetItem* boat = table()->item(r, frmKekka::colWaku);
    const auto waku = static_cast<std::int16_t>(boat->text().toInt());
    EXPECT_EQ(boat->background().color(), ToQColor(*BoatColor(waku, true))) << r;
    EXPECT_EQ(boat->foreground().color(), ToQColor(*BoatColor(waku, false))) << r;
  }
  // The payouts: 単勝, 複勝 ×2, ２連単, ２連複, 拡連複 ×3, ３連単, ３連複.
  ASSERT_EQ(payouts()->rowCount(), 10);
  const auto payout = [&](int r) {
    QStringList out;
    for (int c = 0; c < 4; ++c) out << payouts()->item(r, c)->text();
    return out;
  };
  EXPECT_EQ(payout(0), (QStringList{S(u"単勝"), S(u"1"), S(u"130円"), QString()}));
  EXPECT_EQ(payout(2), (QStringList{QString(), S(u"3"), S(u"290円"), QString()}));
  EXPECT_EQ(payout(7), (QStringList{QString(), S(u"3-6"), S(u"620円"), S(u"10")}));
  EXPECT_EQ(payout(8), (QStringList{S(u"３連単"), S(u"1-3-6"), S(u"1,830円"), S(u"5")}));

  // For a person to look at.
  window.grab().save(QStringLiteral(TIDEWAKE_TEST_OUTPUT "/kekka_window.png"));
}

// 若松 8R: two flying boats, no course mark when the prediction was right, no time without a finish.
TEST_F(ResultsWindow, FlyingBoatsAndAPredictionThatHeld) {
  if (!Load("K/k240101.txt", "20")) GTEST_SKIP() << "sample file not found: ../shared/data/K/k240101.txt";
  ShowRace(&kekka, 20, 8, {0, 1, 2, 3, 5, 6, 4});
  EXPECT_EQ(row(4), (QStringList{S(u"F"), S(u"4"), S(u"5155"), S(u"内　山　　七　海"), S(u"6.91"), S(u"5→5"),
                                 S(u"F0.01"), QString()}));
  for (int r = 0; r < 6; ++r) EXPECT_FALSE(row(r)[frmKekka::colCourse].contains(kMissMark)) << r;
}

// A withdrawn boat has no actual course: no mark, whatever was predicted; a race not paid on
// ３連単 says so.
TEST_F(ResultsWindow, WithdrawnBoatAndBetsNotPaid) {
  if (!Load("K/k200315.txt", "01")) GTEST_SKIP() << "sample file not found: ../shared/data/K/k200315.txt";
  ShowRace(&kekka, 1, 4, {0, 1, 2, 3, 4, 5, 6});
  QStringList kinds;
  for (int r = 0; r < payouts()->rowCount(); ++r) {
    kinds << payouts()->item(r, 0)->text() + u'/' + payouts()->item(r, 1)->text();
  }
  EXPECT_TRUE(kinds.contains(S(u"３連単/不成立"))) << kinds.join(u' ').toStdString();
  EXPECT_TRUE(kinds.contains(S(u"３連複/不成立")));
}

TEST_F(ResultsWindow, NoResultSaysSo) {
  if (!Load("K/k240101.txt", "24")) GTEST_SKIP() << "sample file not found: ../shared/data/K/k240101.txt";
  window.show();
  const auto showsNoResult = [&] {
    return label("lblMessage") == S(u"成績なし") && !table()->isVisible() && !payouts()->isVisible();
  };
  ShowRace(nullptr, 24, 1, {});
  EXPECT_TRUE(showsNoResult());
  ShowRace(&kekka, 23, 1, {});  // the results loaded are of another venue
  EXPECT_TRUE(showsNoResult());
  ShowRace(&kekka, 24, 1, {});
  EXPECT_FALSE(showsNoResult());
  ShowRace(&kekka, 24, 13, {});
  EXPECT_TRUE(showsNoResult());
  cKekkaFile empty;
  ShowRace(&empty, 24, 1, {});
  EXPECT_TRUE(showsNoResult());
}

TEST_F(ResultsWindow, RefusesAnotherDayAndShowsTheAccuracyLine) {
  window.show();
  ResultsView view;
  view.message = DayMismatchText(S(u"2024/01/01"), S(u"2020/03/15"));
  window.Show(view);
  EXPECT_EQ(label("lblMessage"),
            S(u"成績ファイルの日付 2020/3/15 が番組の日付 2024/1/1 と違うため、成績を表示しません。"));
  EXPECT_FALSE(table()->isVisible());
  auto* accuracy = window.findChild<QLabel*>(QStringLiteral("lblAccuracy"));
  EXPECT_FALSE(accuracy->isVisible());
  view.accuracy = S(u"進入的中 8/12 レース 64/72 艇（枠なり 5/12 レース 60/72 艇）");
  window.Show(view);
  EXPECT_TRUE(accuracy->isVisible());
  EXPECT_EQ(accuracy->text(), view.accuracy);
  view.accuracy.clear();
  window.Show(view);
  EXPECT_FALSE(accuracy->isVisible());
}

namespace {

// What the window shows for the races real days hold besides ordinary results.
struct Shown {
  const char* file;     // a real case of the data tests (tests/data/kekka/)
  std::int16_t before;  // a race of the same venue shown first (0: none)
  std::int16_t race;
  const char16_t* message;  // lblMessage, or nullptr when it is hidden
  const char16_t* places;   // the place column, blank-separated; nullptr when the table is hidden
  const char16_t* starts;   // the start timing column, "|"-separated; nullptr: not checked
  const char16_t* payouts;  // rows that must be there, "|"-separated ("賭式/組番/払戻金/人気"); empty:
                            // no payout at all; nullptr: not checked
  const char* screenshot;   // saved beside the test program for the documentation, or nullptr
};

const Shown kShown[] = {
    {"k220721_20_cancelled", 2, 3, u"中止", nullptr, nullptr, u"", "results-cancelled.png"},
    {"k220701_21_7R_deadheat_third", 0, 7, nullptr, u"1 2 3 3 5 6", nullptr,
     u"３連単/3-1-4/7,040円/42|/3-1-5/11,880円/61|３連複/1-3-4/390円/3|/1-3-5/1,080円/10", "results-deadheat.png"},
    {"k220813_07_6R_deadheat_second", 0, 6, nullptr, u"1 2 2 4 5 6", nullptr,
     u"複勝/2/240円/|/1/100円/|/4/710円/|２連単/2-1/1,910円/8|/2-4/8,600円/21", nullptr},
    {"k220809_05_10R_void", 0, 10, u"レース不成立", u"F F F F F －", u"F0.03|F0.08|F0.07|F0.16|F0.06|0.02", u"",
     "results-void.png"},
    {"k220704_15_1R_tokubarai_tansyo", 0, 1, nullptr, u"1 2 3 4 5 6", nullptr, u"単勝/特払い/70円/", nullptr},
    {"k220908_04_4R_tokubarai_nirenfuku", 0, 4, nullptr, u"1 2 3 4 5 6", nullptr, u"２連複/特払い/70円/", nullptr},
    {"k220908_23_12R_late", 0, 12, nullptr, u"1 2 3 4 5 L1", u"0.13|0.23|0.17|0.18|0.67|L1.99", nullptr, nullptr},
    {"k220704_12_12R_late_no_timing", 0, 12, nullptr, u"1 2 3 4 5 L0", u"0.09|0.10|0.13|0.11|0.14|L", nullptr, nullptr},
    {"k220806_10_notice", 0, 1, u"データは、この場の全レース終了後に登録されます。", nullptr, nullptr, u"", nullptr},
};

void PrintTo(const Shown& s, std::ostream* os) { *os << s.file << " " << s.race << "R"; }

struct ResultsWindowShows : ResultsWindowBase, ::testing::TestWithParam<Shown> {};

}  // namespace

TEST_P(ResultsWindowShows, WhatTheOfficialFileSays) {
  const Shown& c = GetParam();
  const QString code = QString::fromLatin1(c.file).section(u'_', 1, 1);
  LoadCase(c.file, code);
  if (c.before != 0) ShowRace(&kekka, static_cast<std::int16_t>(code.toInt()), c.before, {0, 1, 2, 3, 4, 5, 6});
  ShowRace(&kekka, code.toInt(), c.race, {0, 1, 2, 3, 4, 5, 6});
  window.show();
  auto* message = window.findChild<QLabel*>(QStringLiteral("lblMessage"));
  EXPECT_EQ(message->isVisible(), c.message != nullptr);
  if (c.message) {
    EXPECT_EQ(message->text(), S(c.message));
  }
  if (c.before != 0) {
    EXPECT_EQ(label("lblRace"), S(u"若松 3R  2022/7/21"));
  }
  EXPECT_EQ(table()->isVisible(), c.places != nullptr);
  if (c.places) {
    EXPECT_EQ(column(frmKekka::colTyakujyun).join(u' '), S(c.places));
  }
  if (c.starts) {
    EXPECT_EQ(column(frmKekka::colStart).join(u'|'), S(c.starts));
  }
  if (c.payouts) {
    const QStringList rows = payoutRows();
    const QString wanted = S(c.payouts);
    // None at all: a race called off or void pays nothing, and the table is not shown.
    if (wanted.isEmpty()) {
      EXPECT_TRUE(rows.isEmpty()) << rows.join(u' ').toStdString();
      EXPECT_FALSE(payouts()->isVisible());
    }
    for (const QString& row : wanted.split(u'|', Qt::SkipEmptyParts)) {
      EXPECT_TRUE(rows.contains(row)) << row.toStdString() << " in " << rows.join(u' ').toStdString();
    }
  }
  if (c.screenshot) {
    window.grab().save(QStringLiteral(TIDEWAKE_TEST_OUTPUT "/") + QString::fromLatin1(c.screenshot));
  }
}

INSTANTIATE_TEST_SUITE_P(RealCases, ResultsWindowShows, ::testing::ValuesIn(kShown));
