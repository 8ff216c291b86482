#pragma once

#include "data/cBangumiFile.h"
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
  bool operator==(const FeatureSet&) const = default;
};

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

// The six rows of race `race` of `card` (1..12). `records` holds each boat's history record (by
// boat number - 1); a course outside 1..6 counts as the boat's own number.
mWinModel::RaceRows RaceFeatures(const cBangumiFile::Card& card, int race, const CourseTable& courses,
                                 const std::array<mWinHistory::RacerRecord, 6>& records, const FeatureSet& set = {});

}  // namespace tidewake::mWinFeatures
