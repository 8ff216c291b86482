#include "predict/mWinEval.h"

#include "data/ArchiveMember.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <set>

namespace tidewake::mWinEval {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// The payout of `kind` whose combination is exactly `boats` (in order); 0 when none is.
std::int32_t PayoutOf(const cKekkaFile::Race& r, Kakesiki kind, const QList<std::int16_t>& boats) {
  const auto& list = r.payouts[U(static_cast<int>(kind))];
  // A dead heat lists two combinations: the race's winning one is then not single.
  if (list.size() != 1 || list[0].Tokubarai) return 0;
  const QStringList parts = list[0].Kumiban.trimmed().split(QLatin1Char('-'));
  if (parts.size() != boats.size()) return 0;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    bool ok = false;
    if (parts[i].trimmed().toInt(&ok) != boats[i] || !ok) return 0;
  }
  return list[0].Kingaku > 0 ? list[0].Kingaku : 0;
}

}  // namespace

std::array<std::int16_t, 3> ZeroBased(const std::array<std::int16_t, 3>& boats) {
  return {static_cast<std::int16_t>(boats[0] - 1), static_cast<std::int16_t>(boats[1] - 1),
          static_cast<std::int16_t>(boats[2] - 1)};
}

mWinModel::Courses CoursesOf(const mCourseHistory::CourseTable& byBoat) {
  mWinModel::Courses c = mWinModel::kWakunari;
  for (std::size_t b = 1; b <= 6; ++b) {
    if (byBoat[b] >= 1 && byBoat[b] <= 6) c[b - 1] = byBoat[b];
  }
  return c;
}

mWinFeatures::Exhibition ExhibitionOf(const cKekkaFile::Race& result) {
  mWinFeatures::Exhibition e;
  for (const cKekkaFile::Boat& b : result.boats) {
    if (b.WakuNo < 1 || b.WakuNo > 6) continue;
    e.Times[U(b.WakuNo - 1)] = b.TenjiTime;
    if (b.Course >= 1 && b.Course <= 6) e.Courses[U(b.WakuNo)] = b.Course;
  }
  return e;
}

double PoolChance(std::int32_t yen) { return yen > 0 ? kPoolReturn * 100.0 / yen : 0.0; }

Outcome ReadOutcome(const cBangumiFile::Race& card, const cKekkaFile::Race& result) {
  Outcome o;
  if (!result.Exists || result.Status != RaceStatus::Held) return o;
  std::array<int, 4> holders{};
  std::set<int> boats;
  for (const cKekkaFile::Boat& b : result.boats) {
    if (b.WakuNo < 1 || b.WakuNo > 6 || !boats.insert(b.WakuNo).second) return o;
    if (b.SensyuNo.trimmed() != card.boats[U(b.WakuNo - 1)].SensyuNo.trimmed()) return o;
    o.RealCourses[U(b.WakuNo)] = (b.Course >= 1 && b.Course <= 6) ? b.Course : std::int16_t{0};
    const QChar first = b.Tyakujyun.isEmpty() ? QChar() : b.Tyakujyun[0];
    if (b.StartFlying || b.StartLate || first == QLatin1Char('F') || first == QLatin1Char('L') ||
        first == QLatin1Char('K')) {
      o.Refund = true;
    }
    if (b.TyakujyunNo >= 1 && b.TyakujyunNo <= 3) {
      if (holders[U(b.TyakujyunNo)] != 0) return o;  // a dead heat
      holders[U(b.TyakujyunNo)] = b.WakuNo;
    }
  }
  if (boats.size() != 6 || holders[1] == 0 || holders[2] == 0 || holders[3] == 0) return o;
  o.Placed = true;
  for (int k = 0; k < 3; ++k) o.FirstThree[U(k)] = static_cast<std::int16_t>(holders[U(k + 1)]);
  const auto& f = o.FirstThree;
  o.Tansyo = PayoutOf(result, Kakesiki::Tansyo, {f[0]});
  o.Nirentan = PayoutOf(result, Kakesiki::Nirentan, {f[0], f[1]});
  o.Sanrentan = PayoutOf(result, Kakesiki::Sanrentan, {f[0], f[1], f[2]});
  return o;
}

DaySource ListDays(const std::vector<DayRecord>& days) {
  return [&days, next = std::size_t{0}](DayRecord& day) mutable {
    if (next >= days.size()) return false;
    day = days[next++];
    return true;
  };
}

DaySource HistoryDays(const cRirekiDb& db, QDate from, QDate to) {
  struct State {
    bool Started = false;
    QDate Cursor, Last;
    std::vector<DayRecord> Month;
    std::size_t Next = 0;
  };
  auto st = std::make_shared<State>();
  return [&db, from, to, st](DayRecord& day) {
    if (!st->Started) {
      st->Started = true;
      st->Cursor = from;
      st->Last = to;
      if (!from.isValid() || !to.isValid()) {
        const std::vector<HeldDay> held = db.HeldDays();  // the newest first
        if (held.empty()) return false;
        if (!from.isValid()) st->Cursor = held.back().date;
        if (!to.isValid()) st->Last = held.front().date;
      }
    }
    while (st->Next >= st->Month.size()) {
      st->Month.clear();
      st->Next = 0;
      if (!st->Cursor.isValid() || !st->Last.isValid() || st->Cursor > st->Last) return false;
      const QDate end = std::min(st->Last, QDate(st->Cursor.year(), st->Cursor.month(), st->Cursor.daysInMonth()));
      st->Month = db.Days(st->Cursor, end);
      st->Cursor = end.addDays(1);
    }
    day = std::move(st->Month[st->Next++]);
    return true;
  };
}

