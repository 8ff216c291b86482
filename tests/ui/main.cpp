// The main of the offscreen GUI tests: a QApplication for fonts, images, the palette and the
// dialogs.

#include "platform/MessageBox.h"
#include "platform/SjisText.h"
#include "tests/common/TestDoubles.h"
#include "ui/qtplatform/FontSubstitutions.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char** argv) {
  int result = 0;
  {
    // Offscreen whether or not CTest set it, so the program also runs by hand without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows' settings go to a folder of this run, never the user's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    tidewake::EnsureShiftJisCodec();
    tidewake::RegisterFontSubstitutions();
    tidewake::test::UnexpectedMessageBox unexpected;
    tidewake::SetMessageBoxHandler(&unexpected);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
    tidewake::SetMessageBoxHandler(nullptr);
  }
#ifdef Q_OS_WIN
  // Under Wine the test program sometimes stays after every test has passed and everything above
  // is torn down: one thread left, waiting, while the DLLs are unloaded (tidewake.exe itself ends
  // at once when its window is closed). The results are written; ending here skips that unload.
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
#endif
  return result;
}
