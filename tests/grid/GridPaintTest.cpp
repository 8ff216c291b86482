// How the grid paints: the order of the drawing calls, RefreshFlg, the header colours, line
// breaking, alignment and vertical centring. Every character is 8 pixels wide and 16 high, so
// each position can be worked out by hand: a cell of n characters is 8n + 4 wide (margin 2 on
// each side), a line of text 16 high plus 4.

#include "grid/cGrid.h"
#include "platform/RuntimeError.h"
#include "tests/common/TestDoubles.h"

#include <gtest/gtest.h>

using namespace tidewake;
using tidewake::test::FixedMetricsSurface;

namespace {

QStringList Prints(const FixedMetricsSurface& s) { return s.printed(); }

QStringList Filtered(const QStringList& log, const QString& prefix) {
  QStringList out;
  for (const QString& l : log) {
    if (l.startsWith(prefix)) out << l;
  }
  return out;
}

class GridPaint : public ::testing::Test {
 protected:
  // cols x rows cells, each `chars` characters wide and `lines` lines high.
  void SetUpGrid(int cols, int rows, std::int16_t chars, std::int16_t lines, bool headerCol = true,
                 bool headerRow = false) {
    ASSERT_TRUE(grid.Init(&surface, cols, rows, headerCol, headerRow));
    grid.SetAllTextLen(chars);
    grid.SetAllTextLine(lines);
    surface.clearLog();
  }

  // Paints just the one cell and returns what was printed.
  QStringList PrintedIn(std::int16_t row, std::int16_t col, const QString& value) {
    surface.clearLog();
    grid.SetCellValue(row, col, value);
    return Prints(surface);
  }

