#pragma once

#include <QString>

#include <cstdint>

namespace tidewake {

// Colours are 24-bit numbers with red in the lowest byte (0x0000FF red, 0xFF0000 blue). A value
// with the top bit set names a system colour: 0x80000010 is the button-shadow colour.
using Colour = std::uint32_t;

inline constexpr Colour kSystemColourFlag = 0x80000000u;
inline constexpr Colour kButtonShadow = 0x80000010u;

constexpr bool IsSystemColour(Colour c) { return (c & kSystemColourFlag) != 0; }
constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// A picture box: a persistent image that is drawn on and shown. The grid paints the race card on
// one, the simulation the water and the start clock. Coordinates and sizes are pixels (the only
// scale the program uses); X grows to the right, Y downwards.
//
// Text is printed at the current position (CurrentX, CurrentY) with the current font and fore
// colour: the text's top-left corner is at that point. Print with a line end moves the current
// position to X 0 of the next line (Y grows by the text height); without it, X moves past the
// text. Line and Box leave the current position at their second point.
class IDrawSurface {
 public:
  virtual ~IDrawSurface() = default;

  // Size of the drawing area.
  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;
  // Outer size of the picture box; setting it resizes the drawing area too.
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual void SetSize(float width, float height) = 0;

  // The settings a picture box is given before it is drawn on. Only the pixel scale (3), copy pen
  // (13), solid lines (0) and a pen of width 1 are used.
  virtual void SetScaleMode(int mode) = 0;
  virtual void SetAutoRedraw(bool on) = 0;
  virtual void SetDrawMode(int mode) = 0;
  virtual void SetDrawStyle(int style) = 0;
  virtual void SetDrawWidth(int width) = 0;

  virtual QString FontName() const = 0;
  virtual void SetFontName(const QString& name) = 0;
  virtual float FontSize() const = 0;
  virtual void SetFontSize(float points) = 0;
  virtual bool FontBold() const = 0;
  virtual void SetFontBold(bool on) = 0;
  virtual void SetFontItalic(bool on) = 0;
  virtual void SetFontStrikethru(bool on) = 0;
  virtual void SetFontUnderline(bool on) = 0;

  virtual Colour ForeColor() const = 0;
  virtual void SetForeColor(Colour c) = 0;
  virtual Colour BackColor() const = 0;
  // Setting the background also clears the picture to it, as a picture box does.
  virtual void SetBackColor(Colour c) = 0;

  virtual float CurrentX() const = 0;
  virtual float CurrentY() const = 0;
  virtual void SetCurrentX(float x) = 0;
  virtual void SetCurrentY(float y) = 0;

  virtual bool Visible() const = 0;
  virtual void SetVisible(bool on) = 0;

  // Clears the picture to the background colour; the current position goes to (0, 0).
  virtual void Cls() = 0;
  // A line from (x1, y1) to (x2, y2).
  virtual void Line(float x1, float y1, float x2, float y2, Colour c) = 0;
  // A box with corners (x1, y1) and (x2, y2), both edges included: outlined, or filled.
  virtual void Box(float x1, float y1, float x2, float y2, Colour c, bool filled) = 0;
  virtual void Print(const QString& text, bool lineEnd = true) = 0;

  virtual float TextWidth(const QString& text) const = 0;
  virtual float TextHeight(const QString& text) const = 0;

  // Handles of the underlying window and drawing context, where the platform has them (0 here).
  virtual std::intptr_t WindowHandle() const { return 0; }
  virtual std::intptr_t DeviceContext() const { return 0; }
};

}  // namespace tidewake
