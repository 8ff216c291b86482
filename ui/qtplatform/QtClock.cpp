#include "ui/qtplatform/QtClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace tidewake {

QtClock::QtClock() { elapsed_.start(); }

QtClock::~QtClock() { Interrupt(); }

std::int32_t QtClock::Milliseconds() {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(elapsed_.elapsed())));
}

void QtClock::DoEvents() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void QtClock::Wait(std::int32_t ms) {
  if (ms <= 0) return;
  if (!QCoreApplication::instance()) {
    // No event loop to sleep in (a tool without an application): sleep the thread.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  QEventLoop loop;
  // Each Wait has its own loop and timer: a nested Wait's deadline ends only its own loop. The
  // outer loop's timer may fire while the inner one runs; the outer loop then returns as soon as
  // the inner one has.
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(ms);
  const std::shared_ptr<std::vector<QEventLoop*>> loops = loops_;
  loops->push_back(&loop);
  loop.exec();
  loops->erase(std::find(loops->begin(), loops->end(), &loop));
}

void QtClock::Interrupt() {
  for (QEventLoop* loop : *loops_) loop->quit();
}

}  // namespace tidewake
