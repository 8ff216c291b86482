#include "grid/cGrid.h"

#include "platform/Format.h"
#include "platform/Numeric.h"
#include "platform/RuntimeError.h"
#include "platform/SjisText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tidewake {
namespace {

// The classic number of "object variable not set": a grid used before it has a surface.
constexpr int kObjectNotSet = 91;

constexpr int kMinSize = 1;
constexpr int kMaxSize = 256;

// The picture-box settings the grid draws with.
constexpr int kPixelScale = 3;
constexpr int kCopyPen = 13;
constexpr int kSolid = 0;
const QString kGridFont = QStringLiteral("ＭＳ ゴシック");
constexpr float kGridFontPoints = 10;

int ClampSize(int n) { return std::clamp(n, kMinSize, kMaxSize); }

// Integer division the way the grid's arithmetic is written: both operands are first rounded to
// whole numbers (halves to even), then the quotient is truncated towards zero.
std::int32_t IDiv(double a, double b) {
  const std::int32_t den = RoundToLong(b);
  if (den == 0) throw RuntimeError(ErrNo::DivisionByZero, QStringLiteral("グリッドの計算で 0 による除算が起きました"));
  return RoundToLong(a) / den;
}

// A coordinate or size that must fit a 32-bit value; beyond it the grid cannot be laid out.
std::int32_t CheckedLong(long long v, const QString& what) {
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
    throw RuntimeError(ErrNo::Overflow, QStringLiteral("グリッドの%1が大きすぎます: %2").arg(what).arg(v));
  }
  return static_cast<std::int32_t>(v);
}

std::int16_t CheckedInteger(long long v, const QString& what) {
  if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max()) {
    throw RuntimeError(ErrNo::Overflow, QStringLiteral("グリッドの%1が大きすぎます: %2").arg(what).arg(v));
  }
  return static_cast<std::int16_t>(v);
}

QString Describe(const std::exception& e) {
  if (const auto* r = dynamic_cast<const RuntimeError*>(&e)) return r->description();
  return QString::fromLocal8Bit(e.what());
}

// Restores the surface's fore colour however the text drawing ends.
class ForeColorKeeper {
 public:
  explicit ForeColorKeeper(IDrawSurface& s) : surface_(s), saved_(s.ForeColor()) {}
  ~ForeColorKeeper() { surface_.SetForeColor(saved_); }
  ForeColorKeeper(const ForeColorKeeper&) = delete;
  ForeColorKeeper& operator=(const ForeColorKeeper&) = delete;

 private:
  IDrawSurface& surface_;
  Colour saved_;
};

}  // namespace

// ---- pointer and hit testing ----

void cGrid::MouseMove(float sngX, float sngY) {
  try {
    const std::int16_t c = ClickCol(sngX);
    const std::int16_t r = ClickRow(sngY);
    const int inset = GridLine_ ? 0 : 1;
    // A frame cell that the table no longer holds (the table was made smaller under it) has no
    // frame left to erase; trying would fail here for ever and the frame could never move again.
    if (CursorCol_ >= 0 && CursorRow_ >= 0 && CursorCol_ < TableCols() && CursorRow_ < TableRows()) {
      OutlineFrame(CursorRow_, CursorCol_, inset,
                   GridLine_ ? GridLineColor_ : PaintedBackColor(CursorRow_, CursorCol_));
    }
    if (c >= 0 && r >= 0) OutlineFrame(r, c, inset, CursorColor_);
    CursorCol_ = c;
    CursorRow_ = r;
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
  }
}

QString cGrid::ClickValue(float sngX, float sngY) {
  try {
    const std::int16_t c = ClickCol(sngX);
    const std::int16_t r = ClickRow(sngY);
    if (c >= 0 && r >= 0) return cells_.at(r).at(c).Value;
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
  }
  return {};
}

std::int16_t cGrid::ClickCol(float sngX) {
  try {
    for (int c = 0; c < TableCols(); ++c) {
      const GridCell& cell = cells_.front()[c];
      const double left = static_cast<double>(Left_) + cell.X;
      const double right = left + cell.Width;
      if (left < sngX && sngX < right) return static_cast<std::int16_t>(c);
    }
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
  }
  return -1;
}

