// The history database on its own: what goes in comes back, a day recorded twice, files that are
// not ours or are damaged, an older schema, a full disk.

#include "history/RirekiSimulate.h"
#include "history/cRirekiDb.h"

#include "platform/RuntimeError.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/SampleFiles.h"
#include "tests/history/DayCompare.h"
#include "tests/history/HistoryFixture.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tidewake;
using namespace tidewake::test;

namespace {

// A card whose every field differs from its default and from the other cards'.
cBangumiFile::Card MakeCard(const QString& code, int races, int seed) {
  cBangumiFile::Card c;
  c.KyoteijyoCode = code;
  c.Title = QStringLiteral("タイトル%1").arg(seed);
  c.TitleLong = QStringLiteral("長いタイトル %1").arg(seed);
  c.RaceDate = QStringLiteral("2024/01/0%1").arg(seed % 9 + 1);
  c.TotalDay = static_cast<std::int16_t>(seed % 6 + 1);
  c.RaceNumbers = static_cast<std::int16_t>(races);
  if (races == 0) c.Notice = QStringLiteral("この場のデータ更新は、いましばらくお待ちください。");
  c.ParticipationNumbers = 2;
  c.participants = QStringList{QString(), QStringLiteral("3501"), QStringLiteral("4%1").arg(seed, 3, 10, QChar(u'0'))};
  for (int r = 0; r < races; ++r) {
    auto& rc = c.races[r];
    rc.RaceTitle = QStringLiteral("予選%1").arg(r);
    rc.ClosingHour = QStringLiteral("1%1:05").arg(r % 10);
    rc.VoteType = static_cast<std::int16_t>(r % 3);
    rc.CourseFix = r % 4 == 1;
    for (int w = 0; w < 6; ++w) {
      auto& e = rc.boats[w];
      const int k = seed * 100 + r * 6 + w;
      e.SensyuNo = QString::number(3000 + k % 1000);
      e.SensyuName = QStringLiteral("吉田　光");
      e.SensyuBirthplace = QStringLiteral("福岡");
      e.SensyuClass = QStringLiteral("A1");
      e.MotorNo = QString::number(k % 100);
      e.BoatNo = QString::number(100 + k % 60);
      e.Seiseki = QStringLiteral("1 2  F");
      e.SensyuAge = static_cast<std::int16_t>(20 + w);
      e.SensyuWeight = static_cast<std::int16_t>(50 + r);
      e.Hayami = static_cast<std::int16_t>(k % 13);
      e.TokutenrituOrder = static_cast<std::int16_t>(w + 1);
      e.SensyuZenkokuSyoritu = 7.57f - 0.1f * w;
      e.SensyuZenkokuFSyoritu = 54.12f + w;
      e.SensyuTochiSyoritu = 6.01f;
      e.SensyuTochiFSyoritu = 33.33f;
      e.MotorFSyoritu = 35.36f;
      e.BoatFSyoritu = 100.0f;
      e.Tokutenritu = 1.0f / 3.0f + k;
      e.Tansyoritu = 0.1f * k;
    }
  }
  return c;
}

cKekkaFile::Venue MakeVenue(const QString& code, int seed) {
  cKekkaFile::Venue v;
  v.KyoteijyoCode = code;
  v.KyoteijyoName = QStringLiteral("大　村");
  v.Title = QStringLiteral("ミッドナイト%1").arg(seed);
  v.TitleLong = QStringLiteral("第%1回").arg(seed);
  v.RaceDate = QStringLiteral("2024/01/01");
  v.TotalDay = 3;
  auto& rc = v.races[2];
  rc.Exists = true;
  rc.RaceName = QStringLiteral("予選");
  rc.Tenko = QStringLiteral("晴");
  rc.KazeMuki = QStringLiteral("北東");
  rc.Kimarite = QStringLiteral("まくり差し");
  rc.Kyori = 1800;
  rc.Fusoku = 3;
  rc.Hakou = 2;
  rc.bikou = QStringList{QStringLiteral("返還あり"), QStringLiteral("２行目")};
  for (int i = 0; i < 6; ++i) {
    auto& b = rc.boats.emplace_back();
    b.Tyakujyun = i == 5 ? QStringLiteral("F") : QStringLiteral("0%1").arg(i + 1);
    b.TyakujyunNo = static_cast<std::int16_t>(i == 5 ? 0 : i + 1);
    b.WakuNo = static_cast<std::int16_t>(6 - i);
    b.SensyuNo = QString::number(3501 + i + seed);
    b.SensyuName = QStringLiteral("川　上　　昇　平");
    b.Course = static_cast<std::int16_t>(i + 1);
    b.StartTimingText = i == 5 ? QStringLiteral("F0.01") : QStringLiteral("0.1%1").arg(i);
    b.StartTiming = 0.1f + 0.01f * i;
    b.StartFlying = i == 5;
    b.StartTimingExists = true;
    b.TenjiTime = 6.89f;
    b.RaceTime = i == 5 ? QString() : QStringLiteral("1.49.7");
    b.RaceTimeSeconds = i == 5 ? 0 : 109.7f;
  }
  rc.Status = RaceStatus::Held;
  rc.boats[2].StartLate = true;
  rc.payouts[static_cast<int>(Kakesiki::Sanrentan)] = {{QStringLiteral("1-3-6"), 12340, 45, false},
                                                       {QStringLiteral("1-6-3"), 2000, 8, false}};
  rc.payouts[static_cast<int>(Kakesiki::Nirenfuku)] = {{QString(), 70, 0, true}};
  rc.fuseiritu[static_cast<int>(Kakesiki::Tansyo)] = true;
  rc.matome[static_cast<int>(Kakesiki::Sanrentan)] = {{QStringLiteral("1-3-6"), 12340, false},
                                                      {QStringLiteral("1-6-3"), 2000, false}};
  v.races[3].Status = RaceStatus::Cancelled;
  v.races[3].matome[static_cast<int>(Kakesiki::Nirentan)] = {{QStringLiteral("不成立"), 0, false}};
  v.races[4].Status = RaceStatus::Void;
  v.Notice = QStringLiteral("お知らせ");
  return v;
}

DayRecord MakeDay(QDate date, int seed) {
  return DayRecord{date,
                   {MakeCard("24", 12, seed), MakeCard("06", 0, seed + 1), MakeCard("12", 3, seed + 2)},
                   {MakeVenue("24", seed), MakeVenue("06", seed + 1)}};
}

void Record(cRirekiDb& db, const DayRecord& d, const QByteArray& tag = "v1") {
  db.RecordProgramme(d.date, d.cards, "B" + tag + d.date.toString().toUtf8());
  db.RecordResults(d.date, d.results, "K" + tag + d.date.toString().toUtf8());
}

struct RirekiDb : ::testing::Test {
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("RIREKI.DB"));
  const QDate d1{2024, 1, 1}, d2{2024, 1, 2}, d3{2024, 1, 3};
};

