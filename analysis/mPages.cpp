#include "analysis/mPages.h"

#include "analysis/mMotorPage.h"
#include "analysis/mRacerPage.h"
#include "analysis/mVenuePage.h"
#include "history/cRirekiDb.h"

namespace tidewake::mPages {

QDate LastDay(const cRirekiDb& db) {
  const std::vector<HeldDay> days = db.HeldDays();
  return days.empty() ? QDate() : days.front().date;
}

QString VenueName(const cRirekiDb& db, std::int16_t jyo) {
  if (jyo == 0) return QStringLiteral("全場");
  for (const HeldVenue& v : db.HeldVenues()) {
    if (v.Jyo == jyo) {
      QString name = v.JyoName;
      return name.remove(u' ').remove(QChar(0x3000));
    }
  }
  return QStringLiteral("場%1").arg(jyo, 2, 10, QChar(u'0'));
}

mReport::Page Compute(const cRirekiDb& db, const Request& request, std::stop_token stop, const Progress& progress) {
  switch (request.Page) {
    case PageKind::Racer:
      return mRacerPage::Page(db, {request.SensyuNo, request.Period, request.Jyo});
    case PageKind::Venue:
      return mVenuePage::Page(db, request.Jyo, VenueName(db, request.Jyo), request.Period, stop);
    case PageKind::Motor:
      return mMotorPage::Page(db, {request.Jyo, request.Period, request.Marked}, VenueName(db, request.Jyo), stop);
    case PageKind::Roi:
      return mReturnRate::Table(db, {request.Kind, request.By, request.Period, request.Jyo}, VenueName(db, request.Jyo),
                                stop);
    case PageKind::Model:
      break;
  }
  (void)progress;
  return {};
}

}  // namespace tidewake::mPages
