#include "packaging/AppIcon.h"
#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "ui/ProgramStart.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/QtClock.h"
#include "ui/qtplatform/QtFileDialog.h"
#include "ui/qtplatform/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv) {
  tidewake::FontReadAhead fonts;
  QApplication app(argc, argv);
  fonts.ApplicationMade();
  try {
    tidewake::PrepareProgram();
  } catch (const std::exception& e) {
    fonts.Wait();
    std::fprintf(stderr, "%s\n", e.what());
    QMessageBox::critical(nullptr, QStringLiteral("Corvane Tidewake"), QString::fromUtf8(e.what()));
    return 1;
  }

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
    tidewake::GiveIconAfterFirstPaint(window, &tidewake::AppIcon);
    messageBox.SetParentWidget(&window);
    fileDialog.SetParentWidget(&window);
    QObject::connect(&window, &tidewake::frmMain::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    result = app.exec();
  }
  fonts.Wait();
  tidewake::SetFileDialog(nullptr);
  tidewake::SetClock(nullptr);
  tidewake::SetMessageBoxHandler(nullptr);
  return result;
}