void Exec(const QString& path, const QStringList& sql) {
  {
    QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
    raw.setDatabaseName(path);
    ASSERT_TRUE(raw.open());
    QSqlQuery q(raw);
    for (const QString& s : sql) ASSERT_TRUE(q.exec(s)) << s.toStdString();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

}  // namespace

TEST_F(RirekiDb, DaysComeBackAsRecordedInDateOrder) {
  const DayRecord a = MakeDay(d1, 1), b = MakeDay(d3, 7);
  const DayRecord onlyResults{d2, {}, {MakeVenue("01", 3)}};
  {
    cRirekiDb db(path);
    Record(db, b);
    Record(db, a);
    db.RecordResults(d2, onlyResults.results, "x");
  }
  cRirekiDb db(path);
  const auto days = db.Days(d1, d3);
  ASSERT_EQ(days.size(), 3u);
  EXPECT_EQ(DayDifference(days[0], a), QString());
  EXPECT_EQ(DayDifference(days[1], onlyResults), QString());
  EXPECT_EQ(DayDifference(days[2], b), QString());
  EXPECT_EQ(db.Days(d2, d2).size(), 1u);
  EXPECT_TRUE(db.Days(d3.addDays(1), d3.addDays(9)).empty());

  const auto s = db.Statistics();
  EXPECT_EQ(s.days, 3);
  EXPECT_EQ(s.venues, 3 + 1 + 3);  // the programme's three venues of each day with a programme, one more
  EXPECT_EQ(s.first, d1);
  EXPECT_EQ(s.last, d3);
}

// The same bytes again change nothing; other bytes replace that day's rows of that kind only.
TEST_F(RirekiDb, ADayRecordedAgainIsSkippedOrReplaced) {
  cRirekiDb db(path);
  const DayRecord a = MakeDay(d1, 1), b = MakeDay(d2, 2);
  EXPECT_EQ(db.RecordProgramme(d1, a.cards, "bytes"), RecordOutcome::Added);
  EXPECT_EQ(db.RecordResults(d1, a.results, "bytes"), RecordOutcome::Added);
  Record(db, b);
  EXPECT_TRUE(db.HasProgramme(d1, "bytes"));
  EXPECT_FALSE(db.HasProgramme(d1, "other"));
  EXPECT_EQ(db.RecordProgramme(d1, b.cards, "bytes"), RecordOutcome::AlreadyThere);
  EXPECT_EQ(DayDifference(db.Days(d1, d1)[0], a), QString()) << "skipped, not rewritten";

  DayRecord changed = a;
  changed.results[0].races[2].payouts[5][0].Kingaku = 99999;
  changed.results[1].races[2].boats[0].SensyuName = QStringLiteral("別　人");
  EXPECT_EQ(db.RecordResults(d1, changed.results, "new bytes"), RecordOutcome::Replaced);
  const auto days = db.Days(d1, d2);
  EXPECT_EQ(DayDifference(days[0], changed), QString());
  EXPECT_EQ(DayDifference(days[1], b), QString()) << "the other day untouched";
  EXPECT_FALSE(db.HasResults(d1, "bytes")) << "a file whose every venue was replaced is no longer held";
}

// A file of some of the day's venues replaces those venues; the others stay as they were, in
// their places, and a later file of every venue replaces them all.
TEST_F(RirekiDb, AFileOfSomeVenuesReplacesThoseVenuesOnly) {
  cRirekiDb db(path);
  const DayRecord whole = MakeDay(d1, 1);
  Record(db, whole);
  DayRecord one{d1, {MakeCard("06", 4, 9)}, {MakeVenue("24", 9)}};
  EXPECT_EQ(db.RecordProgramme(d1, one.cards, "one venue"), RecordOutcome::Replaced);
  EXPECT_EQ(db.RecordResults(d1, one.results, "one venue"), RecordOutcome::Replaced);
  DayRecord expected = whole;
  expected.cards[1] = one.cards[0];
  expected.results[0] = one.results[0];
  EXPECT_EQ(DayDifference(db.Days(d1, d1).at(0), expected), QString());
  EXPECT_TRUE(db.HasProgramme(d1, "Bv1" + d1.toString().toUtf8())) << "the whole file still gives two venues";
  EXPECT_EQ(db.Statistics().venues, 3);

  // A venue the day had not is added after the others.
  const DayRecord added{d1, {MakeCard("01", 2, 5)}, {}};
  EXPECT_EQ(db.RecordProgramme(d1, added.cards, "new venue"), RecordOutcome::Replaced);
  expected.cards.push_back(added.cards[0]);
  EXPECT_EQ(DayDifference(db.Days(d1, d1).at(0), expected), QString());

  // A file of every venue held replaces them all, in its own order.
  const DayRecord again{
      d1, {MakeCard("12", 1, 3), MakeCard("01", 1, 4), MakeCard("24", 1, 5), MakeCard("06", 1, 6)}, {}};
  EXPECT_EQ(db.RecordProgramme(d1, again.cards, "all again"), RecordOutcome::Replaced);
  expected.cards = again.cards;
  EXPECT_EQ(DayDifference(db.Days(d1, d1).at(0), expected), QString());
  EXPECT_FALSE(db.HasProgramme(d1, "one venue"));
  EXPECT_FALSE(db.HasProgramme(d1, "Bv1" + d1.toString().toUtf8()));
}

TEST_F(RirekiDb, RecentRacesAreTheRacersLatestBeforeTheDay) {
  cRirekiDb db(path);
  for (int i = 0; i < 9; ++i) db.RecordResults(d1.addDays(i), {MakeVenue("24", 0)}, QByteArray::number(i));
  const auto races = db.RecentRaces(QStringLiteral("3506"), d1.addDays(8), 6);
  ASSERT_EQ(races.size(), 6u);
  EXPECT_EQ(races.front().date, d1.addDays(7));
  EXPECT_EQ(races.back().date, d1.addDays(2));
  const RecentRace& r = races.front();
  EXPECT_EQ(r.KyoteijyoCode, QStringLiteral("24"));
  EXPECT_EQ(r.KyoteijyoName, QStringLiteral("大　村"));
  EXPECT_EQ(r.RaceNo, 3);
  EXPECT_EQ(r.WakuNo, 1);
  EXPECT_EQ(r.Course, 6);
  EXPECT_EQ(r.Tyakujyun, QStringLiteral("F"));
  EXPECT_TRUE(r.StartFlying);
  EXPECT_FLOAT_EQ(r.StartTiming, 0.15f);
  EXPECT_TRUE(db.RecentRaces(QStringLiteral("9999"), d1.addDays(9), 6).empty());
  EXPECT_TRUE(db.RecentRaces(QStringLiteral("3506"), d1, 6).empty());
}

// Files an older program left are brought up to date with their days kept: one of the first
// schema, empty; one of the second with a day's payout summary in a table of its own.
TEST_F(RirekiDb, OlderFilesAreUpgradedWithTheirDaysKept) {
  const auto older = [&](int version, const QStringList& rows) {
    QFile::remove(path);
    QStringList sql;
    for (int v = 1; v <= version; ++v) sql += cRirekiDb::SchemaStep(v);
    sql << QStringLiteral("PRAGMA application_id=%1").arg(0x5464576B)
        << QStringLiteral("PRAGMA user_version=%1").arg(version);
    Exec(path, sql + rows);
  };
  older(1, {});
  {
    cRirekiDb db(path);
    Record(db, MakeDay(d1, 1));
    EXPECT_EQ(DayDifference(db.Days(d1, d1).at(0), MakeDay(d1, 1)), QString());
  }

  older(2, {QStringLiteral(
                "INSERT INTO meeting VALUES (20240101, 'K', '24', 0, '大　村', 't', 'tl', '2024/01/01', 3, 0, 0,"
                " NULL, '')"),
            QStringLiteral("INSERT INTO race VALUES (20240101, 'K', '24', 3, '', '', 0, 0, 0, 0, '', '', 0, 0, '', 0,"
                           " NULL, 0)"),
            QStringLiteral("INSERT INTO summary VALUES (20240101, '24', 3, 5, 1, '1-6-3', 2000, 0)"),
            QStringLiteral("INSERT INTO summary VALUES (20240101, '24', 3, 5, 0, '1-3-6', 12340, 0)"),
            QStringLiteral("INSERT INTO summary VALUES (20240101, '24', 3, 3, 0, '', 70, 1)")});
  cRirekiDb db(path);
  const auto days = db.Days(d1, d1);
  const auto& matome = days.at(0).results.at(0).races[2].matome;
  ASSERT_EQ(matome[5].size(), 2u);
  EXPECT_EQ(matome[5][0].Kumiban, QStringLiteral("1-3-6"));
  EXPECT_EQ(matome[5][1].Kingaku, 2000);
  ASSERT_EQ(matome[3].size(), 1u);
  EXPECT_TRUE(matome[3][0].Tokubarai);
  EXPECT_EQ(matome[3][0].Kingaku, 70);
  Record(db, MakeDay(d2, 2));
  EXPECT_EQ(DayDifference(db.Days(d2, d2).at(0), MakeDay(d2, 2)), QString());
  QSqlQuery q(QSqlDatabase::database(db.connectionName()));
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA user_version")) && q.next());
  EXPECT_EQ(q.value(0).toInt(), cRirekiDb::kSchemaVersion);
}

// No room left for the day: it is refused and the database is as it was before it.
TEST_F(RirekiDb, AFullDiskLeavesTheDatabaseAsBeforeTheDay) {
  cRirekiDb db(path);
  const DayRecord a = MakeDay(d1, 1);
  Record(db, a);
  QSqlQuery q(QSqlDatabase::database(db.connectionName()));
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA page_count")) && q.next());
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA max_page_count=%1").arg(q.value(0).toInt())));
  std::vector<cBangumiFile::Card> more;
  for (int v = 1; v <= 24; ++v) more.push_back(MakeCard(QString::number(v), 12, v));
  EXPECT_RUNTIME_ERROR(db.RecordProgramme(d1, more, "other bytes"), ErrNo::HistoryFull,
                       QStringLiteral("履歴データベースに書き込めません"));
  EXPECT_EQ(DayDifference(db.Days(d1, d1).at(0), a), QString());
  EXPECT_TRUE(db.HasProgramme(d1, "Bv1" + d1.toString().toUtf8()));
}

// The 直前 entries of a race: recorded (a blank time allowed), read back by race and by day,
// replaced by a second recording, cleared; a race outside 1..12 is refused.
TEST_F(RirekiDb, ExhibitionEntriesAreKeptPerRaceAndCleared) {
  cRirekiDb db(path);
  ExhibitionEntry e{QStringLiteral("24"), 7, {6.78f, std::nullopt, 6.9f, 6.85f, 6.81f, 7.01f}, {1, 3, 2, 4, 5, 6}};
  db.RecordExhibition(d1, e);
  ExhibitionEntry other{QStringLiteral("06"), 12, {}, {}};
  db.RecordExhibition(d1, other);
  auto back = db.Exhibition(d1, QStringLiteral("24"), 7);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->TenjiTime, e.TenjiTime);
  EXPECT_EQ(back->Course, e.Course);
  EXPECT_FALSE(db.Exhibition(d1, QStringLiteral("24"), 8).has_value());
  EXPECT_FALSE(db.Exhibition(d2, QStringLiteral("24"), 7).has_value());
  EXPECT_EQ(db.Exhibitions(d1).size(), 2u);

  e.TenjiTime[0].reset();
  e.Course = {2, 1, 3, 4, 5, 6};
  db.RecordExhibition(d1, e);
  EXPECT_EQ(db.Exhibition(d1, QStringLiteral("24"), 7)->Course, e.Course);
  EXPECT_FALSE(db.Exhibition(d1, QStringLiteral("24"), 7)->TenjiTime[0].has_value());

  db.ClearExhibition(d1, QStringLiteral("24"), 7);
  EXPECT_FALSE(db.Exhibition(d1, QStringLiteral("24"), 7).has_value());
  EXPECT_EQ(db.Exhibitions(d1).size(), 1u);
  EXPECT_THROW(db.RecordExhibition(d1, ExhibitionEntry{QStringLiteral("24"), 13, {}, {}}), RuntimeError);
}

