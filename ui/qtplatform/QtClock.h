#pragma once

// The clock and event queue on Qt. A run paces its frames with Wait, which sleeps in a nested
// event loop until a precise timer at the frame's deadline ends it: window events (Escape, the
// close button, repaints) are delivered meanwhile and the processor stays idle.

#include "platform/Clock.h"

#include <QElapsedTimer>

#include <memory>
#include <vector>

class QEventLoop;

namespace tidewake {

class QtClock final : public IClock {
 public:
  QtClock();
  ~QtClock() override;
  QtClock(const QtClock&) = delete;
  QtClock& operator=(const QtClock&) = delete;

  // Milliseconds since the clock was made, wrapping like a 32-bit counter.
  std::int32_t Milliseconds() override;
  // Delivers the events pending now and returns.
  void DoEvents() override;
  // Sleeps ms milliseconds in the event loop (returns at once for ms <= 0), or less when
  // Interrupt is called meanwhile. A Wait entered from an event delivered during another Wait
  // keeps its own deadline; the outer one still ends at its own.
  void Wait(std::int32_t ms) override;

  // Ends every Wait in progress at once, so that a run sees Escape or the closing window without
  // sleeping out its frame. Does nothing when no Wait is in progress; the next Wait sleeps in full.
  void Interrupt() override;
  // True while a Wait is sleeping (at any depth).
  bool Waiting() const { return !loops_->empty(); }

 private:
  QElapsedTimer elapsed_;
  // The loops of the Waits in progress, outermost first. Shared with each Wait, so that a Wait
  // whose clock was destroyed by an event it delivered still returns safely.
  std::shared_ptr<std::vector<QEventLoop*>> loops_ = std::make_shared<std::vector<QEventLoop*>>();
};

}  // namespace tidewake
