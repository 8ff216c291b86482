#pragma once

#include "data/cKekkaFile.h"
#include "predict/mEntryPredict.h"
#include "predict/mEntryScore.h"

#include <QString>

#include <cstdint>
#include <vector>

// Measures the entry-course predictions on a real day: the day's programme, the fan handbook in
// use and the day's official results. Every race the results hold is predicted by the program's
// rule set (mCourseExpect, told the race's fixed-entry flag), by the statistical predictor
// (mCourseStat) and by 枠なり, and each is scored against the real entry.
namespace tidewake::mEntryEval {

struct DayFiles {
  QString Programme;  // B*.TXT
  QString Handbook;   // F*.TXT, current layout
  QString Results;    // K*.TXT
};

// One predictor's tally over all races, and over the races that did not enter 枠なり.
struct PredictorTally {
  mEntryScore::EntryTally All;
  mEntryScore::EntryTally NotWakunari;
  PredictorTally& operator+=(const PredictorTally& other);
};

// The races of one venue scored, for the window's accuracy line and for the day's evaluation.
struct VenueScore {
  std::vector<PredictorTally> Predicted;  // one per predictor asked, in the order asked
  PredictorTally Wakunari;
  // Races left out: no result, or the results name other racers than the card.
  std::int32_t RacesSkipped = 0;
  // Predictions that failed (scored as 枠なり, as the card then shows the boat numbers), and the
  // first failure's box title and text.
  std::int32_t Failures = 0;
  QString FailureTitle, Failure;
};

// Scores every race of the card's venue that the results (of the same venue and day) hold for
// the card's racers, by each predictor and by 枠なり. Without a racer store (nullptr) every
// prediction is 枠なり, as the card shows it then. Shows no box.
VenueScore ScoreVenue(const cBangumiFile& card, const cSensyuFile* racers, const cKekkaFile& results,
                      const std::vector<EntryPredictor>& predictors);

struct DayResult {
  PredictorTally Module;    // mCourseExpect
  PredictorTally Stat;      // mCourseStat
  PredictorTally Wakunari;  // every boat in its own number's course
  std::int32_t Venues = 0;  // venues with both a programme and results
  // Races of the programme left out: no result, or the results name other racers.
  std::int32_t RacesSkipped = 0;
  DayResult& operator+=(const DayResult& other);
};

// Evaluates one day. The programme is converted in a temporary program folder (the folder is
// set back afterwards), so the user's stores are never touched. Returns false, with the reason
// in strError, when a file cannot be read or the results are of another day than the programme;
// the stores' own messages go to the message box as usual.
bool EvaluateDay(const DayFiles& files, DayResult& result, QString& strError);

}  // namespace tidewake::mEntryEval