std::int16_t cGrid::ClickRow(float sngY) {
  try {
    for (int r = 0; r < TableRows(); ++r) {
      const GridCell& cell = cells_[r].front();
      const double top = static_cast<double>(Top_) + cell.Y;
      const double bottom = top + cell.Height;
      if (top < sngY && sngY < bottom) return static_cast<std::int16_t>(r);
    }
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
  }
  return -1;
}

// ---- placement and painting on demand ----

void cGrid::Move(std::int32_t lngLeft, std::int32_t lngTop) {
  Left_ = lngLeft;
  Top_ = lngTop;
  DrawCells(-1, -1);
}

void cGrid::MoveCenter() {
  IDrawSurface& s = Surface();
  const std::int32_t left = IDiv(static_cast<double>(s.ScaleWidth()) - Width_, 2);
  const std::int32_t top = IDiv(static_cast<double>(s.ScaleHeight()) - Height_, 2);
  Left_ = left;
  Top_ = top;
  DrawCells(-1, -1);
}

void cGrid::Refresh(bool blnRefreshFlgTrue) {
  const bool saved = RefreshFlg_;
  RefreshFlg_ = true;
  DrawCells(-1, -1);
  if (!blnRefreshFlgTrue) RefreshFlg_ = saved;
}

void cGrid::ClearGrid(std::int16_t intCol, std::int16_t intRow) {
  if (intCol < 0) {
    for (auto& row : cells_) {
      for (GridCell& cell : row) cell.Value.clear();
    }
  } else {
    CheckCell(intRow, intCol);
    cells_[intRow][intCol].Value.clear();
  }
  Refresh(false);
}

void cGrid::AutoReSize() {
  try {
    IDrawSurface& s = Surface();
    // One pixel more than the grid's extent, so that its right and bottom border lines show.
    const double width = static_cast<double>(Left_) + Width_ + 1;
    const double height = static_cast<double>(Top_) + Height_ + 1;
    s.SetSize(static_cast<float>(width), static_cast<float>(height));
    DrawCells(-1, -1);
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
  }
}

void cGrid::Reset() {
  std::int16_t cols = Cols_;
  std::int16_t rows = Rows_;
  Init(objPicture_, cols, rows, HeaderCol_, HeaderRow_);
}

bool cGrid::Init(IDrawSurface* objPicture, int intCols, int intRows, bool blnHeaderCol, bool blnHeaderRow) {
  std::int16_t cols = static_cast<std::int16_t>(ClampSize(intCols));
  std::int16_t rows = static_cast<std::int16_t>(ClampSize(intRows));
  return Init(objPicture, cols, rows, blnHeaderCol, blnHeaderRow);
}

bool cGrid::Init(IDrawSurface* objPicture, std::int16_t& intCols, std::int16_t& intRows, bool blnHeaderCol,
                 bool blnHeaderRow) {
  intCols = static_cast<std::int16_t>(ClampSize(intCols));
  intRows = static_cast<std::int16_t>(ClampSize(intRows));
  LastErrText_.clear();
  try {
    if (objPicture == nullptr) {
      throw RuntimeError(kObjectNotSet, QStringLiteral("グリッドの描画面が指定されていません"));
    }
    objPicture_ = objPicture;
    IDrawSurface& s = *objPicture_;
    s.SetScaleMode(kPixelScale);
    s.SetAutoRedraw(true);
    s.SetFontName(kGridFont);
    s.SetFontSize(kGridFontPoints);
    s.SetFontBold(false);
    s.SetFontItalic(false);
    s.SetFontStrikethru(false);
    s.SetFontUnderline(false);
    s.SetDrawMode(kCopyPen);
    s.SetDrawStyle(kSolid);
    s.SetDrawWidth(1);
    s.SetForeColor(0x000000);
    s.SetBackColor(0xFFFFFF);

    Left_ = 0;
    Top_ = 0;
    Cols_ = intCols;
    Rows_ = intRows;
    HeaderCol_ = blnHeaderCol;
    HeaderRow_ = blnHeaderRow;
    HeaderBackColor_ = 0xE0E0E0;
    GridLine_ = true;
    GridLineColor_ = kButtonShadow;
    RefreshFlg_ = true;
    CursorCol_ = 0;
    CursorRow_ = 0;
    CursorColor_ = 0x0000FF;

    cells_.assign(Rows_, std::vector<GridCell>(Cols_));
    CellsInit();
    DrawCells(-1, -1);
    return true;
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
    return false;
  }
}

