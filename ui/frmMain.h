#pragma once

#include <QMainWindow>

class QAction;

namespace tidewake {

// The program's single window. For now the shell: its caption and its menus; the card and the
// water join it later.
class frmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);

  QAction* mnuFileOpen = nullptr;
  QAction* mnuFileOpenOld = nullptr;
  QAction* mnuFileUpdate = nullptr;
  QAction* mnuFileExit = nullptr;
  QAction* mnuTestRun = nullptr;
  QAction* mnuRaceStart = nullptr;
  QAction* mnuRaceSpeedNormal = nullptr;
  QAction* mnuRaceSpeedHi = nullptr;
};

}  // namespace tidewake
