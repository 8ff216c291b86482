#include "predict/mWinTrain.h"

#include "platform/RuntimeError.h"
#include "predict/mWinEval.h"
#include "predict/mWinFeatures.h"

#include <algorithm>
#include <new>

namespace tidewake::mWinTrain {

namespace {

QString Day(QDate d) { return d.toString(Qt::ISODate); }

}  // namespace

QString RangeText(QDate from, QDate to) {
  if (from.isValid() && to.isValid()) return QStringLiteral("%1 ～ %2").arg(Day(from), Day(to));
  if (from.isValid()) return QStringLiteral("%1 から").arg(Day(from));
  if (to.isValid()) return QStringLiteral("%1 まで").arg(Day(to));
  return QStringLiteral("履歴のすべての日");
}

cTraining::cTraining(QDate from, QDate to, const mWinFeatures::FeatureSet& before,
                     const mWinFeatures::FeatureSet& after, double ridge)
    : from_(from), to_(to), before_(before), after_(after), ridge_(ridge) {}

int cTraining::LookBackDays() const {
  return std::max({mWinFeatures::kWindowDays, before_.EntryWindowDays, after_.EntryWindowDays});
}

cTraining::~cTraining() = default;

Status cTraining::Gather(const cRirekiDb& db, const std::function<void(QDate)>& reading, std::stop_token stop) {
  // The features of the first day fitted look back over the window before it.
  return Gather(mWinEval::HistoryDays(db, from_.isValid() ? from_.addDays(-LookBackDays()) : QDate(), to_), reading,
                std::move(stop));
}

Status cTraining::Gather(const mWinEval::DaySource& days, const std::function<void(QDate)>& reading,
                         std::stop_token stop) {
  Forget();
  period_ = {};
  model_ = {};
  failure_.clear();
  if (from_.isValid() && to_.isValid() && from_ > to_) return status_ = Status::Nothing;
  QDate read;
  try {
    races_ = std::make_unique<mWinFit::RaceSet>(static_cast<int>(mWinFeatures::FeatureNames(before_).size()),
                                                mWinFeatures::OneHotFrom(before_));
    afterRaces_ = std::make_unique<mWinFit::RaceSet>(static_cast<int>(mWinFeatures::FeatureNames(after_).size()),
                                                     mWinFeatures::OneHotFrom(after_));
    const mWinEval::DaySource told = [&](DayRecord& day) {
      if (!days(day)) return false;
      read = day.date;
      if (reading) reading(day.date);
      return true;
    };
    const QDate end = to_.isValid() ? to_.addDays(1) : QDate();
    mWinEval::Walk(
        told, before_,
        [&](const mWinEval::RaceCase& rc) {
          if (!rc.Result) return;
          const mWinEval::Outcome o =
              mWinEval::ReadOutcome(rc.Card->races[static_cast<std::size_t>(rc.RaceNo - 1)], *rc.Result);
          if (!mWinEval::Fittable(rc, o, from_, end)) return;
          const mWinFeatures::Exhibition shown = mWinEval::ExhibitionOf(*rc.Result);
          const mWinModel::RaceRows after = mWinFeatures::AfterFeatures(*rc.Card, rc.RaceNo, shown, rc.Records, after_);
          const auto order = mWinEval::ZeroBased(o.FirstThree);
          const mWinModel::Courses predicted = mWinEval::CoursesOf(rc.Entry.Courses);
          const mWinModel::Courses real = mWinEval::CoursesOf(shown.Courses);
          // A race goes into both models or neither, so that they learn from the same races.
          if (!races_->Accepts(rc.Rows, order, predicted) || !afterRaces_->Accepts(after, order, real)) return;
          races_->Add(rc.Rows, order, predicted);
          afterRaces_->Add(after, order, real);
          if (rc.Date != period_.Last) {
            ++period_.Days;
            if (!period_.First.isValid()) period_.First = rc.Date;
            period_.Last = rc.Date;
          }
        },
        stop);
    period_.Races = static_cast<int>(races_->Races());
  } catch (const std::bad_alloc&) {
    Forget();
    failure_ = QStringLiteral(
                   "メモリが足りないため、勝率を学習できませんでした（%1 まで読んだところ）。"
                   "学習する期間を短くしてください。係数は変えていません。")
                   .arg(read.isValid() ? Day(read) : QStringLiteral("履歴の始め"));
    return status_ = Status::Failed;
  } catch (const RuntimeError& e) {
    Forget();
    failure_ = e.reportText() + QStringLiteral("\n係数は変えていません。");
    return status_ = Status::Failed;
  }
  if (stop.stop_requested()) {
    Forget();
    return status_ = Status::Stopped;
  }
  if (period_.Races == 0) {
    Forget();
    return status_ = Status::Nothing;
  }
  return status_ = period_.Races < kMinimumRaces ? Status::Few : Status::Ready;
}

Status cTraining::Fit(const std::function<void(int)>& progress, std::stop_token stop) {
  if (status_ != Status::Ready && status_ != Status::Few) return status_;
  try {
    int step = 0;
    const auto tick = [&](int) {
      if (progress) progress(++step);
    };
    mWinModel::Coefficients before = mWinFit::FitAll(*races_, mWinFeatures::FeatureNames(before_), ridge_, tick, stop);
    races_.reset();
    mWinModel::Coefficients after;
    if (before.IsWhole()) after = mWinFit::FitAll(*afterRaces_, mWinFeatures::FeatureNames(after_), ridge_, tick, stop);
    Forget();
    if (!before.IsWhole() || !after.IsWhole()) return status_ = Status::Stopped;
    model_ = {std::move(before), std::move(after), period_};
    return status_ = Status::Fitted;
  } catch (const std::bad_alloc&) {
    Forget();
    failure_ = QStringLiteral(
                   "メモリが足りないため、勝率を学習できませんでした（%1 レースの計算中）。"
                   "学習する期間を短くしてください。係数は変えていません。")
                   .arg(period_.Races);
    return status_ = Status::Failed;
  }
}

void cTraining::Forget() {
  races_.reset();
  afterRaces_.reset();
}

QString cTraining::Message() const {
  switch (status_) {
    case Status::Nothing:
      if (from_.isValid() && to_.isValid() && from_ > to_) {
        return QStringLiteral("期間の始め（%1）が終わり（%2）より後です。係数は変えていません。")
            .arg(Day(from_), Day(to_));
      }
      return QStringLiteral(
                 "学習できるレースがありません（%1）。番組と成績の両方がそろった日が要ります。"
                 "係数は変えていません。")
          .arg(RangeText(from_, to_));
    case Status::Few:
      return QStringLiteral(
                 "学習できるのは %1 日分の %2 レースだけです。%3 レースより少ないと、"
                 "出荷時の係数より外れやすくなります。このまま学習しますか。")
          .arg(period_.Days)
          .arg(period_.Races)
          .arg(kMinimumRaces);
    case Status::Fitted:
      return QStringLiteral("%1 日分（%2 ～ %3、%4 レース）の履歴で勝率を学習しました。")
          .arg(model_.Fitted.Days)
          .arg(Day(model_.Fitted.First), Day(model_.Fitted.Last))
          .arg(model_.Fitted.Races);
    case Status::Failed:
      return failure_;
    case Status::Empty:
    case Status::Ready:
    case Status::Stopped:
      break;
  }
  return QString();
}

}  // namespace tidewake::mWinTrain
