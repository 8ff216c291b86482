#pragma once

#include "data/ArchiveMember.h"
#include "history/cRirekiDb.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

namespace tidewake {

// Records one day's programme or results file, already read (a text file's bytes or the official
// archive's member), in the history: its day taken from its content (from its name bYYMMDD / kYYMMDD
// when the content has none). Throws RuntimeError naming the file when it is not of the kind or the
// database cannot be written; the database is then as it was.
RecordOutcome RecordDayMember(cRirekiDb& db, const ArchiveMember& member, ArchiveKind kind);

// Records a day's results already read as values from `member`'s bytes (Ctrl+K reads a file once
// for the store, the window and the history): the day from their content, else from the name.
// Throws RuntimeError as RecordDayMember does.
RecordOutcome RecordDayResults(cRirekiDb& db, const ArchiveMember& member,
                               const std::vector<cKekkaFile::Venue>& venues);
// The files an import reads under the paths (files or folders, with their sub-folders): in a
// folder every programme (b*) and results (k*) file ending in .lzh or .txt, whatever the case, be
// it readable or not (reading it then says why); a file named itself whatever its name (its
// content tells its kind). In day order.
QStringList ImportFiles(const QStringList& paths);

struct ImportRefusal {
  QString file, reason;
};

struct ImportSummary {
  int files = 0;             // files looked at
  int daysAdded = 0;         // days with a file added or replaced
  int daysAlreadyThere = 0;  // days whose every file was recorded before from the same bytes
  std::vector<ImportRefusal> refused;
  bool cancelled = false;
  // The database's own failure (locked, read-only, full, damaged, I/O) that ended the import, and
  // the files not imported because of it (the one it failed on among them).
  QString stopped;
  int filesLeft = 0;
};

// Told before each file: how many were done, of how many, and the day being read ("2022/07/01").
using ImportProgress = std::function<void(int done, int total, const QString& day)>;

// Imports every file ImportFiles finds, each day's file in its own transaction. A file refused
// changes nothing and is named in the summary with why; the import goes on with the next. A
// failure of the database itself ends the import there. When `cancel` becomes true the import
// stops before the next file: what was recorded stays.
ImportSummary ImportPaths(cRirekiDb& db, const QStringList& paths, const ImportProgress& progress = {},
                          const std::atomic<bool>* cancel = nullptr);
// The same for a list ImportFiles made.
ImportSummary ImportFileList(cRirekiDb& db, const QStringList& files, const ImportProgress& progress = {},
                             const std::atomic<bool>* cancel = nullptr);

// The summary as the console program says it: the counts, why it stopped, and every file refused
// with why. `withRefusals` false leaves the list out (the window shows it in a details area) and
// says how many there were.
QString ImportSummaryText(const ImportSummary& summary, bool withRefusals = true);
// Every file refused with why, a file and its reason a pair of lines.
QString ImportRefusalsText(const ImportSummary& summary);

}  // namespace tidewake
