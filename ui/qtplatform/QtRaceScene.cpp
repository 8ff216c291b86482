#include "ui/qtplatform/QtRaceScene.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace tidewake {

int ScenePixel(float v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::clamp(std::nearbyint(static_cast<double>(v)), -30000.0, 30000.0));
}

QtPictureBox::QtPictureBox(int width, int height, QWidget* parent) : QWidget(parent), surface_(width, height) {
  setFixedSize(width, height);
  setAttribute(Qt::WA_OpaquePaintEvent);
  surface_.SetChangeHandler([this] {
    const QSize size(static_cast<int>(surface_.Width()), static_cast<int>(surface_.Height()));
    if (size != this->size()) setFixedSize(size);
    // A picture drawn by the paint under way is shown by that paint.
    if (!painting_) update();
  });
  surface_.SetVisibilityHandler([this](bool on) { setVisible(on); });
}

bool QtPictureBox::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && toolTipAt) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = toolTipAt(static_cast<float>(help->pos().x()), static_cast<float>(help->pos().y()));
    if (text.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
  }
  return QWidget::event(event);
}

void QtPictureBox::DrawAtNextPaint(std::function<void()> draw) {
  pendingDraw_ = std::move(draw);
  update();
}

void QtPictureBox::paintEvent(QPaintEvent* event) {
  if (pendingDraw_) {
    const std::function<void()> draw = std::move(pendingDraw_);
    pendingDraw_ = nullptr;
    painting_ = true;
    draw();
    painting_ = false;
  }
  QPainter p(this);
  p.drawImage(event->rect(), surface_.Image(), event->rect());
}

void QtPictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (onMouseUp) {
    const QPointF at = event->position();
    onMouseUp(event->button(), static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
  QWidget::mouseReleaseEvent(event);
}

void QtPictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (onDoubleClick) {
    const QPointF at = event->position();
    onDoubleClick(event->button(), static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
  QWidget::mouseDoubleClickEvent(event);
}

QtSceneImage::QtSceneImage(const QImage& own, QWidget* parent) : QWidget(parent), own_(own) {
  setFixedSize(own_.size());
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

QtSceneImage::QtSceneImage(const std::vector<QImage>* list, QSize size, QWidget* parent)
    : QWidget(parent), list_(list), item_(1) {
  setFixedSize(size);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QtSceneImage::Move(float left, float top) {
  left_ = left;
  top_ = top;
  move(ScenePixel(left), ScenePixel(top));
}

void QtSceneImage::SetPicture(int item) {
  if (item == item_) return;
  item_ = item;
  update();
}

const QImage* QtSceneImage::Shown() const {
  if (!list_) return &own_;
  if (item_ < 1 || static_cast<std::size_t>(item_) > list_->size()) return nullptr;
  return &(*list_)[static_cast<std::size_t>(item_ - 1)];
}

void QtSceneImage::paintEvent(QPaintEvent*) {
  if (const QImage* image = Shown()) {
    QPainter p(this);
    p.drawImage(0, 0, *image);
  }
}

QtSceneLabel::QtSceneLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  // The announcements are printed in white straight on the water: a white box behind them would
  // hide them.
  setAutoFillBackground(false);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QtSceneLabel::SetForeColor(Colour c) {
  fore_ = c;
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, ToQColor(c));
  setPalette(pal);
}

void QtSceneLabel::Move(float left, float top) {
  left_ = left;
  top_ = top;
  move(ScenePixel(left), ScenePixel(top));
}

}  // namespace tidewake
