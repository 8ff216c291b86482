#pragma once

// Drives a modal dialog from inside its own event loop: a short timer looks for the dialog once
// it is up, and hands it to the test, which checks it and answers it. The driver stops looking
// when it goes out of scope, so a dialog that never came up fails the test instead of hanging it.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tidewake::test {

template <typename Dialog>
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(Dialog*)> act) : act_(std::move(act)) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  ~DialogDriver() { timer_.stop(); }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  bool acted() const { return acted_; }

 private:
  void Poll() {
    Dialog* found = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!found) {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<Dialog*>(w);
        if (d && d->isVisible()) found = d;
      }
    }
    if (!found) return;
    timer_.stop();
    acted_ = true;
    act_(found);
  }

  std::function<void(Dialog*)> act_;
  QTimer timer_;
  bool acted_ = false;
};

}  // namespace tidewake::test
