#include "tests/history/HistoryFixture.h"

#include "tests/common/SampleFiles.h"
#include "tests/history/DayCompare.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <atomic>

namespace tidewake::test {

namespace {

QString RawName() {
  static std::atomic<int> next{0};
  return QStringLiteral("raw-%1").arg(next++);
}

}  // namespace

void RawSql(const QString& path, const QStringList& sql) {
  const QString name = RawName();
  {
    QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    raw.setDatabaseName(path);
    ASSERT_TRUE(raw.open()) << raw.lastError().text().toStdString();
    QSqlQuery q(raw);
    for (const QString& s : sql) {
      EXPECT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
    }
  }
  QSqlDatabase::removeDatabase(name);
}

QVariant RawValue(const QString& path, const QString& sql) {
  const QString name = RawName();
  QVariant v;
  {
    QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    raw.setDatabaseName(path);
    raw.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (raw.open()) {
      QSqlQuery q(raw);
      if (q.exec(sql) && q.next()) v = q.value(0);
    }
  }
  QSqlDatabase::removeDatabase(name);
  return v;
}

DayRecord ReadDayFiles(QDate d, const QString& folder) {
  DayRecord day{d, {}, {}};
  const QString stem = d.toString(QStringLiteral("yyMMdd"));
  const QString b = folder + QStringLiteral("/b") + stem + QStringLiteral(".lzh");
  const QString k = folder + QStringLiteral("/k") + stem + QStringLiteral(".lzh");
  if (QFileInfo::exists(b)) day.cards = cBangumiFile::ReadDay(DayBytes(b, ArchiveKind::Programme));
  if (QFileInfo::exists(k)) day.results = ReadVenues(DayBytes(k, ArchiveKind::Results));
  return day;
}

void CopyYearDays(const QString& to, QDate from, int days) {
  for (int i = 0; i < days; ++i) {
    const QString stem = from.addDays(i).toString(QStringLiteral("yyMMdd"));
    for (const char* kind : {"b", "k"}) {
      const QString name = QString::fromLatin1(kind) + stem + QStringLiteral(".lzh");
      ASSERT_TRUE(QFile::copy(SharedDataFile(QStringLiteral("year/") + name), to + u'/' + name)) << name.toStdString();
      // The shared files are read-only, and a copy keeps that: on Windows it could then not be
      // removed or replaced, as the tests do with their copies.
      ASSERT_TRUE(QFile::setPermissions(to + u'/' + name, QFile::ReadOwner | QFile::WriteOwner));
    }
  }
}

// The older program's writer, row for row: texts as they stood, figures as reals, the payout
// summary packed on the race's row.
struct V3File::Impl {
  sqlite3* db = nullptr;

  void Run(const char* sql) { ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql; }

  struct Insert {
    sqlite3_stmt* stmt = nullptr;
    int n = 0;
    Insert(sqlite3* db, const char* sql) { EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), SQLITE_OK); }
    ~Insert() { sqlite3_finalize(stmt); }
    Insert& operator<<(const QString& s) {
      const QByteArray u = s.toUtf8();
      sqlite3_bind_text(stmt, ++n, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
      return *this;
    }
    Insert& operator<<(int v) {
      sqlite3_bind_int(stmt, ++n, v);
      return *this;
    }
    Insert& operator<<(float v) {
      sqlite3_bind_double(stmt, ++n, v);
      return *this;
    }
    Insert& Null() {
      sqlite3_bind_null(stmt, ++n);
      return *this;
    }
    Insert& OrNull(const QStringList& l, QChar sep) { return l.isEmpty() ? Null() : *this << l.join(sep); }
    void Run() {
      EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE);
      sqlite3_reset(stmt);
      n = 0;
    }
  };
};

