#pragma once

#include <QString>

#include <cstdio>

namespace tidewake {

// Writes text to the console program's output or error stream and flushes it. On Windows a
// console shows it through the wide-character call (any code page shows Japanese) and a pipe or
// file gets UTF-8 with bare line feeds; elsewhere the bytes are the locale's.
void ConsoleWrite(std::FILE* stream, const QString& text);

}  // namespace tidewake
