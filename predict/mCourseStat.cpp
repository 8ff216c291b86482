#include "predict/mCourseStat.h"

#include "predict/PredictReport.h"
#include "predict/mEntryScore.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace tidewake::mCourseStat {

namespace {

constexpr int kBoats = 6;

// The entry of courses by boat, with its inverse and its order.
Choice Entry(const Table<std::int16_t>& course, double gain) {
  Choice choice;
  choice.Order = QString(kBoats, QLatin1Char('0'));
  choice.Course = course;
  choice.Gain = gain;
  for (std::int16_t b = 1; b <= kBoats; ++b) {
    const std::int16_t c = course[static_cast<std::size_t>(b)];
    choice.Boat[static_cast<std::size_t>(c)] = b;
    choice.Order[c - 1] = QLatin1Char(static_cast<char>('0' + b));
  }
  return choice;
}

double Score(const Evidence& ev, const Table<std::int16_t>& course) {
  double sum = 0.0;
  int inward = 0;
  for (int b = 1; b <= kBoats; ++b) {
    const auto c = course[static_cast<std::size_t>(b)];
    sum += ev[static_cast<std::size_t>(b)][static_cast<std::size_t>(c)];
    if (c < b) inward += b - c;
  }
  return sum - kMovePenalty * inward;
}

}  // namespace

std::optional<Table<double>> CourseEvidence(const cSensyuFile& sensyu, const QString& strSensyuNo) {
  Table<int> entries{};
  int total = 0;
  for (std::int16_t c = 1; c <= kBoats; ++c) {
    // A negative count is no count: a damaged record says nothing.
    entries[static_cast<std::size_t>(c)] = std::max<int>(0, sensyu.CourseSyussoTimes(strSensyuNo, c));
    total += entries[static_cast<std::size_t>(c)];
  }
  if (total == 0) return std::nullopt;
  Table<double> ev{};
  const double denominator = total + kBoats * kPseudoEntries;
  for (std::size_t c = 1; c <= kBoats; ++c) {
    ev[c] = std::log((entries[c] + kPseudoEntries) / denominator * kBoats);
  }
  return ev;
}

Choice ChooseEntry(const Evidence& dblEvidence, const Table<bool>& blnKeepNumber) {
  const Table<std::int16_t> straight = mEntryScore::WakunariCourses();
  const double straightScore = Score(dblEvidence, straight);
  // Courses by boat in lexicographic order from 枠なり: on equal scores the earlier one stays.
  std::array<std::int16_t, kBoats> perm{1, 2, 3, 4, 5, 6};
  Table<std::int16_t> best = straight;
  double bestScore = straightScore;
  do {
    bool allowed = true;
    for (int b = 1; b <= kBoats && allowed; ++b) {
      allowed = !blnKeepNumber[static_cast<std::size_t>(b)] || perm[static_cast<std::size_t>(b - 1)] == b;
    }
    if (!allowed) continue;
    Table<std::int16_t> course{};
    std::copy(perm.begin(), perm.end(), course.begin() + 1);
    const double s = Score(dblEvidence, course);
    if (s > bestScore) {
      bestScore = s;
      best = course;
    }
  } while (std::next_permutation(perm.begin(), perm.end()));

  const double gain = bestScore - straightScore;
  if (!(gain > kMargin)) return Entry(straight, 0.0);
  return Entry(best, gain);
}

Choice EntryCourseExpectStat(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo,
                             bool blnFix) {
  try {
    if (blnFix || bangumi.CourseFix(intRaceNo)) return Entry(mEntryScore::WakunariCourses(), 0.0);
    Evidence ev{};
    Table<bool> keep{};
    for (std::int16_t b = 1; b <= kBoats; ++b) {
      const QString no = bangumi.SensyuNo(intRaceNo, b);
      const auto evidence = no.isEmpty() ? std::nullopt : CourseEvidence(sensyu, no);
      if (evidence) {
        ev[static_cast<std::size_t>(b)] = *evidence;
      } else {
        keep[static_cast<std::size_t>(b)] = true;
      }
    }
    return ChooseEntry(ev, keep);
  } catch (const std::exception& e) {
    mPredictReport::Report(QStringLiteral("EntryCourseExpectStatErr"), e);
    return Choice{};
  }
}

}  // namespace tidewake::mCourseStat
