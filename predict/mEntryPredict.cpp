#include "predict/mEntryPredict.h"

#include "predict/PredictReport.h"
#include "predict/mCourseExpect.h"
#include "predict/mCourseHistory.h"
#include "predict/mCourseStat.h"

#include <algorithm>
#include <exception>

namespace tidewake {
namespace {

constexpr int kBoats = 6;

QString OrNone(const QString& s) {
  const QString t = s.trimmed();
  return t.isEmpty() ? QStringLiteral("－") : t;
}

// The rule set's judgement of each racer, read from its tables right after it predicted.
void RulesAnswer(EntryPrediction& p, const cBangumiFile& card, const cSensyuFile& racers, std::int16_t r) {
  const QString order = mCourseExpect::EntryCourseExpect(card, racers, r, card.CourseFix(r));
  if (order.size() != kBoats) return;
  for (std::int16_t b = 1; b <= kBoats; ++b) {
    p.courses[static_cast<std::size_t>(b - 1)] = mCourseExpect::gintExpectCourse[static_cast<std::size_t>(b)];
    p.reasons[b - 1] = QStringLiteral("得意コース: %1\n戦法: %2")
                           .arg(OrNone(mCourseExpect::BoatCourseTypeName(b)), OrNone(mCourseExpect::BoatTactics(b)));
  }
  p.predicted = true;
}

// The statistical predictor judges by each racer's entries per course: those are its reasons.
void StatAnswer(EntryPrediction& p, const cBangumiFile& card, const cSensyuFile& racers, std::int16_t r) {
  const mCourseStat::Choice choice = mCourseStat::EntryCourseExpectStat(card, racers, r, false);
  if (choice.Order.size() != kBoats) return;
  for (std::int16_t b = 1; b <= kBoats; ++b) {
    p.courses[static_cast<std::size_t>(b - 1)] = choice.Course[static_cast<std::size_t>(b)];
    const QString no = card.SensyuNo(r, b);
    QStringList counts;
    int total = 0;
    for (std::int16_t c = 1; c <= kBoats; ++c) {
      const int n = no.isEmpty() ? 0 : std::max<int>(0, racers.CourseSyussoTimes(no, c));
      total += n;
      counts << QStringLiteral("%1:%2").arg(c).arg(n);
    }
    p.reasons[b - 1] = total == 0 ? QStringLiteral("コース別進入: 記録なし（枠番のコース）")
                                  : QStringLiteral("コース別進入: ") + counts.join(u' ');
  }
  p.predicted = true;
}

// The racers' own entries from their boat numbers are the reasons.
void HistoryAnswer(EntryPrediction& p, const cBangumiFile& card, std::int16_t r,
                   const std::array<mWinHistory::RacerRecord, 6>* history) {
  const std::array<mWinHistory::RacerRecord, 6> records =
      history ? *history : std::array<mWinHistory::RacerRecord, 6>{};
  const mCourseHistory::Prediction h = mCourseHistory::Predict(records, card.CourseFix(r));
  for (std::size_t b = 1; b <= kBoats; ++b) {
    p.courses[b - 1] = h.Courses[b];
    p.reasons[static_cast<qsizetype>(b - 1)] = QStringLiteral("履歴の進入: ") + h.Reasons[b];
  }
  p.predicted = true;
}

}  // namespace

std::int16_t EntryPrediction::Course(int boat) const {
  return boat >= 1 && boat <= kBoats ? courses[static_cast<std::size_t>(boat - 1)] : std::int16_t{0};
}

EntryPrediction PredictEntry(EntryPredictor predictor, const cBangumiFile& card, std::int16_t intRaceNo,
                             const cSensyuFile& racers, const std::array<mWinHistory::RacerRecord, 6>* history) {
  EntryPrediction p;
  for (int b = 0; b < kBoats; ++b) p.reasons << QString();
  mPredictReport::Capture failure;
  try {
    switch (predictor) {
      case EntryPredictor::Rules:
        RulesAnswer(p, card, racers, intRaceNo);
        break;
      case EntryPredictor::Stat:
        StatAnswer(p, card, racers, intRaceNo);
        break;
      case EntryPredictor::History:
        HistoryAnswer(p, card, intRaceNo, history);
        break;
    }
  } catch (const std::exception& e) {
    p.predicted = false;
    mPredictReport::Report(QStringLiteral("PredictEntryErr"), e);
  }
  if (!p.predicted) {
    p.courses = {1, 2, 3, 4, 5, 6};
    for (QString& reason : p.reasons) reason.clear();
    p.failureTitle = failure.Title();
    p.failure = failure.Text();
  }
  return p;
}

QString EntryPredictorName(EntryPredictor predictor) {
  switch (predictor) {
    case EntryPredictor::Rules:
      return QStringLiteral("標準");
    case EntryPredictor::Stat:
      return QStringLiteral("統計");
    case EntryPredictor::History:
      return QStringLiteral("履歴");
  }
  return QString();
}

QString EntryPredictorKey(EntryPredictor predictor) {
  switch (predictor) {
    case EntryPredictor::Rules:
      return QStringLiteral("rules");
    case EntryPredictor::Stat:
      return QStringLiteral("stat");
    case EntryPredictor::History:
      return QStringLiteral("history");
  }
  return QString();
}

std::optional<EntryPredictor> EntryPredictorFromKey(const QString& strKey) {
  for (const EntryPredictor p : kEntryPredictors) {
    if (EntryPredictorKey(p) == strKey) return p;
  }
  return std::nullopt;
}

}  // namespace tidewake
