#include "bench/predict/WinDays.h"

#include "data/ArchiveMember.h"
#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace tidewake {

namespace {

// The card of the venue loaded in the store, read back through its getters.
cBangumiFile::Card CardOf(const cBangumiFile& b) {
  cBangumiFile::Card c;
  c.KyoteijyoCode = b.KyoteijyoCode();
  c.Title = b.Title();
  c.TitleLong = b.TitleLong();
  c.RaceDate = b.RaceDate();
  c.TotalDay = b.TotalDay();
  c.RaceNumbers = b.RaceNumbers();
  c.ParticipationNumbers = b.ParticipationNumbers();
  c.participants = b.ParticipationSensyuNoAllGet();
  for (std::int16_t r = 1; r <= c.RaceNumbers && r <= cBangumiFile::kMaxRace; ++r) {
    cBangumiFile::Race& race = c.races[static_cast<std::size_t>(r - 1)];
    race.RaceTitle = b.RaceTitle(r);
    race.ClosingHour = b.ClosingHour(r);
    race.VoteType = b.VoteType(r);
    race.CourseFix = b.CourseFix(r);
    for (std::int16_t w = 1; w <= 6; ++w) {
      cBangumiFile::Entrant& e = race.boats[static_cast<std::size_t>(w - 1)];
      e.SensyuNo = b.SensyuNo(r, w);
      e.SensyuName = b.SensyuName(r, w);
      e.SensyuClass = b.SensyuClass(r, w);
      e.SensyuAge = b.SensyuAge(r, w);
      e.SensyuWeight = b.SensyuWeight(r, w);
      e.SensyuZenkokuSyoritu = b.SensyuZenkokuSyoritu(r, w);
      e.SensyuZenkokuFSyoritu = b.SensyuZenkokuFSyoritu(r, w);
      e.SensyuTochiSyoritu = b.SensyuTochiSyoritu(r, w);
      e.SensyuTochiFSyoritu = b.SensyuTochiFSyoritu(r, w);
      e.MotorNo = b.MotorNo(r, w);
      e.MotorFSyoritu = b.MotorFSyoritu(r, w);
      e.BoatNo = b.BoatNo(r, w);
      e.BoatFSyoritu = b.BoatFSyoritu(r, w);
      e.Seiseki = b.Seiseki(r, w);
    }
  }
  return c;
}

std::vector<cBangumiFile::Card> ReadCards(const QByteArray& bytes, const QString& name) {
  std::vector<cBangumiFile::Card> cards;
  cBangumiFile b;
  if (!b.FileConvBytes(bytes, name)) return cards;
  KyoteijyoTable venues;
  QString store;
  if (!b.KaisaiCheck(venues, store)) return cards;
  for (int code = 24; code >= 1; --code) {
    if (venues[static_cast<std::size_t>(code)].isEmpty()) continue;
    QString path = store;
    if (b.FileLoad(QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0')), path)) cards.push_back(CardOf(b));
  }
  return cards;
}

}  // namespace

std::vector<mWinEval::DayRecord> YearFolderDays(const QString& strFolder, QDate from, QDate to) {
  std::vector<mWinEval::DayRecord> days;
  QTemporaryDir tmp;
  const QString previous = AppFolder();
  SetAppFolder(tmp.path());
  const QDir dir(strFolder);
  for (QDate d = from; d <= to; d = d.addDays(1)) {
    const QString stem = d.toString(QStringLiteral("yyMMdd"));
    const QString b = dir.filePath(QStringLiteral("b") + stem + QStringLiteral(".lzh"));
    const QString k = dir.filePath(QStringLiteral("k") + stem + QStringLiteral(".lzh"));
    if (!QFileInfo::exists(b) || !QFileInfo::exists(k)) continue;
    try {
      mWinEval::DayRecord day;
      day.date = d;
      const ArchiveMember prog = ArchiveMemberRead(b, ArchiveKind::Programme);
      day.cards = ReadCards(prog.bytes, prog.name);
      const ArchiveMember res = ArchiveMemberRead(k, ArchiveKind::Results);
      cKekkaFile::ReadAll(res.bytes, [&](const cKekkaFile::Venue& v) { day.results.push_back(v); });
      days.push_back(std::move(day));
    } catch (const RuntimeError& e) {
      std::fprintf(stderr, "%s: %s\n", qPrintable(stem), e.description().toUtf8().constData());
    }
  }
  SetAppFolder(previous);
  return days;
}

}  // namespace tidewake
