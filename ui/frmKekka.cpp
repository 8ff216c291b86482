#include "ui/frmKekka.h"

#include "session/CardColumn.h"
#include "sim/mMain.h"
#include "ui/qtplatform/FontSubstitutions.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tidewake {

namespace {

// The cells of a table are shown, never edited.
QTableWidget* MakeTable(QWidget* parent, const QStringList& captions, int rows) {
  auto* t = new QTableWidget(rows, static_cast<int>(captions.size()), parent);
  t->setHorizontalHeaderLabels(captions);
  t->verticalHeader()->setVisible(false);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionMode(QAbstractItemView::NoSelection);
  t->setFocusPolicy(Qt::NoFocus);
  t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
  // Tall enough for every row: the window grows rather than hiding a boat behind a scroll bar.
  t->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return t;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignCenter) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(align | Qt::AlignVCenter);
  return item;
}

}  // namespace

frmKekka::frmKekka(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("レース結果"));
  setObjectName(QStringLiteral("frmKekka"));
  // One Japanese font for every line: figures among kana would otherwise be drawn in another
  // font than the words around them.
  QFont japanese = font();
  japanese.setFamily(InstalledFamily(QStringLiteral("ＭＳ Ｐゴシック")));
  setFont(japanese);
  auto* layout = new QVBoxLayout(this);
  lblRace = new QLabel(this);
  lblRace->setObjectName(QStringLiteral("lblRace"));
  lblTenko = new QLabel(this);
  lblTenko->setObjectName(QStringLiteral("lblTenko"));
  lblMessage = new QLabel(this);
  lblMessage->setObjectName(QStringLiteral("lblMessage"));
  lblMessage->setWordWrap(true);
  grdKekka = MakeTable(
      this,
      {QStringLiteral("着"), QStringLiteral("艇"), QStringLiteral("登番"), QStringLiteral("選手名"),
       QStringLiteral("展示"), QStringLiteral("進入 予想→実際"), QStringLiteral("ST"), QStringLiteral("タイム")},
      cKekkaFile::kBoats);
  grdKekka->setObjectName(QStringLiteral("grdKekka"));
  lblKimarite = new QLabel(this);
  lblKimarite->setObjectName(QStringLiteral("lblKimarite"));
  grdHaraimodosi = MakeTable(
      this, {QStringLiteral("賭式"), QStringLiteral("組番"), QStringLiteral("払戻金"), QStringLiteral("人気")}, 0);
  grdHaraimodosi->setObjectName(QStringLiteral("grdHaraimodosi"));
  lblBikou = new QLabel(this);
  lblBikou->setObjectName(QStringLiteral("lblBikou"));
  lblBikou->setWordWrap(true);
  lblAccuracy = new QLabel(this);
  lblAccuracy->setObjectName(QStringLiteral("lblAccuracy"));
  // Its lines are laid out by the caller; the window is as wide as the longest.
  lblAccuracy->setWordWrap(false);
  lblAccuracy->hide();
  lblWin = new QLabel(this);
  lblWin->setObjectName(QStringLiteral("lblWin"));
  lblWin->setWordWrap(false);
  lblWin->hide();
  grdTickets = MakeTable(this,
                         {QStringLiteral("2連単"), QStringLiteral("確率"), QStringLiteral("分岐オッズ"),
                          QStringLiteral("3連単"), QStringLiteral("確率"), QStringLiteral("分岐オッズ")},
                         0);
  grdTickets->setObjectName(QStringLiteral("grdTickets"));
  for (const int c : {colExactaOdds, colTrifectaOdds}) {
    grdTickets->horizontalHeaderItem(c)->setToolTip(BreakEvenExplanation());
  }
  grdTickets->hide();
  lblWinResult = new QLabel(this);
  lblWinResult->setObjectName(QStringLiteral("lblWinResult"));
  lblWinResult->setWordWrap(false);
  lblWinResult->hide();

  layout->addWidget(lblRace);
  layout->addWidget(lblTenko);
  layout->addWidget(lblMessage);
  // The boats and the payouts side by side: the window stays short enough to sit under the
  // main window on a small screen, with every boat and every payout in view.
  auto* sides = new QHBoxLayout();
  auto* race = new QVBoxLayout();
  race->addWidget(grdKekka, 0, Qt::AlignLeft | Qt::AlignTop);
  race->addWidget(lblKimarite);
  // The chances and the accuracy go under the boats, beside the payouts, rather than under both:
  // the window then stays low enough to open under the card on a laptop's screen.
  race->addSpacing(8);
  race->addWidget(lblWin);
  race->addWidget(grdTickets, 0, Qt::AlignLeft | Qt::AlignTop);
  race->addWidget(lblWinResult);
  race->addWidget(lblAccuracy);
  race->addStretch(1);
  sides->addLayout(race);
  sides->addWidget(grdHaraimodosi, 0, Qt::AlignLeft | Qt::AlignTop);
  sides->addStretch(1);
  layout->addLayout(sides);
  layout->addWidget(lblBikou);
  layout->addStretch(1);
  ResultsView none;
  none.message = QStringLiteral("成績なし");
  Show(none);
}

