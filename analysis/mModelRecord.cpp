#include "analysis/mModelRecord.h"

#include "analysis/mPages.h"
#include "history/cRirekiDb.h"
#include "predict/mWinFeatures.h"

#include <algorithm>
#include <cmath>

namespace tidewake::mModelRecord {

namespace {

using mReport::Cell;
using mReport::Count;
using mReturnRate::Combination;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

double Ll(double p) { return -std::log(std::max(p, 1e-12)); }

// The chance of a combination of the kind from the model's chances (boats 1..6).
double ChanceOf(const mWinModel::RaceChances& c, Kakesiki kind, const Combination& b) {
  auto ex = [&](int i, int j) { return c.Exacta[U((i - 1) * 6 + (j - 1))]; };
  auto tri = [&](int i, int j, int k) { return c.Trifecta[U((i - 1) * 36 + (j - 1) * 6 + (k - 1))]; };
  switch (kind) {
    case Kakesiki::Tansyo:
      return c.Win[U(b[0] - 1)];
    case Kakesiki::Fukusyo: {
      double p = 0;
      for (int j = 1; j <= 6; ++j) p += j == b[0] ? 0 : ex(b[0], j) + ex(j, b[0]);
      return p;
    }
    case Kakesiki::Nirentan:
      return ex(b[0], b[1]);
    case Kakesiki::Nirenfuku:
      return ex(b[0], b[1]) + ex(b[1], b[0]);
    case Kakesiki::Kakurenfuku: {
      double p = 0;
      for (int i = 1; i <= 6; ++i) {
        for (int j = 1; j <= 6; ++j) {
          for (int k = 1; k <= 6; ++k) {
            if (i == j || j == k || i == k) continue;
            const bool both = (i == b[0] || j == b[0] || k == b[0]) && (i == b[1] || j == b[1] || k == b[1]);
            if (both) p += tri(i, j, k);
          }
        }
      }
      return p;
    }
    case Kakesiki::Sanrentan:
      return tri(b[0], b[1], b[2]);
    case Kakesiki::Sanrenfuku:
      break;
  }
  return tri(b[0], b[1], b[2]) + tri(b[0], b[2], b[1]) + tri(b[1], b[0], b[2]) + tri(b[1], b[2], b[0]) +
         tri(b[2], b[0], b[1]) + tri(b[2], b[1], b[0]);
}

QString MonthOf(QDate d) { return d.toString(QStringLiteral("yyyy/MM")); }

std::vector<Cell> LossRow(const QString& label, const LogLoss& l) {
  const bool few = l.Races < 100;
  std::vector<Cell> row{mReport::Text(label, few), Count(l.Races, few)};
  for (std::size_t k = 0; k < 3; ++k) {
    const double n = static_cast<double>(l.Races);
    row.push_back(mReport::Number(l.Races ? l.Model[k] / n : mReport::kNone, 4, few));
    row.push_back(mReport::Number(l.Races ? l.Pool[k] / n : mReport::kNone, 4, few));
  }
  return row;
}

QStringList LossColumns(const QString& first) {
  return {first,
          QStringLiteral("レース数"),
          QStringLiteral("単勝 モデル"),
          QStringLiteral("単勝 オッズ"),
          QStringLiteral("2連単 モデル"),
          QStringLiteral("2連単 オッズ"),
          QStringLiteral("3連単 モデル"),
          QStringLiteral("3連単 オッズ")};
}

}  // namespace

std::vector<std::pair<Combination, double>> Ranked(const mWinModel::RaceChances& chances, Kakesiki kind) {
  std::vector<std::pair<Combination, double>> out;
  for (const Combination& c : mReturnRate::AllCombinations(kind)) out.push_back({c, ChanceOf(chances, kind, c)});
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  return out;
}

ResultRace RaceOf(QDate date, int venue, int raceNo, const cKekkaFile::Race& result) {
  ResultRace r;
  r.Date = date;
  r.Jyo = static_cast<std::int16_t>(venue);
  r.RaceNo = static_cast<std::int16_t>(raceNo);
  r.Status = result.Status;
  r.RaceName = result.RaceName;
  r.Kimarite = result.Kimarite;
  r.Fusoku = result.Fusoku;
  for (const cKekkaFile::Boat& b : result.boats) {
    r.Boats.push_back({b.WakuNo, b.Course, b.TyakujyunNo, b.Tyakujyun, b.SensyuNo, b.MotorNo, b.TenjiTime,
                       b.StartTiming, b.StartFlying, b.StartLate, b.StartTimingExists});
  }
  r.Payouts = result.payouts;
  r.Fuseiritu = result.fuseiritu;
  return r;
}

void LogLoss::Add(const std::array<double, 3>& model, const std::array<double, 3>& pool) {
  ++Races;
  for (std::size_t k = 0; k < 3; ++k) {
    Model[k] += model[k];
    Pool[k] += pool[k];
  }
}

cRecord::cRecord(const mWinCoefficients::Model& model, const mPeriod::Period& period)
    : model_(model), period_(period) {}

const mReturnRate::Cell& cRecord::Bought(Kakesiki kind, int n) const {
  const auto at = std::find(kTopN.begin(), kTopN.end(), n);
  return bought_[U(static_cast<int>(kind))][static_cast<std::size_t>(at == kTopN.end() ? 0 : at - kTopN.begin())];
}

void cRecord::Add(const mWinEval::RaceCase& race) {
  if (race.Date < period_.From || race.Date > period_.To || !race.Result || !race.Card) return;
  if (dates_.empty() || dates_.back() != race.Date) {
    dates_.push_back(race.Date);
    fittedDays_ += model_.Fitted.Contains(race.Date) ? 1 : 0;
  }
  const int day = static_cast<int>(dates_.size()) - 1;
  ++walked_;
  const mWinModel::RaceChances c =
      mWinModel::Predict(race.Rows, model_.Before, mWinEval::CoursesOf(race.Entry.Courses));
  const ResultRace result = RaceOf(race.Date, race.Venue, race.RaceNo, *race.Result);
  for (Kakesiki kind : mReturnRate::kKinds) {
    const mReturnRate::cRaceBets bets(result, kind);
    if (!bets.Counts()) continue;
    const auto ranked = Ranked(c, kind);
    for (std::size_t n = 0; n < kTopN.size(); ++n) {
      std::vector<Combination> buy;
      for (std::size_t i = 0; i < ranked.size() && i < U(kTopN[n]); ++i) buy.push_back(ranked[i].first);
      bought_[U(static_cast<int>(kind))][n].Add(day, bets.Buy(buy));
    }
  }
  const mWinEval::Outcome o = mWinEval::ReadOutcome(race.Card->races[U(race.RaceNo - 1)], *race.Result);
  if (!o.Placed || o.Refund || !o.Tansyo || !o.Nirentan || !o.Sanrentan) return;
  const int a = o.FirstThree[0] - 1, b = o.FirstThree[1] - 1, t = o.FirstThree[2] - 1;
  const std::array<double, 3> model{Ll(c.Win[U(a)]), Ll(c.Exacta[U(a * 6 + b)]), Ll(c.Trifecta[U(a * 36 + b * 6 + t)])};
  const std::array<double, 3> pool{Ll(mWinEval::PoolChance(o.Tansyo)), Ll(mWinEval::PoolChance(o.Nirentan)),
                                   Ll(mWinEval::PoolChance(o.Sanrentan))};
  total_.Add(model, pool);
  months_[MonthOf(race.Date)].Add(model, pool);
  venues_[race.Venue].Add(model, pool);
  for (int i = 0; i < 6; ++i) {
    const double p = c.Win[U(i)];
    Bin& bin = bins_[U(std::clamp(static_cast<int>(p * 10), 0, 9))];
    ++bin.Boats;
    bin.Chance += p;
    bin.Won += i == a ? 1 : 0;
  }
  ++topRaces_;
  topWon_ += std::max_element(c.Win.begin(), c.Win.end()) - c.Win.begin() == a ? 1 : 0;
}

mReport::Page cRecord::Page() const { return PageNamed({}); }

mReport::Page cRecord::PageNamed(const std::map<int, QString>& venueNames) const {
  mReport::Page page;
  page.Title = QStringLiteral("勝率モデルの成績（%1）").arg(mPeriod::Text(period_));
  const mWinCoefficients::Period& f = model_.Fitted;
  page.Notes << QStringLiteral(
      "各レースはその日より前の日の成績だけから予想（その日の成績は使わない）。係数は使用中のもの。");
  if (f.First.isValid()) {
    page.Notes << QStringLiteral(
                      "係数の学習期間: %1 ～ %2（%3 レース）。この期間の %4 日のうち %5 "
                      "日は学習に使った日で、その日の成績は係数に入っています。")
                      .arg(mReport::DateText(f.First), mReport::DateText(f.Last))
                      .arg(f.Races)
                      .arg(dates_.size())
                      .arg(fittedDays_);
  }
  page.Notes << QStringLiteral(
                    "対数損失: 的中した組番の確率の −log の平均（小さいほどよい）。オッズの確率は 0.75 × 100円 ÷ "
                    "払戻金（100円元返しは0.75）。")
             << QStringLiteral(
                    "対数損失・信頼性・本命の的中率は、1～3着が1艇ずつ決まり、返還（F・L・欠場）がなく、単勝・2連単・3"
                    "連単が特払いでなく払い戻されたレースで数える。")
             << QStringLiteral("上位N点: モデルの確率の高い順にN点を各100円で買う。");
  for (const QString& d : mReturnRate::Definitions()) page.Notes << d;

  mReport::Table total;
  total.Title = QStringLiteral("対数損失（全体）");
  total.Columns = LossColumns(QStringLiteral("期間"));
  total.Rows.push_back(LossRow(mPeriod::Text(period_), total_));
  total.Note = QStringLiteral("本命（勝率の最も高い艇）の1着率: %1%（%2レース中%3）。予想したレース %4。")
                   .arg(mReport::Percent(topRaces_ ? static_cast<double>(topWon_) / static_cast<double>(topRaces_)
                                                   : mReport::kNone))
                   .arg(topRaces_)
                   .arg(topWon_)
                   .arg(walked_);
  page.Tables.push_back(std::move(total));

  mReport::Table months;
  months.Title = QStringLiteral("月別の対数損失");
  months.Columns = LossColumns(QStringLiteral("月"));
  mReport::Chart monthly;
  monthly.Title = QStringLiteral("単勝の対数損失（月別）");
  monthly.Kind = mReport::ChartKind::Lines;
  monthly.XLabel = QStringLiteral("月");
  monthly.YLabel = QStringLiteral("対数損失");
  mReport::Series modelLine{QStringLiteral("モデル"), {}, {}}, poolLine{QStringLiteral("オッズ"), {}, {}};
  for (const auto& [month, l] : months_) {
    months.Rows.push_back(LossRow(month, l));
    const double x = mReport::DayAxis(QDate::fromString(month + QStringLiteral("/01"), QStringLiteral("yyyy/MM/dd")));
    modelLine.X.push_back(x);
    modelLine.Y.push_back(l.Model[0] / static_cast<double>(l.Races));
    poolLine.X.push_back(x);
    poolLine.Y.push_back(l.Pool[0] / static_cast<double>(l.Races));
  }
  page.Tables.push_back(std::move(months));
  monthly.Lines = {std::move(modelLine), std::move(poolLine)};

  mReport::Table venues;
  venues.Title = QStringLiteral("場別の対数損失");
  venues.Columns = LossColumns(QStringLiteral("場"));
  for (const auto& [venue, l] : venues_) {
    const auto name = venueNames.find(venue);
    venues.Rows.push_back(
        LossRow(name == venueNames.end() ? QStringLiteral("%1").arg(venue, 2, 10, QChar(u'0')) : name->second, l));
  }
  page.Tables.push_back(std::move(venues));

  mReport::Table bins;
  bins.Title = QStringLiteral("信頼性（勝率の予想と実際）");
  bins.Columns = {QStringLiteral("予想勝率"), QStringLiteral("艇数"), QStringLiteral("予想の平均(%)"),
                  QStringLiteral("実際の1着率(%)")};
  mReport::Chart reliability;
  reliability.Title = QStringLiteral("信頼性");
  reliability.Kind = mReport::ChartKind::Reliability;
  reliability.XLabel = QStringLiteral("予想勝率(%)");
  reliability.YLabel = QStringLiteral("実際の1着率(%)");
  mReport::Series points{QStringLiteral("モデル"), {}, {}};
  for (std::size_t i = 0; i < bins_.size(); ++i) {
    const Bin& b = bins_[i];
    const double n = static_cast<double>(b.Boats);
    const bool few = b.Boats < 100;
    bins.Rows.push_back({mReport::Text(QStringLiteral("%1～%2%").arg(i * 10).arg(i * 10 + 10), few),
                         Count(b.Boats, few), mReport::Number(b.Boats ? 100 * b.Chance / n : mReport::kNone, 1, few),
                         mReport::Number(b.Boats ? 100 * b.Won / n : mReport::kNone, 1, few)});
    if (!b.Boats) continue;
    points.X.push_back(100 * b.Chance / n);
    points.Y.push_back(100 * b.Won / n);
  }
  page.Tables.push_back(std::move(bins));
  reliability.Lines = {std::move(points)};
  page.Charts.push_back(std::move(reliability));
  page.Charts.push_back(std::move(monthly));

  const mReturnRate::cResampler resampler(static_cast<int>(dates_.size()));
  mReport::Table bought;
  bought.Title = QStringLiteral("モデルの上位N点を買った回収率");
  bought.Columns = {QStringLiteral("勝式"),      QStringLiteral("点数"),      QStringLiteral("レース数"),
                    QStringLiteral("的中率(%)"), QStringLiteral("回収率(%)"), QStringLiteral("95%区間")};
  for (Kakesiki kind : mReturnRate::kKinds) {
    for (int n : kTopN) {
      const mReturnRate::Cell& c = Bought(kind, n);
      const bool few = c.Races < mReturnRate::kFewRaces;
      const auto interval = resampler.Interval(c.Days);
      bought.Rows.push_back({mReport::Text(mReturnRate::KindName(kind), few), Count(n, few), Count(c.Races, few),
                             Cell{mReport::Percent(c.HitRate()), c.HitRate() * 100, few},
                             Cell{mReport::Percent(c.Rate()), c.Rate() * 100, few},
                             Cell{mReturnRate::IntervalText(interval), interval.first * 100, few}});
    }
  }
  page.Tables.push_back(std::move(bought));
  return page;
}

mReport::Page Page(const cRirekiDb& db, const mWinCoefficients::Model& model, const mPeriod::Period& period,
                   std::stop_token stop, const Progress& progress) {
  cRecord record(model, period);
  // The forecasts look back over the window before the period's first day.
  const QDate start = period.From.addDays(-mWinFeatures::kWindowDays - 1);
  const int total = static_cast<int>(start.daysTo(period.To)) + 1;
  const mWinEval::DaySource days = mWinEval::HistoryDays(db, start, period.To);
  mWinEval::Walk(
      [&](DayRecord& day) {
        if (!days(day)) return false;
        if (progress) progress(static_cast<int>(start.daysTo(day.date)) + 1, total);
        return true;
      },
      {}, [&](const mWinEval::RaceCase& rc) { record.Add(rc); }, stop);
  if (stop.stop_requested()) return {};
  return record.PageNamed(mPages::VenueNames(db));
}

}  // namespace tidewake::mModelRecord