// ---- the format string ----

void cGrid::SetFormatString(const QString& strFormat) {
  struct Column {
    QString text;
    std::int16_t align = GridAlign::Auto;
  };
  std::vector<Column> declared(1);
  for (qsizetype i = 0; i < strFormat.size(); ++i) {
    const QChar ch = strFormat[i];
    if (ch == u'|') {
      declared.emplace_back();
    } else if (ch == u'<') {
      declared.back().align = GridAlign::Left;
    } else if (ch == u'^') {
      declared.back().align = GridAlign::Center;
    } else if (ch == u'>') {
      declared.back().align = GridAlign::Right;
    } else if (ch == u'\\') {
      // The next character whatever it is; a backslash at the very end has nothing to escape.
      if (i + 1 < strFormat.size()) declared.back().text += strFormat[++i];
    } else {
      declared.back().text += ch;
    }
  }

  if (cells_.empty()) CheckCell(0, 0);
  const int count = std::min<int>(static_cast<int>(declared.size()), TableCols());
  const std::int32_t average = AverageCharWidth();
  std::vector<std::int32_t> widths(count);
  for (int c = 0; c < count; ++c) {
    // Header widths count code-page bytes, so a full-width character takes two average widths.
    const long long bytes = SjisByteLength(declared[c].text);
    widths[c] = CheckedLong(bytes * average + 2LL * TextOffsetX_, QStringLiteral("列幅"));
  }
  ResizeCells([&] {
    for (int c = 0; c < count; ++c) {
      cells_[0][c].Value = declared[c].text;
      for (auto& row : cells_) {
        row[c].Width = widths[c];
        row[c].TextAlign = declared[c].align;
      }
    }
  });
  DrawCells(-1, -1);
}

// ---- table size ----

void cGrid::SetCols(std::int16_t intCols) {
  const int cols = ClampSize(intCols);
  cells_.assign(Rows_, std::vector<GridCell>(cols));
  Cols_ = static_cast<std::int16_t>(cols);
  DrawCells(-1, -1);
}

void cGrid::SetRows(std::int16_t intRows) {
  const int rows = ClampSize(intRows);
  cells_.resize(rows, std::vector<GridCell>(Cols_));
  Rows_ = static_cast<std::int16_t>(rows);
  DrawCells(-1, -1);
}

std::int16_t cGrid::DataCols() const { return static_cast<std::int16_t>(HeaderRow_ ? Cols_ - 1 : Cols_); }
std::int16_t cGrid::DataRows() const { return static_cast<std::int16_t>(HeaderCol_ ? Rows_ - 1 : Rows_); }

// ---- grid-wide settings ----

void cGrid::SetTextOffsetX(std::int32_t lngOffset) {
  TextOffsetX_ = std::max<std::int32_t>(lngOffset, 1);
  DrawCells(-1, -1);
}

void cGrid::SetTextOffsetY(std::int32_t lngOffset) {
  TextOffsetY_ = std::max<std::int32_t>(lngOffset, 1);
  DrawCells(-1, -1);
}

void cGrid::SetHeaderCol(bool blnOn) {
  HeaderCol_ = blnOn;
  DrawCells(-1, -1);
}

void cGrid::SetHeaderRow(bool blnOn) {
  HeaderRow_ = blnOn;
  DrawCells(-1, -1);
}

void cGrid::SetHeaderBackColor(Colour lngColor) {
  HeaderBackColor_ = lngColor;
  DrawCells(-1, -1);
}

void cGrid::SetGridLine(bool blnOn) {
  GridLine_ = blnOn;
  DrawCells(-1, -1);
}

void cGrid::SetGridLineColor(Colour lngColor) {
  GridLineColor_ = lngColor;
  DrawCells(-1, -1);
}

