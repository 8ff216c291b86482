#pragma once

#include "data/ArchiveMember.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tidewake {

// The one way a file the user chose comes in: the path is opened once and read whole (a regular
// file, readable, at most kMaxDayFileBytes), its kind is told from its bytes, an official archive
// gives its member, and a store is replaced atomically.

// No real day's file comes near this (a handbook is under 1 MiB); a larger one is refused before
// it is read.
inline constexpr qsizetype kMaxDayFileBytes = 16 * 1024 * 1024;

// What a text holds, judged by its content rather than its name: a programme has its STARTB or
// NNBBGN lines, results their STARTK or NNKBGN lines, a fan handbook lines that read as racer
// records.
enum class DayFileKind { Programme, FanHandbook, Results, Empty, Other };

DayFileKind DayFileKindOf(QByteArrayView bytes);

// The bytes of the file at `path`, read once. Anything that is not a regular file (a folder, a
// device such as /dev/zero, a named pipe) or is larger than kMaxDayFileBytes is refused before
// it is read. Throws RuntimeError naming the path: not found (53), cannot be read (75), not a
// file or too large (1001).
QByteArray ChosenFileRead(const QString& path);

// A chosen file as a day's text: `name` names it in messages (the path, or the archive's path
// with its member), `kind` is what its bytes hold (for a member whose bytes are of no kind, the
// kind its name says).
struct DayFile {
  QString name;
  QByteArray bytes;
  DayFileKind kind = DayFileKind::Other;
};

// The file at `path` read once: a text file as it is; an archive (by its first bytes or its name)
// gives its member of the kind `wanted`, or, when it has none, its first member of another kind
// (so that the caller can say what it holds); `wanted` empty takes a programme, then a handbook,
// then results. Throws RuntimeError as ChosenFileRead and ArchiveMemberReadBytes do.
DayFile DayFileOpen(const QString& path, std::optional<ArchiveKind> wanted);

// What to tell the user when a file of `kind` was given to the command that opens `wanted`: which
// kind it is and which command opens it ("これは成績ファイルです。…"), or that it is empty; empty
// when the file may go on (its own kind, or no kind the program knows: the store then says why).
QString WrongKindText(DayFileKind kind, ArchiveKind wanted);

// Replaces the store `storeName` in the program's folder with `bytes`, whole or not at all, as
// FileReplace does. Throws RuntimeError naming the store (`label` says what it is: "番組ファイル");
// the old store is then as it was.
void StoreReplace(const QString& storeName, QByteArrayView bytes, const QString& label);

}  // namespace tidewake
