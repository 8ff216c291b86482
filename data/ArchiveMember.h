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

// No official member comes near this unpacked; a larger one is refused before it can exhaust
// memory.
inline constexpr qsizetype kMaxArchiveMemberBytes = 64 * 1024 * 1024;

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

// The member of the kind wanted, unpacked. When several members fit and their names differ only
// in case (some official archives hold the same day twice so), the larger is taken. Throws
// RuntimeError whose text names the archive: not an archive, a corrupt or truncated one, no
// fitting member, members of different days, a member over kMaxArchiveMemberBytes unpacked.
ArchiveMember ArchiveMemberRead(const QString& strArchivePath, ArchiveKind kind);

// The same from the archive's bytes already in memory; `strArchiveName` names it in messages.
ArchiveMember ArchiveMemberReadBytes(QByteArrayView archive, const QString& strArchiveName, ArchiveKind kind);

// A file the user chose, which may be a text file or an archive: an archive (by its first bytes,
// or by its name) gives its member of the kind wanted, any other file its own bytes. Throws
// RuntimeError as ArchiveMemberRead does, and for a missing or unreadable file, or a text file
// over kMaxArchiveMemberBytes.
ArchiveMember KindFileRead(const QString& strPath, ArchiveKind kind);

// True for an existing file that is an archive, by its first bytes or by its name.
bool IsArchiveFile(const QString& strPath);

}  // namespace tidewake
