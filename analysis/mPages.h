#pragma once

#include "analysis/mPeriod.h"
#include "analysis/mReport.h"
#include "analysis/mReturnRate.h"
#include "predict/mWinCoefficients.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <stop_token>

namespace tidewake {
class cRirekiDb;
}

// The one routine behind every analysis page: the window and the console ask it alike, so that
// both show the same figures.
namespace tidewake::mPages {

enum class PageKind { Racer, Venue, Motor, Roi, Model };

struct Request {
  PageKind Page = PageKind::Venue;
  mPeriod::Period Period;
  QString SensyuNo;                     // Racer
  std::int16_t Jyo = 0;                 // Racer: this venue (当地); Venue, Motor: the venue; Roi: 0 every venue
  QStringList Marked;                   // Motor: the race's motors
  Kakesiki Kind = Kakesiki::Sanrentan;  // Roi
  mReturnRate::By By = mReturnRate::By::Boat;
  mWinCoefficients::Model Model;  // Model: the coefficients in use
};

// Told how far a long page has come: done of total (days).
using Progress = std::function<void(int done, int total)>;

// The page asked for. An empty page (no title) when a stop was requested. Throws RuntimeError
// when the history cannot be read.
mReport::Page Compute(const cRirekiDb& db, const Request& request, std::stop_token stop = {},
                      const Progress& progress = {});

// The last day the history holds (the default end of a period); null when it holds none.
QDate LastDay(const cRirekiDb& db);
// The venue's name as the results last printed it, without its spacing ("大村"); "全場" for 0.
QString VenueName(const cRirekiDb& db, std::int16_t jyo);
// Every venue the results hold, by code.
std::map<int, QString> VenueNames(const cRirekiDb& db);

}  // namespace tidewake::mPages
