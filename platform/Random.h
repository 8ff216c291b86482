#pragma once

#include <cstdint>

namespace tidewake {

// The generator behind the runs' random numbers: PCG-XSH-RR 64/32, small and fast with good
// statistical quality. A race draws thousands of numbers, so the generator's cost shows in it.
class Pcg32 {
 public:
  explicit Pcg32(std::uint64_t seed = 0x853c49e6748fea9bULL) { Seed(seed); }

  void Seed(std::uint64_t seed) {
    state_ = 0;
    Next();
    state_ += seed;
    Next();
  }

  std::uint32_t Next() {
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + kIncrement;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
  }

  // Uniform in [0, 1): 24 random bits give every float on the grid of 2^-24, and never 1.
  float NextSingle() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }

 private:
  static constexpr std::uint64_t kIncrement = 1442695040888963407ULL;
  std::uint64_t state_ = 0;
};

// The random numbers of the runs: uniform in [0, 1), reseeded from the clock when a run begins.
class IRandom {
 public:
  virtual ~IRandom() = default;
  // A uniform single-precision number in [0, 1).
  virtual float Rnd() = 0;
  // Reseeds from the clock.
  virtual void Randomize() = 0;
};

// The installed generator; a Pcg32 seeded from the clock until another is installed (tests
// install a scripted sequence).
IRandom& Random();
IRandom* SetRandom(IRandom* random);

}  // namespace tidewake
