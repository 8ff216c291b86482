#pragma once

// What the runs share inside the simulation: skipping a failed statement, pacing a frame, and
// the checks that follow a frame's event pump.

#include "platform/Numeric.h"
#include "platform/RuntimeError.h"

#include <QString>

#include <cstdint>

namespace tidewake::detail {

// The runs carry on past a statement that fails (a control that cannot be moved, a value that
// does not fit): the statement is skipped and the frame goes on.
template <typename F>
void ResumeNext(F&& statement) {
  try {
    statement();
  } catch (const RuntimeError&) {
  }
}

// Conversion to a Long, halves to even, as RoundToLong does, worked inline for the sizes and
// positions of a run (every boat converts them every frame); a value beyond them goes to
// RoundToLong, which reports the overflow.
inline std::int32_t RoundLong(double v) {
  if (v > -1e9 && v < 1e9) {
    // Adding and taking away 1.5 x 2^52 leaves the value rounded to a whole number, halves to
    // even, in the default rounding mode.
    constexpr double kShift = 6755399441055744.0;
    return static_cast<std::int32_t>((v + kShift) - kShift);
  }
  return RoundToLong(v);
}

// Milliseconds from `start` to now on the clock, across the 32-bit counter's wrap.
std::int32_t ElapsedSince(std::int32_t start);

// Reads the counter when a frame begins and waits out the rest of the period when it ends.
class FrameTimer {
 public:
  FrameTimer();
  void WaitRest(std::int32_t period) const;

 private:
  std::int32_t start_;
};

// gintFrame + 1; throws the overflow failure at the 16-bit limit (the count then stays there).
void NextFrame();

// After a frame's pump: true when the run must end now, because the window is closing or the
// user answered Yes to `question`; on No the run goes on and gblnRunning is True again.
bool LeaveAfterPump(const char16_t* question);

}  // namespace tidewake::detail
