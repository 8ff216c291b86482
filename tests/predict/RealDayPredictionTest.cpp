// Every race of 2024-01-01 predicted with the racers of the 2026 term-2 fan handbook, loaded per
// venue as the window loads them: the card's participants, current layout.

#include "predict/mCourseExpect.h"
#include "predict/mCourseStat.h"
#include "predict/mEntryPredict.h"

#include "tests/common/QtPrinters.h"
#include "tests/common/SampleFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

using namespace tidewake;
using namespace tidewake::test;
namespace ce = tidewake::mCourseExpect;

TEST(RealDayPrediction, EveryRaceOfADayIsAPermutation) {
  TIDEWAKE_SAMPLE_OR_SKIP(programme, QStringLiteral("B/b240101.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(fan, QStringLiteral("F/fan2604.txt"));
  int races = 0, straight = 0;
  QStringList others;
  for (cBangumiFile::Card& card : ReadProgramme(programme)) {
    const QString venue = card.KyoteijyoCode;
    const cBangumiFile bangumi(std::move(card));
    const cSensyuFile sensyu = ReadHandbook(fan, bangumi.ParticipationSensyuNoAllGet());
    for (std::int16_t r = 1; r <= bangumi.RaceNumbers(); ++r) {
      SCOPED_TRACE(::testing::Message() << venue.toStdString() << ' ' << r << 'R');
      const QString result = ce::EntryCourseExpect(bangumi, sensyu, r, false);
      QString sorted = result;
      std::sort(sorted.begin(), sorted.end());
      ASSERT_EQ(sorted, "123456") << result.toStdString();
      for (std::int16_t c = 1; c <= 6; ++c) {
        EXPECT_EQ(ce::gintExpectCourse[ce::gintExpectBoat[c]], c);
        EXPECT_TRUE(ce::TacticsLabels().contains(ce::gstrTactics[c]));
      }
      EXPECT_EQ(ce::EntryCourseExpect(bangumi, sensyu, r, false), result);
      // The one entry point answers as each predictor does (a fixed entry is 枠なり), with six
      // reasons for the tooltip.
      const bool fixed = bangumi.CourseFix(r);
      ce::EntryCourseExpect(bangumi, sensyu, r, fixed);
      const mCourseStat::Choice stat = mCourseStat::EntryCourseExpectStat(bangumi, sensyu, r, false);
      for (const EntryPredictor predictor : kEntryPredictors) {
        const EntryPrediction p = PredictEntry(predictor, bangumi, r, sensyu);
        ASSERT_TRUE(p.predicted) << p.failure.toStdString();
        for (std::int16_t b = 1; b <= 6; ++b) {
          // 履歴 without a history keeps every number.
          const auto want = predictor == EntryPredictor::Stat      ? stat.Course[b]
                            : predictor == EntryPredictor::History ? b
                                                                   : ce::gintExpectCourse[b];
          EXPECT_EQ(p.Course(b), fixed ? b : want);
          EXPECT_FALSE(p.reasons.value(b - 1).isEmpty());
        }
      }
      ++races;
      if (result == u"123456") {
        ++straight;
      } else {
        QString courses;
        for (std::int16_t b = 1; b <= 6; ++b) courses += QString::number(ce::gintExpectCourse[b]);
        others << QStringLiteral("%1 %2R: %3 (courses of boats 1-6: %4)").arg(venue).arg(r).arg(result, courses);
      }
    }
  }
  EXPECT_EQ(races, 156);
  EXPECT_GT(straight, 0);
  EXPECT_FALSE(others.isEmpty());
  RecordProperty("races", races);
  RecordProperty("straight", straight);
  std::cout << "races " << races << ", predicted 123456: " << straight << '\n';
  for (const QString& line : others) std::cout << "  " << line.toStdString() << '\n';
}
