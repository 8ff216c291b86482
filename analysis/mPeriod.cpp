#include "analysis/mPeriod.h"

#include "analysis/mReport.h"

namespace tidewake::mPeriod {

Period Everything() { return {QDate(kFirstYear, 1, 1), QDate(9999, 12, 31)}; }

Period Of(Choice choice, QDate end) {
  switch (choice) {
    case Choice::SixMonths:
      return {end.addMonths(-6).addDays(1), end};
    case Choice::OneYear:
      return {end.addYears(-1).addDays(1), end};
    case Choice::ThreeYears:
      return {end.addYears(-3).addDays(1), end};
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
