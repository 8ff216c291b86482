#pragma once

// The history's rows beside the values they keep: the forms of the values a row gives from its
// other values (kept as NULL), shared by the writer, the reader and the upgrade. history/ only.

#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "history/RirekiSql.h"
#include "history/cRirekiDb.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace tidewake::rireki {

// Days are kept as the number yyyymmdd: small, ordered, and readable in any SQLite tool.
inline int DayKey(QDate d) { return d.year() * 10000 + d.month() * 100 + d.day(); }
QDate KeyDay(std::int64_t k);

// A racer's results so far (今節成績) as the programme prints them: twelve characters.
inline constexpr int kSeisekiWidth = 12;

// The registration number's names as `racer` keeps them: the programme's form, the results'
// form (spaced over eight characters) and the birthplace; none until a row gave one.
struct RacerRow {
  std::optional<QString> name, kname, birthplace;
};

}  // namespace tidewake::rireki

namespace tidewake {
// Every racer's row of `racer`, kept by a connection while no other one writes (data_version).
struct cRirekiDb::RacerNames {
  std::int64_t version = -1;
  // By registration number: its value when it is kept as one (nearly every number), its text
  // otherwise, as `racer` keys them. A lookup by value spares hashing and comparing texts for
  // every boat of an import.
  QHash<std::int64_t, rireki::RacerRow> byValue;
  QHash<QString, rireki::RacerRow> byText;

  rireki::RacerRow* Find(const QString& no) {
    if (const auto v = rireki::codec::PlainValue(no)) {
      const auto found = byValue.find(*v);
      return found == byValue.end() ? nullptr : &*found;
    }
    const auto found = byText.find(no);
    return found == byText.end() ? nullptr : &*found;
  }
  const rireki::RacerRow* Find(const QString& no) const { return const_cast<RacerNames*>(this)->Find(no); }
  rireki::RacerRow& Insert(const QString& no) {
    if (const auto v = rireki::codec::PlainValue(no)) return byValue[*v];
    return byText[no];
  }
};

// The statements of a write, prepared once a connection.
struct cRirekiDb::Writer {
  Writer(sqlite3* db, const QString& p)
      : findSource(db, "SELECT 1 FROM source WHERE sha256 = ? AND day = ? AND kind = ?", p),
        bVenues(db, "SELECT jyo, ord FROM b_meeting WHERE day = ?", p),
        kVenues(db, "SELECT jyo, ord FROM k_meeting WHERE day = ?", p),
        insertSource(db, QStringLiteral("INSERT INTO source(day, kind, sha256) VALUES (?, ?, ?)"), p),
        orphans(db,
                QStringLiteral("DELETE FROM source WHERE day = ?1 AND kind = ?2 AND id NOT IN"
                               " (SELECT source FROM b_meeting WHERE day = ?1 AND ?2 = 'B'"
                               " UNION ALL SELECT source FROM k_meeting WHERE day = ?1 AND ?2 = 'K')"),
                p),
        bMeeting(db, QStringLiteral("INSERT INTO b_meeting VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"), p),
        bRaces(db, RowsInsert("b_race", 7, cBangumiFile::kMaxRace), p),
        entrants(db, RowsInsert("entrant", kEntrantColumns, cBangumiFile::kBoats), p),
        kMeeting(db, QStringLiteral("INSERT INTO k_meeting VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"), p),
        kRaces(db, RowsInsert("k_race", 17, cKekkaFile::kMaxRace), p),

        racer(db, QStringLiteral("INSERT INTO racer(sensyu_no) VALUES (?)"), p),
        racerName(db, QStringLiteral("UPDATE racer SET name = ? WHERE sensyu_no = ? AND name IS NULL"), p),
        racerKname(db, QStringLiteral("UPDATE racer SET kname = ? WHERE sensyu_no = ? AND kname IS NULL"), p),
        racerBirthplace(
            db, QStringLiteral("UPDATE racer SET birthplace = ? WHERE sensyu_no = ? AND birthplace IS NULL"), p) {
    for (const char* t : {"b_meeting", "b_race", "entrant"}) {
      programmeRows.push_back(std::make_unique<rireki::Statement>(
          db, QStringLiteral("DELETE FROM %1 WHERE day = ? AND jyo = ?").arg(QLatin1String(t)), p));
    }
    for (const char* t : {"k_meeting", "k_race", "result"}) {
      resultsRows.push_back(std::make_unique<rireki::Statement>(
          db, QStringLiteral("DELETE FROM %1 WHERE day = ? AND jyo = ?").arg(QLatin1String(t)), p));
    }
    for (int n = 1; n <= kResultsAtOnce; ++n) {
      results.push_back(std::make_unique<rireki::Statement>(db, RowsInsert("result", kResultColumns, n), p));
    }
  }

  static constexpr int kEntrantColumns = 23, kResultColumns = 18;
  // A race's result lines go in this many at a time.
  static constexpr int kResultsAtOnce = 6;

