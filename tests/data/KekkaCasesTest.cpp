// What the results store answers for the races that real days hold besides ordinary results: each
// file under kekka/ is one venue's block cut from an official day of 2022-07..2023-06 (the day
// and the venue code are in its name), with only the races the case needs.

#include "data/cKekkaFile.h"

#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

struct RealCase {
  const char* file;  // under tests/data/kekka/
  std::int16_t race;
  RaceStatus status;
  const char16_t* places;   // Tyakujyun of each line, blank-separated
  Kakesiki kind;            // the bet kind the next two columns show
  const char16_t* payouts;  // "組番 円 人気" per payout, "|" between; 特払い or 不成立 as the store answers
  const char16_t* matome;   // the day's summary of that kind: "組番 円" per entry
  const char16_t* starts;   // StartTimingText of each line with "+L" for a late start, or nullptr
};

const RealCase kCases[] = {
    // Races called off after 2R: the summary says 中　止, no section follows.
    {"k220721_20_cancelled", 3, RaceStatus::Cancelled, u"", Kakesiki::Sanrentan, u"", u"", nullptr},
    {"k220721_20_cancelled", 2, RaceStatus::Held, u"01 02 03 04 05 06", Kakesiki::Sanrentan, u"4-3-6 10250 44",
     u"4-3-6 10250", nullptr},
    {"k220810_03_day_cancelled", 12, RaceStatus::Cancelled, u"", Kakesiki::Nirentan, u"", u"", nullptr},
    // A dead heat for third: both orders paid in 3連単 and both sets in 3連複.
    {"k220701_21_7R_deadheat_third", 7, RaceStatus::Held, u"01 02 03 03 05 06", Kakesiki::Sanrentan,
     u"3-1-4 7040 42|3-1-5 11880 61", u"3-1-4 7040|3-1-5 11880", nullptr},
    {"k220701_21_7R_deadheat_third", 7, RaceStatus::Held, u"01 02 03 03 05 06", Kakesiki::Sanrenfuku,
     u"1-3-4 390 3|1-3-5 1080 10", u"1-3-4 390|1-3-5 1080", nullptr},
    // A dead heat for second: 2連単 twice, one 3連複 (the summary's further line leaves it blank),
    // three boats for 複勝.
    {"k220813_07_6R_deadheat_second", 6, RaceStatus::Held, u"01 02 02 04 05 06", Kakesiki::Nirentan,
     u"2-1 1910 8|2-4 8600 21", u"2-1 1910|2-4 8600", nullptr},
    {"k220813_07_6R_deadheat_second", 6, RaceStatus::Held, u"01 02 02 04 05 06", Kakesiki::Sanrenfuku, u"1-2-4 1880 6",
     u"1-2-4 1880", nullptr},
    {"k220813_07_6R_deadheat_second", 6, RaceStatus::Held, u"01 02 02 04 05 06", Kakesiki::Fukusyo,
     u"2 240 0|1 100 0|4 710 0", u"", nullptr},
    // Five boats flew: the race is void, the boats and their timings kept, nothing paid.
    {"k220809_05_10R_void", 10, RaceStatus::Void, u"F F F F F 00", Kakesiki::Sanrentan, u"", u"不成立 0",
     u"F0.03 F0.08 F0.07 F0.16 F0.06 0.02"},
    // Special payouts in place of a combination, in the race and in the summary.
    {"k220704_15_1R_tokubarai_tansyo", 1, RaceStatus::Held, u"01 02 03 04 05 06", Kakesiki::Tansyo, u"特払い 70 0", u"",
     nullptr},
    {"k220720_08_8R_tokubarai_fukusyo", 8, RaceStatus::Held, u"01 02 03 04 05 06", Kakesiki::Fukusyo, u"特払い 70 0",
     u"", nullptr},
    {"k220908_04_4R_tokubarai_nirenfuku", 4, RaceStatus::Held, u"01 02 03 04 05 06", Kakesiki::Nirenfuku,
     u"特払い 70 0", u"特払い 0", nullptr},
    // Late starts, with the timing and without one.
    {"k220908_23_12R_late", 12, RaceStatus::Held, u"01 02 03 04 05 L1", Kakesiki::Sanrentan, u"5-3-4 4360 24",
     u"5-3-4 4360", u"0.13 0.23 0.17 0.18 0.67 L1.99+L"},
    {"k220704_12_12R_late_no_timing", 12, RaceStatus::Held, u"01 02 03 04 05 L0", Kakesiki::Sanrentan, u"2-3-5 5560 29",
     u"2-3-5 5560", u"0.09 0.10 0.13 0.11 0.14 L .+L"},
    // The day is not in yet: the block holds only its notice.
    {"k220806_10_notice", 1, RaceStatus::None, u"", Kakesiki::Tansyo, u"", u"", nullptr},
};

