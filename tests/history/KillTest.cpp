// The console program importing the year, killed at a random moment: the database opens, passes
// SQLite's integrity check, and every day in it is whole, as the stores read its file.

#include "history/cRirekiDb.h"

#include "data/ArchiveMember.h"
#include "tests/common/SampleFiles.h"
#include "tests/history/DayCompare.h"

#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <iostream>
#include <random>

using namespace tidewake;
using namespace tidewake::test;

namespace {

struct KilledImport : ::testing::TestWithParam<unsigned> {};

QString ArchiveOf(const QString& folder, char kind, QDate d) {
  return folder + u'/' + QChar::fromLatin1(kind) + d.toString(QStringLiteral("yyMMdd")) + QStringLiteral(".lzh");
}

}  // namespace

TEST_P(KilledImport, LeavesEveryDayWholeOrAbsent) {
  TIDEWAKE_SAMPLE_OR_SKIP(folder, "year");
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("RIREKI.DB"));
  std::mt19937 random(GetParam());
  const int ms = std::uniform_int_distribution<int>(150, 2500)(random);

  QProcess child;
  child.start(QStringLiteral(TIDEWAKE_HISTORY_CLI),
              {QStringLiteral("--database"), path, QStringLiteral("import"), folder});
  ASSERT_TRUE(child.waitForStarted());
  QThread::msleep(ms);
  child.kill();
  child.waitForFinished();

  cRirekiDb db(path);
  QSqlQuery q(QSqlDatabase::database(db.connectionName()));
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
  EXPECT_EQ(q.value(0).toString(), QStringLiteral("ok"));
  // No row of a day's kind without the day's record of its file, and the reverse.
  ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM (SELECT source FROM b_meeting UNION ALL"
                                    " SELECT source FROM k_meeting) m WHERE NOT EXISTS"
                                    " (SELECT 1 FROM source s WHERE s.id = m.source)")) &&
              q.next());
  EXPECT_EQ(q.value(0).toInt(), 0);

  int whole = 0;
  for (const DayRecord& d : db.Days(QDate(2022, 7, 1), QDate(2023, 6, 30))) {
    DayRecord expected{d.date, {}, {}};
    if (!d.cards.empty()) {
      expected.cards = cBangumiFile::ReadDay(DayBytes(ArchiveOf(folder, 'b', d.date), ArchiveKind::Programme));
    }
    if (!d.results.empty()) {
      expected.results = ReadVenues(DayBytes(ArchiveOf(folder, 'k', d.date), ArchiveKind::Results));
    }
    ASSERT_EQ(DayDifference(d, expected), QString()) << d.date.toString().toStdString();
    ++whole;
  }
  std::cout << "killed after " << ms << " ms: " << whole << " whole days\n";
}

INSTANTIATE_TEST_SUITE_P(Seeds, KilledImport, ::testing::Values(1u, 2u, 3u, 4u));
