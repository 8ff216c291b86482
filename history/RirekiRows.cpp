#include "history/RirekiRows.h"

#include "platform/RuntimeError.h"
#include "platform/TextUtil.h"

#include <QHash>
#include <QStringTokenizer>

#include <charconv>
#include <cmath>

namespace tidewake::rireki {

namespace {

QString RacePrefix(int raceNo) { return Widen(QStringLiteral("%1R").arg(raceNo, 2)); }

QString ClosingSuffix(const QString& closingHour) {
  return QStringLiteral("電話投票締切予定") + Widen(closingHour.left(5));
}

// The minutes of "hh:mm:00" with mm under 60 (the form HourOf writes back), or nothing when the
// text is not that form. Read digit by digit: it is asked for every race of an import.
std::optional<int> Minutes(const QString& hour) {
  if (hour.size() != 8 || hour[2] != u':' || hour[5] != u':' || hour[6] != u'0' || hour[7] != u'0') return std::nullopt;
  int d[4];
  for (int k = 0; const int i : {0, 1, 3, 4}) {
    if (hour[i] < u'0' || hour[i] > u'9') return std::nullopt;
    d[k++] = hour[i].unicode() - u'0';
  }
  if (d[2] > 5) return std::nullopt;
  return (d[0] * 10 + d[1]) * 60 + d[2] * 10 + d[3];
}

QString HourOf(std::int64_t minutes) {
  return QStringLiteral("%1:%2:00").arg(minutes / 60, 2, 10, QChar(u'0')).arg(minutes % 60, 2, 10, QChar(u'0'));
}

QString Blob(const Rows& r, int i) {
  const auto* b = static_cast<const char*>(sqlite3_column_blob(r.handle(), i));
  return b ? QString::fromUtf8(b, sqlite3_column_bytes(r.handle(), i)) : QString();
}

}  // namespace

QDate KeyDay(std::int64_t k) {
  if (k <= 0 || k > 99991231) return {};
  return QDate(static_cast<int>(k / 10000), static_cast<int>(k / 100 % 100), static_cast<int>(k % 100));
}

std::int16_t PlaceNoOf(const QString& tyakujyun) {
  if (tyakujyun.size() == 2 && tyakujyun[0] == u'0' && tyakujyun[1] >= u'1' && tyakujyun[1] <= u'6') {
    return static_cast<std::int16_t>(tyakujyun[1].unicode() - u'0');
  }
  return 0;
}

QString StartText(float timing, bool flying, bool exists, bool late) {
  if (!exists) return late ? QStringLiteral("L .") : QStringLiteral("K .");
  return (flying ? QStringLiteral("F")
          : late ? QStringLiteral("L")
                 : QString()) +
         QString::number(static_cast<double>(timing), 'f', 2);
}

QString RaceTimeText(float seconds) {
  if (!(seconds > 0) || seconds > 6000) return {};
  // "m.ss.t", written by hand: it is compared with every result line of an import.
  const long tenths = std::lround(static_cast<double>(seconds) * 10);
  char16_t text[8];
  int n = 0;
  const long minutes = tenths / 600, secs = tenths % 600 / 10;
  if (minutes >= 100) text[n++] = static_cast<char16_t>(u'0' + minutes / 100);
  if (minutes >= 10) text[n++] = static_cast<char16_t>(u'0' + minutes / 10 % 10);
  text[n++] = static_cast<char16_t>(u'0' + minutes % 10);
  text[n++] = u'.';
  text[n++] = static_cast<char16_t>(u'0' + secs / 10);
  text[n++] = static_cast<char16_t>(u'0' + secs % 10);
  text[n++] = u'.';
  text[n++] = static_cast<char16_t>(u'0' + tenths % 10);
  return QString(reinterpret_cast<const QChar*>(text), n);
}

int StartFlags(bool flying, bool exists, bool late) { return (flying ? 1 : 0) | (exists ? 2 : 0) | (late ? 4 : 0); }

void RaceTitle(Statement& s, const QString& title, int raceNo, const QString& closingHour) {
  const QString prefix = RacePrefix(raceNo), suffix = ClosingSuffix(closingHour);
  if (!closingHour.isEmpty() && title.size() >= prefix.size() + suffix.size() && title.startsWith(prefix) &&
      title.endsWith(suffix)) {
    s << QStringView(title).mid(prefix.size(), title.size() - prefix.size() - suffix.size());
  } else {
    s.Bytes(title.toUtf8());
  }
}

QString RaceTitle(const Rows& r, int i, int raceNo, const QString& closingHour) {
  if (r.Type(i) == SQLITE_TEXT) return RacePrefix(raceNo) + r.Text(i) + ClosingSuffix(closingHour);
  return Blob(r, i);
}

void ClosingHour(Statement& s, const QString& hour) {
  if (const std::optional<int> m = Minutes(hour)) {
    s << *m;
  } else {
    s << hour;
  }
}

QString ClosingHour(const Rows& r, int i) {
  if (r.Type(i) == SQLITE_INTEGER) {
    const std::int64_t m = r.Int64(i);
    return m >= 0 && m < 100 * 60 ? HourOf(m) : QString();
  }
  return r.Text(i);
}

namespace {

QString Escape(const QString& s) {
  if (!s.contains(u'\\') && !s.contains(u'\t') && !s.contains(u'\n')) return s;
  QString e;
  for (QChar c : s) {
    if (c == u'\\') {
      e += QStringLiteral("\\\\");
    } else if (c == u'\t') {
      e += QStringLiteral("\\t");
    } else if (c == u'\n') {
      e += QStringLiteral("\\n");
    } else {
      e += c;
    }
  }
  return e;
}

QString Unescape(QStringView s) {
  if (!s.contains(u'\\')) return s.toString();
  QString u;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == u'\\' && i + 1 < s.size()) {
      const QChar n = s[++i];
      u += n == u't' ? QChar(u'\t') : n == u'n' ? QChar(u'\n') : n;
    } else {
      u += s[i];
    }
  }
  return u;
}

