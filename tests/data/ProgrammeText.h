#pragma once

// Builds programme texts line by line, in the columns of the real files, so that each test shows
// only the fields it is about.

#include <QString>
#include <QStringList>

namespace tidewake::test {

struct EntrantFields {
  int boat = 1;
  QString no = QStringLiteral("3501");
  QString name = QStringLiteral("川上昇平");
  QString age = QStringLiteral("54");
  QString pref = QStringLiteral("長崎");
  QString weight = QStringLiteral("55");
  QString cls = QStringLiteral("B1");
  QString zenkoku = QStringLiteral(" 4.92");         // 5 characters
  QString zenkoku2 = QStringLiteral(" 25.30");       // 6
  QString tochi = QStringLiteral(" 5.38");           // 5
  QString tochi2 = QStringLiteral(" 33.85");         // 6
  QString motor = QStringLiteral(" 50");             // separator and two digits, or three digits
  QString motor2 = QStringLiteral(" 30.22");         // 6
  QString boatNo = QStringLiteral(" 12");            // separator and two digits, or three digits
  QString boat2 = QStringLiteral(" 36.62");          // 6
  QString seiseki = QStringLiteral("            ");  // 12
  QString hayami = QStringLiteral(" 8");
};

// " 1 3501川上昇平54長崎55B1 4.92 25.30 5.38 33.85 50 30.22 12 36.62              8"
QString EntrantLine(const EntrantFields& f);

// The six entrants of one race: boat b gets registration number base + b and the given results.
QStringList SixEntrants(int base, const QString& seiseki = QStringLiteral("            "));

// A race header with its closing time: "　１Ｒ  予選 ... 電話投票締切予定１７：４１ ".
QString RaceHeader(int race, const QString& extra = QString());

// A whole venue block as the store holds it: BBGN, venue line, long title, date line, then the
// races, then BEND. `races` lists the lines of each race (header and entrants).
QString Block(const QString& code, int day, const QList<QStringList>& races,
              const QString& title = QStringLiteral("テスト杯"));

// Full-width digits of a number ("12" -> "１２").
QString Wide(int n);

}  // namespace tidewake::test