void Walk(const DaySource& days, const mWinFeatures::FeatureSet& set, const std::function<void(const RaceCase&)>& each,
          std::stop_token stop) {
  mWinHistory::cWinHistory history;
  DayRecord day;
  QDate pruned;
  while (!stop.stop_requested() && days(day)) {
    for (const cBangumiFile::Card& card : day.cards) {
      const int venue = card.KyoteijyoCode.toInt();
      const cKekkaFile::Venue* results = nullptr;
      for (const cKekkaFile::Venue& v : day.results) {
        if (v.KyoteijyoCode.toInt() == venue) results = &v;
      }
      for (int r = 1; r <= card.RaceNumbers && r <= cBangumiFile::kMaxRace; ++r) {
        RaceCase rc;
        rc.Date = day.date;
        rc.Venue = venue;
        rc.RaceNo = r;
        rc.Card = &card;
        if (results && results->races[U(r - 1)].Exists) rc.Result = &results->races[U(r - 1)];
        const cBangumiFile::Race& race = card.races[U(r - 1)];
        for (int b = 0; b < 6; ++b)
          rc.Records[U(b)] =
              history.Record(race.boats[U(b)].SensyuNo, day.date, mWinFeatures::kWindowDays, set.EntryWindowDays);
        rc.Entry = mCourseHistory::Predict(rc.Records, race.CourseFix);
        rc.Rows = mWinFeatures::RaceFeatures(card, r, rc.Entry.Courses, rc.Records, set);
        each(rc);
      }
    }
    for (const cKekkaFile::Venue& v : day.results) history.AddVenue(day.date, v);
    // Races older than the window are never asked about again: a walk over years keeps a window's worth.
    if (!pruned.isValid() || day.date > pruned.addDays(30)) {
      history.Forget(day.date.addDays(-std::max(mWinFeatures::kWindowDays, set.EntryWindowDays)));
      pruned = day.date;
    }
  }
}

void Walk(const std::vector<DayRecord>& days, const mWinFeatures::FeatureSet& set,
          const std::function<void(const RaceCase&)>& each, std::stop_token stop) {
  Walk(ListDays(days), set, each, stop);
}

bool Fittable(const RaceCase& rc, const Outcome& o, QDate from, QDate to) {
  return rc.Result && (!from.isValid() || rc.Date >= from) && (!to.isValid() || rc.Date < to) && o.Placed && !o.Refund;
}

mWinModel::Coefficients FitDays(const DaySource& days, QDate from, QDate to, const mWinFeatures::FeatureSet& set,
                                double ridge, const std::function<void(int)>& progress, std::stop_token stop) {
  const QStringList names = mWinFeatures::FeatureNames(set);
  mWinFit::RaceSet races(static_cast<int>(names.size()), mWinFeatures::OneHotFrom(set));
  Walk(
      days, set,
      [&](const RaceCase& rc) {
        if (!rc.Result) return;
        const Outcome o = ReadOutcome(rc.Card->races[U(rc.RaceNo - 1)], *rc.Result);
        if (!Fittable(rc, o, from, to)) return;
        races.Add(rc.Rows, ZeroBased(o.FirstThree), CoursesOf(rc.Entry.Courses));
      },
      stop);
  if (stop.stop_requested()) return {};
  return mWinFit::FitAll(races, names, ridge, progress, stop);
}

mWinModel::Coefficients FitDays(const std::vector<DayRecord>& days, QDate from, QDate to,
                                const mWinFeatures::FeatureSet& set, double ridge,
                                const std::function<void(int)>& progress, std::stop_token stop) {
  return FitDays(ListDays(days), from, to, set, ridge, progress, stop);
}

DaySource FolderDays(const QStringList& folders, QDate from, QDate to, QStringList* skipped) {
  return [folders, to, skipped, d = from](DayRecord& day) mutable {
    for (; d.isValid() && d <= to; d = d.addDays(1)) {
      const QString stem = d.toString(QStringLiteral("yyMMdd"));
      for (const QString& folder : folders) {
        const QDir dir(folder);
        const QString b = dir.filePath(QStringLiteral("b") + stem + QStringLiteral(".lzh"));
        const QString k = dir.filePath(QStringLiteral("k") + stem + QStringLiteral(".lzh"));
        if (!QFileInfo::exists(b) || !QFileInfo::exists(k)) continue;
        try {
          day = DayRecord{d, {}, {}};
          day.cards = cBangumiFile::ReadDay(ArchiveMemberRead(b, ArchiveKind::Programme).bytes);
          cKekkaFile::ReadAll(ArchiveMemberRead(k, ArchiveKind::Results).bytes,
                              [&](const cKekkaFile::Venue& v) { day.results.push_back(v); });
          d = d.addDays(1);
          return true;
        } catch (const RuntimeError& e) {
          if (skipped) *skipped << stem + QStringLiteral(": ") + e.description();
        }
        break;
      }
    }
    return false;
  };
}

std::vector<DayRecord> YearFolderDays(const QString& strFolder, QDate from, QDate to, QStringList* skipped) {
  std::vector<DayRecord> days;
  const DaySource next = FolderDays({strFolder}, from, to, skipped);
  DayRecord day;
  while (next(day)) days.push_back(std::move(day));
  return days;
}

}  // namespace tidewake::mWinEval
