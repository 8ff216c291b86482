// Scoring predictions against real entries: which boats count, when a whole entry is right, and
// what counts as a move.

#include "predict/mEntryScore.h"

#include <gtest/gtest.h>

using namespace tidewake::mEntryScore;

namespace {

// Courses by boat from six digits ("123465"); 0 for unknown.
CourseTable T(const char* digits) {
  CourseTable t{};
  for (std::size_t b = 1; b <= 6; ++b) t[b] = static_cast<std::int16_t>(digits[b - 1] - '0');
  return t;
}

}  // namespace

TEST(EntryScore, OneRaceAtATime) {
  struct Case {
    const char* predicted;
    const char* real;
    std::int32_t boats, right, whole, moved, movedRight, movedRaces, movedRacesRight;
  };
  const Case cases[] = {
      {"123456", "123456", 6, 6, 1, 0, 0, 0, 0},
      {"123465", "123465", 6, 6, 1, 2, 2, 1, 1},  // a right move
      {"123465", "123456", 6, 4, 0, 2, 0, 1, 0},  // a wrong move
      {"123456", "123465", 6, 4, 0, 0, 0, 0, 0},  // a missed move
      {"412356", "213456", 6, 3, 0, 4, 1, 1, 0},  // courses by boat: of the four moves only boat 2 is right
      // Boat 5 did not start and boat 6 moved up: only five boats count.
      {"123456", "123405", 5, 4, 0, 0, 0, 0, 0},
      {"123465", "123405", 5, 5, 1, 1, 1, 1, 1},  // boat 5's move is not counted, boat 6's is
      {"123456", "123400", 4, 4, 1, 0, 0, 0, 0},
      // A course outside 1..6 is wrong in a prediction and unknown in a result.
      {"723456", "123456", 6, 5, 0, 1, 0, 1, 0},
      {"123456", "923456", 5, 5, 1, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.predicted << " against " << c.real);
    EntryTally t;
    t.Add(T(c.predicted), T(c.real));
    EXPECT_EQ(t.Races, 1);
    EXPECT_EQ(t.Boats, c.boats);
    EXPECT_EQ(t.BoatsRight, c.right);
    EXPECT_EQ(t.WholeRight, c.whole);
    EXPECT_EQ(t.MovedBoats, c.moved);
    EXPECT_EQ(t.MovedBoatsRight, c.movedRight);
    EXPECT_EQ(t.MovedRaces, c.movedRaces);
    EXPECT_EQ(t.MovedRacesRight, c.movedRacesRight);
  }
}

TEST(EntryScore, ARaceWithNoKnownCourseIsNotCounted) {
  EntryTally t;
  t.Add(T("123456"), T("000000"));
  t.Add(T("654321"), T("000000"));
  EXPECT_EQ(t.Races, 0);
  EXPECT_EQ(t.Boats, 0);
  EXPECT_EQ(t.BoatShare(), 0.0);
  EXPECT_EQ(t.WholeShare(), 0.0);
  EXPECT_EQ(t.MovedBoatShare(), 0.0);
  EXPECT_EQ(t.MovedRaceShare(), 0.0);
}

TEST(EntryScore, TalliesAddUpAndShareOut) {
  EntryTally a, b;
  a.Add(T("123456"), T("123456"));
  a.Add(T("123465"), T("123456"));
  b.Add(T("123465"), T("123465"));
  b.Add(T("123456"), T("123405"));
  EntryTally sum = a;
  sum += b;
  EXPECT_EQ(sum.Races, 4);
  EXPECT_EQ(sum.Boats, 23);
  EXPECT_EQ(sum.BoatsRight, 6 + 4 + 6 + 4);
  EXPECT_EQ(sum.WholeRight, 2);
  EXPECT_DOUBLE_EQ(sum.BoatShare(), 20.0 / 23.0);
  EXPECT_DOUBLE_EQ(sum.WholeShare(), 0.5);
  EXPECT_DOUBLE_EQ(sum.MovedBoatShare(), 0.5);  // 2 of 4
  EXPECT_DOUBLE_EQ(sum.MovedRaceShare(), 0.5);  // 1 of 2
}

TEST(EntryScore, WakunariIsEveryStarterInItsOwnCourse) {
  EXPECT_EQ(WakunariCourses(), T("123456"));
  EXPECT_TRUE(IsWakunari(T("123456")));
  EXPECT_TRUE(IsWakunari(T("123406")));  // boat 5 did not start, boat 6 stayed out
  EXPECT_TRUE(IsWakunari(T("000000")));
  EXPECT_FALSE(IsWakunari(T("123465")));
  EXPECT_FALSE(IsWakunari(T("123405")));  // boat 6 moved up into course 5
}
