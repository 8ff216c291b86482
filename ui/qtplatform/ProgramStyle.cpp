#include "ui/qtplatform/ProgramStyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

#include <functional>
#include <optional>

namespace tidewake {
namespace {

// An icon whose pictures are made by `load` the first time anything asks about them.
class DeferredIconEngine final : public QIconEngine {
 public:
  explicit DeferredIconEngine(std::function<QIcon()> load) : load_(std::move(load)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    return Icon().pixmap(size, scale, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Icon().availableSizes(mode, state);
  }
  bool isNull() override { return Icon().isNull(); }
  QString key() const override { return QStringLiteral("DeferredIconEngine"); }
  QIconEngine* clone() const override {
    auto* copy = new DeferredIconEngine(load_);
    copy->icon_ = icon_;
    return copy;
  }

 private:
  const QIcon& Icon() {
    if (!icon_) icon_ = load_();
    return *icon_;
  }
  std::function<QIcon()> load_;
  std::optional<QIcon> icon_;
};

}  // namespace

ProgramStyle::ProgramStyle() = default;

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
  if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton) {
    return QProxyStyle::standardIcon(icon, option, widget);
  }
  // The arrow points the way the text runs; the direction is taken now, the pictures later.
  const Qt::LayoutDirection direction =
      option ? option->direction : (widget ? widget->layoutDirection() : QGuiApplication::layoutDirection());
  const QPointer<const QStyle> base = baseStyle();
  return QIcon(new DeferredIconEngine([base, icon, direction] {
    QStyleOption way;
    way.direction = direction;
    return base ? base->standardIcon(icon, &way, nullptr) : QIcon();
  }));
}

void InstallProgramStyle() {
  // Marked on the application, not looked up through QApplication::style(), which would make
  // the default style only for it to be replaced.
  static const char* const kInstalled = "tidewakeProgramStyle";
  if (!qApp || qApp->property(kInstalled).toBool()) return;
  QApplication::setStyle(new ProgramStyle());
  qApp->setProperty(kInstalled, true);
}

}  // namespace tidewake
