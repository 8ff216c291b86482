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

// One shared day: its files, and what each predictor scores on it.
struct DayCase {
  const char* what;
  const char *programme, *handbook, *results;
  std::int32_t venues;
  Figures wakunari, wakunariNotWakunari, module;
  std::int32_t statBoatsRightAtLeast, statWholeRightAtLeast;
};

TEST(EntryEvalRealDay, TheSharedDays) {
  // clang-format off
  const DayCase days[] = {
      {"2020-03-15 with the handbook of its period", "B/b200315.txt", "F/fan2004.txt", "K/k200315.txt", 14,
       {168, 1001, 882, 125}, {43, 252, 133, 0}, {168, 1001, 547, 40}, 895, 130},
      {"2024-01-01 with a handbook two years later", "B/b240101.txt", "F/fan2604.txt", "K/k240101.txt", 13,
       {156, 935, 838, 123}, {33, 197, 100, 0}, {156, 935, 403, 25}, 843, 125},
  };
  // clang-format on
  for (const DayCase& d : days) {
    SCOPED_TRACE(d.what);
    std::cout << d.what << '\n';
    TIDEWAKE_SAMPLE_OR_SKIP(programme, QString::fromLatin1(d.programme));
    TIDEWAKE_SAMPLE_OR_SKIP(handbook, QString::fromLatin1(d.handbook));
    TIDEWAKE_SAMPLE_OR_SKIP(results, QString::fromLatin1(d.results));
    const auto r = Evaluate(programme, handbook, results);
    EXPECT_EQ(r.Venues, d.venues);
    EXPECT_EQ(r.RacesSkipped, 0);
    ExpectExactly(r.Wakunari.All, d.wakunari);
    ExpectExactly(r.Wakunari.NotWakunari, d.wakunariNotWakunari);
    ExpectExactly(r.Module.All, d.module);
    EXPECT_GE(r.Stat.All.BoatsRight, d.statBoatsRightAtLeast);
    EXPECT_GE(r.Stat.All.WholeRight, d.statWholeRightAtLeast);
    ExpectBetterThanWakunari(r);
  }
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
