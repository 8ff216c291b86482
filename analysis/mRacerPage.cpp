#include "analysis/mRacerPage.h"

#include "analysis/mVenuePage.h"
#include "history/cRirekiDb.h"

#include <cmath>

namespace tidewake::mRacerPage {

namespace {

using mRaceFacts::Kimarite;
using mReport::Cell;
using mReport::Count;
using mReport::Share;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

constexpr int kFewStarts = 10;

bool Flew(const ResultBoat& b) { return b.StartFlying || b.Tyakujyun.startsWith(u'F'); }
bool Late(const ResultBoat& b) { return b.StartLate || b.Tyakujyun.startsWith(u'L'); }

QString StartText(const ResultBoat& b) {
  if (!b.StartTimingExists) return Late(b) ? QStringLiteral("L") : QStringLiteral("－");
  const QString figure = QString::number(static_cast<double>(b.StartTiming), 'f', 2);
  return (b.StartFlying ? QStringLiteral("F") : b.StartLate ? QStringLiteral("L") : QString()) + figure;
}

QString PlaceText(const RacerRace& r) {
  QString place = r.Boat.TyakujyunNo > 0 ? QStringLiteral("%1着").arg(r.Boat.TyakujyunNo) : r.Boat.Tyakujyun;
  if (r.Status == RaceStatus::Void) place += QStringLiteral("（不成立）");
  return place;
}

QString Bare(const QString& s) {
  QString t = s;
  t.remove(u' ').remove(QChar(0x3000));
  return t;
}

}  // namespace

double CourseRecord::MeanTiming() const {
  return Timings > 0 ? TimingSum / static_cast<double>(Timings) : mReport::kNone;
}

double CourseRecord::TimingSpread() const {
  if (Timings < 2) return mReport::kNone;
  const double n = static_cast<double>(Timings);
  const double var = (TimingSquares - TimingSum * TimingSum / n) / (n - 1);
  return std::sqrt(std::max(var, 0.0));
}

void cRacerTally::Add(const RacerRace& race) {
  const ResultBoat& b = race.Boat;
  const bool started = mRaceFacts::Started(b);
  const bool counted = race.Status == RaceStatus::Held && started;
  std::array<CourseRecord*, 2> records{&courses_[0], started ? &courses_[U(b.Course)] : nullptr};
  for (CourseRecord* r : records) {
    if (!r) continue;
    r->Flying += Flew(b) ? 1 : 0;
    r->Late += Late(b) ? 1 : 0;
    if (!counted) continue;
    mRaceFacts::CountPlace(*r, b.TyakujyunNo);
    if (b.WakuNo >= 1 && b.WakuNo <= 6) ++r->FromWaku[U(b.WakuNo)];
    if (b.TyakujyunNo == 1) ++r->WinsBy[U(static_cast<int>(mRaceFacts::KimariteOf(race.Kimarite)))];
    if (b.StartTimingExists && !Flew(b) && !Late(b)) {
      ++r->Timings;
      r->TimingSum += b.StartTiming;
      r->TimingSquares += static_cast<double>(b.StartTiming) * b.StartTiming;
    }
  }
  if (counted) {
    VenueRecord& v = venues_[race.Jyo];
    if (v.Name.isEmpty()) v.Name = Bare(race.JyoName);
    mRaceFacts::CountPlace(v, b.TyakujyunNo);
  }
  if (race.Programme && (rates_.empty() || rates_.back().first != race.Date)) {
    rates_.push_back({race.Date, race.ZenkokuSyoritu});
  }
}

mReport::Page PageOf(const std::vector<RacerRace>& races, const Query& query, const QString& name) {
  cRacerTally tally;
  for (auto r = races.rbegin(); r != races.rend(); ++r) tally.Add(*r);

  mReport::Page page;
  page.Title =
      QStringLiteral("%1 %2（%3）")
          .arg(query.SensyuNo, name.isEmpty() ? QStringLiteral("（名前なし）") : name, mPeriod::Text(query.Period));
  page.Notes = mVenuePage::CountingWords();
  page.Notes << QStringLiteral(
                    "進入率: 全出走のうちそのコースに入った割合。枠番の列は、そのコースに入った出走の枠番別の数。")
             << QStringLiteral(
                    "平均ST・STのばらつき（標準偏差）: "
                    "タイミングのある出走から、F・Lを除いて。F・Lは不成立のレースのものも数える。")
             << QStringLiteral("出走%1未満の行は薄く表示。").arg(kFewStarts);

  const CourseRecord& all = tally.Course(0);
  mReport::Table courses;
  courses.Title = QStringLiteral("進入コース別");
  courses.Columns = {QStringLiteral("コース"), QStringLiteral("出走"), QStringLiteral("進入率(%)")};
  for (int w = 1; w <= 6; ++w) courses.Columns << QStringLiteral("%1号艇から").arg(w);
  courses.Columns << QStringLiteral("1着率(%)") << QStringLiteral("2連対率(%)") << QStringLiteral("3連対率(%)")
                  << QStringLiteral("平均ST") << QStringLiteral("STのばらつき") << QStringLiteral("F")
                  << QStringLiteral("L");
  mReport::Table wins;
  wins.Title = QStringLiteral("1着の決まり手");
  wins.Columns = {QStringLiteral("コース"), QStringLiteral("1着")};
  for (int k = 0; k < mRaceFacts::kKimarite; ++k) wins.Columns << mRaceFacts::KimariteName(static_cast<Kimarite>(k));
  mReport::Chart bars;
  bars.Title = QStringLiteral("進入コース別の率");
  bars.YLabel = QStringLiteral("%");
  std::array<mReport::Series, 3> rates{mReport::Series{QStringLiteral("1着率"), {}, {}},
                                       mReport::Series{QStringLiteral("2連対率"), {}, {}},
                                       mReport::Series{QStringLiteral("3連対率"), {}, {}}};
  for (int c : {1, 2, 3, 4, 5, 6, 0}) {
    const CourseRecord& r = tally.Course(c);
    const bool few = r.Starts < kFewStarts;
    const QString label = c ? QStringLiteral("%1コース").arg(c) : QStringLiteral("全体");
    std::vector<Cell> row{mReport::Text(label, few), Count(r.Starts, few), Share(r.Starts, all.Starts, few)};
    for (int w = 1; w <= 6; ++w) row.push_back(Count(r.FromWaku[U(w)], few));
    row.push_back(Share(r.Wins, r.Starts, few));
    row.push_back(Share(r.Top2, r.Starts, few));
    row.push_back(Share(r.Top3, r.Starts, few));
    row.push_back(mReport::Number(r.MeanTiming(), 2, few));
    row.push_back(mReport::Number(r.TimingSpread(), 3, few));
    row.push_back(Count(r.Flying, few));
    row.push_back(Count(r.Late, few));
    courses.Rows.push_back(std::move(row));
    std::vector<Cell> kim{mReport::Text(label), Count(r.Wins)};
    for (int k = 0; k < mRaceFacts::kKimarite; ++k) kim.push_back(Count(r.WinsBy[U(k)]));
    wins.Rows.push_back(std::move(kim));
    if (c == 0) continue;
    bars.Categories << label;
    const std::array<std::int64_t, 3> top{r.Wins, r.Top2, r.Top3};
    for (std::size_t s = 0; s < 3; ++s) {
      rates[s].X.push_back(c);
      rates[s].Y.push_back(r.Starts ? 100.0 * static_cast<double>(top[s]) / static_cast<double>(r.Starts) : 0.0);
    }
  }
  courses.Note = QStringLiteral("F・Lの全体には、進入コースのないもの（出遅れで進入なし）も入る。");
  page.Tables.push_back(std::move(courses));
  page.Tables.push_back(std::move(wins));
  bars.Lines.assign(rates.begin(), rates.end());
  page.Charts.push_back(std::move(bars));

  mReport::Table venues;
  venues.Title = QStringLiteral("場別（当地）");
  venues.Columns = {QStringLiteral("場"), QStringLiteral("出走"), QStringLiteral("1着率(%)"),
                    QStringLiteral("2連対率(%)"), QStringLiteral("3連対率(%)")};
  auto venueRow = [&](std::int16_t jyo, const VenueRecord& v) {
    const bool few = v.Starts < kFewStarts, here = jyo == query.Jyo;
    std::vector<Cell> row{
        mReport::Text(v.Name.isEmpty() ? QStringLiteral("%1").arg(jyo, 2, 10, QChar(u'0')) : v.Name, few),
        Count(v.Starts, few), Share(v.Wins, v.Starts, few), Share(v.Top2, v.Starts, few), Share(v.Top3, v.Starts, few)};
    for (Cell& cell : row) cell.Marked = here;
    if (here) row[0].Text += QStringLiteral("（当地）");
    return row;
  };
  if (query.Jyo > 0) {
    const auto here = tally.Venues().find(query.Jyo);
    venues.Rows.push_back(venueRow(query.Jyo, here == tally.Venues().end() ? VenueRecord{} : here->second));
  }
  for (const auto& [jyo, v] : tally.Venues()) {
    if (jyo != query.Jyo) venues.Rows.push_back(venueRow(jyo, v));
  }
  page.Tables.push_back(std::move(venues));

  mReport::Chart rateChart;
  rateChart.Title = QStringLiteral("全国勝率の推移（番組表）");
  rateChart.Kind = mReport::ChartKind::Lines;
  rateChart.XLabel = QStringLiteral("日付");
  rateChart.YLabel = QStringLiteral("全国勝率");
  mReport::Series line{QStringLiteral("全国勝率"), {}, {}};
  for (const auto& [day, rate] : tally.WinRates()) {
    line.X.push_back(mReport::DayAxis(day));
    line.Y.push_back(static_cast<double>(rate));
  }
  rateChart.Lines.push_back(std::move(line));
  page.Charts.push_back(std::move(rateChart));

  mReport::Table list;
  list.Title = QStringLiteral("出走表（新しい順）");
  list.Columns = {QStringLiteral("日付"),     QStringLiteral("場"),   QStringLiteral("R"),
                  QStringLiteral("レース名"), QStringLiteral("艇番"), QStringLiteral("進入"),
                  QStringLiteral("ST"),       QStringLiteral("着順"), QStringLiteral("決まり手")};
  for (const RacerRace& r : races) {
    list.Rows.push_back({mReport::Text(mReport::DateText(r.Date)), mReport::Text(Bare(r.JyoName)), Count(r.RaceNo),
                         mReport::Text(Bare(r.RaceName)), Count(r.Boat.WakuNo),
                         r.Boat.Course > 0 ? Count(r.Boat.Course) : mReport::Text(QStringLiteral("－")),
                         mReport::Text(StartText(r.Boat)), mReport::Text(PlaceText(r)),
                         mReport::Text(Bare(r.Kimarite))});
  }
  page.Tables.push_back(std::move(list));
  return page;
}

mReport::Page Page(const cRirekiDb& db, const Query& query) {
  return PageOf(db.RacerRaces(query.SensyuNo, query.Period.From, query.Period.To), query, db.RacerName(query.SensyuNo));
}

}  // namespace tidewake::mRacerPage
