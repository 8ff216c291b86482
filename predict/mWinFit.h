#pragma once

#include "predict/mWinModel.h"

#include <array>
#include <cstdint>
#include <functional>
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
class RaceSet {
 public:
  explicit RaceSet(int features) : features_(features) {}
  int Features() const { return features_; }
  std::size_t Races() const { return order_.size(); }
  // Adds a race; rows shorter than the feature count or with a figure that is not finite, or
  // courses outside 1..6, are refused (false).
  bool Add(const mWinModel::RaceRows& rows, const std::array<std::int16_t, 3>& firstThree,
           const mWinModel::Courses& courses = mWinModel::kWakunari);
  const mWinModel::Courses& CoursesOf(std::size_t r) const { return courses_[r]; }
  // Feature f of boat b of race r.
  float At(std::size_t r, int b, int f) const {
    return x_[(r * mWinModel::kBoats + static_cast<std::size_t>(b)) * static_cast<std::size_t>(features_) +
              static_cast<std::size_t>(f)];
  }
  const std::array<std::int16_t, 3>& FirstThree(std::size_t r) const { return order_[r]; }
  // Scores every race's boats under the win logit's coefficients, for the strength features of
  // the second- and third-place logits (all 0 until then).
  void SetWinScores(const std::vector<double>& win);
  mWinModel::Strength StrengthOf(std::size_t r, int boat, int first, int second) const;

 private:
  int features_;
  std::vector<float> x_;
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
