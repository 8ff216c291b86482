#include "ui/frmAnalysis.h"

#include "history/cRirekiDb.h"
#include "platform/FileDialog.h"
#include "platform/FileWrite.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "predict/mWinCoefficients.h"
#include "sim/mMain.h"

#include <qcustomplot.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

// On Windows, QCustomPlot's printing headers bring in <windows.h>, whose macro renames
// GetSaveFileName to its wide form: the file dialog's own member is meant here.
#ifdef GetSaveFileName
#undef GetSaveFileName
#endif

#include <cmath>

namespace tidewake {

namespace {

constexpr std::array<mPages::PageKind, 5> kPages{mPages::PageKind::Racer, mPages::PageKind::Venue,
                                                 mPages::PageKind::Motor, mPages::PageKind::Roi,
                                                 mPages::PageKind::Model};
constexpr std::array<mReturnRate::By, 4> kBys{mReturnRate::By::Boat, mReturnRate::By::Course,
                                              mReturnRate::By::Popularity, mReturnRate::By::Combination};

QString PageName(mPages::PageKind p) {
  switch (p) {
    case mPages::PageKind::Racer:
      return QStringLiteral("選手");
    case mPages::PageKind::Venue:
      return QStringLiteral("場");
    case mPages::PageKind::Motor:
      return QStringLiteral("モーター");
    case mPages::PageKind::Roi:
      return QStringLiteral("回収率");
    case mPages::PageKind::Model:
      break;
  }
  return QStringLiteral("モデルの成績");
}

QString ByName(mReturnRate::By by) {
  switch (by) {
    case mReturnRate::By::Boat:
      return QStringLiteral("艇番別");
    case mReturnRate::By::Course:
      return QStringLiteral("進入コース別");
    case mReturnRate::By::Popularity:
      return QStringLiteral("人気別");
    case mReturnRate::By::Combination:
      break;
  }
  return QStringLiteral("出目");
}

template <typename T, std::size_t N>
int IndexOf(const std::array<T, N>& all, T value) {
  for (std::size_t i = 0; i < N; ++i) {
    if (all[i] == value) return static_cast<int>(i);
  }
  return 0;
}

// A cell that sorts by its value where both have one, by its text otherwise.
class ValueItem final : public QTableWidgetItem {
 public:
  explicit ValueItem(const mReport::Cell& cell) : QTableWidgetItem(cell.Text), value_(cell.Value) {}
  bool operator<(const QTableWidgetItem& other) const override {
    const auto* o = dynamic_cast<const ValueItem*>(&other);
    if (o && !std::isnan(value_) && !std::isnan(o->value_)) return value_ < o->value_;
    if (o && std::isnan(value_) != std::isnan(o->value_)) return std::isnan(value_);
    return QTableWidgetItem::operator<(other);
  }

 private:
  double value_;
};

// Colours a chart's series take in turn, readable on white and in print.
const std::array<QColor, 6> kSeriesColours{QColor(31, 119, 180), QColor(255, 127, 14),  QColor(44, 160, 44),
                                           QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75)};

// The background of what the user came for (the race's motors, the card's venue).
const QColor kMarkedBackground(255, 236, 140);

QVector<double> Values(const std::vector<double>& v) { return QVector<double>(v.begin(), v.end()); }

}  // namespace

