// Hit tests, the pointer frame and the placement of the grid on its surface.

#include "grid/cGrid.h"
#include "platform/RuntimeError.h"
#include "tests/common/TestDoubles.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace tidewake;
using tidewake::test::FixedMetricsSurface;

namespace {

// Four columns 30, 40, 50, 60 wide and three rows 20, 24, 28 high, at (10, 5) on the surface:
//   columns  10..40  40..80  80..130  130..190
//   rows      5..25  25..49  49..77
class GridPointer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(grid.Init(&surface, 4, 3, true, false));
    const int widths[] = {30, 40, 50, 60};
    const int heights[] = {20, 24, 28};
    for (std::int16_t c = 0; c < 4; ++c) grid.SetColWidth(c, widths[c]);
    for (std::int16_t r = 0; r < 3; ++r) grid.SetRowHeight(r, heights[r]);
    grid.Move(10, 5);
    surface.clearLog();
  }

  QStringList Boxes() const {
    QStringList out;
    for (const QString& l : surface.log()) {
      if (l.startsWith(QStringLiteral("Box("))) out << l;
    }
    return out;
  }

  FixedMetricsSurface surface{800, 200, 8, 16};
  cGrid grid;
};

TEST_F(GridPointer, ClickColAtTheEdgesOfEveryColumn) {
  const struct {
    float x;
    int col;
  } table[] = {
      {-1, -1},   {0, -1},   {9, -1},     {10, -1}, {10.5f, 0}, {11, 0},   {39, 0},
      {39.9f, 0}, {40, -1},  {40.25f, 1}, {41, 1},  {79, 1},    {80, -1},  {81, 2},
      {129, 2},   {130, -1}, {131, 3},    {189, 3}, {190, -1},  {191, -1}, {5000, -1},
  };
  for (const auto& row : table) {
    EXPECT_EQ(grid.ClickCol(row.x), row.col) << "x = " << row.x;
  }
}

TEST_F(GridPointer, ClickRowAtTheEdgesOfEveryRow) {
  const struct {
    float y;
    int row;
  } table[] = {
      {-3, -1}, {4, -1},  {5, -1}, {5.5f, 0}, {6, 0},     {24, 0},  {25, -1}, {26, 1},
      {48, 1},  {49, -1}, {50, 2}, {76, 2},   {76.9f, 2}, {77, -1}, {78, -1}, {200, -1},
  };
  for (const auto& row : table) {
    EXPECT_EQ(grid.ClickRow(row.y), row.row) << "y = " << row.y;
  }
}

TEST_F(GridPointer, AtTheOriginTheOuterEdgeBelongsToNoCell) {
  grid.Move(0, 0);
  EXPECT_EQ(grid.ClickCol(0), -1);
  EXPECT_EQ(grid.ClickRow(0), -1);
  EXPECT_EQ(grid.ClickCol(1), 0);
  EXPECT_EQ(grid.ClickRow(1), 0);
  EXPECT_EQ(grid.ClickCol(180), -1);
  EXPECT_EQ(grid.ClickRow(72), -1);
}

TEST_F(GridPointer, ClickValueNeedsBothAColumnAndARow) {
  grid.SetCellValue(1, 2, QStringLiteral("v"));
  grid.SetCellFormat(1, 2, QStringLiteral("@@@"));
  EXPECT_EQ(grid.ClickValue(81, 26), QStringLiteral("v"));
  EXPECT_EQ(grid.ClickValue(129, 48), QStringLiteral("v"));
  EXPECT_EQ(grid.ClickValue(80, 26), QString());
  EXPECT_EQ(grid.ClickValue(81, 25), QString());
  EXPECT_EQ(grid.ClickValue(-1, -1), QString());
  EXPECT_EQ(grid.LastErrText(), QString());
}

