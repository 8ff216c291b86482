#pragma once

// What the history's tests share: a file changed with SQL of the test's own (a crafted file, an
// older program's file), real days as the stores read them, and files of the older row layout.

#include "history/cRirekiDb.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace tidewake::test {

// Runs the statements on the file through a connection of its own (no checks, no defences: the
// way another program or a hand at a SQLite shell would change it). Fails the test on an error.
void RawSql(const QString& path, const QStringList& sql);
// The first column of the first row.
QVariant RawValue(const QString& path, const QString& sql);

// The day as the stores read its two archives in `folder` (b/kYYMMDD.lzh); a missing one is empty.
DayRecord ReadDayFiles(QDate d, const QString& folder);

// Copies the programme and results archives of `days` days from `from` out of the shared year.
void CopyYearDays(const QString& to, QDate from, int days);

// A file of version 3 (the row layout before compact rows) holding the days as the program of
// that version recorded them, each file's hash given.
class V3File {
 public:
  explicit V3File(const QString& path);
  ~V3File();
  V3File(const V3File&) = delete;
  V3File& operator=(const V3File&) = delete;
  void Add(const DayRecord& day, const QString& programmeHash, const QString& resultsHash);

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace tidewake::test
