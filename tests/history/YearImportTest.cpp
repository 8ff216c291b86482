// The shared year of official archives imported into the history, once for every test here, and
// small folders of real days for what a fan does to them: import again, change a day, damage one.

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"

#include "data/ArchiveMember.h"
#include "platform/SjisText.h"
#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"
#include "tests/history/DayCompare.h"
#include "tests/history/HistoryFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tidewake;
using namespace tidewake::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

QString YearFile(const QString& name) { return SharedDataFile(QStringLiteral("year/") + name); }

const QDate kFirst{2022, 7, 1};

// The history's rows of one day against the results store's own getters, venue by venue.
void ExpectTheResultsStoresGetters(const DayRecord& stored, const QString& archive) {
  TempAppFolder app;
  cKekkaFile kekka;
  ASSERT_TRUE(kekka.FileConvBytes(DayBytes(archive, ArchiveKind::Results), archive));
  ASSERT_FALSE(stored.results.empty());
  for (const cKekkaFile::Venue& v : stored.results) {
    QString store;
    ASSERT_TRUE(kekka.FileLoad(v.KyoteijyoCode, store));
    for (std::int16_t r = 1; r <= 12; ++r) {
      const auto& race = v.races[r - 1];
      ASSERT_EQ(kekka.Status(r), race.Status);
      ASSERT_EQ(kekka.BoatNumbers(r), static_cast<int>(race.boats.size()));
      for (std::int16_t j = 1; j <= kekka.BoatNumbers(r); ++j) {
        const auto& b = race.boats[j - 1];
        EXPECT_EQ(kekka.SensyuNo(r, j), b.SensyuNo);
        EXPECT_EQ(kekka.Tyakujyun(r, j), b.Tyakujyun);
        EXPECT_EQ(kekka.Course(r, j), b.Course);
        EXPECT_EQ(kekka.StartTiming(r, j), b.StartTiming);
        EXPECT_EQ(kekka.StartLate(r, j), b.StartLate);
      }
      for (int kind = 0; kind < kKakesikiCount; ++kind) {
        const auto kk = static_cast<Kakesiki>(kind);
        ASSERT_EQ(kekka.HaraimodosiNumbers(r, kk), static_cast<int>(race.payouts[kind].size()));
        for (std::int16_t i = 1; i <= kekka.HaraimodosiNumbers(r, kk); ++i) {
          EXPECT_EQ(kekka.Kumiban(r, kk, i), race.payouts[kind][i - 1].Kumiban);
          EXPECT_EQ(kekka.Kingaku(r, kk, i), race.payouts[kind][i - 1].Kingaku);
        }
      }
    }
  }
}

}  // namespace

// The year imported once (one test, so that CTest, which runs each test alone, imports it once):
// every day comes back exactly as the stores read its two files, every venue, race, entrant,
// result, payout and summary line field by field; a day's rows agree with the results store's
// getters; importing the same files again adds nothing.
TEST(Year, ImportedOnceComesBackAsTheStoresReadIt) {
  TIDEWAKE_SAMPLE_OR_SKIP(folder, "year");
  QTemporaryDir dir;
  // The whole year takes seconds in a release build; a sanitizer build takes its first week.
  const int days = kSanitized ? 7 : 365;
  QStringList sources{folder};
  if (kSanitized) {
    sources.clear();
    for (int i = 0; i < days; ++i) {
      const QString stem = kFirst.addDays(i).toString(QStringLiteral("yyMMdd"));
      sources << folder + QStringLiteral("/b") + stem + QStringLiteral(".lzh")
              << folder + QStringLiteral("/k") + stem + QStringLiteral(".lzh");
    }
  }
  cRirekiDb db(dir.filePath(QStringLiteral("RIREKI.DB")));
  const ImportSummary first = ImportPaths(db, sources);
  EXPECT_EQ(first.daysAdded, days);
  EXPECT_EQ(first.daysAlreadyThere, 0);
  EXPECT_TRUE(first.refused.empty()) << ImportSummaryText(first).toStdString();

  const auto stored = db.Days(kFirst, kFirst.addDays(days - 1));
  ASSERT_EQ(static_cast<int>(stored.size()), days);
  for (const DayRecord& d : stored) {
    ASSERT_EQ(DayDifference(d, ReadDayFiles(d.date, folder)), QString()) << d.date.toString().toStdString();
  }
  const auto s = db.Statistics();
  EXPECT_EQ(s.days, days);
  EXPECT_EQ(s.first, kFirst);
  EXPECT_EQ(s.last, kFirst.addDays(days - 1));
  ExpectTheResultsStoresGetters(stored.at(3), YearFile(QStringLiteral("k220704.lzh")));

  const qint64 size = QFileInfo(db.path()).size();
  const ImportSummary again = ImportPaths(db, sources);
  EXPECT_EQ(again.daysAdded, 0);
  EXPECT_EQ(again.daysAlreadyThere, days);
  EXPECT_TRUE(again.refused.empty());
  EXPECT_EQ(QFileInfo(db.path()).size(), size);
}

