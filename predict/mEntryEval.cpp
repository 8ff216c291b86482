#include "predict/mEntryEval.h"

#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "data/cSensyuFile.h"
#include "data/mDayFile.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

#include <algorithm>
#include <map>

namespace tidewake::mEntryEval {

using mEntryScore::CourseTable;

PredictorTally& PredictorTally::operator+=(const PredictorTally& o) {
  All += o.All;
  NotWakunari += o.NotWakunari;
  return *this;
}

DayResult& DayResult::operator+=(const DayResult& o) {
  Module += o.Module;
  Stat += o.Stat;
  Wakunari += o.Wakunari;
  Venues += o.Venues;
  RacesSkipped += o.RacesSkipped;
  return *this;
}

namespace {

constexpr int kBoats = 6;

void Score(PredictorTally& t, const CourseTable& predicted, const CourseTable& real, bool wakunari) {
  t.All.Add(predicted, real);
  if (!wakunari) t.NotWakunari.Add(predicted, real);
}

// The results name the racers of the programme, boat by boat.
bool SameRacers(const cBangumiFile& bangumi, const cKekkaFile& kekka, std::int16_t r) {
  for (std::int16_t b = 1; b <= kBoats; ++b) {
    const std::int16_t line = kekka.JyuniOfWaku(r, b);
    if (line != 0 && kekka.SensyuNo(r, line).trimmed() != bangumi.SensyuNo(r, b).trimmed()) return false;
  }
  return true;
}

}  // namespace

VenueScore ScoreVenue(const cBangumiFile& card, const cSensyuFile* racers, const cKekkaFile& results,
                      const std::vector<EntryPredictor>& predictors) {
  VenueScore score;
  score.Predicted.resize(predictors.size());
  for (std::int16_t r = 1; r <= card.RaceNumbers(); ++r) {
    if (!results.RaceExists(r) || !SameRacers(card, results, r)) {
      ++score.RacesSkipped;
      continue;
    }
    CourseTable real{};
    for (std::int16_t b = 1; b <= kBoats; ++b) real[static_cast<std::size_t>(b)] = results.WakuCourse(r, b);
    const bool wakunari = mEntryScore::IsWakunari(real);
    for (std::size_t i = 0; i < predictors.size(); ++i) {
      CourseTable predicted = mEntryScore::WakunariCourses();
      if (racers) {
        const EntryPrediction p = PredictEntry(predictors[i], card, r, *racers);
        if (!p.predicted) {
          if (score.Failures++ == 0) {
            score.FailureTitle = p.failureTitle;
            score.Failure = p.failure;
          }
        }
        for (std::int16_t b = 1; b <= kBoats; ++b) predicted[static_cast<std::size_t>(b)] = p.Course(b);
      }
      Score(score.Predicted[i], predicted, real, wakunari);
    }
    Score(score.Wakunari, mEntryScore::WakunariCourses(), real, wakunari);
  }
  return score;
}

bool EvaluateDay(const DayFiles& files, DayResult& result, QString& strError) {
  result = DayResult{};
  // The files are read as values: no store is written and the program's folder is not touched.
  std::vector<cBangumiFile::Card> cards;
  std::map<QString, cKekkaFile::Venue> venues;
  QByteArray handbook;
  try {
    cards = cBangumiFile::ReadDay(ChosenFileRead(files.Programme));
  } catch (const RuntimeError& e) {
    strError = QStringLiteral("番組ファイルを読めません: ") + files.Programme + u'\n' + e.reportText();
    return false;
  }
  try {
    cKekkaFile::ReadAll(ChosenFileRead(files.Results), [&](const cKekkaFile::Venue& v) {
      venues.try_emplace(v.KyoteijyoCode, v);  // of two blocks of one venue, the first
    });
  } catch (const RuntimeError& e) {
    strError = QStringLiteral("成績ファイルを読めません: ") + files.Results + u'\n' + e.reportText();
    return false;
  }
  try {
    handbook = ChosenFileRead(files.Handbook);
  } catch (const RuntimeError& e) {
    strError = QStringLiteral("ファン手帳ファイルを読めません: ") + files.Handbook + u'\n' + e.reportText();
    return false;
  }
  // Venues from the highest code down, as the window lists them.
  std::sort(cards.begin(), cards.end(), [](const auto& a, const auto& b) { return a.KyoteijyoCode > b.KyoteijyoCode; });
  QStringList seen;
  for (cBangumiFile::Card& card : cards) {
    if (seen.contains(card.KyoteijyoCode)) continue;  // of two blocks of one venue, the first
    seen << card.KyoteijyoCode;
    const auto found = venues.find(card.KyoteijyoCode);
    if (found == venues.end()) {
      result.RacesSkipped += card.RaceNumbers;
      continue;
    }
    const cBangumiFile bangumi(std::move(card));
    const cKekkaFile kekka(found->second);
    if (bangumi.RaceNumbers() > 0 && kekka.RaceDate() != bangumi.RaceDate()) {
      strError =
          QStringLiteral("成績ファイルの日付 %1 が番組の %2 と違います。").arg(kekka.RaceDate(), bangumi.RaceDate());
      return false;
    }
    cSensyuFile sensyu;
    try {
      QStringList participants = bangumi.ParticipationSensyuNoAllGet();
      sensyu = cSensyuFile::Read(handbook, participants, 0);
    } catch (const RuntimeError& e) {
      strError = QStringLiteral("ファン手帳ファイルを読めません: ") + files.Handbook + u'\n' + e.reportText();
      return false;
    }
    ++result.Venues;
    const VenueScore venueScore = ScoreVenue(bangumi, &sensyu, kekka, {EntryPredictor::Rules, EntryPredictor::Stat});
    result.Module += venueScore.Predicted[0];
    result.Stat += venueScore.Predicted[1];
    result.Wakunari += venueScore.Wakunari;
    result.RacesSkipped += venueScore.RacesSkipped;
  }
  return true;
}

}  // namespace tidewake::mEntryEval
