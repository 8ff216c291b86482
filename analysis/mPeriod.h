#pragma once

#include <QDate>
#include <QString>

#include <array>

// The periods the pages count over: the last 6 months, 1 year, 3 years, or every day held,
// ending on a given day (the card's day, or the last day the history holds).
namespace tidewake::mPeriod {

enum class Choice { SixMonths, OneYear, ThreeYears, All };
inline constexpr std::array<Choice, 4> kChoices{Choice::SixMonths, Choice::OneYear, Choice::ThreeYears, Choice::All};

// From and To inclusive.
struct Period {
  QDate From, To;
  bool operator==(const Period&) const = default;
};

// The period of a choice ending on `end`: 6 months to 2023-06-30 is 2023-01-01 to 2023-06-30.
// Every day held starts at the history's first possible day.
Period Of(Choice choice, QDate end);
// "6か月", "1年", "3年", "全期間".
QString ChoiceName(Choice choice);
// "2023/01/01 ～ 2023/06/30".
QString Text(const Period& period);
// Every day there can be.
inline constexpr int kFirstYear = 1900;
Period Everything();

}  // namespace tidewake::mPeriod