V3File::V3File(const QString& path) : impl_(new Impl) {
  sqlite3_open_v2(path.toUtf8().constData(), &impl_->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  impl_->Run("PRAGMA page_size=16384");
  impl_->Run("PRAGMA journal_mode=WAL");
  impl_->Run("BEGIN");
  for (int v = 1; v <= 3; ++v) {
    for (const QString& s : cRirekiDb::SchemaStep(v)) impl_->Run(s.toUtf8().constData());
  }
  impl_->Run("PRAGMA application_id=1415862123");  // "TdWk"
  impl_->Run("PRAGMA user_version=3");
  impl_->Run("COMMIT");
}

V3File::~V3File() {
  sqlite3_close(impl_->db);
  delete impl_;
}

void V3File::Add(const DayRecord& day, const QString& programmeHash, const QString& resultsHash) {
  sqlite3* db = impl_->db;
  using Insert = Impl::Insert;
  const int d = day.date.year() * 10000 + day.date.month() * 100 + day.date.day();
  impl_->Run("BEGIN");
  Insert source(db, "INSERT INTO source VALUES (?, ?, ?)");
  Insert meeting(db, "INSERT INTO meeting VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  Insert race(db, "INSERT INTO race VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  Insert entrant(db,
                 "INSERT INTO entrant VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  Insert result(db, "INSERT INTO result VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  Insert payout(db, "INSERT INTO payout VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  if (!day.cards.empty()) (source << d << QStringLiteral("B") << programmeHash).Run();
  if (!day.results.empty()) (source << d << QStringLiteral("K") << resultsHash).Run();
  int ord = 0;
  for (const cBangumiFile::Card& c : day.cards) {
    (meeting << d << QStringLiteral("B") << c.KyoteijyoCode << ord++ << QString() << c.Title << c.TitleLong
             << c.RaceDate << c.TotalDay << c.RaceNumbers << c.ParticipationNumbers)
            .OrNull(c.participants, u',')
        << c.Notice;
    meeting.Run();
    for (int r = 0; r < cBangumiFile::kMaxRace; ++r) {
      const auto& rc = c.races[r];
      (race << d << QStringLiteral("B") << c.KyoteijyoCode << r + 1 << rc.RaceTitle << rc.ClosingHour << rc.VoteType
            << static_cast<int>(rc.CourseFix) << 0 << 0 << QString() << QString() << 0 << 0 << QString() << 0)
          .Null()
          .
          operator<<(0)
          .Null();
      race.Run();
      if (r >= c.RaceNumbers) continue;
      for (int w = 0; w < cBangumiFile::kBoats; ++w) {
        const auto& e = rc.boats[w];
        (entrant << d << c.KyoteijyoCode << r + 1 << w + 1 << e.SensyuNo << e.SensyuName << e.SensyuBirthplace
                 << e.SensyuClass << e.SensyuAge << e.SensyuWeight << e.SensyuZenkokuSyoritu << e.SensyuZenkokuFSyoritu
                 << e.SensyuTochiSyoritu << e.SensyuTochiFSyoritu << e.MotorNo << e.MotorFSyoritu << e.BoatNo
                 << e.BoatFSyoritu << e.Seiseki << e.Hayami << e.Tokutenritu << e.TokutenrituOrder << e.Tansyoritu)
            .Run();
      }
    }
  }
  ord = 0;
  for (const cKekkaFile::Venue& v : day.results) {
    (meeting << d << QStringLiteral("K") << v.KyoteijyoCode << ord++ << v.KyoteijyoName << v.Title << v.TitleLong
             << v.RaceDate << v.TotalDay << 0 << 0)
            .Null()
        << v.Notice;
    meeting.Run();
    for (int r = 0; r < cKekkaFile::kMaxRace; ++r) {
      const auto& rc = v.races[r];
      int fuseiritu = 0;
      for (int k = 0; k < kKakesikiCount; ++k) fuseiritu |= rc.fuseiritu[k] ? 1 << k : 0;
      QStringList summary;
      for (int k = 0; k < kKakesikiCount; ++k) {
        for (const auto& m : rc.matome[k]) {
          summary << QStringLiteral("%1\t%2\t%3\t%4").arg(k).arg(m.Kumiban).arg(m.Kingaku).arg(m.Tokubarai ? 1 : 0);
        }
      }
      (race << d << QStringLiteral("K") << v.KyoteijyoCode << r + 1 << rc.RaceName << QString() << 0
            << static_cast<int>(rc.CourseFix) << static_cast<int>(rc.Exists) << rc.Kyori << rc.Tenko << rc.KazeMuki
            << rc.Fusoku << rc.Hakou << rc.Kimarite << fuseiritu)
              .OrNull(rc.bikou, u'\n')
          << static_cast<int>(rc.Status);
      race.OrNull(summary, u'\n');
      race.Run();
      for (std::size_t i = 0; i < rc.boats.size(); ++i) {
        const auto& b = rc.boats[i];
        (result << d << v.KyoteijyoCode << r + 1 << static_cast<int>(i) << b.Tyakujyun << b.TyakujyunNo << b.WakuNo
                << b.SensyuNo << b.SensyuName << b.MotorNo << b.BoatNo << b.TenjiTime << b.Course << b.StartTimingText
                << b.StartTiming << static_cast<int>(b.StartFlying) << static_cast<int>(b.StartTimingExists)
                << b.RaceTime << b.RaceTimeSeconds << static_cast<int>(b.StartLate))
            .Run();
      }
      for (int k = 0; k < kKakesikiCount; ++k) {
        for (std::size_t i = 0; i < rc.payouts[k].size(); ++i) {
          const auto& h = rc.payouts[k][i];
          (payout << d << v.KyoteijyoCode << r + 1 << k << static_cast<int>(i) << h.Kumiban << h.Kingaku << h.Ninki
                  << static_cast<int>(h.Tokubarai))
              .Run();
        }
      }
    }
  }
  impl_->Run("COMMIT");
}

}  // namespace tidewake::test
