#pragma once

#include "history/cRirekiDb.h"

#include <QDate>
#include <QString>

#include <vector>

namespace tidewake {

// The days of a folder of official archives (bYYMMDD.lzh with kYYMMDD.lzh) in [from, to], in
// date order, read directly rather than through the history database. A day whose programme or
// results cannot be read is left out with a line on stderr.
std::vector<DayRecord> YearFolderDays(const QString& strFolder, QDate from, QDate to);

}  // namespace tidewake
