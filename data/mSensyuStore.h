#pragma once

#include <QByteArray>
#include <QString>

namespace tidewake {

// The racer store SENSYU.BRF is the fan handbook's text kept byte for byte. Replacing it must
// never leave the user with no store or with something that is not a handbook: the bytes are
// checked first, written to a temporary file beside the store and renamed over it only when the
// whole copy succeeded. Any failure shows a box (critical icon, the program's caption) naming
// the file, and leaves the previous store exactly as it was.

// The biggest handbook accepted: real ones are under 1 MiB.
inline constexpr qsizetype kMaxSensyuFileBytes = 64 * 1024 * 1024;

// Replaces the store with `bytes`, which came from `strSourceName` (a path or an archive member,
// used only to name it in messages).
bool SensyuStoreReplace(const QByteArray& bytes, const QString& strSourceName);

// Replaces the store with the contents of the file at `strFileName`: a handbook text, or an
// archive whose F*.TXT (fan*.TXT) member is taken.
bool SensyuStoreUpdate(const QString& strFileName);

// Why `bytes` cannot be a fan handbook, or an empty text when it can: it holds a NUL byte, or no
// line of it reads as a racer record.
QString SensyuBytesProblem(const QByteArray& bytes);

// Why the store could not hold `bytes`, or an empty text when it can: SensyuBytesProblem, a
// handbook in the older layout (the store is read in the current one), or anything the store's
// loader would refuse (more lines than it takes).
QString SensyuLoadProblem(const QByteArray& bytes);

}  // namespace tidewake
