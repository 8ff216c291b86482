#include "analysis/mReturnRate.h"

#include "analysis/mRaceFacts.h"
#include "analysis/mSpans.h"
#include "history/cRirekiDb.h"

#include <algorithm>
#include <limits>
#include <random>
#include <thread>

namespace tidewake::mReturnRate {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

const std::array<QString, kKakesikiCount> kNames{
    QStringLiteral("単勝"),   QStringLiteral("複勝"),  QStringLiteral("2連単"), QStringLiteral("2連複"),
    QStringLiteral("拡連複"), QStringLiteral("3連単"), QStringLiteral("3連複")};
const std::array<QString, kKakesikiCount> kKeys{QStringLiteral("tansyo"),      QStringLiteral("fukusyo"),
                                                QStringLiteral("nirentan"),    QStringLiteral("nirenfuku"),
                                                QStringLiteral("kakurenfuku"), QStringLiteral("sanrentan"),
                                                QStringLiteral("sanrenfuku")};

// The combinations of the kind that name boat `b` first (ordered kinds) or at all (unordered).
std::vector<Combination> FromBoat(Kakesiki kind, int b) {
  std::vector<Combination> out;
  for (const Combination& c : AllCombinations(kind)) {
    const bool named = Ordered(kind) ? c[0] == b : (c[0] == b || c[1] == b || c[2] == b);
    if (named) out.push_back(c);
  }
  return out;
}

// Popularity bands: 1..10 one by one, then 11–20, 21–30, 31–60, 61–120, as far as the kind has
// combinations.
std::vector<std::pair<int, int>> PopularityBands(Kakesiki kind) {
  const int n = static_cast<int>(AllCombinations(kind).size());
  std::vector<std::pair<int, int>> bands;
  for (int i = 1; i <= std::min(10, n); ++i) bands.push_back({i, i});
  for (const auto& [first, last] : {std::pair{11, 20}, {21, 30}, {31, 60}, {61, 120}}) {
    if (first <= n) bands.push_back({first, std::min(last, n)});
  }
  return bands;
}

}  // namespace

int Places(Kakesiki kind) {
  switch (kind) {
    case Kakesiki::Tansyo:
    case Kakesiki::Fukusyo:
      return 1;
    case Kakesiki::Nirentan:
    case Kakesiki::Nirenfuku:
    case Kakesiki::Kakurenfuku:
      return 2;
    case Kakesiki::Sanrentan:
    case Kakesiki::Sanrenfuku:
      break;
  }
  return 3;
}

bool Ordered(Kakesiki kind) {
  return kind != Kakesiki::Nirenfuku && kind != Kakesiki::Kakurenfuku && kind != Kakesiki::Sanrenfuku;
}

bool HasNinki(Kakesiki kind) { return kind != Kakesiki::Tansyo && kind != Kakesiki::Fukusyo; }

std::vector<Combination> AllCombinations(Kakesiki kind) {
  std::vector<Combination> out;
  const int places = Places(kind);
  const bool ordered = Ordered(kind);
  for (std::int16_t a = 1; a <= 6; ++a) {
    if (places == 1) {
      out.push_back({a, 0, 0});
      continue;
    }
    for (std::int16_t b = 1; b <= 6; ++b) {
      if (b == a || (!ordered && b < a)) continue;
      if (places == 2) {
        out.push_back({a, b, 0});
        continue;
      }
      for (std::int16_t c = 1; c <= 6; ++c) {
        if (c == a || c == b || (!ordered && c < b)) continue;
        out.push_back({a, b, c});
      }
    }
  }
  return out;
}

QString CombinationText(const Combination& c, Kakesiki kind) {
  QStringList parts;
  for (int i = 0; i < Places(kind); ++i) parts << QString::number(c[U(i)]);
  return parts.join(u'-');
}

std::optional<Combination> ParseCombination(const QString& kumiban, Kakesiki kind) {
  const QStringList parts = kumiban.trimmed().split(u'-');
  if (parts.size() != Places(kind)) return std::nullopt;
  Combination c{};
  for (qsizetype i = 0; i < parts.size(); ++i) {
    bool ok = false;
    const int b = parts[i].trimmed().toInt(&ok);
    if (!ok || b < 1 || b > 6) return std::nullopt;
    for (qsizetype j = 0; j < i; ++j) {
      if (c[U(static_cast<int>(j))] == b) return std::nullopt;
    }
    c[U(static_cast<int>(i))] = static_cast<std::int16_t>(b);
  }
  if (!Ordered(kind)) {
    // Ascending over the places used; the unused ones stay 0 at the end.
    const std::size_t n = U(Places(kind));
    for (std::size_t i = 1; i < n; ++i) {
      for (std::size_t j = i; j > 0 && c[j - 1] > c[j]; --j) std::swap(c[j - 1], c[j]);
    }
  }
  return c;
}

