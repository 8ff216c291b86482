#pragma once

#include "data/cBangumiFile.h"
#include "predict/mCourseHistory.h"
#include "predict/mWinHistory.h"
#include "predict/mWinModel.h"

#include <QStringList>

#include <array>
#include <cstdint>

// The win model's features of each boat of a race: from the programme card (boat number, class,
// rates, motor and boat, age, weight, the venue by course), the entry course predicted for the
// race, and the racer's recent results from the history. Every figure is centred and scaled to
// about -1..1 so one small ridge penalty suits all coefficients. A figure the card or the
// history lacks (0.00, a new racer) gets a neutral value and its own indicator, so a row is
// always finite.
namespace tidewake::mWinFeatures {

// Groups of features that can be left out, to measure what each adds.
struct FeatureSet {
  bool Venue = true;         // the venue by course 1 and 2
  bool History = true;       // the racer's recent results
  bool Interaction = false;  // the win rate by course (measured: adds nothing)
  bool Boat = true;          // the boat number's own effect, beside the course's
  bool Exhibition = false;   // the exhibition times against the race's others (after the exhibition)
  // The days the 履歴 entry predictor looks back over, for the courses the features are read at.
  int EntryWindowDays = mCourseHistory::kEntryWindowDays;
  bool operator==(const FeatureSet&) const = default;
};

// The features of the chances before the exhibition, and after it.
FeatureSet BeforeSet();
FeatureSet AfterSet();

// Each boat's exhibition time in seconds by boat number - 1; 0 (or anything not a plausible
// time) where it is not known.
using ExhibitionTimes = std::array<float, 6>;
// Exhibition times outside this range are typing slips or damaged figures, not times (a real one
// is 6.4 to 7.2 seconds).
inline constexpr double kLowestTime = 5.0, kHighestTime = 9.99;

// The history window the features look back over.
inline constexpr int kWindowDays = 180;

QStringList FeatureNames(const FeatureSet& set = {});
// Where the venue-by-course indicators begin (the features' count when there are none): from
// there on at most one feature of a boat is 1 and the rest 0, so a fit keeps only which.
int OneHotFrom(const FeatureSet& set = {});
// The names a coefficient file holds: the features, then the context features of second and
// third place.
QStringList CoefficientNames(const FeatureSet& set = {});

// Courses by boat number, index 1..6 (0 unused), as the entry predictor or the user chose them.
using CourseTable = std::array<std::int16_t, 7>;

// What the 直前情報 tells of a race: each boat's exhibition time (by boat number - 1; 0 where it
// is blank) and the courses the boats took in the start exhibition (by boat number 1..6; 枠なり
// unless told otherwise).
struct Exhibition {
  ExhibitionTimes Times{};
  CourseTable Courses{0, 1, 2, 3, 4, 5, 6};
  bool operator==(const Exhibition&) const = default;
};

// The six rows of race `race` of `card` (1..12). `records` holds each boat's history record (by
// boat number - 1); a course outside 1..6 counts as the boat's own number. `times`, read when the
// set has the exhibition's features, gives the exhibition times (none known when null).
mWinModel::RaceRows RaceFeatures(const cBangumiFile::Card& card, int race, const CourseTable& courses,
                                 const std::array<mWinHistory::RacerRecord, 6>& records, const FeatureSet& set = {},
                                 const ExhibitionTimes* times = nullptr);

// The rows after the exhibition: its courses as the entry, its times against the race's others.
mWinModel::RaceRows AfterFeatures(const cBangumiFile::Card& card, int race, const Exhibition& exhibition,
                                  const std::array<mWinHistory::RacerRecord, 6>& records,
                                  const FeatureSet& set = AfterSet());

}  // namespace tidewake::mWinFeatures
