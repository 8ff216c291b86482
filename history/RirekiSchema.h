#pragma once

// The history database's tables, version by version, and the check that a file holds exactly
// them: a file with a view, a trigger, a table or a column of its own is not run.

#include <QString>
#include <QStringList>

#include <sqlite3.h>

namespace tidewake::rireki {

// The version this program writes.
inline constexpr int kSchemaVersion = 4;
// The version whose rows the upgrade reads (older files are first brought to it by SQL alone).
inline constexpr int kLastRowSchema = 3;

// The statements that bring the schema from `version` - 1 to `version` (1..kLastRowSchema) as an
// older program left it; for kSchemaVersion, the statements that make the tables of a new file.
QStringList SchemaStep(int version);

// Runs every statement of a step; false with SQLite's message when one fails.
bool RunStep(sqlite3* db, int version, QString& error);

// The first way the file's tables and indexes differ from those of `version`, in the program's
// words ("見込みにないビュー v"); empty when they are exactly the same.
QString SchemaDifference(sqlite3* db, int version);

}  // namespace tidewake::rireki
