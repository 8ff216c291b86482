#pragma once

#include "data/ArchiveMember.h"

#include <QString>

namespace tidewake {

class cBangumiFile;

// Converts the programme the user chose into the store, whether it is the day's text file or the
// official archive it is downloaded in (b240101.lzh): the file is read once (DayFileOpen), an
// archive gives its B*.TXT member, and the bytes go to FileConvBytes. A file of another kind says
// what it is and which command opens it. A failure shows the conversion's message box
// ("番組ファイル変換エラー"), naming the file, and leaves the store as it was. True when the store
// was written.
// `read`, when given, receives the programme's bytes as read, for whatever else wants them (the
// history) without reading the file again.
bool ProgrammeOpen(cBangumiFile& bangumi, const QString& strPath, ArchiveMember* read = nullptr);

}  // namespace tidewake
