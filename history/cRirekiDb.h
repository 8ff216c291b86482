#pragma once

#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "history/RirekiResults.h"

#include <QByteArrayView>
#include <QDate>
#include <QSet>
#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

struct sqlite3;

namespace tidewake {

struct HeldRows;

namespace rireki {
struct RacerRow;
}

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

// A day the history holds, and which of its files.
struct HeldDay {
  QDate date;
  bool programme = false, results = false;
};

// The 直前 entries of one race, as the user read them from the official 直前情報: each boat's
// exhibition time (none when left blank) and the course it took in the start exhibition.
struct ExhibitionEntry {
  QString KyoteijyoCode;
  std::int16_t RaceNo = 0;
  std::array<std::optional<float>, 6> TenjiTime;  // by boat number 1..6 at [0..5]
  std::array<std::int16_t, 6> Course{};           // by boat number; 0 when not given
};

// How a connection may use the file. Reading opens it read-only (never creating it, never
// writing it), unless it is of an older version and must be brought up to date first.
enum class RirekiAccess { ReadWrite, ReadOnly };

// The history database (RIREKI.DB): per day and venue what the programme and the results say.
// Each day's file goes in in one transaction, so after a crash the file holds every day whole or
// not at all. One object is one connection: use it on the thread that made it. Any number of
// connections, in this program or another, may use the file at once.
class cRirekiDb {
 public:
  static constexpr int kSchemaVersion = 4;

  // The database beside the other stores.
  static QString DefaultPath();
  // The SQL statements that bring the schema from `version` - 1 to `version` as an older program
  // left it (1..3, the upgrade test builds older files from them); for kSchemaVersion, those that
  // make the tables of a new file.
  static QStringList SchemaStep(int version);
  // True when the file is a history database of ours of an older version, which opening it
  // read-write will bring up to date (a long step for years of days: the window shows progress).
  static bool NeedsUpgrade(const QString& path);

  // Told as an older file is brought up to date: days done, of how many.
  using UpgradeProgress = std::function<void(int done, int total)>;

  // Opens the file, creating it when it is absent (read-write only) and bringing an older schema
  // up to date. Throws RuntimeError naming the file when it is not a history database of ours,
  // is damaged, of a newer version, missing (read-only), or cannot be opened; such a file is
  // never written. A file that cannot be written opens for reading: recording into it then
  // throws the read-only failure.
  explicit cRirekiDb(const QString& path = DefaultPath(), RirekiAccess access = RirekiAccess::ReadWrite,
                     const UpgradeProgress& progress = {});
  ~cRirekiDb();
  cRirekiDb(const cRirekiDb&) = delete;
  cRirekiDb& operator=(const cRirekiDb&) = delete;

  const QString& path() const { return path_; }
  // The Qt SQL connection's name, for the tests' own queries.
  const QString& connectionName() const { return connection_; }
  // False when the file can only be read.
  bool writable() const { return writable_; }

  // For a connection on the window's thread: no query runs longer than `limit` (it is interrupted
  // and reported instead), and another program's write is waited for as long.
  void SetInteractive(std::chrono::milliseconds limit = std::chrono::seconds(3));

  // Records a day's programme or results, read from `source` (the file's bytes, whose hash is
  // kept). The same bytes recorded before change nothing; other bytes replace that day's venues
  // of the kind that the file holds (a file of one venue replaces that venue, a whole day's file
  // every venue). Throws RuntimeError when the file cannot be recorded (two blocks of one venue)
  // or the database cannot be written (a full disk, another program's lock, a read-only file;
  // ErrNo::IsHistoryFailure): the day's rows are then as they were.
  RecordOutcome RecordProgramme(QDate date, const std::vector<cBangumiFile::Card>& cards, QByteArrayView source);
  RecordOutcome RecordResults(QDate date, const std::vector<cKekkaFile::Venue>& venues, QByteArrayView source);
  // The same given the bytes' FileHash, for a caller that has it already.
  RecordOutcome RecordProgrammeHashed(QDate date, const std::vector<cBangumiFile::Card>& cards,
                                      const QString& sourceHash);
  RecordOutcome RecordResultsHashed(QDate date, const std::vector<cKekkaFile::Venue>& venues,
                                    const QString& sourceHash);
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
  // The same handed over one day at a time, a few weeks of days read at once, so that years of
  // days never sit in memory together.
  void EachDay(QDate from, QDate to, const std::function<void(DayRecord&&)>& take) const;
  // Every day held, the newest first, with which of its files.
  std::vector<HeldDay> HeldDays() const;
  // The racer's last `n` races before the day `beforeDate`, the latest first.
  std::vector<RecentRace> RecentRaces(const QString& sensyuNo, QDate beforeDate, int n) const;