std::optional<Kakesiki> KindByName(const QString& name) {
  for (Kakesiki k : kKinds) {
    const int i = static_cast<int>(k);
    if (name == kKeys[U(i)] || name == kNames[U(i)]) return k;
  }
  return std::nullopt;
}

QString KindName(Kakesiki kind) { return kNames[U(static_cast<int>(kind))]; }
QString KindKey(Kakesiki kind) { return kKeys[U(static_cast<int>(kind))]; }

cRaceBets::cRaceBets(const ResultRace& race, Kakesiki kind) : kind_(kind) {
  const int k = static_cast<int>(kind);
  const auto& payouts = race.Payouts[U(k)];
  counts_ = race.Status == RaceStatus::Held && !race.Fuseiritu[U(k)] && !payouts.empty();
  refunded_.fill(true);
  for (const ResultBoat& b : race.Boats) {
    if (b.WakuNo >= 1 && b.WakuNo <= 6) refunded_[U(b.WakuNo)] = mRaceFacts::Refunded(b);
  }
  for (const cKekkaFile::Haraimodosi& h : payouts) {
    if (h.Tokubarai) {
      tokubarai_ = std::max(tokubarai_, h.Kingaku);
      continue;
    }
    const std::optional<Combination> c = ParseCombination(h.Kumiban, kind);
    if (c) winners_.push_back({*c, h.Kingaku, h.Ninki});
  }
  // Payouts the program cannot read say nothing it could count.
  if (winners_.empty() && tokubarai_ == 0) counts_ = false;
}

bool cRaceBets::AnyRefund() const {
  for (int w = 1; w <= 6; ++w) {
    if (refunded_[U(w)]) return true;
  }
  return false;
}

Take cRaceBets::Buy(const std::vector<Combination>& combinations) const {
  Take t;
  if (!counts_) return t;
  for (const Combination& c : combinations) {
    if (NamesRefunded(c)) continue;
    t.Stake += 100;
    t.Return += tokubarai_;
    for (const Winner& w : winners_) {
      if (w.Boats == c) {
        t.Return += w.Yen;
        t.Hit = true;
      }
    }
  }
  return t;
}

bool cRaceBets::NamesRefunded(const Combination& c) const {
  for (int i = 0; i < Places(kind_); ++i) {
    if (Refunded(c[U(i)])) return true;
  }
  return false;
}

Take cRaceBets::BuyPopularity(int first, int last) const {
  Take t;
  if (!counts_ || AnyRefund()) return t;
  t.Stake = 100LL * (last - first + 1);
  t.Return = tokubarai_ * (last - first + 1);
  for (const Winner& w : winners_) {
    if (w.Ninki >= first && w.Ninki <= last) {
      t.Return += w.Yen;
      t.Hit = true;
    }
  }
  return t;
}

void Cell::Add(int day, const Take& take) {
  if (take.Stake <= 0) return;
  ++Races;
  Hits += take.Hit ? 1 : 0;
  Stake += take.Stake;
  Return += take.Return;
  if (Days.empty() || Days.back().Day != day) Days.push_back({day, 0, 0});
  Days.back().Stake += static_cast<double>(take.Stake);
  Days.back().Return += static_cast<double>(take.Return);
}

cResampler::cResampler(int days, int resamples, std::uint32_t seed)
    : days_(std::max(days, 0)), resamples_(resamples), weights_(U(days_) * U(resamples)) {
  std::mt19937 random(seed);
  for (int r = 0; r < resamples_; ++r) {
    for (int i = 0; i < days_; ++i) {
      // A uniform day without the library's distributions, so that every platform draws the same.
      const auto d = static_cast<std::size_t>((static_cast<std::uint64_t>(random()) * U(days_)) >> 32);
      std::uint16_t& w = weights_[d * U(resamples_) + U(r)];
      if (w < std::numeric_limits<std::uint16_t>::max()) ++w;
    }
  }
}