// Every day held, the newest first, with which of its files it has.
TEST_F(RirekiDb, HeldDaysAreListedNewestFirstWithTheirFiles) {
  cRirekiDb db(path);
  EXPECT_TRUE(db.HeldDays().empty());
  db.RecordProgramme(d1, MakeDay(d1, 1).cards, "b1");
  db.RecordResults(d2, MakeDay(d2, 2).results, "k2");
  Record(db, MakeDay(d3, 3));
  const auto days = db.HeldDays();
  ASSERT_EQ(days.size(), 3u);
  EXPECT_EQ(days[0].date, d3);
  EXPECT_TRUE(days[0].programme && days[0].results);
  EXPECT_EQ(days[1].date, d2);
  EXPECT_TRUE(!days[1].programme && days[1].results);
  EXPECT_EQ(days[2].date, d1);
  EXPECT_TRUE(days[2].programme && !days[2].results);
}

// On the window's thread no query runs past its bound: it is interrupted and said, and the
// connection goes on working.
TEST_F(RirekiDb, AQueryPastItsBoundIsInterruptedAndSaid) {
  cRirekiDb db(path);
  for (int i = 0; i < 3; ++i) Record(db, MakeDay(d1.addDays(i), i));
  db.SetInteractive(std::chrono::milliseconds(0));
  EXPECT_RUNTIME_ERROR(db.Days(d1, d3), ErrNo::HistoryTooSlow,
                       QStringLiteral("履歴データベースの問い合わせに時間がかかりすぎた"));
  db.SetInteractive(std::chrono::seconds(60));
  EXPECT_EQ(db.Days(d1, d3).size(), 3u);
}