void frmKekka::Show(const ResultsView& view) {
  lblRace->setText(view.title);
  lblTenko->setText(view.weather);
  lblMessage->setText(view.message);
  lblMessage->setVisible(!view.message.isEmpty());
  grdKekka->clearContents();
  for (std::size_t j = 0; j < view.boats.size() && j < static_cast<std::size_t>(grdKekka->rowCount()); ++j) {
    const ResultsView::Boat& b = view.boats[j];
    const int row = static_cast<int>(j);
    grdKekka->setItem(row, colTyakujyun, Cell(b.place));
    QTableWidgetItem* boat = Cell(QString::number(b.waku));
    if (const auto back = BoatColor(b.waku, true)) boat->setBackground(ToQColor(*back));
    if (const auto fore = BoatColor(b.waku, false)) boat->setForeground(ToQColor(*fore));
    grdKekka->setItem(row, colWaku, boat);
    grdKekka->setItem(row, colSensyuNo, Cell(b.sensyuNo));
    grdKekka->setItem(row, colSensyuName, Cell(b.name, Qt::AlignLeft));
    grdKekka->setItem(row, colTenji, Cell(b.tenji));
    QTableWidgetItem* course = Cell(b.course);
    if (b.missed) course->setForeground(QColor(Qt::red));
    grdKekka->setItem(row, colCourse, course);
    grdKekka->setItem(row, colStart, Cell(b.start));
    grdKekka->setItem(row, colTime, Cell(b.time));
  }
  grdKekka->setVisible(!view.boats.empty());
  lblKimarite->setText(view.kimarite);
  grdHaraimodosi->setRowCount(static_cast<int>(view.payouts.size()));
  for (std::size_t i = 0; i < view.payouts.size(); ++i) {
    const ResultsView::Payout& p = view.payouts[i];
    const int row = static_cast<int>(i);
    grdHaraimodosi->setItem(row, 0, Cell(p.kind, Qt::AlignLeft));
    grdHaraimodosi->setItem(row, 1, Cell(p.kumiban));
    grdHaraimodosi->setItem(row, 2, Cell(p.kingaku, Qt::AlignRight));
    grdHaraimodosi->setItem(row, 3, Cell(p.ninki));
  }
  grdHaraimodosi->setVisible(!view.payouts.empty());
  lblBikou->setText(view.bikou.join(u'\n'));
  lblBikou->setVisible(!view.bikou.isEmpty());
  // The heading over the likeliest combinations; the lines after it under them.
  lblWin->setText(view.win.section(u'\n', 0, 0));
  lblWin->setVisible(!view.win.isEmpty());
  const std::size_t tickets = std::max(view.exacta.size(), view.trifecta.size());
  grdTickets->setRowCount(static_cast<int>(tickets));
  const auto put = [this](int row, int col, const std::vector<ResultsView::Ticket>& list, std::size_t i) {
    const bool has = i < list.size();
    grdTickets->setItem(row, col, Cell(has ? list[i].combination : QString()));
    grdTickets->setItem(row, col + 1, Cell(has ? list[i].chance : QString(), Qt::AlignRight));
    grdTickets->setItem(row, col + 2, Cell(has ? list[i].odds : QString(), Qt::AlignRight));
  };
  for (std::size_t i = 0; i < tickets; ++i) {
    put(static_cast<int>(i), colExacta, view.exacta, i);
    put(static_cast<int>(i), colTrifecta, view.trifecta, i);
  }
  grdTickets->setVisible(tickets > 0);
  const QString rest = view.win.section(u'\n', 1);
  lblWinResult->setText(rest);
  lblWinResult->setVisible(!rest.isEmpty());
  lblAccuracy->setText(view.accuracy);
  lblAccuracy->setVisible(!view.accuracy.isEmpty());
  FitContents();
}

void frmKekka::FitContents() {
  // The tables size their columns and rows when they next lay out; done now, so that the size
  // asked for below is that of what they show now, not of the race before.
  for (QTableWidget* t : {grdKekka, grdHaraimodosi, grdTickets}) {
    t->resizeColumnsToContents();
    t->resizeRowsToContents();
    t->updateGeometry();
  }
  layout()->invalidate();
  layout()->activate();
  const QSize want = sizeHint();
  // As large as its contents need; a size the user chose is kept when they fit in it.
  const QSize size = this->size() == mFitted ? want : this->size().expandedTo(want);
  resize(size);
  mFitted = size;
}

}  // namespace tidewake
