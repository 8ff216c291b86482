#include "history/mRirekiImport.h"

#include "platform/RuntimeError.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace tidewake {

namespace {

const QRegularExpression& DayFileName() {
  static const QRegularExpression re(QStringLiteral("^([bk])(\\d{6})?.*\\.(lzh|txt)$"),
                                     QRegularExpression::CaseInsensitiveOption);
  return re;
}

// The day a file's name gives (b220701.lzh: 2022-07-01); invalid when it gives none.
QDate NameDate(const QString& path) {
  const auto m = DayFileName().match(QFileInfo(path).fileName());
  if (!m.hasMatch() || m.captured(2).isEmpty()) return {};
  const QString d = m.captured(2);
  return QDate(2000 + d.left(2).toInt(), d.mid(2, 2).toInt(), d.mid(4, 2).toInt());
}

QDate ContentDate(const QString& raceDate) {
  return QDate::fromString(raceDate.trimmed(), QStringLiteral("yyyy/MM/dd"));
}

QDate DayOf(QDate fromContent, const QString& name, const QString& what) {
  if (fromContent.isValid()) return fromContent;
  const QDate fromName = NameDate(name);
  if (fromName.isValid()) return fromName;
  throw RuntimeError(ErrNo::DateOutOfRange,
                     QStringLiteral("%1の日付がわかりません（中にも名前にも日付がありません）: %2").arg(what, name));
}

}  // namespace

RecordOutcome RecordDayMember(cRirekiDb& db, const ArchiveMember& member, ArchiveKind kind) {
  // The same bytes recorded before are known by their hash, before any reading.
  if (db.HasFile(member.bytes)) return RecordOutcome::AlreadyThere;
  if (kind == ArchiveKind::Programme) {
    const std::vector<cBangumiFile::Card> cards = cBangumiFile::ReadDay(member.bytes);
    if (cards.empty()) {
      throw RuntimeError(
          ErrNo::NotATextFile,
          QStringLiteral("番組ファイルではありません（競艇場のブロックがありません）: %1").arg(member.name));
    }
    QDate date;
    for (const auto& c : cards) {
      if ((date = ContentDate(c.RaceDate)).isValid()) break;
    }
    return db.RecordProgramme(DayOf(date, member.name, QStringLiteral("番組ファイル")), cards, member.bytes);
  }
  if (kind == ArchiveKind::Results) {
    std::vector<cKekkaFile::Venue> venues;
    cKekkaFile::ReadAll(member.bytes, [&](const cKekkaFile::Venue& v) { venues.push_back(v); });
    if (venues.empty()) {
      throw RuntimeError(
          ErrNo::NotATextFile,
          QStringLiteral("成績ファイルではありません（競艇場のブロックがありません）: %1").arg(member.name));
    }
    QDate date;
    for (const auto& v : venues) {
      if ((date = ContentDate(v.RaceDate)).isValid()) break;
    }
    return db.RecordResults(DayOf(date, member.name, QStringLiteral("成績ファイル")), venues, member.bytes);
  }
  throw RuntimeError(ErrNo::NotATextFile,
                     QStringLiteral("番組ファイルでも成績ファイルでもありません: %1").arg(member.name));
}

RecordOutcome RecordDayFile(cRirekiDb& db, const QString& path, ArchiveKind kind) {
  return RecordDayMember(db, KindFileRead(path, kind), kind);
}

QStringList ImportFiles(const QStringList& paths) {
  QStringList files;
  auto take = [&](const QString& file) {
    if (DayFileName().match(QFileInfo(file).fileName()).hasMatch()) files << QFileInfo(file).absoluteFilePath();
  };
  for (const QString& p : paths) {
    if (QFileInfo(p).isDir()) {
      QDirIterator it(p, QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
      while (it.hasNext()) take(it.next());
    } else {
      take(p);
    }
  }
  // Day order, the programme before the results of the same day.
  auto key = [](const QString& f) {
    const QString name = QFileInfo(f).fileName().toLower();
    return name.mid(1) + name.left(1) + f;
  };
  std::sort(files.begin(), files.end(), [&](const QString& a, const QString& b) { return key(a) < key(b); });
  files.removeDuplicates();
  return files;
}

ImportSummary ImportPaths(cRirekiDb& db, const QStringList& paths, const ImportProgress& progress,
                          const std::atomic<bool>* cancel) {
  ImportSummary s;
  const QStringList files = ImportFiles(paths);
  // Per day: true once one of its files was added or replaced.
  std::map<QDate, bool> days;
  for (const QString& file : files) {
    if (cancel && cancel->load()) {
      s.cancelled = true;
      break;
    }
    const QDate nameDate = NameDate(file);
    if (progress) {
      progress(s.files, static_cast<int>(files.size()),
               nameDate.isValid() ? nameDate.toString(QStringLiteral("yyyy/MM/dd")) : QFileInfo(file).fileName());
    }
    ++s.files;
    const ArchiveKind kind =
        QFileInfo(file).fileName().front().toLower() == u'b' ? ArchiveKind::Programme : ArchiveKind::Results;
    try {
      const ArchiveMember member = KindFileRead(file, kind);
      const RecordOutcome outcome = RecordDayMember(db, member, kind);
      const QDate key = nameDate.isValid() ? nameDate : QDate(1, 1, 1);
      days[key] = days[key] || outcome != RecordOutcome::AlreadyThere;
    } catch (const RuntimeError& e) {
      s.refused.push_back({file, e.description()});
    }
  }
  for (const auto& [day, added] : days) (added ? s.daysAdded : s.daysAlreadyThere)++;
  return s;
}

QString ImportSummaryText(const ImportSummary& s) {
  QString text =
      QStringLiteral("%1 日分を履歴に加えました。%2 日分はすでにありました。").arg(s.daysAdded).arg(s.daysAlreadyThere);
  if (s.cancelled) text += QStringLiteral("\n途中で取り込みをやめました（%1 ファイルまで）。").arg(s.files);
  if (!s.refused.empty()) {
    text += QStringLiteral("\n取り込めなかったファイル（%1）:").arg(s.refused.size());
    for (const ImportRefusal& r : s.refused) text += QStringLiteral("\n%1\n  %2").arg(r.file, r.reason);
  }
  return text;
}

}  // namespace tidewake
