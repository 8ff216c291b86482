// The programmes of real days, as the official site serves them.

#include "data/cBangumiFile.h"

#include "platform/LineReader.h"
#include "platform/SjisText.h"
#include "tests/common/SampleFiles.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace tidewake;
using namespace tidewake::test;

namespace {

struct Day {
  const char* file;
  const char* date;
  std::map<int, int> dayOfMeeting;  // venue code -> day number of its date line
};

const Day kDays[] = {
    {"B/b240101.txt",
     "2024/01/01",
     {{24, 1}, {21, 4}, {20, 4}, {19, 5}, {18, 5}, {17, 3}, {16, 5}, {15, 3}, {14, 3}, {9, 3}, {8, 3}, {7, 2}, {6, 4}}},
    {"B/b200315.txt",
     "2020/03/15",
     {{23, 4},
      {22, 2},
      {21, 2},
      {17, 3},
      {15, 5},
      {13, 3},
      {11, 6},
      {8, 2},
      {7, 4},
      {6, 4},
      {5, 4},
      {3, 2},
      {2, 1},
      {1, 1}}},
    {"B/b050104-excerpt.txt", "2005/01/04", {{6, 6}, {23, 5}}},
};

void PrintTo(const Day& d, std::ostream* os) { *os << d.file; }

QString Code(int code) { return QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0')); }

QList<QByteArray> Lines(const QByteArray& bytes) {
  QList<QByteArray> out;
  LineReader r(bytes);
  QByteArrayView line;
  while (r.Next(line)) out << line.toByteArray();
  return out;
}

struct cBangumiFileRealDay : ::testing::TestWithParam<Day> {
  TempAppFolder folder;
  cBangumiFile bangumi;
};

}  // namespace

TEST_P(cBangumiFileRealDay, EveryVenueConvertsListsAndLoads) {
  const Day& day = GetParam();
  TIDEWAKE_SAMPLE_OR_SKIP(path, QString::fromLatin1(day.file));
  ASSERT_TRUE(bangumi.FileConv(path));

  KyoteijyoTable table;
  QString name;
  ASSERT_TRUE(bangumi.KaisaiCheck(table, name));
  std::set<int> listed;
  for (int code = 1; code <= 24; ++code) {
    if (!table[code].isEmpty()) listed.insert(code);
  }
  std::set<int> expected;
  for (auto [code, n] : day.dayOfMeeting) expected.insert(code);
  EXPECT_EQ(listed, expected);

  for (auto [code, dayNo] : day.dayOfMeeting) {
    SCOPED_TRACE(code);
    QString store;
    ASSERT_TRUE(bangumi.FileLoad(Code(code), store));
    EXPECT_EQ(bangumi.KyoteijyoCode(), Code(code));
    EXPECT_EQ(bangumi.RaceDate(), QString::fromLatin1(day.date));
    EXPECT_EQ(bangumi.TotalDay(), dayNo);
    EXPECT_FALSE(bangumi.TitleLong().isEmpty());
    EXPECT_EQ(bangumi.Title(), table[code]);
    ASSERT_EQ(bangumi.RaceNumbers(), 12);

    std::set<QString> distinct;
    for (int r = 1; r <= 12; ++r) {
      EXPECT_FALSE(bangumi.ClosingHour(r).isEmpty());
      EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:00$")).match(bangumi.ClosingHour(r)).hasMatch())
          << bangumi.ClosingHour(r).toStdString();
      float shares = 0;
      for (int b = 1; b <= 6; ++b) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}$")).match(bangumi.SensyuNo(r, b)).hasMatch())
            << r << "R " << b << ": " << bangumi.SensyuNo(r, b).toStdString();
        EXPECT_EQ(bangumi.SensyuName(r, b).size(), 4);
        EXPECT_GE(bangumi.SensyuWeight(r, b), 40);
        EXPECT_GT(bangumi.Tansyoritu(r, b), 0.0f);
        shares += bangumi.Tansyoritu(r, b);
        distinct.insert(bangumi.SensyuNo(r, b));
      }
      EXPECT_NEAR(shares, 100.0f, 1e-4f) << "race " << r;
    }
    // Every slot is filled, so the participants are exactly the distinct numbers of the card.
    EXPECT_EQ(bangumi.ParticipationNumbers(), static_cast<int>(distinct.size()));
    const QStringList list = bangumi.ParticipationSensyuNoAllGet();
    EXPECT_EQ(QStringList(distinct.begin(), distinct.end()), list.mid(1));

    // The points-rate rank is one more than the number of participants with a better rate.
    for (int r = 1; r <= 12; ++r) {
      for (int b = 1; b <= 6; ++b) {
        int better = 0;
        for (int i = 1; i <= bangumi.ParticipationNumbers(); ++i) {
          if (bangumi.IndexToTokutenritu(i) > bangumi.Tokutenritu(r, b)) ++better;
        }
        EXPECT_EQ(bangumi.TokutenrituOrder(r, b), better + 1) << r << "R " << b;
      }
    }
  }
}