// ---- single cells ----

QString cGrid::CellValue(std::int16_t intRow, std::int16_t intCol) const {
  CheckCell(intRow, intCol);
  return cells_[intRow][intCol].Value;
}

void cGrid::SetCellValue(std::int16_t intRow, std::int16_t intCol, const QString& strValue) {
  CheckCell(intRow, intCol);
  cells_[intRow][intCol].Value = strValue;
  DrawCells(intCol, intRow);
}

QString cGrid::CellText(std::int16_t intRow, std::int16_t intCol) const {
  CheckCell(intRow, intCol);
  const GridCell& cell = cells_[intRow][intCol];
  return FormatText(cell.Value, cell.Format);
}

QString cGrid::CellFormat(std::int16_t intRow, std::int16_t intCol) const {
  CheckCell(intRow, intCol);
  return cells_[intRow][intCol].Format;
}

void cGrid::SetCellFormat(std::int16_t intRow, std::int16_t intCol, const QString& strFormat) {
  CheckCell(intRow, intCol);
  cells_[intRow][intCol].Format = strFormat;
  DrawCells(intCol, intRow);
}

std::int16_t cGrid::CellTextAlign(std::int16_t intRow, std::int16_t intCol) const {
  CheckCell(intRow, intCol);
  return cells_[intRow][intCol].TextAlign;
}

void cGrid::SetCellTextAlign(std::int16_t intRow, std::int16_t intCol, std::int16_t intAlign) {
  CheckCell(intRow, intCol);
  cells_[intRow][intCol].TextAlign = intAlign;
  DrawCells(-1, -1);
}

Colour cGrid::CellForeColor(std::int16_t intRow, std::int16_t intCol) const {
  CheckCell(intRow, intCol);
  return cells_[intRow][intCol].ForeColor;
}

void cGrid::SetCellForeColor(std::int16_t intRow, std::int16_t intCol, Colour lngColor) {
  CheckCell(intRow, intCol);
  cells_[intRow][intCol].ForeColor = lngColor;
  DrawCells(intCol, intRow);
}

Colour cGrid::CellBackColor(std::int16_t intRow, std::int16_t intCol) const {
  CheckCell(intRow, intCol);
  return cells_[intRow][intCol].BackColor;
}

void cGrid::SetCellBackColor(std::int16_t intRow, std::int16_t intCol, Colour lngColor) {
  CheckCell(intRow, intCol);
  cells_[intRow][intCol].BackColor = lngColor;
  DrawCells(intCol, intRow);
}

// ---- sizes in characters and lines ----

std::int32_t cGrid::TextLenWidth(std::int16_t intLen) {
  return CheckedLong(static_cast<long long>(intLen) * AverageCharWidth() + 2LL * TextOffsetX_, QStringLiteral("列幅"));
}

std::int32_t cGrid::TextLineHeight(std::int16_t intLines) {
  return CheckedLong(static_cast<long long>(intLines) * AverageCharHeight() + 2LL * TextOffsetY_,
                     QStringLiteral("行の高さ"));
}

std::int16_t cGrid::ColTextLen(std::int16_t intCol) const {
  CheckCol(intCol);
  // Divided by the width of "@", not by the average the setter used: with a proportional font
  // the value read need not be the value set.
  const double inner = static_cast<double>(cells_[0][intCol].Width) - 2.0 * TextOffsetX_;
  return CheckedInteger(IDiv(inner, Surface().TextWidth(QStringLiteral("@"))), QStringLiteral("文字数"));
}

void cGrid::SetColTextLen(std::int16_t intCol, std::int16_t intLen) {
  CheckCol(intCol);
  const std::int32_t width = TextLenWidth(intLen);
  ResizeCells([&] {
    for (auto& row : cells_) row[intCol].Width = width;
  });
  DrawCells(-1, -1);
}

void cGrid::SetAllTextLen(std::int16_t intLen) {
  if (cells_.empty()) CheckCell(0, 0);
  const std::int32_t width = TextLenWidth(intLen);
  ResizeCells([&] {
    for (auto& row : cells_) {
      for (GridCell& cell : row) cell.Width = width;
    }
  });
  DrawCells(-1, -1);
}

