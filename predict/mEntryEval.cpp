#include "predict/mEntryEval.h"

#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "data/cSensyuFile.h"
#include "platform/mMyFunc.h"

#include <QTemporaryDir>

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

// Points the program folder at a temporary one for as long as it lives.
class TemporaryAppFolder {
 public:
  TemporaryAppFolder() : previous_(AppFolder()) {
    if (dir_.isValid()) SetAppFolder(dir_.path());
  }
  ~TemporaryAppFolder() { SetAppFolder(previous_); }
  TemporaryAppFolder(const TemporaryAppFolder&) = delete;
  TemporaryAppFolder& operator=(const TemporaryAppFolder&) = delete;
  bool IsValid() const { return dir_.isValid(); }

 private:
  QString previous_;
  QTemporaryDir dir_;
};

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
  TemporaryAppFolder folder;
  if (!folder.IsValid()) {
    strError = QStringLiteral("一時フォルダを作れません。");
    return false;
  }
  cBangumiFile bangumi;
  if (!bangumi.FileConv(files.Programme)) {
    strError = QStringLiteral("番組ファイルを読めません: ") + files.Programme;
    return false;
  }
  KyoteijyoTable programmeVenues, resultVenues;
  QString store, results = files.Results;
  cKekkaFile kekka;
  if (!bangumi.KaisaiCheck(programmeVenues, store) || !kekka.KaisaiCheck(resultVenues, results)) {
    strError = QStringLiteral("開催場を読めません: ") + files.Programme + QStringLiteral(", ") + files.Results;
    return false;
  }
  for (int code = 24; code >= 1; --code) {
    if (programmeVenues[static_cast<std::size_t>(code)].isEmpty()) continue;
    const QString venue = QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0'));
    if (!bangumi.FileLoad(venue, store)) {
      strError = QStringLiteral("番組ファイルの%1場を読めません。").arg(venue);
      return false;
    }
    if (resultVenues[static_cast<std::size_t>(code)].isEmpty()) {
      result.RacesSkipped += bangumi.RaceNumbers();
      continue;
    }
    results = files.Results;
    if (!kekka.FileLoad(venue, results)) {
      strError = QStringLiteral("成績ファイルの%1場を読めません。").arg(venue);
      return false;
    }
    if (kekka.RaceDate() != bangumi.RaceDate()) {
      strError =
          QStringLiteral("成績ファイルの日付 %1 が番組の %2 と違います。").arg(kekka.RaceDate(), bangumi.RaceDate());
      return false;
    }
    cSensyuFile sensyu;
    QStringList participants = bangumi.ParticipationSensyuNoAllGet();
    if (!sensyu.FileLoad(files.Handbook, participants, 0)) {
      strError = QStringLiteral("ファン手帳ファイルを読めません: ") + files.Handbook;
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
