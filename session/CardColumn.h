#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace tidewake {

// The race card's columns, left to right: the grid's column numbers, the cells of a card row and
// the fields of the copied card are all counted by this one list.
enum class CardColumn : std::int16_t {
  Waku,              // 艇番: the boat number on its colours
  SensyuNo,          // 選手登番
  SensyuName,        // 選手名
  SensyuAge,         // 年齢
  SensyuBirthplace,  // 出身
  SensyuWeight,      // 体重
  SensyuClass,       // 級別
  ZenkokuSyoritu,    // 勝率: the racer's national win rate
  ZenkokuFSyoritu,   // ２連率: the racer's
  MotorNo,           // モNo
  MotorFSyoritu,     // ２連率: the motor's
  BoatNo,            // ボNo
  BoatFSyoritu,      // ２連率: the boat's
  Seiseki,           // 成績: the results so far in the meeting
  Course,            // 進入: the entry course
  WinChance,         // 1着予想: the model's chance that the boat wins, in percent
};

inline constexpr int kCardColumns = 16;
// The grid's column of a card column.
inline constexpr std::int16_t Col(CardColumn c) { return static_cast<std::int16_t>(c); }

// The grid's format string: each column's header and alignment ("^" centred, "<" left).
QString CardFormatString();
// The second line of the headers that have one (成績 over its six places, the chance over its
// unit); empty for the others.
QString CardHeaderSecondLine(CardColumn c);
// A header as copied: the words without the blanks that space them out to their column.
QString CardHeaderWords(CardColumn c);
// What the chance column holds, for the header's tooltip.
QString WinChanceExplanation();
// What break-even odds are and how a fan reads them against the board's odds.
QString BreakEvenExplanation();

// One boat's row as the card shows it, every column's text.
struct CardRow {
  std::array<QString, kCardColumns> cells;
  const QString& operator[](CardColumn c) const { return cells[static_cast<std::size_t>(c)]; }
  QString& operator[](CardColumn c) { return cells[static_cast<std::size_t>(c)]; }
  bool operator==(const CardRow&) const = default;
};

}  // namespace tidewake
