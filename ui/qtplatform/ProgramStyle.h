#pragma once

#include <QProxyStyle>

namespace tidewake {

// The application's style, drawing as the style it wraps does. The pictures of the arrows that
// open a bar's hidden items are read from their image files only when first drawn: a menu bar
// makes its arrow button at once, and reading the files (the first image read of the program
// looks through Qt's image plug-ins) held up the window's first paint, where the arrow never
// shows while the bar's titles fit.
class ProgramStyle final : public QProxyStyle {
 public:
  // Over the style Qt would choose for the desktop.
  ProgramStyle();

  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override;
};

// Makes ProgramStyle, over the style in use, the application's style; once: a second call
// changes nothing. Call it before the first window is made.
void InstallProgramStyle();

}  // namespace tidewake