  FixedMetricsSurface surface{800, 200, 8, 16};
  cGrid grid;
};

TEST_F(GridPaint, AFullPaintClearsThenPaintsColumnByColumnBackgroundTextOutline) {
  SetUpGrid(2, 2, 5, 1, true, true);
  grid.SetRefreshFlg(false);
  grid.SetCellValue(1, 1, QStringLiteral("ab"));
  grid.SetCellValue(0, 1, QStringLiteral("H"));
  grid.SetCellForeColor(1, 1, 0x0000FF);
  grid.SetCellBackColor(1, 1, 0x00FFFF);
  surface.clearLog();
  grid.Refresh(false);
  const QStringList expected = {
      QStringLiteral("Hide"),
      QStringLiteral("Cls"),
      QStringLiteral("Fill(0,0)-(44,20) #E0E0E0"),
      QStringLiteral("Box(0,0)-(44,20) #80000010"),
      QStringLiteral("Fill(0,20)-(44,40) #E0E0E0"),
      QStringLiteral("Box(0,20)-(44,40) #80000010"),
      QStringLiteral("Fill(44,0)-(88,20) #E0E0E0"),
      QStringLiteral("Print(47,2) #000000 \"H\""),
      QStringLiteral("Box(44,0)-(88,20) #80000010"),
      QStringLiteral("Fill(44,20)-(88,40) #00FFFF"),
      QStringLiteral("Print(47,22) #0000FF \"ab\""),
      QStringLiteral("Box(44,20)-(88,40) #80000010"),
      QStringLiteral("Show"),
  };
  EXPECT_EQ(surface.log(), expected);
  EXPECT_FALSE(grid.RefreshFlg());
}

TEST_F(GridPaint, WithRefreshFlgFalseNothingIsDrawnUntilRefresh) {
  SetUpGrid(4, 3, 4, 1);
  grid.SetRefreshFlg(false);
  grid.SetCellValue(1, 1, QStringLiteral("x"));
  grid.SetCellFormat(1, 1, QStringLiteral("0.00"));
  grid.SetCellForeColor(1, 1, 0x0000FF);
  grid.SetCellBackColor(1, 1, 0x00FF00);
  grid.SetCellTextAlign(1, 1, 3);
  grid.SetFormatString(QStringLiteral("a|b"));
  grid.SetColWidth(2, 30);
  grid.SetRowTextLine(0, 2);
  grid.SetAllForeColor(0);
  grid.SetColBackColor(3, 0xFF0000);
  grid.SetHeaderBackColor(0xC0C0C0);
  grid.SetGridLine(false);
  grid.SetTextOffsetX(3);
  grid.Move(5, 5);
  grid.SetLeft(6);
  grid.SetTop(7);
  grid.SetCols(4);
  grid.SetRows(3);
  grid.MoveCenter();
  EXPECT_TRUE(surface.log().isEmpty()) << surface.log().join(u'\n').toStdString();

  grid.Refresh(false);
  EXPECT_EQ(surface.log().count(QStringLiteral("Hide")), 1);
  EXPECT_EQ(surface.log().count(QStringLiteral("Cls")), 1);
  EXPECT_EQ(surface.log().last(), QStringLiteral("Show"));
  EXPECT_FALSE(grid.RefreshFlg());

  grid.Refresh(true);
  EXPECT_TRUE(grid.RefreshFlg());
}

TEST_F(GridPaint, ClearGridPaintsEvenWhileRefreshFlgIsFalse) {
  SetUpGrid(2, 2, 4, 1);
  grid.SetRefreshFlg(false);
  grid.SetCellValue(1, 1, QStringLiteral("x"));
  grid.ClearGrid(-1, 0);
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Cls")));
  EXPECT_TRUE(Prints(surface).isEmpty());
  EXPECT_FALSE(grid.RefreshFlg());
}

TEST_F(GridPaint, SingleCellSettersRepaintOnlyTheirCell) {
  SetUpGrid(3, 3, 4, 1);
  const QString fill = QStringLiteral("Fill(36,20)-(72,40) #FFFFFF");
  const QString box = QStringLiteral("Box(36,20)-(72,40) #80000010");

  grid.SetCellValue(1, 1, QStringLiteral("ab"));
  EXPECT_EQ(surface.log(), (QStringList{QStringLiteral("Hide"), fill, QStringLiteral("Print(39,22) #000000 \"ab\""),
                                        box, QStringLiteral("Show")}));
  surface.clearLog();
  grid.SetCellForeColor(1, 1, 0x00FF00);
  EXPECT_EQ(Prints(surface), QStringList{QStringLiteral("(39,22) ab")});
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Print(39,22) #00FF00 \"ab\"")));
  surface.clearLog();
  grid.SetCellBackColor(1, 1, 0x0000FF);
  EXPECT_EQ(surface.log().value(1), QStringLiteral("Fill(36,20)-(72,40) #0000FF"));
  EXPECT_FALSE(surface.log().contains(QStringLiteral("Cls")));
  surface.clearLog();
  grid.SetCellFormat(1, 1, QStringLiteral("@@@@"));
  EXPECT_EQ(Prints(surface), QStringList{QStringLiteral("(39,22)   ab")});
  EXPECT_FALSE(surface.log().contains(QStringLiteral("Cls")));

  // The alignment setter repaints everything.
  surface.clearLog();
  grid.SetCellTextAlign(1, 1, 2);
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Cls")));
}

TEST_F(GridPaint, HeaderCellsTakeTheHeaderColour) {
  struct Case {
    bool headerCol, headerRow;
    const char* expected;  // colour letters of cells (0,0) (1,0) (0,1) (1,1): H header, C own
  };
  for (const Case c :
       {Case{true, true, "HHHC"}, Case{true, false, "HCHC"}, Case{false, true, "HHCC"}, Case{false, false, "CCCC"}}) {
    SCOPED_TRACE(c.expected);
    SetUpGrid(2, 2, 4, 1, c.headerCol, c.headerRow);
    grid.SetAllBackColor(0x123456);
    const QStringList fills = Filtered(surface.log(), QStringLiteral("Fill("));
    ASSERT_EQ(fills.size(), 4);
    for (int i = 0; i < 4; ++i) {
      const QString colour = c.expected[i] == 'H' ? QStringLiteral("#E0E0E0") : QStringLiteral("#123456");
      EXPECT_TRUE(fills[i].endsWith(colour)) << fills[i].toStdString();
    }
  }
}

TEST_F(GridPaint, NoGridLinesMeansNoOutlines) {
  SetUpGrid(2, 2, 4, 1);
  grid.SetGridLine(false);
  EXPECT_TRUE(Filtered(surface.log(), QStringLiteral("Box(")).isEmpty());
  grid.SetGridLineColor(0x0000FF);
  grid.SetGridLine(true);
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Box(36,20)-(72,40) #0000FF")));
}

TEST_F(GridPaint, TextIsPrintedInTheCellColourAndTheSurfaceColourIsPutBack) {
  SetUpGrid(2, 2, 4, 1);
  grid.SetCellForeColor(1, 1, 0xFFFFFF);
  surface.SetForeColor(0x445566);
  grid.SetCellValue(1, 1, QStringLiteral("6"));
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Print(63,22) #FFFFFF \"6\"")));
  EXPECT_EQ(surface.ForeColor(), 0x445566u);
}

TEST_F(GridPaint, LongTextWrapsCharacterByCharacterAndDropsLinesThatDoNotFit) {
  SetUpGrid(2, 2, 5, 2);
  // Five characters a line, two lines high: the third line is not printed.
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("ABCDEFGHIJKL")),
            (QStringList{QStringLiteral("(47,38) ABCDE"), QStringLiteral("(47,54) FGHIJ")}));
  // Exactly five characters stay on one line (the break comes only when a character would
  // overflow), centred vertically in the two-line cell.
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("ABCDE")), QStringList{QStringLiteral("(47,46) ABCDE")});
  // Full-width characters break the same way: they are measured, not counted.
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("選手登番号一")),
            (QStringList{QStringLiteral("(47,38) 選手登番号"), QStringLiteral("(47,54) 一")}));
}

