#include "ui/qtplatform/QtMessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>

namespace tidewake {

QString ProgramCaption() {
  const QString name = QGuiApplication::applicationDisplayName();
  // Unset, Qt makes the display name up from the executable's file name ("tidewake", without
  // ".exe" on Windows), which is no caption: only a name the program gave itself counts.
  const QFileInfo exe(QCoreApplication::arguments().value(0));
  if (name.isEmpty() || name == exe.fileName() || name == exe.completeBaseName())
    return QStringLiteral("Corvane Tidewake");
  return name;
}

QString MessageBoxTitle(const QString& title) { return title.isEmpty() ? ProgramCaption() : title; }

QString MessageBoxText(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (ch == u'\r') {
      out += u'\n';
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      out += ch;
    }
  }
  return out;
}

QMessageBox::Icon ToQMessageBoxIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Critical:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

MsgResult QtMessageBox::Show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
  return ShowDetails(text, QString(), buttons, icon, title);
}

MsgResult QtMessageBox::ShowDetails(const QString& text, const QString& details, MsgButtons buttons, MsgIcon icon,
                                    const QString& title) {
  const bool question = buttons == MsgButtons::YesNo;
  // On the heap, owned by the window: should the window go while the box is up, the box goes
  // with it and is not deleted twice.
  QPointer<QMessageBox> box = new QMessageBox(parent_.data());
  box->setAttribute(Qt::WA_DeleteOnClose, false);
  // Modal to the whole program, as a message box is: nothing else takes input until it is answered.
  box->setWindowModality(Qt::ApplicationModal);
  box->setIcon(ToQMessageBoxIcon(icon));
  box->setWindowTitle(MessageBoxTitle(title));
  // Error texts quote file contents and paths: never let a "<" in them turn the box into markup.
  box->setTextFormat(Qt::PlainText);
  box->setText(MessageBoxText(text));
  if (!details.isEmpty()) box->setDetailedText(MessageBoxText(details));
  if (question) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
  }
  const int answer = box->exec();
  delete box.data();
  if (!question) return MsgResult::Ok;
  return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

}  // namespace tidewake
