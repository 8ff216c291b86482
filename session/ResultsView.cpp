#include "session/ResultsView.h"

#include "platform/Format.h"
#include "sim/mMain.h"

#include <QLocale>

namespace tidewake {

const QString kMissMark = QStringLiteral("✕");

namespace {

const QString kNoResult = QStringLiteral("成績なし");
const QString kCancelled = QStringLiteral("中止");
const QString kVoid = QStringLiteral("レース不成立");

// "1" for a place ("01"), the printed text otherwise ("F", "K0", "S1"); the "00" a void race
// prints for a boat is no place.
QString PlaceText(const cKekkaFile::Boat& b) {
  if (b.TyakujyunNo != 0) return QString::number(b.TyakujyunNo);
  return b.Tyakujyun == u"00" ? QStringLiteral("－") : b.Tyakujyun;
}

// The timing as the official results print it: "0.08", "F0.01" for a flying start, "L1.99" for a
// late one ("L" alone when no figure is printed); empty for a boat that did not start.
QString StartText(const cKekkaFile::Boat& b) {
  const QString mark = b.StartFlying ? QStringLiteral("F") : b.StartLate ? QStringLiteral("L") : QString();
  if (!b.StartTimingExists) return mark;
  return mark + FormatNumber(b.StartTiming, u"0.00");
}

QString CourseDigit(std::int16_t c) { return c >= 1 && c <= 6 ? QString::number(c) : QStringLiteral("－"); }

void AddPayouts(ResultsView& view, const cKekkaFile::Race& race) {
  const QLocale yen(QLocale::Japanese, QLocale::Japan);
  for (int kind = 0; kind < kKakesikiCount; ++kind) {
    const QString name = cKekkaFile::KakesikiName(static_cast<Kakesiki>(kind));
    if (race.fuseiritu[static_cast<std::size_t>(kind)]) {
      view.payouts.push_back({name, QStringLiteral("不成立"), QString(), QString()});
      continue;
    }
    // Every combination paid (both of a dead heat); a special payout in place of one, with its
    // yen when the file gives it.
    bool first = true;
    for (const cKekkaFile::Haraimodosi& p : race.payouts[static_cast<std::size_t>(kind)]) {
      view.payouts.push_back(
          {first ? name : QString(), p.Tokubarai ? QStringLiteral("特払い") : p.Kumiban,
           p.Kingaku > 0 || !p.Tokubarai ? yen.toString(p.Kingaku) + QStringLiteral("円") : QString(),
           p.Ninki > 0 ? QString::number(p.Ninki) : QString()});
      first = false;
    }
  }
}

}  // namespace

QString DayMismatchText(const QString& strBangumiDate, const QString& strKekkaDate) {
  return QStringLiteral("成績ファイルの日付 %1 が番組の日付 %2 と違うため、成績を表示しません。")
      .arg(FormatDate(strKekkaDate, u"yyyy/m/d"), FormatDate(strBangumiDate, u"yyyy/m/d"));
}

ResultsView ResultsRaceView(const cKekkaFile::Venue* venue, std::int16_t intJyoCode, std::int16_t intRaceNo,
                            const std::optional<CourseTable>& predicted) {
  ResultsView view;
  const QString where = QStringLiteral("%1 %2R").arg(JyoNameGet(intJyoCode)).arg(intRaceNo);
  view.title = where;
  view.message = kNoResult;
  if (!venue || venue->KyoteijyoCode.toInt() != intJyoCode || intRaceNo < 1 || intRaceNo > cKekkaFile::kMaxRace) {
    return view;
  }
  const cKekkaFile::Race& race = venue->races[static_cast<std::size_t>(intRaceNo - 1)];
  const QString date = FormatDate(venue->RaceDate, u"yyyy/m/d");
  // A race called off, or one the file does not complete, shows no table at all; a block whose
  // day is not in yet says so in its own words.
  if (race.Status == RaceStatus::Cancelled) {
    view.title = where + QStringLiteral("  ") + date;
    view.message = kCancelled;
    return view;
  }
  if (race.Status != RaceStatus::Held && race.Status != RaceStatus::Void) {
    if (!venue->Notice.isEmpty()) view.message = venue->Notice;
    return view;
  }
  view.title = QStringLiteral("%1 %2%3  %4m  %5")
                   .arg(where, race.RaceName, race.CourseFix ? QStringLiteral(" 進入固定") : QString())
                   .arg(race.Kyori)
                   .arg(date);
  view.weather =
      QStringLiteral("天候 %1  風 %2 %3m  波 %4cm").arg(race.Tenko, race.KazeMuki).arg(race.Fusoku).arg(race.Hakou);
  // A void race keeps its boats and their timings, and says it paid nothing.
  view.message = race.Status == RaceStatus::Void ? kVoid : QString();
  for (const cKekkaFile::Boat& b : race.boats) {
    ResultsView::Boat boat;
    boat.place = PlaceText(b);
    boat.waku = b.WakuNo;
    boat.sensyuNo = b.SensyuNo;
    boat.name = b.SensyuName;
    boat.tenji = b.TenjiTime > 0 ? FormatNumber(b.TenjiTime, u"0.00") : QString();
    // Predicted → actual; a mark only where both are known and differ.
    const std::int16_t course = predicted ? predicted->Course(b.WakuNo) : std::int16_t{0};
    boat.missed = course != 0 && b.Course != 0 && course != b.Course;
    boat.course = CourseDigit(course) + QStringLiteral("→") + CourseDigit(b.Course) +
                  (boat.missed ? u' ' + kMissMark : QString());
    boat.start = StartText(b);
    boat.time = b.RaceTime;
    view.boats.push_back(boat);
  }
  view.kimarite = race.Kimarite.isEmpty() ? QString() : QStringLiteral("決まり手 %1").arg(race.Kimarite);
  AddPayouts(view, race);
  view.bikou = race.bikou;
  return view;
}

}  // namespace tidewake
