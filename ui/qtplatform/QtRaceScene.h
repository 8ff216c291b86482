#pragma once

// The widgets a run moves and draws on: a picture box showing a QtDrawSurface (the water, the
// start clock, the race card), the pictures on the water (turn marks, boats) and the label over
// it. Positions are kept as the floats the run gives and shown at the nearest pixel; "visible"
// is the control's own setting, whether or not its window is on screen yet.

#include "platform/RaceScene.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QImage>
#include <QLabel>
#include <QWidget>

#include <functional>
#include <vector>

namespace tidewake {

class QtPictureBox : public QWidget {
 public:
  QtPictureBox(int width, int height, QWidget* parent);

  QtDrawSurface& Surface() { return surface_; }
  const QtDrawSurface& Surface() const { return surface_; }

  // A mouse button released over the picture, at the picture's pixel.
  std::function<void(Qt::MouseButton, float, float)> onMouseUp;
  // A button double-clicked over the picture, at the picture's pixel.
  std::function<void(Qt::MouseButton, float, float)> onDoubleClick;
  // The tooltip for the point of the picture where the pointer rests; empty for none.
  std::function<QString(float, float)> toolTipAt;
  // Draws the picture by the next paint instead of now (a later call replaces an earlier one):
  // what is drawn before the window is first shown is drawn by the paint that shows it.
  void DrawAtNextPaint(std::function<void()> draw);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QtDrawSurface surface_;
  std::function<void()> pendingDraw_;
  bool painting_ = false;
};

class QtSceneImage final : public QWidget, public ISceneImage {
 public:
  // A control with its own picture (a turn mark): Picture() stays 0.
  QtSceneImage(const QImage& own, QWidget* parent);
  // A control that shows items of a picture list (a boat), counted from 1; it starts on item 1.
  QtSceneImage(const std::vector<QImage>* list, QSize size, QWidget* parent);

  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return static_cast<float>(width()); }
  float Height() const override { return static_cast<float>(height()); }
  void Move(float left, float top) override;
  bool Visible() const override { return !isHidden(); }
  void SetVisible(bool on) override { setVisible(on); }
  int Picture() const override { return item_; }
  void SetPicture(int item) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QImage* Shown() const;

  QImage own_;
  const std::vector<QImage>* list_ = nullptr;
  int item_ = 0;
  float left_ = 0, top_ = 0;
};

class QtSceneLabel final : public QLabel, public ISceneLabel {
 public:
  QtSceneLabel(const QString& caption, QWidget* parent);

  QString Caption() const override { return text(); }
  void SetCaption(const QString& text) override { setText(text); }
  Colour ForeColor() const override { return fore_; }
  void SetForeColor(Colour c) override;
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return static_cast<float>(width()); }
  float Height() const override { return static_cast<float>(height()); }
  void Move(float left, float top) override;
  bool Visible() const override { return !isHidden(); }
  void SetVisible(bool on) override { setVisible(on); }

 private:
  Colour fore_ = 0;
  float left_ = 0, top_ = 0;
};

// The nearest pixel of a run's coordinate, kept within what a widget can be moved to.
int ScenePixel(float v);

}  // namespace tidewake
