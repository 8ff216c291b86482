#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// The win model's arithmetic: conditional logits over the boats of a race. A boat's score is the
// sum of its features times their coefficients; the chance of boat i among the boats still in
// play is exp(s_i) / sum exp(s_j). Three logits with the same features and their own
// coefficients answer who wins, who is second among the five left and who is third among the
// four left; chained, they give every 2連単 and 3連単 combination. The arithmetic takes plain
// rows and coefficients, so it knows nothing of files, stores or the history.
namespace tidewake::mWinModel {

inline constexpr int kBoats = 6;

// One boat's features, in the order of the coefficients' names.
using Row = std::vector<double>;
// The six boats' rows by boat number - 1.
using RaceRows = std::array<Row, kBoats>;

// Courses by boat number - 1 (1..6), as the entry prediction put the boats.
using Courses = std::array<std::int16_t, kBoats>;
inline constexpr Courses kWakunari{1, 2, 3, 4, 5, 6};

// Where a boat is against the boats already placed: second and third place go to the boats just
// outside the winner far more often than their own figures say (the winner's wake opens the
// water there), which the win chances renormalised (Harville) cannot know. One indicator per
// pair of (course of the winner, course of the boat), and per pair of (course of the second,
// course of the boat); all 0 in the win logit, which has no boat placed yet.
inline constexpr int kCoursePairFeatures = 2 * kBoats * kBoats;
// The boat's strength as the win logit scores it (centred over the race), alone and against the
// boats placed: how strong the winner was (its win chance) and whether the boat started inside
// it; and the boat's win chance itself and its square root, which let the favourite that did not
// win be second less often than its score says (the win chances renormalised overrate it).
inline constexpr int kStrengthFeatures = 7;
inline constexpr int kContextFeatures = kCoursePairFeatures + kStrengthFeatures;
QStringList ContextNames();

// What the win logit says of a boat and of the boats already placed.
struct Strength {
  double Score = 0.0;         // the boat's win score less the race's mean
  double Chance = 0.0;        // the boat's win chance
  double FirstChance = 0.0;   // the winner's win chance (0 while choosing the winner)
  double SecondChance = 0.0;  // the second's win chance (0 while choosing second)
};
// `firstCourse` the winner's course, `secondCourse` the second's (0 while choosing second).
std::array<double, kContextFeatures> Context(int course, int firstCourse, int secondCourse,
                                             const Strength& strength = {});

// Named coefficients of the three logits (win, second among five, third among four): the rows'
// features, then the context features when the lists are that much longer than a row.
struct Coefficients {
  QStringList Names;
  std::vector<double> Win, Second, Third;
  // Every list has one value per name.
  bool IsWhole() const;
  bool operator==(const Coefficients&) const = default;
};

// Chances by boat number - 1; exacta [first * 6 + second], trifecta [first * 36 + second * 6 +
// third], boats 0-based. A combination naming a boat twice has chance 0.
struct RaceChances {
  std::array<double, kBoats> Win{};
  std::array<double, kBoats * kBoats> Exacta{};
  std::array<double, kBoats * kBoats * kBoats> Trifecta{};
};

// The chances of the boats marked in `inPlay` (others 0) from their scores: a softmax that is
// safe for any finite score (shifted by the largest) and never 0 or 1 exactly for a boat in play.
std::array<double, kBoats> Softmax(const std::array<double, kBoats>& scores, const std::array<bool, kBoats>& inPlay);

// Each boat's score under one list of coefficients.
std::array<double, kBoats> Scores(const RaceRows& rows, const std::vector<double>& beta);
// Scores less their mean, as the context features take them.
std::array<double, kBoats> CentredScores(const std::array<double, kBoats>& scores);

// The three logits chained; `courses` place the boats for the context features.
RaceChances Predict(const RaceRows& rows, const Coefficients& coefficients, const Courses& courses = kWakunari);

// The baseline: second and third place from the win chances renormalised over the boats left.
RaceChances Harville(const std::array<double, kBoats>& win);

// A combination of boats (1-based, second and third 0 when not used) and its chance.
struct Combination {
  std::array<std::int16_t, 3> Boats{};
  double Chance = 0.0;
};

// The `count` likeliest combinations of `places` (2: 2連単, 3: 3連単), likeliest first; ties by
// boat numbers ascending.
std::vector<Combination> Likeliest(const RaceChances& chances, int places, int count);

// The rank (1 = likeliest) of a combination among all of its kind.
int RankOf(const RaceChances& chances, const std::array<std::int16_t, 3>& boats, int places);

// "1-3-6" for a combination, as the results print it.
QString CombinationText(const std::array<std::int16_t, 3>& boats, int places);

}  // namespace tidewake::mWinModel
