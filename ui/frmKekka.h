#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

class QLabel;
class QTableWidget;

namespace tidewake {

class cKekkaFile;

// The results window "レース結果": what really happened in the race chosen on the card, beside the
// prediction. A top-level window of its own, not modal, that the main window keeps and refills
// whenever the venue or the race changes; closing it only hides it.
//
// It shows the weather line, the boats in finishing order (the boat number on its colours, the
// racer, the exhibition time, the entry course as predicted → actual with a mark where they
// differ, the start timing, the race time), the winning technique, the payouts, any notice the
// results print for the race (a refund), and a line of accuracy that the caller computes.
class frmKekka : public QWidget {
  Q_OBJECT

 public:
  explicit frmKekka(QWidget* parent = nullptr);

  // Shows race intRaceNo of venue intJyoCode (1..24) from the loaded results, with the predicted
  // course of each boat (index = boat number 1..6; 0 means no prediction). Results of another
  // venue than intJyoCode, a race the results lack, or no results at all (nullptr) show
  // "成績なし"; a block whose day is not in yet its own notice; a race called off "中止"; a void
  // race its boats and timings under "レース不成立", with no payout. Boats of a dead heat show
  // the same place and every combination paid is listed; a special payout reads "特払い"; a
  // timing reads as printed, "F0.01" or "L1.99".
  void ShowRace(const cKekkaFile* kekka, std::int16_t intJyoCode, std::int16_t intRaceNo,
                const std::array<std::int16_t, 7>& predictedCourse);
  // The win model's lines (the likeliest combinations, how the result fared, the venue's
  // log-loss beside the pool's) above the accuracy line; an empty text hides them.
  void SetWinText(const QString& strText);
  // The accuracy line under the payouts; an empty text hides it.
  void SetAccuracyText(const QString& strText);
  // Refuses to show results of another day than the programme: the table empties and the window
  // says which dates differ (both "yyyy/mm/dd").
  void ShowDayMismatch(const QString& strBangumiDate, const QString& strKekkaDate);
  // The text ShowDayMismatch shows, for a message box as well.
  static QString DayMismatchText(const QString& strBangumiDate, const QString& strKekkaDate);

  // The mark after an entry course whose prediction missed ("3→4 ✕").
  static const QString kMissMark;

  // Columns of the finishing-order table.
  enum Column { colTyakujyun, colWaku, colSensyuNo, colSensyuName, colTenji, colCourse, colStart, colTime, colCount };

 private:
  void Clear(const QString& strMessage);

  QLabel* lblRace = nullptr;
  QLabel* lblTenko = nullptr;
  QLabel* lblMessage = nullptr;
  QTableWidget* grdKekka = nullptr;
  QLabel* lblKimarite = nullptr;
  QTableWidget* grdHaraimodosi = nullptr;
  QLabel* lblBikou = nullptr;
  QLabel* lblAccuracy = nullptr;
  QLabel* lblWin = nullptr;
};

}  // namespace tidewake
