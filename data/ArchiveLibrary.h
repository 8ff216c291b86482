#pragma once

#include <QString>

namespace tidewake {

// The name and version of the library that reads the official archives ("libarchive 3.7.2"), for
// the program's about box.
QString ArchiveLibraryVersion();

}  // namespace tidewake