// SQLite's check stopped halfway says nothing, whether the connection is bounded for the window or
// not, and leaves it as it was; not stopped, it says what Check() says.
TEST_F(RirekiDb, ACheckStoppedHalfwaySaysNothingAndLeavesTheConnectionAsItWas) {
  {
    cRirekiDb db(path);
    for (int i = 0; i < 3; ++i) Record(db, MakeDay(d1.addDays(i), i));
  }
  std::stop_source stopped, going;
  stopped.request_stop();
  for (const bool interactive : {false, true}) {
    SCOPED_TRACE(interactive);
    cRirekiDb db(path, RirekiAccess::ReadOnly);
    if (interactive) db.SetInteractive(std::chrono::milliseconds(0));
    EXPECT_FALSE(db.Check(stopped.get_token()).has_value());
    const std::optional<QStringList> found = db.Check(going.get_token());
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(found->isEmpty()) << found->join(u'\n').toStdString();
    if (interactive) {
      EXPECT_RUNTIME_ERROR(db.Days(d1, d3), ErrNo::HistoryTooSlow, QStringLiteral("時間がかかりすぎた"));
    } else {
      EXPECT_EQ(db.Days(d1, d3).size(), 3u);
      EXPECT_TRUE(db.Check().isEmpty());
    }
  }
}

