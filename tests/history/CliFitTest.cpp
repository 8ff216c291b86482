// tidewake-history fit: the win model fitted on the history's days, written where the user says,
// and refused (the file left as it was) when there is nothing to fit, too little without --force,
// or the file named is the history itself.

#include "tests/common/SampleFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
  int status;
  QString out, err;
};

// The console program writes UTF-8 into a pipe, on Windows as elsewhere.
CliRun FitCli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(TIDEWAKE_HISTORY_CLI), args);
  p.closeWriteChannel();
  p.waitForFinished(120000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

TEST(CliFit, FitsOnTheDaysAskedAndRefusesNothingTooLittleAndTheHistoryItself) {
  TIDEWAKE_SAMPLE_OR_SKIP(b, "year/b220701.lzh");
  QTemporaryDir dir;
  const QString db = dir.filePath(QStringLiteral("h.db")), files = dir.filePath(QStringLiteral("in"));
  QDir().mkpath(files);
  // Two whole days and a day of results only.
  for (const char* name : {"b220701.lzh", "k220701.lzh", "b220702.lzh", "k220702.lzh", "k220703.lzh"}) {
    ASSERT_TRUE(QFile::copy(tidewake::test::SharedDataFile(QStringLiteral("year/") + name), files + u'/' + name));
  }
  const QStringList database{QStringLiteral("--database"), db};
  ASSERT_EQ(FitCli(database + QStringList{QStringLiteral("import"), files}).status, 0);
  const QByteArray history = tidewake::test::ReadBytes(db);
  const QString out = dir.filePath(QStringLiteral("win.txt"));
  const QString empty = dir.filePath(QStringLiteral("none.db"));
  const QString from = QStringLiteral("--from"), to = QStringLiteral("--to"), force = QStringLiteral("--force");
  const QString fit = QStringLiteral("fit");

  const struct {
    const char* what;
    QStringList args;
    int status;
    const char* said;  // in the output (0) or the errors (else)
  } cases[] = {
      // The day before is read for the features, and not counted as fitted.
      {"one day, forced", database + QStringList{fit, from, "2022-07-02", to, "2022-07-02", force, out}, 0,
       "1 日分（2022-07-02 ～ 2022-07-02、"},
      {"too few races, not forced", database + QStringList{fit, out}, 1, "--force"},
      {"results only", database + QStringList{fit, force, from, "2022-07-03", to, "2022-07-03", out}, 1,
       "学習できるレースがありません（2022-07-03 ～ 2022-07-03）"},
      {"no day in the range", database + QStringList{fit, force, from, "2022-08-01", out}, 1,
       "学習できるレースがありません（2022-08-01 から）"},
      {"reversed range", database + QStringList{fit, force, from, "2022-07-02", to, "2022-07-01", out}, 1,
       "期間の始め（2022-07-02）が終わり（2022-07-01）より後です"},
      // Read only: a history not there is said, and not made.
      {"no history", QStringList{"--database", empty, fit, force, out}, 1, "履歴データベースがありません"},
      {"the history itself", database + QStringList{fit, force, db}, 1, "履歴データベースそのもの"},
      {"the history by another name", database + QStringList{fit, force, dir.filePath(QStringLiteral("in/../h.db"))}, 1,
       "履歴データベースそのもの"},
  };
  for (const auto& c : cases) {
    tidewake::test::WriteBytes(out, "keep");
    const CliRun run = FitCli(c.args);
    EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err.toStdString();
    EXPECT_TRUE((c.status == 0 ? run.out : run.err).contains(QString::fromUtf8(c.said)))
        << c.what << ": " << run.out.toStdString() << run.err.toStdString();
    const QByteArray written = tidewake::test::ReadBytes(out);
    if (c.status == 0) {
      EXPECT_TRUE(written.startsWith("tidewake-win-coefficients 4\nfitted 2022-07-0")) << c.what;
    } else {
      EXPECT_EQ(written, "keep") << c.what;
    }
    EXPECT_EQ(tidewake::test::ReadBytes(db), history) << c.what;
  }
  EXPECT_FALSE(QFile::exists(empty));

  const struct {
    const char* what;
    QStringList args;
  } bad[] = {
      {"no file", {fit}},
      {"a date that is none", {fit, from, "2022-13-01", out}},
      {"two files", {fit, out, out}},
  };
  for (const auto& c : bad) EXPECT_EQ(FitCli(database + c.args).status, 2) << c.what;
}
