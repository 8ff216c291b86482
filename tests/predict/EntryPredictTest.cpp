// The one entry point of the entry predictions: its value agrees with the predictor it asks, on
// every race of a real day, and a failure is in the value rather than in a box.

#include "predict/mCourseExpect.h"
#include "predict/mCourseStat.h"
#include "predict/mEntryPredict.h"

#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/predict/PredictFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString CoursesOf(const EntryPrediction& p) {
  QString s;
  for (int b = 1; b <= 6; ++b) s += QString::number(p.Course(b));
  return s;
}

}  // namespace

TEST(EntryPredict, EveryRaceOfADayByEveryPredictor) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, QStringLiteral("B/b240101.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(fan, QStringLiteral("F/fan2604.txt"));
  TempAppFolder folder;
  UnexpectedMessageBox noBox;
  IMessageBox* previous = SetMessageBoxHandler(&noBox);
  cBangumiFile bangumi;
  ASSERT_TRUE(bangumi.FileConv(programme));
  KyoteijyoTable table;
  QString name;
  ASSERT_TRUE(bangumi.KaisaiCheck(table, name));
  int fixedRaces = 0;
  for (int code = 1; code <= 24; ++code) {
    if (table[static_cast<std::size_t>(code)].isEmpty()) continue;
    QString store;
    ASSERT_TRUE(bangumi.FileLoad(QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0')), store));
    cSensyuFile sensyu;
    QStringList list = bangumi.ParticipationSensyuNoAllGet();
    ASSERT_TRUE(sensyu.FileLoad(fan, list, 0));
    for (std::int16_t r = 1; r <= bangumi.RaceNumbers(); ++r) {
      SCOPED_TRACE(::testing::Message() << code << ' ' << r << 'R');
      const bool fixed = bangumi.CourseFix(r);
      fixedRaces += fixed;
      const mCourseStat::Choice stat = mCourseStat::EntryCourseExpectStat(bangumi, sensyu, r, false);
      const QString rules = mCourseExpect::EntryCourseExpect(bangumi, sensyu, r, fixed);
      QString rulesCourses;
      for (std::size_t b = 1; b <= 6; ++b) rulesCourses += QString::number(mCourseExpect::gintExpectCourse[b]);
      QString statCourses;
      for (std::size_t b = 1; b <= 6; ++b) statCourses += QString::number(stat.Course[b]);
      const struct {
        EntryPredictor predictor;
        QString want;
      } cases[] = {{EntryPredictor::Rules, rulesCourses}, {EntryPredictor::Stat, statCourses}};
      for (const auto& c : cases) {
        const EntryPrediction p = PredictEntry(c.predictor, bangumi, r, sensyu);
        ASSERT_TRUE(p.predicted) << p.failure.toStdString();
        QString sorted = CoursesOf(p);
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, u"123456");
        EXPECT_EQ(CoursesOf(p), c.want);
        if (fixed) {
          EXPECT_EQ(CoursesOf(p), u"123456");
        }
        ASSERT_EQ(p.reasons.size(), 6);
        for (const QString& reason : p.reasons) EXPECT_FALSE(reason.isEmpty());
      }
    }
  }
  EXPECT_GT(fixedRaces, 0);
  SetMessageBoxHandler(previous);
}

TEST_F(PredictFixture, AFailedPredictionIsInTheValueNotInABox) {
  Load(QStringLiteral("24"), SpreadBoats());
  RecordingMessageBox boxes;
  for (const EntryPredictor predictor : {EntryPredictor::Rules, EntryPredictor::Stat}) {
    const EntryPrediction p = PredictEntry(predictor, bangumi, 13, sensyu);
    EXPECT_FALSE(p.predicted);
    EXPECT_TRUE(p.failureTitle.endsWith(u"Err")) << p.failureTitle.toStdString();
    EXPECT_TRUE(p.failure.contains(u"13")) << p.failure.toStdString();
    EXPECT_EQ(CoursesOf(p), u"123456");
    EXPECT_TRUE(PredictEntry(predictor, bangumi, 1, sensyu).predicted);
  }
  EXPECT_TRUE(boxes.boxes().empty());
  // Asked directly, the routine still reports in its own box.
  EXPECT_EQ(mCourseExpect::EntryCourseExpect(bangumi, sensyu, 13, false), QString());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, u"EntryCourseExpectStandardErr");
}