// Every cell's painted rectangle, its hit area and its pointer frame are the same rectangle.
TEST_F(GridPointer, PaintingHitTestsAndTheFrameShareTheShiftedRectangles) {
  grid.Refresh(false);
  static const QRegularExpression fill(QStringLiteral(R"(^Fill\((-?\d+),(-?\d+)\)-\((-?\d+),(-?\d+)\))"));
  std::vector<std::array<int, 4>> rects;
  for (const QString& l : surface.log()) {
    const auto m = fill.match(l);
    if (m.hasMatch())
      rects.push_back({m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()});
  }
  ASSERT_EQ(rects.size(), 12u);
  std::size_t i = 0;
  for (std::int16_t c = 0; c < 4; ++c) {
    for (std::int16_t r = 0; r < 3; ++r, ++i) {
      const auto [x1, y1, x2, y2] = rects[i];
      SCOPED_TRACE(testing::Message() << "cell " << r << "," << c);
      EXPECT_EQ(grid.ClickCol(static_cast<float>(x1 + 1)), c);
      EXPECT_EQ(grid.ClickCol(static_cast<float>(x2 - 1)), c);
      EXPECT_EQ(grid.ClickCol(static_cast<float>(x1)), -1);
      EXPECT_EQ(grid.ClickCol(static_cast<float>(x2)), -1);
      EXPECT_EQ(grid.ClickRow(static_cast<float>(y1 + 1)), r);
      EXPECT_EQ(grid.ClickRow(static_cast<float>(y2 - 1)), r);
      EXPECT_EQ(grid.ClickRow(static_cast<float>(y1)), -1);
      EXPECT_EQ(grid.ClickRow(static_cast<float>(y2)), -1);
      surface.clearLog();
      grid.MouseMove(static_cast<float>(x2 - 1), static_cast<float>(y2 - 1));
      EXPECT_EQ(Boxes().last(), QStringLiteral("Box(%1,%2)-(%3,%4) #0000FF").arg(x1).arg(y1).arg(x2).arg(y2));
    }
  }
}

TEST_F(GridPointer, TheFrameIsErasedAndDrawnAgainAsThePointerMoves) {
  // After Init the frame cell is (0, 0) although no frame is drawn: the first move outlines it in
  // the grid-line colour before the new frame.
  EXPECT_EQ(grid.CursorCol(), 0);
  EXPECT_EQ(grid.CursorRow(), 0);
  grid.MouseMove(81, 26);
  EXPECT_EQ(surface.log(), (QStringList{QStringLiteral("Box(10,5)-(40,25) #80000010"),
                                        QStringLiteral("Box(80,25)-(130,49) #0000FF")}));
  EXPECT_EQ(grid.CursorCol(), 2);
  EXPECT_EQ(grid.CursorRow(), 1);

  // Within the same cell the frame is drawn again over itself.
  surface.clearLog();
  grid.MouseMove(100, 40);
  EXPECT_EQ(surface.log(), (QStringList{QStringLiteral("Box(80,25)-(130,49) #80000010"),
                                        QStringLiteral("Box(80,25)-(130,49) #0000FF")}));

  surface.clearLog();
  grid.MouseMove(-1, -1);
  EXPECT_EQ(surface.log(), QStringList{QStringLiteral("Box(80,25)-(130,49) #80000010")});
  EXPECT_EQ(grid.CursorCol(), -1);
  EXPECT_EQ(grid.CursorRow(), -1);

  surface.clearLog();
  grid.MouseMove(-1, -1);
  EXPECT_TRUE(surface.log().isEmpty());

  grid.MouseMove(131, 50);
  EXPECT_EQ(surface.log(), QStringList{QStringLiteral("Box(130,49)-(190,77) #0000FF")});

  // On a border only one index is found: the old frame goes, no new one comes.
  surface.clearLog();
  grid.MouseMove(130, 60);
  EXPECT_EQ(surface.log(), QStringList{QStringLiteral("Box(130,49)-(190,77) #80000010")});
  EXPECT_EQ(grid.CursorCol(), -1);
  EXPECT_EQ(grid.CursorRow(), 2);
  surface.clearLog();
  grid.MouseMove(11, 6);
  EXPECT_EQ(surface.log(), QStringList{QStringLiteral("Box(10,5)-(40,25) #0000FF")});
  EXPECT_EQ(grid.LastErrText(), QString());
}

TEST_F(GridPointer, TheFrameIsDrawnWhateverRefreshFlgSaysAndARepaintCoversIt) {
  grid.SetRefreshFlg(false);
  grid.MouseMove(81, 26);
  EXPECT_EQ(Boxes().last(), QStringLiteral("Box(80,25)-(130,49) #0000FF"));
  EXPECT_FALSE(surface.log().contains(QStringLiteral("Hide")));
  grid.Refresh(false);
  // The repaint outlines the cell in the grid-line colour; the grid still names the frame cell.
  EXPECT_EQ(Boxes().last(), QStringLiteral("Box(130,49)-(190,77) #80000010"));
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Box(80,25)-(130,49) #80000010")));
  EXPECT_EQ(grid.CursorCol(), 2);
  EXPECT_EQ(grid.CursorRow(), 1);
}