TEST_F(GridPaint, LineBreaksAndControlCharacters) {
  SetUpGrid(2, 2, 6, 3);
  // CR LF ends a line (the LF is dropped); a lone CR too; tabs vanish.
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("A\r\nB\tC\rD")),
            (QStringList{QStringLiteral("(55,54) A"), QStringLiteral("(55,70) BC"), QStringLiteral("(55,86) D")}));
  // A lone line feed does not break.
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("A\nB")), QStringList{QStringLiteral("(55,70) AB")});
  // The vertical block is centred by the number of lines kept.
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("1\r\n2")),
            (QStringList{QStringLiteral("(95,62) 1"), QStringLiteral("(95,78) 2")}));
}

TEST_F(GridPaint, ACellTooSmallForOneCharacterShowsNothing) {
  SetUpGrid(3, 3, 4, 1);
  grid.SetColWidth(1, 11);  // 7 pixels inside: narrower than one character
  EXPECT_TRUE(PrintedIn(1, 1, QStringLiteral("x")).isEmpty());
  grid.SetColWidth(1, 12);  // exactly one character
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("xy")), QStringList{QStringLiteral("(39,22) x")});
  grid.SetRowHeight(2, 19);  // 15 pixels inside: lower than one line
  EXPECT_TRUE(PrintedIn(2, 2, QStringLiteral("x")).isEmpty());
  EXPECT_TRUE(PrintedIn(2, 2, QString()).isEmpty());
}

TEST_F(GridPaint, AutomaticAlignmentIsChosenForEachLine) {
  SetUpGrid(2, 2, 5, 3);  // 40 pixels inside; cell (1,1) starts at x 44
  // 12.5 is a number (right: 32 wide, 8 of slack); A1 is not (left); a number as wide as the
  // cell starts at the margin.
  EXPECT_EQ(
      PrintedIn(1, 1, QStringLiteral("12.5\r\nA1\r\n12345")),
      (QStringList{QStringLiteral("(55,54) 12.5"), QStringLiteral("(47,70) A1"), QStringLiteral("(47,86) 12345")}));
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("-3")), QStringList{QStringLiteral("(71,70) -3")});
}

TEST_F(GridPaint, ExplicitAlignments) {
  SetUpGrid(2, 2, 5, 1);
  grid.SetColWidth(1, 45);  // 41 inside: the centre slack of one character is 33, halved 16
  grid.SetCellTextAlign(1, 1, 1);
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("7")), QStringList{QStringLiteral("(47,22) 7")});
  grid.SetCellTextAlign(1, 1, 2);
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("7")), QStringList{QStringLiteral("(63,22) 7")});
  grid.SetCellTextAlign(1, 1, 3);
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("7")), QStringList{QStringLiteral("(80,22) 7")});
  grid.SetCellTextAlign(1, 1, 9);  // unknown codes align left, even for numbers
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("7")), QStringList{QStringLiteral("(47,22) 7")});
  // The formatted text is what is measured and printed.
  grid.SetCellTextAlign(1, 1, 0);
  grid.SetCellFormat(1, 1, QStringLiteral("0.00"));
  EXPECT_EQ(PrintedIn(1, 1, QStringLiteral("3.5")), QStringList{QStringLiteral("(56,22) 3.50")});
}

