// The race card drawn by the grid on the Qt picture, set up by the main window's own set-up,
// checked by its pixels and kept as PNG files in the build tree (race_card_header.png, the header
// and the boat numbers; race_card_demo.png, a full card) for a person to look at.

#include "grid/cGrid.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <array>

using namespace tidewake;

namespace {

// The card's picture box: 11775 x 2295 twips at 15 twips a pixel.
constexpr int kPictureWidth = 785;
constexpr int kPictureHeight = 153;

// Background and text colour of each boat number, boats 1..6.
struct BoatColours {
  Colour back;
  Colour text;
};
constexpr std::array<BoatColours, 6> kBoatColours{{
    {0xFFFFFF, 0x000000},  // 1 white, black text
    {0x404040, 0xFFFFFF},  // 2 dark grey, white text
    {0x0000FF, 0xFFFFFF},  // 3 red, white text
    {0xFF0000, 0xFFFFFF},  // 4 blue, white text
    {0x00FFFF, 0x000000},  // 5 yellow, black text
    {0x00FF00, 0x000000},  // 6 green, black text
}};

QRgb Rgb(Colour c) { return ToQColor(c).rgb(); }
QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

int CountOf(const QImage& image, const QRect& area, QRgb colour) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) n += At(image, x, y) == colour ? 1 : 0;
  }
  return n;
}

QRect InkIn(const QImage& image, const QRect& area, QRgb ink) {
  QRect r;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (At(image, x, y) == ink) r |= QRect(x, y, 1, 1);
    }
  }
  return r;
}

QString ArtifactPath(const QString& name) { return QDir(QStringLiteral(TIDEWAKE_TEST_OUTPUT)).filePath(name); }

class RaceCard : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QFontInfo(picGrid.CurrentFont()).family(), QStringLiteral("IPAGothic"))
        << "the card is laid out for IPAGothic (Debian package fonts-ipafont-gothic)";
    ASSERT_TRUE(RaceCardSetUp(grid, picGrid)) << grid.LastErrText().toStdString();
  }

  // Left edge of a column and top edge of a row on the picture.
  int ColLeft(int col) const {
    int x = grid.Left();
    for (std::int16_t c = 0; c < col; ++c) x += grid.ColWidth(c);
    return x;
  }
  int RowTop(int row) const {
    int y = grid.Top();
    for (std::int16_t r = 0; r < row; ++r) y += grid.RowHeight(r);
    return y;
  }

  QtDrawSurface picGrid{kPictureWidth, kPictureHeight};
  cGrid grid;
};

TEST_F(RaceCard, HeaderTextsFixTheColumnWidthsAndTheCardFitsItsPicture) {
  // 8 pixels the average character (half of the 15-pixel full-width one), 2 of margin each side.
  const std::array<int, 16> bytes = {4, 8, 10, 4, 4, 4, 4, 5, 6, 4, 6, 4, 6, 12, 4, 4};
  int width = 0;
  for (std::int16_t c = 0; c < 16; ++c) {
    EXPECT_EQ(grid.ColWidth(c), bytes[c] * 8 + 4) << "column " << c;
    width += bytes[c] * 8 + 4;
  }
  EXPECT_EQ(grid.RowHeight(0), 2 * 15 + 4);
  for (std::int16_t r = 1; r < 7; ++r) EXPECT_EQ(grid.RowHeight(r), 15 + 4);
  EXPECT_EQ(grid.Width(), width);
  EXPECT_EQ(grid.Height(), 34 + 6 * 19);
  EXPECT_LT(grid.Width(), kPictureWidth);
  EXPECT_LT(grid.Height(), kPictureHeight);
  EXPECT_EQ(grid.CellValue(0, 13), QStringLiteral("成　　　　績\r\n１２３４５６"));
  EXPECT_EQ(grid.CellTextAlign(3, 13), 1);
  EXPECT_EQ(grid.CellTextAlign(3, 2), 0);
  EXPECT_EQ(grid.CellTextAlign(0, 2), 2);
  EXPECT_EQ(grid.LastErrText(), QString());
}

