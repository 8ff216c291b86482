#pragma once

#include "data/cBangumiFile.h"
#include "data/cSensyuFile.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The statistical entry-course prediction, beside the program's own rule set (mCourseExpect).
// It asks how likely each racer, drawn in his boat, is to enter each course, judged from his
// entries per course in the fan handbook, and picks the likeliest whole entry of the six boats.
//
// In a sentence per rule:
// 1. A fixed-entry race is 枠なり.
// 2. A racer's evidence for course c is ln(share of his entries from c ÷ 1/6): how much more (or
//    less) often than a racer who always keeps his number he entered from there, with one entry
//    added to each course so that a short record says little.
// 3. A racer the handbook has no entries for (missing, or no starts in its period) keeps his
//    number.
// 4. An entry (one course per boat, all different) scores the sum of its racers' evidence, less
//    kMovePenalty for every course that boats moved inward in all (each boat that goes in pushes
//    others out by as many courses).
// 5. The best of the 720 entries is predicted when it beats 枠なり by more than kMargin; else
//    枠なり.
//
// The three numbers were chosen on two real days (fit on one, checked on the other); the bench
// program EntryEval measures them against the results of any day.
namespace tidewake::mCourseStat {

template <typename T>
using Table = std::array<T, 7>;  // index 1..6, 0 unused

// Entries added to each course of a racer's record before his shares are taken.
inline constexpr double kPseudoEntries = 1.0;
// Evidence an entry gives up for each course the boats moved inward in all.
inline constexpr double kMovePenalty = 1.0;
// Evidence by which an entry must beat 枠なり to be predicted.
inline constexpr double kMargin = 1.0;

// Evidence by boat and course: [boat][course], both 1..6.
using Evidence = std::array<Table<double>, 7>;

// A predicted entry. Order is empty when there is no prediction (a failure, reported).
struct Choice {
  QString Order;                 // the boats in course order, "123456" for 枠なり
  Table<std::int16_t> Course{};  // by boat: the predicted course
  Table<std::int16_t> Boat{};    // by course: the boat predicted there
  double Gain = 0.0;             // the entry's score above 枠なり (0 when 枠なり is predicted)
};

// The racer's evidence for each course 1..6 (rule 2); nothing when he has no entries in the
// store (rule 3).
std::optional<Table<double>> CourseEvidence(const cSensyuFile& sensyu, const QString& strSensyuNo);

// The likeliest entry (rules 4 and 5) for the evidence by boat; a boat marked in blnKeepNumber
// stays in its own course.
Choice ChooseEntry(const Evidence& dblEvidence, const Table<bool>& blnKeepNumber);

// The predicted entry of race intRaceNo. Races the card marks as fixed-entry, and any race when
// blnFix is true, are 枠なり. A failure is reported (a box titled "EntryCourseExpectStatErr")
// and gives an empty Order.
Choice EntryCourseExpectStat(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo,
                             bool blnFix);

}  // namespace tidewake::mCourseStat
