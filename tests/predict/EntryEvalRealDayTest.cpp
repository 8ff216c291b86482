// The entry-course predictions measured on the two real days beside the project, as the bench
// program EntryEval prints them. The figures are deterministic: the statistical predictor's are
// floors that a change making it worse falls through, the rule set's and 枠なり's are exact.

#include "predict/mEntryEval.h"

#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <iostream>

using namespace tidewake;
using namespace tidewake::test;
using mEntryScore::EntryTally;

namespace {

struct Figures {
  std::int32_t races, boats, boatsRight, wholeRight;
};

void ExpectExactly(const EntryTally& t, const Figures& f) {
  EXPECT_EQ(t.Races, f.races);
  EXPECT_EQ(t.Boats, f.boats);
  EXPECT_EQ(t.BoatsRight, f.boatsRight);
  EXPECT_EQ(t.WholeRight, f.wholeRight);
}

void Print(const char* name, const EntryTally& t) {
  std::cout << "  " << name << ": " << t.Races << " races, boats " << t.BoatsRight << '/' << t.Boats << ", whole "
            << t.WholeRight << ", moved boats right " << t.MovedBoatsRight << '/' << t.MovedBoats
            << ", races with a move right " << t.MovedRacesRight << '/' << t.MovedRaces << '\n';
}

// What the statistical predictor must keep doing on a day it is measured on: more boats and more
// whole entries right than 枠なり, and a prediction that moves a boat right more often than not.
void ExpectBetterThanWakunari(const mEntryEval::DayResult& r) {
  const EntryTally& stat = r.Stat.All;
  const EntryTally& straight = r.Wakunari.All;
  EXPECT_GT(stat.BoatsRight, straight.BoatsRight);
  EXPECT_GT(stat.WholeRight, straight.WholeRight);
  EXPECT_GT(2 * stat.MovedBoatsRight, stat.MovedBoats);
  EXPECT_GT(2 * stat.MovedRacesRight, stat.MovedRaces);
  EXPECT_GE(r.Stat.NotWakunari.BoatsRight, r.Wakunari.NotWakunari.BoatsRight);
}

mEntryEval::DayResult Evaluate(const QString& programme, const QString& handbook, const QString& results) {
  mEntryEval::DayResult r;
  QString error;
  EXPECT_TRUE(mEntryEval::EvaluateDay({programme, handbook, results}, r, error)) << error.toStdString();
  std::cout << "  " << r.Venues << " venues, " << r.RacesSkipped << " races skipped\n";
  Print("mCourseExpect", r.Module.All);
  Print("mCourseStat", r.Stat.All);
  Print("mCourseStat, not 枠なり", r.Stat.NotWakunari);
  Print("枠なり", r.Wakunari.All);
  return r;
}

}  // namespace

TEST(EntryEvalRealDay, March2020WithTheHandbookOfItsPeriod) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, QStringLiteral("B/b200315.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(handbook, QStringLiteral("F/fan2004.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(results, QStringLiteral("K/k200315.txt"));
  const auto r = Evaluate(programme, handbook, results);
  EXPECT_EQ(r.Venues, 14);
  EXPECT_EQ(r.RacesSkipped, 0);
  ExpectExactly(r.Wakunari.All, {168, 1001, 882, 125});
  ExpectExactly(r.Wakunari.NotWakunari, {43, 252, 133, 0});
  ExpectExactly(r.Module.All, {168, 1001, 547, 40});
  EXPECT_GE(r.Stat.All.BoatsRight, 895);
  EXPECT_GE(r.Stat.All.WholeRight, 130);
  ExpectBetterThanWakunari(r);
}

TEST(EntryEvalRealDay, January2024WithAHandbookTwoYearsLater) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, QStringLiteral("B/b240101.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(handbook, QStringLiteral("F/fan2604.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(results, QStringLiteral("K/k240101.txt"));
  const auto r = Evaluate(programme, handbook, results);
  EXPECT_EQ(r.Venues, 13);
  EXPECT_EQ(r.RacesSkipped, 0);
  ExpectExactly(r.Wakunari.All, {156, 935, 838, 123});
  ExpectExactly(r.Wakunari.NotWakunari, {33, 197, 100, 0});
  ExpectExactly(r.Module.All, {156, 935, 403, 25});
  EXPECT_GE(r.Stat.All.BoatsRight, 843);
  EXPECT_GE(r.Stat.All.WholeRight, 125);
  ExpectBetterThanWakunari(r);
}

TEST(EntryEvalRealDay, ResultsOfAnotherDayAreRefusedAndTheProgramFolderStays) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, QStringLiteral("B/b200315.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(handbook, QStringLiteral("F/fan2004.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(results, QStringLiteral("K/k240101.txt"));
  TempAppFolder folder;
  mEntryEval::DayResult r;
  QString error;
  EXPECT_FALSE(mEntryEval::EvaluateDay({programme, handbook, results}, r, error));
  EXPECT_TRUE(error.contains(QStringLiteral("2024/01/01"))) << error.toStdString();
  EXPECT_TRUE(error.contains(QStringLiteral("2020/03/15"))) << error.toStdString();
  EXPECT_EQ(AppFolder(), folder.path());
  EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("BANGUMI.BRF"))));
}
