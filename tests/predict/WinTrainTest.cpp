// The win model's fit on a history: the races of the days asked for and only those, read a month
// at a time with the same result as the days held in memory, refused on none and asked below
// the minimum, and nothing kept when memory runs out or the user stops it. Also what the fit keeps
// per race (the compact rows) and per racer (the window the features look back over).

#include "data/ArchiveMember.h"
#include "history/cRirekiDb.h"
#include "predict/mWinEval.h"
#include "predict/mWinFit.h"
#include "predict/mWinTrain.h"
#include "tests/common/SampleFiles.h"

#include <gtest/gtest.h>

#include <new>
#include <random>

using namespace tidewake;

namespace {

// Three whole days across the end of a month, and a fourth of results only.
class WinTrain : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString year = test::SharedDataFile(QStringLiteral("year"));
    if (year.isEmpty()) GTEST_SKIP() << "sample folder not found: ../shared/data/year";
    db = std::make_unique<cRirekiDb>(folder.file(QStringLiteral("RIREKI.DB")));
    for (int i = 0; i < 4; ++i) {
      const QDate d = QDate(2022, 7, 30).addDays(i);
      const QString stem = year + u'/' + u'%' + d.toString(QStringLiteral("yyMMdd")) + QStringLiteral(".lzh");
      const QByteArray k = ArchiveMemberRead(QString(stem).replace(u'%', u'k'), ArchiveKind::Results).bytes;
      std::vector<cKekkaFile::Venue> venues;
      cKekkaFile::ReadAll(k, [&](const cKekkaFile::Venue& v) { venues.push_back(v); });
      db->RecordResults(d, venues, k);
      if (i == 3) continue;
      const QByteArray b = ArchiveMemberRead(QString(stem).replace(u'%', u'b'), ArchiveKind::Programme).bytes;
      db->RecordProgramme(d, cBangumiFile::ReadDay(b), b);
    }
  }
  test::TempAppFolder folder;
  std::unique_ptr<cRirekiDb> db;
};

}  // namespace

TEST_F(WinTrain, GathersTheRacesOfTheDaysAskedAndRefusesNone) {
  const QDate d30(2022, 7, 30), d31(2022, 7, 31), d1(2022, 8, 1), d2(2022, 8, 2);
  const struct {
    const char* what;
    QDate from, to;
    mWinTrain::Status status;
    int days;
    QDate first, last;
  } cases[] = {
      {"every day", {}, {}, mWinTrain::Status::Few, 3, d30, d1},
      {"from a day", d31, {}, mWinTrain::Status::Few, 2, d31, d1},
      {"to a day", {}, d31, mWinTrain::Status::Few, 2, d30, d31},
      // Read from the window before it for the features, counted alone.
      {"one day", d1, d1, mWinTrain::Status::Few, 1, d1, d1},
      {"results only", d2, d2, mWinTrain::Status::Nothing, 0, {}, {}},
      {"no day held", QDate(2022, 9, 1), {}, mWinTrain::Status::Nothing, 0, {}, {}},
      {"reversed", d1, d30, mWinTrain::Status::Nothing, 0, {}, {}},
  };
  for (const auto& c : cases) {
    mWinTrain::cTraining t(c.from, c.to);
    EXPECT_EQ(t.Gather(*db), c.status) << c.what;
    const mWinCoefficients::Period& p = t.Gathered();
    EXPECT_EQ(p.Days, c.days) << c.what;
    EXPECT_EQ(p.First, c.first) << c.what;
    EXPECT_EQ(p.Last, c.last) << c.what;
    // A real day has some 150 races to fit.
    EXPECT_GE(p.Races, 100 * c.days) << c.what;
    EXPECT_LE(p.Races, 200 * c.days) << c.what;
    if (c.status != mWinTrain::Status::Few) {
      EXPECT_EQ(t.Fit(), c.status) << c.what;
      EXPECT_FALSE(t.Message().isEmpty()) << c.what;
      EXPECT_FALSE(t.Result().Before.IsWhole()) << c.what;
      continue;
    }
    // One fit is enough to show what it keeps: the fewest races.
    if (c.days != 1) continue;
    EXPECT_EQ(t.Fit(), mWinTrain::Status::Fitted) << c.what;
    EXPECT_TRUE(t.Result().Before.IsWhole()) << c.what;
    EXPECT_EQ(t.Result().Fitted, p) << c.what;
  }
}

// Read a month at a time, the days and the model fitted on them are those of the days in memory.
TEST_F(WinTrain, StreamedDaysFitAsTheDaysInMemory) {
  const std::vector<DayRecord> all = db->Days(QDate(2000, 1, 1), QDate(2030, 1, 1));
  ASSERT_EQ(all.size(), 4u);
  const mWinEval::DaySource next = mWinEval::HistoryDays(*db, {}, {});
  DayRecord day;
  for (const DayRecord& held : all) {
    ASSERT_TRUE(next(day));
    EXPECT_EQ(day.date, held.date);
    EXPECT_EQ(day.cards.size(), held.cards.size());
    EXPECT_EQ(day.results.size(), held.results.size());
  }
  EXPECT_FALSE(next(day));

  mWinTrain::cTraining t;
  t.Gather(*db);
  ASSERT_EQ(t.Fit(), mWinTrain::Status::Fitted);
  EXPECT_EQ(t.Result().Before, mWinEval::FitDays(all, {}, {}, {}, mWinEval::kRidge));
}

