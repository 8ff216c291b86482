// Files an older program left, of real days, brought up to date when opened: every day comes back
// as the stores read its files, each file still known by its hash, and the file smaller.

#include "history/cRirekiDb.h"

#include "tests/common/SampleFiles.h"
#include "tests/history/DayCompare.h"
#include "tests/history/HistoryFixture.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

TEST(Upgrade, AnOlderFileOfRealDaysKeepsEveryDayAndShrinks) {
  TIDEWAKE_SAMPLE_OR_SKIP(year, "year");
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("RIREKI.DB"));
  const QDate first(2022, 7, 1);
  constexpr int kDays = 4;
  {
    V3File older(path);
    for (int i = 0; i < kDays; ++i) {
      DayRecord d = ReadDayFiles(first.addDays(i), year);
      if (i == 2) d.results.clear();  // a day of its programme only
      older.Add(d, QStringLiteral("b%1").arg(i), QStringLiteral("k%1").arg(i));
    }
  }
  RawSql(path, {QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")});
  const qint64 before = QFileInfo(path).size();
  EXPECT_TRUE(cRirekiDb::NeedsUpgrade(path));

  std::vector<std::pair<int, int>> told;
  cRirekiDb db(path, RirekiAccess::ReadWrite, [&](int done, int total) { told.push_back({done, total}); });
  EXPECT_FALSE(cRirekiDb::NeedsUpgrade(path));
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told.back(), std::make_pair(kDays, kDays));
  const auto days = db.Days(first, first.addDays(kDays - 1));
  ASSERT_EQ(static_cast<int>(days.size()), kDays);
  for (int i = 0; i < kDays; ++i) {
    DayRecord expected = ReadDayFiles(first.addDays(i), year);
    if (i == 2) expected.results.clear();
    EXPECT_EQ(DayDifference(days[i], expected), QString()) << i;
    EXPECT_TRUE(db.FileHashes().contains(QStringLiteral("b%1").arg(i)));
  }
  EXPECT_EQ(db.FileHashes().size(), 2 * kDays - 1);
  EXPECT_TRUE(db.Check().isEmpty()) << db.Check().join(u'\n').toStdString();
  QSqlQuery q(QSqlDatabase::database(db.connectionName()));
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA user_version")) && q.next());
  EXPECT_EQ(q.value(0).toInt(), cRirekiDb::kSchemaVersion);
  ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
  q.finish();
  EXPECT_LT(QFileInfo(path).size(), before * 3 / 5) << "the older rows' pages given back";
}
