#pragma once

// Field-by-field comparison of what the history gives back with what the stores read.

#include "data/ArchiveMember.h"
#include "history/cRirekiDb.h"

#include <QString>

namespace tidewake::test {

// Empty when equal; otherwise the first field that differs, with both values.
QString CardDifference(const cBangumiFile::Card& a, const cBangumiFile::Card& b);
QString VenueDifference(const cKekkaFile::Venue& a, const cKekkaFile::Venue& b);
QString DayDifference(const DayRecord& a, const DayRecord& b);

// The day's text a file holds (a text file or an archive's member of the kind).
QByteArray DayBytes(const QString& path, ArchiveKind kind);

// Reads a results text as the store does, every venue in file order.
std::vector<cKekkaFile::Venue> ReadVenues(QByteArrayView bytes);

}  // namespace tidewake::test
