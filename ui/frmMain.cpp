#include "ui/frmMain.h"

#include <QActionGroup>
#include <QMenuBar>

namespace tidewake {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Corvane Tidewake"));

  QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  mnuFileOpen = mnuFile->addAction(QStringLiteral("番組ﾌｧｲﾙを開く(&O)..."));
  mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  mnuFileOpenOld = mnuFile->addAction(QStringLiteral("前回の番組ﾌｧｲﾙを開く(&B)"));
  mnuFileOpenOld->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
  mnuFileUpdate = mnuFile->addAction(QStringLiteral("選手ﾌｧｲﾙの更新(&U)..."));
  mnuFile->addSeparator();
  mnuFileExit = mnuFile->addAction(QStringLiteral("終了(&X)"));
  connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);

  QMenu* mnuRace = menuBar()->addMenu(QStringLiteral("ﾚｰｽ(&R)"));
  mnuTestRun = mnuRace->addAction(QStringLiteral("展示航走(&T)"));
  mnuTestRun->setShortcut(QKeySequence(Qt::Key_F4));
  mnuRaceStart = mnuRace->addAction(QStringLiteral("開始(&B)"));
  mnuRaceStart->setShortcut(QKeySequence(Qt::Key_F5));
  QMenu* mnuRaceSpeed = mnuRace->addMenu(QStringLiteral("表示速度(&S)"));
  mnuRaceSpeedNormal = mnuRaceSpeed->addAction(QStringLiteral("普通(&N)"));
  mnuRaceSpeedNormal->setShortcut(QKeySequence(Qt::Key_F6));
  mnuRaceSpeedHi = mnuRaceSpeed->addAction(QStringLiteral("速い(&H)"));
  mnuRaceSpeedHi->setShortcut(QKeySequence(Qt::Key_F7));
  auto* speed = new QActionGroup(this);
  for (QAction* a : {mnuRaceSpeedNormal, mnuRaceSpeedHi}) {
    a->setCheckable(true);
    speed->addAction(a);
  }
  mnuRaceSpeedNormal->setChecked(true);

  // The client area of the card view: 12420 x 3135 twips.
  setFixedSize(828, 209 + menuBar()->sizeHint().height());
}

}  // namespace tidewake
