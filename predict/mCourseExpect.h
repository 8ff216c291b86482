#pragma once

#include "data/cBangumiFile.h"
#include "data/cSensyuFile.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// The entry-course prediction: each racer's favourite course type and tactics, and the course in
// which each boat of a race is expected to enter. It reads the loaded race card and the racer
// store through their getters only.
//
// The tables are module state: indexed 1..6 (index 0 unused), they start at zero and empty and
// live as long as the program; each prediction overwrites what it computes.
namespace tidewake::mCourseExpect {

template <typename T>
using Table = std::array<T, 7>;

extern Table<std::int16_t> gintExpectCourse;   // by boat: the predicted course
extern Table<std::int16_t> gintExpectBoat;     // by course: the boat predicted there
extern Table<QString> gstrTactics;             // by course: the tactics label
extern Table<float> gsngInSisu;                // by boat: the racer's inner-course index
extern Table<std::int16_t> gintAbilityWeight;  // by boat: ability weighted by sex
extern Table<float> gsngCourseValue;           // by boat, then sorted: course type, then the ordering key
extern Table<float> gsngCourseScore;           // by boat: the score that settles clashes, then the key
// By boat: the favourite course type of the boat's racer, as the last prediction found it, for
// the card to show next to the course.
extern Table<std::int16_t> gintTokuiCourseType;

// The favourite course type 0..10 of a racer, from his entries per course.
std::int16_t TokuiCourseTypeGet(const cSensyuFile& sensyu, const QString& strSensyuNo);

// Labels the tactics of each course of the predicted order in gintExpectBoat.
void TacticsGet(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo);

// The boats of race intRaceNo in predicted course order ("123456" when every boat keeps its own
// number), and the tables filled. A result that is not six characters long means no prediction.
QString EntryCourseExpect(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo, bool blnFix);
QString EntryCourseExpectStandard(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo);
QString EntryCourseExpect03(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo);
QString ChooseCourse();

// The name of a course type ("イン" for 1); empty for a code outside 0..10.
QString CourseTypeName(std::int16_t intCourseType);
// For the card, by boat 1..6: the course type name of its racer and the tactics label of the
// course predicted for it (empty before any prediction).
QString BoatCourseTypeName(std::int16_t intWakuNo);
QString BoatTactics(std::int16_t intWakuNo);

// The seven tactics labels, each four full-width characters wide.
QStringList TacticsLabels();

}  // namespace tidewake::mCourseExpect
