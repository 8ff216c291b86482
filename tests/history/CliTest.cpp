// tidewake-history as a terminal user runs it: its output, and its exit status for a script.

#include "tests/common/SampleFiles.h"
#include "tests/history/HistoryFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
  int status;
  QString out, err;
};

CliRun Cli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(TIDEWAKE_HISTORY_CLI), args);
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
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
  EXPECT_EQ(lines[0], QStringLiteral("日数 2"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("開催（場・日） ")));
  EXPECT_EQ(lines[4], QStringLiteral("最初の日 2022-07-01"));
  EXPECT_EQ(lines[5], QStringLiteral("最後の日 2022-07-02"));

  const CliRun check = Cli(database + QStringList{QStringLiteral("check")});
  EXPECT_EQ(check.status, 0);
  EXPECT_TRUE(check.out.startsWith(QStringLiteral("履歴データベースに問題は見つかりませんでした")))
      << check.out.toStdString();
}

// What a terminal user gets wrong: each said in the program's words with a status a script can
// read, and no database made for a command that could not run.
TEST(Cli, MistakesAreSaidAndMakeNoDatabase) {
  TIDEWAKE_SAMPLE_OR_SKIP(b, "year/b220701.lzh");
  QTemporaryDir dir;
  const QString db = dir.filePath(QStringLiteral("h.db")), empty = dir.filePath(QStringLiteral("empty"));
  QDir().mkpath(empty);
  const QString notes = dir.filePath(QStringLiteral("notes.txt")), notOurs = dir.filePath(QStringLiteral("b.txt"));
  tidewake::test::WriteBytes(notes, "a fan's notes, no day's file");
  tidewake::test::WriteBytes(notOurs, "STARTB\r\n");
  const QStringList database{QStringLiteral("--database"), db};
  const struct {
    const char* what;
    QStringList args;
    int status;
    const char* says;  // on standard error, or output for help
  } cases[] = {
      {"a folder that is not there", database + QStringList{QStringLiteral("import"), dir.filePath("dwonloads")}, 1,
       "フォルダもファイルもありません"},
      {"a folder with no day's file", database + QStringList{QStringLiteral("import"), empty}, 1,
       "取り込む番組ファイル・成績ファイル"},
      {"an empty database name",
       {QStringLiteral("--database"), QString(), QStringLiteral("stats")},
       2,
       "ファイル名を書いてください"},
      {"stats before any import", database + QStringList{QStringLiteral("stats")}, 1, "履歴データベースがありません"},
      {"check before any import", database + QStringList{QStringLiteral("check")}, 1, "履歴データベースがありません"},
      {"no command", database, 2, "使い方"},
      {"an unknown command", database + QStringList{QStringLiteral("frobnicate")}, 2, "使い方"},
      {"import without a path", database + QStringList{QStringLiteral("import")}, 2, "使い方"},
      {"stats with an argument", database + QStringList{QStringLiteral("stats"), QStringLiteral("x")}, 2, "使い方"},
      {"help", {QStringLiteral("--help")}, 0, "使い方"},
      {"a database that is not ours",
       {QStringLiteral("--database"), notOurs, QStringLiteral("stats")},
       3,
       "SQLite のファイルではありません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_TRUE((run.err + run.out).contains(QString::fromUtf8(c.says))) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("Error code"))) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(db)) << "a database was made";
  }

  // A file named on the command line that is no day's file is refused, whatever its name.
  const CliRun named = Cli(database + QStringList{QStringLiteral("import"), notes});
  EXPECT_EQ(named.status, 1);
  EXPECT_TRUE(named.out.contains(QStringLiteral("番組ファイルでも成績ファイルでもありません")))
      << named.out.toStdString();
}

// A damaged file found by the check on request, not at every open.
TEST(Cli, CheckFindsADamagedFile) {
  TIDEWAKE_SAMPLE_OR_SKIP(b, "year/b220701.lzh");
  QTemporaryDir dir;
  const QString db = dir.filePath(QStringLiteral("h.db"));
  const QStringList database{QStringLiteral("--database"), db};
  ASSERT_EQ(Cli(database + QStringList{QStringLiteral("import"), b,
                                       tidewake::test::SharedDataFile(QStringLiteral("year/k220701.lzh"))})
                .status,
            0);
  tidewake::test::RawSql(db, {QStringLiteral("PRAGMA journal_mode=DELETE")});
  QByteArray bytes = tidewake::test::ReadBytes(db);
  for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 20000; ++i) bytes[i] = static_cast<char>(i * 7);
  tidewake::test::WriteBytes(db, bytes);
  const CliRun check = Cli(database + QStringList{QStringLiteral("check")});
  EXPECT_EQ(check.status, 1);
  EXPECT_TRUE(check.out.startsWith(QStringLiteral("履歴データベースに問題が見つかりました")))
      << check.out.toStdString();
}