std::int16_t cGrid::RowTextLine(std::int16_t intRow) const {
  CheckRow(intRow);
  const double inner = static_cast<double>(cells_[intRow][0].Height) - 2.0 * TextOffsetY_;
  return CheckedInteger(IDiv(inner, Surface().TextHeight(QStringLiteral("@"))), QStringLiteral("行数"));
}

void cGrid::SetRowTextLine(std::int16_t intRow, std::int16_t intLines) {
  CheckRow(intRow);
  const std::int32_t height = TextLineHeight(intLines);
  ResizeCells([&] {
    for (GridCell& cell : cells_[intRow]) cell.Height = height;
  });
  DrawCells(-1, -1);
}

void cGrid::SetAllTextLine(std::int16_t intLines) {
  if (cells_.empty()) CheckCell(0, 0);
  const std::int32_t height = TextLineHeight(intLines);
  ResizeCells([&] {
    for (auto& row : cells_) {
      for (GridCell& cell : row) cell.Height = height;
    }
  });
  DrawCells(-1, -1);
}

// ---- sizes in pixels ----

std::int32_t cGrid::ColWidth(std::int16_t intCol) const {
  CheckCol(intCol);
  return cells_[0][intCol].Width;
}

void cGrid::SetColWidth(std::int16_t intCol, std::int32_t lngWidth) {
  CheckCol(intCol);
  ResizeCells([&] {
    for (auto& row : cells_) row[intCol].Width = lngWidth;
  });
  DrawCells(-1, -1);
}

void cGrid::SetAllWidth(std::int32_t lngWidth) {
  if (cells_.empty()) CheckCell(0, 0);
  ResizeCells([&] {
    for (auto& row : cells_) {
      for (GridCell& cell : row) cell.Width = lngWidth;
    }
  });
  DrawCells(-1, -1);
}

std::int32_t cGrid::RowHeight(std::int16_t intRow) const {
  CheckRow(intRow);
  return cells_[intRow][0].Height;
}

void cGrid::SetRowHeight(std::int16_t intRow, std::int32_t lngHeight) {
  CheckRow(intRow);
  ResizeCells([&] {
    for (GridCell& cell : cells_[intRow]) cell.Height = lngHeight;
  });
  DrawCells(-1, -1);
}

void cGrid::SetAllHeight(std::int32_t lngHeight) {
  if (cells_.empty()) CheckCell(0, 0);
  ResizeCells([&] {
    for (auto& row : cells_) {
      for (GridCell& cell : row) cell.Height = lngHeight;
    }
  });
  DrawCells(-1, -1);
}

// ---- column, row and table setters ----

void cGrid::SetColTextAlign(std::int16_t intCol, std::int16_t intAlign) {
  CheckCol(intCol);
  for (auto& row : cells_) row[intCol].TextAlign = intAlign;
  DrawCells(-1, -1);
}

void cGrid::SetRowTextAlign(std::int16_t intRow, std::int16_t intAlign) {
  CheckRow(intRow);
  for (GridCell& cell : cells_[intRow]) cell.TextAlign = intAlign;
  DrawCells(-1, -1);
}

void cGrid::SetAllTextAlign(std::int16_t intAlign) {
  for (auto& row : cells_) {
    for (GridCell& cell : row) cell.TextAlign = intAlign;
  }
  DrawCells(-1, -1);
}

void cGrid::SetColForeColor(std::int16_t intCol, Colour lngColor) {
  CheckCol(intCol);
  for (auto& row : cells_) row[intCol].ForeColor = lngColor;
  DrawCells(-1, -1);
}

void cGrid::SetRowForeColor(std::int16_t intRow, Colour lngColor) {
  CheckRow(intRow);
  for (GridCell& cell : cells_[intRow]) cell.ForeColor = lngColor;
  DrawCells(-1, -1);
}

void cGrid::SetAllForeColor(Colour lngColor) {
  for (auto& row : cells_) {
    for (GridCell& cell : row) cell.ForeColor = lngColor;
  }
  DrawCells(-1, -1);
}

