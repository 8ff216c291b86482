// tidewake-history fit: the win model fitted on the history's days, written where the user says.

#include "tests/common/SampleFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int FitCli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(TIDEWAKE_HISTORY_CLI), args);
  p.waitForFinished(120000);
  return p.exitCode();
}

}  // namespace

TEST(CliFit, WritesCoefficientsAndRefusesBadArguments) {
  TIDEWAKE_SAMPLE_OR_SKIP(b, "year/b220701.lzh");
  QTemporaryDir dir;
  const QString db = dir.filePath(QStringLiteral("h.db")), files = dir.filePath(QStringLiteral("in"));
  QDir().mkpath(files);
  for (const char* name : {"b220701.lzh", "k220701.lzh", "b220702.lzh", "k220702.lzh"}) {
    ASSERT_TRUE(QFile::copy(tidewake::test::SharedDataFile(QStringLiteral("year/") + name), files + u'/' + name));
  }
  const QStringList database{QStringLiteral("--database"), db};
  ASSERT_EQ(FitCli(database + QStringList{QStringLiteral("import"), files}), 0);

  const QString out = dir.filePath(QStringLiteral("win.txt"));
  EXPECT_EQ(FitCli(database + QStringList{QStringLiteral("fit"), QStringLiteral("--from"), QStringLiteral("2022-07-01"),
                                          QStringLiteral("--to"), QStringLiteral("2022-07-02"), out}),
            0);
  const QByteArray text = tidewake::test::ReadBytes(out);
  EXPECT_TRUE(text.startsWith("tidewake-win-coefficients 2\nfeatures ")) << text.left(80).toStdString();

  const struct {
    const char* what;
    QStringList args;
  } bad[] = {
      {"no file", {QStringLiteral("fit")}},
      {"a date that is none", {QStringLiteral("fit"), QStringLiteral("--from"), QStringLiteral("2022-13-01"), out}},
      {"two files", {QStringLiteral("fit"), out, out}},
  };
  for (const auto& c : bad) EXPECT_EQ(FitCli(database + c.args), 2) << c.what;
}