void PrintTo(const RealCase& c, std::ostream* os) { *os << c.file << " " << c.race << "R"; }

QString Payouts(const cKekkaFile& k, std::int16_t r, Kakesiki kind) {
  if (k.Fuseiritu(r, kind)) return QStringLiteral("不成立");
  QStringList out;
  for (std::int16_t i = 1; i <= k.HaraimodosiNumbers(r, kind); ++i) {
    out << QStringLiteral("%1 %2 %3")
               .arg(k.Tokubarai(r, kind, i) ? QStringLiteral("特払い") : k.Kumiban(r, kind, i))
               .arg(k.Kingaku(r, kind, i))
               .arg(k.Ninki(r, kind, i));
  }
  return out.join(u'|');
}

QString Matome(const cKekkaFile& k, std::int16_t r, Kakesiki kind) {
  QStringList out;
  for (std::int16_t i = 1; i <= k.MatomeNumbers(r, kind); ++i) {
    out << QStringLiteral("%1 %2")
               .arg(k.MatomeTokubarai(r, kind, i) ? QStringLiteral("特払い") : k.MatomeKumiban(r, kind, i))
               .arg(k.MatomeKingaku(r, kind, i));
  }
  return out.join(u'|');
}

struct cKekkaFileRealCase : ::testing::TestWithParam<RealCase> {};

}  // namespace

TEST_P(cKekkaFileRealCase, AnswersWhatTheFileSays) {
  const RealCase& c = GetParam();
  const QString path =
      QStringLiteral(TIDEWAKE_TEST_SOURCE "/kekka/") + QString::fromLatin1(c.file) + QStringLiteral(".txt");
  const QString code = QString::fromLatin1(c.file).section(u'_', 1, 1);
  TempAppFolder folder;
  UnexpectedMessageBox noBox;
  cKekkaFile k;
  ASSERT_TRUE(k.FileConv(path));
  KyoteijyoTable venues;
  QString store;
  ASSERT_TRUE(k.KaisaiCheck(venues, store));
  EXPECT_FALSE(venues[static_cast<std::size_t>(code.toInt())].isEmpty()) << "every block is listed";
  ASSERT_TRUE(k.FileLoad(code, store));
  const std::int16_t r = c.race;
  EXPECT_EQ(k.Status(r), c.status);
  EXPECT_EQ(k.RaceExists(r), c.status == RaceStatus::Held || c.status == RaceStatus::Void);
  QStringList places, starts;
  for (std::int16_t j = 1; j <= k.BoatNumbers(r); ++j) {
    places << k.Tyakujyun(r, j);
    starts << k.StartTimingText(r, j) + (k.StartLate(r, j) ? QStringLiteral("+L") : QString());
    // Every boat that started keeps its timing, in a void race too.
    if (k.Course(r, j) != 0) {
      EXPECT_TRUE(k.StartTimingExists(r, j)) << j;
    }
  }
  EXPECT_EQ(places.join(u' '), QString::fromUtf16(c.places));
  EXPECT_EQ(Payouts(k, r, c.kind), QString::fromUtf16(c.payouts));
  EXPECT_EQ(Matome(k, r, c.kind), QString::fromUtf16(c.matome));
  if (c.starts) {
    EXPECT_EQ(starts.join(u' '), QString::fromUtf16(c.starts));
  }
  if (c.status == RaceStatus::Void) {
    for (int kind = 0; kind < kKakesikiCount; ++kind)
      EXPECT_EQ(k.HaraimodosiNumbers(r, static_cast<Kakesiki>(kind)), 0);
  }
  // A block whose day is not in yet names its venue and says why it holds no race.
  if (QString::fromLatin1(c.file).endsWith(u"notice")) {
    EXPECT_EQ(k.KyoteijyoName(), QStringLiteral("三　国"));
    EXPECT_EQ(k.Notice(), QStringLiteral("データは、この場の全レース終了後に登録されます。"));
  } else {
    EXPECT_TRUE(k.Notice().isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Days, cKekkaFileRealCase, ::testing::ValuesIn(kCases));