TEST_F(RaceCard, RendersTheHeaderAsTheWindowShowsIt) {
  const QImage& card = picGrid.Image();
  ASSERT_TRUE(card.save(ArtifactPath(QStringLiteral("race_card_header.png"))));
  const QRgb black = qRgb(0, 0, 0);
  const QRgb white = qRgb(255, 255, 255);
  const QRgb header = qRgb(0xE0, 0xE0, 0xE0);
  const QRgb shadow = QGuiApplication::palette().color(QPalette::Dark).rgb();

  // Column 13's header: two lines of six full-width characters (90 pixels) in 96 pixels inside
  // the margins, so 3 pixels of slack on each side; the block of two lines (30 pixels) fills the
  // 30 pixels inside the header row.
  const int left = ColLeft(13);
  const int textLeft = left + 2 + 3 + 1;
  const QRect line1(textLeft, 2, 90, 15);
  const QRect line2(textLeft, 17, 90, 15);
  const QRect ink1 = InkIn(card, line1.adjusted(-6, 0, 6, 0), black);
  const QRect ink2 = InkIn(card, line2.adjusted(-6, 0, 6, 0), black);
  ASSERT_FALSE(ink1.isEmpty());
  ASSERT_FALSE(ink2.isEmpty());
  // Both lines start and end within their slots (full-width digits stand a few pixels inside
  // theirs): centred in the column.
  for (const QRect& ink : {ink1, ink2}) {
    EXPECT_GE(ink.left(), textLeft);
    EXPECT_LE(ink.left(), textLeft + 6);
    EXPECT_LE(ink.right(), textLeft + 89);
    EXPECT_GE(ink.right(), textLeft + 83);
    const int leftGap = ink.left() - left;
    const int rightGap = left + grid.ColWidth(13) - ink.right();
    EXPECT_LE(std::abs(leftGap - rightGap), 3) << leftGap << " / " << rightGap;
  }
  // 成 and 績 with four blank characters between them; the line break shows as nothing.
  EXPECT_GT(CountOf(card, QRect(textLeft, 2, 15, 15), black), 20);
  EXPECT_GT(CountOf(card, QRect(textLeft + 75, 2, 15, 15), black), 20);
  EXPECT_EQ(CountOf(card, QRect(textLeft + 15, 2, 60, 15), black), 0);
  // Six full-width digits on the second line, one in each slot.
  for (int k = 0; k < 6; ++k) EXPECT_GT(CountOf(card, QRect(textLeft + 15 * k, 17, 15, 15), black), 5) << k;
  // The second line is below the first: the row really is two lines high.
  EXPECT_LT(ink1.bottom(), ink2.top() + 3);
  EXPECT_GE(ink2.top(), 17);
  EXPECT_LE(ink2.bottom(), 33);

  // A one-line header is centred vertically in the two-line row: "艇番" sits 7 pixels lower.
  const QRect tei = InkIn(card, QRect(1, 1, 34, 32), black);
  ASSERT_FALSE(tei.isEmpty());
  EXPECT_GE(tei.top(), 9);
  EXPECT_LE(tei.bottom(), 9 + 15);
  EXPECT_LE(std::abs((tei.left() - 0) - (36 - tei.right())), 3);

  // The header row is painted in the header colour, column 0 below it in the boat colours.
  EXPECT_EQ(At(card, ColLeft(5) + 2, 3), header);
  EXPECT_EQ(At(card, ColLeft(13) + 2, 30), header);
  for (int boat = 1; boat <= 6; ++boat) {
    SCOPED_TRACE(boat);
    const int top = RowTop(boat);
    const QRgb back = Rgb(kBoatColours[boat - 1].back);
    const QRgb text = Rgb(kBoatColours[boat - 1].text);
    EXPECT_EQ(At(card, 3, top + 3), back);
    EXPECT_EQ(At(card, 33, top + 16), back);
    // The boat number in its text colour, centred: "1" is 8 wide in 32, from x 15.
    const QRect digit(15, top + 2, 8, 15);
    EXPECT_GT(CountOf(card, digit, text), 4);
    EXPECT_EQ(CountOf(card, QRect(1, top + 1, 12, 17), text), 0);
    // The data cells next to it are white (column 0 is no header column here).
    EXPECT_EQ(At(card, ColLeft(1) + 3, top + 3), white);
  }

  // Grid lines in the button-shadow colour: the outer frame, a column edge, a row edge.
  EXPECT_NE(shadow, white);
  EXPECT_EQ(At(card, 0, 100), shadow);
  EXPECT_EQ(At(card, grid.Width(), 100), shadow);
  EXPECT_EQ(At(card, 400, 0), shadow);
  EXPECT_EQ(At(card, 400, grid.Height()), shadow);
  EXPECT_EQ(At(card, ColLeft(1), RowTop(3) + 9), shadow);
  EXPECT_EQ(At(card, ColLeft(13), 20), shadow);
  EXPECT_EQ(At(card, 500, RowTop(1)), shadow);
  EXPECT_EQ(At(card, 20, RowTop(6)), shadow);
  // Nothing past the grid: the picture's white.
  EXPECT_EQ(At(card, grid.Width() + 2, 50), white);
  EXPECT_EQ(At(card, 400, grid.Height() + 2), white);
}

