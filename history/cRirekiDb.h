#pragma once

#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"

#include <QByteArrayView>
#include <QDate>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QSqlQuery;

namespace tidewake {

// What one day holds: the programme's cards of every venue and the results of every venue, each
// in the order of its file. Either may be empty when only one of the day's files was recorded.
struct DayRecord {
  QDate date;
  std::vector<cBangumiFile::Card> cards;
  std::vector<cKekkaFile::Venue> results;
};

// One race of a racer as the results tell it, for the card's tooltip.
struct RecentRace {
  QDate date;
  QString KyoteijyoCode, KyoteijyoName;  // "24", "大　村"
  std::int16_t RaceNo = 0, WakuNo = 0, Course = 0, TyakujyunNo = 0;
  QString Tyakujyun;  // the place as printed ("01", "F", "K0")
  float StartTiming = 0;
  bool StartFlying = false, StartLate = false, StartTimingExists = false;
};

// What recording a day's file did.
enum class RecordOutcome { Added, Replaced, AlreadyThere };

// The history database (RIREKI.DB): per day and venue what the programme and the results say.
// Each day's file goes in in one transaction, so after a crash the file holds every day whole or
// not at all. One object is one connection: use it on the thread that made it.
class cRirekiDb {
 public:
  static constexpr int kSchemaVersion = 2;

  // The database beside the other stores.
  static QString DefaultPath();

  // Opens the file, creating it when it is absent and bringing an older schema up to date. Throws
  // RuntimeError naming the file when it is not a history database of ours, is damaged, or cannot
  // be opened; such a file is never written.
  explicit cRirekiDb(const QString& path = DefaultPath());
  ~cRirekiDb();
  cRirekiDb(const cRirekiDb&) = delete;
  cRirekiDb& operator=(const cRirekiDb&) = delete;

  const QString& path() const { return path_; }
  // The Qt SQL connection's name, for queries of a caller's own (the win model's fit).
  const QString& connectionName() const { return connection_; }

  // Records a day's programme or results, read from `source` (the file's bytes, whose hash is
  // kept). The same bytes recorded before change nothing; other bytes replace that day's rows of
  // the kind. Throws RuntimeError when the database cannot be written (a full disk): the day's
  // rows are then as they were.
  RecordOutcome RecordProgramme(QDate date, const std::vector<cBangumiFile::Card>& cards, QByteArrayView source);
  RecordOutcome RecordResults(QDate date, const std::vector<cKekkaFile::Venue>& venues, QByteArrayView source);
  // True when the day's file of the kind was recorded from exactly these bytes.
  bool HasProgramme(QDate date, QByteArrayView source) const;
  bool HasResults(QDate date, QByteArrayView source) const;
  // True when some day's file was recorded from exactly these bytes.
  bool HasFile(QByteArrayView source) const;
  // The hashes of every file recorded (for an import that reads ahead on another thread), and the
  // hash a file's bytes have.
  QSet<QString> FileHashes() const;
  static QString FileHash(QByteArrayView source);

  // The days recorded from `from` to `to` inclusive, in date order, as recorded.
  std::vector<DayRecord> Days(QDate from, QDate to) const;
  // The racer's last `n` races before the day `beforeDate`, the latest first.
  std::vector<RecentRace> RecentRaces(const QString& sensyuNo, QDate beforeDate, int n) const;

  // Days, venue-days, races, distinct racers, first and last day; for `tidewake-history stats`.
  struct Stats {
    int days = 0, venues = 0, races = 0, racers = 0;
    QDate first, last;
  };
  Stats Statistics() const;

 private:
  RecordOutcome Record(QDate date, char kind, QByteArrayView source, const std::function<void()>& write);
  bool Has(QDate date, char kind, QByteArrayView source) const;
  void WriteCards(int day, const std::vector<cBangumiFile::Card>& cards);
  void WriteVenues(int day, const std::vector<cKekkaFile::Venue>& venues);

  QString path_, connection_;
  // The tooltip asks for six racers at a time: the query is prepared once.
  mutable std::unique_ptr<QSqlQuery> recent_;
};

}  // namespace tidewake