// Values at the edges of their compact forms come back exactly: figures that are no whole number
// of hundredths, a negative zero, numbers with leading zeros or blanks, texts that are not the
// form their row's other values give.
TEST_F(RirekiDb, ValuesWithoutACompactFormComeBackExactly) {
  DayRecord d = MakeDay(d1, 1);
  auto& e = d.cards[0].races[0].boats[0];
  e.SensyuNo = QStringLiteral("0451");
  e.MotorNo = QStringLiteral(" 7");
  e.BoatNo = QString();
  e.SensyuZenkokuSyoritu = -0.0f;
  e.SensyuTochiSyoritu = 1e-7f;
  e.MotorFSyoritu = std::numeric_limits<float>::infinity();
  e.Seiseki = QStringLiteral("12");
  e.Tansyoritu = std::numeric_limits<float>::quiet_NaN();
  d.cards[0].races[1].RaceTitle = QStringLiteral("　２Ｒ  予選\t\\n");
  d.cards[0].races[1].ClosingHour = QStringLiteral("25:61:00");
  d.cards[0].KyoteijyoCode = QStringLiteral("2A");
  auto& b = d.results[0].races[2].boats[0];
  b.StartTimingText = QStringLiteral("0.1");
  b.RaceTime = QStringLiteral("1'49\"7");
  b.TyakujyunNo = 4;
  auto& p = d.results[0].races[2].payouts[2];
  p.push_back({QStringLiteral("3\t4\n\\"), 100, 0, true});
  d.results[0].races[2].matome[2].push_back({QStringLiteral("3-4"), 1, false});
  cRirekiDb db(path);
  Record(db, d);
  DayRecord back = db.Days(d1, d1).at(0);
  EXPECT_TRUE(std::isnan(back.cards[0].races[0].boats[0].Tansyoritu));
  back.cards[0].races[0].boats[0].Tansyoritu = d.cards[0].races[0].boats[0].Tansyoritu = 0;  // NaN equals nothing
  EXPECT_EQ(DayDifference(back, d), QString());
  EXPECT_TRUE(std::signbit(back.cards[0].races[0].boats[0].SensyuZenkokuSyoritu));
}

