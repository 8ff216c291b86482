// The pages' figures on real days of the shared year, recorded into a history of the test's own,
// against plain loops over the values the stores read from the same files (never the history's
// SQL). The days hold a dead heat for third and one for second, races called off, a void race
// and special payouts of 単勝 and 2連複.

#include "analysis/mModelRecord.h"
#include "analysis/mMotorPage.h"
#include "analysis/mPages.h"
#include "analysis/mRacerPage.h"
#include "analysis/mReturnRate.h"
#include "analysis/mVenuePage.h"
#include "history/cRirekiDb.h"
#include "tests/common/SampleFiles.h"
#include "tests/history/HistoryFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace tidewake {
namespace {

using test::SharedDataFile;

const QDate kDays[] = {QDate(2022, 7, 1), QDate(2022, 7, 4),  QDate(2022, 7, 21),
                       QDate(2022, 8, 9), QDate(2022, 8, 13), QDate(2022, 9, 8)};

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// A race of the stores with where and when it was.
struct StoreRace {
  QDate date;
  int venue = 0, raceNo = 0;
  const cKekkaFile::Race* race = nullptr;
};

class RealDays : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const QString year = SharedDataFile(QStringLiteral("year"));
    if (year.isEmpty()) return;
    dir_ = std::make_unique<QTemporaryDir>();
    db_ = std::make_unique<cRirekiDb>(dir_->filePath(QStringLiteral("RIREKI.DB")));
    for (QDate d : kDays) {
      days_.push_back(test::ReadDayFiles(d, year));
      const DayRecord& day = days_.back();
      db_->RecordProgramme(d, day.cards, "B" + d.toString().toUtf8());
      db_->RecordResults(d, day.results, "K" + d.toString().toUtf8());
    }
    for (const DayRecord& day : days_) {
      for (const cKekkaFile::Venue& v : day.results) {
        for (int r = 0; r < cKekkaFile::kMaxRace; ++r) {
          if (!v.races[U(r)].Exists && v.races[U(r)].Status == RaceStatus::None) continue;
          races_.push_back({day.date, v.KyoteijyoCode.toInt(), r + 1, &v.races[U(r)]});
        }
      }
    }
  }
  static void TearDownTestSuite() {
    db_.reset();
    dir_.reset();
    days_.clear();
    races_.clear();
  }
  void SetUp() override {
    if (!db_) GTEST_SKIP() << "the shared year is not beside the project";
  }

  static std::unique_ptr<QTemporaryDir> dir_;
  static std::unique_ptr<cRirekiDb> db_;
  static std::vector<DayRecord> days_;
  static std::vector<StoreRace> races_;
};

std::unique_ptr<QTemporaryDir> RealDays::dir_;
std::unique_ptr<cRirekiDb> RealDays::db_;
std::vector<DayRecord> RealDays::days_;
std::vector<StoreRace> RealDays::races_;

bool IsRefunded(const cKekkaFile::Boat& b) {
  return b.StartFlying || b.StartLate || b.Tyakujyun.startsWith(u'F') || b.Tyakujyun.startsWith(u'L') ||
         b.Tyakujyun.startsWith(u'K');
}

// The combination as the results print it, the boats of an unordered kind put in ascending order.
QString Normal(QString kumiban, bool ordered) {
  if (ordered) return kumiban.trimmed();
  QStringList boats = kumiban.trimmed().split(u'-');
  std::sort(boats.begin(), boats.end());
  return boats.join(u'-');
}

struct Sum {
  std::int64_t races = 0, hits = 0, stake = 0, back = 0;
  bool operator==(const Sum&) const = default;
};

TEST_F(RealDays, TheDaysHoldTheCasesThatBendAReturn) {
  int deadHeats = 0, cancelled = 0, voids = 0, tokubarai = 0;
  for (const StoreRace& s : races_) {
    cancelled += s.race->Status == RaceStatus::Cancelled ? 1 : 0;
    voids += s.race->Status == RaceStatus::Void ? 1 : 0;
    deadHeats += s.race->payouts[U(static_cast<int>(Kakesiki::Sanrentan))].size() > 1 ? 1 : 0;
    for (const auto& kind : s.race->payouts) {
      for (const cKekkaFile::Haraimodosi& h : kind) tokubarai += h.Tokubarai ? 1 : 0;
    }
  }
  EXPECT_GE(deadHeats, 2);
  EXPECT_GE(cancelled, 1);
  EXPECT_GE(voids, 1);
  EXPECT_GE(tokubarai, 2);
}

