#include "analysis/mModelRecord.h"
#include "analysis/mPeriod.h"
#include "analysis/mReport.h"
#include "analysis/mReturnRate.h"
#include "analysis/mVenuePage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace tidewake {
namespace {

using mReturnRate::Combination;

// A race of six boats finishing in boat order, unless `places` says otherwise ("F" for boat 4
// flying: "01 02 03 F 05 06" by boat number).
ResultRace Race(RaceStatus status, const char16_t* places = u"01 02 03 04 05 06") {
  ResultRace r;
  r.Date = QDate(2022, 7, 1);
  r.Jyo = 21;
  r.RaceNo = 7;
  r.Status = status;
  const QStringList p = QString::fromUtf16(places).split(u' ');
  for (int w = 1; w <= 6; ++w) {
    ResultBoat b;
    b.WakuNo = static_cast<std::int16_t>(w);
    b.Course = static_cast<std::int16_t>(w);
    b.Tyakujyun = p.value(w - 1);
    b.TyakujyunNo = static_cast<std::int16_t>(b.Tyakujyun.toInt());
    b.StartFlying = b.Tyakujyun.startsWith(u'F');
    b.StartLate = b.Tyakujyun.startsWith(u'L');
    r.Boats.push_back(b);
  }
  return r;
}

void Pay(ResultRace& r, Kakesiki kind, const QString& kumiban, int yen, int ninki = 0) {
  cKekkaFile::Haraimodosi h;
  h.Kumiban = kumiban;
  h.Kingaku = yen;
  h.Ninki = static_cast<std::int16_t>(ninki);
  h.Tokubarai = kumiban.isEmpty();
  r.Payouts[static_cast<std::size_t>(kind)].push_back(h);
}

Combination C(int a, int b = 0, int c = 0) {
  return {static_cast<std::int16_t>(a), static_cast<std::int16_t>(b), static_cast<std::int16_t>(c)};
}

struct BuyCase {
  const char* name;
  RaceStatus status;
  const char16_t* places;
  Kakesiki kind;
  // The payouts: "組番 円" each, "|" between; an empty 組番 is a 特払い; "不成立" for a kind not sold.
  const char16_t* payouts;
  std::vector<Combination> buy;
  std::int64_t stake, back;
  bool hit;
};

void PrintTo(const BuyCase& c, std::ostream* os) { *os << c.name; }

const BuyCase kBuys[] = {
    {"hit", RaceStatus::Held, u"01 02 03 04 05 06", Kakesiki::Sanrentan, u"1-2-3 1230", {C(1, 2, 3)}, 100, 1230, true},
    {"miss", RaceStatus::Held, u"01 02 03 04 05 06", Kakesiki::Sanrentan, u"1-2-3 1230", {C(1, 3, 2)}, 100, 0, false},
    // A dead heat for third pays both orders: buying both returns both.
    {"dead_heat_both",
     RaceStatus::Held,
     u"02 05 01 03 03 06",
     Kakesiki::Sanrentan,
     u"3-1-4 7040|3-1-5 11880",
     {C(3, 1, 4), C(3, 1, 5), C(3, 1, 2)},
     300,
     18920,
     true},
    // A boat that flew is refunded: a combination naming it is not bought.
    {"refund_not_bought",
     RaceStatus::Held,
     u"01 02 03 F 05 06",
     Kakesiki::Nirentan,
     u"1-2 560",
     {C(1, 4), C(1, 2), C(4, 1)},
     100,
     560,
     true},
    {"late_not_bought", RaceStatus::Held, u"01 02 03 04 05 L0", Kakesiki::Tansyo, u"1 150", {C(6)}, 0, 0, false},
    // A special payout pays its yen on every combination bought; it is no hit.
    {"tokubarai", RaceStatus::Held, u"01 02 03 04 05 06", Kakesiki::Tansyo, u" 70", {C(1), C(2)}, 200, 140, false},
    {"fuseiritu", RaceStatus::Held, u"01 02 03 04 05 06", Kakesiki::Nirenfuku, u"不成立", {C(1, 2)}, 0, 0, false},
    {"cancelled", RaceStatus::Cancelled, u"", Kakesiki::Sanrentan, u"", {C(1, 2, 3)}, 0, 0, false},
    {"void", RaceStatus::Void, u"F F F F F 00", Kakesiki::Sanrentan, u"", {C(6, 1, 2)}, 0, 0, false},
    // Unordered kinds: the payout names the combination ascending.
    {"sanrenfuku_any_order",
     RaceStatus::Held,
     u"02 03 01 04 05 06",
     Kakesiki::Sanrenfuku,
     u"1-2-3 440",
     {C(1, 2, 3)},
     100,
     440,
     true},
    {"kakurenfuku_three_pay",
     RaceStatus::Held,
     u"01 02 03 04 05 06",
     Kakesiki::Kakurenfuku,
     u"1-2 150|1-3 220|2-3 480",
     {C(1, 2), C(2, 3), C(1, 4)},
     300,
     630,
     true},
};

class Buying : public testing::TestWithParam<BuyCase> {};

TEST_P(Buying, ReturnsWhatTheOfficialPayoutsSay) {
  const BuyCase& c = GetParam();
  ResultRace r = Race(c.status, c.places);
  const QString payouts = QString::fromUtf16(c.payouts);
  if (payouts == u"不成立") {
    r.Fuseiritu[static_cast<std::size_t>(c.kind)] = true;
  } else if (!payouts.isEmpty()) {
    for (const QString& p : payouts.split(u'|')) Pay(r, c.kind, p.section(u' ', 0, 0), p.section(u' ', 1, 1).toInt());
  }
  const mReturnRate::cRaceBets bets(r, c.kind);
  const mReturnRate::Take t = bets.Buy(c.buy);
  EXPECT_EQ(t.Stake, c.stake);
  EXPECT_EQ(t.Return, c.back);
  EXPECT_EQ(t.Hit, c.hit);
  // A race that took no stake is not counted in a cell.
  mReturnRate::Cell cell;
  cell.Add(0, t);
  EXPECT_EQ(cell.Races, c.stake > 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Races, Buying, testing::ValuesIn(kBuys),
                         [](const testing::TestParamInfo<BuyCase>& i) { return std::string(i.param.name); });

TEST(Buying, ByPopularityLeavesOutARaceWithARefund) {
  ResultRace r = Race(RaceStatus::Held);
  Pay(r, Kakesiki::Sanrentan, QStringLiteral("1-2-3"), 1230, 4);
  EXPECT_EQ(mReturnRate::cRaceBets(r, Kakesiki::Sanrentan).BuyPopularity(1, 5).Return, 1230);
  r.Boats[5].Tyakujyun = QStringLiteral("K0");
  const mReturnRate::Take t = mReturnRate::cRaceBets(r, Kakesiki::Sanrentan).BuyPopularity(1, 5);
  EXPECT_EQ(t.Stake, 0);
}

TEST(Combinations, EveryKindListsEachCombinationOnceAndReadsBackItsText) {
  const std::array<std::size_t, kKakesikiCount> counts{6, 6, 30, 15, 15, 120, 20};
  for (Kakesiki kind : mReturnRate::kKinds) {
    const auto all = mReturnRate::AllCombinations(kind);
    EXPECT_EQ(all.size(), counts[static_cast<std::size_t>(kind)]) << mReturnRate::KindKey(kind).toStdString();
    for (const Combination& c : all) {
      EXPECT_EQ(mReturnRate::ParseCombination(mReturnRate::CombinationText(c, kind), kind), c);
    }
    EXPECT_EQ(mReturnRate::KindByName(mReturnRate::KindKey(kind)), kind);
  }
  EXPECT_FALSE(mReturnRate::ParseCombination(QStringLiteral("1-1"), Kakesiki::Nirentan));
  EXPECT_FALSE(mReturnRate::ParseCombination(QStringLiteral("7-1"), Kakesiki::Nirentan));
  EXPECT_EQ(mReturnRate::ParseCombination(QStringLiteral("3-1"), Kakesiki::Nirenfuku), C(1, 3));
}

TEST(Resampling, GivesTheSameIntervalTwiceAndHoldsTheRate) {
  std::vector<mReturnRate::DaySum> days;
  for (int d = 0; d < 50; ++d) days.push_back({d, 1000, d % 5 == 0 ? 4000.0 : 300.0});
  const mReturnRate::cResampler a(50), b(50);
  const auto i = a.Interval(days);
  EXPECT_EQ(i, b.Interval(days));
  const double rate = (10 * 4000.0 + 40 * 300.0) / 50000.0;
  EXPECT_LT(i.first, rate);
  EXPECT_GT(i.second, rate);
  EXPECT_TRUE(std::isnan(a.Interval({}).first));
  // Many cells at once, split over threads, give each cell's own interval in the cells' order
  // (cells of every size, an empty one among them, and days outside the resamples ignored).
  std::vector<std::vector<mReturnRate::DaySum>> cells(9);
  for (std::size_t c = 0; c < cells.size(); ++c) {
    for (int d = 0; d < static_cast<int>(c) * 7; d += 1 + static_cast<int>(c % 3)) {
      cells[c].push_back({d, 100.0 * (1 + d % 4), d % (2 + static_cast<int>(c)) == 0 ? 750.0 : 0.0});
    }
  }
  cells[4].push_back({60, 100, 100});
  std::vector<const std::vector<mReturnRate::DaySum>*> all;
  for (const auto& c : cells) all.push_back(&c);
  const auto each = mReturnRate::Intervals(a, all);
  ASSERT_EQ(each.size(), cells.size());
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const auto one = a.Interval(cells[c]);
    if (std::isnan(one.first)) {
      EXPECT_TRUE(std::isnan(each[c].first)) << c;
    } else {
      EXPECT_EQ(each[c], one) << c;
    }
  }
}

TEST(PayoutProfile, CountsSharesAndTheMedian) {
  const mVenuePage::PayoutProfile p = mVenuePage::Profile({500, 999, 1000, 12000, 10000, 3000});
  EXPECT_EQ(p.Count, 6);
  EXPECT_DOUBLE_EQ(p.Under1000, 2.0 / 6);
  EXPECT_DOUBLE_EQ(p.Over10000, 1.0 / 6);
  EXPECT_DOUBLE_EQ(p.Median, 2000);
  EXPECT_TRUE(std::isnan(mVenuePage::Profile({}).Median));
}

struct PeriodCase {
  mPeriod::Choice choice;
  QDate end, from;
};

TEST(Periods, EndOnTheDayGivenAndStartTheDayAfterTheSpanBack) {
  const PeriodCase cases[] = {
      {mPeriod::Choice::SixMonths, QDate(2023, 6, 30), QDate(2023, 1, 1)},
      {mPeriod::Choice::OneYear, QDate(2023, 6, 30), QDate(2022, 7, 1)},
      {mPeriod::Choice::ThreeYears, QDate(2024, 2, 29), QDate(2021, 3, 1)},
      {mPeriod::Choice::All, QDate(2023, 6, 30), QDate(mPeriod::kFirstYear, 1, 1)},
  };
  for (const PeriodCase& c : cases) {
    const mPeriod::Period p = mPeriod::Of(c.choice, c.end);
    EXPECT_EQ(p.From, c.from) << mPeriod::ChoiceName(c.choice).toStdString();
    EXPECT_EQ(p.To, c.end);
  }
}

TEST(ReportText, QuotesWhatWouldBreakAFieldAndNothingElse) {
  mReport::Page page;
  page.Title = QStringLiteral("t");
  mReport::Table t;
  t.Title = QStringLiteral("表");
  t.Columns = {QStringLiteral("a"), QStringLiteral("b")};
  t.Rows.push_back({mReport::Text(QStringLiteral("x,y")), mReport::Text(QStringLiteral("say \"hi\"\tnow"))});
  page.Tables.push_back(t);
  const QString csv = mReport::CsvText(page);
  EXPECT_TRUE(csv.contains(QStringLiteral("\"x,y\",\"say \"\"hi\"\"\tnow\""))) << csv.toStdString();
  const QString tab = mReport::TabText(page);
  // A tab inside a cell would shift the columns of a spreadsheet pasted into.
  for (const QString& line : tab.split(u'\n')) {
    if (line.startsWith(QStringLiteral("x,y"))) {
      EXPECT_EQ(line.count(u'\t'), 1) << line.toStdString();
    }
  }
  EXPECT_EQ(mReport::Percent(mReport::kNone), QStringLiteral("－"));
  EXPECT_EQ(mReport::Share(3, 0).Text, QStringLiteral("－"));
  EXPECT_EQ(mReport::Percent(0.1234), QStringLiteral("12.3"));
}

// The model's chances of every combination of a kind add up to how many combinations of it a race
// pays: one, two for 複勝 (two boats place), three for 拡連複 (three pairs among the first three).
TEST(ModelRecord, RankedChancesOfEachKindAddUpToTheCombinationsARacePays) {
  mWinModel::RaceChances c{};
  const std::array<double, 6> win{0.4, 0.2, 0.15, 0.1, 0.1, 0.05};
  for (int i = 0; i < 6; ++i) c.Win[static_cast<std::size_t>(i)] = win[static_cast<std::size_t>(i)];
  // Places drawn one after another in proportion to what is left (any sound model will do).
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) {
      if (i == j) continue;
      const double pij =
          win[static_cast<std::size_t>(i)] * win[static_cast<std::size_t>(j)] / (1 - win[static_cast<std::size_t>(i)]);
      c.Exacta[static_cast<std::size_t>(i * 6 + j)] = pij;
      for (int k = 0; k < 6; ++k) {
        if (k == i || k == j) continue;
        c.Trifecta[static_cast<std::size_t>(i * 36 + j * 6 + k)] =
            pij * win[static_cast<std::size_t>(k)] /
            (1 - win[static_cast<std::size_t>(i)] - win[static_cast<std::size_t>(j)]);
      }
    }
  }
  const std::array<double, kKakesikiCount> sums{1, 2, 1, 1, 3, 1, 1};
  for (Kakesiki kind : mReturnRate::kKinds) {
    const auto ranked = mModelRecord::Ranked(c, kind);
    double sum = 0;
    for (std::size_t i = 0; i < ranked.size(); ++i) {
      sum += ranked[i].second;
      if (i) {
        EXPECT_GE(ranked[i - 1].second, ranked[i].second);
      }
    }
    EXPECT_NEAR(sum, sums[static_cast<std::size_t>(kind)], 1e-9) << mReturnRate::KindKey(kind).toStdString();
  }
  EXPECT_EQ(mModelRecord::Ranked(c, Kakesiki::Sanrentan).front().first, C(1, 2, 3));
}

}  // namespace
}  // namespace tidewake