// A race's result lines go in a few at a time: every count of lines (none, fewer than a boat
// each, one more than that, two races' worth) comes back line for line, in order.
TEST_F(RirekiDb, EveryCountOfResultLinesComesBack) {
  cRirekiDb db(path);
  int day = 0;
  for (const std::size_t lines : {0u, 1u, 2u, 5u, 6u, 7u, 11u, 12u, 13u}) {
    SCOPED_TRACE(lines);
    DayRecord d = MakeDay(d1.addDays(day++), 1);
    auto& races = d.results[0].races;
    const std::vector<cKekkaFile::Boat> model = races[2].boats;
    ASSERT_FALSE(model.empty());
    // This race holds `lines` lines, another the rest of thirteen.
    for (const auto& [race, count] : {std::pair(2, lines), std::pair(5, 13 - lines)}) {
      races[race].boats.clear();
      for (std::size_t i = 0; i < count; ++i) {
        cKekkaFile::Boat b = model[i % model.size()];
        b.SensyuNo = QString::number(4000 + race * 100 + static_cast<int>(i));
        b.SensyuName = QStringLiteral("選手 %1").arg(i);
        b.WakuNo = static_cast<std::int16_t>(i % 6 + 1);
        races[race].boats.push_back(b);
      }
    }
    Record(db, d);
    EXPECT_EQ(DayDifference(db.Days(d.date, d.date).at(0), d), QString());
  }
}

