#pragma once

// The message box on Qt: a QMessageBox modal to the main window, with the icon and buttons of the
// call. MsgBox() reaches it once the window has installed it with SetMessageBoxHandler.

#include "platform/MessageBox.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>

class QWidget;

namespace tidewake {

// The program's caption: the application's display name when the program set one, else
// "Corvane Tidewake".
QString ProgramCaption();
// The title a box shows: the one given, or the program's caption when it is empty.
QString MessageBoxTitle(const QString& title);
// The text a box shows: CR LF, a lone CR and a lone LF each become one line break.
QString MessageBoxText(const QString& text);
QMessageBox::Icon ToQMessageBoxIcon(MsgIcon icon);

class QtMessageBox final : public IMessageBox {
 public:
  // The window the boxes are centred on and owned by; nullptr (the default) for none.
  void SetParentWidget(QWidget* parent) { parent_ = parent; }

  // Shows the box and waits for the answer. Closing a Yes/No box without choosing (Escape, the
  // title bar's close button) answers No, as a stop question should.
  MsgResult Show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
  // The details in QMessageBox's own area, shown by its "詳細を表示" button and scrolled there.
  MsgResult ShowDetails(const QString& text, const QString& details, MsgButtons buttons, MsgIcon icon,
                        const QString& title) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tidewake
