// The coefficient file is replaced whole or not at all: on a full disk the user's previous file
// stays and the fit says it could not be saved.

#include "predict/mWinCoefficients.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/WriteFailure.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tidewake;

TEST(WinCoefficientsSave, AFullDiskKeepsThePreviousFile) {
  test::TempAppFolder dir;
  const QString path = dir.file(QStringLiteral("WIN.TXT"));
  QString error;
  ASSERT_TRUE(mWinCoefficients::Save(path, mWinCoefficients::Shipped(), error));
  const QByteArray previous = test::ReadBytes(path);
  mWinCoefficients::Model refitted = mWinCoefficients::Shipped();
  refitted.Before.Win[0] += 1.0;
  {
    test::FileSizeLimit full(16);
    if (!full.active()) GTEST_SKIP() << "no file size limit on this system";
    EXPECT_FALSE(mWinCoefficients::Save(path, refitted, error));
  }
  EXPECT_TRUE(error.startsWith(QStringLiteral("勝率の係数ファイルを書き込めません: ") + path)) << error.toStdString();
  EXPECT_EQ(test::ReadBytes(path), previous);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("WIN.TXT")});
}
