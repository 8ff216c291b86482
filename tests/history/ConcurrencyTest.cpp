// Two programs on one history database at once, as a fan runs the window and the console program
// side by side: real processes importing, creating and reading; afterwards SQLite's check passes
// and every day reported added is there whole.

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"

#include "tests/common/SampleFiles.h"
#include "tests/history/DayCompare.h"
#include "tests/history/HistoryFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace tidewake;
using namespace tidewake::test;

namespace {

const QDate kFirst{2022, 7, 1};

QStringList DayFiles(const QString& folder, int from, int to) {
  QStringList files;
  for (int i = from; i <= to; ++i) {
    const QString stem = kFirst.addDays(i).toString(QStringLiteral("yyMMdd"));
    files << folder + QStringLiteral("/b") + stem + QStringLiteral(".lzh")
          << folder + QStringLiteral("/k") + stem + QStringLiteral(".lzh");
  }
  return files;
}

std::unique_ptr<QProcess> StartCli(const QString& db, const QStringList& args) {
  auto p = std::make_unique<QProcess>();
  p->start(QStringLiteral(TIDEWAKE_HISTORY_CLI), QStringList{QStringLiteral("--database"), db} + args);
  EXPECT_TRUE(p->waitForStarted());
  return p;
}

QString IntegrityCheck(const QString& path) {
  return RawValue(path, QStringLiteral("PRAGMA integrity_check")).toString();
}

}  // namespace

// The writes and reads go through SQLite's own interface on the connection Qt SQL opened: both
// must be one library, or each would keep its own locks on the file.
TEST(Concurrency, QtsSqliteIsTheLibraryTheProgramCalls) {
  QTemporaryDir dir;
  cRirekiDb db(dir.filePath(QStringLiteral("RIREKI.DB")));
  QSqlQuery q(QSqlDatabase::database(db.connectionName()));
  ASSERT_TRUE(q.exec(QStringLiteral("SELECT sqlite_source_id()")) && q.next());
  EXPECT_EQ(q.value(0).toString(), QString::fromUtf8(sqlite3_sourceid()));
}

// A second connection opened and closed in the same program (the window's import beside its card)
// leaves the first one's locks: another program ending then does not take the file for unused,
// remove its write-ahead log, and lose what the first writes next.
TEST(Concurrency, AnotherConnectionOfTheProgramLeavesTheFirstOnesLocks) {
  TIDEWAKE_SAMPLE_OR_SKIP(year, "year");
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("RIREKI.DB"));
  const QStringList first = DayFiles(year, 0, 0), second = DayFiles(year, 1, 1);
  auto window = std::make_unique<cRirekiDb>(path);
  ASSERT_EQ(ImportPaths(*window, first).daysAdded, 1);
  { cRirekiDb importThread(path); }

  auto other = StartCli(path, QStringList{QStringLiteral("import")} + first);
  ASSERT_TRUE(other->waitForFinished(60000));
  EXPECT_EQ(other->exitCode(), 0) << other->readAllStandardError().toStdString();
  EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral("-wal"))) << "the log of a connection still open was removed";

  EXPECT_EQ(ImportPaths(*window, second).daysAdded, 1);
  window.reset();
  EXPECT_EQ(IntegrityCheck(path), QStringLiteral("ok"));
  cRirekiDb db(path);
  EXPECT_EQ(db.Days(kFirst, kFirst.addDays(1)).size(), 2u);
}

struct TwoImports : ::testing::TestWithParam<unsigned> {};

// Two programs importing overlapping and different days at once: both finish, SQLite's check
// passes, every day either program added is there whole.
TEST_P(TwoImports, BothFinishAndEveryDayIsWhole) {
  TIDEWAKE_SAMPLE_OR_SKIP(year, "year");
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("RIREKI.DB"));
  std::mt19937 random(GetParam());
  const int overlap = std::uniform_int_distribution<int>(0, 3)(random);
  const int delay = std::uniform_int_distribution<int>(0, 400)(random);

  auto window = StartCli(path, QStringList{QStringLiteral("import")} + DayFiles(year, 0, 5));
  QThread::msleep(static_cast<unsigned long>(delay));
  auto terminal = StartCli(path, QStringList{QStringLiteral("import")} + DayFiles(year, 5 - overlap, 9));
  for (QProcess* p : {window.get(), terminal.get()}) {
    ASSERT_TRUE(p->waitForFinished(120000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardOutput().toStdString() << p->readAllStandardError().toStdString();
  }
  EXPECT_EQ(IntegrityCheck(path), QStringLiteral("ok"));
  cRirekiDb db(path);
  const auto days = db.Days(kFirst, kFirst.addDays(9));
  ASSERT_EQ(days.size(), 10u);
  for (const DayRecord& d : days) {
    EXPECT_EQ(DayDifference(d, ReadDayFiles(d.date, year)), QString()) << d.date.toString().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, TwoImports, ::testing::Values(1u, 2u, 3u, 4u));

// Programs started together on a database that does not exist yet: each makes it or finds it
// made, none fails or calls it another program's.
TEST(Concurrency, ProgramsStartedTogetherOnANewFileAllSucceed) {
  TIDEWAKE_SAMPLE_OR_SKIP(year, "year");
  QTemporaryDir dir;
  const QStringList files = DayFiles(year, 0, 2);
  for (int round = 0; round < 8; ++round) {
    const QString path = dir.filePath(QStringLiteral("new%1.db").arg(round));
    std::vector<std::unique_ptr<QProcess>> programs;
    for (int i = 0; i < 3; ++i) programs.push_back(StartCli(path, {QStringLiteral("import"), files[i]}));
    for (auto& p : programs) {
      ASSERT_TRUE(p->waitForFinished(60000));
      EXPECT_EQ(p->exitCode(), 0) << "round " << round << ": " << p->readAllStandardOutput().toStdString()
                                  << p->readAllStandardError().toStdString();
    }
    EXPECT_EQ(IntegrityCheck(path), QStringLiteral("ok"));
    cRirekiDb db(path);
    EXPECT_EQ(db.Days(kFirst, kFirst.addDays(2)).size(), 2u) << "round " << round;
  }
}
