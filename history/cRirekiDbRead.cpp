// The history database: days read back as the values recorded, a racer's recent races, the
// figures of `stats`, the 直前 entries.

#include "history/RirekiRows.h"
#include "history/RirekiSql.h"
#include "history/cRirekiDb.h"
#include "platform/RuntimeError.h"

#include <QHash>

#include <utility>

namespace tidewake {

using namespace rireki;

namespace {

// Days read at once: a few weeks, so that years of days are never in memory together.
constexpr int kDaysAtOnce = 28;

// Where a venue's rows go: the day's index and the venue's index in that day.
using Place = std::pair<std::size_t, std::size_t>;
using Key = std::pair<std::int64_t, QString>;  // day, venue code

QString NameOr(const Rows& q, int i, const std::optional<QString>& kept) {
  if (!q.Null(i)) return q.Text(i);
  return kept.value_or(QString());
}

}  // namespace

std::vector<DayRecord> cRirekiDb::Days(QDate from, QDate to) const {
  std::vector<DayRecord> days;
  EachDay(from, to, [&](DayRecord&& d) { days.push_back(std::move(d)); });
  return days;
}

void cRirekiDb::EachDay(QDate from, QDate to, const std::function<void(DayRecord&&)>& take) const {
  Bound();
  const ReadTransaction read(db_, path_);
  std::vector<std::int64_t> all;
  {
    Rows q(db_,
           "SELECT day FROM b_meeting WHERE day BETWEEN ?1 AND ?2 UNION SELECT day FROM k_meeting"
           " WHERE day BETWEEN ?1 AND ?2 ORDER BY 1",
           path_);
    q.Bind(DayKey(from)).Bind(DayKey(to));
    while (q.next()) {
      if (q.Type(0) != SQLITE_INTEGER || !KeyDay(q.Int64(0)).isValid()) {
        Damaged(path_, QStringLiteral("日付 %1 はありえません").arg(q.Text(0)));
      }
      all.push_back(q.Int64(0));
    }
  }
  const RacerNames& names = racers();
  for (std::size_t at = 0; at < all.size(); at += kDaysAtOnce) {
    const std::size_t end = std::min(all.size(), at + kDaysAtOnce);
    const std::int64_t first = all[at], last = all[end - 1];
    std::vector<DayRecord> days;
    QHash<std::int64_t, std::size_t> dayAt;
    for (std::size_t i = at; i < end; ++i) {
      dayAt.insert(all[i], days.size());
      days.push_back(DayRecord{KeyDay(all[i]), {}, {}});
    }
    // Indexes, never pointers: the vectors grow as rows come.
    QHash<Key, Place> cards, venues;
    auto bind = [&](Rows& q) { q.Bind(first).Bind(last); };
    auto raceOf = [](const Rows& q, int i) {
      const std::int64_t r = q.Int64(i) - 1;
      return r >= 0 && r < cBangumiFile::kMaxRace ? static_cast<int>(r) : -1;
    };
    {
      Rows q(db_,
             "SELECT day, jyo, title, title_long, race_date, total_day, race_numbers, participation_numbers,"
             " participants, notice FROM b_meeting WHERE day BETWEEN ? AND ? ORDER BY day, ord, jyo",
             path_);
      bind(q);
      while (q.next()) {
        const auto d = dayAt.constFind(q.Int64(0));
        if (d == dayAt.cend()) continue;
        const QString code = codec::Code(q, 1);
        std::vector<cBangumiFile::Card>& list = days[*d].cards;
        cards.insert({q.Int64(0), code}, {*d, list.size()});
        cBangumiFile::Card& c = list.emplace_back();
        c.KyoteijyoCode = code;
        c.Title = q.Text(2);
        c.TitleLong = q.Text(3);
        c.RaceDate = q.Text(4);
        c.TotalDay = q.I16(5);
        c.RaceNumbers = q.I16(6);
        c.ParticipationNumbers = q.I16(7);
        c.participants = q.Null(8) ? QStringList() : q.Text(8).split(u',');
        c.Notice = q.Text(9);
      }
    }
    auto card = [&](const Rows& q) -> cBangumiFile::Card* {
      const auto p = cards.constFind({q.Int64(0), codec::Code(q, 1)});
      return p == cards.cend() ? nullptr : &days[p->first].cards[p->second];
    };
    {
      Rows q(db_,
             "SELECT day, jyo, race_no, title, closing, vote_type, course_fix FROM b_race"
             " WHERE day BETWEEN ? AND ?",
             path_);
      bind(q);
      while (q.next()) {
        cBangumiFile::Card* c = card(q);
        const int r = raceOf(q, 2);
        if (!c || r < 0) continue;
        cBangumiFile::Race& rc = c->races[r];
        rc.ClosingHour = ClosingHour(q, 4);
        rc.RaceTitle = RaceTitle(q, 3, r + 1, rc.ClosingHour);
        rc.VoteType = q.I16(5);
        rc.CourseFix = q.Bool(6);
      }
    }
    std::vector<std::pair<Place, std::pair<int, int>>> shares;  // boats whose win share is derived
    {
      Rows q(db_,
             "SELECT day, jyo, race_no, waku, sensyu_no, name, birthplace, class, age, weight, zenkoku, zenkoku_f,"
             " tochi, tochi_f, motor_no, motor_f, boat_no, boat_f, seiseki, hayami, tokutenritu, tokutenritu_order,"
             " tansyoritu FROM entrant WHERE day BETWEEN ? AND ?",
             path_);
      bind(q);
      while (q.next()) {
        cBangumiFile::Card* c = card(q);
        const int r = raceOf(q, 2);
        const std::int64_t w = q.Int64(3) - 1;
        if (!c || r < 0 || w < 0 || w >= cBangumiFile::kBoats) continue;
        cBangumiFile::Entrant& e = c->races[r].boats[static_cast<std::size_t>(w)];
        e.SensyuNo = codec::Number(q, 4);
        const RacerRow none;
        const RacerRow* racer = names.Find(e.SensyuNo);
        const RacerRow& row = racer ? *racer : none;
        e.SensyuName = NameOr(q, 5, row.name);
        e.SensyuBirthplace = NameOr(q, 6, row.birthplace);
        e.SensyuClass = q.Text(7);
        e.SensyuAge = q.I16(8);
        e.SensyuWeight = q.I16(9);
        e.SensyuZenkokuSyoritu = codec::Scaled(q, 10, 100);
        e.SensyuZenkokuFSyoritu = codec::Scaled(q, 11, 100);
        e.SensyuTochiSyoritu = codec::Scaled(q, 12, 100);
        e.SensyuTochiFSyoritu = codec::Scaled(q, 13, 100);
        e.MotorNo = codec::Number(q, 14);
        e.MotorFSyoritu = codec::Scaled(q, 15, 100);
        e.BoatNo = codec::Number(q, 16);
        e.BoatFSyoritu = codec::Scaled(q, 17, 100);
        e.Seiseki = codec::Padded(q, 18, kSeisekiWidth);
        e.Hayami = q.I16(19);
        e.Tokutenritu = q.Null(20) ? TokutenrituOf(e.Seiseki) : codec::Scaled(q, 20, 100);
        e.TokutenrituOrder = q.I16(21);
        if (q.Null(22)) {
          shares.push_back({cards.value({q.Int64(0), c->KyoteijyoCode}), {r, static_cast<int>(w)}});
        } else {
          e.Tansyoritu = codec::Scaled(q, 22, 100);
        }
      }
    }
    // The win shares the card's figures give, once every boat of the race is read.
    for (const auto& [place, at] : shares) {
      const cBangumiFile::Card& c = days[place.first].cards[place.second];
      const auto share = cBangumiFile::WinShares(c.races[at.first], c.TotalDay);
      if (share)
        days[place.first].cards[place.second].races[at.first].boats[at.second].Tansyoritu = (*share)[at.second];
    }
    {
      Rows q(db_,
             "SELECT day, jyo, jyo_name, title, title_long, race_date, total_day, notice FROM k_meeting"
             " WHERE day BETWEEN ? AND ? ORDER BY day, ord, jyo",
             path_);
      bind(q);
      while (q.next()) {
        const auto d = dayAt.constFind(q.Int64(0));
        if (d == dayAt.cend()) continue;
        const QString code = codec::Code(q, 1);
        std::vector<cKekkaFile::Venue>& list = days[*d].results;
        venues.insert({q.Int64(0), code}, {*d, list.size()});
        cKekkaFile::Venue& v = list.emplace_back();
        v.KyoteijyoCode = code;
        v.KyoteijyoName = q.Text(2);
        v.Title = q.Text(3);
        v.TitleLong = q.Text(4);
        v.RaceDate = q.Text(5);
        v.TotalDay = q.I16(6);
        v.Notice = q.Text(7);
      }
    }
    auto venue = [&](const Rows& q) -> cKekkaFile::Venue* {
      const auto p = venues.constFind({q.Int64(0), codec::Code(q, 1)});
      return p == venues.cend() ? nullptr : &days[p->first].results[p->second];
    };
    {
      Rows q(db_,
             "SELECT day, jyo, race_no, status, header, name, course_fix, kyori, tenko, kaze_muki, fusoku, hakou,"
             " kimarite, fuseiritu, bikou, payouts, summary FROM k_race WHERE day BETWEEN ? AND ?",
             path_);
      bind(q);
      while (q.next()) {
        cKekkaFile::Venue* v = venue(q);
        const int r = raceOf(q, 2);
        if (!v || r < 0) continue;
        cKekkaFile::Race& rc = v->races[r];
        const std::int64_t status = q.Int64(3);
        rc.Status = status >= 0 && status <= static_cast<int>(RaceStatus::Void) ? static_cast<RaceStatus>(status)
                                                                                : RaceStatus::None;
        rc.Exists = q.Bool(4);
        rc.RaceName = q.Text(5);
        rc.CourseFix = q.Bool(6);
        rc.Kyori = q.I16(7);
        rc.Tenko = q.Text(8);
        rc.KazeMuki = q.Text(9);
        rc.Fusoku = q.I16(10);
        rc.Hakou = q.I16(11);
        rc.Kimarite = q.Text(12);
        const std::int64_t fuseiritu = q.Int64(13);
        for (int k = 0; k < kKakesikiCount; ++k) rc.fuseiritu[k] = (fuseiritu >> k) & 1;
        rc.bikou = q.Null(14) ? QStringList() : q.Text(14).split(u'\n');
        if (!q.Null(15)) UnpackPayouts(q.Text(15), rc, path_);
        if (q.Type(16) == SQLITE_INTEGER) {
          rc.matome = SummaryOf(rc);
        } else if (!q.Null(16)) {
          UnpackSummary(q.Text(16), rc.matome, path_);
        }
      }
    }
    {
      Rows q(db_,
             "SELECT day, jyo, race_no, place, place_no, waku, sensyu_no, name, motor_no, boat_no, tenji, course, st,"
             " st_text, start, race_time, race_time_text FROM result WHERE day BETWEEN ? AND ?"
             " ORDER BY day, jyo, race_no, line",
             path_);
      bind(q);
      while (q.next()) {
        cKekkaFile::Venue* v = venue(q);
        const int r = raceOf(q, 2);
        if (!v || r < 0) continue;
        cKekkaFile::Boat& b = v->races[r].boats.emplace_back();
        b.Tyakujyun = q.Text(3);
        b.TyakujyunNo = q.Null(4) ? PlaceNoOf(b.Tyakujyun) : q.I16(4);
        b.WakuNo = q.I16(5);
        b.SensyuNo = codec::Number(q, 6);
        const RacerRow* racer = names.Find(b.SensyuNo);
        b.SensyuName = NameOr(q, 7, racer ? racer->kname : std::nullopt);
        b.MotorNo = codec::Number(q, 8);
        b.BoatNo = codec::Number(q, 9);
        b.TenjiTime = codec::Scaled(q, 10, 100);
        b.Course = q.I16(11);
        b.StartTiming = codec::Scaled(q, 12, 100);
        const std::int64_t start = q.Int64(14);
        b.StartFlying = start & 1;
        b.StartTimingExists = start & 2;
        b.StartLate = start & 4;
        b.StartTimingText =
            q.Null(13) ? StartText(b.StartTiming, b.StartFlying, b.StartTimingExists, b.StartLate) : q.Text(13);
        b.RaceTimeSeconds = codec::Scaled(q, 15, 10);
        b.RaceTime = q.Null(16) ? RaceTimeText(b.RaceTimeSeconds) : q.Text(16);
      }
    }
    for (DayRecord& d : days) take(std::move(d));
  }
}

std::vector<RecentRace> cRirekiDb::RecentRaces(const QString& sensyuNo, QDate beforeDate, int n) const {
  Bound();
  if (!recent_) recent_ = std::make_unique<RecentQuery>(db_, path_);
  Rows& q = recent_->rows;
  q.Reset();
  codec::BindNumber(q, sensyuNo);
  q.Bind(DayKey(beforeDate)).Bind(n);
  std::vector<RecentRace> races;
  try {
    while (q.next()) {
      RecentRace& r = races.emplace_back();
      r.date = KeyDay(q.Int64(0));
      r.KyoteijyoCode = codec::Code(q, 1);
      r.KyoteijyoName = q.Text(2);
      r.RaceNo = q.I16(3);
      r.WakuNo = q.I16(4);
      r.Course = q.I16(5);
      r.Tyakujyun = q.Text(6);
      r.TyakujyunNo = q.Null(7) ? PlaceNoOf(r.Tyakujyun) : q.I16(7);
      r.StartTiming = codec::Scaled(q, 8, 100);
      const std::int64_t start = q.Int64(9);
      r.StartFlying = start & 1;
      r.StartTimingExists = start & 2;
      r.StartLate = start & 4;
    }
  } catch (...) {
    q.Reset();
    throw;
  }
  q.Reset();
  return races;
}

cRirekiDb::Stats cRirekiDb::Statistics() const {
  Bound();
  const ReadTransaction read(db_, path_);
  Stats s;
  Rows q(db_,
         "SELECT (SELECT count(DISTINCT day) FROM source),"
         " (SELECT count(*) FROM (SELECT day, jyo FROM b_meeting UNION SELECT day, jyo FROM k_meeting)),"
         " (SELECT count(*) FROM (SELECT day, jyo, race_no FROM entrant UNION SELECT day, jyo, race_no FROM result)),"
         " (SELECT count(*) FROM (SELECT sensyu_no FROM entrant UNION SELECT sensyu_no FROM result)),"
         " (SELECT min(day) FROM source), (SELECT max(day) FROM source)",
         path_);
  if (q.next()) {
    s.days = q.Int(0);
    s.venues = q.Int(1);
    s.races = q.Int(2);
    s.racers = q.Int(3);
    s.first = KeyDay(q.Int64(4));
    s.last = KeyDay(q.Int64(5));
  }
  return s;
}

std::vector<ExhibitionEntry> cRirekiDb::Exhibitions(QDate date) const {
  Bound();
  std::vector<ExhibitionEntry> entries;
  Rows q(db_, "SELECT jyo, race_no, waku, tenji, course FROM exhibition WHERE day = ? ORDER BY jyo, race_no, waku",
         path_);
  q.Bind(DayKey(date));
  while (q.next()) {
    const QString code = codec::Code(q, 0);
    const std::int16_t raceNo = q.I16(1);
    if (entries.empty() || entries.back().KyoteijyoCode != code || entries.back().RaceNo != raceNo) {
      entries.push_back(ExhibitionEntry{code, raceNo, {}, {}});
    }
    const std::int64_t w = q.Int64(2) - 1;
    if (w < 0 || w >= cBangumiFile::kBoats) continue;
    ExhibitionEntry& e = entries.back();
    if (!q.Null(3)) e.TenjiTime[static_cast<std::size_t>(w)] = codec::Scaled(q, 3, 100);
    e.Course[static_cast<std::size_t>(w)] = q.I16(4);
  }
  return entries;
}

std::optional<ExhibitionEntry> cRirekiDb::Exhibition(QDate date, const QString& kyoteijyoCode,
                                                     std::int16_t raceNo) const {
  for (ExhibitionEntry& e : Exhibitions(date)) {
    if (e.KyoteijyoCode == kyoteijyoCode && e.RaceNo == raceNo) return std::move(e);
  }
  return std::nullopt;
}

}  // namespace tidewake
