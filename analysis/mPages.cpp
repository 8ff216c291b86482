#include "analysis/mPages.h"

#include "analysis/mModelRecord.h"
#include "analysis/mMotorPage.h"
#include "analysis/mRacerPage.h"
#include "analysis/mVenuePage.h"
#include "history/cRirekiDb.h"

namespace tidewake::mPages {

QDate LastDay(const cRirekiDb& db) {
  const std::vector<HeldDay> days = db.HeldDays();
  return days.empty() ? QDate() : days.front().date;
}

std::map<int, QString> VenueNames(const cRirekiDb& db) {
  std::map<int, QString> names;
  for (const HeldVenue& v : db.HeldVenues()) {
    QString name = v.JyoName;
    names[v.Jyo] = name.remove(u' ').remove(QChar(0x3000));
  }
  return names;
}

QString VenueName(const cRirekiDb& db, std::int16_t jyo) {
  if (jyo == 0) return QStringLiteral("全場");
  const std::map<int, QString> names = VenueNames(db);
  const auto found = names.find(jyo);
  return found != names.end() ? found->second : QStringLiteral("場%1").arg(jyo, 2, 10, QChar(u'0'));
}

mReport::Page Compute(const cRirekiDb& db, const Request& request, std::stop_token stop, const Progress& progress) {
  switch (request.Page) {
    case PageKind::Racer: {
      // One read of his races, too short to break off: a stop asked meanwhile still shows nothing.
      mReport::Page page = mRacerPage::Page(db, {request.SensyuNo, request.Period, request.Jyo});
      return stop.stop_requested() ? mReport::Page{} : page;
    }
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
  return mModelRecord::Page(db, request.Model, request.Period, stop, progress);
}

}  // namespace tidewake::mPages
