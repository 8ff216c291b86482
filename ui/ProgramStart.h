#pragma once

// What the program does around its window at start, shared by main() and the start-up bench so
// that the bench measures the program's own start.

#include <QIcon>

#include <functional>

namespace tidewake {

class frmMain;

// Before the window is made: the program's names (one per-user folder, one history with the
// console program), the Shift_JIS codec, the stand-in fonts and Qt's own texts in Japanese.
// Throws std::runtime_error when the codec is missing.
void PrepareProgram();

// The window's icon, given once the card's first paint is done: turning each size of it into
// the window's icon data takes longer than drawing the card, and the first frame needs none of
// it (the window manager shows its own until then; a Windows executable carries its icon).
void GiveIconAfterFirstPaint(frmMain& window, std::function<QIcon()> icon);

}  // namespace tidewake
