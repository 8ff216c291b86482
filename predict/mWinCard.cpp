#include "predict/mWinCard.h"

#include "predict/mWinEval.h"
#include "predict/mWinFeatures.h"

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
    records[b] = mWinHistory::RecordOf(mWinHistory::FromRecent(source(no, day)), day, mWinFeatures::kWindowDays);
  }
  return records;
}

mWinModel::RaceChances Chances(const cBangumiFile::Card& card, std::int16_t intRaceNo,
                               const std::array<std::int16_t, 7>& courses, const Records& records,
                               const mWinModel::Coefficients& coefficients) {
  const mWinModel::RaceRows rows = mWinFeatures::RaceFeatures(card, intRaceNo, courses, records);
  return mWinModel::Predict(rows, coefficients, mWinEval::CoursesOf(courses));
}

QString PercentText(double chance) { return QString::number(100.0 * chance, 'f', 1); }

}  // namespace tidewake::mWinCard
