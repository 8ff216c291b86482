#pragma once

#include "session/ResultsView.h"

#include <QWidget>

class QLabel;
class QTableWidget;

namespace tidewake {

// The results window "レース結果": what really happened in the race chosen on the card, beside the
// prediction. A top-level window of its own, not modal, that the main window keeps and refills
// whenever the venue or the race changes; closing it only hides it.
//
// It shows the weather line, the boats in finishing order (the boat number on its colours, the
// racer, the exhibition time, the entry course as predicted → actual with a mark where they
// differ, the start timing, the race time), the winning technique, the payouts, any notice the
// results print for the race (a refund), the win model's lines and the accuracy line.
class frmKekka : public QWidget {
  Q_OBJECT

 public:
  explicit frmKekka(QWidget* parent = nullptr);

  // Shows a race as the session describes it, at the size its contents need now.
  void Show(const ResultsView& view);

  // Columns of the finishing-order table.
  // Columns of the likeliest combinations' table: 2連単, then 3連単, each with its chance and
  // break-even odds.
  enum TicketColumn { colExacta, colExactaChance, colExactaOdds, colTrifecta, colTrifectaChance, colTrifectaOdds };

  enum Column { colTyakujyun, colWaku, colSensyuNo, colSensyuName, colTenji, colCourse, colStart, colTime, colCount };

 private:
  void FitContents();

  QLabel* lblRace = nullptr;
  QLabel* lblTenko = nullptr;
  QLabel* lblMessage = nullptr;
  QTableWidget* grdKekka = nullptr;
  QLabel* lblKimarite = nullptr;
  QTableWidget* grdHaraimodosi = nullptr;
  QLabel* lblBikou = nullptr;
  QLabel* lblAccuracy = nullptr;
  // The win model's heading, its likeliest combinations with their break-even odds, then how the
  // result fared and the venue's log-loss.
  QLabel* lblWin = nullptr;
  QTableWidget* grdTickets = nullptr;
  QLabel* lblWinResult = nullptr;
  // The size the window was last given for its contents: another means the user sized it.
  QSize mFitted;
};

}  // namespace tidewake