std::pair<double, double> cResampler::Interval(const std::vector<DaySum>& sums) const {
  std::vector<double> stake(U(resamples_)), back(U(resamples_));
  const std::size_t n = U(resamples_);
  double* st = stake.data();
  double* bk = back.data();
  for (const DaySum& s : sums) {
    if (s.Day < 0 || s.Day >= days_) continue;
    const std::uint16_t* w = &weights_[U(s.Day) * n];
    if (s.Return == 0) {
      for (std::size_t r = 0; r < n; ++r) st[r] += static_cast<double>(w[r]) * s.Stake;
      continue;
    }
    for (std::size_t r = 0; r < n; ++r) {
      const double k = static_cast<double>(w[r]);
      st[r] += k * s.Stake;
      bk[r] += k * s.Return;
    }
  }
  std::vector<double> rates;
  rates.reserve(U(resamples_));
  for (int r = 0; r < resamples_; ++r) {
    if (stake[U(r)] > 0) rates.push_back(back[U(r)] / stake[U(r)]);
  }
  if (rates.empty()) return {mReport::kNone, mReport::kNone};
  std::sort(rates.begin(), rates.end());
  auto at = [&](double q) {
    const auto i = static_cast<std::size_t>(q * static_cast<double>(rates.size() - 1) + 0.5);
    return rates[std::min(i, rates.size() - 1)];
  };
  return {at(0.025), at(0.975)};
}

std::vector<std::pair<double, double>> Intervals(const cResampler& resampler,
                                                 const std::vector<const std::vector<DaySum>*>& cells) {
  std::vector<std::pair<double, double>> out(cells.size());
  const std::size_t threads = std::min<std::size_t>(U(mSpans::Threads()), cells.size());
  auto work = [&](std::size_t first) {
    for (std::size_t i = first; i < cells.size(); i += std::max<std::size_t>(threads, 1)) {
      out[i] = resampler.Interval(*cells[i]);
    }
  };
  if (threads <= 1) {
    work(0);
    return out;
  }
  {
    std::vector<std::jthread> others;
    for (std::size_t t = 1; t < threads; ++t) others.emplace_back(work, t);
    work(0);
  }
  return out;
}

QString IntervalText(const std::pair<double, double>& interval) {
  if (std::isnan(interval.first)) return QStringLiteral("－");
  return mReport::Percent(interval.first) + QStringLiteral("～") + mReport::Percent(interval.second);
}

QString IntervalWords() {
  return QStringLiteral(
             "95%区間: 日を単位とするブートストラップ（日を復元抽出、%1回、乱数の種は固定）の2.5%点と97.5%点。"
             "%2レース未満のセルは薄く表示。")
      .arg(cResampler::kResamples)
      .arg(kFewRaces);
}

QStringList Definitions() {
  return {QStringLiteral("回収率: 条件に合う買い目を各100円ずつ買ったときの払戻金 ÷ 購入額。的中率: "
                         "買った買い目のどれかが的中したレースの割合。"),
          QStringLiteral("払戻は成績ファイルの払戻金どおり: "
                         "同着は払戻のある組番をすべて的中とし、特払いはその勝式の買い目すべてに特払いの金額を払い戻す"
                         "（的中には数えない）。"),
          QStringLiteral("返還: "
                         "F・L・欠場（K）の艇を含む買い目は買わなかったものとして数えない。中止・不成立のレースと、その"
                         "勝式が不成立のレースは数えない。"),
          IntervalWords()};
}

std::optional<By> ByName(const QString& name) {
  if (name == u"boat") return By::Boat;
  if (name == u"course") return By::Course;
  if (name == u"popularity") return By::Popularity;
  if (name == u"combination") return By::Combination;
  return std::nullopt;
}

