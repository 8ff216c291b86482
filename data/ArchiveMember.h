#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tidewake {

// What the user downloaded the archive for: the member that holds it is chosen by its name,
// whatever its case.
enum class ArchiveKind {
  Programme,    // B*.TXT
  FanHandbook,  // F*.TXT (fan*.TXT)
  Results,      // K*.TXT
};

// No official member comes near this unpacked (the largest is about 200 KB): a larger member, or
// more bytes than this unpacked from one archive in all, is refused before it can exhaust memory
// or hold up the window.
inline constexpr qsizetype kMaxArchiveMemberBytes = 8 * 1024 * 1024;

// A file's bytes as read, and the name messages about them use: the path of a text file, or the
// archive's path with the member's name.
struct ArchiveMember {
  QString name;
  QByteArray bytes;
};

// True when the first bytes are those of an archive the program reads: LHA ("-lh5-" at byte 2)
// or ZIP ("PK").
bool LooksLikeArchive(QByteArrayView head);

// True when the file name ends in .lzh, .lha or .zip, whatever the case.
bool HasArchiveSuffix(const QString& strPath);

// The member of the kind wanted, unpacked: the first that fits (of two with one name whatever the
// case, as some official archives hold the same day twice, the larger). Throws RuntimeError whose
// text names the archive: not an archive, a corrupt or truncated one, no fitting member, members
// of different days, more than kMaxArchiveMemberBytes unpacked. The file is read as ChosenFileRead
// reads it.
ArchiveMember ArchiveMemberRead(const QString& strArchivePath, ArchiveKind kind);

// The same from the archive's bytes already in memory; `strArchiveName` names it in messages.
ArchiveMember ArchiveMemberReadBytes(QByteArrayView archive, const QString& strArchiveName, ArchiveKind kind);

}  // namespace tidewake
