// The analysis window opened from the main window: the 分析 menu, with the card's venue, day,
// race and racers as what the pages are asked for.

#include "data/cBangumiFile.h"
#include "history/cRirekiDb.h"
#include "ui/frmAnalysis.h"
#include "ui/frmMain.h"

#include <QMenuBar>

namespace tidewake {

void frmMain::BuildAnalysisMenus() {
  mnuAnalysis = new QMenu(QStringLiteral("分析(&N)"), this);
  menuBar()->insertMenu(mnuHelp ? mnuHelp->menuAction() : nullptr, mnuAnalysis);
  mnuAnalysisRacer = mnuAnalysis->addAction(QStringLiteral("選手(&R)..."));
  mnuAnalysisVenue = mnuAnalysis->addAction(QStringLiteral("場(&J)..."));
  mnuAnalysisMotor = mnuAnalysis->addAction(QStringLiteral("モーター(&M)..."));
  mnuAnalysisRoi = mnuAnalysis->addAction(QStringLiteral("回収率(&P)..."));
  mnuAnalysisModel = mnuAnalysis->addAction(QStringLiteral("モデルの成績(&E)..."));
  Command(mnuAnalysisRacer, [this] { OpenAnalysis(mPages::PageKind::Racer, 0); });
  Command(mnuAnalysisVenue, [this] { OpenAnalysis(mPages::PageKind::Venue, 0); });
  Command(mnuAnalysisMotor, [this] { OpenAnalysis(mPages::PageKind::Motor, 0); });
  Command(mnuAnalysisRoi, [this] { OpenAnalysis(mPages::PageKind::Roi, 0); });
  Command(mnuAnalysisModel, [this] { OpenAnalysis(mPages::PageKind::Model, 0); });
}

frmAnalysis* frmMain::Analysis() {
  if (!mAnalysis) mAnalysis = new frmAnalysis(cRirekiDb::DefaultPath(), this);
  return mAnalysis;
}

void frmMain::OpenAnalysis(mPages::PageKind page, std::int16_t intWakuNo) {
  frmAnalysis* a = Analysis();
  frmAnalysis::Ask ask = a->Asked();
  ask.Page = page;
  // The card shown says where, when and who: its venue, its day (the pages count up to it), the
  // race's motors and the boat's racer.
  const cBangumiFile::Card& card = mclsBangumi->card();
  const int venue = card.KyoteijyoCode.toInt();
  const std::int16_t race = static_cast<std::int16_t>(cboRaceNo->currentData().toInt());
  if (venue >= 1 && venue <= 24) ask.Jyo = static_cast<std::int16_t>(venue);
  const QDate day = QDate::fromString(card.RaceDate.trimmed(), QStringLiteral("yyyy/MM/dd"));
  if (day.isValid()) ask.End = day;
  ask.Marked.clear();
  if (venue >= 1 && race >= 1) {
    for (std::int16_t w = 1; w <= 6; ++w) {
      const QString motor = mclsBangumi->MotorNo(race, w).trimmed();
      if (!motor.isEmpty()) ask.Marked << motor;
    }
    if (intWakuNo >= 1 && intWakuNo <= 6) ask.SensyuNo = mclsBangumi->SensyuNo(race, intWakuNo).trimmed();
  }
  if (page == mPages::PageKind::Roi) ask.Jyo = venue >= 1 && venue <= 24 ? ask.Jyo : std::int16_t{0};
  a->show();
  a->raise();
  a->activateWindow();
  a->Open(ask);
}

}  // namespace tidewake
