#pragma once

// What the program does around its window at start, shared by main() and the start-up bench so
// that the bench measures the program's own start.

#include <QIcon>

#include <functional>
#include <future>
#include <thread>

namespace tidewake {

class frmMain;

// The fonts read ahead on a thread of their own: the font configuration (a hundred-odd small
// files and the font caches) from main()'s first line, beside the application object's connection
// to the display, and Qt's list of the fonts once the application object is made, beside the
// program's preparation and the window's making, instead of before the window's first text. Where
// fonts are not found through fontconfig (Windows, macOS) it does nothing.
class FontReadAhead {
 public:
  FontReadAhead();
  ~FontReadAhead();
  FontReadAhead(const FontReadAhead&) = delete;
  FontReadAhead& operator=(const FontReadAhead&) = delete;
  // The application object is made: Qt's list of fonts may now be filled.
  void ApplicationMade();
  // Waits for the thread to end (before the application object goes).
  void Wait();

 private:
  std::promise<bool> applicationMade_;
  bool told_ = false;
  std::thread thread_;
};

// Before the window is made: the program's names (one per-user folder, one history with the
// console program), the Shift_JIS codec, the stand-in fonts and Qt's own texts in Japanese.
// Throws std::runtime_error when the codec is missing.
void PrepareProgram();

// The window's icon, given once the card's first paint is done: turning each size of it into
// the window's icon data takes longer than drawing the card, and the first frame needs none of
// it (the window manager shows its own until then; a Windows executable carries its icon).
void GiveIconAfterFirstPaint(frmMain& window, std::function<QIcon()> icon);

}  // namespace tidewake
