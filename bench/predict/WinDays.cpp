#include "bench/predict/WinDays.h"

#include "data/ArchiveMember.h"
#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace tidewake {

std::vector<DayRecord> YearFolderDays(const QString& strFolder, QDate from, QDate to) {
  std::vector<DayRecord> days;
  const QDir dir(strFolder);
  for (QDate d = from; d <= to; d = d.addDays(1)) {
    const QString stem = d.toString(QStringLiteral("yyMMdd"));
    const QString b = dir.filePath(QStringLiteral("b") + stem + QStringLiteral(".lzh"));
    const QString k = dir.filePath(QStringLiteral("k") + stem + QStringLiteral(".lzh"));
    if (!QFileInfo::exists(b) || !QFileInfo::exists(k)) continue;
    try {
      DayRecord day;
      day.date = d;
      day.cards = cBangumiFile::ReadDay(ArchiveMemberRead(b, ArchiveKind::Programme).bytes);
      cKekkaFile::ReadAll(ArchiveMemberRead(k, ArchiveKind::Results).bytes,
                          [&](const cKekkaFile::Venue& v) { day.results.push_back(v); });
      days.push_back(std::move(day));
    } catch (const RuntimeError& e) {
      std::fprintf(stderr, "%s: %s\n", qPrintable(stem), e.description().toUtf8().constData());
    }
  }
  return days;
}

}  // namespace tidewake
