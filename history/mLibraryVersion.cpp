#include "history/mLibraryVersion.h"

#include <sqlite3.h>

namespace tidewake {

QString SqliteLibraryVersion() { return QStringLiteral("SQLite ") + QString::fromLatin1(sqlite3_libversion()); }

}  // namespace tidewake
