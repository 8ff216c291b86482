#include "tests/data/ProgrammeText.h"

#include "platform/TextUtil.h"

namespace tidewake::test {

QString Wide(int n) { return Widen(QString::number(n)); }

QString EntrantLine(const EntrantFields& f) {
  return QString::number(f.boat) + u' ' + f.no + f.name + f.age + f.pref + f.weight + f.cls + f.zenkoku + f.zenkoku2 +
         f.tochi + f.tochi2 + f.motor + f.motor2 + f.boatNo + f.boat2 + u' ' + f.seiseki + f.hayami;
}

QStringList SixEntrants(int base, const QString& seiseki) {
  QStringList out;
  for (int b = 1; b <= 6; ++b) {
    EntrantFields f;
    f.boat = b;
    f.no = QString::number(base + b);
    f.seiseki = seiseki;
    f.hayami = QStringLiteral("  ");
    out << EntrantLine(f);
  }
  return out;
}

QString RaceHeader(int race, const QString& extra) {
  QString r = Wide(race).rightJustified(2, QChar(0x3000)) + QStringLiteral("Ｒ  予選　　　　");
  r += extra.isEmpty() ? QStringLiteral("          ") : extra;
  return r + QStringLiteral("Ｈ１８００ｍ  電話投票締切予定１７：４１ ");
}

QString Block(const QString& code, int day, const QList<QStringList>& races, const QString& title) {
  QStringList lines;
  lines << code + QStringLiteral("BBGN");
  lines << QStringLiteral("ボートレース大　村   　１月　１日  ") + title + QStringLiteral("  第　") + Wide(day) +
               QStringLiteral("日");
  lines << QStringLiteral("          ") + title + QStringLiteral("　　　　　");
  lines << QStringLiteral("   第　") + Wide(day) +
               QStringLiteral("日          ２０２４年　１月　１日                  ボートレース大　村");
  for (const QStringList& race : races) lines << race;
  lines << code + QStringLiteral("BEND");
  return lines.join(u'\n') + u'\n';
}

}  // namespace tidewake::test
