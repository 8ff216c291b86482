#include "analysis/mRaceFacts.h"

namespace tidewake::mRaceFacts {

namespace {

const std::array<QString, kKimarite> kKimariteNames{QStringLiteral("逃げ"),   QStringLiteral("差し"),
                                                    QStringLiteral("まくり"), QStringLiteral("まくり差し"),
                                                    QStringLiteral("抜き"),   QStringLiteral("恵まれ")};

// Without the blanks, half- or full-width, the results pad their texts with.
QString Bare(const QString& s) {
  QString t = s;
  t.remove(u' ').remove(QChar(0x3000));
  return t;
}

}  // namespace

Kimarite KimariteOf(const QString& printed) {
  const QString k = Bare(printed);
  for (int i = 0; i < kKimarite; ++i) {
    if (k == kKimariteNames[static_cast<std::size_t>(i)]) return static_cast<Kimarite>(i);
  }
  return Kimarite::Other;
}

QString KimariteName(Kimarite k) {
  const int i = static_cast<int>(k);
  return i >= 0 && i < kKimarite ? kKimariteNames[static_cast<std::size_t>(i)] : QStringLiteral("その他");
}

bool Refunded(const ResultBoat& boat) {
  const QChar first = boat.Tyakujyun.isEmpty() ? QChar() : boat.Tyakujyun[0];
  return boat.StartFlying || boat.StartLate || first == u'F' || first == u'L' || first == u'K';
}

const ResultBoat* BoatInCourse(const ResultRace& race, int course) {
  for (const ResultBoat& b : race.Boats) {
    if (b.Course == course && Started(b)) return &b;
  }
  return nullptr;
}

const ResultBoat* BoatOf(const ResultRace& race, int waku) {
  for (const ResultBoat& b : race.Boats) {
    if (b.WakuNo == waku) return &b;
  }
  return nullptr;
}

int RaceBand(int raceNo) { return raceNo >= 1 && raceNo <= 12 ? (raceNo - 1) / 4 : -1; }

QString RaceBandName(int band) { return QStringLiteral("%1～%2R").arg(band * 4 + 1).arg(band * 4 + 4); }

int WindBand(int metres) {
  if (metres <= 2) return 0;
  if (metres <= 4) return 1;
  if (metres <= 6) return 2;
  return 3;
}

QString WindBandName(int band) {
  switch (band) {
    case 0:
      return QStringLiteral("風 0～2m");
    case 1:
      return QStringLiteral("風 3～4m");
    case 2:
      return QStringLiteral("風 5～6m");
    default:
      return QStringLiteral("風 7m以上");
  }
}

RaceClass RaceClassOf(const QString& raceName) {
  const QString n = Bare(raceName);
  if (n.contains(QStringLiteral("準優勝"))) return RaceClass::Junyusyo;
  if (n.contains(QStringLiteral("優勝戦")) && !n.contains(QStringLiteral("準優"))) return RaceClass::Yusyo;
  if (n.contains(QStringLiteral("予選")) || n.endsWith(QStringLiteral("予"))) return RaceClass::Yosen;
  if (n.contains(QStringLiteral("一般"))) return RaceClass::Ippan;
  for (const char16_t* word : {u"特選", u"選抜", u"特賞", u"特別", u"ドリーム"}) {
    if (n.contains(QStringView(word))) return RaceClass::Tokusen;
  }
  return RaceClass::Other;
}

QString RaceClassName(RaceClass c) {
  switch (c) {
    case RaceClass::Yosen:
      return QStringLiteral("予選");
    case RaceClass::Ippan:
      return QStringLiteral("一般");
    case RaceClass::Tokusen:
      return QStringLiteral("特選・選抜");
    case RaceClass::Junyusyo:
      return QStringLiteral("準優勝戦");
    case RaceClass::Yusyo:
      return QStringLiteral("優勝戦");
    case RaceClass::Other:
      break;
  }
  return QStringLiteral("その他");
}

}  // namespace tidewake::mRaceFacts
