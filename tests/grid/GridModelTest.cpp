// The cell model of the grid: set-up, sizes, the format string, setters and their failures. The
// surface has fixed metrics: every character 8 pixels wide, every line 16 high.

#include "grid/cGrid.h"
#include "platform/RuntimeError.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/TestDoubles.h"

#include <gtest/gtest.h>

#include <random>

using namespace tidewake;
using tidewake::test::FixedMetricsSurface;

namespace {

constexpr int kChar = 8;
constexpr int kLine = 16;

// The subscript failure, and that it is the only thing that happened.
template <typename F>
void ExpectSubscript(F&& f) {
  EXPECT_RUNTIME_ERROR(f(), ErrNo::SubscriptOutOfRange);
}

class GridModel : public ::testing::Test {
 protected:
  void SetUpGrid(int cols, int rows, bool headerCol = true, bool headerRow = false) {
    ASSERT_TRUE(grid.Init(&surface, cols, rows, headerCol, headerRow)) << grid.LastErrText().toStdString();
    surface.clearLog();
  }

  FixedMetricsSurface surface{800, 200, kChar, kLine};
  cGrid grid;
};

TEST_F(GridModel, InitSetsTheSurfaceUpAndSharesItEvenly) {
  surface.SetForeColor(0x123456);
  surface.SetFontSize(20);
  surface.SetFontBold(true);
  ASSERT_TRUE(grid.Init(&surface, 15, 7, true, false));
  EXPECT_EQ(surface.scaleMode, 3);
  EXPECT_TRUE(surface.autoRedraw);
  EXPECT_EQ(surface.FontName(), QStringLiteral("ＭＳ ゴシック"));
  EXPECT_EQ(surface.FontSize(), 10);
  EXPECT_FALSE(surface.FontBold());
  EXPECT_FALSE(surface.italic || surface.strikethru || surface.underline);
  EXPECT_EQ(surface.drawMode, 13);
  EXPECT_EQ(surface.drawStyle, 0);
  EXPECT_EQ(surface.drawWidth, 1);
  EXPECT_EQ(surface.ForeColor(), 0u);
  EXPECT_EQ(surface.BackColor(), 0xFFFFFFu);

  // 800 \ 15 = 53 pixels a column, 200 \ 7 = 28 a row.
  EXPECT_EQ(grid.ColWidth(0), 53);
  EXPECT_EQ(grid.ColWidth(14), 53);
  EXPECT_EQ(grid.RowHeight(6), 28);
  EXPECT_EQ(grid.Width(), 15 * 53);
  EXPECT_EQ(grid.Height(), 7 * 28);
  EXPECT_EQ(grid.CellForeColor(3, 3), 0u);
  EXPECT_EQ(grid.CellBackColor(3, 3), 0xFFFFFFu);
  EXPECT_EQ(grid.CellTextAlign(3, 3), 0);
  EXPECT_EQ(grid.CellValue(3, 3), QString());

  EXPECT_EQ(grid.Left(), 0);
  EXPECT_EQ(grid.Top(), 0);
  EXPECT_TRUE(grid.HeaderCol());
  EXPECT_FALSE(grid.HeaderRow());
  EXPECT_EQ(grid.HeaderBackColor(), 0xE0E0E0u);
  EXPECT_TRUE(grid.GridLine());
  EXPECT_EQ(grid.GridLineColor(), 0x80000010u);
  EXPECT_TRUE(grid.RefreshFlg());
  EXPECT_EQ(grid.CursorCol(), 0);
  EXPECT_EQ(grid.CursorRow(), 0);
  EXPECT_EQ(grid.TextOffsetX(), 2);
  EXPECT_EQ(grid.TextOffsetY(), 2);
  EXPECT_EQ(grid.LastErrText(), QString());
  // Init paints the fresh grid at once.
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Cls")));
}

TEST_F(GridModel, InitClampsTheTableSizeAndHandsItBack) {
  std::int16_t cols = 0;
  std::int16_t rows = 300;
  ASSERT_TRUE(grid.Init(&surface, cols, rows, true, true));
  EXPECT_EQ(cols, 1);
  EXPECT_EQ(rows, 256);
  EXPECT_EQ(grid.Cols(), 1);
  EXPECT_EQ(grid.Rows(), 256);
  EXPECT_EQ(grid.MaxRow(), 255);

  cols = -5;
  rows = 1;
  ASSERT_TRUE(grid.Init(&surface, cols, rows, true, true));
  EXPECT_EQ(cols, 1);
  EXPECT_EQ(grid.Cols(), 1);
  ASSERT_TRUE(grid.Init(&surface, 100000, -100000, true, true));
  EXPECT_EQ(grid.Cols(), 256);
  EXPECT_EQ(grid.Rows(), 1);
}

TEST_F(GridModel, WithoutASurfaceInitFailsAndCellsDoNotExist) {
  ExpectSubscript([&] { (void)grid.CellValue(0, 0); });
  ExpectSubscript([&] { grid.SetFormatString(QStringLiteral("a|b")); });
  EXPECT_FALSE(grid.Init(nullptr, 3, 3, true, true));
  EXPECT_FALSE(grid.LastErrText().isEmpty());
  EXPECT_EQ(grid.ClickCol(5), -1);
  EXPECT_EQ(grid.ClickValue(5, 5), QString());
  // A later successful Init forgets the old failure.
  ASSERT_TRUE(grid.Init(&surface, 3, 3, true, true));
  EXPECT_EQ(grid.LastErrText(), QString());
}

TEST_F(GridModel, ResetStartsAgainWithTheSameSizeAndHeaders) {
  SetUpGrid(5, 4, false, true);
  grid.SetCellValue(2, 2, QStringLiteral("x"));
  grid.SetColWidth(1, 99);
  grid.Move(7, 9);
  grid.SetGridLine(false);
  grid.Reset();
  EXPECT_EQ(grid.Cols(), 5);
  EXPECT_EQ(grid.Rows(), 4);
  EXPECT_FALSE(grid.HeaderCol());
  EXPECT_TRUE(grid.HeaderRow());
  EXPECT_EQ(grid.CellValue(2, 2), QString());
  EXPECT_EQ(grid.ColWidth(1), 160);
  EXPECT_EQ(grid.Left(), 0);
  EXPECT_TRUE(grid.GridLine());
}

TEST_F(GridModel, DataAndBoundsFollowTheHeaders) {
  SetUpGrid(15, 7, true, false);
  EXPECT_EQ(grid.DataRows(), 6);
  EXPECT_EQ(grid.DataCols(), 15);
  grid.SetHeaderRow(true);
  grid.SetHeaderCol(false);
  EXPECT_EQ(grid.DataRows(), 7);
  EXPECT_EQ(grid.DataCols(), 14);
  EXPECT_EQ(grid.MinCol(), 0);
  EXPECT_EQ(grid.MaxCol(), 14);
  EXPECT_EQ(grid.MinRow(), 0);
  EXPECT_EQ(grid.MaxRow(), 6);
}

// ---- the format string ----

TEST_F(GridModel, FormatStringOfTheCardsFirstColumns) {
  SetUpGrid(15, 7);
  grid.SetFormatString(QStringLiteral("^艇番|^選手登番|選  手  名"));
  EXPECT_EQ(grid.CellValue(0, 0), QStringLiteral("艇番"));
  EXPECT_EQ(grid.CellValue(0, 1), QStringLiteral("選手登番"));
  EXPECT_EQ(grid.CellValue(0, 2), QStringLiteral("選  手  名"));
  // Code-page bytes times the average width, plus the margin on both sides.
  EXPECT_EQ(grid.ColWidth(0), 4 * kChar + 4);
  EXPECT_EQ(grid.ColWidth(1), 8 * kChar + 4);
  EXPECT_EQ(grid.ColWidth(2), 10 * kChar + 4);
  for (std::int16_t r = 0; r < 7; ++r) {
    EXPECT_EQ(grid.CellTextAlign(r, 0), 2);
    EXPECT_EQ(grid.CellTextAlign(r, 1), 2);
    EXPECT_EQ(grid.CellTextAlign(r, 2), 0);
    EXPECT_EQ(grid.RowHeight(r), 28);
  }
  // Columns the string does not reach keep what they had.
  EXPECT_EQ(grid.ColWidth(3), 53);
  EXPECT_EQ(grid.CellValue(0, 3), QString());
  // Every cell of a declared column has the width; the layout follows it.
  EXPECT_EQ(grid.Width(), 36 + 68 + 84 + 12 * 53);
  EXPECT_EQ(grid.ColTextLen(1), 8);
}

TEST_F(GridModel, FormatStringMarksAndEscapes) {
  struct Case {
    const char* format;
    std::vector<QString> headers;  // columns 0.. that the string declares
    std::vector<int> aligns;
  };
  const std::vector<Case> cases = {
      {"a\\|b", {"a|b"}, {0}},
      {"x\\", {"x"}, {0}},
      {"<^x", {"x"}, {2}},
      {"ab>cd", {"abcd"}, {3}},
      {"\\<\\^\\>\\\\", {"<^>\\"}, {0}},
      {"\\\\|>", {"\\", ""}, {0, 3}},
      {"<a|^b|>c|d", {"a", "b", "c", "d"}, {1, 2, 3, 0}},
      {"^|", {"", ""}, {2, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    SetUpGrid(6, 2);
    grid.SetFormatString(QString::fromUtf8(c.format));
    for (std::size_t i = 0; i < c.headers.size(); ++i) {
      const auto col = static_cast<std::int16_t>(i);
      EXPECT_EQ(grid.CellValue(0, col), c.headers[i]);
      EXPECT_EQ(grid.CellTextAlign(1, col), c.aligns[i]);
      EXPECT_EQ(grid.ColWidth(col), static_cast<int>(c.headers[i].size()) * kChar + 4);
    }
    const auto next = static_cast<std::int16_t>(c.headers.size());
    EXPECT_EQ(grid.ColWidth(next), 800 / 6);  // untouched
  }
}

TEST_F(GridModel, FormatStringIgnoresColumnsBeyondTheTable) {
  SetUpGrid(2, 2);
  grid.SetFormatString(QStringLiteral("a|b|c|d|e"));
  EXPECT_EQ(grid.CellValue(0, 0), QStringLiteral("a"));
  EXPECT_EQ(grid.CellValue(0, 1), QStringLiteral("b"));
  EXPECT_EQ(grid.Width(), 2 * (kChar + 4));
  EXPECT_EQ(grid.LastErrText(), QString());
}

TEST_F(GridModel, FormatStringCountsFullWidthAsTwoAndHalfWidthKanaAsOne) {
  SetUpGrid(4, 2);
  // Ideographic blank and full-width digits are double-byte; half-width kana single-byte.
  grid.SetFormatString(QStringLiteral("成　　　　績|ｱｲｳ|２連率|勝 率"));
  EXPECT_EQ(grid.ColWidth(0), 12 * kChar + 4);
  EXPECT_EQ(grid.ColWidth(1), 3 * kChar + 4);
  EXPECT_EQ(grid.ColWidth(2), 6 * kChar + 4);
  EXPECT_EQ(grid.ColWidth(3), 5 * kChar + 4);
}

TEST_F(GridModel, FormatStringWritesRowZeroWhateverTheHeaders) {
  SetUpGrid(3, 3, false, false);
  grid.SetFormatString(QStringLiteral("h0|h1"));
  EXPECT_EQ(grid.CellValue(0, 0), QStringLiteral("h0"));
  EXPECT_EQ(grid.CellValue(1, 0), QString());
}

// ---- sizes in characters, lines and pixels ----

TEST_F(GridModel, TextLenAndTextLineUseTheAverageCharacterAndTheMargins) {
  SetUpGrid(4, 4);
  grid.SetColTextLen(2, 5);
  EXPECT_EQ(grid.ColWidth(2), 5 * kChar + 4);
  EXPECT_EQ(grid.ColTextLen(2), 5);
  grid.SetAllTextLine(1);
  for (std::int16_t r = 0; r < 4; ++r) EXPECT_EQ(grid.RowHeight(r), kLine + 4);
  grid.SetRowTextLine(0, 2);
  EXPECT_EQ(grid.RowHeight(0), 2 * kLine + 4);
  EXPECT_EQ(grid.RowTextLine(0), 2);
  EXPECT_EQ(grid.Height(), 2 * kLine + 4 + 3 * (kLine + 4));
  grid.SetAllTextLen(3);
  EXPECT_EQ(grid.Width(), 4 * (3 * kChar + 4));

  // A wider margin widens what is set afterwards.
  grid.SetTextOffsetX(5);
  grid.SetColTextLen(0, 2);
  EXPECT_EQ(grid.ColWidth(0), 2 * kChar + 10);
  EXPECT_EQ(grid.ColTextLen(0), 2);
}

TEST_F(GridModel, ReadingTextLenAndTextLineTruncates) {
  SetUpGrid(2, 2);
  grid.SetColWidth(0, 4 + 8 * 7 + 5);  // 7 characters and 5 pixels over
  EXPECT_EQ(grid.ColTextLen(0), 7);
  grid.SetRowHeight(1, 4 + 16 * 3 - 1);  // one pixel short of 3 lines
  EXPECT_EQ(grid.RowTextLine(1), 2);
  grid.SetColWidth(1, 3);  // narrower than its margins
  EXPECT_EQ(grid.ColTextLen(1), 0);
}

TEST_F(GridModel, TextOffsetsAreAtLeastOne) {
  SetUpGrid(2, 2);
  grid.SetTextOffsetX(0);
  EXPECT_EQ(grid.TextOffsetX(), 1);
  grid.SetTextOffsetX(-7);
  EXPECT_EQ(grid.TextOffsetX(), 1);
  grid.SetTextOffsetY(0);
  EXPECT_EQ(grid.TextOffsetY(), 1);
  grid.SetTextOffsetY(6);
  EXPECT_EQ(grid.TextOffsetY(), 6);
  // The offset setters do not lay out again.
  EXPECT_EQ(grid.ColWidth(0), 400);
}

TEST_F(GridModel, OffsetsSurviveInit) {
  grid.SetTextOffsetX(4);
  SetUpGrid(2, 2);
  EXPECT_EQ(grid.TextOffsetX(), 4);
}

// Within a row each cell starts where the one to its left ends, within a column where the one
// above ends, and the extent is the sum of row 0 and column 0, whatever the setters did.
TEST_F(GridModel, LayoutInvariantHoldsAfterAnySequenceOfSizeSetters) {
  std::mt19937 rng(20240601);
  for (int round = 0; round < 40; ++round) {
    SetUpGrid(1 + static_cast<int>(rng() % 12), 1 + static_cast<int>(rng() % 9));
    grid.SetRefreshFlg(rng() % 2 == 0);
    for (int step = 0; step < 25; ++step) {
      const auto col = static_cast<std::int16_t>(rng() % grid.Cols());
      const auto row = static_cast<std::int16_t>(rng() % grid.Rows());
      const auto n = static_cast<std::int16_t>(rng() % 7);
      switch (rng() % 8) {
        case 0:
          grid.SetColWidth(col, static_cast<std::int32_t>(rng() % 90));
          break;
        case 1:
          grid.SetRowHeight(row, static_cast<std::int32_t>(rng() % 50));
          break;
        case 2:
          grid.SetColTextLen(col, n);
          break;
        case 3:
          grid.SetRowTextLine(row, n);
          break;
        case 4:
          grid.SetAllWidth(static_cast<std::int32_t>(rng() % 40));
          break;
        case 5:
          grid.SetAllTextLine(n);
          break;
        case 6:
          grid.SetFormatString(QStringLiteral("^ab|cde|\\|f|ghij").left(static_cast<int>(rng() % 17)));
          break;
        default:
          grid.SetAllTextLen(n);
          break;
      }
    }
    long long width = 0;
    long long height = 0;
    for (std::int16_t c = 0; c < grid.Cols(); ++c) width += grid.ColWidth(c);
    for (std::int16_t r = 0; r < grid.Rows(); ++r) height += grid.RowHeight(r);
    EXPECT_EQ(grid.Width(), width);
    EXPECT_EQ(grid.Height(), height);
    // The cell geometry itself shows in the hit tests: each column starts where the last ended.
    long long left = 0;
    for (std::int16_t c = 0; c < grid.Cols(); ++c) {
      const int w = grid.ColWidth(c);
      if (w >= 2) {
        EXPECT_EQ(grid.ClickCol(static_cast<float>(left + 1)), c);
        EXPECT_EQ(grid.ClickCol(static_cast<float>(left + w - 1)), c);
      }
      left += w;
    }
  }
}

TEST_F(GridModel, AGridTooWideForItsCoordinatesIsRefusedAndKeptAsItWas) {
  SetUpGrid(3, 2);
  grid.SetColWidth(0, 2'000'000'000);
  EXPECT_RUNTIME_ERROR(grid.SetColWidth(1, 2'000'000'000), ErrNo::Overflow);
  EXPECT_EQ(grid.ColWidth(1), 266);
  EXPECT_EQ(grid.Width(), 2'000'000'000 + 266 + 266);
}

// ---- table size ----

TEST_F(GridModel, ColsRecreatesTheTableEmptyAndRowsKeepsTheRowsThatRemain) {
  SetUpGrid(3, 3);
  grid.SetCellValue(1, 1, QStringLiteral("keep?"));
  grid.SetCellBackColor(1, 1, 0x00FF00);
  grid.SetRows(5);
  EXPECT_EQ(grid.Rows(), 5);
  EXPECT_EQ(grid.CellValue(1, 1), QStringLiteral("keep?"));
  EXPECT_EQ(grid.CellBackColor(1, 1), 0x00FF00u);
  EXPECT_EQ(grid.CellValue(4, 2), QString());
  EXPECT_EQ(grid.RowHeight(4), 0);
  EXPECT_EQ(grid.CellBackColor(4, 2), 0u);
  grid.SetRows(2);
  EXPECT_EQ(grid.CellValue(1, 1), QStringLiteral("keep?"));
  ExpectSubscript([&] { (void)grid.CellValue(2, 0); });

  grid.SetCols(4);
  EXPECT_EQ(grid.Cols(), 4);
  EXPECT_EQ(grid.CellValue(1, 1), QString());
  EXPECT_EQ(grid.CellBackColor(1, 1), 0u);
  EXPECT_EQ(grid.ColWidth(0), 0);

  grid.SetCols(0);
  EXPECT_EQ(grid.Cols(), 1);
  grid.SetRows(1000);
  EXPECT_EQ(grid.Rows(), 256);
  // Both repaint, even the cells without size.
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Cls")));
}

// ---- values and formats ----

TEST_F(GridModel, CellTextFormatsAndClickValueDoesNot) {
  SetUpGrid(2, 2);
  grid.SetAllTextLine(1);
  grid.SetCellValue(1, 1, QStringLiteral("3.5"));
  EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("3.5"));
  grid.SetCellFormat(1, 1, QStringLiteral("0.00"));
  EXPECT_EQ(grid.CellFormat(1, 1), QStringLiteral("0.00"));
  EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("3.50"));
  EXPECT_EQ(grid.CellValue(1, 1), QStringLiteral("3.5"));
  EXPECT_EQ(grid.ClickValue(410, 30), QStringLiteral("3.5"));
  // A number of any size is shown in full.
  grid.SetCellValue(1, 1, QStringLiteral("1e64"));
  EXPECT_EQ(grid.CellText(1, 1), u'1' + QString(64, u'0') + QStringLiteral(".00"));
  // A value that is no number is shown as it is.
  grid.SetCellValue(1, 1, QStringLiteral("A1"));
  EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("A1"));
  grid.SetColFormat(0, QStringLiteral("@@@@"));
  grid.SetCellValue(1, 0, QStringLiteral("7"));
  EXPECT_EQ(grid.CellText(1, 0), QStringLiteral("   7"));
}

TEST_F(GridModel, ColumnRowAndTableSettersTouchTheirCellsOnly) {
  SetUpGrid(3, 3);
  grid.SetColForeColor(1, 0x0000FF);
  grid.SetRowBackColor(2, 0x00FF00);
  grid.SetRowFormat(0, QStringLiteral("0.00"));
  grid.SetColTextAlign(2, 3);
  EXPECT_EQ(grid.CellForeColor(0, 1), 0x0000FFu);
  EXPECT_EQ(grid.CellForeColor(2, 1), 0x0000FFu);
  EXPECT_EQ(grid.CellForeColor(2, 0), 0u);
  EXPECT_EQ(grid.CellBackColor(2, 0), 0x00FF00u);
  EXPECT_EQ(grid.CellBackColor(1, 0), 0xFFFFFFu);
  EXPECT_EQ(grid.CellFormat(0, 2), QStringLiteral("0.00"));
  EXPECT_EQ(grid.CellFormat(1, 2), QString());
  EXPECT_EQ(grid.CellTextAlign(1, 2), 3);
  EXPECT_EQ(grid.CellTextAlign(1, 1), 0);
  grid.SetRowTextAlign(1, 2);
  EXPECT_EQ(grid.CellTextAlign(1, 2), 2);
  EXPECT_EQ(grid.CellTextAlign(0, 2), 3);
  grid.SetAllForeColor(0x111111);
  grid.SetAllBackColor(0x222222);
  grid.SetAllFormat(QStringLiteral("00"));
  grid.SetAllTextAlign(1);
  for (std::int16_t r = 0; r < 3; ++r) {
    for (std::int16_t c = 0; c < 3; ++c) {
      EXPECT_EQ(grid.CellForeColor(r, c), 0x111111u);
      EXPECT_EQ(grid.CellBackColor(r, c), 0x222222u);
      EXPECT_EQ(grid.CellFormat(r, c), QStringLiteral("00"));
      EXPECT_EQ(grid.CellTextAlign(r, c), 1);
    }
  }
}

TEST_F(GridModel, ClearGridEmptiesValuesAndKeepsEverythingElse) {
  SetUpGrid(3, 3);
  for (std::int16_t r = 0; r < 3; ++r) {
    for (std::int16_t c = 0; c < 3; ++c) grid.SetCellValue(r, c, QStringLiteral("v%1%2").arg(r).arg(c));
  }
  grid.SetCellBackColor(2, 1, 0x0000FF);
  grid.SetCellForeColor(2, 1, 0x00FF00);
  grid.SetCellFormat(2, 1, QStringLiteral("0.00"));
  grid.SetColWidth(1, 77);
  grid.SetCellTextAlign(2, 1, 3);

  grid.ClearGrid(1, 2);  // (column, row)
  EXPECT_EQ(grid.CellValue(2, 1), QString());
  EXPECT_EQ(grid.CellValue(1, 2), QStringLiteral("v12"));

  grid.ClearGrid(-1, 0);
  for (std::int16_t r = 0; r < 3; ++r) {
    for (std::int16_t c = 0; c < 3; ++c) EXPECT_EQ(grid.CellValue(r, c), QString());
  }
  EXPECT_EQ(grid.CellBackColor(2, 1), 0x0000FFu);
  EXPECT_EQ(grid.CellForeColor(2, 1), 0x00FF00u);
  EXPECT_EQ(grid.CellFormat(2, 1), QStringLiteral("0.00"));
  EXPECT_EQ(grid.CellTextAlign(2, 1), 3);
  EXPECT_EQ(grid.ColWidth(1), 77);
}

TEST_F(GridModel, IndexesOutsideTheTableChangeNothing) {
  SetUpGrid(15, 7);
  grid.SetCellValue(6, 14, QStringLiteral("last"));
  grid.SetRefreshFlg(true);
  surface.clearLog();
  const int width = grid.Width();
  const int height = grid.Height();

  ExpectSubscript([&] { grid.SetCellValue(7, 0, QStringLiteral("x")); });
  ExpectSubscript([&] { grid.SetCellValue(0, 15, QStringLiteral("x")); });
  ExpectSubscript([&] { grid.SetCellValue(-1, 0, QStringLiteral("x")); });
  ExpectSubscript([&] { (void)grid.CellValue(0, -1); });
  ExpectSubscript([&] { (void)grid.CellText(7, 7); });
  ExpectSubscript([&] { grid.SetCellFormat(0, 15, QStringLiteral("0.00")); });
  ExpectSubscript([&] { grid.SetCellTextAlign(0, 15, 2); });
  ExpectSubscript([&] { grid.SetCellForeColor(7, 0, 1); });
  ExpectSubscript([&] { grid.SetCellBackColor(7, 0, 1); });
  ExpectSubscript([&] { grid.SetColWidth(15, 10); });
  ExpectSubscript([&] { grid.SetColTextLen(-1, 3); });
  ExpectSubscript([&] { (void)grid.ColTextLen(15); });
  ExpectSubscript([&] { grid.SetRowHeight(7, 10); });
  ExpectSubscript([&] { grid.SetRowTextLine(7, 2); });
  ExpectSubscript([&] { (void)grid.RowTextLine(-3); });
  ExpectSubscript([&] { (void)grid.ColWidth(15); });
  ExpectSubscript([&] { (void)grid.RowHeight(7); });
  ExpectSubscript([&] { grid.SetColTextAlign(15, 1); });
  ExpectSubscript([&] { grid.SetRowTextAlign(7, 1); });
  ExpectSubscript([&] { grid.SetColForeColor(15, 1); });
  ExpectSubscript([&] { grid.SetRowForeColor(7, 1); });
  ExpectSubscript([&] { grid.SetColBackColor(15, 1); });
  ExpectSubscript([&] { grid.SetRowBackColor(7, 1); });
  ExpectSubscript([&] { grid.SetColFormat(15, QStringLiteral("0")); });
  ExpectSubscript([&] { grid.SetRowFormat(7, QStringLiteral("0")); });
  ExpectSubscript([&] { grid.ClearGrid(0, 7); });
  ExpectSubscript([&] { grid.ClearGrid(15, 0); });

  EXPECT_TRUE(surface.log().isEmpty()) << surface.log().join(u'\n').toStdString();
  EXPECT_EQ(grid.CellValue(6, 14), QStringLiteral("last"));
  EXPECT_EQ(grid.Width(), width);
  EXPECT_EQ(grid.Height(), height);
  // Accessors report to their caller; only the catching routines write LastErrText.
  EXPECT_EQ(grid.LastErrText(), QString());
}

}  // namespace
