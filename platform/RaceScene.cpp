#include "platform/RaceScene.h"

#include "platform/RuntimeError.h"

#include <array>

namespace tidewake {
namespace {

// A picture box that keeps its settings and current position but paints nothing; text is
// measured at 6 by 12 pixels a character, the size of the water's 9-point font.
class HeadlessSurface final : public IDrawSurface {
 public:
  HeadlessSurface(float width, float height) : width_(width), height_(height) {}

  float ScaleWidth() const override { return width_; }
  float ScaleHeight() const override { return height_; }
  float Width() const override { return width_; }
  float Height() const override { return height_; }
  void SetSize(float width, float height) override {
    width_ = width;
    height_ = height;
  }
  void SetScaleMode(int) override {}
  void SetAutoRedraw(bool) override {}
  void SetDrawMode(int) override {}
  void SetDrawStyle(int) override {}
  void SetDrawWidth(int) override {}
  QString FontName() const override { return fontName_; }
  void SetFontName(const QString& name) override { fontName_ = name; }
  float FontSize() const override { return fontSize_; }
  void SetFontSize(float points) override { fontSize_ = points; }
  bool FontBold() const override { return bold_; }
  void SetFontBold(bool on) override { bold_ = on; }
  void SetFontItalic(bool) override {}
  void SetFontStrikethru(bool) override {}
  void SetFontUnderline(bool) override {}
  Colour ForeColor() const override { return fore_; }
  void SetForeColor(Colour c) override { fore_ = c; }
  Colour BackColor() const override { return back_; }
  void SetBackColor(Colour c) override {
    back_ = c;
    Cls();
  }
  float CurrentX() const override { return x_; }
  float CurrentY() const override { return y_; }
  void SetCurrentX(float x) override { x_ = x; }
  void SetCurrentY(float y) override { y_ = y; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool on) override { visible_ = on; }
  void Cls() override { x_ = y_ = 0; }
  void Line(float, float, float x2, float y2, Colour) override {
    x_ = x2;
    y_ = y2;
  }
  void Box(float, float, float x2, float y2, Colour, bool) override {
    x_ = x2;
    y_ = y2;
  }
  void Print(const QString& text, bool lineEnd) override {
    if (lineEnd) {
      x_ = 0;
      y_ += TextHeight(text);
    } else {
      x_ += TextWidth(text);
    }
  }
  float TextWidth(const QString& text) const override { return 6.0f * static_cast<float>(text.size()); }
  float TextHeight(const QString&) const override { return 12.0f; }

 private:
  float width_, height_;
  QString fontName_ = QStringLiteral("ＭＳ ゴシック");
  float fontSize_ = 9;
  bool bold_ = false;
  Colour fore_ = 0;
  Colour back_ = 0xC0A000;
  float x_ = 0, y_ = 0;
  bool visible_ = true;
};

class HeadlessLabel final : public ISceneLabel {
 public:
  QString Caption() const override { return caption_; }
  void SetCaption(const QString& text) override { caption_ = text; }
  Colour ForeColor() const override { return fore_; }
  void SetForeColor(Colour c) override { fore_ = c; }
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return 233; }
  float Height() const override { return 15; }
  void Move(float left, float top) override {
    left_ = left;
    top_ = top;
  }
  bool Visible() const override { return visible_; }
  void SetVisible(bool on) override { visible_ = on; }

 private:
  QString caption_ = QStringLiteral("スタート");
  Colour fore_ = 0x0000FF;
  float left_ = 292, top_ = 188;
  bool visible_ = true;
};

class HeadlessImage final : public ISceneImage {
 public:
  HeadlessImage(float width, float height) : width_(width), height_(height) {}
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return width_; }
  float Height() const override { return height_; }
  void Move(float left, float top) override {
    left_ = left;
    top_ = top;
  }
  bool Visible() const override { return visible_; }
  void SetVisible(bool on) override { visible_ = on; }
  int Picture() const override { return picture_; }
  void SetPicture(int item) override { picture_ = item; }

 private:
  float width_, height_;
  float left_ = 0, top_ = 0;
  bool visible_ = true;
  int picture_ = 0;
};

class HeadlessScene final : public IRaceScene {
 public:
  IDrawSurface& picPool() override { return pool_; }
  IDrawSurface& picClock() override { return clock_; }
  void MoveClock(float, float) override {}
  ISceneLabel& lblStart() override { return label_; }
  ISceneImage& imgTurnMark(int index) override {
    CheckIndex(QStringLiteral("imgTurnMark"), index, 0, 1);
    return marks_[static_cast<std::size_t>(index)];
  }
  ISceneImage& imgRaceBoat(int index) override {
    CheckIndex(QStringLiteral("imgRaceBoat"), index, 0, 5);
    return boats_[static_cast<std::size_t>(index)];
  }
  std::int16_t SelectedJyoCode() const override { return 0; }
  QString RaceNoText() const override { return QString(); }
  void Unload() override {}

 private:
  HeadlessSurface pool_{828, 400};
  HeadlessSurface clock_{88, 99};
  HeadlessLabel label_;
  std::array<HeadlessImage, 2> marks_{HeadlessImage(16, 32), HeadlessImage(16, 32)};
  std::array<HeadlessImage, 6> boats_{HeadlessImage(33, 33), HeadlessImage(33, 33), HeadlessImage(33, 33),
                                      HeadlessImage(33, 33), HeadlessImage(33, 33), HeadlessImage(33, 33)};
};

IRaceScene* gScene = nullptr;

HeadlessScene& Fallback() {
  static HeadlessScene scene;
  return scene;
}

}  // namespace

IRaceScene& RaceScene() { return gScene ? *gScene : Fallback(); }

IRaceScene* SetRaceScene(IRaceScene* scene) {
  IRaceScene* old = gScene;
  gScene = scene;
  return old;
}

}  // namespace tidewake
