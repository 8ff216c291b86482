// A full repaint of the race card (15 x 7 cells, every cell filled) by the grid on the Qt picture,
// next to a baseline in the same run: the same filled rectangles, outlines and texts drawn
// directly with QPainter on a QImage, with every position worked out beforehand.

#include "grid/cGrid.h"
#include "ui/qtplatform/FontSubstitutions.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <vector>

using namespace tidewake;

namespace {

const QString kCardFormat = QStringLiteral(
    "^艇番|^選手登番|選  手  名|^年齢|出身|^体重|^級別|勝 率|２連率|モNo|２連率|ボNo|２連率|<成　　　　績|^進入");

constexpr Colour kBoatBack[6] = {0xFFFFFF, 0x404040, 0x0000FF, 0xFF0000, 0x00FFFF, 0x00FF00};
constexpr Colour kBoatText[6] = {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000};

const char* const kRows[6][13] = {
    {"4001", "青木　一郎", "41", "千葉", "47", "A1", "9.27", "67.30", "39", "49.67", "14", "41.22", "１１１１１１"},
    {"4002", "石川　二朗", "43", "徳島", "50", "A1", "8.92", "55.00", "34", "46.34", "53", "39.84", "１１１１１３"},
    {"4003", "上野　三郎", "32", "大阪", "51", "A1", "9.53", "66.67", "27", "39.06", "36", "39.20", "１２１１１１"},
    {"4004", "江藤　四郎", "29", "山口", "49", "A1", "9.15", "61.40", "76", "47.83", "13", "43.75", "６１１２２１"},
    {"4005", "大川　五郎", "33", "福岡", "52", "A1", "8.99", "62.48", "75", "43.20", "25", "42.86", "３３１１１１"},
    {"4006", "加藤　六郎", "29", "群馬", "50", "A1", "8.91", "66.12", "23", "46.83", "79", "39.67", "２１２１２１"},
};

// The card as the window sets it up, with every cell filled.
void SetUpCard(cGrid& grid, IDrawSurface& picGrid) {
  grid.Init(&picGrid, 15, 7, true, false);
  grid.SetRefreshFlg(false);
  picGrid.SetFontSize(11);
  grid.SetAllTextLine(1);
  grid.SetFormatString(kCardFormat);
  grid.SetRowTextLine(0, 2);
  grid.SetCellValue(0, 13, grid.CellValue(0, 13) + QStringLiteral("\r\n１２３４５６"));
  grid.SetRowTextAlign(0, 2);
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    grid.SetCellBackColor(boat, 0, kBoatBack[boat - 1]);
    grid.SetCellForeColor(boat, 0, kBoatText[boat - 1]);
    grid.SetCellValue(boat, 0, QString::number(boat));
    for (std::int16_t c = 1; c <= 13; ++c) grid.SetCellValue(boat, c, QString::fromUtf8(kRows[boat - 1][c - 1]));
    for (std::int16_t c : {8, 10, 12}) grid.SetCellFormat(boat, c, QStringLiteral("0.00"));
    grid.SetCellValue(boat, 14, QString::number(boat));
  }
}

// What one repaint draws, recorded once so that the baseline draws exactly the same.
struct Recorded {
  struct Rect {
    QRect rect;
    QColor colour;
    bool filled;
  };
  struct Text {
    QPoint topLeft;
    QColor colour;
    QString text;
  };
  QColor background;
  std::vector<Rect> rects;
  std::vector<Text> texts;
};