// Every combination bought in every race: the 出目 table of each kind against a loop over the
// stores' payouts.
TEST_F(RealDays, EveryCombinationsReturnAgreesWithALoopOverThePayouts) {
  for (Kakesiki kind : mReturnRate::kKinds) {
    const std::size_t k = U(static_cast<int>(kind));
    const bool ordered = kind == Kakesiki::Nirentan || kind == Kakesiki::Sanrentan;
    const int places = mReturnRate::Places(kind);
    std::map<QString, Sum> expected;
    for (const StoreRace& s : races_) {
      const cKekkaFile::Race& r = *s.race;
      if (r.Status != RaceStatus::Held || r.fuseiritu[k] || r.payouts[k].empty()) continue;
      std::set<int> refunded{1, 2, 3, 4, 5, 6};
      for (const cKekkaFile::Boat& b : r.boats) {
        if (!IsRefunded(b)) refunded.erase(b.WakuNo);
      }
      std::int64_t special = 0;
      std::map<QString, std::int64_t> paid;
      for (const cKekkaFile::Haraimodosi& h : r.payouts[k]) {
        if (h.Tokubarai)
          special = std::max<std::int64_t>(special, h.Kingaku);
        else
          paid[Normal(h.Kumiban, ordered)] += h.Kingaku;
      }
      for (int a = 1; a <= 6; ++a) {
        for (int b = places > 1 ? 1 : 0; b <= (places > 1 ? 6 : 0); ++b) {
          for (int c = places > 2 ? 1 : 0; c <= (places > 2 ? 6 : 0); ++c) {
            if ((b && (a == b || (!ordered && b < a))) || (c && (c == a || c == b || (!ordered && c < b)))) continue;
            if (refunded.count(a) || refunded.count(b) || refunded.count(c)) continue;
            QString text = QString::number(a);
            if (b) text += u'-' + QString::number(b);
            if (c) text += u'-' + QString::number(c);
            Sum& e = expected[text];
            ++e.races;
            e.stake += 100;
            e.back += special;
            if (paid.count(text)) {
              ++e.hits;
              e.back += paid[text];
            }
          }
        }
      }
    }
    mReturnRate::cTable table({kind, mReturnRate::By::Combination, mPeriod::Everything(), 0});
    db_->ResultRaces(kDays[0], kDays[std::size(kDays) - 1], 0, [&](const ResultRace& r) { table.Add(r); });
    std::int64_t stake = 0;
    for (int i = 0; i < table.Labels().size(); ++i) {
      const mReturnRate::Cell& c = table.Cells()[U(i)];
      const Sum got{c.Races, c.Hits, c.Stake, c.Return};
      const Sum want = expected[table.Labels()[i]];
      EXPECT_EQ(got, want) << mReturnRate::KindKey(kind).toStdString() << " " << table.Labels()[i].toStdString() << ": "
                           << got.races << "/" << got.back << " against " << want.races << "/" << want.back;
      stake += c.Stake;
    }
    EXPECT_GT(stake, 0);
  }
}

TEST_F(RealDays, EachVenuesCoursesAgreeWithALoopOverTheResults) {
  std::map<int, std::array<std::array<std::int64_t, 4>, 6>> expected;  // starts, 1st, top 2, top 3
  std::map<int, std::int64_t> held;
  for (const StoreRace& s : races_) {
    if (s.race->Status != RaceStatus::Held) continue;
    ++held[s.venue];
    for (const cKekkaFile::Boat& b : s.race->boats) {
      if (b.Course < 1 || b.Course > 6) continue;
      auto& e = expected[s.venue][U(b.Course - 1)];
      const int place = b.Tyakujyun.toInt();  // "F", "K0", "S1" read as 0
      ++e[0];
      e[1] += place == 1;
      e[2] += place >= 1 && place <= 2;
      e[3] += place >= 1 && place <= 3;
    }
  }
  ASSERT_GT(expected.size(), 10u);
  for (const auto& [venue, courses] : expected) {
    mVenuePage::cVenueTally tally;
    db_->ResultRaces(kDays[0], kDays[std::size(kDays) - 1], static_cast<std::int16_t>(venue),
                     [&](const ResultRace& r) { tally.Add(r); });
    EXPECT_EQ(tally.Races(), held[venue]) << venue;
    for (int c = 1; c <= 6; ++c) {
      const mVenuePage::CourseCount& got = tally.Course(c);
      const std::array<std::int64_t, 4> g{got.Starts, got.Wins, got.Top2, got.Top3};
      EXPECT_EQ(g, courses[U(c - 1)]) << "venue " << venue << " course " << c;
    }
  }
}

TEST_F(RealDays, RacersPerCourseRatesAgreeWithALoopOverTheResults) {
  // starts, 1st, top 2, top 3, F, L per course (0: all)
  std::map<QString, std::array<std::array<std::int64_t, 6>, 7>> expected;
  for (const StoreRace& s : races_) {
    for (const cKekkaFile::Boat& b : s.race->boats) {
      auto& racer = expected[b.SensyuNo.trimmed()];
      const bool started = b.Course >= 1 && b.Course <= 6;
      const int place = b.Tyakujyun.toInt();
      for (int c : {0, started ? static_cast<int>(b.Course) : -1}) {
        if (c < 0) continue;
        auto& e = racer[U(c)];
        e[4] += b.StartFlying || b.Tyakujyun.startsWith(u'F');
        e[5] += b.StartLate || b.Tyakujyun.startsWith(u'L');
        if (s.race->Status != RaceStatus::Held || !started) continue;
        ++e[0];
        e[1] += place == 1;
        e[2] += place >= 1 && place <= 2;
        e[3] += place >= 1 && place <= 3;
      }
    }
  }
  // Every tenth racer, and every one who flew: enough to meet each rule, few enough to stay quick.
  int checked = 0, i = 0;
  for (const auto& [reg, courses] : expected) {
    if (i++ % 10 != 0 && courses[0][4] == 0) continue;
    const std::vector<RacerRace> races = db_->RacerRaces(reg, kDays[0], kDays[std::size(kDays) - 1]);
    mRacerPage::cRacerTally tally;
    for (auto r = races.rbegin(); r != races.rend(); ++r) tally.Add(*r);
    for (int c = 0; c <= 6; ++c) {
      const mRacerPage::CourseRecord& got = tally.Course(c);
      const std::array<std::int64_t, 6> g{got.Starts, got.Wins, got.Top2, got.Top3, got.Flying, got.Late};
      EXPECT_EQ(g, courses[U(c)]) << "racer " << reg.toStdString() << " course " << c;
    }
    ++checked;
  }
  EXPECT_GT(checked, 100);
}

