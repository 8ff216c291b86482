#pragma once

#include <QIcon>

namespace tidewake {

// The program's icon in every size the install gives the desktop (16 to 256 pixels), built into
// the executable, so the window has it whether or not the program is installed:
// QApplication::setWindowIcon(AppIcon()).
QIcon AppIcon();

}  // namespace tidewake
