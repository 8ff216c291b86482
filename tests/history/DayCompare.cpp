#include "tests/history/DayCompare.h"

#include "data/mDayFile.h"

namespace tidewake::test {

namespace {

QString Text(const QString& s) { return u'"' + s + u'"'; }
QString Text(const QStringList& l) { return u'[' + l.join(u'|') + u']'; }
QString Text(float f) { return QString::number(f, 'g', 9); }
template <typename T>
QString Text(T v) {
  return QString::number(static_cast<long long>(v));
}

// Compares one field; the first difference is kept with where it was found.
struct Diff {
  QString first;
  template <typename T>
  void Field(const QString& where, const T& a, const T& b) {
    if (first.isEmpty() && !(a == b)) first = where + QStringLiteral(": ") + Text(a) + QStringLiteral(" / ") + Text(b);
  }
};

QString At(const QString& base, int r, int b = -1) {
  return base + QStringLiteral(" R%1").arg(r + 1) + (b >= 0 ? QStringLiteral(" #%1").arg(b + 1) : QString());
}

}  // namespace

QString CardDifference(const cBangumiFile::Card& a, const cBangumiFile::Card& b) {
  Diff d;
  const QString v = QStringLiteral("venue ") + a.KyoteijyoCode;
  d.Field(v + " code", a.KyoteijyoCode, b.KyoteijyoCode);
  d.Field(v + " Title", a.Title, b.Title);
  d.Field(v + " TitleLong", a.TitleLong, b.TitleLong);
  d.Field(v + " RaceDate", a.RaceDate, b.RaceDate);
  d.Field(v + " TotalDay", a.TotalDay, b.TotalDay);
  d.Field(v + " RaceNumbers", a.RaceNumbers, b.RaceNumbers);
  d.Field(v + " ParticipationNumbers", a.ParticipationNumbers, b.ParticipationNumbers);
  d.Field(v + " participants", a.participants, b.participants);
  d.Field(v + " Notice", a.Notice, b.Notice);
  for (int r = 0; r < cBangumiFile::kMaxRace; ++r) {
    const auto &x = a.races[r], &y = b.races[r];
    d.Field(At(v, r) + " RaceTitle", x.RaceTitle, y.RaceTitle);
    d.Field(At(v, r) + " ClosingHour", x.ClosingHour, y.ClosingHour);
    d.Field(At(v, r) + " VoteType", x.VoteType, y.VoteType);
    d.Field(At(v, r) + " CourseFix", x.CourseFix, y.CourseFix);
    for (int w = 0; w < cBangumiFile::kBoats; ++w) {
      const auto &e = x.boats[w], &f = y.boats[w];
      const QString at = At(v, r, w);
      d.Field(at + " SensyuNo", e.SensyuNo, f.SensyuNo);
      d.Field(at + " SensyuName", e.SensyuName, f.SensyuName);
      d.Field(at + " SensyuBirthplace", e.SensyuBirthplace, f.SensyuBirthplace);
      d.Field(at + " SensyuClass", e.SensyuClass, f.SensyuClass);
      d.Field(at + " MotorNo", e.MotorNo, f.MotorNo);
      d.Field(at + " BoatNo", e.BoatNo, f.BoatNo);
      d.Field(at + " Seiseki", e.Seiseki, f.Seiseki);
      d.Field(at + " SensyuAge", e.SensyuAge, f.SensyuAge);
      d.Field(at + " SensyuWeight", e.SensyuWeight, f.SensyuWeight);
      d.Field(at + " Hayami", e.Hayami, f.Hayami);
      d.Field(at + " TokutenrituOrder", e.TokutenrituOrder, f.TokutenrituOrder);
      d.Field(at + " SensyuZenkokuSyoritu", e.SensyuZenkokuSyoritu, f.SensyuZenkokuSyoritu);
      d.Field(at + " SensyuZenkokuFSyoritu", e.SensyuZenkokuFSyoritu, f.SensyuZenkokuFSyoritu);
      d.Field(at + " SensyuTochiSyoritu", e.SensyuTochiSyoritu, f.SensyuTochiSyoritu);
      d.Field(at + " SensyuTochiFSyoritu", e.SensyuTochiFSyoritu, f.SensyuTochiFSyoritu);
      d.Field(at + " MotorFSyoritu", e.MotorFSyoritu, f.MotorFSyoritu);
      d.Field(at + " BoatFSyoritu", e.BoatFSyoritu, f.BoatFSyoritu);
      d.Field(at + " Tokutenritu", e.Tokutenritu, f.Tokutenritu);
      d.Field(at + " Tansyoritu", e.Tansyoritu, f.Tansyoritu);
    }
  }
  return d.first;
}

QString VenueDifference(const cKekkaFile::Venue& a, const cKekkaFile::Venue& b) {
  Diff d;
  const QString v = QStringLiteral("venue ") + a.KyoteijyoCode;
  d.Field(v + " code", a.KyoteijyoCode, b.KyoteijyoCode);
  d.Field(v + " name", a.KyoteijyoName, b.KyoteijyoName);
  d.Field(v + " Title", a.Title, b.Title);
  d.Field(v + " TitleLong", a.TitleLong, b.TitleLong);
  d.Field(v + " RaceDate", a.RaceDate, b.RaceDate);
  d.Field(v + " TotalDay", a.TotalDay, b.TotalDay);
  d.Field(v + " Notice", a.Notice, b.Notice);
  for (int r = 0; r < cKekkaFile::kMaxRace; ++r) {
    const auto &x = a.races[r], &y = b.races[r];
    d.Field(At(v, r) + " Exists", x.Exists, y.Exists);
    d.Field(At(v, r) + " Status", static_cast<int>(x.Status), static_cast<int>(y.Status));
    d.Field(At(v, r) + " RaceName", x.RaceName, y.RaceName);
    d.Field(At(v, r) + " Tenko", x.Tenko, y.Tenko);
    d.Field(At(v, r) + " KazeMuki", x.KazeMuki, y.KazeMuki);
    d.Field(At(v, r) + " Kimarite", x.Kimarite, y.Kimarite);
    d.Field(At(v, r) + " Kyori", x.Kyori, y.Kyori);
    d.Field(At(v, r) + " Fusoku", x.Fusoku, y.Fusoku);
    d.Field(At(v, r) + " Hakou", x.Hakou, y.Hakou);
    d.Field(At(v, r) + " CourseFix", x.CourseFix, y.CourseFix);
    d.Field(At(v, r) + " bikou", x.bikou, y.bikou);
    d.Field(At(v, r) + " boats", x.boats.size(), y.boats.size());
    for (std::size_t i = 0; i < std::min(x.boats.size(), y.boats.size()); ++i) {
      const auto &e = x.boats[i], &f = y.boats[i];
      const QString at = At(v, r, static_cast<int>(i));
      d.Field(at + " Tyakujyun", e.Tyakujyun, f.Tyakujyun);
      d.Field(at + " SensyuNo", e.SensyuNo, f.SensyuNo);
      d.Field(at + " SensyuName", e.SensyuName, f.SensyuName);
      d.Field(at + " MotorNo", e.MotorNo, f.MotorNo);
      d.Field(at + " BoatNo", e.BoatNo, f.BoatNo);
      d.Field(at + " StartTimingText", e.StartTimingText, f.StartTimingText);
      d.Field(at + " RaceTime", e.RaceTime, f.RaceTime);
      d.Field(at + " TyakujyunNo", e.TyakujyunNo, f.TyakujyunNo);
      d.Field(at + " WakuNo", e.WakuNo, f.WakuNo);
      d.Field(at + " Course", e.Course, f.Course);
      d.Field(at + " TenjiTime", e.TenjiTime, f.TenjiTime);
      d.Field(at + " StartTiming", e.StartTiming, f.StartTiming);
      d.Field(at + " RaceTimeSeconds", e.RaceTimeSeconds, f.RaceTimeSeconds);
      d.Field(at + " StartFlying", e.StartFlying, f.StartFlying);
      d.Field(at + " StartTimingExists", e.StartTimingExists, f.StartTimingExists);
      d.Field(at + " StartLate", e.StartLate, f.StartLate);
    }
    for (int k = 0; k < kKakesikiCount; ++k) {
      const QString at = At(v, r) + QStringLiteral(" bet %1").arg(k);
      d.Field(at + " fuseiritu", x.fuseiritu[k], y.fuseiritu[k]);
      d.Field(at + " summary lines", x.matome[k].size(), y.matome[k].size());
      for (std::size_t i = 0; i < std::min(x.matome[k].size(), y.matome[k].size()); ++i) {
        d.Field(at + " summary", x.matome[k][i].Kumiban, y.matome[k][i].Kumiban);
        d.Field(at + " summary yen", x.matome[k][i].Kingaku, y.matome[k][i].Kingaku);
        d.Field(at + " summary special", x.matome[k][i].Tokubarai, y.matome[k][i].Tokubarai);
      }
      d.Field(at + " payouts", x.payouts[k].size(), y.payouts[k].size());
      for (std::size_t i = 0; i < std::min(x.payouts[k].size(), y.payouts[k].size()); ++i) {
        d.Field(at + " Kumiban", x.payouts[k][i].Kumiban, y.payouts[k][i].Kumiban);
        d.Field(at + " Kingaku", x.payouts[k][i].Kingaku, y.payouts[k][i].Kingaku);
        d.Field(at + " Ninki", x.payouts[k][i].Ninki, y.payouts[k][i].Ninki);
        d.Field(at + " Tokubarai", x.payouts[k][i].Tokubarai, y.payouts[k][i].Tokubarai);
      }
    }
  }
  return d.first;
}

QString DayDifference(const DayRecord& a, const DayRecord& b) {
  if (a.date != b.date) return QStringLiteral("date ") + a.date.toString() + " / " + b.date.toString();
  if (a.cards.size() != b.cards.size()) return QStringLiteral("cards %1 / %2").arg(a.cards.size()).arg(b.cards.size());
  if (a.results.size() != b.results.size()) {
    return QStringLiteral("results %1 / %2").arg(a.results.size()).arg(b.results.size());
  }
  for (std::size_t i = 0; i < a.cards.size(); ++i) {
    if (QString d = CardDifference(a.cards[i], b.cards[i]); !d.isEmpty()) return d;
  }
  for (std::size_t i = 0; i < a.results.size(); ++i) {
    if (QString d = VenueDifference(a.results[i], b.results[i]); !d.isEmpty()) return d;
  }
  return {};
}

QByteArray DayBytes(const QString& path, ArchiveKind kind) { return DayFileOpen(path, kind).bytes; }

std::vector<cKekkaFile::Venue> ReadVenues(QByteArrayView bytes) {
  std::vector<cKekkaFile::Venue> venues;
  cKekkaFile::ReadAll(bytes, [&](const cKekkaFile::Venue& v) { venues.push_back(v); });
  return venues;
}

}  // namespace tidewake::test