void cGrid::SetColBackColor(std::int16_t intCol, Colour lngColor) {
  CheckCol(intCol);
  for (auto& row : cells_) row[intCol].BackColor = lngColor;
  DrawCells(-1, -1);
}

void cGrid::SetRowBackColor(std::int16_t intRow, Colour lngColor) {
  CheckRow(intRow);
  for (GridCell& cell : cells_[intRow]) cell.BackColor = lngColor;
  DrawCells(-1, -1);
}

void cGrid::SetAllBackColor(Colour lngColor) {
  for (auto& row : cells_) {
    for (GridCell& cell : row) cell.BackColor = lngColor;
  }
  DrawCells(-1, -1);
}

void cGrid::SetColFormat(std::int16_t intCol, const QString& strFormat) {
  CheckCol(intCol);
  for (auto& row : cells_) row[intCol].Format = strFormat;
  DrawCells(-1, -1);
}

void cGrid::SetRowFormat(std::int16_t intRow, const QString& strFormat) {
  CheckRow(intRow);
  for (GridCell& cell : cells_[intRow]) cell.Format = strFormat;
  DrawCells(-1, -1);
}

void cGrid::SetAllFormat(const QString& strFormat) {
  for (auto& row : cells_) {
    for (GridCell& cell : row) cell.Format = strFormat;
  }
  DrawCells(-1, -1);
}

// ---- position and handles ----

void cGrid::SetLeft(std::int32_t lngLeft) {
  Left_ = lngLeft;
  DrawCells(-1, -1);
}

void cGrid::SetTop(std::int32_t lngTop) {
  Top_ = lngTop;
  DrawCells(-1, -1);
}

std::intptr_t cGrid::hWnd() const { return objPicture_ != nullptr ? objPicture_->WindowHandle() : 0; }
std::intptr_t cGrid::hDc() const { return objPicture_ != nullptr ? objPicture_->DeviceContext() : 0; }

// ---- cells, layout and metrics ----

void cGrid::CellsInit() {
  IDrawSurface& s = Surface();
  // An even share of the surface right of and below the grid's corner.
  const std::int32_t w = IDiv(static_cast<double>(s.ScaleWidth()) - Left_, Cols_);
  const std::int32_t h = IDiv(static_cast<double>(s.ScaleHeight()) - Top_, Rows_);
  const Colour fore = s.ForeColor();
  const Colour back = s.BackColor();
  for (int r = 0; r < TableRows(); ++r) {
    for (int c = 0; c < TableCols(); ++c) {
      GridCell& cell = cells_[r][c];
      cell = GridCell{};
      cell.X = CheckedLong(static_cast<long long>(c) * w, QStringLiteral("横位置"));
      cell.Y = CheckedLong(static_cast<long long>(r) * h, QStringLiteral("縦位置"));
      cell.Width = w;
      cell.Height = h;
      cell.ForeColor = fore;
      cell.BackColor = back;
    }
  }
  CellPositionCalc();
}

void cGrid::CellPositionCalc() {
  // Worked out in 64 bits first: nothing is stored unless every position fits.
  const int rows = TableRows();
  const int cols = TableCols();
  std::vector<std::int32_t> xs(static_cast<std::size_t>(rows) * cols);
  std::vector<std::int32_t> ys(xs.size());
  long long width = 0;
  long long height = 0;
  for (int r = 0; r < rows; ++r) {
    long long x = cells_[r][0].X;
    xs[static_cast<std::size_t>(r) * cols] = static_cast<std::int32_t>(x);
    for (int c = 1; c < cols; ++c) {
      x += cells_[r][c - 1].Width;
      xs[static_cast<std::size_t>(r) * cols + c] = CheckedLong(x, QStringLiteral("横位置"));
    }
    height += cells_[r][0].Height;
  }
  for (int c = 0; c < cols; ++c) {
    long long y = cells_[0][c].Y;
    ys[c] = static_cast<std::int32_t>(y);
    for (int r = 1; r < rows; ++r) {
      y += cells_[r - 1][c].Height;
      ys[static_cast<std::size_t>(r) * cols + c] = CheckedLong(y, QStringLiteral("縦位置"));
    }
    width += cells_[0][c].Width;
  }
  const std::int32_t totalWidth = CheckedLong(width, QStringLiteral("幅"));
  const std::int32_t totalHeight = CheckedLong(height, QStringLiteral("高さ"));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      cells_[r][c].X = xs[static_cast<std::size_t>(r) * cols + c];
      cells_[r][c].Y = ys[static_cast<std::size_t>(r) * cols + c];
    }
  }
  Width_ = totalWidth;
  Height_ = totalHeight;
}

