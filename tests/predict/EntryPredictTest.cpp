// The one entry point of the entry predictions: a failure is in the value rather than in a box.
// (That its value agrees with each predictor is checked on every race of a real day in
// RealDayPredictionTest.)

#include "predict/mCourseExpect.h"
#include "predict/mEntryPredict.h"

#include "tests/common/TestDoubles.h"
#include "tests/predict/PredictFixture.h"

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString CoursesOf(const EntryPrediction& p) {
  QString s;
  for (int b = 1; b <= 6; ++b) s += QString::number(p.Course(b));
  return s;
}

}  // namespace

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
