#pragma once

#include "history/cRirekiDb.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"
#include "predict/mWinFeatures.h"
#include "predict/mWinFit.h"

#include <QDate>
#include <QString>

#include <functional>
#include <memory>
#include <stop_token>

// The win model fitted on the user's history: one routine with one set of rules for the window's
// "勝率を学習し直す" and the console's `fit`. The history is read a month at a time, so memory
// grows with the races fitted, not with the days held; a fit on no race is refused, and one on
// fewer than kMinimumRaces is only made when the user says so.
namespace tidewake::mWinTrain {

// Below this many races a fit scores clearly worse on days it never saw than one on a year of
// days (bench/predict/WinFitSize: log-loss on unseen days against the races fitted).
inline constexpr int kMinimumRaces = 10000;

enum class Status {
  Empty,    // nothing gathered yet
  Ready,    // gathered, enough races to fit
  Few,      // gathered, fewer than kMinimumRaces: fit only when the user says so
  Nothing,  // no race to fit: refused
  Fitted,   // fitted; Result() holds the model
  Stopped,  // stopped on request: nothing to keep
  Failed,   // the history could not be read, or memory ran out
};

class cTraining {
 public:
  // The races of the days from `from` to `to` inclusive (a null date is open), with the features
  // of `before` and `after` (the chances before and after the exhibition) and the ridge penalty
  // `ridge` (the program's own by default).
  explicit cTraining(QDate from = {}, QDate to = {}, const mWinFeatures::FeatureSet& before = mWinFeatures::BeforeSet(),
                     const mWinFeatures::FeatureSet& after = mWinFeatures::AfterSet(), double ridge = mWinEval::kRidge);
  ~cTraining();
  cTraining(const cTraining&) = delete;
  cTraining& operator=(const cTraining&) = delete;

  // Reads the history's days (from the window its features look back over before `from`) and
  // keeps the races to fit: placed, no refund; each twice, with the courses the 履歴 entry
  // predicts (before the exhibition) and with its exhibition's times and courses as its results
  // tell them (after). `reading` hears each day read. On the thread that opened `db`.
  Status Gather(const cRirekiDb& db, const std::function<void(QDate)>& reading = {}, std::stop_token stop = {});
  // The same from days given in date order (from the window before `from` on, for the features).
  Status Gather(const mWinEval::DaySource& days, const std::function<void(QDate)>& reading = {},
                std::stop_token stop = {});
  // Fits the races gathered (Ready or Few), both models. `progress` hears each Newton step.
  Status Fit(const std::function<void(int)>& progress = {}, std::stop_token stop = {});

  Status status() const { return status_; }
  // The races and the days (those with a race) gathered, and their first and last day.
  const mWinCoefficients::Period& Gathered() const { return period_; }
  // The days before the first fitted that the features look back over.
  int LookBackDays() const;
  // The model fitted (Fitted).
  const mWinCoefficients::Model& Result() const { return model_; }
  // What to tell the user: the refusal (Nothing), the question (Few), what was learnt (Fitted),
  // what went wrong (Failed); empty otherwise.
  QString Message() const;

 private:
  // Lets the races gathered go.
  void Forget();

  QDate from_, to_;
  mWinFeatures::FeatureSet before_, after_;
  double ridge_;
  Status status_ = Status::Empty;
  std::unique_ptr<mWinFit::RaceSet> races_, afterRaces_;
  mWinCoefficients::Period period_;
  mWinCoefficients::Model model_;
  QString failure_;
};

// "2022-07-01 ～ 2022-07-31", "2022-07-01 から", "履歴のすべての日": the days asked for.
QString RangeText(QDate from, QDate to);

}  // namespace tidewake::mWinTrain
