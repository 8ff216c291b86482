#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace tidewake {
namespace {

class SteadyClock final : public IClock {
 public:
  std::int32_t Milliseconds() override {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
  }
  void DoEvents() override {}
  void Wait(std::int32_t ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

SteadyClock gSteady;
IClock* gClock = nullptr;

}  // namespace

IClock& Clock() { return gClock ? *gClock : gSteady; }

IClock* SetClock(IClock* clock) {
  IClock* old = gClock;
  gClock = clock;
  return old;
}

}  // namespace tidewake