frmAnalysis::frmAnalysis(QString historyPath, QWidget* parent)
    : QWidget(parent, Qt::Window), historyPath_(std::move(historyPath)) {
  setWindowTitle(QStringLiteral("分析"));
  setAttribute(Qt::WA_DeleteOnClose, false);

  cboPage_ = new QComboBox(this);
  for (mPages::PageKind p : kPages) cboPage_->addItem(PageName(p));
  lblRacer_ = new QLabel(QStringLiteral("登録番号"), this);
  txtRacer_ = new QLineEdit(this);
  txtRacer_->setMaxLength(4);
  txtRacer_->setInputMask(QStringLiteral("9999"));
  txtRacer_->setFixedWidth(txtRacer_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  lblVenue_ = new QLabel(QStringLiteral("場"), this);
  cboVenue_ = new QComboBox(this);
  cboVenue_->addItem(QStringLiteral("全場"), 0);
  for (int j = 1; j <= 24; ++j) {
    cboVenue_->addItem(QStringLiteral("%1 %2").arg(j, 2, 10, QChar(u'0')).arg(JyoNameGet(static_cast<std::int16_t>(j))),
                       j);
  }
  cboPeriod_ = new QComboBox(this);
  for (mPeriod::Choice c : mPeriod::kChoices) cboPeriod_->addItem(mPeriod::ChoiceName(c));
  lblMotorFrom_ = new QLabel(QStringLiteral("モーターの期の始め"), this);
  dtMotorFrom_ = new QDateEdit(this);
  dtMotorFrom_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
  dtMotorFrom_->setCalendarPopup(true);
  dtMotorFrom_->setDate(QDate::currentDate().addMonths(-6));
  lblKind_ = new QLabel(QStringLiteral("勝式"), this);
  cboKind_ = new QComboBox(this);
  for (Kakesiki k : mReturnRate::kKinds) cboKind_->addItem(mReturnRate::KindName(k));
  cboKind_->setCurrentIndex(static_cast<int>(Kakesiki::Sanrentan));
  lblBy_ = new QLabel(QStringLiteral("行"), this);
  cboBy_ = new QComboBox(this);
  for (mReturnRate::By b : kBys) cboBy_->addItem(ByName(b));
  btnShow_ = new QPushButton(QStringLiteral("表示(&S)"), this);
  btnStop_ = new QPushButton(QStringLiteral("中止(&C)"), this);
  btnStop_->setEnabled(false);

  auto* inputs = new QHBoxLayout;
  inputs->addWidget(cboPage_);
  inputs->addWidget(lblRacer_);
  inputs->addWidget(txtRacer_);
  inputs->addWidget(lblVenue_);
  inputs->addWidget(cboVenue_);
  inputs->addWidget(new QLabel(QStringLiteral("期間"), this));
  inputs->addWidget(cboPeriod_);
  inputs->addWidget(lblMotorFrom_);
  inputs->addWidget(dtMotorFrom_);
  inputs->addWidget(lblKind_);
  inputs->addWidget(cboKind_);
  inputs->addWidget(lblBy_);
  inputs->addWidget(cboBy_);
  inputs->addStretch();
  inputs->addWidget(btnShow_);
  inputs->addWidget(btnStop_);

  progress_ = new QProgressBar(this);
  progress_->setVisible(false);
  progress_->setTextVisible(false);
  progress_->setMaximumHeight(12);
  lblStatus_ = new QLabel(this);
  btnCopy_ = new QPushButton(QStringLiteral("コピー"), this);
  btnCsv_ = new QPushButton(QStringLiteral("CSV保存..."), this);
  btnPng_ = new QPushButton(QStringLiteral("グラフをPNG保存..."), this);
  auto* status = new QHBoxLayout;
  status->addWidget(lblStatus_, 1);
  status->addWidget(progress_, 1);
  status->addWidget(btnCopy_);
  status->addWidget(btnCsv_);
  status->addWidget(btnPng_);

  lblNotes_ = new QLabel(this);
  lblNotes_->setWordWrap(true);
  lblNotes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  tabs_ = new QTabWidget(this);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(inputs);
  layout->addLayout(status);
  layout->addWidget(lblNotes_);
  layout->addWidget(tabs_, 1);
  resize(1000, 720);

  connect(cboPage_, &QComboBox::currentIndexChanged, this, [this] { ShowInputs(); });
  connect(btnShow_, &QPushButton::clicked, this, [this] { Compute(); });
  connect(txtRacer_, &QLineEdit::returnPressed, this, [this] { Compute(); });
  connect(btnStop_, &QPushButton::clicked, this, [this] { Stop(); });
  connect(btnCopy_, &QPushButton::clicked, this, [this] { CopyPage(); });
  connect(btnCsv_, &QPushButton::clicked, this, [this] { SaveCsv(); });
  connect(btnPng_, &QPushButton::clicked, this, [this] { SaveChart(); });
  connect(tabs_, &QTabWidget::currentChanged, this,
          [this] { btnPng_->setEnabled(qobject_cast<QCustomPlot*>(tabs_->currentWidget()) != nullptr); });
  ShowInputs();
  btnCopy_->setEnabled(false);
  btnCsv_->setEnabled(false);
  btnPng_->setEnabled(false);
}

frmAnalysis::~frmAnalysis() {
  // The page's thread ends before the window it reports to.
  worker_.request_stop();
  if (worker_.joinable()) worker_.join();
}

void frmAnalysis::ShowInputs() {
  const mPages::PageKind p = kPages[static_cast<std::size_t>(cboPage_->currentIndex())];
  const bool racer = p == mPages::PageKind::Racer, motor = p == mPages::PageKind::Motor,
             roi = p == mPages::PageKind::Roi;
  lblRacer_->setVisible(racer);
  txtRacer_->setVisible(racer);
  lblVenue_->setVisible(p != mPages::PageKind::Model);
  cboVenue_->setVisible(p != mPages::PageKind::Model);
  lblVenue_->setText(racer ? QStringLiteral("当地") : QStringLiteral("場"));
  lblMotorFrom_->setVisible(motor);
  dtMotorFrom_->setVisible(motor);
  cboPeriod_->setEnabled(!motor);
  lblKind_->setVisible(roi);
  cboKind_->setVisible(roi);
  lblBy_->setVisible(roi);
  cboBy_->setVisible(roi);
}

void frmAnalysis::Open(const Ask& ask) {
  cboPage_->setCurrentIndex(IndexOf(kPages, ask.Page));
  txtRacer_->setText(ask.SensyuNo);
  cboVenue_->setCurrentIndex(std::clamp<int>(ask.Jyo, 0, 24));
  cboPeriod_->setCurrentIndex(IndexOf(mPeriod::kChoices, ask.Period));
  // The motor period starts where the user put it, unless that lies after the last day asked
  // for: then where the period chosen starts.
  if (ask.MotorFrom.isValid() && !(ask.End.isValid() && ask.MotorFrom > ask.End)) {
    dtMotorFrom_->setDate(ask.MotorFrom);
  } else if (ask.End.isValid()) {
    dtMotorFrom_->setDate(mPeriod::Of(ask.Period, ask.End).From);
  }
  cboKind_->setCurrentIndex(static_cast<int>(ask.Kind));
  cboBy_->setCurrentIndex(IndexOf(kBys, ask.By));
  marked_ = ask.Marked;
  end_ = ask.End;
  ShowInputs();
  Compute();
}

frmAnalysis::Ask frmAnalysis::Asked() const {
  Ask a;
  a.Page = kPages[static_cast<std::size_t>(cboPage_->currentIndex())];
  a.SensyuNo = txtRacer_->text().trimmed();
  a.Jyo = static_cast<std::int16_t>(cboVenue_->currentData().toInt());
  a.Marked = marked_;
  a.Period = mPeriod::kChoices[static_cast<std::size_t>(cboPeriod_->currentIndex())];
  a.End = end_;
  a.MotorFrom = dtMotorFrom_->date();
  a.Kind = mReturnRate::kKinds[static_cast<std::size_t>(cboKind_->currentIndex())];
  a.By = kBys[static_cast<std::size_t>(cboBy_->currentIndex())];
  return a;
}

QString frmAnalysis::Status() const { return lblStatus_->text(); }

void frmAnalysis::Compute() {
  const Ask ask = Asked();
  if (ask.Page == mPages::PageKind::Racer && ask.SensyuNo.size() != 4) {
    lblStatus_->setText(QStringLiteral("選手の登録番号（4桁）を入れてください。"));
    return;
  }
  if (ask.Page == mPages::PageKind::Motor && ask.Jyo == 0) {
    lblStatus_->setText(QStringLiteral("モーターは場を選んでください。"));
    return;
  }
  worker_.request_stop();
  if (worker_.joinable()) worker_.join();
  const std::uint64_t serial = ++serial_;
  working_ = true;
  btnStop_->setEnabled(true);
  progress_->setRange(0, 0);  // busy until the first report of days
  progress_->setVisible(true);
  lblStatus_->setText(QStringLiteral("計算中…"));
  const QString path = historyPath_;
  worker_ = std::jthread([this, path, ask, serial](std::stop_token stop) {
    mReport::Page page;
    QString error;
    try {
      const cRirekiDb db(path, RirekiAccess::ReadOnly);
      mPages::Request r;
      r.Page = ask.Page;
      const QDate last = ask.End.isValid() ? ask.End : mPages::LastDay(db);
      if (!last.isValid())
        throw RuntimeError(0, QStringLiteral("履歴に日がありません。先に履歴に取り込んでください。"));
      r.Period = mPeriod::Of(ask.Period, last);
      if (ask.Page == mPages::PageKind::Motor)
        r.Period = {ask.MotorFrom.isValid() && ask.MotorFrom <= last ? ask.MotorFrom : r.Period.From, last};
      r.SensyuNo = ask.SensyuNo;
      r.Jyo = ask.Jyo;
      r.Marked = ask.Marked;
      r.Kind = ask.Kind;
      r.By = ask.By;
      if (ask.Page == mPages::PageKind::Model) {
        QString ignored;
        r.Model = mWinCoefficients::UserOrShipped(mWinCoefficients::UserPath(), ignored);
      }
      page = mPages::Compute(db, r, stop, [this, serial](int done, int total) {
        QMetaObject::invokeMethod(
            this, [this, serial, done, total] { Progress(serial, done, total); }, Qt::QueuedConnection);
      });
    } catch (const RuntimeError& e) {
      error = e.description();
    } catch (const std::exception& e) {
      error = QString::fromLocal8Bit(e.what());
    }
    QMetaObject::invokeMethod(
        this, [this, serial, page = std::move(page), error]() mutable { Present(serial, std::move(page), error); },
        Qt::QueuedConnection);
  });
}

void frmAnalysis::Stop() {
  worker_.request_stop();
  lblStatus_->setText(QStringLiteral("中止しています…"));
}

void frmAnalysis::Progress(std::uint64_t serial, int done, int total) {
  if (serial != serial_ || !working_) return;
  progress_->setRange(0, std::max(total, 1));
  progress_->setValue(std::min(done, total));
  lblStatus_->setText(QStringLiteral("計算中…（%1 / %2 日）").arg(done).arg(total));
}

void frmAnalysis::Present(std::uint64_t serial, mReport::Page page, const QString& error) {
  if (serial != serial_) return;
  working_ = false;
  btnStop_->setEnabled(false);
  progress_->setVisible(false);
  if (!error.isEmpty()) {
    lblStatus_->setText(QStringLiteral("計算できませんでした: ") + error);
    emit Finished();
    return;
  }
  if (page.Title.isEmpty()) {
    lblStatus_->setText(QStringLiteral("中止しました。"));
    emit Finished();
    return;
  }
  shown_ = std::move(page);
  lblStatus_->setText(shown_.Title);
  lblNotes_->setText(shown_.Notes.join(u'\n'));
  setWindowTitle(QStringLiteral("分析 - ") + shown_.Title);
  while (tabs_->count() > 0) {
    QWidget* w = tabs_->widget(0);
    tabs_->removeTab(0);
    delete w;
  }
  // Charts first: what a fan reads at a glance; the tables behind them.
  for (const mReport::Chart& c : shown_.Charts) tabs_->addTab(ChartWidget(c), c.Title);
  for (const mReport::Table& t : shown_.Tables) {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(2, 2, 2, 2);
    v->addWidget(TableWidget(t), 1);
    if (!t.Note.isEmpty()) {
      auto* note = new QLabel(t.Note, page);
      note->setWordWrap(true);
      v->addWidget(note);
    }
    tabs_->addTab(page, t.Title);
  }
  btnCopy_->setEnabled(true);
  btnCsv_->setEnabled(true);
  btnPng_->setEnabled(qobject_cast<QCustomPlot*>(tabs_->currentWidget()) != nullptr);
  emit Finished();
}

QTableWidget* frmAnalysis::TableWidget(const mReport::Table& table) const {
  auto* w = new QTableWidget(static_cast<int>(table.Rows.size()), static_cast<int>(table.Columns.size()));
  w->setObjectName(table.Title);
  w->setHorizontalHeaderLabels(table.Columns);
  w->setEditTriggers(QAbstractItemView::NoEditTriggers);
  w->verticalHeader()->setVisible(false);
  w->verticalHeader()->setDefaultSectionSize(w->fontMetrics().height() + 6);
  const QColor faded = palette().color(QPalette::Disabled, QPalette::Text);
  for (std::size_t r = 0; r < table.Rows.size(); ++r) {
    for (std::size_t c = 0; c < table.Rows[r].size() && c < static_cast<std::size_t>(table.Columns.size()); ++c) {
      const mReport::Cell& cell = table.Rows[r][c];
      auto* item = new ValueItem(cell);
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (cell.Faded) item->setForeground(faded);
      if (cell.Marked) {
        item->setBackground(kMarkedBackground);
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
      }
      w->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  w->resizeColumnsToContents();
  // Sortable by a click on a header, but shown first in the page's own order: enabling sorting
  // sorts at once by the header's indicator, which therefore points at no column before.
  w->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  w->setSortingEnabled(true);
  return w;
}

QCustomPlot* frmAnalysis::ChartWidget(const mReport::Chart& chart) const {
  auto* plot = new QCustomPlot;
  plot->setObjectName(chart.Title);
  plot->setMinimumHeight(260);
  plot->plotLayout()->insertRow(0);
  plot->plotLayout()->addElement(0, 0, new QCPTextElement(plot, chart.Title, QFont(font().family(), 11, QFont::Bold)));
  plot->xAxis->setLabel(chart.XLabel);
  plot->yAxis->setLabel(chart.YLabel);
  plot->legend->setVisible(chart.Lines.size() > 1);
  double lowX = 0, highX = 1;
  switch (chart.Kind) {
    case mReport::ChartKind::Bars: {
      auto* group = new QCPBarsGroup(plot);
      const double width = 0.8 / static_cast<double>(std::max<std::size_t>(chart.Lines.size(), 1));
      for (std::size_t i = 0; i < chart.Lines.size(); ++i) {
        auto* bars = new QCPBars(plot->xAxis, plot->yAxis);
        bars->setName(chart.Lines[i].Name);
        bars->setWidth(width);
        bars->setBarsGroup(group);
        const QColor colour = kSeriesColours[i % kSeriesColours.size()];
        bars->setPen(QPen(colour.darker(130)));
        bars->setBrush(colour);
        bars->setData(Values(chart.Lines[i].X), Values(chart.Lines[i].Y), true);
      }
      QSharedPointer<QCPAxisTickerText> ticker(new QCPAxisTickerText);
      for (int i = 0; i < chart.Categories.size(); ++i) ticker->addTick(i + 1, chart.Categories[i]);
      plot->xAxis->setTicker(ticker);
      plot->xAxis->setTickLabelRotation(chart.Categories.size() > 12 ? 60 : 0);
      plot->rescaleAxes();
      plot->xAxis->setRange(0.4, static_cast<double>(chart.Categories.size()) + 0.6);
      plot->yAxis->setRangeLower(0);
      plot->yAxis->setRangeUpper(plot->yAxis->range().upper * 1.1 + 1);
      // The categories the user came for on a band behind their bars, the height of the chart.
      for (int x : chart.Marked) {
        auto* band = new QCPItemRect(plot);
        band->setLayer(QStringLiteral("background"));
        band->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
        band->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
        band->topLeft->setCoords(x - 0.5, 0);
        band->bottomRight->setCoords(x + 0.5, 1);
        band->setPen(Qt::NoPen);
        band->setBrush(kMarkedBackground);
      }
      break;
    }
    case mReport::ChartKind::Lines: {
      for (std::size_t i = 0; i < chart.Lines.size(); ++i) {
        QCPGraph* g = plot->addGraph();
        g->setName(chart.Lines[i].Name);
        g->setPen(QPen(kSeriesColours[i % kSeriesColours.size()], 1.6));
        QVector<double> x;
        for (double d : chart.Lines[i].X) x.push_back(d * 86400.0);  // days to seconds
        g->setData(x, Values(chart.Lines[i].Y), true);
      }
      QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
      ticker->setDateTimeFormat(QStringLiteral("yyyy/MM"));
      ticker->setDateTimeSpec(Qt::UTC);
      plot->xAxis->setTicker(ticker);
      plot->rescaleAxes();
      break;
    }
    case mReport::ChartKind::Reliability: {
      QCPGraph* diagonal = plot->addGraph();
      diagonal->setName(QStringLiteral("予想どおり"));
      diagonal->setPen(QPen(Qt::gray, 1, Qt::DashLine));
      diagonal->setData(QVector<double>{0, 100}, QVector<double>{0, 100});
      for (std::size_t i = 0; i < chart.Lines.size(); ++i) {
        QCPGraph* g = plot->addGraph();
        g->setName(chart.Lines[i].Name);
        g->setPen(QPen(kSeriesColours[i % kSeriesColours.size()], 1.4));
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 7));
        g->setData(Values(chart.Lines[i].X), Values(chart.Lines[i].Y), true);
      }
      plot->legend->setVisible(true);
      plot->xAxis->setRange(0, 100);
      plot->yAxis->setRange(0, 100);
      break;
    }
  }
  // The legend under the chart, in a row: inside, it hid the lines' ends and the tallest bars.
  if (plot->legend->visible()) {
    plot->axisRect()->insetLayout()->take(plot->legend);
    plot->axisRect()->insetLayout()->simplify();
    plot->plotLayout()->addElement(2, 0, plot->legend);
    plot->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot->legend->setBorderPen(Qt::NoPen);
    plot->legend->setMargins(QMargins(4, 0, 4, 2));
    plot->plotLayout()->setRowStretchFactor(2, 0.001);
  }
  lowX = plot->xAxis->range().lower;
  highX = plot->xAxis->range().upper;
  if (!std::isnan(chart.Reference)) {
    auto* line = new QCPItemStraightLine(plot);
    line->setPen(QPen(Qt::red, 1, Qt::DashLine));
    line->point1->setCoords(lowX, chart.Reference);
    line->point2->setCoords(highX, chart.Reference);
    const QCPRange y = plot->yAxis->range();
    plot->yAxis->setRange(std::min(y.lower, chart.Reference - 5), std::max(y.upper, chart.Reference + 5));
  }
  plot->replot();
  return plot;
}

void frmAnalysis::CopyPage() {
  if (shown_.Title.isEmpty()) return;
  QApplication::clipboard()->setText(mReport::TabText(shown_));
  lblStatus_->setText(QStringLiteral("タブ区切りの表をコピーしました。"));
}

void frmAnalysis::SaveCsv() {
  if (shown_.Title.isEmpty()) return;
  const QString path = FileDialog()->GetSaveFileName(
      QStringLiteral("CSVファイル(*.csv)") + QChar(0) + QStringLiteral("*.csv") + QChar(0),
      QDir::home().filePath(QStringLiteral("分析.csv")), QStringLiteral("CSVで保存"));
  if (path.isEmpty()) return;
  // With a byte order mark, so that a spreadsheet reads the Japanese as UTF-8.
  const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + mReport::CsvText(shown_).toUtf8();
  try {
    FileReplace(path, bytes, QStringLiteral("CSVファイル"));
    lblStatus_->setText(QStringLiteral("保存しました: ") + QDir::toNativeSeparators(path));
  } catch (const RuntimeError& e) {
    WarnBox(e.description(), QStringLiteral("CSVで保存"));
  }
}

void frmAnalysis::SaveChart() {
  auto* plot = qobject_cast<QCustomPlot*>(tabs_->currentWidget());
  if (!plot) return;
  const QString path = FileDialog()->GetSaveFileName(
      QStringLiteral("PNG画像(*.png)") + QChar(0) + QStringLiteral("*.png") + QChar(0),
      QDir::home().filePath(plot->objectName() + QStringLiteral(".png")), QStringLiteral("グラフをPNGで保存"));
  if (path.isEmpty()) return;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!plot->toPixmap(plot->width(), plot->height()).save(&buffer, "PNG")) {
    WarnBox(QStringLiteral("グラフを画像にできませんでした。"), QStringLiteral("グラフをPNGで保存"));
    return;
  }
  try {
    FileReplace(path, bytes, QStringLiteral("PNGファイル"));
    lblStatus_->setText(QStringLiteral("保存しました: ") + QDir::toNativeSeparators(path));
  } catch (const RuntimeError& e) {
    WarnBox(e.description(), QStringLiteral("グラフをPNGで保存"));
  }
}

}  // namespace tidewake
