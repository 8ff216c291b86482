#include "platform/Random.h"

#include <chrono>

namespace tidewake {
namespace {

class ClockSeededRandom final : public IRandom {
 public:
  ClockSeededRandom() { Randomize(); }
  float Rnd() override { return engine_.NextSingle(); }
  void Randomize() override {
    engine_.Seed(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  }

 private:
  Pcg32 engine_;
};

IRandom* gRandom = nullptr;

ClockSeededRandom& Fallback() {
  static ClockSeededRandom r;
  return r;
}

}  // namespace

IRandom& Random() { return gRandom ? *gRandom : Fallback(); }

IRandom* SetRandom(IRandom* random) {
  IRandom* old = gRandom;
  gRandom = random;
  return old;
}

}  // namespace tidewake
