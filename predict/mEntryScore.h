#pragma once

#include <array>
#include <cstdint>

// Scoring entry-course predictions against the real entries of races: how many boats were put in
// the course they entered, and in how many races the whole entry was right. Knows nothing of
// files or windows, so any screen or report can count with it.
namespace tidewake::mEntryScore {

// Courses by boat, index 1..6 (index 0 unused). In a real entry 0 means unknown: the boat did
// not start, or the results do not say.
using CourseTable = std::array<std::int16_t, 7>;

// Every boat in its own number's course (枠なり).
CourseTable WakunariCourses();

// Whether every boat with a known course entered in its own number's course. A race where a
// boat did not start and the others moved up a course is not 枠なり.
bool IsWakunari(const CourseTable& real);

// The tally of predictions over races. Only boats whose real course is known are counted; a race
// with no known course at all is not counted. The whole entry is right when every counted boat
// is right. A boat is "moved" when its predicted course is not its number.
struct EntryTally {
  std::int32_t Races = 0;
  std::int32_t Boats = 0;
  std::int32_t BoatsRight = 0;
  std::int32_t WholeRight = 0;
  std::int32_t MovedBoats = 0;  // counted boats predicted off their number
  std::int32_t MovedBoatsRight = 0;
  std::int32_t MovedRaces = 0;  // counted races with at least one moved boat
  std::int32_t MovedRacesRight = 0;

  // Counts one race. A course outside 1..6 in the prediction is simply wrong; one outside 1..6
  // in the real entry counts as unknown.
  void Add(const CourseTable& predicted, const CourseTable& real);
  EntryTally& operator+=(const EntryTally& other);

  // Shares 0..1; 0 when there is nothing to share.
  double BoatShare() const;
  double WholeShare() const;
  double MovedBoatShare() const;
  double MovedRaceShare() const;
};

}  // namespace tidewake::mEntryScore
