#pragma once

#include "data/cBangumiFile.h"
#include "data/cSensyuFile.h"
#include "predict/mWinHistory.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// One way to ask any entry predictor for a race: the answer is a value, the courses of the six
// boats and what the card's tooltip explains of each, so that nothing of one race is read back
// from a predictor's shared state while another race is shown.
namespace tidewake {

// The entry predictors the program offers. The menu names them in the comments.
enum class EntryPredictor {
  Rules,    // 標準: the program's own rule set (mCourseExpect)
  Stat,     // 統計: the racers' entries per course (mCourseStat)
  History,  // 履歴: the racers' own recent entries from each boat number (mCourseHistory)
};

struct EntryPrediction {
  // By boat (index = boat number − 1): the predicted course 1..6; 枠なり when there is none.
  std::array<std::int16_t, 6> courses{1, 2, 3, 4, 5, 6};
  // By boat (index = boat number − 1): the lines the tooltip gives for the boat (six entries).
  QStringList reasons;
  // False when the predictor failed: courses are 枠なり and failure says why.
  bool predicted = false;
  QString failureTitle;  // the failing routine's box title ("EntryCourseExpectStandardErr")
  QString failure;       // its description

  // The predicted course of boat 1..6, 0 for another number.
  std::int16_t Course(int boat) const;
};

// Predicts race intRaceNo (1..12) of the loaded card from the racer store. A fixed-entry race is
// 枠なり for every predictor. Shows no box: a failure is in the value, for the caller to report
// once. The rule set's shared tables hold this race afterwards, as its description requires.
// 履歴 reads the six racers' records from the history (by boat number - 1); without them every
// racer keeps his number.
EntryPrediction PredictEntry(EntryPredictor predictor, const cBangumiFile& card, std::int16_t intRaceNo,
                             const cSensyuFile& racers,
                             const std::array<mWinHistory::RacerRecord, 6>* history = nullptr);

// The predictor's name on the menu and the status line ("標準", "統計", "履歴").
QString EntryPredictorName(EntryPredictor predictor);
// The word a setting keeps it under ("rules", "stat", "history"), and back; nothing for another word.
QString EntryPredictorKey(EntryPredictor predictor);
std::optional<EntryPredictor> EntryPredictorFromKey(const QString& strKey);
// Every predictor, in the menu's order.
inline constexpr EntryPredictor kEntryPredictors[] = {EntryPredictor::Rules, EntryPredictor::Stat,
                                                      EntryPredictor::History};

}  // namespace tidewake
