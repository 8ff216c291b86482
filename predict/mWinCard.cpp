#include "predict/mWinCard.h"

#include "predict/mWinEval.h"
#include "predict/mWinFeatures.h"

#include "platform/Numeric.h"
#include "platform/TextUtil.h"

#include <QRegularExpression>

#include <cmath>

namespace tidewake::mWinCard {

QDate CardDate(const cBangumiFile::Card& card) {
  return QDate::fromString(card.RaceDate.trimmed(), QStringLiteral("yyyy/MM/dd"));
}

Records RaceRecords(const cBangumiFile::Card& card, std::int16_t intRaceNo, const RecentSource& source) {
  Records records{};
  const QDate day = CardDate(card);
  if (!source || !day.isValid() || intRaceNo < 1 || intRaceNo > card.RaceNumbers ||
      intRaceNo > cBangumiFile::kMaxRace) {
    return records;
  }
  const cBangumiFile::Race& race = card.races[static_cast<std::size_t>(intRaceNo - 1)];
  for (std::size_t b = 0; b < 6; ++b) {
    const QString no = race.boats[b].SensyuNo.trimmed();
    if (no.isEmpty()) continue;
    records[b] = mWinHistory::RecordOf(mWinHistory::FromRecent(source(no, day)), day, mWinFeatures::kWindowDays,
                                       mCourseHistory::kEntryWindowDays);
  }
  return records;
}

mWinModel::RaceChances Chances(const cBangumiFile::Card& card, std::int16_t intRaceNo,
                               const std::array<std::int16_t, 7>& courses, const Records& records,
                               const mWinModel::Coefficients& coefficients) {
  const mWinModel::RaceRows rows = mWinFeatures::RaceFeatures(card, intRaceNo, courses, records);
  return mWinModel::Predict(rows, coefficients, mWinEval::CoursesOf(courses));
}

mWinModel::RaceChances AfterChances(const cBangumiFile::Card& card, std::int16_t intRaceNo,
                                    const mWinFeatures::Exhibition& exhibition, const Records& records,
                                    const mWinModel::Coefficients& coefficients) {
  const mWinModel::RaceRows rows = mWinFeatures::AfterFeatures(card, intRaceNo, exhibition, records);
  return mWinModel::Predict(rows, coefficients, mWinEval::CoursesOf(exhibition.Courses));
}

QString PercentText(double chance) { return QString::number(100.0 * chance, 'f', 1); }

double BreakEvenOdds(double chance) { return chance > 0.0 ? 1.0 / chance : HUGE_VAL; }

QString OddsText(double odds) { return std::isfinite(odds) ? QString::number(odds, 'f', 1) : QStringLiteral("-"); }

std::vector<Ticket> Tickets(const mWinModel::RaceChances& chances, int places, int count) {
  std::vector<Ticket> tickets;
  for (const mWinModel::Combination& c : mWinModel::Likeliest(chances, places, count)) {
    tickets.push_back({c.Boats, c.Chance, BreakEvenOdds(c.Chance)});
  }
  return tickets;
}

std::optional<float> ReadExhibitionTime(const QString& text, QString& strError) {
  strError.clear();
  const QString t = Narrow(text).trimmed();
  if (t.isEmpty()) return 0.0f;
  static const QRegularExpression kTime(QStringLiteral("^[0-9]{1,2}(\\.[0-9]{1,2})?$"));
  const std::optional<double> v = kTime.match(t).hasMatch() ? ParseNumber(t) : std::nullopt;
  if (!v || *v < mWinFeatures::kLowestTime || *v > mWinFeatures::kHighestTime) {
    strError = QStringLiteral("展示タイム「%1」が読めません。6.78 のように %2～%3 秒で入力してください（空欄は不明）。")
                   .arg(text.trimmed())
                   .arg(mWinFeatures::kLowestTime, 0, 'f', 2)
                   .arg(mWinFeatures::kHighestTime, 0, 'f', 2);
    return std::nullopt;
  }
  return static_cast<float>(*v);
}

QString CoursesProblem(const mWinFeatures::CourseTable& courses) {
  std::array<int, 7> boats{};
  for (std::size_t b = 1; b <= 6; ++b) {
    const std::int16_t c = courses[b];
    if (c < 1 || c > 6) return QStringLiteral("%1号艇の進入コースが 1～6 ではありません（%2）。").arg(b).arg(c);
    if (boats[static_cast<std::size_t>(c)] != 0) {
      return QStringLiteral("%1コースに %2号艇と %3号艇がいます。進入コースは各艇ちがうコースにしてください。")
          .arg(c)
          .arg(boats[static_cast<std::size_t>(c)])
          .arg(b);
    }
    boats[static_cast<std::size_t>(c)] = static_cast<int>(b);
  }
  return QString();
}

}  // namespace tidewake::mWinCard
