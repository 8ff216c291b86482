#include "packaging/AppIcon.h"
#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/SjisText.h"
#include "platform/mMyFunc.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/FontSubstitutions.h"
#include "ui/qtplatform/QtClock.h"
#include "ui/qtplatform/QtFileDialog.h"
#include "ui/qtplatform/QtMessageBox.h"
#include "ui/qtplatform/Translations.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The console program's name too, before any path is asked for: one per-user folder, one history.
  tidewake::SetProgramName();
  QApplication::setApplicationDisplayName(QStringLiteral("Corvane Tidewake"));
  try {
    tidewake::EnsureShiftJisCodec();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    QMessageBox::critical(nullptr, QStringLiteral("Corvane Tidewake"), QString::fromUtf8(e.what()));
    return 1;
  }
  // The program names the Windows fonts; IPA fonts are drawn to stand in for them.
  tidewake::RegisterFontSubstitutions();

  // Qt's own dialogs and buttons in Japanese (はい, いいえ, 開く, キャンセル) when the translation
  // is installed; English otherwise.
  tidewake::InstallQtJapaneseTranslation();
  QApplication::setWindowIcon(tidewake::AppIcon());
  QGuiApplication::setDesktopFileName(tidewake::AppId());

  // The Qt side of the platform, installed before the window's start-up uses any of it.
  tidewake::QtMessageBox messageBox;
  tidewake::QtClock clock;
  tidewake::QtFileDialog fileDialog;
  tidewake::SetMessageBoxHandler(&messageBox);
  tidewake::SetClock(&clock);
  tidewake::SetFileDialog(&fileDialog);

  int result = 0;
  {
    tidewake::frmMain window;
    messageBox.SetParentWidget(&window);
    fileDialog.SetParentWidget(&window);
    QObject::connect(&window, &tidewake::frmMain::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    result = app.exec();
  }
  tidewake::SetFileDialog(nullptr);
  tidewake::SetClock(nullptr);
  tidewake::SetMessageBoxHandler(nullptr);
  return result;
}