// Passes every call on to a Qt surface and notes the boxes and texts.
class RecordingSurface final : public IDrawSurface {
 public:
  explicit RecordingSurface(QtDrawSurface& s) : s_(s) {}
  float ScaleWidth() const override { return s_.ScaleWidth(); }
  float ScaleHeight() const override { return s_.ScaleHeight(); }
  float Width() const override { return s_.Width(); }
  float Height() const override { return s_.Height(); }
  void SetSize(float w, float h) override { s_.SetSize(w, h); }
  void SetScaleMode(int m) override { s_.SetScaleMode(m); }
  void SetAutoRedraw(bool on) override { s_.SetAutoRedraw(on); }
  void SetDrawMode(int m) override { s_.SetDrawMode(m); }
  void SetDrawStyle(int st) override { s_.SetDrawStyle(st); }
  void SetDrawWidth(int w) override { s_.SetDrawWidth(w); }
  QString FontName() const override { return s_.FontName(); }
  void SetFontName(const QString& n) override { s_.SetFontName(n); }
  float FontSize() const override { return s_.FontSize(); }
  void SetFontSize(float p) override { s_.SetFontSize(p); }
  bool FontBold() const override { return s_.FontBold(); }
  void SetFontBold(bool on) override { s_.SetFontBold(on); }
  void SetFontItalic(bool on) override { s_.SetFontItalic(on); }
  void SetFontStrikethru(bool on) override { s_.SetFontStrikethru(on); }
  void SetFontUnderline(bool on) override { s_.SetFontUnderline(on); }
  Colour ForeColor() const override { return s_.ForeColor(); }
  void SetForeColor(Colour c) override { s_.SetForeColor(c); }
  Colour BackColor() const override { return s_.BackColor(); }
  void SetBackColor(Colour c) override { s_.SetBackColor(c); }
  float CurrentX() const override { return s_.CurrentX(); }
  float CurrentY() const override { return s_.CurrentY(); }
  void SetCurrentX(float x) override { s_.SetCurrentX(x); }
  void SetCurrentY(float y) override { s_.SetCurrentY(y); }
  bool Visible() const override { return s_.Visible(); }
  void SetVisible(bool on) override { s_.SetVisible(on); }
  void Cls() override {
    record.background = ToQColor(s_.BackColor());
    record.rects.clear();
    record.texts.clear();
    s_.Cls();
  }
  void Line(float x1, float y1, float x2, float y2, Colour c) override { s_.Line(x1, y1, x2, y2, c); }
  void Box(float x1, float y1, float x2, float y2, Colour c, bool filled) override {
    record.rects.push_back(
        {QRect(QPoint(static_cast<int>(x1), static_cast<int>(y1)), QPoint(static_cast<int>(x2), static_cast<int>(y2))),
         ToQColor(c), filled});
    s_.Box(x1, y1, x2, y2, c, filled);
  }
  void Print(const QString& text, bool lineEnd) override {
    record.texts.push_back(
        {QPoint(static_cast<int>(s_.CurrentX()), static_cast<int>(s_.CurrentY())), ToQColor(s_.ForeColor()), text});
    s_.Print(text, lineEnd);
  }
  float TextWidth(const QString& t) const override { return s_.TextWidth(t); }
  float TextHeight(const QString& t) const override { return s_.TextHeight(t); }

  Recorded record;

 private:
  QtDrawSurface& s_;
};

void BM_GridRefreshFullCard(benchmark::State& state) {
  QtDrawSurface picGrid(785, 153);
  cGrid grid;
  SetUpCard(grid, picGrid);
  for (auto _ : state) {
    grid.Refresh(false);
    // A widget showing the picture reads it: the pending painting is finished.
    benchmark::DoNotOptimize(picGrid.Image().constBits());
  }
}
BENCHMARK(BM_GridRefreshFullCard)->Unit(benchmark::kMicrosecond);

void BM_QPainterBaselineSameDraws(benchmark::State& state) {
  QtDrawSurface picGrid(785, 153);
  RecordingSurface recorder(picGrid);
  cGrid grid;
  SetUpCard(grid, recorder);
  grid.Refresh(false);
  const Recorded r = recorder.record;
  const QFont font = picGrid.CurrentFont();
  const int ascent = QFontMetrics(font).ascent();
  QImage image(785, 153, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&image);
    p.setFont(font);
    p.fillRect(image.rect(), r.background);
    for (const auto& box : r.rects) {
      if (box.filled) {
        p.fillRect(box.rect, box.colour);
      } else {
        p.setPen(box.colour);
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.rect.adjusted(0, 0, -1, -1));
      }
    }
    for (const auto& t : r.texts) {
      p.setPen(t.colour);
      p.drawText(t.topLeft + QPoint(0, ascent), t.text);
    }
    p.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["rects"] = static_cast<double>(r.rects.size() + 1);
  state.counters["texts"] = static_cast<double>(r.texts.size());
}
BENCHMARK(BM_QPainterBaselineSameDraws)->Unit(benchmark::kMicrosecond);

}  // namespace