// A results file changed for one day (a payout corrected) replaces that day's results only.
TEST(ImportFolder, AChangedFileReplacesThatDayOnly) {
  if (YearFile("k220701.lzh").isEmpty()) GTEST_SKIP() << "sample folder not found: ../shared/data/year";
  QTemporaryDir dir;
  const QString files = dir.filePath(QStringLiteral("downloads"));
  QDir().mkpath(files);
  CopyYearDays(files, kFirst, 3);
  cRirekiDb db(dir.filePath(QStringLiteral("RIREKI.DB")));
  ASSERT_EQ(ImportPaths(db, {files}).daysAdded, 3);
  const auto before = db.Days(kFirst, kFirst.addDays(2));

  const QDate day = kFirst.addDays(1);
  QByteArray text = DayBytes(files + QStringLiteral("/k220702.lzh"), ArchiveKind::Results);
  const qsizetype at = text.indexOf(EncodeSjis(u"単勝"));
  ASSERT_GT(at, 0);
  qsizetype yen = text.indexOf('\n', at);  // back to the last digit of the payout
  while (yen > at && (text[yen] < '0' || text[yen] > '9')) --yen;
  text[yen] = text[yen] == '9' ? '8' : '9';
  QFile::remove(files + QStringLiteral("/k220702.lzh"));
  WriteBytes(files + QStringLiteral("/k220702.txt"), text);

  const ImportSummary s = ImportPaths(db, {files});
  EXPECT_EQ(s.daysAdded, 1);
  EXPECT_EQ(s.daysAlreadyThere, 2);
  const auto after = db.Days(kFirst, kFirst.addDays(2));
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(DayDifference(after[0], before[0]), QString());
  EXPECT_EQ(DayDifference(after[2], before[2]), QString());
  EXPECT_NE(DayDifference(after[1], before[1]), QString());
  EXPECT_EQ(DayDifference(after[1], DayRecord{day, before[1].cards, ReadVenues(text)}), QString());
}

// Folders named in Japanese, for the downloads and for the database, as fans name them.
TEST(ImportFolder, FoldersNamedInJapaneseImportLikeAnyOther) {
  if (YearFile("k220701.lzh").isEmpty()) GTEST_SKIP() << "sample folder not found: ../shared/data/year";
  QTemporaryDir dir;
  const QString files = dir.filePath(QStringLiteral("ボートレース/番組と成績"));
  ASSERT_TRUE(QDir().mkpath(files));
  CopyYearDays(files, kFirst, 2);
  const QString dbFolder = dir.filePath(QStringLiteral("履歴"));
  ASSERT_TRUE(QDir().mkpath(dbFolder));
  cRirekiDb db(dbFolder + QStringLiteral("/RIREKI.DB"));
  const ImportSummary s = ImportPaths(db, {dir.filePath(QStringLiteral("ボートレース"))});
  EXPECT_EQ(s.files, 4);
  EXPECT_EQ(s.daysAdded, 2);
  EXPECT_TRUE(s.refused.empty()) << ImportSummaryText(s).toStdString();
  EXPECT_EQ(db.Days(kFirst, kFirst.addDays(1)).size(), 2u);
  EXPECT_TRUE(QFileInfo::exists(dbFolder + QStringLiteral("/RIREKI.DB")));
}

// A damaged archive and a file that is no day's file are refused and named; the rest goes in.
TEST(ImportFolder, RefusedFilesAreNamedAndTheRestImported) {
  if (YearFile("k220701.lzh").isEmpty()) GTEST_SKIP() << "sample folder not found: ../shared/data/year";
  QTemporaryDir dir;
  const QString files = dir.filePath(QStringLiteral("downloads/2022"));
  QDir().mkpath(files);
  CopyYearDays(files, kFirst, 2);
  const QByteArray archive = ReadBytes(YearFile("b220703.lzh"));
  WriteBytes(files + QStringLiteral("/B220703.LZH"), archive.left(archive.size() / 2));
  WriteBytes(files + QStringLiteral("/k220703.txt"), "STARTB\r\nthis is no results file\r\n");
  WriteBytes(files + QStringLiteral("/notes.txt"), "not a day's file, not looked at");

  cRirekiDb db(dir.filePath(QStringLiteral("RIREKI.DB")));
  const ImportSummary s = ImportPaths(db, {dir.filePath(QStringLiteral("downloads"))});
  EXPECT_EQ(s.files, 6);
  EXPECT_EQ(s.daysAdded, 2);
  ASSERT_EQ(s.refused.size(), 2u);
  EXPECT_EQ(QFileInfo(s.refused[0].file).fileName(), QStringLiteral("B220703.LZH"));
  EXPECT_EQ(QFileInfo(s.refused[1].file).fileName(), QStringLiteral("k220703.txt"));
  for (const ImportRefusal& r : s.refused) {
    EXPECT_FALSE(r.reason.isEmpty());
    EXPECT_TRUE(ImportSummaryText(s).contains(r.file));
  }
  EXPECT_TRUE(db.Days(kFirst.addDays(2), kFirst.addDays(2)).empty()) << "a refused day changes nothing";
}
