#include "session/CourseTable.h"

#include <algorithm>

namespace tidewake {

namespace {

bool InRange(int n) { return n >= 1 && n <= 6; }

}  // namespace

CourseTable::CourseTable(const std::array<std::int16_t, 6>& byBoat) {
  std::array<std::int16_t, 6> sorted = byBoat;
  std::sort(sorted.begin(), sorted.end());
  if (sorted == std::array<std::int16_t, 6>{1, 2, 3, 4, 5, 6}) course_ = byBoat;
}

std::int16_t CourseTable::Course(int boat) const {
  return InRange(boat) ? course_[static_cast<std::size_t>(boat - 1)] : std::int16_t{0};
}

std::int16_t CourseTable::BoatIn(int course) const {
  for (std::size_t b = 0; b < course_.size(); ++b) {
    if (course_[b] == course) return static_cast<std::int16_t>(b + 1);
  }
  return 0;
}

void CourseTable::Set(int boat, int course) {
  if (!InRange(boat) || !InRange(course)) return;
  const std::int16_t other = BoatIn(course);
  course_[static_cast<std::size_t>(other - 1)] = course_[static_cast<std::size_t>(boat - 1)];
  course_[static_cast<std::size_t>(boat - 1)] = static_cast<std::int16_t>(course);
}

bool CourseTable::IsWakunari() const { return *this == CourseTable(); }

std::array<std::int16_t, 7> CourseTable::ByBoat() const {
  std::array<std::int16_t, 7> out{};
  std::copy(course_.begin(), course_.end(), out.begin() + 1);
  return out;
}

}  // namespace tidewake
