#pragma once

#include "analysis/mPeriod.h"
#include "analysis/mReport.h"
#include "analysis/mReturnRate.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinEval.h"

#include <QDate>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <stop_token>
#include <vector>

namespace tidewake {
class cRirekiDb;
}

// The model's own record: over a period, the win chances' log-loss beside the betting pool's, by
// month and by venue, for 単勝, 2連単 and 3連単; how often a chance came true, in tenths; how often
// its top pick won; and what buying its N likeliest combinations of each kind returned. The days
// are walked as the model's evaluation walks them: each race is forecast from the days before
// its own, never from its day's results.
namespace tidewake::mModelRecord {

// The model's chance of every combination of a kind, likeliest first (ties in the results' order).
std::vector<std::pair<mReturnRate::Combination, double>> Ranked(const mWinModel::RaceChances& chances, Kakesiki kind);

// The race's results as the 回収率 tables read them.
ResultRace RaceOf(QDate date, int venue, int raceNo, const cKekkaFile::Race& result);

// Log-loss sums of the model and the pool over the races scored.
struct LogLoss {
  std::int64_t Races = 0;
  std::array<double, 3> Model{}, Pool{};  // 単勝, 2連単, 3連単
  void Add(const std::array<double, 3>& model, const std::array<double, 3>& pool);
};

// How many the top N of each kind buys.
inline constexpr std::array<int, 3> kTopN{1, 3, 5};

class cRecord {
 public:
  cRecord(const mWinCoefficients::Model& model, const mPeriod::Period& period);
  // A race of the walk; those before the period are only the history the forecasts look back on.
  void Add(const mWinEval::RaceCase& race);
  mReport::Page Page() const;
  // The same with the venues by name.
  mReport::Page PageNamed(const std::map<int, QString>& venueNames) const;

  const LogLoss& Total() const { return total_; }
  const std::map<QString, LogLoss>& Months() const { return months_; }
  const std::map<int, LogLoss>& Venues() const { return venues_; }
  struct Bin {
    std::int64_t Boats = 0;
    double Chance = 0, Won = 0;
  };
  const std::array<Bin, 10>& Bins() const { return bins_; }
  std::int64_t TopPicks() const { return topRaces_; }
  std::int64_t TopPicksWon() const { return topWon_; }
  // By kind and N (kTopN).
  const mReturnRate::Cell& Bought(Kakesiki kind, int n) const;
  // Races of the period walked, and of them those the log-loss scores.
  std::int64_t Walked() const { return walked_; }

 private:
  mWinCoefficients::Model model_;
  mPeriod::Period period_;
  LogLoss total_;
  std::map<QString, LogLoss> months_;
  std::map<int, LogLoss> venues_;
  std::array<Bin, 10> bins_{};
  std::int64_t topRaces_ = 0, topWon_ = 0, walked_ = 0;
  std::array<std::array<mReturnRate::Cell, kTopN.size()>, kKakesikiCount> bought_{};
  std::vector<QDate> dates_;
  int fittedDays_ = 0;
};

// Told how far the walk has come: days done of the days to walk.
using Progress = std::function<void(int done, int total)>;

// The record from the history's days (with the days the forecasts look back on before the
// period); an empty page when a stop was requested.
mReport::Page Page(const cRirekiDb& db, const mWinCoefficients::Model& model, const mPeriod::Period& period,
                   std::stop_token stop = {}, const Progress& progress = {});

}  // namespace tidewake::mModelRecord
