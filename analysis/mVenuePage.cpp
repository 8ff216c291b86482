#include "analysis/mVenuePage.h"

#include "history/cRirekiDb.h"

#include <algorithm>

namespace tidewake::mVenuePage {

namespace {

using mRaceFacts::Kimarite;
using mReport::Cell;
using mReport::Count;
using mReport::Share;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// Fewer starts than this say little: their cells are faded.
constexpr int kFewStarts = 30;

void AddBand(BandCount& band, const std::array<bool, 6>& won) {
  ++band.Races;
  for (std::size_t c = 0; c < 6; ++c) band.Wins[c] += won[c] ? 1 : 0;
}

mReport::Table BandTable(const QString& title, const QString& what,
                         const std::vector<std::pair<QString, BandCount>>& bands) {
  mReport::Table t;
  t.Title = title;
  t.Columns = {what, QStringLiteral("レース数")};
  for (int c = 1; c <= 6; ++c) t.Columns << QStringLiteral("%1コース1着率(%)").arg(c);
  for (const auto& [name, b] : bands) {
    const bool few = b.Races < kFewStarts;
    std::vector<Cell> row{mReport::Text(name, few), Count(b.Races, few)};
    for (std::size_t c = 0; c < 6; ++c) row.push_back(Share(b.Wins[c], b.Races, few));
    t.Rows.push_back(std::move(row));
  }
  t.Note =
      QStringLiteral("コース別の1着率は、その区分のレース数に対する割合（そのコースに艇がいないレースも分母に入る）。");
  return t;
}

}  // namespace

void cVenueTally::Add(const ResultRace& race) {
  if (race.Status != RaceStatus::Held) return;
  ++races_;
  const Kimarite kimarite = mRaceFacts::KimariteOf(race.Kimarite);
  std::array<bool, 6> won{};
  bool courseOneWon = false;
  for (const ResultBoat& b : race.Boats) {
    if (!mRaceFacts::Started(b)) continue;
    CourseCount& c = courses_[U(b.Course - 1)];
    mRaceFacts::CountPlace(c, b.TyakujyunNo);
    if (b.TyakujyunNo == 1) {
      ++c.WinsBy[U(static_cast<int>(kimarite))];
      won[U(b.Course - 1)] = true;
      courseOneWon = courseOneWon || b.Course == 1;
    }
  }
  if (!courseOneWon) ++lost_[U(static_cast<int>(mRaceFacts::BoatInCourse(race, 1) ? kimarite : Kimarite::Other))];
  if (const int band = mRaceFacts::RaceBand(race.RaceNo); band >= 0) AddBand(raceBands_[U(band)], won);
  AddBand(windBands_[U(mRaceFacts::WindBand(race.Fusoku))], won);
  AddBand(classes_[U(static_cast<int>(mRaceFacts::RaceClassOf(race.RaceName)))], won);
  if (!race.Fuseiritu[U(static_cast<int>(Kakesiki::Sanrentan))]) {
    for (const cKekkaFile::Haraimodosi& h : race.Payouts[U(static_cast<int>(Kakesiki::Sanrentan))]) {
      if (!h.Tokubarai && h.Kingaku > 0) trifecta_.push_back(h.Kingaku);
    }
  }
}

PayoutProfile Profile(std::vector<std::int32_t> yen) {
  PayoutProfile p;
  p.Count = static_cast<std::int64_t>(yen.size());
  if (yen.empty()) return p;
  std::sort(yen.begin(), yen.end());
  const auto under = std::count_if(yen.begin(), yen.end(), [](std::int32_t y) { return y < 1000; });
  const auto over = std::count_if(yen.begin(), yen.end(), [](std::int32_t y) { return y > 10000; });
  p.Under1000 = static_cast<double>(under) / static_cast<double>(yen.size());
  p.Over10000 = static_cast<double>(over) / static_cast<double>(yen.size());
  const std::size_t n = yen.size();
  p.Median = n % 2 ? yen[n / 2] : (static_cast<double>(yen[n / 2 - 1]) + yen[n / 2]) / 2.0;
  return p;
}

QStringList CountingWords() {
  return {QStringLiteral("出走: "
                         "成立したレースで進入コースのある艇（F・L・失格も出走に数え、欠場は数えない）。中止・不成立の"
                         "レースは数えない。"),
          QStringLiteral(
              "1着率・2連対率・3連対率: 出走のうち1着・2着以内・3着以内に入った割合。同着はそれぞれその着順に数える。"),
          QStringLiteral("決まり手は成績ファイルの1着艇の決まり手（逃げ・差し・まくり・まくり差し・抜き・恵まれ）。")};
}

mReport::Page PageOf(const cVenueTally& tally, const QString& venueName, const mPeriod::Period& period) {
  mReport::Page page;
  page.Title = QStringLiteral("%1の傾向（%2）").arg(venueName, mPeriod::Text(period));
  page.Notes = CountingWords();
  page.Notes << QStringLiteral("%1レースを数えました。出走%2未満の行は薄く表示。").arg(tally.Races()).arg(kFewStarts);

  mReport::Table courses;
  courses.Title = QStringLiteral("進入コース別");
  courses.Columns = {QStringLiteral("コース"), QStringLiteral("出走"), QStringLiteral("1着率(%)"),
                     QStringLiteral("2連対率(%)"), QStringLiteral("3連対率(%)")};
  for (int k = 0; k < mRaceFacts::kKimarite; ++k) courses.Columns << mRaceFacts::KimariteName(static_cast<Kimarite>(k));
  mReport::Chart bars;
  bars.Title = QStringLiteral("進入コース別の率");
  bars.Kind = mReport::ChartKind::Bars;
  bars.YLabel = QStringLiteral("%");
  std::array<mReport::Series, 3> rates{mReport::Series{QStringLiteral("1着率"), {}, {}},
                                       mReport::Series{QStringLiteral("2連対率"), {}, {}},
                                       mReport::Series{QStringLiteral("3連対率"), {}, {}}};
  for (int c = 1; c <= 6; ++c) {
    const CourseCount& n = tally.Course(c);
    const bool few = n.Starts < kFewStarts;
    std::vector<Cell> row{mReport::Text(QStringLiteral("%1コース").arg(c), few), Count(n.Starts, few),
                          Share(n.Wins, n.Starts, few), Share(n.Top2, n.Starts, few), Share(n.Top3, n.Starts, few)};
    for (int k = 0; k < mRaceFacts::kKimarite; ++k) row.push_back(Count(n.WinsBy[U(k)], few));
    courses.Rows.push_back(std::move(row));
    bars.Categories << QStringLiteral("%1コース").arg(c);
    const std::array<std::int64_t, 3> top{n.Wins, n.Top2, n.Top3};
    for (std::size_t s = 0; s < 3; ++s) {
      rates[s].X.push_back(c);
      rates[s].Y.push_back(n.Starts ? 100.0 * static_cast<double>(top[s]) / static_cast<double>(n.Starts) : 0.0);
    }
  }
  courses.Note = QStringLiteral("決まり手の列はそのコースの1着の数。");
  page.Tables.push_back(std::move(courses));
  bars.Lines.assign(rates.begin(), rates.end());
  page.Charts.push_back(std::move(bars));

  const CourseCount& one = tally.Course(1);
  mReport::Table nige;
  nige.Title = QStringLiteral("1コースの逃げと敗れ方");
  nige.Columns = {QStringLiteral("項目"), QStringLiteral("レース数"), QStringLiteral("割合(%)")};
  const std::int64_t races = tally.Races();
  const std::int64_t escaped = one.WinsBy[U(static_cast<int>(Kimarite::Nige))];
  nige.Rows.push_back({mReport::Text(QStringLiteral("逃げ")), Count(escaped), Share(escaped, races)});
  const std::array<std::pair<Kimarite, QString>, 7> lost{{{Kimarite::Sashi, QStringLiteral("差され")},
                                                          {Kimarite::Makuri, QStringLiteral("捲られ")},
                                                          {Kimarite::Makurizashi, QStringLiteral("捲り差され")},
                                                          {Kimarite::Nuki, QStringLiteral("抜かれ")},
                                                          {Kimarite::Megumare, QStringLiteral("恵まれ")},
                                                          {Kimarite::Nige, QStringLiteral("他艇の逃げ")},
                                                          {Kimarite::Other, QStringLiteral("その他")}}};
  for (const auto& [k, name] : lost) {
    const std::int64_t n = tally.CourseOneLost()[U(static_cast<int>(k))];
    if (n == 0 && (k == Kimarite::Nige || k == Kimarite::Other)) continue;
    nige.Rows.push_back({mReport::Text(name), Count(n), Share(n, races)});
  }
  nige.Note = QStringLiteral(
      "割合はレース数に対して。敗れ方は1コースの艇が1着でないレースの1着艇の決まり手（1コースに艇がいない・決まり手のな"
      "いレースはその他）。");
  page.Tables.push_back(std::move(nige));

  std::vector<std::pair<QString, BandCount>> bands;
  for (int b = 0; b < mRaceFacts::kRaceBands; ++b) bands.push_back({mRaceFacts::RaceBandName(b), tally.RaceBand(b)});
  page.Tables.push_back(BandTable(QStringLiteral("レース番号別"), QStringLiteral("レース"), bands));
  bands.clear();
  for (int b = 0; b < mRaceFacts::kWindBands; ++b) bands.push_back({mRaceFacts::WindBandName(b), tally.WindBand(b)});
  page.Tables.push_back(BandTable(QStringLiteral("風速別"), QStringLiteral("風速"), bands));
  bands.clear();
  for (int c = 0; c < mRaceFacts::kRaceClasses; ++c) {
    const auto rc = static_cast<mRaceFacts::RaceClass>(c);
    bands.push_back({mRaceFacts::RaceClassName(rc), tally.RaceClass(rc)});
  }
  mReport::Table classes = BandTable(QStringLiteral("レース名別"), QStringLiteral("レース名"), bands);
  classes.Note += QStringLiteral(
      "予選は名に「予選」を含むレース、特選・選抜は特選・選抜・特賞・特別・ドリーム、その他は場が独自に名付けた一般のレ"
      "ース。");
  page.Tables.push_back(std::move(classes));

  const PayoutProfile p = Profile(tally.Trifecta());
  mReport::Table pay;
  pay.Title = QStringLiteral("3連単の配当");
  pay.Columns = {QStringLiteral("払戻の数"), QStringLiteral("1,000円未満(%)"), QStringLiteral("10,000円超(%)"),
                 QStringLiteral("中央値(円)")};
  pay.Rows.push_back({Count(p.Count), mReport::Cell{mReport::Percent(p.Under1000), p.Under1000 * 100},
                      mReport::Cell{mReport::Percent(p.Over10000), p.Over10000 * 100}, mReport::Number(p.Median, 0)});
  pay.Note = QStringLiteral("100円あたりの払戻金。同着は払い戻された組番ごとに数え、特払いと不成立は除く。");
  page.Tables.push_back(std::move(pay));
  return page;
}

mReport::Page Page(const cRirekiDb& db, std::int16_t jyo, const QString& venueName, const mPeriod::Period& period,
                   std::stop_token stop) {
  cVenueTally tally;
  db.ResultRaces(period.From, period.To, jyo, [&](const ResultRace& r) { tally.Add(r); }, stop,
                 {.RaceTexts = true, .BoatDetails = false, .Payouts = ResultParts::PayoutsOf(Kakesiki::Sanrentan)});
  if (stop.stop_requested()) return {};
  return PageOf(tally, venueName, period);
}

}  // namespace tidewake::mVenuePage
