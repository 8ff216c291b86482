// The win model on the real window: the card's chance column on a real day, its change when a
// course is set by hand, and the results window's combinations.

#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QLabel>
#include <QRegularExpression>

namespace tidewake {
namespace {

using namespace test;

double Percent(const QString& text) {
  bool ok = false;
  const double v = text.toDouble(&ok);
  EXPECT_TRUE(ok) << text.toStdString();
  return v;
}

TEST_F(WindowWithADay, TheChanceColumnShowsChancesAndFollowsACourseSetByHand) {
  double sum = 0.0;
  std::array<double, 7> before{};
  for (int b = 1; b <= 6; ++b) {
    const QString text = Cell(b, CardColumn::WinChance);
    EXPECT_TRUE(text.contains(QLatin1Char('.')) && text.section(QLatin1Char('.'), 1).size() == 1) << text.toStdString();
    before[static_cast<std::size_t>(b)] = Percent(text);
    EXPECT_GT(before[static_cast<std::size_t>(b)], 0.0);
    sum += before[static_cast<std::size_t>(b)];
  }
  EXPECT_NEAR(sum, 100.0, 0.35);

  // The column fits the picture: the card view keeps its size.
  cGrid& g = w->Grid();
  int width = g.Left();
  for (std::int16_t c = 0; c < kCardColumns; ++c) width += g.ColWidth(c);
  EXPECT_LE(width, Picture()->width());

  // Boat 6 set to course 1 by hand: its chance rises, boat 1's (now in course 6) falls.
  Popup(6, "mnuPopup1");
  ASSERT_EQ(Cell(6, CardColumn::Course), QStringLiteral("1"));
  EXPECT_GT(Percent(Cell(6, CardColumn::WinChance)), before[6]);
  EXPECT_LT(Percent(Cell(1, CardColumn::WinChance)), before[1]);
  Popup(6, "mnuPopupNum");
  EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"}));
}

// The results window: the five likeliest 2連単 and 3連単, how the result fared, the venue's
// log-loss beside the pool's in words a fan reads.
TEST_F(WindowWithADay, ResultsWindowGivesTheLikeliestCombinationsAndHowTheResultFared) {
  TIDEWAKE_SAMPLE_OR_SKIP(results, "K/k240101.txt");
  OpenResults(results);
  ASSERT_NE(w->KekkaWindow(), nullptr);
  const QStringList lines = w->KekkaWindow()->findChild<QLabel*>(QStringLiteral("lblWin"))->text().split(u'\n');
  ASSERT_EQ(lines.size(), 6) << lines.join(u'|').toStdString();
  EXPECT_EQ(lines[0], QStringLiteral("1着予想（進入は出走表のコース）"));
  const QRegularExpression top(QStringLiteral("^%1: (\\d(-\\d){%2} \\d+\\.\\d%　?){5}$"));
  EXPECT_TRUE(QRegularExpression(top.pattern().arg(QStringLiteral("2連単")).arg(1)).match(lines[1]).hasMatch())
      << lines[1].toStdString();
  EXPECT_TRUE(QRegularExpression(top.pattern().arg(QStringLiteral("3連単")).arg(2)).match(lines[2]).hasMatch())
      << lines[2].toStdString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^結果の予想: 2連単 \\d-\\d \\d+\\.\\d%（\\d+ 位）　3連単 \\d-\\d-\\d "
                                                "\\d+\\.\\d%（\\d+ 位）$"))
                  .match(lines[3])
                  .hasMatch())
      << lines[3].toStdString();
  EXPECT_TRUE(QRegularExpression(
                  QStringLiteral("^1着予想の外れ具合（この場 \\d+ R、勝った艇の対数損失の平均。小さいほど良い）:$"))
                  .match(lines[4])
                  .hasMatch())
      << lines[4].toStdString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^このモデル \\d\\.\\d\\d　単勝の売れ方 \\d\\.\\d\\d$"))
                  .match(lines[5])
                  .hasMatch())
      << lines[5].toStdString();
}

}  // namespace
}  // namespace tidewake
