#pragma once

namespace tidewake {

// The random numbers of the runs: uniform in [0, 1), reseeded from the clock when a run begins.
class IRandom {
 public:
  virtual ~IRandom() = default;
  // A uniform single-precision number in [0, 1).
  virtual float Rnd() = 0;
  // Reseeds from the clock.
  virtual void Randomize() = 0;
};

// The installed generator; a Mersenne Twister seeded from the clock until another is installed
// (tests install a scripted sequence).
IRandom& Random();
IRandom* SetRandom(IRandom* random);

}  // namespace tidewake