// SQLite's check runs when a file is opened after an import that did not end (its program's mark
// is still there), not at every open; a sound file is then opened and the mark removed.
TEST_F(RirekiDb, AFileAKilledImportLeftIsCheckedWhenNextOpened) {
  {
    cRirekiDb db(path);
    for (int i = 0; i < 20; ++i) Record(db, MakeDay(d1.addDays(i), i));
  }
  QProcess ended;  // a program that has ended: its number names no running program
#ifdef Q_OS_WIN
  ended.start(QStringLiteral("cmd"), {QStringLiteral("/c"), QStringLiteral("exit")});
#else
  ended.start(QStringLiteral("true"));
#endif
  ASSERT_TRUE(ended.waitForFinished());
  const QString mark = QStringLiteral("INSERT INTO import_run VALUES (%1, 0)").arg(ended.processId());
  RawSql(path, {QStringLiteral("PRAGMA journal_mode=DELETE"), mark});
  {
    cRirekiDb db(path);  // sound: opened, its mark removed
  }
  EXPECT_EQ(RawValue(path, QStringLiteral("SELECT count(*) FROM import_run")).toInt(), 0);

  QByteArray bytes = ReadBytes(path);
  for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 40000; ++i) bytes[i] = static_cast<char>(i * 7);
  WriteBytes(path, bytes);
  EXPECT_NO_THROW(cRirekiDb{path}) << "no check at every open";
  RawSql(path, {mark});
  try {
    cRirekiDb db(path);
    ADD_FAILURE() << "a damaged file a killed import left was opened";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrNo::HistoryDamaged) << e.description().toStdString();
  }
}

