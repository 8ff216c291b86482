#pragma once

#include <QByteArray>

namespace tidewake {

// What a file dropped on the window holds, judged by its content rather than its name: a
// programme has its STARTB or NNBBGN lines; a fan handbook has lines that read as racer records.
enum class DayFileKind { Programme, FanHandbook, Other };

DayFileKind DayFileKindOf(const QByteArray& bytes);

}  // namespace tidewake