template <typename Change>
void cGrid::ResizeCells(Change change) {
  const Table before = cells_;  // values are shared, not copied
  change();
  try {
    CellPositionCalc();
  } catch (...) {
    cells_ = before;
    throw;
  }
}

std::int32_t cGrid::AverageCharWidth() {
  try {
    IDrawSurface& s = Surface();
    double sum = 0;
    for (char16_t ch = 32; ch <= 122; ++ch) sum += s.TextWidth(QString(QChar(ch)));
    return IDiv(sum, 91);
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
    return 0;
  }
}

std::int32_t cGrid::AverageCharHeight() {
  try {
    IDrawSurface& s = Surface();
    double sum = 0;
    for (char16_t ch = 32; ch <= 122; ++ch) sum += s.TextHeight(QString(QChar(ch)));
    return IDiv(sum, 91);
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
    return 0;
  }
}

// ---- painting ----

void cGrid::DrawCells(int intCol, int intRow) {
  if (!RefreshFlg_) return;
  if (objPicture_ == nullptr) {
    LastErrText_ = QStringLiteral("グリッドの描画面が設定されていません");
    return;
  }
  IDrawSurface& s = *objPicture_;
  try {
    // Hidden while painting, so that nobody sees a half-painted card.
    s.SetVisible(false);
    if (intCol < 0 || intRow < 0) {
      s.Cls();
      for (int c = 0; c < TableCols(); ++c) {
        for (int r = 0; r < TableRows(); ++r) DrawCell(r, c);
      }
    } else {
      DrawCell(intRow, intCol);
    }
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
  }
  try {
    s.SetVisible(true);
  } catch (const std::exception& e) {
    LastErrText_ = Describe(e);
  }
}

void cGrid::DrawCell(int intRow, int intCol) {
  IDrawSurface& s = *objPicture_;
  const GridCell& cell = cells_.at(intRow).at(intCol);
  const double x1 = static_cast<double>(Left_) + cell.X;
  const double y1 = static_cast<double>(Top_) + cell.Y;
  const auto x2 = static_cast<float>(x1 + cell.Width);
  const auto y2 = static_cast<float>(y1 + cell.Height);
  s.Box(static_cast<float>(x1), static_cast<float>(y1), x2, y2, PaintedBackColor(intRow, intCol), true);
  DrawCellText(cell);
  // Neighbours share their edges: each border line is drawn by both cells.
  if (GridLine_) s.Box(static_cast<float>(x1), static_cast<float>(y1), x2, y2, GridLineColor_, false);
}

void cGrid::DrawCellText(const GridCell& cell) {
  IDrawSurface& s = *objPicture_;
  ForeColorKeeper keep(s);
  const QStringList lines = TextLinesGet(cell);
  if (lines.isEmpty()) return;
  s.SetCurrentY(static_cast<float>(Top_ + TextPosY(cell.Y, cell.Height, lines.size())));
  for (const QString& line : lines) {
    s.SetCurrentX(static_cast<float>(Left_ + TextPosX(cell.X, cell.Width, line, cell.TextAlign) + 1));
    s.SetForeColor(cell.ForeColor);
    s.Print(line);
  }
}

