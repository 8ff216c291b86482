#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tidewake {

// What a file dropped on the window holds, judged by its content rather than its name: a
// programme has its STARTB or NNBBGN lines; a fan handbook has lines that read as racer records.
enum class DayFileKind { Programme, FanHandbook, Other };

DayFileKind DayFileKindOf(const QByteArray& bytes);

// Replaces the store `storeName` in the program's folder with `bytes`, whole or not at all: the
// bytes go to a temporary file beside it, which is renamed over it only when every byte was
// written. Throws RuntimeError naming the store (`label` says what it is: "番組ファイル");
// the old store is then as it was.
void StoreReplace(const QString& storeName, QByteArrayView bytes, const QString& label);

}  // namespace tidewake
