#pragma once

#include "analysis/mPages.h"
#include "analysis/mPeriod.h"
#include "analysis/mReport.h"

#include <QDate>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <thread>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QCustomPlot;

namespace tidewake {

// The analysis pages in a window of their own: the racer, venue and motor pages, the 回収率
// tables and the model's record, each as tables and charts, from the history file. A page is
// computed on a thread of its own through a connection of its own, so the window never waits on
// years of days; the window says it is working and can stop it.
class frmAnalysis final : public QWidget {
  Q_OBJECT

 public:
  // What a page is asked for with: plain values, as the card or the menu has them.
  struct Ask {
    mPages::PageKind Page = mPages::PageKind::Venue;
    QString SensyuNo;
    std::int16_t Jyo = 0;
    QStringList Marked;  // the race's motors
    mPeriod::Choice Period = mPeriod::Choice::SixMonths;
    QDate End;        // the last day counted; null: the last day the history holds
    QDate MotorFrom;  // the motor page's first day; null: the period's
    Kakesiki Kind = Kakesiki::Sanrentan;
    mReturnRate::By By = mReturnRate::By::Boat;
  };

  explicit frmAnalysis(QString historyPath, QWidget* parent = nullptr);
  ~frmAnalysis() override;
  frmAnalysis(const frmAnalysis&) = delete;
  frmAnalysis& operator=(const frmAnalysis&) = delete;

  // Sets the inputs to `ask` and computes its page.
  void Open(const Ask& ask);
  // What the inputs ask for now.
  Ask Asked() const;

  // The page shown (empty before the first), whether one is being computed, what the status says.
  const mReport::Page& Shown() const { return shown_; }
  bool Working() const { return working_; }
  QString Status() const;
  QTabWidget* Tabs() const { return tabs_; }

  // The page as tab-separated text on the clipboard; as CSV, and the chart shown as PNG, to a
  // file the user chooses.
  void CopyPage();
  void SaveCsv();
  void SaveChart();

 signals:
  // A page was shown, or a computation ended without one (stopped, failed).
  void Finished();

 private:
  void Compute();
  void Stop();
  void Progress(std::uint64_t serial, int done, int total);
  void Present(std::uint64_t serial, mReport::Page page, const QString& error);
  void ShowInputs();
  QTableWidget* TableWidget(const mReport::Table& table) const;
  QCustomPlot* ChartWidget(const mReport::Chart& chart) const;

  QString historyPath_;
  QComboBox *cboPage_ = nullptr, *cboVenue_ = nullptr, *cboPeriod_ = nullptr, *cboKind_ = nullptr, *cboBy_ = nullptr;
  QLineEdit* txtRacer_ = nullptr;
  QDateEdit* dtMotorFrom_ = nullptr;
  QLabel *lblMotorFrom_ = nullptr, *lblRacer_ = nullptr, *lblVenue_ = nullptr, *lblKind_ = nullptr, *lblBy_ = nullptr;
  QPushButton *btnShow_ = nullptr, *btnStop_ = nullptr, *btnCopy_ = nullptr, *btnCsv_ = nullptr, *btnPng_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* lblStatus_ = nullptr;
  QLabel* lblNotes_ = nullptr;
  QTabWidget* tabs_ = nullptr;

  QStringList marked_;
  QDate end_;
  mReport::Page shown_;
  bool working_ = false;
  std::uint64_t serial_ = 0;
  std::jthread worker_;
};

}  // namespace tidewake
