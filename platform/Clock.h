#pragma once

#include <cstdint>

namespace tidewake {

// The millisecond counter that paces the runs, and the window's event queue. A run of the
// simulation is one blocking procedure on the window's thread: it lets pending events through
// once a frame (DoEvents) and waits the rest of the frame out (Wait). The window installs a Qt
// clock that sleeps in the event loop; tests install a virtual clock that advances when waited on.
class IClock {
 public:
  virtual ~IClock() = default;
  // Milliseconds since some fixed moment; wraps like a 32-bit counter.
  virtual std::int32_t Milliseconds() = 0;
  // Lets pending window events through, then returns.
  virtual void DoEvents() = 0;
  // Blocks for `ms` milliseconds (nothing when ms <= 0) while letting window events through as
  // they come. It may return early when an event arrives; callers that need the full time wait
  // again for the rest. It never spins the processor.
  virtual void Wait(std::int32_t ms) = 0;
  // Ends a Wait in progress at once, so that a run sees Escape or a closing window without
  // sleeping out its frame. Clocks that do not sleep have nothing to end.
  virtual void Interrupt() {}
};

// The installed clock; a steady clock that sleeps the thread is installed until the window
// installs its own.
IClock& Clock();
IClock* SetClock(IClock* clock);

}  // namespace tidewake
