#pragma once

#include <QString>

namespace tidewake::bench {

// The number of days of the big history: as many as the real days counted for the program's
// speed targets (2020-01 to 2024-09).
inline constexpr int kBigHistoryDays = 1735;

// A history of kBigHistoryDays days, made once and kept at `path`: the 911 real days of the shared
// archives (2021-01-01 to 2023-06-30) imported, then their first 824 days recorded again as the
// days from 2023-07-01 on. Empty when the shared archives are not there; otherwise the path.
QString BigHistory(const QString& path);

}  // namespace tidewake::bench