  // ---- For the analysis pages (RirekiResults.h); a stop requested on `stop` ends a read early.
  // The races of the results from `from` to `to` inclusive of venue `jyo` (1..24; 0 every venue),
  // each handed to `each` in order of day, venue and race, so that years of races are never held
  // together.
  void ResultRaces(QDate from, QDate to, std::int16_t jyo, const std::function<void(const ResultRace&)>& each,
                   std::stop_token stop = {}, const ResultParts& parts = {}) const;
  // The racer's races from `from` to `to` inclusive, the newest first.
  std::vector<RacerRace> RacerRaces(const QString& sensyuNo, QDate from, QDate to) const;
  // Every boat's motor of the venue's programmes from `from` to `to` inclusive, in day order.
  std::vector<ProgrammeMotor> ProgrammeMotors(std::int16_t jyo, QDate from, QDate to) const;
  // The venues whose results the history holds, by code, with the name last printed.
  std::vector<HeldVenue> HeldVenues() const;
  // The racer's name as the programme prints it (the results' when no programme named him);
  // empty when the history has none.
  QString RacerName(const QString& sensyuNo) const;

  // The 直前 entries: kept per race of a day (recording again replaces them), read back, cleared.
  void RecordExhibition(QDate date, const ExhibitionEntry& entry);
  std::optional<ExhibitionEntry> Exhibition(QDate date, const QString& kyoteijyoCode, std::int16_t raceNo) const;
  std::vector<ExhibitionEntry> Exhibitions(QDate date) const;
  void ClearExhibition(QDate date, const QString& kyoteijyoCode, std::int16_t raceNo);

  // Days, venue-days, races, distinct racers, first and last day; for `tidewake-history stats`.
  struct Stats {
    int days = 0, venues = 0, races = 0, racers = 0;
    QDate first, last;
  };
  Stats Statistics() const;

  // SQLite's full check of the file and of our tables: the problems found, none when it is sound.
  QStringList Check() const;
  // The same, ended early once a stop is requested on `stop`: then nothing, as a check cut short
  // can tell neither that the file is sound nor what is wrong. SQLite's check is one long
  // statement, asked between its steps whether to go on.
  std::optional<QStringList> Check(std::stop_token stop) const;
  // What the check found, as the window's box and the console program say it.
  static QString CheckText(const QString& path, const QStringList& problems);

  // Several files' records in one transaction (an import's): the same index pages are then written
  // once a batch instead of once a file. A failure while a file is written rolls the whole batch
  // back (InBatch() is then false), and the caller records its files again one transaction each,
  // so that exactly the files before the failing one are kept. The batch's files are in the file
  // only once CommitBatch returned; a failed commit rolls it back too.
  void BeginBatch();
  void CommitBatch();
  void RollbackBatch() noexcept;
  bool InBatch() const { return batch_; }

  // Marks an import under way for its lifetime: a database left with the mark of a program that
  // ended without removing it (killed mid-import) is checked when next opened.
  class ImportMark {
   public:
    explicit ImportMark(cRirekiDb& db);
    ~ImportMark();
    ImportMark(const ImportMark&) = delete;
    ImportMark& operator=(const ImportMark&) = delete;

   private:
    cRirekiDb& db_;
    bool marked_ = false;
    std::int64_t checkpoint_ = 1000;  // the pages the log holds before a copy, as before the import (SQLite's own)
  };

 private:
  friend void WriteHeldRows(cRirekiDb& db, const HeldRows& rows, int filesPerBatch, int rowsPerStatement);
  struct Writer;
  struct RacerNames;
  struct RecentQuery;
  using WriteRows = std::function<void(Writer&, std::int64_t source, const std::vector<int>& ords)>;
  // Records a file's venues in a transaction of its own (or in the open batch); Write does it
  // inside the caller's.
  RecordOutcome Record(QDate date, char kind, const QString& sha, const QStringList& venues, const WriteRows& write);
  RecordOutcome Write(QDate date, char kind, const QString& sha, const QStringList& venues, const WriteRows& write);
  void WriteCards(Writer& w, int day, std::int64_t source, const std::vector<cBangumiFile::Card>& cards,
                  const std::vector<int>& ords);
  void WriteVenues(Writer& w, int day, std::int64_t source, const std::vector<cKekkaFile::Venue>& venues,
                   const std::vector<int>& ords);
  RacerNames& racers() const;
  static rireki::RacerRow& Racer(RacerNames& names, Writer& w, const QString& no);
  cRirekiDb(const QString& path, RirekiAccess access, const UpgradeProgress& progress, bool inspectOnly);
  bool Has(QDate date, char kind, QByteArrayView source) const;
  void Open(RirekiAccess access, const UpgradeProgress& progress, bool inspectOnly);
  void Connect(bool readOnly);
  void Close();
  void Upgrade(int version, const UpgradeProgress& progress);
  void CheckAfterUnfinishedImport();
  sqlite3* handle() const { return db_; }
  Writer& writer();
  void Bound() const;
  // SQLite's progress handler as the connection wants it: the query bound when it is
  // interactive, none otherwise.
  void InstallBound() const;

  QString path_, connection_;
  sqlite3* db_ = nullptr;
  bool writable_ = true;
  bool olderVersion_ = false;
  bool interactive_ = false;
  bool batch_ = false;
  std::chrono::milliseconds limit_{0};
  mutable std::chrono::steady_clock::time_point deadline_;
  std::unique_ptr<Writer> writer_;
  // The racers' names as kept in `racer`, valid while no other connection wrote (data_version).
  mutable std::unique_ptr<RacerNames> racers_;
  // The tooltip asks for six racers at a time: the query is prepared once.
  mutable std::unique_ptr<RecentQuery> recent_;
};

}  // namespace tidewake
