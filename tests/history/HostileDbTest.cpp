// Crafted history databases, each made from a small real history: every one is refused with its
// reason or read safely; none crashes, hangs or changes the file.

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"

#include "platform/RuntimeError.h"
#include "tests/common/SampleFiles.h"
#include "tests/history/HistoryFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace tidewake;
using namespace tidewake::test;

namespace {

const QDate kFirst{2022, 7, 1};

struct Crafted {
  const char* what;
  bool older;  // made from a file of the older row layout
  std::function<void(const QString& path)> craft;
  const char* reason;      // what the refusal says; empty when the file reads safely
  const char* found = "";  // what the full check then finds, when it must find something
};

// The schema's text of a table with STRICT taken off and put back around `change`, so that a
// value of the wrong type goes in as a program ignoring the table's types would put it.
void Unstrict(const QString& path, const QString& table, const QStringList& change) {
  const QString sql =
      RawValue(path, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = '%1'").arg(table)).toString();
  ASSERT_TRUE(sql.endsWith(QStringLiteral(", STRICT"))) << sql.toStdString();
  const QString loose = sql.left(sql.size() - 8);
  auto setSql = [&](const QString& to) {
    RawSql(path, {QStringLiteral("PRAGMA writable_schema=ON"),
                  QStringLiteral("UPDATE sqlite_master SET sql = '%1' WHERE name = '%2'").arg(to, table)});
  };
  setSql(loose);
  RawSql(path, change);
  setSql(sql);
}

const Crafted kCrafted[] = {
    {"a file that is not SQLite", false, [](const QString& p) { WriteBytes(p, "STARTB\r\n24BBGN\r\n"); },
     "SQLite のファイルではありません"},
    {"another program's id", false, [](const QString& p) { RawSql(p, {QStringLiteral("PRAGMA application_id=7")}); },
     "ほかのプログラムのデータベースです"},
    {"a newer version", false, [](const QString& p) { RawSql(p, {QStringLiteral("PRAGMA user_version=99")}); },
     "新しい版のプログラム"},
    {"a negative version", false, [](const QString& p) { RawSql(p, {QStringLiteral("PRAGMA user_version=-1")}); },
     "版 -1 はありえません"},
    {"a view that never ends", false,
     [](const QString& p) {
       RawSql(p, {QStringLiteral("CREATE VIEW forever AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                 "FROM n) SELECT i FROM n")});
     },
     "見込みにないビュー forever"},
    {"a trigger that empties tables", false,
     [](const QString& p) {
       RawSql(p, {QStringLiteral("CREATE TRIGGER wipe AFTER INSERT ON b_meeting BEGIN DELETE FROM entrant; "
                                 "DELETE FROM result; END")});
     },
     "見込みにないトリガー wipe"},
    {"a missing column", false,
     [](const QString& p) { RawSql(p, {QStringLiteral("ALTER TABLE entrant DROP COLUMN tansyoritu")}); },
     "表 entrant の定義が違います"},
    {"a table of its own", false, [](const QString& p) { RawSql(p, {QStringLiteral("CREATE TABLE notes(x)")}); },
     "見込みにない表 notes"},
    {"a file's kind X", false,
     [](const QString& p) {
       RawSql(p, {QStringLiteral("PRAGMA ignore_check_constraints=ON"),
                  QStringLiteral("UPDATE source SET kind = 'X' WHERE kind = 'K' AND day = 20220701")});
     },
     "", "CHECK constraint failed in source"},
    {"a day stored as text", false,
     [](const QString& p) {
       Unstrict(p, QStringLiteral("b_meeting"),
                {QStringLiteral("UPDATE b_meeting SET day = '2022-07-02' WHERE day = 20220702")});
     },
     "", "b_meeting.day"},
    {"a truncated file", false,
     [](const QString& p) {
       QByteArray bytes = ReadBytes(p);
       WriteBytes(p, bytes.left(bytes.size() / 2));
     },
     "履歴データベースが壊れています"},
    {"pages overwritten", false,
     [](const QString& p) {
       QByteArray bytes = ReadBytes(p);
       for (qsizetype i = 8192; i < 60000 && i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
       WriteBytes(p, bytes);
     },
     "履歴データベースが壊れています"},
    {"an older file with a meeting of kind X", true,
     [](const QString& p) { RawSql(p, {QStringLiteral("UPDATE meeting SET kind = 'X' WHERE kind = 'K'")}); },
     "開催の種類 X はありえません"},
    {"an older file with a day stored as text", true,
     [](const QString& p) {
       RawSql(p, {QStringLiteral("UPDATE meeting SET day = '2022-07-01' WHERE kind = 'K' AND day = 20220701")});
     },
     "日付 2022-07-01 はありえません"},
    {"an older file with an extra trigger", true,
     [](const QString& p) {
       RawSql(p, {QStringLiteral("CREATE TRIGGER wipe AFTER INSERT ON entrant BEGIN DELETE FROM result; END")});
     },
     "見込みにないトリガー wipe"},
};

// Every read a caller makes; the first refusal's text, empty when all read. The full check's
// findings go to `found`.
QString ReadEverything(const QString& path, QStringList& found) {
  try {
    cRirekiDb db(path);
    db.Days(QDate(2000, 1, 1), QDate(2099, 12, 31));
    db.HeldDays();
    db.RecentRaces(QStringLiteral("4593"), QDate(2030, 1, 1), 6);
    db.Statistics();
    db.FileHashes();
    db.Exhibitions(kFirst);
    found = db.Check();
    return {};
  } catch (const RuntimeError& e) {
    return e.description();
  }
}

}  // namespace

TEST(HostileDatabase, EachIsRefusedWithItsReasonOrReadSafelyAndNeverChanged) {
  TIDEWAKE_SAMPLE_OR_SKIP(year, "year");
  QTemporaryDir dir;
  const QString files = dir.filePath(QStringLiteral("in"));
  QDir().mkpath(files);
  CopyYearDays(files, kFirst, 2);
  const QString base = dir.filePath(QStringLiteral("base.db")), older = dir.filePath(QStringLiteral("older.db"));
  {
    cRirekiDb db(base);
    ASSERT_EQ(ImportPaths(db, {files}).daysAdded, 2);
  }
  {
    V3File v3(older);
    for (int i = 0; i < 2; ++i) {
      v3.Add(ReadDayFiles(kFirst.addDays(i), year), QStringLiteral("b%1").arg(i), QStringLiteral("k%1").arg(i));
    }
  }
  // Whole files, without a write-ahead log beside them.
  RawSql(base, {QStringLiteral("PRAGMA journal_mode=DELETE")});
  RawSql(older, {QStringLiteral("PRAGMA journal_mode=DELETE")});

  for (const Crafted& c : kCrafted) {
    SCOPED_TRACE(c.what);
    const QString path = dir.filePath(QString::fromUtf8(c.what) + QStringLiteral(".db"));
    ASSERT_TRUE(QFile::copy(c.older ? older : base, path));
    c.craft(path);
    const QByteArray before = ReadBytes(path);
    QStringList found;
    const QString refusal = ReadEverything(path, found);
    if (*c.reason) {
      EXPECT_TRUE(refusal.contains(QString::fromUtf8(c.reason))) << refusal.toStdString() << " / " << c.reason;
      EXPECT_TRUE(refusal.endsWith(QStringLiteral(": ") + path)) << refusal.toStdString();
    } else {
      EXPECT_EQ(refusal, QString());
      if (*c.found) {
        EXPECT_TRUE(found.join(u'\n').contains(QString::fromUtf8(c.found))) << found.join(u'\n').toStdString();
      } else {
        EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();
      }
    }
    EXPECT_EQ(ReadBytes(path), before) << "the file was changed";
  }
}
