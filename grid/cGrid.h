#pragma once

// An owner-drawn table painted on a picture surface that belongs to someone else. It keeps a
// rectangular table of cells, each with its own text, format, alignment, colours and pixel
// geometry, paints them through IDrawSurface and answers which cell lies under a point. It knows
// nothing of what the cells mean.
//
// Cells are addressed by 0-based (row, column), except ClearGrid, which takes (column, row). An
// index outside the table throws the subscript RuntimeError and changes nothing. The routines
// that draw directly or answer the pointer (Init, AutoReSize, MouseMove, ClickValue, ClickCol,
// ClickRow, painting, the character metrics) never throw: they keep the description of what went
// wrong in LastErrText.

#include "platform/DrawSurface.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace tidewake {

// Alignment codes of a cell's text.
namespace GridAlign {
inline constexpr std::int16_t Auto = 0;  // text that reads as a number to the right, other text to the left
inline constexpr std::int16_t Left = 1;
inline constexpr std::int16_t Center = 2;
inline constexpr std::int16_t Right = 3;
}  // namespace GridAlign

struct GridCell {
  QString Value;
  // Top-left corner relative to the grid's Left/Top, and size, in surface pixels.
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  QString Format;  // empty: the value is shown as it is
  std::int16_t TextAlign = GridAlign::Auto;
  Colour ForeColor = 0;
  Colour BackColor = 0;
};

class cGrid {
 public:
  cGrid() = default;
  // The surface is not owned: it must outlive the grid or be rebound by Init.
  ~cGrid() = default;
  cGrid(const cGrid&) = delete;
  cGrid& operator=(const cGrid&) = delete;

  // The pointer frame: a red outline around the cell under the point; (-1, -1) removes it.
  void MouseMove(float sngX, float sngY);
  // The stored value (not the formatted text) of the cell under the point, "" when none.
  QString ClickValue(float sngX, float sngY);
  // Column or row under the coordinate, -1 when none. Borders belong to no cell.
  std::int16_t ClickCol(float sngX);
  std::int16_t ClickRow(float sngY);
  void Move(std::int32_t lngLeft, std::int32_t lngTop);
  void MoveCenter();
  // Paints everything now, even while RefreshFlg is False; with True, RefreshFlg stays True.
  void Refresh(bool blnRefreshFlgTrue);
  // A negative column empties every value; otherwise only cell (intRow, intCol). Then paints all.
  void ClearGrid(std::int16_t intCol, std::int16_t intRow);
  void AutoReSize();
  void Reset();
  // Binds the surface, sets it up and creates Cols x Rows cells sharing the surface evenly. The
  // sizes are clamped to 1..256; the reference form hands the clamped sizes back.
  bool Init(IDrawSurface* objPicture, std::int16_t& intCols, std::int16_t& intRows, bool blnHeaderCol,
            bool blnHeaderRow);
  bool Init(IDrawSurface* objPicture, int intCols, int intRows, bool blnHeaderCol, bool blnHeaderRow);
  // Column headers, alignments and widths in one string: "|" between columns, "<" "^" ">" for
  // left, centre, right, "\" before a character taken literally.
  void SetFormatString(const QString& strFormat);

  std::int16_t Cols() const { return Cols_; }
  void SetCols(std::int16_t intCols);
  std::int16_t Rows() const { return Rows_; }
  void SetRows(std::int16_t intRows);
  std::int16_t DataCols() const;
  std::int16_t DataRows() const;
  std::int16_t MinCol() const { return 0; }
  std::int16_t MaxCol() const { return static_cast<std::int16_t>(Cols_ - 1); }
  std::int16_t MinRow() const { return 0; }
  std::int16_t MaxRow() const { return static_cast<std::int16_t>(Rows_ - 1); }

  std::int32_t TextOffsetX() const { return TextOffsetX_; }
  void SetTextOffsetX(std::int32_t lngOffset);
  std::int32_t TextOffsetY() const { return TextOffsetY_; }
  void SetTextOffsetY(std::int32_t lngOffset);

  bool HeaderCol() const { return HeaderCol_; }
  void SetHeaderCol(bool blnOn);
  bool HeaderRow() const { return HeaderRow_; }
  void SetHeaderRow(bool blnOn);
  Colour HeaderBackColor() const { return HeaderBackColor_; }
  void SetHeaderBackColor(Colour lngColor);
  bool GridLine() const { return GridLine_; }
  void SetGridLine(bool blnOn);
  Colour GridLineColor() const { return GridLineColor_; }
  void SetGridLineColor(Colour lngColor);

  QString CellValue(std::int16_t intRow, std::int16_t intCol) const;
  void SetCellValue(std::int16_t intRow, std::int16_t intCol, const QString& strValue);
  // The display text: the value through the cell's format when it has one.
  QString CellText(std::int16_t intRow, std::int16_t intCol) const;
  QString CellFormat(std::int16_t intRow, std::int16_t intCol) const;
  void SetCellFormat(std::int16_t intRow, std::int16_t intCol, const QString& strFormat);
  std::int16_t CellTextAlign(std::int16_t intRow, std::int16_t intCol) const;
  void SetCellTextAlign(std::int16_t intRow, std::int16_t intCol, std::int16_t intAlign);
  Colour CellForeColor(std::int16_t intRow, std::int16_t intCol) const;
  void SetCellForeColor(std::int16_t intRow, std::int16_t intCol, Colour lngColor);
  Colour CellBackColor(std::int16_t intRow, std::int16_t intCol) const;
  void SetCellBackColor(std::int16_t intRow, std::int16_t intCol, Colour lngColor);