QStringList cGrid::TextLinesGet(const GridCell& cell) const {
  IDrawSurface& s = *objPicture_;
  const double available = static_cast<double>(cell.Width) - 2.0 * TextOffsetX_;
  const double availableHeight = static_cast<double>(cell.Height) - 2.0 * TextOffsetY_;
  if (cell.Value.isEmpty()) return {};
  const QString text = FormatText(cell.Value, cell.Format);

  // A cell too small for a single character shows nothing at all.
  const QString first = text.left(1);
  if (s.TextWidth(first) > available || s.TextHeight(first) > availableHeight) return {};

  QStringList lines{QString()};
  double running = 0;
  for (const QChar ch : text) {
    if (ch == u'\r') {
      lines.append(QString());
      running = 0;
      continue;
    }
    // Control characters below the carriage return are dropped: the line feed of a CR LF pair
    // and tabs. No double-byte character has a code this small.
    if (ch.unicode() < 13) continue;
    const double w = s.TextWidth(QString(ch));
    if (running + w > available) {
      lines.append(QString());
      running = 0;
    }
    lines.last() += ch;
    running += w;
  }

  // Only the lines that fit the height, from the top.
  QStringList kept;
  double used = 0;
  for (const QString& line : lines) {
    const double h = s.TextHeight(line);
    if (used + h > availableHeight) break;
    used += h;
    kept.append(line);
  }
  if (kept.isEmpty()) kept.append(QString());
  return kept;
}

double cGrid::TextPosX(double X, double Width, const QString& strLine, std::int16_t intAlign) const {
  const double m = TextOffsetX_;
  const double available = Width - 2 * m;
  const double t = objPicture_->TextWidth(strLine);
  if (t >= available) return X + m;
  const double slack = available - t;
  switch (intAlign) {
    case GridAlign::Center:
      return X + m + IDiv(slack, 2);
    case GridAlign::Right:
      return X + m + slack;
    case GridAlign::Auto:
      // Decided line by line: numbers to the right, everything else to the left.
      return IsNumeric(strLine) ? X + m + slack : X + m;
    default:
      return X + m;
  }
}

double cGrid::TextPosY(double Y, double Height, qsizetype lineCount) const {
  const double m = TextOffsetY_;
  const double available = Height - 2 * m;
  const double block = static_cast<double>(lineCount) * objPicture_->TextHeight(QStringLiteral("@"));
  if (block < available) return Y + m + IDiv(available - block, 2);
  return Y + m;
}

QString cGrid::FormatText(const QString& strValue, const QString& strFormat) {
  if (strFormat.isEmpty()) return strValue;
  return FormatValue(strValue, strFormat);
}

Colour cGrid::PaintedBackColor(int intRow, int intCol) const {
  if ((HeaderCol_ && intRow == 0) || (HeaderRow_ && intCol == 0)) return HeaderBackColor_;
  return cells_.at(intRow).at(intCol).BackColor;
}

void cGrid::OutlineFrame(int intRow, int intCol, int inset, Colour lngColor) {
  IDrawSurface& s = Surface();
  const GridCell& cell = cells_.at(intRow).at(intCol);
  const double x1 = static_cast<double>(Left_) + cell.X;
  const double y1 = static_cast<double>(Top_) + cell.Y;
  s.Box(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x1 + cell.Width - inset),
        static_cast<float>(y1 + cell.Height), lngColor, false);
}

// ---- checks ----

void cGrid::CheckRow(std::int16_t intRow) const {
  if (cells_.empty()) {
    throw RuntimeError(ErrNo::SubscriptOutOfRange, QStringLiteral("グリッドにセルがありません (Init の前です)"));
  }
  CheckIndex(QStringLiteral("グリッドの行"), intRow, 0, TableRows() - 1);
}

void cGrid::CheckCol(std::int16_t intCol) const {
  if (cells_.empty()) {
    throw RuntimeError(ErrNo::SubscriptOutOfRange, QStringLiteral("グリッドにセルがありません (Init の前です)"));
  }
  CheckIndex(QStringLiteral("グリッドの列"), intCol, 0, TableCols() - 1);
}

void cGrid::CheckCell(std::int16_t intRow, std::int16_t intCol) const {
  CheckRow(intRow);
  CheckCol(intCol);
}

IDrawSurface& cGrid::Surface() const {
  if (objPicture_ == nullptr) {
    throw RuntimeError(kObjectNotSet, QStringLiteral("グリッドの描画面が設定されていません"));
  }
  return *objPicture_;
}

}  // namespace tidewake