TEST_F(GridPaint, ATwoLineHeaderIsCentredBothWays) {
  ASSERT_TRUE(grid.Init(&surface, 2, 3, true, false));
  grid.SetRefreshFlg(false);
  grid.SetAllTextLine(1);
  grid.SetFormatString(QStringLiteral("^艇番|<成　　　　績"));
  grid.SetRowTextLine(0, 2);
  grid.SetCellValue(0, 1, grid.CellValue(0, 1) + QStringLiteral("\r\n１２３４５６"));
  grid.SetRowTextAlign(0, 2);
  surface.clearLog();
  grid.Refresh(false);
  // Column 1 starts at 36 and is 12 bytes wide: 96 inside, 48 of text, 24 of slack each side.
  const QStringList printed = Prints(surface);
  EXPECT_TRUE(printed.contains(QStringLiteral("(63,2) 成　　　　績")));
  EXPECT_TRUE(printed.contains(QStringLiteral("(63,18) １２３４５６")));
  EXPECT_TRUE(printed.contains(QStringLiteral("(11,10) 艇番")));
  // The data rows keep the column's alignment (left).
  grid.SetRefreshFlg(true);
  grid.SetCellValue(1, 1, QStringLiteral("1"));
  EXPECT_EQ(Prints(surface).last(), QStringLiteral("(39,38) 1"));
}

TEST_F(GridPaint, AShiftedGridPaintsShiftedRectanglesAndText) {
  SetUpGrid(2, 2, 4, 1);
  grid.SetCellValue(1, 1, QStringLiteral("ab"));
  surface.clearLog();
  grid.Move(100, 30);
  EXPECT_EQ(grid.Left(), 100);
  EXPECT_EQ(grid.Top(), 30);
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Fill(100,30)-(136,50) #E0E0E0")));
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Box(136,50)-(172,70) #80000010")));
  EXPECT_EQ(Prints(surface), QStringList{QStringLiteral("(139,52) ab")});
}

// A surface whose filled boxes fail, to see what painting does when the platform fails under it.
class FailingSurface final : public IDrawSurface {
 public:
  float ScaleWidth() const override { return 400; }
  float ScaleHeight() const override { return 100; }
  float Width() const override { return 400; }
  float Height() const override { return 100; }
  void SetSize(float, float) override {}
  void SetScaleMode(int) override {}
  void SetAutoRedraw(bool) override {}
  void SetDrawMode(int) override {}
  void SetDrawStyle(int) override {}
  void SetDrawWidth(int) override {}
  QString FontName() const override { return {}; }
  void SetFontName(const QString&) override {}
  float FontSize() const override { return 10; }
  void SetFontSize(float) override {}
  bool FontBold() const override { return false; }
  void SetFontBold(bool) override {}
  void SetFontItalic(bool) override {}
  void SetFontStrikethru(bool) override {}
  void SetFontUnderline(bool) override {}
  Colour ForeColor() const override { return 0; }
  void SetForeColor(Colour) override {}
  Colour BackColor() const override { return 0xFFFFFF; }
  void SetBackColor(Colour) override {}
  float CurrentX() const override { return 0; }
  float CurrentY() const override { return 0; }
  void SetCurrentX(float) override {}
  void SetCurrentY(float) override {}
  bool Visible() const override { return visible; }
  void SetVisible(bool on) override { visible = on; }
  void Cls() override {}
  void Line(float, float, float, float, Colour) override {}
  void Box(float, float, float, float, Colour, bool filled) override {
    if (filled && failFills) throw RuntimeError(ErrNo::DeviceIo, QStringLiteral("描画に失敗しました"));
  }
  void Print(const QString&, bool) override {}
  float TextWidth(const QString& t) const override { return 8.0f * static_cast<float>(t.size()); }
  float TextHeight(const QString&) const override { return 16; }

  bool visible = true;
  bool failFills = false;
};

TEST(GridPaintFailure, AFailedPaintIsRecordedAndTheSurfaceShownAgain) {
  FailingSurface surface;
  cGrid grid;
  ASSERT_TRUE(grid.Init(&surface, 2, 2, true, true));
  surface.failFills = true;
  grid.Refresh(false);
  EXPECT_EQ(grid.LastErrText(), QStringLiteral("描画に失敗しました"));
  EXPECT_TRUE(surface.visible);
  // Init's own paint fails the same way: the grid is made all the same, the failure recorded.
  EXPECT_TRUE(grid.Init(&surface, 2, 2, true, true));
  EXPECT_EQ(grid.LastErrText(), QStringLiteral("描画に失敗しました"));
  EXPECT_TRUE(surface.visible);
}

}  // namespace
