// The history database: recording a day's file, venue by venue, in one transaction, and the
// 直前 entries of a race.

#include "history/RirekiRows.h"
#include "history/RirekiSql.h"
#include "history/cRirekiDb.h"
#include "platform/RuntimeError.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tidewake {

using namespace rireki;

namespace {

QString DuplicateVenue(const QString& jyo, const QString& path) {
  return QStringLiteral("同じ日に競艇場コード %1 のブロックが二つあります。履歴には記録しません: %2").arg(jyo, path);
}

// The same characters (compared as bytes: Qt's general comparison costs more for every boat).
bool SameText(QStringView a, QStringView b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), static_cast<std::size_t>(a.size()) * 2) == 0;
}

// The racer's row for the number, made when it is the first; a name the row has not yet is kept
// there. True when the row gives `value`, which the caller's row then leaves NULL.
bool FromRacer(std::optional<QString>& kept, const QString& value, Statement& fill, const QString& no) {
  if (kept) return SameText(*kept, value);
  fill << value;
  codec::Number(fill, no);
  fill.Run();
  kept = value;
  return true;
}

// NULL when the row's other values give the text, the text otherwise.
void NullOr(Statement& s, bool given, const QString& text) {
  if (given) {
    s << nullptr;
  } else {
    s << text;
  }
}

