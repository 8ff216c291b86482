#pragma once

// A long history made from a short one, for measuring the database at a size no machine here
// holds in real days: the days of a real history again and again, each copy some years earlier.

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace tidewake {

class cRirekiDb;

// Makes `target` (a new file) hold the days of the history `source`, then `copies` more times
// with every day `yearsApart` × n years earlier (n = 1..copies), written oldest first as an
// import in date order would. Each copy's files count as other files (their hashes differ).
// `yearsApart` must cover the source's span so that no two copies share a day, and be a multiple
// of four when the source holds a 29 February. Throws RuntimeError (ErrNo::History*) when either
// file cannot be used.
void BuildShiftedHistory(const QString& source, const QString& target, int copies, int yearsApart);

// A history's rows held in memory, file by file in the order they were recorded, each table's
// rows packed (a type byte, then the integer, the real, or the text's length and bytes): what
// SQLite alone costs to write an import's rows is measured by writing these, with nothing read,
// parsed or looked up meanwhile.
struct HeldRows {
  struct Table {
    int table = 0;  // in HeldTables()
    std::int64_t rows = 0;
    std::string packed;
  };
  std::vector<std::vector<Table>> files;  // racers come with the first file
  std::int64_t rows = 0;
};
// The tables held, in the order a file's rows are written.
const std::vector<const char*>& HeldTables();

// Every row of the history `path` (except the import's own mark).
HeldRows ReadHeldRows(const QString& path);
// Writes `rows` into `db` (a new file) as an import does: marked as an import, `filesPerBatch`
// files a transaction, each table's rows `rowsPerStatement` at a time in one INSERT.
void WriteHeldRows(cRirekiDb& db, const HeldRows& rows, int filesPerBatch, int rowsPerStatement);

}  // namespace tidewake
