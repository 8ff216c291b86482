#include "ui/ProgramStart.h"

#include "platform/SjisText.h"
#include "platform/mMyFunc.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/FontSubstitutions.h"
#include "ui/qtplatform/Translations.h"

#include <QApplication>
#include <QFontDatabase>

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
#include <dlfcn.h>
#endif

namespace tidewake {

FontReadAhead::FontReadAhead() {
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
  // The library is loaded with Qt's, so this only finds it (nothing happens where Qt was built
  // without it). No Qt object is made on the thread before the application object: the first
  // thread to make one would be taken for the program's main thread. FcInit is safe beside any
  // other thread's (the first configuration made is kept, another is dropped), and Qt fills its
  // list of fonts under its own lock, which the window's first text then waits on if it comes first.
  thread_ = std::thread([made = applicationMade_.get_future()]() mutable {
    if (void* fontconfig = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_NOLOAD)) {
      using Init = int (*)();
      if (const auto init = reinterpret_cast<Init>(dlsym(fontconfig, "FcInit"))) init();
      dlclose(fontconfig);
    }
    if (made.get()) QFontDatabase::families();
  });
#endif
}

FontReadAhead::~FontReadAhead() { Wait(); }

void FontReadAhead::ApplicationMade() {
  if (told_) return;
  told_ = true;
  applicationMade_.set_value(true);
}

void FontReadAhead::Wait() {
  if (!told_) {
    told_ = true;
    applicationMade_.set_value(false);
  }
  if (thread_.joinable()) thread_.join();
}

void PrepareProgram() {
  // The console program's name too, before any path is asked for: one per-user folder, one history.
  SetProgramName();
  QApplication::setApplicationDisplayName(QStringLiteral("Corvane Tidewake"));
  QGuiApplication::setDesktopFileName(AppId());
  EnsureShiftJisCodec();
  // The program names the Windows fonts; IPA fonts are drawn to stand in for them.
  RegisterFontSubstitutions();
  // Qt's own dialogs and buttons in Japanese (はい, いいえ, 開く, キャンセル) when the translation
  // is installed; English otherwise.
  InstallQtJapaneseTranslation();
}

void GiveIconAfterFirstPaint(frmMain& window, std::function<QIcon()> icon) {
  QObject::connect(
      &window, &frmMain::firstPaintDone, &window, [icon = std::move(icon)] { QApplication::setWindowIcon(icon()); },
      Qt::SingleShotConnection);
}

}  // namespace tidewake
