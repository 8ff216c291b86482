#include "analysis/mPeriod.h"

#include "analysis/mReport.h"

namespace tidewake::mPeriod {

Period Everything() { return {QDate(kFirstYear, 1, 1), QDate(9999, 12, 31)}; }

Period Of(Choice choice, QDate end) {
  // Whole months back from the day after: 6 months to 2023-06-30 begin on 2023-01-01, not on
  // 2022-12-31.
  switch (choice) {
    case Choice::SixMonths:
      return {end.addDays(1).addMonths(-6), end};
    case Choice::OneYear:
      return {end.addDays(1).addYears(-1), end};
    case Choice::ThreeYears:
      return {end.addDays(1).addYears(-3), end};
    case Choice::All:
      break;
  }
  return {Everything().From, end};
}

QString ChoiceName(Choice choice) {
  switch (choice) {
    case Choice::SixMonths:
      return QStringLiteral("6か月");
    case Choice::OneYear:
      return QStringLiteral("1年");
    case Choice::ThreeYears:
      return QStringLiteral("3年");
    case Choice::All:
      break;
  }
  return QStringLiteral("全期間");
}

QString Text(const Period& period) {
  const QString from = period.From.year() <= kFirstYear ? QStringLiteral("最初の日") : mReport::DateText(period.From);
  return from + QStringLiteral(" ～ ") + mReport::DateText(period.To);
}

}  // namespace tidewake::mPeriod
