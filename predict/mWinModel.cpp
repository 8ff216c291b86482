#include "predict/mWinModel.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tidewake::mWinModel {

namespace {

// Keeps every boat in play strictly inside (0, 1) even for extreme scores, so a log-loss is
// always finite.
constexpr double kFloor = 1e-12;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

}  // namespace

bool Coefficients::IsWhole() const {
  const auto n = static_cast<std::size_t>(Names.size());
  return !Names.isEmpty() && Win.size() == n && Second.size() == n && Third.size() == n;
}

std::array<double, kBoats> Softmax(const std::array<double, kBoats>& scores, const std::array<bool, kBoats>& inPlay) {
  std::array<double, kBoats> p{};
  double top = -HUGE_VAL;
  int n = 0;
  for (int i = 0; i < kBoats; ++i) {
    if (inPlay[U(i)]) {
      top = std::max(top, scores[U(i)]);
      ++n;
    }
  }
  if (n == 0) return p;
  double sum = 0.0;
  for (int i = 0; i < kBoats; ++i) {
    if (!inPlay[U(i)]) continue;
    // A score that is not a number says nothing: the boat gets the floor.
    const double s = std::isfinite(scores[U(i)]) ? scores[U(i)] - top : -HUGE_VAL;
    p[U(i)] = std::exp(s);
    sum += p[U(i)];
  }
  if (!(sum > 0.0) || !std::isfinite(sum)) {
    for (int i = 0; i < kBoats; ++i) p[U(i)] = inPlay[U(i)] ? 1.0 / n : 0.0;
    return p;
  }
  double total = 0.0;
  for (int i = 0; i < kBoats; ++i) {
    if (!inPlay[U(i)]) continue;
    p[U(i)] = std::clamp(p[U(i)] / sum, kFloor, 1.0 - kFloor * (n - 1));
    total += p[U(i)];
  }
  for (double& x : p) x /= total;
  return p;
}

std::array<double, kBoats> Scores(const RaceRows& rows, const std::vector<double>& beta) {
  std::array<double, kBoats> s{};
  for (int i = 0; i < kBoats; ++i) {
    const Row& r = rows[U(i)];
    const std::size_t n = std::min(r.size(), beta.size());
    s[U(i)] = std::inner_product(r.begin(), r.begin() + static_cast<std::ptrdiff_t>(n), beta.begin(), 0.0);
  }
  return s;
}

namespace {

// Chains a win distribution with the choice of second among the boats left and third among the
// boats left after that; `second(first)` and `third(first, second)` give those distributions.
template <typename SecondFn, typename ThirdFn>
RaceChances Chain(const std::array<double, kBoats>& win, SecondFn second, ThirdFn third) {
  RaceChances c;
  c.Win = win;
  for (int a = 0; a < kBoats; ++a) {
    const std::array<double, kBoats> s = second(a);
    for (int b = 0; b < kBoats; ++b) {
      if (b == a) continue;
      const double pab = win[U(a)] * s[U(b)];
      c.Exacta[U(a * kBoats + b)] = pab;
      const std::array<double, kBoats> t = third(a, b);
      for (int d = 0; d < kBoats; ++d) {
        if (d != a && d != b) c.Trifecta[U(a * kBoats * kBoats + b * kBoats + d)] = pab * t[U(d)];
      }
    }
  }
  return c;
}

std::array<bool, kBoats> AllBut(int a, int b = -1) {
  std::array<bool, kBoats> in{};
  in.fill(true);
  if (a >= 0) in[U(a)] = false;
  if (b >= 0) in[U(b)] = false;
  return in;
}

}  // namespace

QStringList ContextNames() {
  QStringList n;
  for (const char* placed : {"first", "second"}) {
    for (int p = 1; p <= kBoats; ++p) {
      for (int c = 1; c <= kBoats; ++c)
        n << QStringLiteral("ctx_%1%2_course%3").arg(QLatin1String(placed)).arg(p).arg(c);
    }
  }
  n << QStringLiteral("ctx_win_score") << QStringLiteral("ctx_win_score_x_first_chance")
    << QStringLiteral("ctx_win_score_inside_first") << QStringLiteral("ctx_win_score_x_second_chance")
    << QStringLiteral("ctx_win_score_inside_second") << QStringLiteral("ctx_win_chance")
    << QStringLiteral("ctx_win_chance_sqrt");
  return n;
}

std::array<double, kContextFeatures> Context(int course, int firstCourse, int secondCourse, const Strength& strength) {
  std::array<double, kContextFeatures> x{};
  if (course < 1 || course > kBoats) return x;
  const bool first = firstCourse >= 1 && firstCourse <= kBoats;
  const bool second = secondCourse >= 1 && secondCourse <= kBoats;
  if (first) x[U((firstCourse - 1) * kBoats + course - 1)] = 1.0;
  if (second) x[U(kBoats * kBoats + (secondCourse - 1) * kBoats + course - 1)] = 1.0;
  const double s = std::isfinite(strength.Score) ? strength.Score : 0.0;
  double* k = x.data() + kCoursePairFeatures;
  if (first) {
    k[0] = s;
    k[1] = s * strength.FirstChance;
    k[2] = course < firstCourse ? s : 0.0;
    const double p = std::isfinite(strength.Chance) ? std::clamp(strength.Chance, 0.0, 1.0) : 0.0;
    k[5] = p;
    k[6] = std::sqrt(p);
  }
  if (second) {
    k[3] = s * strength.SecondChance;
    k[4] = course < secondCourse ? s : 0.0;
  }
  return x;
}

