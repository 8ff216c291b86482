#include "platform/Random.h"

#include <chrono>
#include <random>

namespace tidewake {
namespace {

class TwisterRandom final : public IRandom {
 public:
  TwisterRandom() { Randomize(); }
  float Rnd() override {
    // 24 random bits give every float of [0, 1) on the grid of 2^-24, and never 1.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
  }
  void Randomize() override {
    engine_.seed(static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  }

 private:
  std::mt19937 engine_;
};

IRandom* gRandom = nullptr;

TwisterRandom& Fallback() {
  static TwisterRandom r;
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