TEST_F(RealDays, AVenuesMotorsAgreeWithALoopOverTheResults) {
  for (int venue : {1, 21, 24}) {
    std::map<QString, std::array<std::int64_t, 3>> expected;
    for (const StoreRace& s : races_) {
      if (s.venue != venue || s.race->Status != RaceStatus::Held) continue;
      for (const cKekkaFile::Boat& b : s.race->boats) {
        if (b.Course < 1 || b.Course > 6 || b.MotorNo.trimmed().isEmpty()) continue;
        auto& e = expected[b.MotorNo.trimmed()];
        const int place = b.Tyakujyun.toInt();
        ++e[0];
        e[1] += place == 1;
        e[2] += place >= 1 && place <= 2;
      }
    }
    mMotorPage::cMotorTally tally;
    db_->ResultRaces(kDays[0], kDays[std::size(kDays) - 1], static_cast<std::int16_t>(venue),
                     [&](const ResultRace& r) { tally.Add(r); });
    std::map<QString, std::array<std::int64_t, 3>> got;
    for (const auto& [motor, m] : tally.Motors()) got[motor] = {m.Starts, m.Wins, m.Top2};
    EXPECT_EQ(got, expected) << "venue " << venue;
  }
}

// Each page the window and the console ask for comes out titled, and a stop asked for ends it
// with an empty page.
TEST_F(RealDays, EveryPageComesOutAndAStopEndsIt) {
  const mPeriod::Period period{kDays[0], kDays[std::size(kDays) - 1]};
  std::vector<mPages::Request> requests;
  mPages::Request r;
  r.Period = period;
  r.Jyo = 21;
  for (mPages::PageKind kind : {mPages::PageKind::Venue, mPages::PageKind::Motor, mPages::PageKind::Roi}) {
    r.Page = kind;
    requests.push_back(r);
  }
  r.Page = mPages::PageKind::Racer;
  r.SensyuNo = days_[0].results[0].races[0].boats[0].SensyuNo.trimmed();
  requests.push_back(r);
  for (mReturnRate::By by : {mReturnRate::By::Course, mReturnRate::By::Popularity, mReturnRate::By::Combination}) {
    r.Page = mPages::PageKind::Roi;
    r.By = by;
    r.Jyo = 0;
    requests.push_back(r);
  }
  for (const mPages::Request& q : requests) {
    const mReport::Page page = mPages::Compute(*db_, q);
    EXPECT_FALSE(page.Title.isEmpty());
    EXPECT_FALSE(page.Tables.empty()) << page.Title.toStdString();
    std::stop_source stop;
    stop.request_stop();
    EXPECT_TRUE(mPages::Compute(*db_, q, stop.get_token()).Title.isEmpty()) << page.Title.toStdString();
  }
}

// The model's record of a day does not move when later days' results join the history: no
// forecast looks at its own day or after.
TEST_F(RealDays, TheModelsRecordOfADayIgnoresEveryLaterDay) {
  const mPeriod::Period period{QDate(2022, 7, 4), QDate(2022, 7, 4)};
  QTemporaryDir dir;
  cRirekiDb early(dir.filePath(QStringLiteral("RIREKI.DB")));
  for (std::size_t i = 0; i < 2; ++i) {
    early.RecordProgramme(days_[i].date, days_[i].cards, "B" + days_[i].date.toString().toUtf8());
    early.RecordResults(days_[i].date, days_[i].results, "K" + days_[i].date.toString().toUtf8());
  }
  const mWinCoefficients::Model& model = mWinCoefficients::Shipped();
  int calls = 0;
  const mReport::Page all = mModelRecord::Page(*db_, model, period, {}, [&](int, int) { ++calls; });
  const mReport::Page before = mModelRecord::Page(early, model, period);
  EXPECT_EQ(mReport::TabText(all), mReport::TabText(before));
  EXPECT_GT(calls, 0);
  ASSERT_FALSE(all.Tables.empty());
  EXPECT_GT(all.Tables[0].Rows[0][1].Value, 100);  // races scored that day
}

}  // namespace
}  // namespace tidewake
