// The racer store on the real fan handbook of 2026 term 2 (1643 racers, 416-byte records and an
// extra empty line at the end), and with the racers of a real day's programme.

#include "data/cBangumiFile.h"
#include "data/cSensyuFile.h"

#include "platform/LineReader.h"
#include "platform/SjisText.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/SampleFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <map>

using namespace tidewake;
using namespace tidewake::test;

namespace {

const QString kFan = QStringLiteral("F/fan2604.txt");

QString S(const char16_t* s) { return QString::fromUtf16(s); }

// The records of the file, as bytes, straight from its lines.
QList<QByteArray> Records(const QString& path) {
  const QByteArray bytes = ReadBytes(path);
  QList<QByteArray> out;
  LineReader reader(bytes);
  QByteArrayView line;
  while (reader.Next(line)) {
    if (!line.trimmed().isEmpty()) out << line.toByteArray();
  }
  return out;
}

int Digits(const QByteArray& record, int pos, int width) { return record.mid(pos, width).toInt(); }

}  // namespace

TEST(cSensyuFileRealFile, EveryRacerLoadsWithEveryField) {
  TIDEWAKE_SAMPLE_OR_SKIP(path, kFan);
  const QList<QByteArray> records = Records(path);
  ASSERT_EQ(records.size(), 1643);

  cSensyuFile store;
  QStringList list;
  ASSERT_TRUE(store.FileLoad(path, list, 0));
  ASSERT_EQ(list.size(), 1644);
  EXPECT_EQ(list[0], QString());
  EXPECT_EQ(store.GetSensyuFileVersion(), S(u"2026年後期"));
  EXPECT_EQ(store.Nen(), 2026);
  EXPECT_EQ(store.Ki(), 2);
  EXPECT_EQ(store.YmdStart(), "20251101");
  EXPECT_EQ(store.YmdEnd(), "20260430");
  EXPECT_EQ(store.LastYoseiKi(), Digits(records.last(), 195, 3));
  EXPECT_EQ(store.LastYoseiKi(), 138);

  for (qsizetype k = 1; k <= 1643; ++k) {
    const QByteArray& rec = records[k - 1];
    const QString no = QString::fromLatin1(rec.left(4));
    SCOPED_TRACE(no.toStdString());
    ASSERT_EQ(list[k], no);
    if (k > 1) {
      EXPECT_LT(list[k - 1], list[k]);
    }
    ASSERT_EQ(store.SensyuNo(static_cast<std::int16_t>(k)), no);
    // Fields from the first to the very last of the record: each one converted.
    EXPECT_EQ(store.NameKanji(no), DecodeSjis(rec.mid(4, 16)));
    EXPECT_EQ(store.Class(no), QString::fromLatin1(rec.mid(39, 2)));
    EXPECT_EQ(store.Syoritu(no), static_cast<float>(Digits(rec, 58, 4) / 100.0));
    EXPECT_EQ(store.SyussoTimes(no), Digits(rec, 72, 3));
    EXPECT_EQ(store.CourseStartHatujyun(no, 6), static_cast<float>(Digits(rec, 82 + 65 + 10, 3) / 100.0));
    EXPECT_EQ(store.Ability(no), std::nearbyint(Digits(rec, 170, 4) / 100.0));
    EXPECT_EQ(store.YoseiKi(no), Digits(rec, 195, 3));
    EXPECT_EQ(store.CourseS2Times(no, 6), Digits(rec, 198 + 170 + 32, 2));
    EXPECT_EQ(store.OutsideCourseK1Times(no), Digits(rec, 408, 2));
  }
}

