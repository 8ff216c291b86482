#include "predict/mWinFit.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>

#include <cmath>

namespace tidewake::mWinFit {

using mWinModel::kBoats;

RaceSet::RaceSet(int features, int oneHotFrom)
    : features_(features), dense_(oneHotFrom >= 0 && oneHotFrom < features ? oneHotFrom : features) {}

namespace {

// The indicator of a row's block set, -1 for none, -2 when the block is not indicators.
int HotOf(const mWinModel::Row& r, int from, int to) {
  int hot = -1;
  for (int f = from; f < to; ++f) {
    const double x = r[static_cast<std::size_t>(f)];
    if (x == 0.0) continue;
    if (x != 1.0 || hot >= 0) return -2;
    hot = f;
  }
  return hot;
}

}  // namespace

bool RaceSet::Accepts(const mWinModel::RaceRows& rows, const std::array<std::int16_t, 3>& firstThree,
                      const mWinModel::Courses& courses) const {
  for (std::int16_t c : courses) {
    if (c < 1 || c > kBoats) return false;
  }
  for (const auto& r : rows) {
    if (r.size() < static_cast<std::size_t>(features_)) return false;
    // One figure that is not a number would make every coefficient one.
    for (int f = 0; f < dense_; ++f) {
      if (!std::isfinite(r[static_cast<std::size_t>(f)])) return false;
    }
    if (HotOf(r, dense_, features_) == -2) return false;
  }
  for (std::int16_t b : firstThree) {
    if (b < 0 || b >= kBoats) return false;
  }
  return firstThree[0] != firstThree[1] && firstThree[0] != firstThree[2] && firstThree[1] != firstThree[2];
}

bool RaceSet::Add(const mWinModel::RaceRows& rows, const std::array<std::int16_t, 3>& firstThree,
                  const mWinModel::Courses& courses) {
  if (!Accepts(rows, firstThree, courses)) return false;
  const auto dense = static_cast<std::size_t>(dense_);
  for (std::size_t b = 0; b < kBoats; ++b) {
    const std::size_t boat = order_.size() * kBoats + b;
    if (boat / kBlockBoats >= blocks_.size()) blocks_.push_back(std::make_unique<float[]>(kBlockBoats * dense));
    float* to = blocks_[boat / kBlockBoats].get() + (boat % kBlockBoats) * dense;
    for (std::size_t f = 0; f < dense; ++f) to[f] = static_cast<float>(rows[b][f]);
    hot_.push_back(static_cast<std::int16_t>(HotOf(rows[b], dense_, features_)));
  }
  order_.push_back(firstThree);
  courses_.push_back(courses);
  return true;
}

std::size_t RaceSet::Bytes() const {
  return blocks_.size() * kBlockBoats * static_cast<std::size_t>(dense_) * sizeof(float) +
         hot_.capacity() * sizeof(std::int16_t) + order_.capacity() * sizeof(order_[0]) +
         courses_.capacity() * sizeof(mWinModel::Courses) + win_.capacity() * sizeof(win_[0]);
}

void RaceSet::SetWinScores(const std::vector<double>& win) {
  win_.assign(Races(), {});
  for (std::size_t r = 0; r < Races(); ++r) {
    std::array<double, kBoats> s{};
    for (int b = 0; b < kBoats; ++b) {
      for (int f = 0; f < features_ && static_cast<std::size_t>(f) < win.size(); ++f)
        s[static_cast<std::size_t>(b)] += win[static_cast<std::size_t>(f)] * At(r, b, f);
    }
    std::array<bool, kBoats> all{};
    all.fill(true);
    const auto p = mWinModel::Softmax(s, all);
    const auto c = mWinModel::CentredScores(s);
    for (std::size_t b = 0; b < kBoats; ++b) {
      win_[r][b] = static_cast<float>(c[b]);
      win_[r][kBoats + b] = static_cast<float>(p[b]);
    }
  }
}

mWinModel::Strength RaceSet::StrengthOf(std::size_t r, int boat, int first, int second) const {
  if (r >= win_.size()) return {};
  const auto& w = win_[r];
  const auto at = [&](int i) { return static_cast<double>(w[static_cast<std::size_t>(i)]); };
  return {at(boat), at(kBoats + boat), first >= 0 ? at(kBoats + first) : 0.0, second >= 0 ? at(kBoats + second) : 0.0};
}

namespace {

// The win logit has no boat placed: its context features would all be 0.
int FeatureCount(const RaceSet& set, Place place) {
  return set.Features() + (place == Place::First ? 0 : mWinModel::kContextFeatures);
}

struct Evaluation {
  double Objective = 0.0;  // negative log-likelihood plus the penalty
  double LogLoss = 0.0;    // negative log-likelihood alone
  Eigen::VectorXd Gradient;
  Eigen::MatrixXd Hessian;
};

// The objective, its gradient and its Hessian at beta, in one pass over the races. The Hessian
// is gathered chunk by chunk as two matrix products (the boats' rows weighted by the square roots
// of their chances, and the chance-weighted mean rows), which Eigen does far faster than a sum of
// outer products.
Evaluation Evaluate(const RaceSet& set, Place place, double ridge, const Eigen::VectorXd& beta) {
  const int base = set.Features();
  const int k = FeatureCount(set, place);
  const int skip = static_cast<int>(place);  // boats of the finishing order already placed
  const int inPlay = kBoats - skip;
  constexpr std::size_t kChunk = 1024;
  Evaluation e;
  e.Gradient = Eigen::VectorXd::Zero(k);
  e.Hessian = Eigen::MatrixXd::Zero(k, k);
  Eigen::MatrixXd weighted(static_cast<Eigen::Index>(kChunk) * inPlay, k);
  Eigen::MatrixXd means(static_cast<Eigen::Index>(kChunk), k);
  Eigen::MatrixXd x(inPlay, k);
  Eigen::VectorXd s(inPlay), p(inPlay);
  for (std::size_t start = 0; start < set.Races(); start += kChunk) {
    const std::size_t end = std::min(set.Races(), start + kChunk);
    weighted.setZero();
    means.setZero();
    for (std::size_t r = start; r < end; ++r) {
      const auto& order = set.FirstThree(r);
      int chosen = -1, row = 0;
      for (int b = 0; b < kBoats; ++b) {
        bool placed = false;
        for (int j = 0; j < skip; ++j) placed = placed || order[static_cast<std::size_t>(j)] == b;
        if (placed) continue;
        if (order[static_cast<std::size_t>(skip)] == b) chosen = row;
        for (int f = 0; f < base; ++f) x(row, f) = set.At(r, b, f);
        if (k > base) {
          const auto& c = set.CoursesOf(r);
          const int first = skip >= 1 ? order[0] : -1, second = skip >= 2 ? order[1] : -1;
          const auto ctx = mWinModel::Context(
              c[static_cast<std::size_t>(b)], first >= 0 ? c[static_cast<std::size_t>(first)] : 0,
              second >= 0 ? c[static_cast<std::size_t>(second)] : 0, set.StrengthOf(r, b, first, second));
          for (int f = 0; f < mWinModel::kContextFeatures; ++f) x(row, base + f) = ctx[static_cast<std::size_t>(f)];
        }
        ++row;
      }
      s = x * beta;
      const double top = s.maxCoeff();
      p = (s.array() - top).exp();
      const double sum = p.sum();
      p /= sum;
      e.LogLoss -= s(chosen) - top - std::log(sum);
      const Eigen::RowVectorXd mean = p.transpose() * x;
      e.Gradient -= (x.row(chosen) - mean).transpose();
      const auto i = static_cast<Eigen::Index>(r - start);
      weighted.middleRows(i * inPlay, inPlay) = p.array().sqrt().matrix().asDiagonal() * x;
      means.row(i) = mean;
    }
    e.Hessian.selfadjointView<Eigen::Lower>().rankUpdate(weighted.transpose());
    e.Hessian.selfadjointView<Eigen::Lower>().rankUpdate(means.transpose(), -1.0);
  }
  e.Hessian = e.Hessian.selfadjointView<Eigen::Lower>();
  e.Hessian.diagonal().array() += ridge;
  e.Gradient += ridge * beta;
  e.Objective = e.LogLoss + 0.5 * ridge * beta.squaredNorm();
  return e;
}

}  // namespace

FitResult Fit(const RaceSet& set, Place place, double ridge, int maxIterations,
              const std::function<void(int)>& progress, std::stop_token stop) {
  const int k = FeatureCount(set, place);
  FitResult result;
  Eigen::VectorXd beta = Eigen::VectorXd::Zero(k);
  const double n = std::max<double>(1.0, static_cast<double>(set.Races()));
  if (set.Races() == 0 || k == 0) {
    result.Beta.assign(static_cast<std::size_t>(k), 0.0);
    result.Converged = true;
    return result;
  }
  // A ridge of zero would leave a feature that never varies within a race unidentified; a tiny
  // one keeps the Hessian positive definite.
  ridge = std::max(ridge, 1e-8);
  Evaluation cur = Evaluate(set, place, ridge, beta);
  for (int it = 1; it <= maxIterations; ++it) {
    if (stop.stop_requested()) {
      result.Stopped = true;
      break;
    }
    if (progress) progress(it);
    result.Iterations = it;
    const Eigen::VectorXd step = cur.Hessian.ldlt().solve(-cur.Gradient);
    double t = 1.0;
    Eigen::VectorXd candidate = beta + step;
    Evaluation next = Evaluate(set, place, ridge, candidate);
    // Newton's step can overshoot far from the optimum: halve it until the objective falls.
    while (!(next.Objective <= cur.Objective) && t > 1e-4) {
      t *= 0.5;
      candidate = beta + t * step;
      next = Evaluate(set, place, ridge, candidate);
    }
    if (!(next.Objective <= cur.Objective)) {
      result.Converged = true;
      break;
    }
    const double gain = cur.Objective - next.Objective;
    beta = candidate;
    cur = std::move(next);
    if (gain < 1e-9 * n) {
      result.Converged = true;
      break;
    }
  }
  result.Beta.assign(beta.data(), beta.data() + k);
  result.MeanLogLoss = cur.LogLoss / n;
  return result;
}

mWinModel::Coefficients FitAll(RaceSet& races, const QStringList& names, double ridge,
                               const std::function<void(int)>& progress, std::stop_token stop) {
  mWinModel::Coefficients c;
  c.Names = names + mWinModel::ContextNames();
  int step = 0;
  auto tick = [&](int) {
    if (progress) progress(++step);
  };
  const FitResult win = Fit(races, Place::First, ridge, 30, tick, stop);
  if (win.Stopped) return {};
  races.SetWinScores(win.Beta);
  const FitResult second = Fit(races, Place::Second, ridge, 30, tick, stop);
  if (second.Stopped) return {};
  const FitResult third = Fit(races, Place::Third, ridge, 30, tick, stop);
  if (third.Stopped) return {};
  c.Win = win.Beta;
  c.Second = second.Beta;
  c.Third = third.Beta;
  c.Win.resize(c.Second.size(), 0.0);
  return c;
}

}  // namespace tidewake::mWinFit
