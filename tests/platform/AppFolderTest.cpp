#include "platform/mMyFunc.h"

#include "tests/common/SampleFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace tidewake;

namespace {

// An install tree as `cmake --install --prefix` lays it out: bin/ beside share/applications/.
struct InstalledPrefix {
  QTemporaryDir prefix;
  QString bin() const { return prefix.filePath(QStringLiteral("bin")); }
  InstalledPrefix() {
    QDir(prefix.path()).mkpath(QStringLiteral("bin"));
    QDir(prefix.path()).mkpath(QStringLiteral("share/applications"));
    QFile entry(prefix.filePath(QStringLiteral("share/applications/%1.desktop").arg(AppId())));
    EXPECT_TRUE(entry.open(QIODevice::WriteOnly));
  }
};

// Points the per-user folders at a temporary home for the test's lifetime. Windows takes them
// from the system, not the environment: there Qt's test folders stand in, emptied before and after.
#ifdef Q_OS_WIN
struct TempUserFolders {
  struct Home {
    QString path() const { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); }
    QString filePath(const QString& name) const { return QDir(path()).filePath(name); }
  } home;
  static void Empty() {
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).removeRecursively();
  }
  TempUserFolders() {
    QStandardPaths::setTestModeEnabled(true);
    Empty();
  }
  ~TempUserFolders() {
    Empty();
    QStandardPaths::setTestModeEnabled(false);
  }
};
#else
struct TempUserFolders {
  QTemporaryDir home;
  QByteArray oldData = qgetenv("XDG_DATA_HOME");
  TempUserFolders() { qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data")))); }
  ~TempUserFolders() {
    if (oldData.isEmpty()) {
      qunsetenv("XDG_DATA_HOME");
    } else {
      qputenv("XDG_DATA_HOME", oldData);
    }
  }
};
#endif

}  // namespace

TEST(StoreFolder, TheRule) {
  const struct {
    bool keeps;
    QString user, expected;
  } rows[] = {
      {true, QStringLiteral("/home/u/.local/share/tidewake"), QStringLiteral("/opt/t/bin")},
      {false, QStringLiteral("/home/u/.local/share/tidewake"), QStringLiteral("/home/u/.local/share/tidewake")},
      // No home to put it in: the program's folder, where writing then fails with a message.
      {false, QString(), QStringLiteral("/opt/t/bin")},
  };
  for (const auto& r : rows) EXPECT_EQ(StoreFolderFor(QStringLiteral("/opt/t/bin"), r.keeps, r.user), r.expected);
}

TEST(StoreFolder, RunWhereItWasBuiltEverythingStaysInTheProgramsFolder) {
  const QString exe = QCoreApplication::applicationDirPath();
  if (!QFileInfo(exe).isWritable()) GTEST_SKIP() << "the build tree is not this user's to write";
  ASSERT_TRUE(KeepsFilesInFolder(exe));
  SetAppFolder(QString());
  EXPECT_EQ(AppFolder(), exe);
  EXPECT_EQ(AppFilePath(QStringLiteral("BANGUMI.BRF")), exe + QStringLiteral("/BANGUMI.BRF"));
  EXPECT_EQ(DialogStartFolder(), exe);
}

// The Windows zip and installer lay the program beside a platforms/ folder of Qt plugins: their
// stores go to the user's local application data folder too.
TEST(StoreFolder, AWindowsFolderWithItsOwnQtPluginsIsAnInstall) {
  QTemporaryDir folder;
  EXPECT_TRUE(KeepsFilesInFolder(folder.path()));
  QFile plugin(folder.filePath(QStringLiteral("platforms")));
  ASSERT_TRUE(plugin.open(QIODevice::WriteOnly));
  plugin.close();
  EXPECT_TRUE(KeepsFilesInFolder(folder.path())) << "a file of that name is no plugin folder";
  ASSERT_TRUE(plugin.remove());
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("platforms")));
  EXPECT_FALSE(KeepsFilesInFolder(folder.path()));
}

TEST(StoreFolder, InstalledTheStoresGoToTheUsersDataFolderMadeOnFirstUse) {
  InstalledPrefix installed;
  TempUserFolders user;
  // The install tree can be written (the test made it), yet it is an installed program.
  EXPECT_FALSE(KeepsFilesInFolder(installed.bin()));
  const QString expected = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  ASSERT_TRUE(expected.startsWith(user.home.path()));
  ASSERT_FALSE(QFileInfo::exists(expected));
  EXPECT_EQ(StoreFolder(installed.bin()), expected);
  EXPECT_TRUE(QFileInfo(expected).isDir()) << "created on first use";
  EXPECT_EQ(StoreFolder(installed.bin()), expected) << "and found again";

  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  EXPECT_EQ(DialogStartFolderFor(installed.bin()), QFileInfo(downloads).isDir() ? downloads : QDir::homePath());
}

// A folder the program cannot write. As root every ordinary folder can be written, so the rule is
// checked on a folder the kernel refuses to everyone (/proc/self), and on a folder without write
// permission when the tests do not run as root.
TEST(StoreFolder, AReadOnlyProgramFolderIsNotUsed) {
  TempUserFolders user;
#ifndef Q_OS_WIN
  EXPECT_FALSE(KeepsFilesInFolder(QStringLiteral("/proc/self")));
  EXPECT_NE(StoreFolder(QStringLiteral("/proc/self")), QStringLiteral("/proc/self"));
#endif
  EXPECT_FALSE(KeepsFilesInFolder(user.home.filePath(QStringLiteral("no/such/folder"))));
}

TEST(StoreFolder, AFolderWithoutWritePermissionIsNotUsed) {
  // A path under a regular file can be written by nobody, root included; a folder without write
  // permission only by root, so it is checked for everyone else.
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("tidewake"));
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  EXPECT_FALSE(KeepsFilesInFolder(file + QStringLiteral("/bin")));
  EXPECT_FALSE(KeepsFilesInFolder(file));
  // Root writes anywhere; Windows keeps no write permission on a folder's mode bits.
#ifdef Q_OS_WIN
  const bool canLock = false;
#else
  const bool canLock = geteuid() != 0;
#endif
  if (canLock) {
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(KeepsFilesInFolder(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
}