// Memory running out while reading or fitting, and a stop, leave no model; the user is told.
TEST_F(WinTrain, OutOfMemoryOrAStopLeavesNoModel) {
  {
    mWinTrain::cTraining t;
    int read = 0;
    EXPECT_EQ(t.Gather(*db,
                       [&](QDate) {
                         if (++read == 2) throw std::bad_alloc();
                       }),
              mWinTrain::Status::Failed);
    EXPECT_TRUE(
        t.Message().startsWith(QStringLiteral("メモリが足りないため、勝率を学習できませんでした（2022-07-31 まで")))
        << t.Message().toStdString();
    EXPECT_EQ(t.Fit(), mWinTrain::Status::Failed);
    EXPECT_FALSE(t.Result().Before.IsWhole());
  }
  {
    mWinTrain::cTraining t;
    ASSERT_EQ(t.Gather(*db), mWinTrain::Status::Few);
    EXPECT_EQ(t.Fit([](int step) {
      if (step == 3) throw std::bad_alloc();
    }),
              mWinTrain::Status::Failed);
    EXPECT_TRUE(t.Message().contains(QStringLiteral("メモリが足りない")));
    EXPECT_FALSE(t.Result().Before.IsWhole());
  }
  std::stop_source stop;
  for (bool whileReading : {true, false}) {
    mWinTrain::cTraining t;
    std::stop_source s;
    const mWinTrain::Status gathered = t.Gather(
        *db,
        [&](QDate) {
          if (whileReading) s.request_stop();
        },
        s.get_token());
    if (whileReading) {
      EXPECT_EQ(gathered, mWinTrain::Status::Stopped);
      continue;
    }
    EXPECT_EQ(t.Fit([&](int) { s.request_stop(); }, s.get_token()), mWinTrain::Status::Stopped);
    EXPECT_FALSE(t.Result().Before.IsWhole());
  }
}

// The fit keeps a boat's venue indicators as the index of the one set: every feature reads back
// as given, and a block that is not one indicator at most is refused.
TEST(WinFitRaceSet, KeepsIndicatorsAsTheirIndexAndReadsBackEveryFeature) {
  std::mt19937 rng(4);
  std::normal_distribution<double> z;
  constexpr int kDense = 5, kFeatures = 9;
  mWinFit::RaceSet set(kFeatures, kDense);
  std::vector<mWinModel::RaceRows> kept;
  for (int r = 0; r < 30000; ++r) {  // more than one block of rows
    mWinModel::RaceRows rows;
    for (int b = 0; b < 6; ++b) {
      auto& row = rows[static_cast<std::size_t>(b)];
      for (int f = 0; f < kDense; ++f) row.push_back(static_cast<float>(z(rng)));
      const int hot = (r + b) % (kFeatures - kDense + 1);  // the last value: none set
      for (int f = kDense; f < kFeatures; ++f) row.push_back(f - kDense == hot ? 1.0 : 0.0);
    }
    ASSERT_TRUE(set.Add(rows, {0, 1, 2}));
    kept.push_back(rows);
  }
  for (std::size_t r = 0; r < kept.size(); r += 997) {
    for (int b = 0; b < 6; ++b) {
      for (int f = 0; f < kFeatures; ++f) {
        ASSERT_EQ(set.At(r, b, f),
                  static_cast<float>(kept[r][static_cast<std::size_t>(b)][static_cast<std::size_t>(f)]))
            << r << " " << b << " " << f;
      }
    }
  }
  // Dense rows of this many features would take more than twice the memory.
  EXPECT_LT(set.Bytes(), kept.size() * 6 * kFeatures * sizeof(float) / 2 + kept.size() * 120);

  mWinModel::RaceRows bad = kept[0];
  for (const auto& [what, value] : {std::pair{"two set", 1.0}, {"not an indicator", 0.5}}) {
    bad[2][kFeatures - 1] = value;
    bad[2][kFeatures - 2] = 1.0;
    EXPECT_FALSE(set.Add(bad, {0, 1, 2})) << what;
  }
  EXPECT_EQ(set.Races(), kept.size());
}

// Forgetting the races before a window changes no record asked for a window that starts on or after it.
TEST(WinHistory, ForgettingTheOldRacesKeepsEveryRecordOfTheWindow) {
  cKekkaFile::Venue venue;
  venue.KyoteijyoCode = QStringLiteral("01");
  cKekkaFile::Race& race = venue.races[0];
  race.Exists = true;
  race.Status = RaceStatus::Held;
  for (int b = 1; b <= 6; ++b) {
    cKekkaFile::Boat boat;
    boat.WakuNo = static_cast<std::int16_t>(b);
    boat.Course = static_cast<std::int16_t>(b);
    boat.TyakujyunNo = static_cast<std::int16_t>(7 - b);
    boat.SensyuNo = QString::number(4000 + b);
    race.boats.push_back(boat);
  }
  mWinHistory::cWinHistory all, pruned;
  const QDate first(2022, 1, 1);
  for (int d = 0; d < 400; d += 3) {
    all.AddVenue(first.addDays(d), venue);
    pruned.AddVenue(first.addDays(d), venue);
    if (d % 30 == 0) pruned.Forget(first.addDays(d - 180));
  }
  const QDate asked = first.addDays(400);
  for (int window : {1, 10, 50, 180}) {
    for (int b = 1; b <= 6; ++b) {
      const auto a = all.Record(QString::number(4000 + b), asked, window);
      const auto p = pruned.Record(QString::number(4000 + b), asked, window);
      EXPECT_EQ(a.Starts, p.Starts) << window;
      EXPECT_EQ(a.Wins, p.Wins) << window;
      EXPECT_EQ(a.Entries, p.Entries) << window;
    }
  }
  pruned.Forget(asked);
  EXPECT_EQ(pruned.Racers(), 0u);
}
