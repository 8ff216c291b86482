#pragma once

#include "predict/mWinHistory.h"

#include <QString>

#include <array>
#include <cstdint>

// The 履歴 entry-course prediction: each racer's own recent entries when drawn in each boat
// number are his evidence per course, weighed as the statistical predictor (mCourseStat) weighs
// a handbook's entries, and the likeliest whole entry of the six boats is chosen the same way.
// A fixed-entry race is 枠なり; a racer with no entries from his boat number has no evidence either
// way, so only the penalty for moving inward keeps him in his number's course.
namespace tidewake::mCourseHistory {

// How much more a racer's own entries from the same boat number weigh than a handbook's entries
// per course, against the same penalty for moving inward: what he did when drawn there is the
// better evidence. Chosen on 2023-01..03 (fitted before), checked on 2023-04..06 (WinEval).
inline constexpr double kEvidenceWeight = 10.0;

// The days a racer's entries are looked back over.
inline constexpr int kEntryWindowDays = 180;

// Courses by boat, index 1..6 (0 unused).
using CourseTable = std::array<std::int16_t, 7>;

struct Prediction {
  CourseTable Courses{};
  // Per boat 1..6, what the racer's record says ("3号艇で 12 走: 3コース 10, 2コース 2").
  std::array<QString, 7> Reasons;
};

// `records` by boat number - 1.
Prediction Predict(const std::array<mWinHistory::RacerRecord, 6>& records, bool blnCourseFix);

}  // namespace tidewake::mCourseHistory
