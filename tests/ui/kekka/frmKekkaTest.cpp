// The results window offscreen, on real races of the real results.

#include "ui/frmKekka.h"

#include "data/cKekkaFile.h"
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

struct ResultsWindow : ::testing::Test {
  frmKekka window;
  cKekkaFile kekka;

  // Loads a venue of a real results file; false (and the test skips) when the file is absent.
  bool Load(const char* file, const char* code) {
    const QString path = SharedDataFile(QString::fromLatin1(file));
    if (path.isEmpty()) return false;
    QString name = path;
    EXPECT_TRUE(kekka.FileLoad(QString::fromLatin1(code), name));
    return true;
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
};

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
  window.ShowRace(&kekka, 24, 1, {0, 1, 2, 3, 4, 6, 5});
  window.show();
  EXPECT_EQ(label("lblTenko"), S(u"天候 晴  風 北 3m  波 2cm"));
  EXPECT_EQ(label("lblKimarite"), S(u"決まり手 逃げ"));
  EXPECT_TRUE(label("lblRace").startsWith(S(u"大村 1R 予選  1800m")));
  EXPECT_FALSE(window.findChild<QLabel*>(QStringLiteral("lblMessage"))->isVisible());
  ASSERT_TRUE(table()->isVisible());
  const QString miss = u' ' + frmKekka::kMissMark;
  EXPECT_EQ(row(0), (QStringList{S(u"1"), S(u"1"), S(u"3501"), S(u"川　上　　昇　平"), S(u"6.89"), S(u"1→1"), S(u".08"),
                                 S(u"1.49.7")}));
  EXPECT_EQ(row(2), (QStringList{S(u"3"), S(u"6"), S(u"3773"), S(u"津　留　　浩一郎"), S(u"6.77"), S(u"5→6") + miss,
                                 S(u".11"), S(u"1.51.3")}));
  EXPECT_EQ(row(3)[frmKekka::colCourse], S(u"6→5") + miss);
  EXPECT_EQ(row(4), (QStringList{S(u"5"), S(u"2"), S(u"5129"), S(u"山　口　　真喜子"), S(u"6.83"), S(u"2→2"), S(u".13"),
                                 QString()}));
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
  window.ShowRace(&kekka, 20, 8, {0, 1, 2, 3, 5, 6, 4});
  EXPECT_EQ(row(4), (QStringList{S(u"F"), S(u"4"), S(u"5155"), S(u"内　山　　七　海"), S(u"6.91"), S(u"5→5"),
                                 S(u"F.01"), QString()}));
  for (int r = 0; r < 6; ++r) EXPECT_FALSE(row(r)[frmKekka::colCourse].contains(frmKekka::kMissMark)) << r;
}

// A withdrawn boat has no actual course: no mark, whatever was predicted; a race not paid on
// ３連単 says so.
TEST_F(ResultsWindow, WithdrawnBoatAndBetsNotPaid) {
  if (!Load("K/k200315.txt", "01")) GTEST_SKIP() << "sample file not found: ../shared/data/K/k200315.txt";
  window.ShowRace(&kekka, 1, 4, {0, 1, 2, 3, 4, 5, 6});
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
  window.ShowRace(nullptr, 24, 1, {});
  EXPECT_TRUE(showsNoResult());
  window.ShowRace(&kekka, 23, 1, {});  // the results loaded are of another venue
  EXPECT_TRUE(showsNoResult());
  window.ShowRace(&kekka, 24, 1, {});
  EXPECT_FALSE(showsNoResult());
  window.ShowRace(&kekka, 24, 13, {});
  EXPECT_TRUE(showsNoResult());
  cKekkaFile empty;
  window.ShowRace(&empty, 24, 1, {});
  EXPECT_TRUE(showsNoResult());
}

TEST_F(ResultsWindow, RefusesAnotherDayAndShowsTheAccuracyLine) {
  window.show();
  window.ShowDayMismatch(S(u"2024/01/01"), S(u"2020/03/15"));
  EXPECT_EQ(label("lblMessage"),
            S(u"成績ファイルの日付 2020/3/15 が番組の日付 2024/1/1 と違うため、成績を表示しません。"));
  EXPECT_FALSE(table()->isVisible());
  auto* accuracy = window.findChild<QLabel*>(QStringLiteral("lblAccuracy"));
  EXPECT_FALSE(accuracy->isVisible());
  window.SetAccuracyText(S(u"進入的中 8/12 レース 64/72 艇（枠なり 5/12 レース 60/72 艇）"));
  EXPECT_TRUE(accuracy->isVisible());
  EXPECT_EQ(accuracy->text(), S(u"進入的中 8/12 レース 64/72 艇（枠なり 5/12 レース 60/72 艇）"));
  window.SetAccuracyText(QString());
  EXPECT_FALSE(accuracy->isVisible());
}