TEST(cSensyuFileRealFile, OneRacerAgainstTheBytesOfHisRecord) {
  TIDEWAKE_SAMPLE_OR_SKIP(path, kFan);
  cSensyuFile store;
  QStringList list{QString(), QStringLiteral("4494")};
  ASSERT_TRUE(store.FileLoad(path, list, 0));
  const QString no = QStringLiteral("4494");
  // "4494河　合　　佑　樹ｶﾜｲ ﾕｳｷ        静岡A1S62031413916451A 06980484030018099050101502308260142500120583..."
  EXPECT_EQ(store.NameKanji(no), S(u"河　合　　佑　樹"));  // 16 bytes, padding inside kept
  EXPECT_EQ(store.NameKana(no), S(u"ｶﾜｲ ﾕｳｷ        "));    // 15 half-width bytes, trailing blanks kept
  EXPECT_EQ(store.Birthplace(no), S(u"静岡"));
  EXPECT_EQ(store.Class(no), "A1");
  EXPECT_EQ(store.Birth(no), "S620314");
  EXPECT_EQ(store.Sex(no), 1);
  EXPECT_EQ(store.Age(no), 39);
  EXPECT_EQ(store.Height(no), 164);
  EXPECT_EQ(store.Weight(no), 51);
  EXPECT_EQ(store.Blood(no), "A ");
  EXPECT_EQ(store.Syoritu(no), 6.98f);   // "0698"
  EXPECT_EQ(store.FSyoritu(no), 48.4f);  // "0484"
  EXPECT_EQ(store.OneFinishTimes(no), 30);
  EXPECT_EQ(store.TwoFinishTimes(no), 18);
  EXPECT_EQ(store.SyussoTimes(no), 99);
  EXPECT_EQ(store.YusyutuTimes(no), 5);
  EXPECT_EQ(store.YusyoTimes(no), 1);
  EXPECT_EQ(store.StartTiming(no), 0.15f);
  // Course 3 of block A: "020" "0550" "013" "340".
  EXPECT_EQ(store.CourseSyussoTimes(no, 3), 20);
  EXPECT_EQ(store.CourseFSyoritu(no, 3), 55.0f);
  EXPECT_EQ(store.CourseStartTiming(no, 3), 0.13f);
  EXPECT_EQ(store.CourseStartHatujyun(no, 3), 3.4f);
  EXPECT_EQ(store.CourseStartHatujyun(no, 6), 4.3f);  // "430"
  EXPECT_EQ(store.ClassOld1(no), "A1");
  EXPECT_EQ(store.AbilityOld(no), 67);  // "6700"
  EXPECT_EQ(store.Ability(no), 66);     // "6600"
  EXPECT_EQ(store.YoseiKi(no), 102);
  // Course 3 of block B: places "004" "007" "002" "002" "003" "002".
  EXPECT_EQ(store.Course1FinishTimes(no, 3), 4);
  EXPECT_EQ(store.Course2FinishTimes(no, 3), 7);
  EXPECT_EQ(store.Course6FinishTimes(no, 3), 2);
  EXPECT_EQ(store.CourseF0Times(no, 1), 1);  // course 1: "018001001000001001" then "01"
  EXPECT_EQ(store.FTimes(no), 1);
  EXPECT_EQ(store.LTimes(no), 0);
  // (6*23 + 5*12 + 4*20 + 3*17 + 2*17 + 1*10) / (99*6) * 100
  EXPECT_EQ(store.InSisu(no), static_cast<float>(373.0 / 594.0 * 100.0));
  EXPECT_EQ(store.CourseRentairitu3(no, 1), static_cast<float>(20.0 / 23.0 * 100.0));
  EXPECT_EQ(store.LastYoseiKi(), 138);
}

// The racers of every venue of 2024-01-01, asked for as the window asks: the participants of the
// venue's card, ascending, element 0 empty.
TEST(cSensyuFileRealFile, TheParticipantsOfARealDay) {
  TIDEWAKE_SAMPLE_OR_SKIP(fan, kFan);
  TIDEWAKE_SAMPLE_OR_SKIP(programme, QStringLiteral("B/b240101.txt"));
  cSensyuFile all;
  QStringList every;
  ASSERT_TRUE(all.FileLoad(fan, every, 0));

  TempAppFolder folder;
  cBangumiFile bangumi;
  ASSERT_TRUE(bangumi.FileConv(programme));
  KyoteijyoTable table;
  QString name;
  ASSERT_TRUE(bangumi.KaisaiCheck(table, name));
  int asked = 0, found = 0, venues = 0;
  for (int code = 1; code <= 24; ++code) {
    if (table[code].isEmpty()) continue;
    ++venues;
    QString store;
    ASSERT_TRUE(bangumi.FileLoad(QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0')), store));
    QStringList list = bangumi.ParticipationSensyuNoAllGet();
    const QStringList before = list;
    cSensyuFile racers;
    ASSERT_TRUE(racers.FileLoad(fan, list, 0));
    EXPECT_EQ(list, before);
    EXPECT_EQ(racers.LastYoseiKi(), 138);
    for (qsizetype k = 1; k < list.size(); ++k) {
      const QString& no = list[k];
      SCOPED_TRACE(no.toStdString());
      ++asked;
      if (every.contains(no)) {
        ++found;
        EXPECT_EQ(racers.SensyuNo(static_cast<std::int16_t>(k)), no);
        EXPECT_EQ(racers.NameKanji(no), all.NameKanji(no));
        EXPECT_EQ(racers.InSisu(no), all.InSisu(no));
        EXPECT_EQ(racers.CourseStartTiming(no, 4), all.CourseStartTiming(no, 4));
      } else {
        EXPECT_EQ(racers.SensyuNo(static_cast<std::int16_t>(k)), QString());
        EXPECT_EQ(racers.Syoritu(no), 0.0f);
        EXPECT_EQ(racers.NameKanji(no), QString());
      }
    }
    EXPECT_EQ(racers.GetSensyuFileVersion(), S(u"2026年後期"));
  }
  EXPECT_EQ(venues, 13);
  // Two years on, most of the day's racers are still in the handbook.
  EXPECT_GT(found, asked * 3 / 4);
  RecordProperty("asked", asked);
  RecordProperty("found", found);
  std::cout << "participants of 2024-01-01: " << asked << ", in the 2026 handbook: " << found << '\n';
}
