#pragma once

#include "platform/DrawSurface.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tidewake {

// ---- Venue and boat tables ------------------------------------------------------------------

// The venue's name by its code 1..24 ("桐生" .. "大村"); any other code gives an empty text.
QString JyoNameGet(std::int16_t intJyoCode);

// The colour of boat 1..6 on the race card: the background when `blnBackColor`, else the text
// colour. Nothing for a boat outside 1..6.
std::optional<Colour> BoatColor(std::int16_t intWakuNo, bool blnBackColor);

// ---- Sorting --------------------------------------------------------------------------------

namespace detail {
// The sort counts with 16-bit counters: the last index must stay below 32767 so that the inner
// counter can step past it. Shows the sort's failure box and answers false when it would not.
bool SortCountersCover(std::size_t count);
}  // namespace detail

// Sorts ascending in place by numeric comparison: each element is compared with every later one
// and the two are exchanged when the first is greater, so two equal elements are never exchanged
// with each other (the sort is not stable, though: an exchange with a third can pass one over the
// other). An array too long for the sort's 16-bit counters is reported in a
// box titled "BubbleSortVariantArray" and left exactly as it was.
template <typename T, std::size_t N>
void BubbleSortVariantArray(std::span<T, N> vntArray) {
  if (!detail::SortCountersCover(vntArray.size())) return;
  const std::int16_t lower = 0;
  const auto upper = static_cast<std::int16_t>(static_cast<std::int32_t>(vntArray.size()) - 1);
  for (std::int16_t i = lower; i <= upper - 1; ++i) {
    for (auto j = static_cast<std::int16_t>(i + 1); j <= upper; ++j) {
      if (vntArray[static_cast<std::size_t>(i)] > vntArray[static_cast<std::size_t>(j)]) {
        T temp = vntArray[static_cast<std::size_t>(i)];
        vntArray[static_cast<std::size_t>(i)] = vntArray[static_cast<std::size_t>(j)];
        vntArray[static_cast<std::size_t>(j)] = temp;
      }
    }
  }
}

// ---- The scene and the speed model ----------------------------------------------------------

// Prepares the water for a run: reads its size, sets the marks and the line, places the label,
// the marks and the clock, draws the course and puts every boat back at the line in its own
// lane, facing right, nothing finished. A step that fails is skipped and the next one runs.
void PoolInit();

// Waits `lngMilliseconds` on the clock while the window's events go through; a zero or negative
// time returns at once.
void WaitTime(std::int32_t lngMilliseconds);

// Engine revolutions of a throttle notch 0..9 (any other notch: 7000).
std::int16_t GearToRpm(std::int16_t intGear);
// A random loss of revolutions, the larger the poorer the motor's 2-place rate.
std::int16_t MotorLoss(float sngMotorRentairitu2);
// Speed in km/h at `intRpm` for a racer of `sngWeight` kg.
float BoatSpeed(std::int16_t intRpm, float sngWeight);
// km/h to metres per second, used as the distance a boat moves in one frame.
float KmhToMs(float sngKmh);
// Degrees to radians with the constant 3.14.
float DegToRad(float sngDeg);

// Shows picture `intPictureNo` (1..6) of boat `intIndex` (0..5).
void BoatPictureSet(std::int16_t intIndex, std::int16_t intPictureNo);
// Redraws the start clock's hand for the run clock.
void ClockDraw();
// Prints the header on the water: venue, race, meeting title and the six names.
void PoolTitleDraw();

// ---- The race ---------------------------------------------------------------------------------

// Places the boats behind the line by their entry courses for the run-up.
void StartPosition();
// The race command's run: header, entry, the twenty-step run-up and its verdicts, then the race
// itself. Returns when all is over, was stopped, or the window closes. The frame period is read
// from `lngWaitTime` every frame (250 or 100 ms).
void RaceStart(std::int32_t& lngWaitTime);
// The race from the start line to the result table; called by RaceStart.
void RaceRun(std::int32_t& lngWaitTime);

// Whether boat `intIndex`, running straight, begins its turn now.
bool TurnPointCheck(std::int16_t intIndex);
// The turn style 1..4, by win rate and chance.
std::int16_t TurnTypeChoose(std::int16_t intIndex);
// Advances the turn's angle and notch by its style, and holds the turn until the mark is passed.
void TurnStep(std::int16_t intIndex);
void TurnStep1(std::int16_t intIndex);
void TurnStep2(std::int16_t intIndex);
void TurnStep3(std::int16_t intIndex);
void TurnStep4(std::int16_t intIndex);
// The random loss of speed in a turn, the larger the poorer the win rate.
float TurnLoss(std::int16_t intIndex);
// The first other boat met in a turn at (sngX, sngY), or -1.
std::int16_t TurnHitCheck(std::int16_t intIndex, float sngX, float sngY);
// The first other boat overlapped on the straight at (sngX, sngY), or -1.
std::int16_t HitCheck(std::int16_t intIndex, float sngX, float sngY);

// ---- The exhibition run -----------------------------------------------------------------------

// The exhibition command's run: the boats set off one after another, go round both marks and
// back past the line, and the exhibition times are announced.
void TestRun(std::int32_t& lngWaitTime);

// ---- Result tables ----------------------------------------------------------------------------

// Gives the finishers their places "1".."6" by finishing time; equal times go to the lower boat.
void ChakujunSet();
// A race time as minutes, seconds and tenths: 109.84 gives "1:49:8".
QString TimeFormat(float sngTime);
// Assigns the places and prints the confirmed result on the water.
void ResultShow();
// Prints the exhibition times from each boat's highest straight speed.
void TestTimeShow(std::array<float, 6>& sngMaxSpeed);

// ---- The speed model's arithmetic, inline: every boat works it out every frame ------------------
// Single values are kept as float. Where an expression has a fractional constant it is worked
// in double, as the program's arithmetic widens there, and the result is stored as float.

inline std::int16_t GearToRpm(std::int16_t intGear) {
  constexpr std::int16_t kRpm[] = {200, 1100, 2200, 3300, 4400, 5500, 6600, 6000, 6600};
  return intGear >= 0 && intGear <= 8 ? kRpm[intGear] : std::int16_t{7000};
}

inline float BoatSpeed(std::int16_t intRpm, float sngWeight) {
  float load = static_cast<float>(static_cast<double>(sngWeight) * 1.0625 / 50);
  if (load < 1.03f) load = 1.03f;
  if (load > 1.1f) load = 1.1f;
  return static_cast<float>(216.0 / 10 * intRpm * 60 / 100000 / load);
}

inline float KmhToMs(float sngKmh) { return sngKmh * 1000.0f / 3600.0f; }

inline float DegToRad(float sngDeg) { return static_cast<float>(3.14 / 180 * sngDeg); }

// ---- Captions and messages --------------------------------------------------------------------

inline constexpr char16_t kRaceStopQuestion[] = u"レースを中止しますか。";
inline constexpr char16_t kTestStopQuestion[] = u"展示航走を中止しますか。";
inline constexpr char16_t kStoppedByUser[] = u"ユーザによって中止されました";

}  // namespace tidewake
