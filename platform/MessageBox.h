#pragma once

#include <QString>

namespace tidewake {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Critical, Question, Warning, Information };
enum class MsgResult { Ok, Yes, No };

// The modal message box. The window installs a Qt implementation; tests install one that records
// every box and answers from a script. The core only ever calls MsgBox().
class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // An empty title means the program's own caption.
  virtual MsgResult Show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) = 0;
  // The same with a long text (a list of files) kept in a details area that scrolls, so that the
  // box stays the size of its text. A box without one shows the details after the text.
  virtual MsgResult ShowDetails(const QString& text, const QString& details, MsgButtons buttons, MsgIcon icon,
                                const QString& title) {
    return Show(details.isEmpty() ? text : text + u'\n' + details, buttons, icon, title);
  }
};

// Installs the handler every MsgBox goes to and returns the one it replaces. nullptr restores the
// fallback, which writes the box to standard error and answers OK, or No to a question (so that
// a run without a window stops rather than going on unasked).
IMessageBox* SetMessageBoxHandler(IMessageBox* handler);

MsgResult MsgBox(const QString& text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
                 const QString& title = QString());

// A box whose long list goes in its details area (IMessageBox::ShowDetails).
MsgResult MsgBoxDetails(const QString& text, const QString& details, MsgButtons buttons = MsgButtons::Ok,
                        MsgIcon icon = MsgIcon::None, const QString& title = QString());

// The stores' report of a failure: the warning icon, an OK button and the store's title.
void WarnBox(const QString& text, const QString& title);

}  // namespace tidewake
