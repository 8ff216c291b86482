#include "predict/mEntryScore.h"

namespace tidewake::mEntryScore {

namespace {

constexpr int kBoats = 6;

bool ValidCourse(std::int16_t c) { return c >= 1 && c <= kBoats; }

double Share(std::int32_t part, std::int32_t whole) {
  return whole == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(whole);
}

}  // namespace

CourseTable WakunariCourses() {
  CourseTable t{};
  for (int b = 1; b <= kBoats; ++b) t[static_cast<std::size_t>(b)] = static_cast<std::int16_t>(b);
  return t;
}

bool IsWakunari(const CourseTable& real) {
  for (int b = 1; b <= kBoats; ++b) {
    const std::int16_t c = real[static_cast<std::size_t>(b)];
    if (ValidCourse(c) && c != b) return false;
  }
  return true;
}

void EntryTally::Add(const CourseTable& predicted, const CourseTable& real) {
  int boats = 0, right = 0, moved = 0, movedRight = 0;
  for (int b = 1; b <= kBoats; ++b) {
    const auto i = static_cast<std::size_t>(b);
    if (!ValidCourse(real[i])) continue;
    const bool ok = predicted[i] == real[i];
    ++boats;
    right += ok ? 1 : 0;
    if (predicted[i] != b) {
      ++moved;
      movedRight += ok ? 1 : 0;
    }
  }
  if (boats == 0) return;
  const bool whole = right == boats;
  ++Races;
  Boats += boats;
  BoatsRight += right;
  WholeRight += whole ? 1 : 0;
  MovedBoats += moved;
  MovedBoatsRight += movedRight;
  if (moved > 0) {
    ++MovedRaces;
    MovedRacesRight += whole ? 1 : 0;
  }
}

EntryTally& EntryTally::operator+=(const EntryTally& o) {
  Races += o.Races;
  Boats += o.Boats;
  BoatsRight += o.BoatsRight;
  WholeRight += o.WholeRight;
  MovedBoats += o.MovedBoats;
  MovedBoatsRight += o.MovedBoatsRight;
  MovedRaces += o.MovedRaces;
  MovedRacesRight += o.MovedRacesRight;
  return *this;
}

double EntryTally::BoatShare() const { return Share(BoatsRight, Boats); }
double EntryTally::WholeShare() const { return Share(WholeRight, Races); }
double EntryTally::MovedBoatShare() const { return Share(MovedBoatsRight, MovedBoats); }
double EntryTally::MovedRaceShare() const { return Share(MovedRacesRight, MovedRaces); }

}  // namespace tidewake::mEntryScore
