#pragma once

#include <QString>

namespace tidewake {

// The name and version of the database library the history is kept with ("SQLite 3.40.1"), for
// the program's about box.
QString SqliteLibraryVersion();

}  // namespace tidewake
