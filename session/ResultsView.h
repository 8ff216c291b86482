#pragma once

#include "data/cKekkaFile.h"
#include "session/CourseTable.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace tidewake {

// The results window's race as texts: what it shows, whatever the results came from.
struct ResultsView {
  // "大村 1R 予選  1800m  2024/1/1"; "大村 5R  2024/1/1" for a race called off.
  QString title;
  // "天候 晴  風 北 3m  波 2cm"
  QString weather;
  // Said in place of the boats ("成績なし", "中止", a block's notice, another day's results), or
  // above them ("レース不成立"); empty when there is nothing to say.
  QString message;
  // The boats in finishing order; none when the race has no table to show.
  struct Boat {
    QString place;  // "1", "F", "K0"; "－" for a void race's boat without a place
    std::int16_t waku = 0;
    QString sensyuNo, name, tenji;
    QString course;  // predicted → actual: "3→4 ✕"
    bool missed = false;
    QString start, time;
  };
  std::vector<Boat> boats;
  QString kimarite;  // "決まり手 逃げ"
  // One line per combination paid: the kind's name on its first line only.
  struct Payout {
    QString kind, kumiban, kingaku, ninki;
  };
  std::vector<Payout> payouts;
  QStringList bikou;
  // The win model's lines (a heading, how the result fared, the venue's log-loss) and the entry
  // predictions' accuracy; empty when not shown.
  QString win, accuracy;
  // The likeliest 2連単 and 3連単 under the heading, likeliest first: the combination ("1-3-6"),
  // its chance ("12.3%") and the odds at which a bet on it breaks even ("8.1", 1 ÷ chance).
  struct Ticket {
    QString combination, chance, odds;
    bool operator==(const Ticket&) const = default;
  };
  std::vector<Ticket> exacta, trifecta;
};

// The mark after an entry course whose prediction missed ("3→4 ✕").
extern const QString kMissMark;
// What the results window says when the results are of another day than the programme (both
// "yyyy/mm/dd").
QString DayMismatchText(const QString& strBangumiDate, const QString& strKekkaDate);

// Race intRaceNo of venue intJyoCode (1..24) from the venue's results (none: "成績なし"), with
// the courses the card shows (none: no prediction). Results of another venue, or a race they
// lack, show "成績なし"; a block whose day is not in yet its own notice; a race called off "中止";
// a void race its boats and timings under "レース不成立", with no payout. Boats of a dead heat
// show the same place and every combination paid is listed; a special payout reads "特払い"; a
// timing reads as printed, "F0.01" or "L1.99".
ResultsView ResultsRaceView(const cKekkaFile::Venue* venue, std::int16_t intJyoCode, std::int16_t intRaceNo,
                            const std::optional<CourseTable>& predicted);

}  // namespace tidewake
