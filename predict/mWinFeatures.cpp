#include "predict/mWinFeatures.h"

#include <algorithm>
#include <cmath>

namespace tidewake::mWinFeatures {

namespace {

constexpr int kVenues = 24;
// Venue-by-course features for the two courses where venues differ most.
constexpr int kVenueCourses = 2;

// Share of wins and of first-two places by course over every venue: the neutral value of a
// racer's record, so a short record is pulled towards what any racer does from there.
constexpr std::array<double, 7> kWinBase{0, 0.55, 0.14, 0.12, 0.11, 0.06, 0.02};
constexpr std::array<double, 7> kTwoBase{0, 0.72, 0.40, 0.33, 0.30, 0.18, 0.08};
// Share of first-three places by course, for the second- and third-place logits.
constexpr std::array<double, 7> kThreeBase{0, 0.82, 0.60, 0.54, 0.50, 0.36, 0.18};
// Starts a record needs before it counts as much as the neutral value.
constexpr double kPriorStarts = 6.0;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// A rate centred and scaled; a missing one (0 or less) is neutral with its indicator set.
void Rate(mWinModel::Row& row, double value, double centre, double scale, bool withIndicator) {
  const bool missing = !(value > 0.0) || !std::isfinite(value);
  row.push_back(missing ? 0.0 : (value - centre) / scale);
  if (withIndicator) row.push_back(missing ? 1.0 : 0.0);
}

}  // namespace

QStringList FeatureNames(const FeatureSet& set) {
  QStringList n;
  for (int c = 2; c <= 6; ++c) n << QStringLiteral("course%1").arg(c);
  if (set.Boat) {
    for (int b = 2; b <= 6; ++b) n << QStringLiteral("boat%1").arg(b);
  }
  n << QStringLiteral("class_a1") << QStringLiteral("class_a2") << QStringLiteral("class_b2");
  n << QStringLiteral("win_rate") << QStringLiteral("two_rate");
  n << QStringLiteral("local_win_rate") << QStringLiteral("local_missing") << QStringLiteral("local_two_rate");
  n << QStringLiteral("motor_two_rate") << QStringLiteral("motor_missing");
  n << QStringLiteral("boat_two_rate") << QStringLiteral("boat_missing");
  n << QStringLiteral("age") << QStringLiteral("weight") << QStringLiteral("weight_missing");
  n << QStringLiteral("series_points") << QStringLiteral("series_missing");
  if (set.Interaction) {
    n << QStringLiteral("win_rate_course1") << QStringLiteral("win_rate_course2") << QStringLiteral("win_rate_outer");
  }
  if (set.History) {
    n << QStringLiteral("hist_win_course") << QStringLiteral("hist_two_course") << QStringLiteral("hist_win_form")
      << QStringLiteral("hist_start") << QStringLiteral("hist_start_missing") << QStringLiteral("hist_flying")
      << QStringLiteral("hist_missing");
    n << QStringLiteral("hist_three_course") << QStringLiteral("hist_two_form") << QStringLiteral("hist_three_form");
  }
  if (set.Exhibition) {
    n << QStringLiteral("tenji_best") << QStringLiteral("tenji_mean") << QStringLiteral("tenji_rank")
      << QStringLiteral("tenji_top") << QStringLiteral("tenji_missing");
  }
  // Last: the indicators a fit keeps as one index (OneHotFrom).
  if (set.Venue) {
    for (int c = 1; c <= kVenueCourses; ++c) {
      for (int v = 1; v <= kVenues; ++v) n << QStringLiteral("venue%1_course%2").arg(v, 2, 10, QLatin1Char('0')).arg(c);
    }
  }
  return n;
}

int OneHotFrom(const FeatureSet& set) {
  const auto n = static_cast<int>(FeatureNames(set).size());
  return set.Venue ? n - kVenueCourses * kVenues : n;
}

QStringList CoefficientNames(const FeatureSet& set) { return FeatureNames(set) + mWinModel::ContextNames(); }

FeatureSet BeforeSet() { return {}; }

FeatureSet AfterSet() {
  FeatureSet set;
  set.Exhibition = true;
  return set;
}

namespace {

// A tenth of a second, the spread of a race's exhibition times, as the unit.
constexpr double kTimeUnit = 0.1;
// Differences beyond this many units say no more than this many (a boat that idled round).
constexpr double kTimeClip = 5.0;

struct TimeFeatures {
  std::array<double, 6> Best{}, Mean{}, Rank{}, Top{}, Missing{};
};

// Each boat's time against the others that have one: behind the best, behind the mean, its rank
// (0 the fastest, 1 the slowest; ties share their mean rank) and whether it was the fastest. With
// fewer than two times there is nothing to compare: every boat is missing.
TimeFeatures TimesAgainstTheRace(const ExhibitionTimes* times) {
  TimeFeatures f;
  f.Missing.fill(1.0);
  if (!times) return f;
  std::array<bool, 6> known{};
  int n = 0;
  double best = HUGE_VAL, sum = 0.0;
  for (std::size_t b = 0; b < 6; ++b) {
    const float t = (*times)[b];
    known[b] = std::isfinite(t) && t >= kLowestTime && t <= kHighestTime;
    if (!known[b]) continue;
    ++n;
    best = std::min(best, static_cast<double>(t));
    sum += t;
  }
  if (n < 2) return f;
  const double mean = sum / n;
  for (std::size_t b = 0; b < 6; ++b) {
    if (!known[b]) continue;
    const double t = (*times)[b];
    int faster = 0, same = 0;
    for (std::size_t o = 0; o < 6; ++o) {
      if (!known[o] || o == b) continue;
      const double u = (*times)[o];
      faster += u < t ? 1 : 0;
      same += u == t ? 1 : 0;
    }
    f.Missing[b] = 0.0;
    f.Best[b] = std::min((t - best) / kTimeUnit, kTimeClip);
    f.Mean[b] = std::clamp((t - mean) / kTimeUnit, -kTimeClip, kTimeClip);
    f.Rank[b] = (faster + same / 2.0) / (n - 1);
    f.Top[b] = faster == 0 ? 1.0 : 0.0;
  }
  return f;
}

}  // namespace

mWinModel::RaceRows RaceFeatures(const cBangumiFile::Card& card, int race, const CourseTable& courses,
                                 const std::array<mWinHistory::RacerRecord, 6>& records, const FeatureSet& set,
                                 const ExhibitionTimes* times) {
  mWinModel::RaceRows rows;
  const TimeFeatures tenji = set.Exhibition ? TimesAgainstTheRace(times) : TimeFeatures{};
  if (race < 1 || race > cBangumiFile::kMaxRace) race = 1;
  const cBangumiFile::Race& r = card.races[U(race - 1)];
  bool venueOk = false;
  const int venue = card.KyoteijyoCode.toInt(&venueOk);
  for (int b = 1; b <= 6; ++b) {
    const cBangumiFile::Entrant& e = r.boats[U(b - 1)];
    int course = courses[U(b)];
    if (course < 1 || course > 6) course = b;
    mWinModel::Row& row = rows[U(b - 1)];
    row.reserve(96);
    for (int c = 2; c <= 6; ++c) row.push_back(course == c ? 1.0 : 0.0);
    if (set.Boat) {
      for (int k = 2; k <= 6; ++k) row.push_back(b == k ? 1.0 : 0.0);
    }
    const QString cls = e.SensyuClass.trimmed();
    row.push_back(cls == QLatin1String("A1") ? 1.0 : 0.0);
    row.push_back(cls == QLatin1String("A2") ? 1.0 : 0.0);
    row.push_back(cls == QLatin1String("B2") ? 1.0 : 0.0);
    const double win = e.SensyuZenkokuSyoritu;
    Rate(row, win, 5.5, 1.5, false);
    Rate(row, e.SensyuZenkokuFSyoritu, 35.0, 15.0, false);
    // A racer new to the venue is judged by his national rates.
    const bool localMissing = !(e.SensyuTochiSyoritu > 0.0f);
    row.push_back(localMissing ? row[row.size() - 2] : (e.SensyuTochiSyoritu - 5.5) / 1.5);
    row.push_back(localMissing ? 1.0 : 0.0);
    row.push_back(localMissing ? row[row.size() - 3] : (e.SensyuTochiFSyoritu - 35.0) / 15.0);
    Rate(row, e.MotorFSyoritu, 35.0, 10.0, true);
    Rate(row, e.BoatFSyoritu, 35.0, 10.0, true);
    row.push_back(e.SensyuAge > 0 ? (e.SensyuAge - 35.0) / 10.0 : 0.0);
    Rate(row, e.SensyuWeight, 52.0, 4.0, true);
    // The meeting so far: how the racer and his motor fare this week, which the national rates
    // lag behind. A short series is pulled towards the mean.
    const cBangumiFile::SeriesPoints series = cBangumiFile::SeisekiPoints(e.Seiseki);
    row.push_back((series.Total - series.Races * 5.5) / (series.Races + 2.0) / 2.0);
    row.push_back(series.Races == 0 ? 1.0 : 0.0);
    const double winZ = win > 0.0 ? (win - 5.5) / 1.5 : 0.0;
    if (set.Interaction) {
      row.push_back(course == 1 ? winZ : 0.0);
      row.push_back(course == 2 ? winZ : 0.0);
      row.push_back(course >= 4 ? winZ : 0.0);
    }
    if (set.History) {
      const mWinHistory::RacerRecord& h = records[U(b - 1)];
      const auto c = U(course);
      const double n = h.Starts[c];
      row.push_back((h.Wins[c] - n * kWinBase[c]) / (n + kPriorStarts));
      row.push_back((h.TwoPlace[c] - n * kTwoBase[c]) / (n + kPriorStarts));
      double excess = 0.0;
      for (std::size_t k = 1; k <= 6; ++k) excess += h.Wins[k] - h.Starts[k] * kWinBase[k];
      row.push_back(excess / (h.TotalStarts() + kPriorStarts));
      const bool noTiming = h.Timings == 0;
      row.push_back(noTiming ? 0.0 : (h.TimingSum / h.Timings - 0.16) / 0.05);
      row.push_back(noTiming ? 1.0 : 0.0);
      row.push_back(std::min(h.Flyings, 3));
      row.push_back(h.TotalStarts() == 0 ? 1.0 : 0.0);
      // Placing, not only winning: what the second- and third-place logits weigh most.
      row.push_back((h.ThreePlace[c] - n * kThreeBase[c]) / (n + kPriorStarts));
      double two = 0.0, three = 0.0;
      for (std::size_t k = 1; k <= 6; ++k) {
        two += h.TwoPlace[k] - h.Starts[k] * kTwoBase[k];
        three += h.ThreePlace[k] - h.Starts[k] * kThreeBase[k];
      }
      row.push_back(two / (h.TotalStarts() + kPriorStarts));
      row.push_back(three / (h.TotalStarts() + kPriorStarts));
    }
    if (set.Exhibition) {
      const auto i = U(b - 1);
      row.push_back(tenji.Best[i]);
      row.push_back(tenji.Mean[i]);
      row.push_back(tenji.Rank[i]);
      row.push_back(tenji.Top[i]);
      row.push_back(tenji.Missing[i]);
    }
    if (set.Venue) {
      for (int vc = 1; vc <= kVenueCourses; ++vc) {
        for (int v = 1; v <= kVenues; ++v) row.push_back(venueOk && v == venue && course == vc ? 1.0 : 0.0);
      }
    }
  }
  return rows;
}

mWinModel::RaceRows AfterFeatures(const cBangumiFile::Card& card, int race, const Exhibition& exhibition,
                                  const std::array<mWinHistory::RacerRecord, 6>& records, const FeatureSet& set) {
  return RaceFeatures(card, race, exhibition.Courses, records, set, &exhibition.Times);
}

}  // namespace tidewake::mWinFeatures