TEST_P(cBangumiFileRealDay, TheStoreIsTheKeptLinesByteForByte) {
  const Day& day = GetParam();
  TIDEWAKE_SAMPLE_OR_SKIP(path, QString::fromLatin1(day.file));
  ASSERT_TRUE(bangumi.FileConv(path));
  const QByteArray first = ReadBytes(folder.file(QStringLiteral("BANGUMI.BRF")));
  ASSERT_TRUE(bangumi.FileConv(path));
  EXPECT_EQ(ReadBytes(folder.file(QStringLiteral("BANGUMI.BRF"))), first);

  // The store's lines are input lines, in order, each ended by CR LF; each input line left out
  // is one of the headings, captions, separators, notices or empty lines.
  const QList<QByteArray> in = Lines(ReadBytes(path));
  const QList<QByteArray> out = Lines(first);
  EXPECT_TRUE(first.endsWith("\r\n"));
  EXPECT_EQ(first.count("\r\n"), out.size());
  qsizetype k = 0;
  int entrants = 0;
  for (const QByteArray& line : in) {
    const QString text = DecodeSjis(line);
    if (k < out.size() && out[k] == line) {
      ++k;
      if (QRegularExpression(QStringLiteral("^[1-6] \\d{4}")).match(text).hasMatch()) ++entrants;
      continue;
    }
    EXPECT_TRUE(text.isEmpty() || text.startsWith(u"---") || text.startsWith(u'番') || text.startsWith(u'艇') ||
                text.contains(u"内容に") || text.contains(u"番組表"))
        << "dropped: " << text.toStdString();
  }
  EXPECT_EQ(k, out.size());
  EXPECT_EQ(entrants, 72 * static_cast<int>(day.dayOfMeeting.size()));
}

INSTANTIATE_TEST_SUITE_P(Programmes, cBangumiFileRealDay, ::testing::ValuesIn(kDays), [](const auto& info) {
  return QString::fromLatin1(info.param.file).mid(2, 7).remove(u'-').toStdString();
});

TEST(cBangumiFileRealDayColumns, ThreeDigitBoatNumbersOfTamagawaAndFukuoka) {
  TIDEWAKE_SAMPLE_OR_SKIP(path, QStringLiteral("B/b200315.txt"));
  TempAppFolder folder;
  cBangumiFile bangumi;
  ASSERT_TRUE(bangumi.FileConv(path));
  for (const char* code : {"05", "22"}) {
    QString store;
    ASSERT_TRUE(bangumi.FileLoad(QString::fromLatin1(code), store));
    for (int r = 1; r <= 12; ++r) {
      for (int b = 1; b <= 6; ++b) {
        const QString no = bangumi.BoatNo(r, b);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^1\\d\\d$")).match(no).hasMatch())
            << code << " " << r << "R " << b << ": \"" << no.toStdString() << '"';
        EXPECT_GT(bangumi.BoatFSyoritu(r, b), 0.0f);
      }
    }
  }
  // Tamagawa race 1 boat 1: "... 44 33.54181 27.22 553 51       7".
  QString store;
  ASSERT_TRUE(bangumi.FileLoad(QStringLiteral("05"), store));
  EXPECT_EQ(bangumi.SensyuNo(1, 1), "3713");
  EXPECT_EQ(bangumi.MotorNo(1, 1), "44");
  EXPECT_EQ(bangumi.MotorFSyoritu(1, 1), 33.54f);
  EXPECT_EQ(bangumi.BoatNo(1, 1), "181");
  EXPECT_EQ(bangumi.BoatFSyoritu(1, 1), 27.22f);
  EXPECT_EQ(bangumi.Seiseki(1, 1), QStringLiteral("553 51      "));
  EXPECT_EQ(bangumi.Hayami(1, 1), 7);
}

TEST(cBangumiFileRealDayColumns, OmuraFirstRaceAsPrinted) {
  TIDEWAKE_SAMPLE_OR_SKIP(path, QStringLiteral("B/b240101.txt"));
  TempAppFolder folder;
  cBangumiFile bangumi;
  ASSERT_TRUE(bangumi.FileConv(path));
  QString store;
  ASSERT_TRUE(bangumi.FileLoad(QStringLiteral("24"), store));
  EXPECT_EQ(bangumi.TitleLong(), QString::fromUtf16(u"ミッドナイトボートレース１０ＴＨｉｎ大村　　　　　"));
  EXPECT_EQ(bangumi.RaceTitle(1),
            QString::fromUtf16(u"　１Ｒ  予選　　　　          Ｈ１８００ｍ  電話投票締切予定１７：４１"));
  EXPECT_EQ(bangumi.ClosingHour(1), "17:41:00");
  // "1 3501川上昇平54長崎55B1 4.92 25.30 5.38 33.85 50 30.22 12 36.62              8"
  EXPECT_EQ(bangumi.SensyuName(1, 1), QString::fromUtf16(u"川上昇平"));
  EXPECT_EQ(bangumi.SensyuAge(1, 1), 54);
  EXPECT_EQ(bangumi.SensyuClass(1, 1), "B1");
  EXPECT_EQ(bangumi.SensyuTochiFSyoritu(1, 1), 33.85f);
  EXPECT_EQ(bangumi.Hayami(1, 1), 8);
  EXPECT_EQ(bangumi.Hayami(1, 3), 0);
}
