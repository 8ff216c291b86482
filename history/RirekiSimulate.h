#pragma once

// A long history made from a short one, for measuring the database at a size no machine here
// holds in real days: the days of a real history again and again, each copy some years earlier.

#include <QString>

namespace tidewake {

// Makes `target` (a new file) hold the days of the history `source`, then `copies` more times
// with every day `yearsApart` × n years earlier (n = 1..copies), written oldest first as an
// import in date order would. Each copy's files count as other files (their hashes differ).
// `yearsApart` must cover the source's span so that no two copies share a day, and be a multiple
// of four when the source holds a 29 February. Throws RuntimeError (ErrNo::History*) when either
// file cannot be used.
void BuildShiftedHistory(const QString& source, const QString& target, int copies, int yearsApart);

}  // namespace tidewake
