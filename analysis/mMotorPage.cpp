#include "analysis/mMotorPage.h"

#include "analysis/mRaceFacts.h"
#include "history/cRirekiDb.h"

#include <algorithm>

namespace tidewake::mMotorPage {

namespace {

using mReport::Cell;
using mReport::Count;
using mReport::Share;

// A motor number as the programme and the results print it, without its padding.
QString Key(const QString& motorNo) { return motorNo.trimmed(); }

}  // namespace

double MotorRecord::Top2Rate() const {
  return Starts > 0 ? static_cast<double>(Top2) / static_cast<double>(Starts) : mReport::kNone;
}

void cMotorTally::Add(const ResultRace& race) {
  if (race.Status != RaceStatus::Held) return;
  for (const ResultBoat& b : race.Boats) {
    if (!mRaceFacts::Started(b) || Key(b.MotorNo).isEmpty()) continue;
    MotorRecord& m = motors_[Key(b.MotorNo)];
    mRaceFacts::CountPlace(m, b.TyakujyunNo);
    if (b.TenjiTime > 0) {
      ++m.Tenji;
      m.TenjiSum += b.TenjiTime;
    }
  }
}

void cMotorTally::Add(const ProgrammeMotor& motor) {
  if (Key(motor.MotorNo).isEmpty()) return;
  MotorRecord& m = motors_[Key(motor.MotorNo)];
  if (!m.ProgrammeDate.isValid() || motor.Date >= m.ProgrammeDate) {
    m.ProgrammeDate = motor.Date;
    m.Programme = motor.MotorFSyoritu;
  }
}

mReport::Page PageOf(const cMotorTally& tally, const Query& query, const QString& venueName) {
  mReport::Page page;
  page.Title = QStringLiteral("%1のモーター（%2）").arg(venueName, mPeriod::Text(query.Period));
  page.Notes = {
      QStringLiteral(
          "モーターの期の始まり（交換の日）は番組表にも成績にも書かれていません。期間の始めの日を選んでください。"),
      QStringLiteral(
          "出走・1着率・2連対率は成績から（成立したレースで進入コースのある艇）。展示は展示タイムのある出走の平均。"),
      QStringLiteral("番組の2連率は期間中に番組表が最後に載せた値。2連対率の高い順、出走%1未満は薄く表示。")
          .arg(kFewStarts)};
  if (!query.Marked.isEmpty()) page.Notes << QStringLiteral("印のある行（グラフでは帯）はこのレースのモーター。");

  std::vector<std::pair<QString, const MotorRecord*>> order;
  for (const auto& [no, m] : tally.Motors()) order.push_back({no, &m});
  auto rate = [](const MotorRecord* m) { return m->Starts ? m->Top2Rate() : -1.0; };
  std::stable_sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
    if (rate(a.second) != rate(b.second)) return rate(a.second) > rate(b.second);
    if (a.second->Starts != b.second->Starts) return a.second->Starts > b.second->Starts;
    return a.first.toInt() < b.first.toInt();
  });

  mReport::Table t;
  t.Title = QStringLiteral("モーター成績");
  t.Columns = {QStringLiteral("順位"),          QStringLiteral("モーター"),   QStringLiteral("出走"),
               QStringLiteral("1着率(%)"),      QStringLiteral("2連対率(%)"), QStringLiteral("展示(平均)"),
               QStringLiteral("番組の2連率(%)")};
  mReport::Chart chart;
  chart.Title = QStringLiteral("2連対率（成績）と番組の2連率");
  chart.YLabel = QStringLiteral("%");
  mReport::Series results{QStringLiteral("成績の2連対率"), {}, {}}, programme{QStringLiteral("番組の2連率"), {}, {}};
  int rank = 0;
  for (const auto& [no, m] : order) {
    ++rank;
    const bool few = m->Starts < kFewStarts;
    const bool marked = query.Marked.contains(no);
    std::vector<Cell> row{
        Count(rank, few),
        mReport::Text(no, few),
        Count(m->Starts, few),
        Share(m->Wins, m->Starts, few),
        Share(m->Top2, m->Starts, few),
        mReport::Number(m->Tenji ? m->TenjiSum / static_cast<double>(m->Tenji) : mReport::kNone, 2, few),
        m->ProgrammeDate.isValid() ? mReport::Number(m->Programme, 2, few) : mReport::Text(QStringLiteral("－"), few)};
    for (Cell& c : row) c.Marked = marked;
    t.Rows.push_back(std::move(row));
    chart.Categories << no;
    if (marked) chart.Marked.push_back(rank);
    results.X.push_back(rank);
    results.Y.push_back(m->Starts ? 100.0 * m->Top2Rate() : 0.0);
    programme.X.push_back(rank);
    programme.Y.push_back(m->ProgrammeDate.isValid() ? static_cast<double>(m->Programme) : 0.0);
  }
  page.Tables.push_back(std::move(t));
  chart.Lines = {std::move(results), std::move(programme)};
  page.Charts.push_back(std::move(chart));
  return page;
}

mReport::Page Page(const cRirekiDb& db, const Query& query, const QString& venueName, std::stop_token stop) {
  cMotorTally tally;
  db.ResultRaces(query.Period.From, query.Period.To, query.Jyo, [&](const ResultRace& r) { tally.Add(r); }, stop,
                 {.RaceTexts = false, .BoatDetails = true, .Payouts = 0});
  if (stop.stop_requested()) return {};
  for (const ProgrammeMotor& m : db.ProgrammeMotors(query.Jyo, query.Period.From, query.Period.To)) tally.Add(m);
  return PageOf(tally, query, venueName);
}

}  // namespace tidewake::mMotorPage