// One boat per row of a sample card (invented racers), columns 1..13 as the window fills them.
struct DemoRow {
  const char* sensyuNo;
  const char* name;
  const char* age;
  const char* birthplace;
  const char* weight;
  const char* rank;
  const char* rate;
  const char* rate2;
  const char* motor;
  const char* motor2;
  const char* boat;
  const char* boat2;
  const char* results;
};

TEST_F(RaceCard, RendersAFullCard) {
  const DemoRow demo[6] = {
      {"4001", "青木　一郎", "41", "千葉", "47", "A1", "9.27", "67.30", "39", "49.67", "14", "41.22", "１１１１１１"},
      {"4002", "石川　二朗", "43", "徳島", "50", "A1", "8.92", "55.00", "34", "46.34", "53", "39.84", "１１１１１３２"},
      {"4003", "上野　三郎", "32", "大阪", "51", "A1", "9.53", "66.67", "27", "39.06", "36", "39.20", "１２１１１１"},
      {"4004", "江藤　四郎", "29", "山口", "49", "A1", "9.15", "61.40", "76", "47.83", "13", "43.75", "６１１２２１"},
      {"4005", "大川　五郎", "33", "福岡", "52", "A1", "8.99", "62.48", "75", "43.20", "25", "42.86", "３３１１１１"},
      {"4006", "加藤　六郎", "29", "群馬", "50", "A1", "8.91", "66.12", "23", "46.83", "79", "39.67", "２１２１２１"},
  };
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    const DemoRow& d = demo[boat - 1];
    const char* values[] = {d.sensyuNo, d.name,  d.age,    d.birthplace, d.weight, d.rank,   d.rate,
                            d.rate2,    d.motor, d.motor2, d.boat,       d.boat2,  d.results};
    for (std::int16_t c = 1; c <= 13; ++c) grid.SetCellValue(boat, c, QString::fromUtf8(values[c - 1]));
    for (std::int16_t c : {8, 10, 12}) grid.SetCellFormat(boat, c, QStringLiteral("0.00"));
    grid.SetCellValue(boat, 14, QString::number(boat));
  }
  grid.Refresh(false);
  const QImage& card = picGrid.Image();
  ASSERT_TRUE(card.save(ArtifactPath(QStringLiteral("race_card_demo.png"))));
  const QRgb black = qRgb(0, 0, 0);

  // "9.27" reads as a number: right-aligned in the automatic column 7 (32 of 40 pixels).
  const int rateRight = ColLeft(8) - 2;
  const QRect rate = InkIn(card, QRect(ColLeft(7) + 1, RowTop(1) + 1, grid.ColWidth(7) - 2, 17), black);
  ASSERT_FALSE(rate.isEmpty());
  EXPECT_GE(rate.left(), ColLeft(7) + 2 + 8);
  EXPECT_LE(rate.right(), rateRight + 1);
  // "千葉" does not: left-aligned in the automatic column 4.
  const QRect home = InkIn(card, QRect(ColLeft(4) + 1, RowTop(1) + 1, grid.ColWidth(4) - 2, 17), black);
  ASSERT_FALSE(home.isEmpty());
  EXPECT_LE(home.left(), ColLeft(4) + 5);
  // The results column (left) drops what does not fit: seven results are one more than fit the
  // line, and the single line height leaves no room for a second line.
  EXPECT_EQ(grid.CellText(2, 13), QStringLiteral("１１１１１３２"));
  const QRect results = InkIn(card, QRect(ColLeft(13) + 1, RowTop(2) + 1, grid.ColWidth(13) - 2, 17), black);
  EXPECT_LE(results.right(), ColLeft(13) + 3 + 90);
  // Two-place rates shown with two decimals.
  EXPECT_EQ(grid.CellText(2, 8), QStringLiteral("55.00"));
  EXPECT_EQ(grid.LastErrText(), QString());
}

}  // namespace