std::array<double, kBoats> CentredScores(const std::array<double, kBoats>& scores) {
  double mean = 0.0;
  for (double s : scores) mean += s / kBoats;
  std::array<double, kBoats> c{};
  for (int i = 0; i < kBoats; ++i) c[U(i)] = scores[U(i)] - mean;
  return c;
}

namespace {

// The context part of each boat's score, when the coefficients have one.
std::array<double, kBoats> WithContext(std::array<double, kBoats> s, const RaceRows& rows,
                                       const std::vector<double>& beta, const Courses& courses,
                                       const std::array<double, kBoats>& winScore,
                                       const std::array<double, kBoats>& win, int first, int second) {
  const std::size_t base = rows[0].size();
  if (beta.size() < base + kContextFeatures) return s;
  const int cf = first >= 0 ? courses[U(first)] : 0;
  const int cs = second >= 0 ? courses[U(second)] : 0;
  for (int i = 0; i < kBoats; ++i) {
    const Strength st{winScore[U(i)], win[U(i)], first >= 0 ? win[U(first)] : 0.0, second >= 0 ? win[U(second)] : 0.0};
    const auto x = Context(courses[U(i)], cf, cs, st);
    for (int f = 0; f < kContextFeatures; ++f) s[U(i)] += beta[base + U(f)] * x[U(f)];
  }
  return s;
}

}  // namespace

RaceChances Predict(const RaceRows& rows, const Coefficients& k, const Courses& courses) {
  const auto winScore = Scores(rows, k.Win);
  const auto win = Softmax(winScore, AllBut(-1));
  const auto centred = CentredScores(winScore);
  const auto s2 = Scores(rows, k.Second);
  const auto s3 = Scores(rows, k.Third);
  return Chain(
      win, [&](int a) { return Softmax(WithContext(s2, rows, k.Second, courses, centred, win, a, -1), AllBut(a)); },
      [&](int a, int b) { return Softmax(WithContext(s3, rows, k.Third, courses, centred, win, a, b), AllBut(a, b)); });
}

RaceChances Harville(const std::array<double, kBoats>& win) {
  std::array<double, kBoats> logs{};
  for (int i = 0; i < kBoats; ++i) logs[U(i)] = std::log(std::max(win[U(i)], kFloor));
  return Chain(
      win, [&](int a) { return Softmax(logs, AllBut(a)); }, [&](int a, int b) { return Softmax(logs, AllBut(a, b)); });
}

namespace {

double ChanceOf(const RaceChances& c, const std::array<std::int16_t, 3>& boats, int places) {
  const int a = boats[0] - 1, b = boats[1] - 1, d = boats[2] - 1;
  if (a < 0 || a >= kBoats || b < 0 || b >= kBoats) return 0.0;
  if (places == 2) return c.Exacta[U(a * kBoats + b)];
  if (d < 0 || d >= kBoats) return 0.0;
  return c.Trifecta[U(a * kBoats * kBoats + b * kBoats + d)];
}

std::vector<Combination> All(const RaceChances& c, int places) {
  std::vector<Combination> all;
  for (std::int16_t a = 1; a <= kBoats; ++a) {
    for (std::int16_t b = 1; b <= kBoats; ++b) {
      if (b == a) continue;
      if (places == 2) {
        all.push_back({{a, b, 0}, ChanceOf(c, {a, b, 0}, 2)});
        continue;
      }
      for (std::int16_t d = 1; d <= kBoats; ++d) {
        if (d != a && d != b) all.push_back({{a, b, d}, ChanceOf(c, {a, b, d}, 3)});
      }
    }
  }
  // Stable: equal chances keep the boat numbers' order.
  std::stable_sort(all.begin(), all.end(),
                   [](const Combination& x, const Combination& y) { return x.Chance > y.Chance; });
  return all;
}

}  // namespace

std::vector<Combination> Likeliest(const RaceChances& chances, int places, int count) {
  std::vector<Combination> all = All(chances, places);
  if (count >= 0 && static_cast<std::size_t>(count) < all.size()) all.resize(static_cast<std::size_t>(count));
  return all;
}

int RankOf(const RaceChances& chances, const std::array<std::int16_t, 3>& boats, int places) {
  const std::vector<Combination> all = All(chances, places);
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].Boats[0] == boats[0] && all[i].Boats[1] == boats[1] && (places == 2 || all[i].Boats[2] == boats[2])) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

QString CombinationText(const std::array<std::int16_t, 3>& boats, int places) {
  QString text = QString::number(boats[0]) + QLatin1Char('-') + QString::number(boats[1]);
  if (places == 3) text += QLatin1Char('-') + QString::number(boats[2]);
  return text;
}

}  // namespace tidewake::mWinModel
