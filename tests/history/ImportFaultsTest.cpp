// What an import says when a file or the database fails it: a file it cannot read is refused with
// why, never passed over; the database's own failure ends the import at once, said once; a day
// whose file was refused is not counted as there already. And the words for a database that can
// only be read or is held by another program.

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"

#include "platform/RuntimeError.h"
#include "tests/common/SampleFiles.h"
#include "tests/history/DayCompare.h"
#include "tests/history/HistoryFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

const QDate kFirst{2022, 7, 1};

struct ImportFaults : ::testing::Test {
  void SetUp() override {
    if (SharedDataFile(QStringLiteral("year/b220701.lzh")).isEmpty()) GTEST_SKIP() << "sample folder not found";
    QDir().mkpath(files);
    CopyYearDays(files, kFirst, 3);
  }
  QTemporaryDir dir;
  QString files = dir.filePath(QStringLiteral("in")), path = dir.filePath(QStringLiteral("RIREKI.DB"));
};

}  // namespace

// A day whose programme was there and whose results file is refused is neither added nor there.
TEST_F(ImportFaults, ADayWithARefusedFileIsNotCountedAsThere) {
  cRirekiDb db(path);
  ASSERT_EQ(ImportPaths(db, {files + QStringLiteral("/b220701.lzh")}).daysAdded, 1);
  ASSERT_TRUE(QFile::remove(files + QStringLiteral("/k220701.lzh")));
  WriteBytes(files + QStringLiteral("/k220701.txt"), "STARTK\r\nnot a day's results\r\n");
  const ImportSummary s = ImportPaths(db, {files});
  EXPECT_EQ(s.daysAdded, 2);
  EXPECT_EQ(s.daysAlreadyThere, 0) << ImportSummaryText(s).toStdString();
  ASSERT_EQ(s.refused.size(), 1u);
}

// A file whose name is not UTF-8 and a file that cannot be read are listed and refused with why.
// Where names are bytes (Unix) a name can be other than UTF-8, and a file is kept from reading by
// its mode; on Windows every name is Unicode, and a file another program holds open without sharing
// it (a download still being written) cannot be read.
TEST_F(ImportFaults, FilesThatCannotBeReadAreRefusedWithWhy) {
  const QString locked = files + QStringLiteral("/k220704.lzh");
  ASSERT_TRUE(QFile::copy(SharedDataFile(QStringLiteral("year/k220704.lzh")), locked));
#ifdef Q_OS_WIN
  const bool oddName = false;
  const HANDLE holder = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(locked).utf16()),
                                    GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const bool unreadable = true;
