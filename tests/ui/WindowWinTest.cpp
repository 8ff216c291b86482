// The win model on the real window: the card's chance column on a real day, its change when a
// course is set by hand, and the results window's combinations.

#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>

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

// The results window: the five likeliest 2連単 and 3連単 with their chances and break-even odds,
// how the result fared, the venue's log-loss beside the pool's in words a fan reads.
TEST_F(WindowWithADay, ResultsWindowGivesTheLikeliestCombinationsAndHowTheResultFared) {
  TIDEWAKE_SAMPLE_OR_SKIP(results, "K/k240101.txt");
  OpenResults(results);
  ASSERT_NE(w->KekkaWindow(), nullptr);
  EXPECT_EQ(w->KekkaWindow()->findChild<QLabel*>(QStringLiteral("lblWin"))->text(),
            QStringLiteral("1着予想（進入は出走表のコース）"));
  const auto* tickets = w->KekkaWindow()->findChild<QTableWidget*>(QStringLiteral("grdTickets"));
  ASSERT_NE(tickets, nullptr);
  EXPECT_TRUE(tickets->isVisibleTo(w->KekkaWindow()));
  ASSERT_EQ(tickets->rowCount(), 5);
  QStringList headers;
  for (int c = 0; c < tickets->columnCount(); ++c) headers << tickets->horizontalHeaderItem(c)->text();
  EXPECT_EQ(headers, (QStringList{"2連単", "確率", "分岐オッズ", "3連単", "確率", "分岐オッズ"}));
  EXPECT_EQ(tickets->horizontalHeaderItem(frmKekka::colExactaOdds)->toolTip(), BreakEvenExplanation());
  for (const int first : {int(frmKekka::colExacta), int(frmKekka::colTrifecta)}) {
    const QRegularExpression combination(first == frmKekka::colExacta ? QStringLiteral("^\\d-\\d$")
                                                                      : QStringLiteral("^\\d-\\d-\\d$"));
    double previous = 100.0;
    for (int r = 0; r < 5; ++r) {
      const QString kumi = tickets->item(r, first)->text(), chance = tickets->item(r, first + 1)->text(),
                    odds = tickets->item(r, first + 2)->text();
      EXPECT_TRUE(combination.match(kumi).hasMatch()) << kumi.toStdString();
      ASSERT_TRUE(chance.endsWith(u'%')) << chance.toStdString();
      const double p = Percent(chance.chopped(1));
      EXPECT_LE(p, previous) << "likeliest first";
      previous = p;
      // The odds at which it breaks even are 1 ÷ chance, as far as the shown figures' rounding allows.
      EXPECT_NEAR(Percent(odds), 100.0 / p, 0.05 + 100.0 / p * 0.05 / p) << kumi.toStdString();
    }
  }
  const QStringList lines = w->KekkaWindow()->findChild<QLabel*>(QStringLiteral("lblWinResult"))->text().split(u'\n');
  ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^結果の予想: 2連単 \\d-\\d \\d+\\.\\d%（\\d+ 位）　3連単 \\d-\\d-\\d "
                                                "\\d+\\.\\d%（\\d+ 位）$"))
                  .match(lines[0])
                  .hasMatch())
      << lines[0].toStdString();
  EXPECT_TRUE(QRegularExpression(
                  QStringLiteral("^1着予想の外れ具合（この場 \\d+ R、勝った艇の対数損失の平均。小さいほど良い）:$"))
                  .match(lines[1])
                  .hasMatch())
      << lines[1].toStdString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^このモデル \\d\\.\\d\\d　単勝の売れ方 \\d\\.\\d\\d$"))
                  .match(lines[2])
                  .hasMatch())
      << lines[2].toStdString();
}

// The card gives each boat's 単勝 break-even odds on its chance, 1 ÷ the chance shown.
TEST_F(WindowWithADay, TheChanceCellTellsTheBreakEvenOddsOfTheWin) {
  for (int b = 1; b <= 6; ++b) {
    const QString tip = Tip(b, CardColumn::WinChance);
    const double p = Percent(Cell(b, CardColumn::WinChance));
    const QRegularExpression first(QStringLiteral("^%1号艇 単勝の分岐オッズ (\\d+\\.\\d)（予想1着 %2%）\n")
                                       .arg(b)
                                       .arg(QRegularExpression::escape(Cell(b, CardColumn::WinChance))));
    const QRegularExpressionMatch m = first.match(tip);
    ASSERT_TRUE(m.hasMatch()) << tip.toStdString();
    EXPECT_NEAR(Percent(m.captured(1)), 100.0 / p, 0.05 + 100.0 / p * 0.05 / p);
    EXPECT_TRUE(tip.contains(QStringLiteral("掲示板の単勝オッズが %1 より高ければ").arg(m.captured(1))));
  }
  // The other cells of the row keep the boat's own tooltip.
  EXPECT_FALSE(Tip(1, CardColumn::SensyuName).contains(QStringLiteral("分岐オッズ")));
}

}  // namespace
}  // namespace tidewake