// One line of a packed list: bet kind, combination, yen, popularity, special.
struct Line {
  int kind = 0;
  QString kumiban;
  std::int32_t yen = 0;
  std::int16_t ninki = 0;
  bool special = false;
};

void AppendNumber(QString& text, std::int64_t v) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
  text.append(QLatin1StringView(digits, end - digits));
}

// Appended in place: a year's import packs some 50,000 races' payouts.
void Pack(QString& text, int kind, const QString& kumiban, std::int32_t yen, std::int16_t ninki, bool special) {
  if (!text.isEmpty()) text += u'\n';
  AppendNumber(text, kind);
  text += u'\t';
  text += Escape(kumiban);
  text += u'\t';
  AppendNumber(text, yen);
  if (ninki != 0 || special) {
    text += u'\t';
    AppendNumber(text, ninki);
  }
  if (special) text += QLatin1StringView("\t1");
}

// Hands each line of a packed list to `take`, read through views of the text (a race's payouts
// are read for years of races at once); refuses a line that is not one, naming it.
template <typename Take>
void Unpack(QStringView text, const QString& path, Take take, TextCache* cache = nullptr, std::uint8_t kinds = 0x7F) {
  for (const QStringView line : QStringTokenizer(text, u'\n')) {
    // A line of a kind not asked for is passed over unread (its first character is its kind).
    const int kind = line.size() > 1 && line[1] == u'\t' ? line[0].unicode() - u'0' : -1;
    if (kind >= 0 && kind < kKakesikiCount && !((kinds >> kind) & 1)) {
      continue;
    }
    std::array<QStringView, 5> f;
    std::size_t n = 0;
    for (const QStringView field : QStringTokenizer(line, u'\t')) {
      if (n < f.size()) f[n] = field;
      ++n;
    }
    bool ok = n >= 3 && n <= 5;
    Line l;
    if (ok) l.kind = f[0].toInt(&ok);
    ok = ok && l.kind >= 0 && l.kind < kKakesikiCount;
    if (ok) l.yen = f[2].toInt(&ok);
    if (ok && n >= 4) l.ninki = f[3].toShort(&ok);
    if (ok && n == 5) ok = f[4] == u"1";
    if (!ok) Damaged(path, QStringLiteral("払戻の行 %1 が読めません").arg(line));
    l.kumiban = cache && !f[1].contains(u'\\') ? cache->Text(f[1]) : Unescape(f[1]);
    l.special = n == 5;
    take(l);
  }
}

}  // namespace

QString PackPayouts(const cKekkaFile::Race& race) {
  QString text;
  text.reserve(256);
  for (int k = 0; k < kKakesikiCount; ++k) {
    for (const cKekkaFile::Haraimodosi& h : race.payouts[k]) Pack(text, k, h.Kumiban, h.Kingaku, h.Ninki, h.Tokubarai);
  }
  return text;
}