  // Widths in characters of the average width, heights in text lines.
  std::int16_t ColTextLen(std::int16_t intCol) const;
  void SetColTextLen(std::int16_t intCol, std::int16_t intLen);
  void SetAllTextLen(std::int16_t intLen);
  std::int16_t RowTextLine(std::int16_t intRow) const;
  void SetRowTextLine(std::int16_t intRow, std::int16_t intLines);
  void SetAllTextLine(std::int16_t intLines);

  std::int32_t ColWidth(std::int16_t intCol) const;
  void SetColWidth(std::int16_t intCol, std::int32_t lngWidth);
  void SetAllWidth(std::int32_t lngWidth);
  std::int32_t RowHeight(std::int16_t intRow) const;
  void SetRowHeight(std::int16_t intRow, std::int32_t lngHeight);
  void SetAllHeight(std::int32_t lngHeight);

  void SetColTextAlign(std::int16_t intCol, std::int16_t intAlign);
  void SetRowTextAlign(std::int16_t intRow, std::int16_t intAlign);
  void SetAllTextAlign(std::int16_t intAlign);
  void SetColForeColor(std::int16_t intCol, Colour lngColor);
  void SetRowForeColor(std::int16_t intRow, Colour lngColor);
  void SetAllForeColor(Colour lngColor);
  void SetColBackColor(std::int16_t intCol, Colour lngColor);
  void SetRowBackColor(std::int16_t intRow, Colour lngColor);
  void SetAllBackColor(Colour lngColor);
  void SetColFormat(std::int16_t intCol, const QString& strFormat);
  void SetRowFormat(std::int16_t intRow, const QString& strFormat);
  void SetAllFormat(const QString& strFormat);

  std::int32_t Left() const { return Left_; }
  void SetLeft(std::int32_t lngLeft);
  std::int32_t Top() const { return Top_; }
  void SetTop(std::int32_t lngTop);
  std::int32_t Width() const { return Width_; }
  std::int32_t Height() const { return Height_; }

  bool RefreshFlg() const { return RefreshFlg_; }
  void SetRefreshFlg(bool blnOn) { RefreshFlg_ = blnOn; }

  std::int16_t CursorCol() const { return CursorCol_; }
  std::int16_t CursorRow() const { return CursorRow_; }

  std::intptr_t hWnd() const;
  std::intptr_t hDc() const;

  const QString& LastErrText() const { return LastErrText_; }

 private:
  using Table = std::vector<std::vector<GridCell>>;

  void CellsInit();
  void CellPositionCalc();
  std::int32_t AverageCharWidth();
  std::int32_t AverageCharHeight();

  void DrawCells(int intCol, int intRow);
  void DrawCell(int intRow, int intCol);
  void DrawCellText(const GridCell& cell);
  QStringList TextLinesGet(const GridCell& cell) const;
  double TextPosX(double X, double Width, const QString& strLine, std::int16_t intAlign) const;
  double TextPosY(double Y, double Height, qsizetype lineCount) const;
  static QString FormatText(const QString& strValue, const QString& strFormat);

  Colour PaintedBackColor(int intRow, int intCol) const;
  void OutlineFrame(int intRow, int intCol, int inset, Colour lngColor);

  int TableRows() const { return static_cast<int>(cells_.size()); }
  int TableCols() const { return cells_.empty() ? 0 : static_cast<int>(cells_.front().size()); }
  void CheckRow(std::int16_t intRow) const;
  void CheckCol(std::int16_t intCol) const;
  void CheckCell(std::int16_t intRow, std::int16_t intCol) const;
  IDrawSurface& Surface() const;
  // Runs a change of cell sizes and the layout that follows it; when the layout fails (a grid
  // wider than the coordinates can hold) the cells are put back as they were.
  template <typename Change>
  void ResizeCells(Change change);
  std::int32_t TextLenWidth(std::int16_t intLen);
  std::int32_t TextLineHeight(std::int16_t intLines);

  IDrawSurface* objPicture_ = nullptr;
  std::int32_t Left_ = 0;
  std::int32_t Top_ = 0;
  std::int32_t Width_ = 0;
  std::int32_t Height_ = 0;
  std::int16_t Cols_ = 4;
  std::int16_t Rows_ = 4;
  std::int32_t TextOffsetX_ = 2;
  std::int32_t TextOffsetY_ = 2;
  bool HeaderCol_ = true;
  bool HeaderRow_ = true;
  Colour HeaderBackColor_ = 0xE0E0E0;
  bool GridLine_ = true;
  Colour GridLineColor_ = kButtonShadow;
  bool RefreshFlg_ = true;
  std::int16_t CursorCol_ = 0;
  std::int16_t CursorRow_ = 0;
  Colour CursorColor_ = 0x0000FF;
  Table cells_;  // [row][column]
  QString LastErrText_;
};

}  // namespace tidewake