cTable::cTable(const Query& query) : query_(query) {
  const Kakesiki kind = query.Kind;
  switch (query.Rows) {
    case By::Boat:
    case By::Course:
      for (int b = 1; b <= 6; ++b) {
        const QString what =
            query.Rows == By::Boat ? QStringLiteral("%1号艇").arg(b) : QStringLiteral("%1コース").arg(b);
        const int n = static_cast<int>(FromBoat(kind, b).size());
        labels_ << (n == 1 ? what : QStringLiteral("%1から%2点").arg(what).arg(n));
        buys_.push_back(FromBoat(kind, b));
      }
      break;
    case By::Popularity:
      if (!HasNinki(kind)) break;
      bands_ = PopularityBands(kind);
      for (const auto& [first, last] : bands_) {
        labels_ << (first == last ? QStringLiteral("%1番人気").arg(first)
                                  : QStringLiteral("%1～%2番人気").arg(first).arg(last));
      }
      break;
    case By::Combination:
      index_.fill(-1);
      for (const Combination& c : AllCombinations(kind)) {
        index_[U(Code(c))] = static_cast<int>(buys_.size());
        labels_ << CombinationText(c, kind);
        buys_.push_back({c});
      }
      break;
  }
  cells_.resize(U(static_cast<int>(labels_.size())));
}

int cTable::Code(const Combination& c) { return (c[0] * 7 + c[1]) * 7 + c[2]; }

int cTable::Index(const Combination& c) const {
  const int code = Code(c);
  return code >= 0 && code < static_cast<int>(index_.size()) ? index_[U(code)] : -1;
}

void cTable::Add(const ResultRace& race) {
  if (race.Status != RaceStatus::Held) return;
  const cRaceBets bets(race, query_.Kind);
  if (!bets.Counts()) return;
  if (dates_.empty() || dates_.back() != race.Date) dates_.push_back(race.Date);
  const int day = static_cast<int>(dates_.size()) - 1;
  switch (query_.Rows) {
    case By::Boat:
      for (std::size_t i = 0; i < cells_.size(); ++i) cells_[i].Add(day, bets.Buy(buys_[i]));
      break;
    case By::Combination: {
      // Every combination at once: ¥100 each unless it names a refunded boat, then each payout on
      // the combination it names.
      const bool refund = bets.AnyRefund();
      takes_.assign(cells_.size(), Take{});
      for (std::size_t i = 0; i < cells_.size(); ++i) {
        if (refund && bets.NamesRefunded(buys_[i][0])) continue;
        takes_[i] = Take{100, bets.Tokubarai(), false};
      }
      for (const cRaceBets::Winner& w : bets.Winners()) {
        const int at = Index(w.Boats);
        if (at < 0 || takes_[U(at)].Stake == 0) continue;
        takes_[U(at)].Return += w.Yen;
        takes_[U(at)].Hit = true;
      }
      for (std::size_t i = 0; i < cells_.size(); ++i) cells_[i].Add(day, takes_[i]);
      break;
    }
    case By::Course:
      for (int c = 1; c <= 6; ++c) {
        const ResultBoat* b = mRaceFacts::BoatInCourse(race, c);
        if (b && b->WakuNo >= 1 && b->WakuNo <= 6) cells_[U(c - 1)].Add(day, bets.Buy(buys_[U(b->WakuNo - 1)]));
      }
      break;
    case By::Popularity:
      for (std::size_t i = 0; i < cells_.size(); ++i)
        cells_[i].Add(day, bets.BuyPopularity(bands_[i].first, bands_[i].second));
      break;
  }
}

void cTable::Merge(const cTable& later) {
  const int offset = static_cast<int>(dates_.size());
  dates_.insert(dates_.end(), later.dates_.begin(), later.dates_.end());
  for (std::size_t i = 0; i < cells_.size() && i < later.cells_.size(); ++i) {
    Cell& c = cells_[i];
    const Cell& l = later.cells_[i];
    c.Races += l.Races;
    c.Hits += l.Hits;
    c.Stake += l.Stake;
    c.Return += l.Return;
    for (const DaySum& d : l.Days) c.Days.push_back({d.Day + offset, d.Stake, d.Return});
  }
}