// The file's venues in the order of the tables' keys (the files list them from 24 down): rows
// that go in in key order fill their pages, where rows put in before others leave them half empty.
template <typename Venue>
std::vector<std::size_t> KeyOrder(const std::vector<Venue>& venues) {
  std::vector<std::size_t> order(venues.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto key = [&](std::size_t i) {
    const QString& code = venues[i].KyoteijyoCode;
    const bool number = code.size() == 2 && code[0].isDigit() && code[1].isDigit();
    return std::pair(number ? 0 : 1, code);
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
  return order;
}

}  // namespace

// The racer's row for the number, made when the number is new.
RacerRow& cRirekiDb::Racer(RacerNames& names, Writer& w, const QString& no) {
  if (RacerRow* found = names.Find(no)) return *found;
  codec::Number(w.racer, no);
  w.racer.Run();
  return names.Insert(no);
}

cRirekiDb::Writer& cRirekiDb::writer() {
  if (!writer_) writer_ = std::make_unique<Writer>(db_, path_);
  return *writer_;
}

cRirekiDb::RacerNames& cRirekiDb::racers() const {
  // Another connection's commit changes data_version: the names are then read again.
  const std::int64_t version = Scalar(db_, "PRAGMA data_version", path_, Doing::Read);
  if (!racers_ || racers_->version != version) {
    auto names = std::make_unique<RacerNames>();
    names->version = version;
    Rows q(db_, "SELECT sensyu_no, name, kname, birthplace FROM racer", path_);
    while (q.next()) {
      RacerRow r;
      if (!q.Null(1)) r.name = q.Text(1);
      if (!q.Null(2)) r.kname = q.Text(2);
      if (!q.Null(3)) r.birthplace = q.Text(3);
      if (q.Type(0) == SQLITE_INTEGER) {
        names->byValue.insert(q.Int64(0), r);
      } else {
        names->byText.insert(q.Text(0), r);
      }
    }
    racers_ = std::move(names);
  }
  return *racers_;
}

RecordOutcome cRirekiDb::RecordProgramme(QDate date, const std::vector<cBangumiFile::Card>& cards,
                                         QByteArrayView source) {
  return RecordProgrammeHashed(date, cards, FileHash(source));
}

RecordOutcome cRirekiDb::RecordResults(QDate date, const std::vector<cKekkaFile::Venue>& venues,
                                       QByteArrayView source) {
  return RecordResultsHashed(date, venues, FileHash(source));
}

RecordOutcome cRirekiDb::RecordProgrammeHashed(QDate date, const std::vector<cBangumiFile::Card>& cards,
                                               const QString& sourceHash) {
  QStringList codes;
  for (const auto& c : cards) codes << c.KyoteijyoCode;
  return Record(date, 'B', sourceHash, codes, [&](Writer& w, std::int64_t source, const std::vector<int>& ords) {
    WriteCards(w, DayKey(date), source, cards, ords);
  });
}

RecordOutcome cRirekiDb::RecordResultsHashed(QDate date, const std::vector<cKekkaFile::Venue>& venues,
                                             const QString& sourceHash) {
  QStringList codes;
  for (const auto& v : venues) codes << v.KyoteijyoCode;
  return Record(date, 'K', sourceHash, codes, [&](Writer& w, std::int64_t source, const std::vector<int>& ords) {
    WriteVenues(w, DayKey(date), source, venues, ords);
  });
}

RecordOutcome cRirekiDb::Record(QDate date, char kind, const QString& sha, const QStringList& venues,
                                const WriteRows& write) {
  if (!date.isValid() || date.year() < 1 || date.year() > 9999) {
    throw RuntimeError(ErrNo::DateOutOfRange, QStringLiteral("日付のない日は履歴に記録できません: %1").arg(path_));
  }
  for (qsizetype i = 0; i < venues.size(); ++i) {
    if (venues.indexOf(venues[i]) != i) throw RuntimeError(ErrNo::NotATextFile, DuplicateVenue(venues[i], path_));
  }
  if (!writable_) Fail(nullptr, SQLITE_READONLY, path_, Doing::Write);
  Bound();
  if (batch_) {
    try {
      return Write(date, kind, sha, venues, write);
    } catch (...) {
      RollbackBatch();
      throw;
    }
  }
  Exec(db_, "BEGIN IMMEDIATE", path_, Doing::Write);
  try {
    const RecordOutcome outcome = Write(date, kind, sha, venues, write);
    Exec(db_, outcome == RecordOutcome::AlreadyThere ? "ROLLBACK" : "COMMIT", path_, Doing::Write);
    return outcome;
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    racers_.reset();  // it may hold names of the rows rolled back
    writer_.reset();  // a statement may hold the values of a row left half bound
    throw;
  }
}

void cRirekiDb::BeginBatch() {
  if (batch_) return;
  if (!writable_) Fail(nullptr, SQLITE_READONLY, path_, Doing::Write);
  Bound();
  Exec(db_, "BEGIN IMMEDIATE", path_, Doing::Write);
  batch_ = true;
}

void cRirekiDb::CommitBatch() {
  if (!batch_) return;
  try {
    Exec(db_, "COMMIT", path_, Doing::Write);
    batch_ = false;
  } catch (...) {
    RollbackBatch();
    throw;
  }
}

void cRirekiDb::RollbackBatch() noexcept {
  if (!batch_) return;
  batch_ = false;
  // SQLite may have ended the transaction itself (a full disk, an I/O failure).
  if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  racers_.reset();  // it may hold names of the rows rolled back
  writer_.reset();  // a statement may hold the values of a row left half bound
}

RecordOutcome cRirekiDb::Write(QDate date, char kind, const QString& sha, const QStringList& venues,
                               const WriteRows& write) {
  Writer& w = writer();
  const int day = DayKey(date);
  const QString kindText(QChar::fromLatin1(kind));
  w.findSource.Reset();
  w.findSource.Bind(sha).Bind(day).Bind(kindText);
  const bool known = w.findSource.next();
  w.findSource.Reset();
  if (known) return RecordOutcome::AlreadyThere;

  // The day's venues of the kind held already, with their places in the day's order.
  QHash<QString, int> held;
  int last = -1;
  Rows& have = kind == 'B' ? w.bVenues : w.kVenues;
  have.Reset();
  have.Bind(day);
  while (have.next()) {
    held.insert(codec::Code(have, 0), have.Int(1));
    last = std::max(last, have.Int(1));
  }
  have.Reset();
  // A file of every venue held orders the day afresh; one of some venues keeps their places and
  // puts its new venues after the others.
  bool whole = true;
  for (auto it = held.cbegin(); it != held.cend(); ++it) whole = whole && venues.contains(it.key());
  std::vector<int> ords;
  for (qsizetype i = 0; i < venues.size(); ++i) {
    ords.push_back(whole ? static_cast<int>(i) : held.contains(venues[i]) ? held[venues[i]] : ++last);
  }
  for (const QString& code : venues) {
    if (!held.contains(code)) continue;
    for (const auto& del : kind == 'B' ? w.programmeRows : w.resultsRows) {
      *del << day;
      codec::Code(*del, code);
      del->Run();
    }
  }
  (w.insertSource << day << kindText << sha).Run();
  write(w, sqlite3_last_insert_rowid(db_), ords);
  // A file whose every venue another file has replaced is no longer held.
  (w.orphans << day << kindText).Run();
  return held.isEmpty() ? RecordOutcome::Added : RecordOutcome::Replaced;
}

void cRirekiDb::WriteCards(Writer& w, int day, std::int64_t source, const std::vector<cBangumiFile::Card>& cards,
                           const std::vector<int>& ords) {
  RacerNames& names = racers();
  for (const std::size_t i : KeyOrder(cards)) {
    const cBangumiFile::Card& c = cards[i];
    w.bMeeting << day;
    codec::Code(w.bMeeting, c.KyoteijyoCode);
    w.bMeeting << ords[i] << source << c.Title << c.TitleLong << c.RaceDate << c.TotalDay << c.RaceNumbers
               << c.ParticipationNumbers;
    if (c.participants.isEmpty()) {
      w.bMeeting << nullptr;
    } else {
      w.bMeeting << c.participants.join(u',');
    }
    (w.bMeeting << c.Notice).Run();
    for (int r = 0; r < cBangumiFile::kMaxRace; ++r) {
      const cBangumiFile::Race& rc = c.races[r];
      // The venue's twelve race rows are bound one after the other and put in after the last.
      w.bRaces << day;
      codec::Code(w.bRaces, c.KyoteijyoCode);
      w.bRaces << r + 1;
      RaceTitle(w.bRaces, rc.RaceTitle, r + 1, rc.ClosingHour);
      ClosingHour(w.bRaces, rc.ClosingHour);
      w.bRaces << rc.VoteType << rc.CourseFix;
      if (r + 1 == cBangumiFile::kMaxRace) w.bRaces.Run();
      if (r >= c.RaceNumbers) continue;
      const auto shares = cBangumiFile::WinShares(rc, c.TotalDay);
      // The race's six rows, bound one after the other and put in by one step.
      Statement& s = w.entrants;
      for (int b = 0; b < cBangumiFile::kBoats; ++b) {
        const cBangumiFile::Entrant& e = rc.boats[b];
        s << day;
        codec::Code(s, c.KyoteijyoCode);
        s << r + 1 << b + 1;
        codec::Number(s, e.SensyuNo);
        bool sameName = false, sameBirthplace = false;
        if (!e.SensyuNo.isEmpty()) {
          RacerRow& row = Racer(names, w, e.SensyuNo);
          sameName = FromRacer(row.name, e.SensyuName, w.racerName, e.SensyuNo);
          sameBirthplace = FromRacer(row.birthplace, e.SensyuBirthplace, w.racerBirthplace, e.SensyuNo);
        }
        NullOr(s, sameName, e.SensyuName);
        NullOr(s, sameBirthplace, e.SensyuBirthplace);
        s << e.SensyuClass << e.SensyuAge << e.SensyuWeight;
        codec::Scaled(s, e.SensyuZenkokuSyoritu, 100);
        codec::Scaled(s, e.SensyuZenkokuFSyoritu, 100);
        codec::Scaled(s, e.SensyuTochiSyoritu, 100);
        codec::Scaled(s, e.SensyuTochiFSyoritu, 100);
        codec::Number(s, e.MotorNo);
        codec::Scaled(s, e.MotorFSyoritu, 100);
        codec::Number(s, e.BoatNo);
        codec::Scaled(s, e.BoatFSyoritu, 100);
        codec::Padded(s, e.Seiseki, kSeisekiWidth);
        s << e.Hayami;
        // The points rate and the win share are what the card's other figures give, unless the
        // card says otherwise.
        if (SameFloat(e.Tokutenritu, TokutenrituOf(e.Seiseki))) {
          s << nullptr;
        } else {
          codec::Scaled(s, e.Tokutenritu, 100);
        }
        s << e.TokutenrituOrder;
        if (shares && SameFloat(e.Tansyoritu, (*shares)[b])) {
          s << nullptr;
        } else {
          codec::Scaled(s, e.Tansyoritu, 100);
        }
      }
      s.Run();
    }
  }
}

void cRirekiDb::WriteVenues(Writer& w, int day, std::int64_t source, const std::vector<cKekkaFile::Venue>& venues,
                            const std::vector<int>& ords) {
  RacerNames& names = racers();
  for (const std::size_t i : KeyOrder(venues)) {
    const cKekkaFile::Venue& v = venues[i];
    w.kMeeting << day;
    codec::Code(w.kMeeting, v.KyoteijyoCode);
    (w.kMeeting << ords[i] << source << v.KyoteijyoName << v.Title << v.TitleLong << v.RaceDate << v.TotalDay
                << v.Notice)
        .Run();
    for (int r = 0; r < cKekkaFile::kMaxRace; ++r) {
      const cKekkaFile::Race& rc = v.races[r];
      int fuseiritu = 0;
      for (int k = 0; k < kKakesikiCount; ++k) fuseiritu |= rc.fuseiritu[k] ? 1 << k : 0;
      w.kRaces << day;
      codec::Code(w.kRaces, v.KyoteijyoCode);
      w.kRaces << r + 1 << static_cast<int>(rc.Status) << rc.Exists << rc.RaceName << rc.CourseFix << rc.Kyori
               << rc.Tenko << rc.KazeMuki << rc.Fusoku << rc.Hakou << rc.Kimarite << fuseiritu;
      if (rc.bikou.isEmpty()) {
        w.kRaces << nullptr;
      } else {
        w.kRaces << rc.bikou.join(u'\n');
      }
      const QString payouts = PackPayouts(rc);
      if (payouts.isEmpty()) {
        w.kRaces << nullptr;
      } else {
        w.kRaces << payouts;
      }
      // The summary's lines repeat the payouts: kept only when they say something else.
      bool anySummary = false;
      for (const auto& lines : rc.matome) anySummary = anySummary || !lines.empty();
      if (!anySummary) {
        w.kRaces << nullptr;
      } else if (SameSummary(rc.matome, SummaryOf(rc))) {
        w.kRaces << 1;
      } else {
        w.kRaces << PackSummary(rc.matome);
      }
      if (r + 1 == cKekkaFile::kMaxRace) w.kRaces.Run();  // the venue's twelve race rows at once
      // The race's lines a few at a time, each few put in by one step.
      for (std::size_t j = 0; j < rc.boats.size(); ++j) {
        const std::size_t first = j - j % Writer::kResultsAtOnce;
        const std::size_t lines = std::min<std::size_t>(Writer::kResultsAtOnce, rc.boats.size() - first);
        Statement& s = *w.results[lines - 1];
        const cKekkaFile::Boat& b = rc.boats[j];
        s << day;
        codec::Code(s, v.KyoteijyoCode);
        s << r + 1 << static_cast<int>(j) << b.Tyakujyun;
        if (b.TyakujyunNo == PlaceNoOf(b.Tyakujyun)) {
          s << nullptr;
        } else {
          s << b.TyakujyunNo;
        }
        s << b.WakuNo;
        codec::Number(s, b.SensyuNo);
        bool sameName = false;
        if (!b.SensyuNo.isEmpty()) {
          sameName = FromRacer(Racer(names, w, b.SensyuNo).kname, b.SensyuName, w.racerKname, b.SensyuNo);
        }
        NullOr(s, sameName, b.SensyuName);
        codec::Number(s, b.MotorNo);
        codec::Number(s, b.BoatNo);
        codec::Scaled(s, b.TenjiTime, 100);
        s << b.Course;
        codec::Scaled(s, b.StartTiming, 100);
        NullOr(s, b.StartTimingText == StartText(b.StartTiming, b.StartFlying, b.StartTimingExists, b.StartLate),
               b.StartTimingText);
        s << StartFlags(b.StartFlying, b.StartTimingExists, b.StartLate);
        codec::Scaled(s, b.RaceTimeSeconds, 10);
        NullOr(s, b.RaceTime == RaceTimeText(b.RaceTimeSeconds), b.RaceTime);
        if (j + 1 == first + lines) s.Run();
      }
    }
  }
}

void cRirekiDb::RecordExhibition(QDate date, const ExhibitionEntry& entry) {
  CheckIndex(QStringLiteral("レース番号"), entry.RaceNo, 1, cBangumiFile::kMaxRace);
  for (std::int16_t c : entry.Course) CheckIndex(QStringLiteral("展示進入コース"), c, 0, cBangumiFile::kBoats);
  if (!date.isValid()) {
    throw RuntimeError(ErrNo::DateOutOfRange, QStringLiteral("日付のない日は履歴に記録できません: %1").arg(path_));
  }
  if (!writable_) Fail(nullptr, SQLITE_READONLY, path_, Doing::Write);
  Bound();
  Exec(db_, "BEGIN IMMEDIATE", path_, Doing::Write);
  try {
    Statement clear(db_, QStringLiteral("DELETE FROM exhibition WHERE day = ? AND jyo = ? AND race_no = ?"), path_);
    clear << DayKey(date);
    codec::Code(clear, entry.KyoteijyoCode);
    (clear << entry.RaceNo).Run();
    Statement row(db_, QStringLiteral("INSERT INTO exhibition VALUES (?, ?, ?, ?, ?, ?)"), path_);
    for (int b = 0; b < cBangumiFile::kBoats; ++b) {
      row << DayKey(date);
      codec::Code(row, entry.KyoteijyoCode);
      row << entry.RaceNo << b + 1;
      if (entry.TenjiTime[b]) {
        codec::Scaled(row, *entry.TenjiTime[b], 100);
      } else {
        row << nullptr;
      }
      (row << entry.Course[b]).Run();
    }
    Exec(db_, "COMMIT", path_, Doing::Write);
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void cRirekiDb::ClearExhibition(QDate date, const QString& kyoteijyoCode, std::int16_t raceNo) {
  if (!writable_) Fail(nullptr, SQLITE_READONLY, path_, Doing::Write);
  Bound();
  Statement clear(db_, QStringLiteral("DELETE FROM exhibition WHERE day = ? AND jyo = ? AND race_no = ?"), path_);
  clear << DayKey(date);
  codec::Code(clear, kyoteijyoCode);
  (clear << raceNo).Run();
}

}  // namespace tidewake
