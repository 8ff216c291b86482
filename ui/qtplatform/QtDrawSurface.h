#pragma once

// The picture box on Qt: a persistent QImage (the picture box with AutoRedraw on) that the grid,
// the water and the start clock draw on through IDrawSurface. It owns no widget: a widget that
// shows it reads Image() and is told of changes through the change handler.

#include "platform/DrawSurface.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>

#include <array>
#include <functional>
#include <memory>

class QPainter;

namespace tidewake {

// A colour number as Qt draws it: 0x00BBGGRR, or with the top bit set a system colour (its low
// byte the Windows colour index, 0x10 the button shadow) taken from the application's palette.
QColor ToQColor(Colour c);

class QtDrawSurface final : public IDrawSurface {
 public:
  // A white picture of the given size in pixels, black fore colour, "ＭＳ ゴシック" 9 pt.
  explicit QtDrawSurface(int width = 1, int height = 1);
  ~QtDrawSurface() override;
  QtDrawSurface(const QtDrawSurface&) = delete;
  QtDrawSurface& operator=(const QtDrawSurface&) = delete;

  float ScaleWidth() const override { return static_cast<float>(image_.width()); }
  float ScaleHeight() const override { return static_cast<float>(image_.height()); }
  float Width() const override { return static_cast<float>(image_.width()); }
  float Height() const override { return static_cast<float>(image_.height()); }
  // Grows or shrinks the picture; what was drawn stays where it was, new area is background.
  void SetSize(float width, float height) override;

  void SetScaleMode(int mode) override { scaleMode_ = mode; }
  void SetAutoRedraw(bool on) override { autoRedraw_ = on; }
  void SetDrawMode(int mode) override { drawMode_ = mode; }
  void SetDrawStyle(int style) override { drawStyle_ = style; }
  void SetDrawWidth(int width) override { drawWidth_ = width < 1 ? 1 : width; }

  QString FontName() const override { return fontName_; }
  void SetFontName(const QString& name) override;
  float FontSize() const override { return fontPoints_; }
  void SetFontSize(float points) override;
  bool FontBold() const override { return bold_; }
  void SetFontBold(bool on) override;
  void SetFontItalic(bool on) override;
  void SetFontStrikethru(bool on) override;
  void SetFontUnderline(bool on) override;

  Colour ForeColor() const override { return fore_; }
  void SetForeColor(Colour c) override { fore_ = c; }
  Colour BackColor() const override { return back_; }
  void SetBackColor(Colour c) override;

  float CurrentX() const override { return x_; }
  float CurrentY() const override { return y_; }
  void SetCurrentX(float x) override { x_ = x; }
  void SetCurrentY(float y) override { y_ = y; }

  bool Visible() const override { return visible_; }
  // Hidden, the picture is drawn on without telling anyone; shown again, the handler hears once.
  void SetVisible(bool on) override;

  // Clears to the background colour and draws the surface's own picture (if any) over it.
  void Cls() override;
  void Line(float x1, float y1, float x2, float y2, Colour c) override;
  void Box(float x1, float y1, float x2, float y2, Colour c, bool filled) override;
  void Print(const QString& text, bool lineEnd = true) override;

  // Widths are the advances of the hinted font, whole pixels as on the Windows screen; a text of
  // several lines is as wide as its widest line and as high as all its lines.
  float TextWidth(const QString& text) const override;
  float TextHeight(const QString& text) const override;

  // The picture box's own picture, drawn at (0, 0) over the background by every Cls and
  // SetBackColor, so that a face drawn on (the start clock) survives each clearing. Shown at once;
  // an empty image removes it. Transparent parts show the background colour.
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }

  // The picture as drawn so far.
  const QImage& Image() const;
  // Called after every change while the picture is visible, and when it is shown or resized. A
  // widget passes an update() here.
  void SetChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }
  // Called when the picture is hidden or shown, so that the widget showing it follows.
  void SetVisibilityHandler(std::function<void(bool)> handler) { visibilityChanged_ = std::move(handler); }

  // The font the texts are drawn in, and the height of one line of it.
  const QFont& CurrentFont() const { return font_; }
  int LineHeight() const { return lineHeight_; }

  int scaleMode() const { return scaleMode_; }
  bool autoRedraw() const { return autoRedraw_; }
  int drawMode() const { return drawMode_; }
  int drawStyle() const { return drawStyle_; }
  int drawWidth() const { return drawWidth_; }

 private:
  QPainter& Painter();
  void EndPainting() const;
  void UpdateFont();
  void Changed();
  int Advance(const QString& line) const;

  mutable QImage image_;
  QImage picture_;
  // Kept open between drawing calls: opening a painter for each box would cost more than the box.
  mutable std::unique_ptr<QPainter> painter_;
  bool painterFontSet_ = false;

  QString fontName_;
  float fontPoints_ = 9;
  bool bold_ = false;
  bool italic_ = false;
  bool strikethru_ = false;
  bool underline_ = false;
  QFont font_;
  std::unique_ptr<QFontMetrics> metrics_;
  int lineHeight_ = 0;
  // Texts are measured once per font: line breaking measures a cell's text one character at a
  // time and alignment each line, on every repaint, and shaping a text costs more than drawing it.
  mutable std::array<int, 128> asciiAdvance_{};
  mutable QHash<QString, int> advance_;

  Colour fore_ = 0x000000;
  Colour back_ = 0xFFFFFF;
  float x_ = 0;
  float y_ = 0;
  bool visible_ = true;
  int scaleMode_ = 3;
  bool autoRedraw_ = true;
  int drawMode_ = 13;
  int drawStyle_ = 0;
  int drawWidth_ = 1;
  std::function<void()> changed_;
  std::function<void(bool)> visibilityChanged_;
};

}  // namespace tidewake