mReport::Page cTable::Page(const QString& venueName) const {
  using mReport::Cell;
  const QString kind = KindName(query_.Kind);
  static const std::array<QString, 4> kBy{QStringLiteral("艇番別"), QStringLiteral("進入コース別"),
                                          QStringLiteral("人気別"), QStringLiteral("出目")};
  const QString by = kBy[U(static_cast<int>(query_.Rows))];
  mReport::Page page;
  page.Title = QStringLiteral("回収率 %1 %2（%3、%4）").arg(kind, by, venueName, mPeriod::Text(query_.Period));
  page.Notes = Definitions();
  switch (query_.Rows) {
    case By::Boat:
      page.Notes.prepend(
          QStringLiteral("艇番別: その艇を1着（2連複・拡連複・3連複・複勝は組に含む）とする%1の買い目をすべて買う。")
              .arg(kind));
      break;
    case By::Course:
      page.Notes.prepend(QStringLiteral("進入コース別: "
                                        "そのコースに入った艇を1着（連複・複勝は組に含む）とする%"
                                        "1の買い目をすべて買う。そのコースに艇がいないレースは数えない。")
                             .arg(kind));
      break;
    case By::Popularity:
      page.Notes.prepend(HasNinki(query_.Kind)
                             ? QStringLiteral("人気別: "
                                              "その人気の組番を毎レース買う。成績ファイルは的中した組番の人気だけを載せ"
                                              "るので、返還のあったレースは数えない。")
                             : QStringLiteral("%1の人気は成績ファイルにないため、人気別の表はありません。").arg(kind));
      break;
    case By::Combination:
      page.Notes.prepend(QStringLiteral("出目: その組番を毎レース買う。出現回数の多い順。"));
      break;
  }
  const cResampler resampler(Days());
  mReport::Table t;
  t.Title = QStringLiteral("%1 %2").arg(kind, by);
  t.Columns = {QStringLiteral("条件"),      QStringLiteral("レース数"),  QStringLiteral("的中"),
               QStringLiteral("的中率(%)"), QStringLiteral("回収率(%)"), QStringLiteral("95%区間")};
  std::vector<std::size_t> order(cells_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (query_.Rows == By::Combination) {
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return cells_[a].Hits > cells_[b].Hits; });
  }
  mReport::Chart chart;
  chart.Title = QStringLiteral("累積回収率");
  chart.Kind = mReport::ChartKind::Lines;
  chart.XLabel = QStringLiteral("日付");
  chart.YLabel = QStringLiteral("回収率(%)");
  chart.Reference = 100.0;
  std::vector<const std::vector<DaySum>*> days;
  for (const mReturnRate::Cell& c : cells_) days.push_back(&c.Days);
  const std::vector<std::pair<double, double>> intervals = Intervals(resampler, days);
  for (std::size_t i : order) {
    const mReturnRate::Cell& c = cells_[i];
    const bool few = c.Races < kFewRaces;
    const auto& interval = intervals[i];
    t.Rows.push_back({Cell{labels_[static_cast<qsizetype>(i)], static_cast<double>(i), few},
                      Cell{QString::number(c.Races), static_cast<double>(c.Races), few},
                      Cell{QString::number(c.Hits), static_cast<double>(c.Hits), few},
                      Cell{mReport::Percent(c.HitRate()), c.HitRate() * 100, few},
                      Cell{mReport::Percent(c.Rate()), c.Rate() * 100, few},
                      Cell{IntervalText(interval), interval.first * 100, few}});
    mReport::Series s;
    s.Name = labels_[static_cast<qsizetype>(i)];
    double stake = 0, back = 0;
    for (const DaySum& d : c.Days) {
      stake += d.Stake;
      back += d.Return;
      s.X.push_back(mReport::DayAxis(dates_[U(d.Day)]));
      s.Y.push_back(stake > 0 ? 100.0 * back / stake : mReport::kNone);
    }
    chart.Lines.push_back(std::move(s));
  }
  page.Tables.push_back(std::move(t));
  page.Charts.push_back(std::move(chart));
  return page;
}

mReport::Page Table(const cRirekiDb& db, const Query& query, const QString& venueName, std::stop_token stop) {
  // Every venue's years of races are read in runs of days side by side; one venue's at once.
  const std::vector<mPeriod::Period> runs =
      query.Jyo == 0 ? mSpans::Cut(db, query.Period, mSpans::Threads()) : std::vector{query.Period};
  std::vector<cTable> tables(runs.size(), cTable(query));
  mSpans::Each(db, runs, [&](const cRirekiDb& own, std::size_t i) {
    own.ResultRaces(runs[i].From, runs[i].To, query.Jyo, [&](const ResultRace& r) { tables[i].Add(r); }, stop,
                    {.RaceTexts = false, .BoatDetails = false, .Payouts = ResultParts::PayoutsOf(query.Kind)});
  });
  if (stop.stop_requested()) return {};
  for (std::size_t i = 1; i < tables.size(); ++i) tables[0].Merge(tables[i]);
  return tables[0].Page(venueName);
}

}  // namespace tidewake::mReturnRate