void UnpackPayouts(const QString& text, cKekkaFile::Race& race, const QString& path) {
  UnpackPayouts(text, race.payouts, path);
}

void UnpackPayouts(const QString& text, std::array<std::vector<cKekkaFile::Haraimodosi>, kKakesikiCount>& payouts,
                   const QString& path, TextCache* cache, std::uint8_t kinds) {
  Unpack(
      text, path,
      [&](const Line& l) {
        payouts[l.kind].push_back({l.kumiban, l.yen, l.ninki, l.special});
      },
      cache, kinds);
}

QString TextCache::Utf8(const char* bytes, int size) {
  const QByteArray key = QByteArray::fromRawData(bytes, size);
  const auto found = bytes_.constFind(key);
  if (found != bytes_.cend()) return *found;
  const QString text = QString::fromUtf8(bytes, size);
  bytes_.insert(QByteArray(bytes, size), text);
  return text;
}

QString TextCache::Text(QStringView text) {
  const QString key = QString::fromRawData(text.data(), text.size());
  const auto found = texts_.constFind(key);
  if (found != texts_.cend()) return *found;
  const QString kept = text.toString();
  texts_.insert(kept, kept);
  return kept;
}

QString TextCache::Number(std::int64_t n) {
  const auto found = numbers_.constFind(n);
  if (found != numbers_.cend()) return *found;
  return *numbers_.insert(n, QString::number(n));
}

QString TextCache::Column(const Rows& r, int i) {
  if (r.Type(i) == SQLITE_INTEGER) return Number(r.Int64(i));
  const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(r.handle(), i));
  return t ? Utf8(t, sqlite3_column_bytes(r.handle(), i)) : QString();
}

Summary SummaryOf(const cKekkaFile::Race& race) {
  Summary s;
  for (Kakesiki k : {Kakesiki::Nirentan, Kakesiki::Nirenfuku, Kakesiki::Sanrentan, Kakesiki::Sanrenfuku}) {
    const int i = static_cast<int>(k);
    for (const cKekkaFile::Haraimodosi& h : race.payouts[i]) s[i].push_back({h.Kumiban, h.Kingaku, h.Tokubarai});
  }
  return s;
}

bool SameSummary(const Summary& a, const Summary& b) {
  for (int k = 0; k < kKakesikiCount; ++k) {
    if (a[k].size() != b[k].size()) return false;
    for (std::size_t i = 0; i < a[k].size(); ++i) {
      if (a[k][i].Kumiban != b[k][i].Kumiban || a[k][i].Kingaku != b[k][i].Kingaku ||
          a[k][i].Tokubarai != b[k][i].Tokubarai) {
        return false;
      }
    }
  }
  return true;
}

QString PackSummary(const Summary& summary) {
  QString text;
  for (int k = 0; k < kKakesikiCount; ++k) {
    for (const cKekkaFile::Matome& m : summary[k]) Pack(text, k, m.Kumiban, m.Kingaku, 0, m.Tokubarai);
  }
  return text;
}

void UnpackSummary(const QString& text, Summary& summary, const QString& path) {
  Unpack(text, path, [&](const Line& l) { summary[l.kind].push_back({l.kumiban, l.yen, l.special}); });
}

void UnpackSummaryV3(const QString& text, Summary& summary) {
  for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
    const QStringList f = line.split(u'\t');
    const int k = f.value(0).toInt();
    if (f.size() != 4 || k < 0 || k >= kKakesikiCount) continue;
    summary[k].push_back(cKekkaFile::Matome{f[1], f[2].toInt(), f[3] == u"1"});
  }
}

float TokutenrituOf(const QString& seiseki) { return cBangumiFile::TokutenrituOf(seiseki); }

// ---------------------------------------------------------------------------------------------
// The rows of version 3, for the upgrade: every value kept as it was recorded, read day by day.

V3Reader::V3Reader(sqlite3* db, const QString& path) : db_(db), path_(path) {}

std::vector<int> V3Reader::Days() {
  std::vector<int> days;
  Rows q(db_, "SELECT day FROM v3_source UNION SELECT day FROM v3_meeting ORDER BY 1", path_);
  while (q.next()) {
    const QDate d = q.Type(0) == SQLITE_INTEGER ? KeyDay(q.Int64(0)) : QDate();
    if (!d.isValid()) Damaged(path_, QStringLiteral("日付 %1 はありえません").arg(q.Text(0)));
    days.push_back(static_cast<int>(q.Int64(0)));
  }
  return days;
}