// The long history of the benchmarks: every copy's days read back as the source's, each on its
// own day, and the source's own files still known by their bytes.
TEST_F(RirekiDb, AShiftedHistoryHoldsEveryCopyOfEveryDay) {
  const DayRecord a = MakeDay(d1, 1), onlyResults{d2, {}, {MakeVenue("01", 3)}};
  {
    cRirekiDb db(path);
    Record(db, a);
    db.RecordResults(d2, onlyResults.results, "k2");
  }
  const QString target = dir.filePath(QStringLiteral("LONG.DB"));
  BuildShiftedHistory(path, target, 2, 3);
  cRirekiDb db(target);
  EXPECT_EQ(db.HeldDays().size(), 6u);
  for (const int years : {0, 3, 6}) {
    SCOPED_TRACE(years);
    for (DayRecord expected : {a, onlyResults}) {
      expected.date = expected.date.addYears(-years);
      const auto days = db.Days(expected.date, expected.date);
      ASSERT_EQ(days.size(), 1u);
      EXPECT_EQ(DayDifference(days[0], expected), QString());
    }
  }
  EXPECT_TRUE(db.HasResults(d2, "k2"));
  const QString racer = a.results[0].races[2].boats[0].SensyuNo;
  const auto once = cRirekiDb(path, RirekiAccess::ReadOnly).RecentRaces(racer, d1.addDays(9), 99).size();
  EXPECT_GT(once, 0u);
  EXPECT_EQ(db.RecentRaces(racer, d1.addDays(9), 99).size(), 3 * once);
  EXPECT_TRUE(db.Check().isEmpty());

  // A 29 February moved three years would land on no day.
  const QString leap = dir.filePath(QStringLiteral("LEAP.DB"));
  { cRirekiDb(leap).RecordResults(QDate(2024, 2, 29), onlyResults.results, "k"); }
  EXPECT_THROW(BuildShiftedHistory(leap, dir.filePath(QStringLiteral("BAD.DB")), 1, 3), RuntimeError);
  BuildShiftedHistory(leap, dir.filePath(QStringLiteral("GOOD.DB")), 1, 4);
  EXPECT_EQ(cRirekiDb(dir.filePath(QStringLiteral("GOOD.DB"))).HeldDays().back().date, QDate(2020, 2, 29));
}

// The rows the import's floor is measured with: written again from memory, in any grouping of
// files and rows, they are the same rows (same values, same types) and the same days read back.
TEST_F(RirekiDb, HeldRowsWrittenAgainAreTheSameRows) {
  const DayRecord a = MakeDay(d1, 1), b = MakeDay(d3, 7), onlyResults{d2, {}, {MakeVenue("01", 3)}};
  {
    cRirekiDb db(path);
    Record(db, a);
    Record(db, b);
    db.RecordResults(d2, onlyResults.results, "k2");
    Record(db, MakeDay(d3, 9), "v2");  // replaces the day's rows: its files' ids are no longer 1..n
    db.RecordExhibition(d1, {QStringLiteral("24"), 7, {6.78f, std::nullopt, 6.9f, 6.85f, 6.81f, 7.01f}, {}});
  }
  const HeldRows held = ReadHeldRows(path);
  ASSERT_EQ(held.files.size(), 5u);
  const struct { int filesPerBatch, rowsPerStatement; } cases[] = {{1, 1}, {32, 6}, {2, 4}, {3, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.filesPerBatch << " files a batch, " << c.rowsPerStatement << " rows");
    const QString target = dir.filePath(QStringLiteral("AGAIN%1-%2.DB").arg(c.filesPerBatch).arg(c.rowsPerStatement));
    {
      cRirekiDb db(target);
      WriteHeldRows(db, held, c.filesPerBatch, c.rowsPerStatement);
    }
    const HeldRows again = ReadHeldRows(target);
    EXPECT_EQ(again.rows, held.rows);
    ASSERT_EQ(again.files.size(), held.files.size());
    for (std::size_t f = 0; f < held.files.size(); ++f) {
      ASSERT_EQ(again.files[f].size(), held.files[f].size());
      for (std::size_t t = 0; t < held.files[f].size(); ++t) {
        SCOPED_TRACE(HeldTables()[static_cast<std::size_t>(held.files[f][t].table)]);
        EXPECT_EQ(again.files[f][t].rows, held.files[f][t].rows);
        EXPECT_EQ(again.files[f][t].packed, held.files[f][t].packed);
      }
    }
    cRirekiDb db(target, RirekiAccess::ReadOnly);
    for (const DayRecord& day : {a, onlyResults, MakeDay(d3, 9)}) {
      const auto days = db.Days(day.date, day.date);
      ASSERT_EQ(days.size(), 1u);
      EXPECT_EQ(DayDifference(days[0], day), QString());
    }
    ASSERT_TRUE(db.Exhibition(d1, QStringLiteral("24"), 7).has_value());
    EXPECT_TRUE(db.Check().isEmpty());
  }
}
