#include "predict/mWinHistory.h"

#include <algorithm>

namespace tidewake::mWinHistory {

std::int32_t RacerRecord::TotalStarts() const {
  std::int32_t n = 0;
  for (std::int32_t s : Starts) n += s;
  return n;
}

void cWinHistory::AddVenue(QDate date, const cKekkaFile::Venue& venue) {
  for (const cKekkaFile::Race& race : venue.races) {
    if (!race.Exists) continue;
    for (const cKekkaFile::Boat& boat : race.boats) {
      if (boat.WakuNo < 1 || boat.WakuNo > 6) continue;
      PastRace p;
      p.Date = date;
      p.Waku = boat.WakuNo;
      p.Course = (boat.Course >= 1 && boat.Course <= 6) ? boat.Course : std::int16_t{0};
      p.Place = (boat.TyakujyunNo >= 1 && boat.TyakujyunNo <= 6) ? boat.TyakujyunNo : std::int16_t{0};
      p.StartKnown = boat.StartTimingExists;
      p.Flying = boat.StartFlying;
      p.StartTiming = boat.StartTiming;
      std::vector<PastRace>& list = races_[boat.SensyuNo.trimmed()];
      // Days come in date order; one out of order is put in its place all the same.
      auto at = std::upper_bound(list.begin(), list.end(), date,
                                 [](const QDate& d, const PastRace& r) { return d < r.Date; });
      list.insert(at, p);
    }
  }
}

void cWinHistory::Forget(QDate before) {
  for (auto it = races_.begin(); it != races_.end();) {
    std::vector<PastRace>& list = it.value();
    const auto keep = std::lower_bound(list.begin(), list.end(), before,
                                       [](const PastRace& r, const QDate& d) { return r.Date < d; });
    list.erase(list.begin(), keep);
    if (list.empty()) {
      it = races_.erase(it);
    } else {
      ++it;
    }
  }
}

namespace {

// Counts a race: its results when `results` (inside the record's window), its entry when `entry`.
void Count(RacerRecord& rec, const PastRace& p, bool results, bool entry) {
  if (p.Course < 1 || p.Course > 6 || p.Waku < 1 || p.Waku > 6) {
    if (results && p.Flying) ++rec.Flyings;
    return;
  }
  const auto c = static_cast<std::size_t>(p.Course);
  if (entry) ++rec.Entries[static_cast<std::size_t>(p.Waku)][c];
  if (!results) return;
  if (p.Flying) ++rec.Flyings;
  ++rec.Starts[c];
  if (p.Place == 1) ++rec.Wins[c];
  if (p.Place == 1 || p.Place == 2) ++rec.TwoPlace[c];
  if (p.Place >= 1 && p.Place <= 3) ++rec.ThreePlace[c];
  if (p.StartKnown && !p.Flying) {
    ++rec.Timings;
    rec.TimingSum += p.StartTiming;
  }
}

}  // namespace

RacerRecord RecordOf(const std::vector<PastRace>& races, QDate before, int windowDays, int entryWindowDays) {
  RacerRecord rec;
  const QDate from = before.addDays(-windowDays);
  const QDate entryFrom = before.addDays(-(entryWindowDays > 0 ? entryWindowDays : windowDays));
  for (const PastRace& p : races) {
    if (p.Date < before) Count(rec, p, p.Date >= from, p.Date >= entryFrom);
  }
  return rec;
}

std::vector<PastRace> FromRecent(const std::vector<RecentRace>& races) {
  std::vector<PastRace> out;
  out.reserve(races.size());
  for (const RecentRace& r : races) {
    PastRace p;
    p.Date = r.date;
    p.Waku = r.WakuNo;
    p.Course = r.Course;
    p.Place = (r.TyakujyunNo >= 1 && r.TyakujyunNo <= 6) ? r.TyakujyunNo : std::int16_t{0};
    p.StartKnown = r.StartTimingExists;
    p.Flying = r.StartFlying;
    p.StartTiming = r.StartTiming;
    out.push_back(p);
  }
  return out;
}

RacerRecord cWinHistory::Record(const QString& strSensyuNo, QDate before, int windowDays, int entryWindowDays) const {
  RacerRecord rec;
  const auto found = races_.constFind(strSensyuNo.trimmed());
  if (found == races_.constEnd()) return rec;
  const std::vector<PastRace>& list = *found;
  const QDate from = before.addDays(-windowDays);
  const QDate entryFrom = before.addDays(-(entryWindowDays > 0 ? entryWindowDays : windowDays));
  auto it = std::lower_bound(list.begin(), list.end(), std::min(from, entryFrom),
                             [](const PastRace& r, const QDate& d) { return r.Date < d; });
  for (; it != list.end() && it->Date < before; ++it) Count(rec, *it, it->Date >= from, it->Date >= entryFrom);
  return rec;
}

}  // namespace tidewake::mWinHistory
