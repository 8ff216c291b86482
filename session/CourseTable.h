#pragma once

#include <array>
#include <cstdint>

namespace tidewake {

// The entry course of each of the six boats: the one place a race's courses live. Always a
// permutation of 1..6, so that no boat is hidden under another in a run.
class CourseTable {
 public:
  // 枠なり: every boat in its own number's course.
  CourseTable() = default;
  // The courses by boat (index boat - 1); 枠なり when they are not a permutation of 1..6.
  explicit CourseTable(const std::array<std::int16_t, 6>& byBoat);

  // The course of boat 1..6; 0 for another number.
  std::int16_t Course(int boat) const;
  // The boat in course 1..6; 0 for another number.
  std::int16_t BoatIn(int course) const;
  // Puts boat 1..6 in course 1..6; the boat that held that course takes the boat's old one.
  // Anything outside 1..6 changes nothing.
  void Set(int boat, int course);
  bool IsWakunari() const;
  // By boat number at index 1..6 (index 0 is 0), as the win model takes them.
  std::array<std::int16_t, 7> ByBoat() const;

  bool operator==(const CourseTable&) const = default;

 private:
  std::array<std::int16_t, 6> course_{1, 2, 3, 4, 5, 6};
};

}  // namespace tidewake