#else
  const bool oddName = true;
  const QByteArray odd = QFile::encodeName(files) + "/b220704\xff.lzh";
  const int fd = ::open(odd.constData(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ::close(fd);
  ::chmod(QFile::encodeName(locked).constData(), 0);
  const bool unreadable = ::access(QFile::encodeName(locked).constData(), R_OK) != 0;
#endif

  cRirekiDb db(path);
  const ImportSummary s = ImportPaths(db, {files});
#ifdef Q_OS_WIN
  if (unreadable) CloseHandle(holder);
#else
  ::unlink(odd.constData());  // a name Qt cannot remove
#endif
  EXPECT_EQ(s.files, oddName ? 8 : 7);
  EXPECT_EQ(s.daysAdded, unreadable ? 3 : 4);
  QStringList reasons;
  for (const ImportRefusal& r : s.refused) reasons << r.reason;
  ASSERT_EQ(s.refused.size(), (oddName ? 1u : 0u) + (unreadable ? 1u : 0u)) << reasons.join(u'\n').toStdString();
  if (oddName) {
    EXPECT_TRUE(s.refused[0].reason.contains(QStringLiteral("UTF-8"))) << s.refused[0].reason.toStdString();
  }
  if (unreadable) {
    EXPECT_EQ(s.refused.back().file, locked);
  }
}

// The database held by another program's lock: the import stops at its first file, says why once
// and how many files it left, instead of waiting on every file.
TEST_F(ImportFaults, ALockedDatabaseEndsTheImportAtOnce) {
  cRirekiDb db(path);
  db.SetInteractive(std::chrono::milliseconds(300));
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  const ImportSummary s = ImportPaths(db, {files});
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(s.files, 0);
  EXPECT_EQ(s.filesLeft, 6);
  EXPECT_TRUE(s.refused.empty());
  EXPECT_TRUE(s.stopped.contains(QStringLiteral("ほかのプログラムが使用中です"))) << s.stopped.toStdString();
  const QString text = ImportSummaryText(s);
  EXPECT_TRUE(text.contains(QStringLiteral("残り 6 ファイルは取り込んでいません"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("database is locked")) && !text.contains(QStringLiteral("SQLite:")));
}

// No room left: the import ends at the day that does not fit, the days before it kept.
TEST_F(ImportFaults, AFullDatabaseEndsTheImportAtTheDayThatDoesNotFit) {
  cRirekiDb db(path);
  ASSERT_EQ(ImportPaths(db, {files + QStringLiteral("/b220701.lzh")}).daysAdded, 1);
  QSqlQuery q(QSqlDatabase::database(db.connectionName()));
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA page_count")) && q.next());
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA max_page_count=%1").arg(q.value(0).toInt() + 8)));
  q.finish();
  const ImportSummary s = ImportPaths(db, {files});
  EXPECT_TRUE(s.stopped.contains(QStringLiteral("ディスクの空きが足りません"))) << s.stopped.toStdString();
  EXPECT_GT(s.filesLeft, 0);
  EXPECT_EQ(s.files + s.filesLeft, 6);
  EXPECT_TRUE(s.refused.empty());
  EXPECT_EQ(db.Days(kFirst, kFirst).size(), 1u);
}

// Wherever the room ends (at the first file, amid a transaction of several, or not at all), the
// file holds exactly the files the import says it took, each whole, and the days it counts.
TEST_F(ImportFaults, AFullDatabaseHoldsExactlyWhatTheImportSays) {
  const QStringList all = ImportFiles({files});
  ASSERT_EQ(all.size(), 6);
  for (const int room : {8, 90, 100, 110, 130, 1 << 20}) {
    SCOPED_TRACE(room);
    const QString file = dir.filePath(QStringLiteral("R%1.DB").arg(room));
    cRirekiDb db(file);
    ASSERT_EQ(ImportPaths(db, {all[0]}).daysAdded, 1);
    QSqlQuery q(QSqlDatabase::database(db.connectionName()));
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA page_count")) && q.next());
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA max_page_count=%1").arg(q.value(0).toInt() + room)));
    q.finish();
    const ImportSummary s = ImportPaths(db, {files});
    EXPECT_EQ(s.files + s.filesLeft, 6) << ImportSummaryText(s).toStdString();
    EXPECT_EQ(s.stopped.isEmpty(), s.files == 6) << ImportSummaryText(s).toStdString();
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM source")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), s.files);
    q.finish();
    QSet<QDate> added;
    for (int i = 1; i < s.files; ++i) {
      added.insert(QDate::fromString(QStringLiteral("20") + QFileInfo(all[i]).fileName().mid(1, 6), u"yyyyMMdd"));
    }
    EXPECT_EQ(s.daysAdded, added.size());
    for (const DayRecord& d : db.Days(kFirst, kFirst.addDays(2))) {
      DayRecord expected = ReadDayFiles(d.date, files);
      if (d.results.empty()) expected.results.clear();
      if (d.cards.empty()) expected.cards.clear();
      EXPECT_EQ(DayDifference(d, expected), QString()) << d.date.toString().toStdString();
    }
  }
}

// A file that can only be read: read as ever, and a write says it is read-only, not damaged.
TEST_F(ImportFaults, AReadOnlyFileIsReadAndItsWritesSaySo) {
  {
    cRirekiDb db(path);
    ASSERT_EQ(ImportPaths(db, {files + QStringLiteral("/b220701.lzh")}).daysAdded, 1);
  }
  // Read-only by its mode on Unix, by its attribute on Windows. A user who opens it for writing
  // all the same (root; Wine's user, who is root on its Unix side) cannot see this.
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  if (QFile file(path); file.open(QIODevice::ReadWrite)) GTEST_SKIP() << "this user writes read-only files";
  cRirekiDb db(path);
  EXPECT_FALSE(db.writable());
  EXPECT_EQ(db.Days(kFirst, kFirst).size(), 1u);
  const ImportSummary s = ImportPaths(db, {files});
  EXPECT_TRUE(s.stopped.contains(QStringLiteral("読み取り専用のファイルです"))) << s.stopped.toStdString();
  EXPECT_EQ(s.filesLeft, 5);
  cRirekiDb reading(path, RirekiAccess::ReadOnly);
  EXPECT_EQ(reading.Days(kFirst, kFirst).size(), 1u);
}
