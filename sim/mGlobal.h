#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace tidewake {

// One boat of a run. Positions are the boat picture's top-left corner in the water's pixels;
// speeds are pixels per frame. The window's EntrantDataSet fills Weight, the four rates, Course
// and Name from the card before each run; everything else belongs to the simulation.
struct EntrantType {
  float X = 0;
  float Y = 0;
  float Width = 0;
  float Height = 0;
  std::int16_t Gear = 0;       // throttle notch 0..9
  float GoalTime = 0;          // race: clock at the finish line, interpolated; exhibition: clock at the end
  float StTime = 0;            // frames the nose still needed at the 19th start step; negative when past the line
  std::int16_t AccelStep = 0;  // start step from which the boat opens the throttle
  float Speed = 0;
  std::int16_t PictureNo = 0;  // 1..6: 1 heading right, 4 heading left, the others turning
  std::int16_t Direction = 0;  // +1 running right, -1 running left
  std::int16_t TurnType = 0;   // 0 straight, 1..4 turning in that style
  float Angle = 0;             // degrees turned so far in the current turn
  std::int16_t Course = 0;     // entry course 1..6
  std::int16_t Lap = 0;        // race: finish-line crossings; exhibition: passes
  QString Result;              // "" running, "F" flying, "L" late, or the place "1".."6"
  float Syoritu = 0;           // national win rate
  float Rentairitu2 = 0;       // racer's 2-place rate, percent
  float MotorRentairitu2 = 0;  // motor's 2-place rate, percent
  float BoatRentairitu2 = 0;   // boat's 2-place rate, percent
  float Weight = 0;            // kg, never below 50
  QString Name;
};

inline constexpr int kBoatCount = 6;

// The six boats; index = boat number - 1.
extern std::array<EntrantType, kBoatCount> gtypEntrant;

extern std::int16_t gintFrame;  // frames since the current run began
extern float gsngClock;         // run clock, seconds of the animated race
// True while a run goes on; the window's Escape command clears it and the run asks whether to stop.
extern bool gblnRunning;
// True once the window is closing; a run ends at its next check.
extern bool gblnQuit;
// Boats out of the run (flying, late, finished); once all six are out it counts frames on.
extern std::int16_t gintGoal;
extern std::array<std::int32_t, 2> glngMarkX;  // turn mark 0 (right of the line) and 1 (left)
extern std::array<std::int32_t, 2> glngMarkY;  // both on the course's centre line
extern std::int32_t glngLineX;                 // the start and finish line
extern std::int32_t glngPoolWidth;
extern float gsngPoolHeight;
extern float gsngClockX;  // centre of the start clock picture
extern float gsngClockY;
extern QString gstrTitle;  // meeting title, printed in the header on the water

}  // namespace tidewake
