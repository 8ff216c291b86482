#include "data/ArchiveLibrary.h"

#include <archive.h>

namespace tidewake {

QString ArchiveLibraryVersion() { return QString::fromLatin1(archive_version_string()); }

}  // namespace tidewake
