// The results of real days beside the same days' programmes.

#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"

#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"

#include <gtest/gtest.h>

#include <set>

using namespace tidewake;
using namespace tidewake::test;

namespace {

struct Day {
  const char* results;
  const char* programme;
  const char* date;
  int venues;
  int flying;  // boats with a flying start over the whole day
};

const Day kDays[] = {
    {"K/k240101.txt", "B/b240101.txt", "2024/01/01", 13, 9},
    {"K/k200315.txt", "B/b200315.txt", "2020/03/15", 14, 1},
};

void PrintTo(const Day& d, std::ostream* os) { *os << d.results; }

QString Code(int code) { return QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0')); }

struct cKekkaFileReal : ::testing::TestWithParam<Day> {
  TempAppFolder folder;
  cKekkaFile kekka;
  cBangumiFile bangumi;
};

}  // namespace

// Every venue of the day: twelve races, the boats and their registration numbers as in the
// programme, places and courses consistent, the payouts agreeing with the first three places and
// with the day's summary at the top of the block.
TEST_P(cKekkaFileReal, EveryRaceAgreesWithTheProgrammeAndItsPayouts) {
  const Day& day = GetParam();
  TIDEWAKE_SAMPLE_OR_SKIP(results, QString::fromLatin1(day.results));
  TIDEWAKE_SAMPLE_OR_SKIP(programme, QString::fromLatin1(day.programme));
  ASSERT_TRUE(kekka.FileConv(results));
  ASSERT_EQ(ReadBytes(folder.file(QStringLiteral("KEKKA.BRF"))), ReadBytes(results)) << "the store is a byte copy";
  ASSERT_TRUE(bangumi.FileConv(programme));

  KyoteijyoTable venues;
  QString store;
  ASSERT_TRUE(kekka.KaisaiCheck(venues, store));
  EXPECT_EQ(store, folder.file(QStringLiteral("KEKKA.BRF")));
  int flying = 0, listed = 0;
  for (int code = 1; code <= 24; ++code) {
    if (venues[code].isEmpty()) continue;
    ++listed;
    SCOPED_TRACE(code);
    QString kekkaPath, bangumiPath;
    ASSERT_TRUE(kekka.FileLoad(Code(code), kekkaPath));
    ASSERT_TRUE(bangumi.FileLoad(Code(code), bangumiPath));
    EXPECT_EQ(kekka.RaceDate(), QString::fromLatin1(day.date));
    EXPECT_EQ(kekka.RaceDate(), bangumi.RaceDate());
    EXPECT_EQ(kekka.TotalDay(), bangumi.TotalDay());
    EXPECT_EQ(kekka.KyoteijyoCode(), Code(code));
    EXPECT_FALSE(kekka.Title().isEmpty());
    EXPECT_FALSE(kekka.TitleLong().isEmpty());
    for (std::int16_t r = 1; r <= 12; ++r) {
      SCOPED_TRACE(r);
      ASSERT_TRUE(kekka.RaceExists(r));
      EXPECT_FALSE(kekka.RaceName(r).isEmpty());
      EXPECT_TRUE(kekka.Kyori(r) == 1800 || kekka.Kyori(r) == 1200) << kekka.Kyori(r);
      EXPECT_FALSE(kekka.Tenko(r).isEmpty());
      EXPECT_FALSE(kekka.KazeMuki(r).isEmpty());
      static const std::set<QString> kTechniques = {QStringLiteral("逃げ"),   QStringLiteral("差し"),
                                                    QStringLiteral("まくり"), QStringLiteral("まくり差し"),
                                                    QStringLiteral("抜き"),   QStringLiteral("恵まれ")};
      EXPECT_TRUE(kTechniques.count(kekka.Kimarite(r))) << kekka.Kimarite(r).toStdString();

      // Six lines, every boat once; places 1.. in order, then the boats without a place.
      ASSERT_EQ(kekka.BoatNumbers(r), 6);
      std::set<int> boats, courses;
      int nextPlace = 1;
      bool placesOver = false;
      for (std::int16_t j = 1; j <= 6; ++j) {
        const int waku = kekka.WakuNo(r, j);
        boats.insert(waku);
        EXPECT_EQ(kekka.JyuniOfWaku(r, waku), j);
        EXPECT_EQ(kekka.SensyuNo(r, j), bangumi.SensyuNo(r, waku)) << "boat " << waku;
        EXPECT_EQ(kekka.MotorNo(r, j).toInt(), bangumi.MotorNo(r, waku).toInt()) << "boat " << waku;
        EXPECT_EQ(kekka.BoatNo(r, j).toInt(), bangumi.BoatNo(r, waku).toInt()) << "boat " << waku;
        const int place = kekka.TyakujyunNo(r, j);
        if (place != 0) {
          EXPECT_FALSE(placesOver) << "a place after a boat without one";
          EXPECT_EQ(place, nextPlace++);
        } else {
          placesOver = true;
          EXPECT_TRUE(kekka.RaceTime(r, j).isEmpty());
        }
        if (kekka.Course(r, j) != 0) courses.insert(kekka.Course(r, j));
        EXPECT_EQ(kekka.WakuCourse(r, waku), kekka.Course(r, j));
        // A flying boat has no place and its timing is the printed figure.
        if (kekka.StartFlying(r, j)) {
          ++flying;
          EXPECT_EQ(kekka.Tyakujyun(r, j), QStringLiteral("F"));
          EXPECT_TRUE(kekka.StartTimingExists(r, j));
          EXPECT_GT(kekka.StartTiming(r, j), 0.0f);
          EXPECT_LT(kekka.StartTiming(r, j), 1.0f);
        }
        // A boat with no course did not start: withdrawn, no exhibition time and no timing.
        if (kekka.Course(r, j) == 0) {
          EXPECT_TRUE(kekka.Tyakujyun(r, j).startsWith(u'K')) << kekka.Tyakujyun(r, j).toStdString();
          EXPECT_FALSE(kekka.StartTimingExists(r, j));
        }
      }
      EXPECT_EQ(boats.size(), 6u);
      for (int c : courses) EXPECT_TRUE(c >= 1 && c <= 6);
      // A winner's time is there, and times do not go down the order.
      ASSERT_EQ(kekka.TyakujyunNo(r, 1), 1);
      EXPECT_GT(kekka.RaceTimeSeconds(r, 1), 60.0f);
      for (std::int16_t j = 2; j <= 6 && !kekka.RaceTime(r, j).isEmpty(); ++j) {
        EXPECT_GE(kekka.RaceTimeSeconds(r, j), kekka.RaceTimeSeconds(r, j - 1));
      }

      // Payouts: ３連単 is the first three places and ２連単 the first two, when paid.
      const auto first = [&](int n) {
        QStringList w;
        for (std::int16_t j = 1; j <= n; ++j) w << QString::number(kekka.WakuNo(r, j));
        return w.join(u'-');
      };
      ASSERT_EQ(kekka.HaraimodosiNumbers(r, Kakesiki::Tansyo), 1);
      EXPECT_EQ(kekka.Kumiban(r, Kakesiki::Tansyo, 1), first(1));
      ASSERT_GE(kekka.HaraimodosiNumbers(r, Kakesiki::Nirentan), 1);
      EXPECT_EQ(kekka.Kumiban(r, Kakesiki::Nirentan, 1), first(2));
      if (kekka.Fuseiritu(r, Kakesiki::Sanrentan)) {
        EXPECT_LT(nextPlace - 1, 3) << "３連単 不成立 with three places";
      } else {
        ASSERT_EQ(kekka.HaraimodosiNumbers(r, Kakesiki::Sanrentan), 1);
        EXPECT_EQ(kekka.Kumiban(r, Kakesiki::Sanrentan, 1), first(3));
        EXPECT_GT(kekka.Ninki(r, Kakesiki::Sanrentan, 1), 0);
      }
      for (Kakesiki kind : {Kakesiki::Sanrentan, Kakesiki::Sanrenfuku, Kakesiki::Nirentan, Kakesiki::Nirenfuku}) {
        SCOPED_TRACE(cKekkaFile::KakesikiName(kind).toStdString());
        if (kekka.Fuseiritu(r, kind)) {
          EXPECT_EQ(kekka.MatomeKumiban(r, kind), QStringLiteral("不成立"));
          EXPECT_EQ(kekka.HaraimodosiNumbers(r, kind), 0);
          continue;
        }
        ASSERT_EQ(kekka.HaraimodosiNumbers(r, kind), 1);
        EXPECT_EQ(kekka.MatomeKumiban(r, kind), kekka.Kumiban(r, kind, 1));
        EXPECT_EQ(kekka.MatomeKingaku(r, kind), kekka.Kingaku(r, kind, 1));
        EXPECT_GE(kekka.Kingaku(r, kind, 1), 100);
      }
      EXPECT_TRUE(kekka.Bikou(r).isEmpty()) << kekka.Bikou(r).join(u'|').toStdString();
    }
  }
  EXPECT_EQ(listed, day.venues);
  EXPECT_EQ(flying, day.flying);
}

INSTANTIATE_TEST_SUITE_P(Days, cKekkaFileReal, ::testing::ValuesIn(kDays));

// Single races read field by field, including a flying start, a withdrawn boat and a race whose
// trifecta did not pay.
TEST(cKekkaFileRealRace, FieldsOfChosenRaces) {
  TIDEWAKE_SAMPLE_OR_SKIP(path240101, QStringLiteral("K/k240101.txt"));
  TIDEWAKE_SAMPLE_OR_SKIP(path200315, QStringLiteral("K/k200315.txt"));
  cKekkaFile k;
  QString p = path240101;
  ASSERT_TRUE(k.FileLoad(QStringLiteral("24"), p));
  EXPECT_EQ(k.KyoteijyoName(), QStringLiteral("大　村"));
  EXPECT_EQ(k.Title(), QStringLiteral("ミッドナイトボートレ  第 1日"));
  EXPECT_EQ(k.TitleLong(), QStringLiteral("ミッドナイトボートレース１０ＴＨｉｎ大村"));
  EXPECT_EQ(k.TotalDay(), 1);
  EXPECT_EQ(k.RaceName(1), QStringLiteral("予選"));
  EXPECT_EQ(k.Kyori(1), 1800);
  EXPECT_EQ(k.Tenko(1), QStringLiteral("晴"));
  EXPECT_EQ(k.KazeMuki(1), QStringLiteral("北"));
  EXPECT_EQ(k.Fusoku(1), 3);
  EXPECT_EQ(k.Hakou(1), 2);
  EXPECT_EQ(k.Kimarite(1), QStringLiteral("逃げ"));
  EXPECT_EQ(k.Tyakujyun(1, 1), QStringLiteral("01"));
  EXPECT_EQ(k.WakuNo(1, 1), 1);
  EXPECT_EQ(k.SensyuNo(1, 1), QStringLiteral("3501"));
  EXPECT_EQ(k.SensyuName(1, 1), QStringLiteral("川　上　　昇　平"));
  EXPECT_EQ(k.MotorNo(1, 1), QStringLiteral("50"));
  EXPECT_EQ(k.BoatNo(1, 1), QStringLiteral("12"));
  EXPECT_FLOAT_EQ(k.TenjiTime(1, 1), 6.89f);
  EXPECT_EQ(k.Course(1, 1), 1);
  EXPECT_FLOAT_EQ(k.StartTiming(1, 1), 0.08f);
  EXPECT_EQ(k.RaceTime(1, 1), QStringLiteral("1.49.7"));
  EXPECT_FLOAT_EQ(k.RaceTimeSeconds(1, 1), 109.7f);
  EXPECT_EQ(k.RaceTime(1, 5), QString());
  EXPECT_EQ(k.WakuCourse(1, 3), 3);
  // Payouts of 1R: 単勝 1 130, 複勝 1 140 and 3 290, 拡連複 three lines.
  EXPECT_EQ(k.Kingaku(1, Kakesiki::Tansyo, 1), 130);
  ASSERT_EQ(k.HaraimodosiNumbers(1, Kakesiki::Fukusyo), 2);
  EXPECT_EQ(k.Kumiban(1, Kakesiki::Fukusyo, 2), QStringLiteral("3"));
  EXPECT_EQ(k.Kingaku(1, Kakesiki::Fukusyo, 2), 290);
  EXPECT_EQ(k.Ninki(1, Kakesiki::Fukusyo, 2), 0);
  ASSERT_EQ(k.HaraimodosiNumbers(1, Kakesiki::Kakurenfuku), 3);
  EXPECT_EQ(k.Kumiban(1, Kakesiki::Kakurenfuku, 3), QStringLiteral("3-6"));
  EXPECT_EQ(k.Kingaku(1, Kakesiki::Kakurenfuku, 3), 620);
  EXPECT_EQ(k.Ninki(1, Kakesiki::Kakurenfuku, 3), 10);
  EXPECT_EQ(k.Kingaku(1, Kakesiki::Sanrentan, 1), 1830);
  EXPECT_EQ(k.Ninki(1, Kakesiki::Sanrentan, 1), 5);
  // 若松 (20) 8R: boats 4 and 5 flew (F0.01), listed after the placed boats.
  ASSERT_TRUE(k.FileLoad(QStringLiteral("20"), p));
  EXPECT_EQ(k.Tyakujyun(8, 5), QStringLiteral("F"));
  EXPECT_EQ(k.WakuNo(8, 5), 4);
  EXPECT_TRUE(k.StartFlying(8, 5));
  EXPECT_FLOAT_EQ(k.StartTiming(8, 5), 0.01f);
  EXPECT_FALSE(k.StartFlying(8, 1));
  EXPECT_EQ(k.Course(8, 6), 6);
  EXPECT_EQ(k.RaceTime(8, 5), QString());
  EXPECT_EQ(k.WakuCourse(8, 6), 4);  // boat 6 finished fourth from course 4

  // 2020-03-15, 桐生 (01) 4R: four boats disqualified, ３連単 and ３連複 not paid, one 拡連複.
  p = path200315;
  ASSERT_TRUE(k.FileLoad(QStringLiteral("01"), p));
  EXPECT_EQ(k.RaceDate(), QStringLiteral("2020/03/15"));
  EXPECT_EQ(k.Tyakujyun(4, 3), QStringLiteral("S2"));
  EXPECT_EQ(k.TyakujyunNo(4, 3), 0);
  EXPECT_TRUE(k.Fuseiritu(4, Kakesiki::Sanrentan));
  EXPECT_TRUE(k.Fuseiritu(4, Kakesiki::Sanrenfuku));
  EXPECT_FALSE(k.Fuseiritu(4, Kakesiki::Nirentan));
  EXPECT_EQ(k.HaraimodosiNumbers(4, Kakesiki::Kakurenfuku), 1);
  EXPECT_EQ(k.MatomeKumiban(4, Kakesiki::Sanrentan), QStringLiteral("不成立"));
  EXPECT_EQ(k.MatomeKingaku(4, Kakesiki::Nirentan), 7790);
}

// Withdrawn boats ("K0", "K1" with "K ." for their figures) have no course, no exhibition time and
// no timing; their boat is absent from the entry.
TEST(cKekkaFileRealRace, WithdrawnBoatsHaveNoCourse) {
  const std::pair<const char*, int> kFiles[] = {{"K/k240101.txt", 1}, {"K/k200315.txt", 7}};
  for (const auto& [file, expected] : kFiles) {
    TIDEWAKE_SAMPLE_OR_SKIP(path, QString::fromLatin1(file));
    int withdrawn = 0;
    cKekkaFile::ReadAll(ReadBytes(path), [&](const cKekkaFile::Venue& v) {
      for (const auto& race : v.races) {
        for (const auto& b : race.boats) {
          if (!b.Tyakujyun.startsWith(u'K')) continue;
          ++withdrawn;
          EXPECT_EQ(b.Course, 0);
          EXPECT_EQ(b.TenjiTime, 0.0f);
          EXPECT_FALSE(b.StartTimingExists);
          EXPECT_EQ(b.StartTimingText, QStringLiteral("K ."));
        }
      }
    });
    EXPECT_EQ(withdrawn, expected) << file;
  }
}
