#pragma once

#include "predict/mWinModel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

// Fitting the win model's three logits: maximum likelihood with a small ridge penalty, by
// Newton's method (Eigen's Cholesky on the Hessian). The rows are kept once per race, as floats,
// so a year of races fits in memory; each logit reads the boats still in play at its place.
namespace tidewake::mWinFit {

// Which place a logit answers: the winner among six, second among the five left, third among
// the four left.
enum class Place : std::int16_t { First, Second, Third };

// Races with their rows, their boats' courses and the first three boats (0-based boat numbers,
// distinct). The second- and third-place logits also read the context features (mWinModel::Context).
// The rows are kept as floats in blocks that never move once filled, so that a fit over years
// holds each race once and growing never copies what is held; indicators of which a boat has at
// most one set (the venue by course) are kept as that one's index.
class RaceSet {
 public:
  // `oneHotFrom`: the features from there on are such indicators (none when it is out of range).
  explicit RaceSet(int features, int oneHotFrom = -1);
  int Features() const { return features_; }
  std::size_t Races() const { return order_.size(); }
  // Adds a race; rows shorter than the feature count or with a figure that is not finite,
  // indicators that are not one 1 at most, or courses outside 1..6, are refused (false).
  bool Add(const mWinModel::RaceRows& rows, const std::array<std::int16_t, 3>& firstThree,
           const mWinModel::Courses& courses = mWinModel::kWakunari);
  // True when Add would take the race.
  bool Accepts(const mWinModel::RaceRows& rows, const std::array<std::int16_t, 3>& firstThree,
               const mWinModel::Courses& courses = mWinModel::kWakunari) const;
  const mWinModel::Courses& CoursesOf(std::size_t r) const { return courses_[r]; }
  // Feature f of boat b of race r.
  float At(std::size_t r, int b, int f) const {
    const std::size_t boat = r * mWinModel::kBoats + static_cast<std::size_t>(b);
    if (f >= dense_) return hot_[boat] == f ? 1.0f : 0.0f;
    return blocks_[boat / kBlockBoats]
                  [(boat % kBlockBoats) * static_cast<std::size_t>(dense_) + static_cast<std::size_t>(f)];
  }
  const std::array<std::int16_t, 3>& FirstThree(std::size_t r) const { return order_[r]; }
  // Scores every race's boats under the win logit's coefficients, for the strength features of
  // the second- and third-place logits (all 0 until then).
  void SetWinScores(const std::vector<double>& win);
  mWinModel::Strength StrengthOf(std::size_t r, int boat, int first, int second) const;
  // The bytes the races take.
  std::size_t Bytes() const;

 private:
  static constexpr std::size_t kBlockBoats = 4096 * mWinModel::kBoats;
  int features_;
  int dense_;  // features kept as floats; the rest are indicators
  std::vector<std::unique_ptr<float[]>> blocks_;
  std::vector<std::int16_t> hot_;  // per boat, the indicator set, -1 for none
  std::vector<std::array<std::int16_t, 3>> order_;
  std::vector<mWinModel::Courses> courses_;
  // Per race: each boat's centred win score, then its win chance.
  std::vector<std::array<float, 2 * mWinModel::kBoats>> win_;
};

struct FitResult {
  std::vector<double> Beta;
  int Iterations = 0;
  bool Converged = false;
  // Mean negative log-likelihood per race at the optimum, without the penalty.
  double MeanLogLoss = 0.0;
  // Stopped on request before converging: Beta is not an answer.
  bool Stopped = false;
};

// Maximises the likelihood (of the rows' features, and the context features after them but for the
// win) of the place's choices less ridge/2 * |beta|^2. Stops when a step
// changes the objective by less than 1e-9 per race or after maxIterations. `progress`, when
// given, hears each iteration's number; a stop requested on `stop` ends the fit before its next
// iteration (Stopped).
FitResult Fit(const RaceSet& races, Place place, double ridge, int maxIterations = 30,
              const std::function<void(int)>& progress = {}, std::stop_token stop = {});

// The three logits fitted and named (the rows' names; the context names are added). The win
// logit is fitted first: its scores feed the others' strength features. Empty coefficients
// (not IsWhole) when stopped.
mWinModel::Coefficients FitAll(RaceSet& races, const QStringList& names, double ridge,
                               const std::function<void(int)>& progress = {}, std::stop_token stop = {});

}  // namespace tidewake::mWinFit
