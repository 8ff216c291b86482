// The courses of a race: whatever is set by hand, always a permutation of 1..6.

#include "session/CourseTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tidewake;

namespace {

bool IsPermutation(const CourseTable& t) {
  std::array<std::int16_t, 6> c{};
  for (int b = 1; b <= 6; ++b) c[static_cast<std::size_t>(b - 1)] = t.Course(b);
  std::sort(c.begin(), c.end());
  return c == std::array<std::int16_t, 6>{1, 2, 3, 4, 5, 6};
}

}  // namespace

// Any sequence of settings, the out-of-range ones included: the boat takes the course, the boat
// that held it takes the boat's old one, nobody else moves, and the six stay a permutation.
TEST(CourseTable, SettingACourseSwapsAndKeepsAPermutation) {
  std::mt19937 random(20240101);
  std::uniform_int_distribution<int> any(-1, 8);
  CourseTable t;
  for (int step = 0; step < 5000; ++step) {
    const int boat = any(random), course = any(random);
    const CourseTable before = t;
    t.Set(boat, course);
    ASSERT_TRUE(IsPermutation(t)) << step;
    if (boat < 1 || boat > 6 || course < 1 || course > 6) {
      ASSERT_EQ(t, before) << "boat " << boat << " course " << course;
      continue;
    }
    const int displaced = before.BoatIn(course);
    ASSERT_EQ(t.Course(boat), course);
    ASSERT_EQ(t.Course(displaced), before.Course(boat));
    for (int b = 1; b <= 6; ++b) {
      if (b != boat && b != displaced) {
        ASSERT_EQ(t.Course(b), before.Course(b));
      }
      ASSERT_EQ(t.BoatIn(t.Course(b)), b);
    }
  }
}

TEST(CourseTable, APredictionThatIsNoPermutationIsWakunari) {
  EXPECT_TRUE(CourseTable().IsWakunari());
  EXPECT_EQ(CourseTable({2, 1, 3, 4, 5, 6}).Course(1), 2);
  for (const std::array<std::int16_t, 6>& bad :
       {std::array<std::int16_t, 6>{1, 1, 3, 4, 5, 6}, std::array<std::int16_t, 6>{0, 2, 3, 4, 5, 6},
        std::array<std::int16_t, 6>{1, 2, 3, 4, 5, 7}}) {
    EXPECT_TRUE(CourseTable(bad).IsWakunari());
  }
  EXPECT_EQ(CourseTable({3, 1, 2, 4, 5, 6}).ByBoat(), (std::array<std::int16_t, 7>{0, 3, 1, 2, 4, 5, 6}));
  EXPECT_EQ(CourseTable().Course(0), 0);
  EXPECT_EQ(CourseTable().BoatIn(7), 0);
}
