#include "platform/Numeric.h"
#include "platform/Random.h"
#include "sim/RunSupport.h"
#include "sim/mMain.h"

namespace tidewake {

std::int16_t MotorLoss(float sngMotorRentairitu2) {
  std::int16_t span;
  if (sngMotorRentairitu2 >= 60) {
    span = 5;
  } else if (sngMotorRentairitu2 >= 50) {
    span = 10;
  } else if (sngMotorRentairitu2 >= 40) {
    span = 20;
  } else if (sngMotorRentairitu2 >= 30) {
    span = 50;
  } else if (sngMotorRentairitu2 >= 20) {
    span = 100;
  } else {
    span = 200;
  }
  // The loss lies within 0..span, well inside an Integer.
  return static_cast<std::int16_t>(detail::RoundLong(Random().Rnd() * static_cast<float>(span)));
}

}  // namespace tidewake
