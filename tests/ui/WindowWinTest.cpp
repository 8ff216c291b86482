// The win model on the real window: the card's 勝率 column on a real day, its change when a
// course is set by hand, and the results window's combinations.

#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QLabel>
#include <QMenu>
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

TEST_F(WindowWithADay, WinColumnShowsChancesAndFollowsACourseSetByHand) {
  EXPECT_EQ(Cell(0, frmMain::kColWin), QStringLiteral("勝率"));
  double sum = 0.0;
  std::array<double, 7> before{};
  for (int b = 1; b <= 6; ++b) {
    const QString text = Cell(b, frmMain::kColWin);
    EXPECT_TRUE(text.contains(QLatin1Char('.')) && text.section(QLatin1Char('.'), 1).size() == 1) << text.toStdString();
    before[static_cast<std::size_t>(b)] = Percent(text);
    EXPECT_GT(before[static_cast<std::size_t>(b)], 0.0);
    sum += before[static_cast<std::size_t>(b)];
  }
  EXPECT_NEAR(sum, 100.0, 0.35);

  // The column fits the picture: the card view keeps its size.
  cGrid& g = w->Grid();
  int width = g.Left();
  for (std::int16_t c = 0; c <= frmMain::kColWin; ++c) width += g.ColWidth(c);
  EXPECT_LE(width, w->picGrid->width());

  // Boat 6 set to course 1 by hand: its chance rises, boat 1's (now in course 6) falls.
  QAction* choice = w->mnuPopupCourse[0];
  w->PopupMenu = [&](QMenu*, const QPoint&) { choice->trigger(); };
  const QPointF at = CellCentre(6, 14);
  w->picGrid_MouseUp(Qt::RightButton, static_cast<float>(at.x()), static_cast<float>(at.y()));
  ASSERT_EQ(Cell(6, 14), QStringLiteral("1"));
  EXPECT_GT(Percent(Cell(6, frmMain::kColWin)), before[6]);
  EXPECT_LT(Percent(Cell(1, frmMain::kColWin)), before[1]);

  // 枠なり again gives the chances of 枠なり back.
  choice = w->mnuPopupNum;
  w->picGrid_MouseUp(Qt::RightButton, static_cast<float>(at.x()), static_cast<float>(at.y()));
  const QStringList wakunari = [&] {
    QStringList l;
    for (int b = 1; b <= 6; ++b) l << Cell(b, frmMain::kColWin);
    return l;
  }();
  EXPECT_EQ(Courses(), (QStringList{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(wakunari.size(), 6);
}

// The results window: the five likeliest 2連単 and 3連単, how the result fared, the venue's
// log-loss beside the pool's.
TEST_F(WindowWithADay, ResultsWindowGivesTheLikeliestCombinationsAndHowTheResultFared) {
  const QString results = SharedDataFile(QStringLiteral("K/k240101.txt"));
  if (results.isEmpty()) GTEST_SKIP() << "sample results not found in ../shared/data";
  {
    ChosenFileDialog dialog(results);
    w->mnuFileKekka->trigger();
  }
  ASSERT_NE(w->KekkaWindow(), nullptr);
  const QStringList lines = w->KekkaWindow()->findChild<QLabel*>(QStringLiteral("lblWin"))->text().split(u'\n');
  ASSERT_EQ(lines.size(), 5) << lines.join(u'|').toStdString();
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
  EXPECT_TRUE(
      QRegularExpression(QStringLiteral("^勝率予想の対数損失（この場 \\d+ R）: \\d\\.\\d\\d　オッズ \\d\\.\\d\\d$"))
          .match(lines[4])
          .hasMatch())
      << lines[4].toStdString();
}

TEST_F(Window, DemoCardHasNoChances) {
  for (int b = 1; b <= 6; ++b) EXPECT_EQ(Cell(b, frmMain::kColWin), QString());
}

}  // namespace
}  // namespace tidewake
