// The analysis window opened from the main window: the 分析 menu, a boat's row (double-click or
// its pop-up) and the venue selector's pop-up, asked with what the session shows.

#include "analysis/mPages.h"
#include "ui/frmAnalysis.h"
#include "ui/frmMain.h"

#include <QComboBox>
#include <QMenuBar>
#include <QRect>
#include <QScreen>

namespace tidewake {

void frmMain::BuildAnalysisMenus() {
  const auto item = [this](QMenu* menu, const char* name, const QString& text, mPages::PageKind page,
                           bool boat = false) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    Command(a, [this, page, boat] { OpenAnalysis(page, boat ? mintPopupRow : 0); });
    return a;
  };
  // Before ヘルプ, which stays last.
  auto* analysis = new QMenu(QStringLiteral("分析(&N)"), this);
  analysis->setObjectName(QStringLiteral("mnuAnalysis"));
  menuBar()->insertMenu(mnuHelp ? mnuHelp->menuAction() : nullptr, analysis);
  item(analysis, "mnuAnalysisRacer", QStringLiteral("選手(&R)..."), mPages::PageKind::Racer);
  item(analysis, "mnuAnalysisVenue", QStringLiteral("場(&J)..."), mPages::PageKind::Venue);
  item(analysis, "mnuAnalysisMotor", QStringLiteral("モーター(&M)..."), mPages::PageKind::Motor);
  item(analysis, "mnuAnalysisRoi", QStringLiteral("回収率(&P)..."), mPages::PageKind::Roi);
  item(analysis, "mnuAnalysisModel", QStringLiteral("モデルの成績(&E)..."), mPages::PageKind::Model);

  // A boat's row: its racer's page, and the motors of the race beside the venue's.
  mnuBoatPopup = new QMenu(QStringLiteral("Boat"), this);
  mnuBoatPopup->setObjectName(QStringLiteral("mnuBoatPopup"));
  QAction* racer = item(mnuBoatPopup, "mnuBoatAnalysisRacer", QStringLiteral("この選手の成績(&A)..."),
                        mPages::PageKind::Racer, true);
  item(mnuBoatPopup, "mnuBoatAnalysisMotor", QStringLiteral("このレースのモーター(&M)..."), mPages::PageKind::Motor);
  mnuBoatPopup->setDefaultAction(racer);
  // The course pop-up offers the racer's page too: the right button finds it on any column.
  mnuPopup->addSeparator();
  item(mnuPopup, "mnuPopupAnalysisRacer", QStringLiteral("この選手の成績(&A)..."), mPages::PageKind::Racer, true);
  picGrid->onDoubleClick = [this](Qt::MouseButton b, float x, float y) { picGrid_DoubleClick(b, x, y); };

  mnuVenuePopup = new QMenu(QStringLiteral("Venue"), this);
  mnuVenuePopup->setObjectName(QStringLiteral("mnuVenuePopup"));
  item(mnuVenuePopup, "mnuVenueAnalysis", QStringLiteral("この場の傾向(&A)..."), mPages::PageKind::Venue);
  item(mnuVenuePopup, "mnuVenueAnalysisMotor", QStringLiteral("この場のモーター(&M)..."), mPages::PageKind::Motor);
  item(mnuVenuePopup, "mnuVenueAnalysisRoi", QStringLiteral("この場の回収率(&P)..."), mPages::PageKind::Roi);
  cboJyo->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(cboJyo, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (mblnRunning || mSession->VenueCode() < 1) return;
    PopupMenu(mnuVenuePopup, cboJyo->mapToGlobal(at));
  });
}

void frmMain::picGrid_DoubleClick(Qt::MouseButton button, float x, float y) {
  if (mblnRunning || button != Qt::LeftButton || Grid().ClickCol(x) < 0) return;
  const std::int16_t row = Grid().ClickRow(y);
  if (row < 1 || row > 6 || BoatRacer(row).isEmpty()) return;
  OpenAnalysis(mPages::PageKind::Racer, row);
}

QString frmMain::BoatRacer(int boat) const {
  if (boat < 1 || boat > 6 || mSession->RaceNo() < 1) return QString();
  return mSession->Bangumi().SensyuNo(mSession->RaceNo(), static_cast<std::int16_t>(boat)).trimmed();
}

frmAnalysis* frmMain::Analysis() {
  if (mAnalysis) return mAnalysis;
  mAnalysis = new frmAnalysis(cRirekiDb::DefaultPath(), this);
  // Beside the card where the screen allows it, and no larger than the screen.
  if (const QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    QSize size = mAnalysis->size().boundedTo(area.size() - QSize(16, 48));
    // Under the card, a little lower rather than over it, when enough room is left there.
    const int below = area.bottom() - frameGeometry().bottom() - 48;
    if (below >= 480) size.setHeight(std::min(size.height(), below));
    mAnalysis->resize(size);
    mAnalysis->move(PlaceBeside(frameGeometry(), mAnalysis->size() + QSize(8, 32), area));
  }
  return mAnalysis;
}

void frmMain::OpenAnalysis(mPages::PageKind page, int boat) {
  frmAnalysis* a = Analysis();
  frmAnalysis::Ask ask = a->Asked();
  ask.Page = page;
  const DaySession& s = *mSession;
  // The demo race is no day of the history: the pages then end on the history's last day and
  // keep the venue chosen before.
  const bool day = s.State() != CardState::Demo;
  ask.End = day ? QDate::fromString(s.Bangumi().RaceDate().trimmed(), QStringLiteral("yyyy/MM/dd")) : QDate();
  if (day && s.VenueCode() >= 1) ask.Jyo = s.VenueCode();
  ask.Marked.clear();
  if (day && s.RaceNo() >= 1) {
    for (std::int16_t w = 1; w <= 6; ++w) {
      const QString motor = s.Bangumi().MotorNo(s.RaceNo(), w).trimmed();
      if (!motor.isEmpty()) ask.Marked << motor;
    }
  }
  if (boat >= 1) ask.SensyuNo = BoatRacer(boat);
  a->show();
  a->raise();
  a->activateWindow();
  a->Open(ask);
}

}  // namespace tidewake
