#include "predict/mCourseHistory.h"

#include "predict/mCourseStat.h"

#include <cmath>

namespace tidewake::mCourseHistory {

Prediction Predict(const std::array<mWinHistory::RacerRecord, 6>& records, bool blnCourseFix) {
  Prediction p;
  mCourseStat::Evidence evidence{};
  mCourseStat::Table<bool> keep{};
  for (std::size_t b = 1; b <= 6; ++b) {
    const mWinHistory::Table<std::int32_t>& e = records[b - 1].Entries[b];
    std::int32_t n = 0;
    for (std::size_t c = 1; c <= 6; ++c) n += e[c];
    keep[b] = blnCourseFix;
    QString why = QStringLiteral("%1号艇で %2 走").arg(b).arg(n);
    const double denominator = n + 6 * mCourseStat::kPseudoEntries;
    for (std::size_t c = 1; c <= 6; ++c) {
      evidence[b][c] =
          n == 0 ? 0.0 : kEvidenceWeight * std::log((e[c] + mCourseStat::kPseudoEntries) / denominator * 6.0);
      if (e[c] > 0)
        why += QStringLiteral("%1 %2コース %3").arg(why.contains(QLatin1Char(':')) ? "," : ":").arg(c).arg(e[c]);
    }
    p.Reasons[b] = why;
  }
  const mCourseStat::Choice choice = mCourseStat::ChooseEntry(evidence, keep);
  for (std::size_t b = 1; b <= 6; ++b) {
    const std::int16_t c = choice.Course[b];
    p.Courses[b] = c >= 1 && c <= 6 ? c : static_cast<std::int16_t>(b);
  }
  return p;
}

}  // namespace tidewake::mCourseHistory