TEST_F(GridPointer, WithoutGridLinesTheFrameIsOnePixelNarrowerAndErasedInTheBackground) {
  grid.SetGridLine(false);
  grid.SetCellBackColor(1, 2, 0x00FFFF);
  surface.clearLog();
  grid.MouseMove(81, 26);
  // Cell (0, 0) is a header cell (row 0): its background is the header colour.
  EXPECT_EQ(surface.log(),
            (QStringList{QStringLiteral("Box(10,5)-(39,25) #E0E0E0"), QStringLiteral("Box(80,25)-(129,49) #0000FF")}));
  surface.clearLog();
  grid.MouseMove(-1, -1);
  EXPECT_EQ(surface.log(), QStringList{QStringLiteral("Box(80,25)-(129,49) #00FFFF")});
}

TEST_F(GridPointer, AFrameCellTheTableNoLongerHoldsIsForgottenNotFailedOn) {
  grid.MouseMove(131, 50);  // cell (2, 3)
  grid.SetRows(2);
  surface.clearLog();
  grid.MouseMove(11, 6);
  EXPECT_EQ(surface.log(), QStringList{QStringLiteral("Box(10,5)-(40,25) #0000FF")});
  EXPECT_EQ(grid.CursorCol(), 0);
  EXPECT_EQ(grid.CursorRow(), 0);
  EXPECT_EQ(grid.LastErrText(), QString());
}

TEST(GridPointerWide, RemovingTheFrameThenPointingAtTheLastColumn) {
  FixedMetricsSurface surface(800, 200, 8, 16);
  cGrid grid;
  ASSERT_TRUE(grid.Init(&surface, 15, 7, true, false));
  grid.SetAllWidth(40);
  grid.SetAllHeight(20);
  grid.MouseMove(-1, -1);
  EXPECT_EQ(grid.CursorCol(), -1);
  EXPECT_EQ(grid.CursorRow(), -1);
  surface.clearLog();
  grid.MouseMove(590, 50);
  EXPECT_EQ(surface.log(), QStringList{QStringLiteral("Box(560,40)-(600,60) #0000FF")});
  EXPECT_EQ(grid.CursorCol(), 14);
  EXPECT_EQ(grid.CursorRow(), 2);
  // A point on the border between columns 3 and 4 is in neither.
  EXPECT_EQ(grid.ClickCol(160), -1);
}

// ---- placement ----

TEST_F(GridPointer, MoveCenterCentresWithTruncatingHalves) {
  grid.MoveCenter();  // (800 - 180) \ 2, (200 - 72) \ 2
  EXPECT_EQ(grid.Left(), 310);
  EXPECT_EQ(grid.Top(), 64);
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Cls")));

  FixedMetricsSurface odd(801, 201, 8, 16);
  cGrid other;
  ASSERT_TRUE(other.Init(&odd, 1, 1, true, true));
  other.SetColWidth(0, 180);
  other.SetRowHeight(0, 72);
  other.MoveCenter();
  EXPECT_EQ(other.Left(), 310);  // 621 \ 2
  EXPECT_EQ(other.Top(), 64);    // 129 \ 2
  other.SetColWidth(0, 902);
  other.MoveCenter();
  EXPECT_EQ(other.Left(), -50);  // -101 \ 2 truncates towards zero
}

TEST_F(GridPointer, AutoReSizeFitsTheSurfaceOnePixelBeyondTheGrid) {
  grid.AutoReSize();
  ASSERT_FALSE(surface.log().isEmpty());
  EXPECT_EQ(surface.log().first(), QStringLiteral("SetSize(191,78)"));
  EXPECT_EQ(surface.Width(), 191);
  EXPECT_EQ(surface.Height(), 78);
  EXPECT_TRUE(surface.log().contains(QStringLiteral("Cls")));
  EXPECT_EQ(grid.LastErrText(), QString());
}

TEST(GridPlacement, WithoutASurfacePlacementFailsTheWayEachRoutineReportsIt) {
  cGrid grid;
  grid.AutoReSize();
  EXPECT_FALSE(grid.LastErrText().isEmpty());
  EXPECT_THROW(grid.MoveCenter(), RuntimeError);
  grid.MouseMove(3, 3);
  EXPECT_EQ(grid.CursorCol(), -1);
  EXPECT_EQ(grid.hWnd(), 0);
  EXPECT_EQ(grid.hDc(), 0);
}

}  // namespace
