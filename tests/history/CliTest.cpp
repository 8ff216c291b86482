// tidewake-history as a terminal user runs it: its output, and its exit status for a script.

#include "tests/common/SampleFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
  int status;
  QString out;
};

CliRun Cli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(TIDEWAKE_HISTORY_CLI), args);
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput())};
}

}  // namespace

TEST(Cli, ImportsReportsAndSaysSoInItsStatus) {
  TIDEWAKE_SAMPLE_OR_SKIP(b, "year/b220701.lzh");
  QTemporaryDir dir;
  const QString db = dir.filePath(QStringLiteral("h.db")), files = dir.filePath(QStringLiteral("in"));
  QDir().mkpath(files);
  for (const char* name : {"b220701.lzh", "k220701.lzh", "k220702.lzh"}) {
    ASSERT_TRUE(QFile::copy(tidewake::test::SharedDataFile(QStringLiteral("year/") + name), files + u'/' + name));
  }
  const QStringList database{QStringLiteral("--database"), db};

  const CliRun ok = Cli(database + QStringList{QStringLiteral("import"), files});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, QStringLiteral("2 日分を履歴に加えました。0 日分はすでにありました。\n"));

  tidewake::test::WriteBytes(files + QStringLiteral("/k220703.txt"), "not results");
  const CliRun refused = Cli(database + QStringList{QStringLiteral("import"), files});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.out.startsWith(QStringLiteral("0 日分を履歴に加えました。2 日分はすでにありました。\n")))
      << refused.out.toStdString();
  EXPECT_TRUE(refused.out.contains(files + QStringLiteral("/k220703.txt"))) << refused.out.toStdString();

  const CliRun stats = Cli(database + QStringList{QStringLiteral("stats")});
  EXPECT_EQ(stats.status, 0);
  const QStringList lines = stats.out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 6) << stats.out.toStdString();
  EXPECT_EQ(lines[0], QStringLiteral("days 2"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("venues ")));
  EXPECT_EQ(lines[4], QStringLiteral("first 2022-07-01"));
  EXPECT_EQ(lines[5], QStringLiteral("last 2022-07-02"));

  // Usage faults and a database that is not ours are told apart from refused files.
  EXPECT_EQ(Cli({}).status, 2);
  EXPECT_EQ(Cli(database + QStringList{QStringLiteral("import")}).status, 2);
  EXPECT_EQ(Cli(database + QStringList{QStringLiteral("frobnicate")}).status, 2);
  const CliRun notOurs =
      Cli({QStringLiteral("--database"), files + QStringLiteral("/k220703.txt"), QStringLiteral("stats")});
  EXPECT_EQ(notOurs.status, 3);
}
