// The history database's rows for the analysis pages: a venue's or every venue's races with their
// boats and payouts, a racer's races, a venue's motors as the programme printed them.

#include "history/RirekiRows.h"
#include "history/RirekiSql.h"
#include "history/cRirekiDb.h"

#include <QByteArray>

#include <utility>

namespace tidewake {

using namespace rireki;

namespace {

std::int16_t JyoOf(const Rows& q, int i) {
  if (q.Type(i) == SQLITE_INTEGER) {
    const std::int64_t v = q.Int64(i);
    return v >= 1 && v <= 99 ? static_cast<std::int16_t>(v) : std::int16_t{0};
  }
  const QString code = q.Text(i);
  bool ok = false;
  const int v = code.toInt(&ok);
  return ok && code.size() == 2 && v >= 1 ? static_cast<std::int16_t>(v) : std::int16_t{0};
}

QString JyoCode(std::int16_t jyo) { return QStringLiteral("%1").arg(jyo, 2, 10, QChar(u'0')); }

RaceStatus StatusOf(std::int64_t status) {
  return status >= 0 && status <= static_cast<int>(RaceStatus::Void) ? static_cast<RaceStatus>(status)
                                                                     : RaceStatus::None;
}

// A race's key as SQLite orders the rows of a table keyed (day, jyo, race_no): integers before
// texts, texts by their bytes. The two tables are walked side by side in that order.
struct RaceKey {
  std::int64_t day = 0;
  int jyoType = 0;  // 0 integer, 1 any other
  std::int64_t jyo = 0;
  QByteArray jyoText;
  std::int64_t race = 0;
  bool operator==(const RaceKey&) const = default;
  bool operator<(const RaceKey& o) const {
    if (day != o.day) return day < o.day;
    if (jyoType != o.jyoType) return jyoType < o.jyoType;
    if (jyo != o.jyo) return jyo < o.jyo;
    if (jyoText != o.jyoText) return jyoText.toStdString() < o.jyoText.toStdString();
    return race < o.race;
  }
};

RaceKey KeyOf(const Rows& q) {
  RaceKey k;
  k.day = q.Int64(0);
  if (q.Type(1) == SQLITE_INTEGER) {
    k.jyo = q.Int64(1);
  } else {
    k.jyoType = 1;
    const auto* t = static_cast<const char*>(sqlite3_column_blob(q.handle(), 1));
    k.jyoText = QByteArray(t, sqlite3_column_bytes(q.handle(), 1));
  }
  k.race = q.Int64(2);
  return k;
}

// The columns of a race and of a boat, in the order the two reads give them (day, jyo, race_no
// first); a part not asked for is read as NULL in its place.
QByteArray RaceColumns(const ResultParts& parts) {
  return parts.RaceTexts ? "day, jyo, race_no, status, name, fusoku, kimarite, fuseiritu, payouts"
                         : "day, jyo, race_no, status, NULL, NULL, NULL, fuseiritu, payouts";
}
QByteArray BoatColumns(const ResultParts& parts) {
  return parts.BoatDetails ? "day, jyo, race_no, place, place_no, waku, sensyu_no, motor_no, tenji, course, st, start"
                           : "day, jyo, race_no, place, place_no, waku, NULL, NULL, NULL, course, NULL, start";
}

void ReadBoat(const Rows& q, int at, ResultBoat& b, TextCache& texts) {
  b.Tyakujyun = texts.Column(q, at);
  b.TyakujyunNo = q.Null(at + 1) ? PlaceNoOf(b.Tyakujyun) : q.I16(at + 1);
  b.WakuNo = q.I16(at + 2);
  if (!q.Null(at + 3)) {
    b.SensyuNo = texts.Column(q, at + 3);
    b.MotorNo = texts.Column(q, at + 4);
    b.TenjiTime = codec::Scaled(q, at + 5, 100);
    b.StartTiming = codec::Scaled(q, at + 7, 100);
  }
  b.Course = q.I16(at + 6);
  const std::int64_t start = q.Int64(at + 8);
  b.StartFlying = start & 1;
  b.StartTimingExists = start & 2;
  b.StartLate = start & 4;
}

// Reads a race into `r`, whose vectors keep their room from the race before.
void ReadRace(const Rows& q, ResultRace& r, const QString& path, TextCache& texts, std::uint8_t kinds) {
  r.Date = KeyDay(q.Int64(0));
  r.Jyo = JyoOf(q, 1);
  r.RaceNo = q.I16(2);
  r.Status = StatusOf(q.Int64(3));
  if (!q.Null(4)) {
    r.RaceName = texts.Column(q, 4);
    r.Fusoku = q.I16(5);
    r.Kimarite = texts.Column(q, 6);
  }
  const std::int64_t fuseiritu = q.Int64(7);
  for (int k = 0; k < kKakesikiCount; ++k) r.Fuseiritu[static_cast<std::size_t>(k)] = ((fuseiritu & kinds) >> k) & 1;
  for (auto& kind : r.Payouts) kind.clear();
  if (!q.Null(8)) UnpackPayouts(q.Text(8), r.Payouts, path, &texts, kinds);
  r.Boats.clear();
}

// Walks the races and the boats of one read side by side: each race with the boats of its key.
void Merge(Rows& races, Rows& boats, const QString& path, const std::function<void(const ResultRace&)>& each,
           const std::stop_token& stop, TextCache& texts, std::uint8_t kinds) {
  bool boat = boats.next();
  RaceKey boatKey = boat ? KeyOf(boats) : RaceKey{};
  ResultRace race;
  while (races.next()) {
    if (stop.stop_requested()) return;
    const RaceKey key = KeyOf(races);
    ReadRace(races, race, path, texts, kinds);
    while (boat && boatKey < key) {
      boat = boats.next();
      if (boat) boatKey = KeyOf(boats);
    }
    while (boat && boatKey == key) {
      ReadBoat(boats, 3, race.Boats.emplace_back(), texts);
      boat = boats.next();
      if (boat) boatKey = KeyOf(boats);
    }
    if (!KeyDay(key.day).isValid()) Damaged(path, QStringLiteral("日付 %1 はありえません").arg(key.day));
    each(race);
  }
}

// The days of a venue's meetings from one of the meeting tables, through its (jyo, day) index.
std::vector<std::int64_t> VenueDays(sqlite3* db, const QString& path, const char* table, std::int16_t jyo, QDate from,
                                    QDate to) {
  Rows q(db,
         QStringLiteral("SELECT day FROM %1 WHERE jyo = ? AND day BETWEEN ? AND ? ORDER BY day")
             .arg(QLatin1String(table))
             .toUtf8()
             .constData(),
         path);
  codec::BindCode(q, JyoCode(jyo));
  q.Bind(DayKey(from)).Bind(DayKey(to));
  std::vector<std::int64_t> days;
  while (q.next()) days.push_back(q.Int64(0));
  return days;
}

}  // namespace

void cRirekiDb::ResultRaces(QDate from, QDate to, std::int16_t jyo, const std::function<void(const ResultRace&)>& each,
                            std::stop_token stop, const ResultParts& parts) const {
  Bound();
  const ReadTransaction read(db_, path_);
  TextCache texts;
  auto sql = [](const QByteArray& columns, const char* rest) { return "SELECT " + columns + rest; };
  if (jyo == 0) {
    // Every venue: both tables walked once in key order, never a look-up per race.
    Rows races(db_,
               sql(RaceColumns(parts), " FROM k_race WHERE day BETWEEN ? AND ? ORDER BY day, jyo, race_no").constData(),
               path_);
    Rows boats(
        db_,
        sql(BoatColumns(parts), " FROM result WHERE day BETWEEN ? AND ? ORDER BY day, jyo, race_no, line").constData(),
        path_);
    races.Bind(DayKey(from)).Bind(DayKey(to));
    boats.Bind(DayKey(from)).Bind(DayKey(to));
    Merge(races, boats, path_, each, stop, texts, parts.Payouts);
    return;
  }
  // One venue: its days from the meetings' index, then its rows of each day by key.
  Rows races(db_, sql(RaceColumns(parts), " FROM k_race WHERE day = ? AND jyo = ? ORDER BY race_no").constData(),
             path_);
  Rows boats(db_, sql(BoatColumns(parts), " FROM result WHERE day = ? AND jyo = ? ORDER BY race_no, line").constData(),
             path_);
  for (const std::int64_t day : VenueDays(db_, path_, "k_meeting", jyo, from, to)) {
    if (stop.stop_requested()) return;
    for (Rows* q : {&races, &boats}) {
      q->Reset();
      q->Bind(day);
      codec::BindCode(*q, JyoCode(jyo));
    }
    Merge(races, boats, path_, each, stop, texts, parts.Payouts);
  }
}

std::vector<RacerRace> cRirekiDb::RacerRaces(const QString& sensyuNo, QDate from, QDate to) const {
  Bound();
  const ReadTransaction read(db_, path_);
  Rows q(db_,
         "SELECT r.day, r.jyo, r.race_no, r.place, r.place_no, r.waku, r.sensyu_no, r.motor_no, r.tenji, r.course,"
         " r.st, r.start, m.jyo_name, k.status, k.name, k.kimarite, e.sensyu_no, e.zenkoku, e.class"
         " FROM result r"
         " LEFT JOIN k_meeting m ON m.day = r.day AND m.jyo = r.jyo"
         " LEFT JOIN k_race k ON k.day = r.day AND k.jyo = r.jyo AND k.race_no = r.race_no"
         " LEFT JOIN entrant e ON e.day = r.day AND e.jyo = r.jyo AND e.race_no = r.race_no AND e.waku = r.waku"
         " WHERE r.sensyu_no = ? AND r.day BETWEEN ? AND ? ORDER BY r.day DESC, r.jyo DESC, r.race_no DESC",
         path_);
  codec::BindNumber(q, sensyuNo);
  q.Bind(DayKey(from)).Bind(DayKey(to));
  std::vector<RacerRace> races;
  TextCache texts;
  while (q.next()) {
    RacerRace& r = races.emplace_back();
    r.Date = KeyDay(q.Int64(0));
    if (!r.Date.isValid()) Damaged(path_, QStringLiteral("日付 %1 はありえません").arg(q.Text(0)));
    r.Jyo = JyoOf(q, 1);
    r.RaceNo = q.I16(2);
    ReadBoat(q, 3, r.Boat, texts);
    r.JyoName = q.Text(12);
    r.Status = q.Null(13) ? RaceStatus::None : StatusOf(q.Int64(13));
    r.RaceName = q.Text(14);
    r.Kimarite = q.Text(15);
    r.Programme = !q.Null(16) && codec::Number(q, 16) == r.Boat.SensyuNo;
    if (r.Programme) {
      r.ZenkokuSyoritu = codec::Scaled(q, 17, 100);
      r.SensyuClass = q.Text(18);
    }
  }
  return races;
}

std::vector<ProgrammeMotor> cRirekiDb::ProgrammeMotors(std::int16_t jyo, QDate from, QDate to) const {
  Bound();
  const ReadTransaction read(db_, path_);
  Rows q(db_, "SELECT race_no, waku, motor_no, motor_f FROM entrant WHERE day = ? AND jyo = ? ORDER BY race_no, waku",
         path_);
  std::vector<ProgrammeMotor> motors;
  for (const std::int64_t day : VenueDays(db_, path_, "b_meeting", jyo, from, to)) {
    q.Reset();
    q.Bind(day);
    codec::BindCode(q, JyoCode(jyo));
    while (q.next()) {
      ProgrammeMotor& m = motors.emplace_back();
      m.Date = KeyDay(day);
      m.RaceNo = q.I16(0);
      m.WakuNo = q.I16(1);
      m.MotorNo = codec::Number(q, 2);
      m.MotorFSyoritu = codec::Scaled(q, 3, 100);
    }
  }
  return motors;
}

std::vector<HeldVenue> cRirekiDb::HeldVenues() const {
  Bound();
  // The name of each venue's latest meeting (SQLite gives the row of the max() for a bare column).
  Rows q(db_, "SELECT jyo, jyo_name, max(day) FROM k_meeting GROUP BY jyo ORDER BY jyo", path_);
  std::vector<HeldVenue> venues;
  while (q.next()) {
    const std::int16_t jyo = JyoOf(q, 0);
    if (jyo > 0) venues.push_back({jyo, q.Text(1)});
  }
  return venues;
}

QString cRirekiDb::RacerName(const QString& sensyuNo) const {
  Bound();
  Rows q(db_, "SELECT name, kname FROM racer WHERE sensyu_no = ?", path_);
  codec::BindNumber(q, sensyuNo);
  if (!q.next()) return {};
  return q.Null(0) ? q.Text(1) : q.Text(0);
}

}  // namespace tidewake
