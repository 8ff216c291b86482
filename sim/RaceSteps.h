#pragma once

// One boat's work in one frame of a run, on its own so that it can be exercised with a state
// set up by hand. The runs call these for boats 0..5 in order, every frame.

#include <array>
#include <cstdint>

namespace tidewake::detail {

// Race: flying and late boats leave the water at frame 12; finished boats cruise; the others
// enter, go through or leave a turn, or run straight (laps, finishing time, start leg, swing).
void RaceBoatStep(std::int16_t b);

// Exhibition: the boat sets off in its frame, turns in style 1 and counts its passes; its best
// straight speed is kept in sngMaxSpeed.
void TestBoatStep(std::int16_t b, std::array<float, 6>& sngMaxSpeed);

}  // namespace tidewake::detail
