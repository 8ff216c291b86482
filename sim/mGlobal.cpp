#include "sim/mGlobal.h"

namespace tidewake {

std::array<EntrantType, kBoatCount> gtypEntrant;
std::int16_t gintFrame = 0;
float gsngClock = 0;
bool gblnRunning = false;
bool gblnQuit = false;
std::int16_t gintGoal = 0;
std::array<std::int32_t, 2> glngMarkX = {0, 0};
std::array<std::int32_t, 2> glngMarkY = {0, 0};
std::int32_t glngLineX = 0;
std::int32_t glngPoolWidth = 0;
float gsngPoolHeight = 0;
float gsngClockX = 0;
float gsngClockY = 0;
QString gstrTitle;

}  // namespace tidewake