  // The statement that puts `rows` rows of the table's `columns` in one step: a race's boats in
  // one statement instead of one each (SQLite opens and closes the table's and its indexes'
  // cursors once a statement). OR FAIL: a failure rolls the whole transaction back anyway, and
  // SQLite need not keep a copy of every page the statement changes to undo it alone.
  static QString RowsInsert(const char* table, int columns, int rows) {
    QString row = QStringLiteral("(?");
    for (int c = 1; c < columns; ++c) row += QStringLiteral(", ?");
    row += u')';
    QString sql = QStringLiteral("INSERT OR FAIL INTO %1 VALUES ").arg(QLatin1String(table));
    for (int r = 0; r < rows; ++r) sql += (r ? QStringLiteral(", ") : QString()) + row;
    return sql;
  }
  rireki::Rows findSource, bVenues, kVenues;
  rireki::Statement insertSource, orphans;
  rireki::Statement bMeeting, bRaces, entrants, kMeeting, kRaces;  // a venue's races, a race's entrants at once
  std::vector<std::unique_ptr<rireki::Statement>> results;         // of 1 to kResultsAtOnce lines
  rireki::Statement racer, racerName, racerKname, racerBirthplace;
  std::vector<std::unique_ptr<rireki::Statement>> programmeRows, resultsRows;
};

// The recent races' query, prepared once a connection.
struct cRirekiDb::RecentQuery {
  RecentQuery(sqlite3* db, const QString& path)
      : rows(db,
             "SELECT r.day, r.jyo, m.jyo_name, r.race_no, r.waku, r.course, r.place, r.place_no, r.st, r.start"
             " FROM result r LEFT JOIN k_meeting m ON m.day = r.day AND m.jyo = r.jyo"
             " WHERE r.sensyu_no = ? AND r.day < ? ORDER BY r.day DESC, r.race_no DESC LIMIT ?",
             path) {}
  rireki::Rows rows;
};

}  // namespace tidewake

namespace tidewake::rireki {

// A race's place number as its printed place gives it ("03" is 3, "F" 0).
std::int16_t PlaceNoOf(const QString& tyakujyun);
// A start timing as the results print it, from the figure and the flags ("F0.01", "K .").
QString StartText(float timing, bool flying, bool exists, bool late);
// A race time as printed from its seconds ("1.50.7" from 110.7; empty for 0).
QString RaceTimeText(float seconds);
// The start flags kept as one number: flying 1, a timing 2, late 4.
int StartFlags(bool flying, bool exists, bool late);

// The programme's race header, whose race number and closing time the row has already: the text
// between them when the header is "　１Ｒ…電話投票締切予定１２：０９", the whole text otherwise.
void RaceTitle(Statement& s, const QString& title, int raceNo, const QString& closingHour);
QString RaceTitle(const Rows& r, int i, int raceNo, const QString& closingHour);
// The closing hour "12:09:00" as minutes of the day; another text as it is.
void ClosingHour(Statement& s, const QString& hour);
QString ClosingHour(const Rows& r, int i);
// A race's payouts as one text, a line a payout: bet kind, combination, yen, popularity and
// special, tab-separated, the last two left out when 0 (a tab, line feed or backslash in the
// combination escaped); none for a race that paid nothing. Unpacking refuses a line that is not
// one, naming it.
QString PackPayouts(const cKekkaFile::Race& race);
// Texts read again and again over many rows (places, combinations, registration and motor
// numbers), kept once for a read: each row's copy shares the one kept instead of a copy of its own.
class TextCache {
 public:
  QString Utf8(const char* bytes, int size);
  QString Text(QStringView text);
  QString Number(std::int64_t n);
  // A column's text, or its number's decimal form when it holds an integer (codec::Number's read).
  QString Column(const Rows& r, int i);

 private:
  QHash<QByteArray, QString> bytes_;
  QHash<QString, QString> texts_;
  QHash<std::int64_t, QString> numbers_;
};

void UnpackPayouts(const QString& text, cKekkaFile::Race& race, const QString& path);
void UnpackPayouts(const QString& text, std::array<std::vector<cKekkaFile::Haraimodosi>, kKakesikiCount>& payouts,
                   const QString& path, TextCache* cache = nullptr, std::uint8_t kinds = 0x7F);

// The day's payout summary of a race as its payouts give it (its combinations of the four kinds
// the summary lists); the summary in the payouts' form when it says something else.
using Summary = std::array<std::vector<cKekkaFile::Matome>, kKakesikiCount>;
Summary SummaryOf(const cKekkaFile::Race& race);
bool SameSummary(const Summary& a, const Summary& b);
QString PackSummary(const Summary& summary);
void UnpackSummary(const QString& text, Summary& summary, const QString& path);
// The summary as version 3 kept it (bet kind, combination, yen, special; tab-separated).
void UnpackSummaryV3(const QString& text, Summary& summary);

// The 得点率 the programme derives from a racer's results so far.
float TokutenrituOf(const QString& seiseki);
// The same single-precision value, bit for bit (0 and -0 differ).
inline bool SameFloat(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// A file of an older version's rows, read one day at a time for the upgrade.
class V3Reader {
 public:
  V3Reader(sqlite3* db, const QString& path);
  // The days the older file holds, in order; throws the damaged failure for a day that is not one.
  std::vector<int> Days();
  // The day as the older program recorded it, and the hashes of its files (empty when none).
  DayRecord Day(int day, QString& programmeHash, QString& resultsHash);

 private:
  sqlite3* db_;
  QString path_;
};

// The failure of a file whose rows are not what the program writes.
[[noreturn]] void Damaged(const QString& path, const QString& why);

}  // namespace tidewake::rireki