DayRecord V3Reader::Day(int day, QString& programmeHash, QString& resultsHash) {
  DayRecord d{KeyDay(day), {}, {}};
  programmeHash.clear();
  resultsHash.clear();
  {
    Rows q(db_, "SELECT kind, sha256 FROM v3_source WHERE day = ?", path_);
    q.Bind(day);
    while (q.next()) (q.Text(0) == u"B" ? programmeHash : resultsHash) = q.Text(1);
  }
  // By venue code: the index of its card and of its results in the day.
  QHash<QString, std::size_t> cards, venues;
  {
    Rows q(db_,
           "SELECT kind, jyo, jyo_name, title, title_long, race_date, total_day, race_numbers,"
           " participation_numbers, participants, notice FROM v3_meeting WHERE day = ? ORDER BY kind, ord",
           path_);
    q.Bind(day);
    while (q.next()) {
      const QString kind = q.Text(0), jyo = q.Text(1);
      if (kind == u"B") {
        if (cards.contains(jyo)) Damaged(path_, QStringLiteral("%1 の競艇場 %2 が二つあります").arg(day).arg(jyo));
        cards.insert(jyo, d.cards.size());
        cBangumiFile::Card& c = d.cards.emplace_back();
        c.KyoteijyoCode = jyo;
        c.Title = q.Text(3);
        c.TitleLong = q.Text(4);
        c.RaceDate = q.Text(5);
        c.TotalDay = q.I16(6);
        c.RaceNumbers = q.I16(7);
        c.ParticipationNumbers = q.I16(8);
        c.participants = q.Null(9) ? QStringList() : q.Text(9).split(u',');
        c.Notice = q.Text(10);
      } else if (kind == u"K") {
        if (venues.contains(jyo)) Damaged(path_, QStringLiteral("%1 の競艇場 %2 が二つあります").arg(day).arg(jyo));
        venues.insert(jyo, d.results.size());
        cKekkaFile::Venue& v = d.results.emplace_back();
        v.KyoteijyoCode = jyo;
        v.KyoteijyoName = q.Text(2);
        v.Title = q.Text(3);
        v.TitleLong = q.Text(4);
        v.RaceDate = q.Text(5);
        v.TotalDay = q.I16(6);
        v.Notice = q.Text(10);
      } else {
        Damaged(path_, QStringLiteral("開催の種類 %1 はありえません").arg(kind));
      }
    }
  }
  auto raceIndex = [&](const Rows& q, int i, int races) {
    const std::int64_t r = q.Int64(i) - 1;
    if (r < 0 || r >= races) Damaged(path_, QStringLiteral("%1 のレース番号 %2 はありえません").arg(day).arg(r + 1));
    return static_cast<int>(r);
  };
  {
    Rows q(db_,
           "SELECT kind, jyo, race_no, name, closing_hour, vote_type, course_fix, header, kyori, tenko, kaze_muki,"
           " fusoku, hakou, kimarite, fuseiritu, bikou, status, summary FROM v3_race WHERE day = ?",
           path_);
    q.Bind(day);
    while (q.next()) {
      const QString kind = q.Text(0), jyo = q.Text(1);
      if (kind == u"B" && cards.contains(jyo)) {
        cBangumiFile::Race& rc = d.cards[cards[jyo]].races[raceIndex(q, 2, cBangumiFile::kMaxRace)];
        rc.RaceTitle = q.Text(3);
        rc.ClosingHour = q.Text(4);
        rc.VoteType = q.I16(5);
        rc.CourseFix = q.Bool(6);
      } else if (kind == u"K" && venues.contains(jyo)) {
        cKekkaFile::Race& rc = d.results[venues[jyo]].races[raceIndex(q, 2, cKekkaFile::kMaxRace)];
        rc.RaceName = q.Text(3);
        rc.CourseFix = q.Bool(6);
        rc.Exists = q.Bool(7);
        rc.Kyori = q.I16(8);
        rc.Tenko = q.Text(9);
        rc.KazeMuki = q.Text(10);
        rc.Fusoku = q.I16(11);
        rc.Hakou = q.I16(12);
        rc.Kimarite = q.Text(13);
        const std::int64_t fuseiritu = q.Int64(14);
        for (int k = 0; k < kKakesikiCount; ++k) rc.fuseiritu[k] = (fuseiritu >> k) & 1;
        rc.bikou = q.Null(15) ? QStringList() : q.Text(15).split(u'\n');
        const std::int64_t status = q.Int64(16);
        if (status < 0 || status > static_cast<int>(RaceStatus::Void)) {
          Damaged(path_, QStringLiteral("%1 のレースの状態 %2 はありえません").arg(day).arg(status));
        }
        rc.Status = static_cast<RaceStatus>(status);
        if (!q.Null(17)) UnpackSummaryV3(q.Text(17), rc.matome);
      }
    }
  }
  {
    Rows q(db_, "SELECT * FROM v3_entrant WHERE day = ?", path_);
    q.Bind(day);
    while (q.next()) {
      const QString jyo = q.Text(1);
      if (!cards.contains(jyo)) continue;
      const std::int64_t w = q.Int64(3) - 1;
      if (w < 0 || w >= cBangumiFile::kBoats)
        Damaged(path_, QStringLiteral("%1 の艇番 %2 はありえません").arg(day).arg(w + 1));
      cBangumiFile::Entrant& e =
          d.cards[cards[jyo]].races[raceIndex(q, 2, cBangumiFile::kMaxRace)].boats[static_cast<std::size_t>(w)];
      e.SensyuNo = q.Text(4);
      e.SensyuName = q.Text(5);
      e.SensyuBirthplace = q.Text(6);
      e.SensyuClass = q.Text(7);
      e.SensyuAge = q.I16(8);
      e.SensyuWeight = q.I16(9);
      e.SensyuZenkokuSyoritu = static_cast<float>(q.Real(10));
      e.SensyuZenkokuFSyoritu = static_cast<float>(q.Real(11));
      e.SensyuTochiSyoritu = static_cast<float>(q.Real(12));
      e.SensyuTochiFSyoritu = static_cast<float>(q.Real(13));
      e.MotorNo = q.Text(14);
      e.MotorFSyoritu = static_cast<float>(q.Real(15));
      e.BoatNo = q.Text(16);
      e.BoatFSyoritu = static_cast<float>(q.Real(17));
      e.Seiseki = q.Text(18);
      e.Hayami = q.I16(19);
      e.Tokutenritu = static_cast<float>(q.Real(20));
      e.TokutenrituOrder = q.I16(21);
      e.Tansyoritu = static_cast<float>(q.Real(22));
    }
  }
  {
    Rows q(db_, "SELECT * FROM v3_result WHERE day = ? ORDER BY jyo, race_no, line", path_);
    q.Bind(day);
    while (q.next()) {
      const QString jyo = q.Text(1);
      if (!venues.contains(jyo)) continue;
      cKekkaFile::Boat& b = d.results[venues[jyo]].races[raceIndex(q, 2, cKekkaFile::kMaxRace)].boats.emplace_back();
      b.Tyakujyun = q.Text(4);
      b.TyakujyunNo = q.I16(5);
      b.WakuNo = q.I16(6);
      b.SensyuNo = q.Text(7);
      b.SensyuName = q.Text(8);
      b.MotorNo = q.Text(9);
      b.BoatNo = q.Text(10);
      b.TenjiTime = static_cast<float>(q.Real(11));
      b.Course = q.I16(12);
      b.StartTimingText = q.Text(13);
      b.StartTiming = static_cast<float>(q.Real(14));
      b.StartFlying = q.Bool(15);
      b.StartTimingExists = q.Bool(16);
      b.RaceTime = q.Text(17);
      b.RaceTimeSeconds = static_cast<float>(q.Real(18));
      b.StartLate = q.Bool(19);
    }
  }
  {
    Rows q(db_, "SELECT * FROM v3_payout WHERE day = ? ORDER BY jyo, race_no, kakesiki, idx", path_);
    q.Bind(day);
    while (q.next()) {
      const QString jyo = q.Text(1);
      if (!venues.contains(jyo)) continue;
      const std::int64_t k = q.Int64(3);
      if (k < 0 || k >= kKakesikiCount) Damaged(path_, QStringLiteral("%1 の賭式 %2 はありえません").arg(day).arg(k));
      cKekkaFile::Haraimodosi& h = d.results[venues[jyo]]
                                       .races[raceIndex(q, 2, cKekkaFile::kMaxRace)]
                                       .payouts[static_cast<std::size_t>(k)]
                                       .emplace_back();
      h.Kumiban = q.Text(5);
      h.Kingaku = static_cast<std::int32_t>(q.Int64(6));
      h.Ninki = q.I16(7);
      h.Tokubarai = q.Bool(8);
    }
  }
  return d;
}

}  // namespace tidewake::rireki
