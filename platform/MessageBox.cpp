#include "platform/MessageBox.h"

#include <cstdio>

namespace tidewake {
namespace {

class StderrMessageBox final : public IMessageBox {
 public:
  MsgResult Show(const QString& text, MsgButtons buttons, MsgIcon, const QString& title) override {
    std::fprintf(stderr, "[%s] %s\n", title.toUtf8().constData(), text.toUtf8().constData());
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
  }
};

StderrMessageBox gFallback;
IMessageBox* gHandler = nullptr;

}  // namespace

IMessageBox* SetMessageBoxHandler(IMessageBox* handler) {
  IMessageBox* old = gHandler;
  gHandler = handler;
  return old;
}

MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
  IMessageBox* h = gHandler ? gHandler : &gFallback;
  return h->Show(text, buttons, icon, title);
}

MsgResult MsgBoxDetails(const QString& text, const QString& details, MsgButtons buttons, MsgIcon icon,
                        const QString& title) {
  IMessageBox* h = gHandler ? gHandler : &gFallback;
  return h->ShowDetails(text, details, buttons, icon, title);
}

void WarnBox(const QString& text, const QString& title) { MsgBox(text, MsgButtons::Ok, MsgIcon::Warning, title); }

}  // namespace tidewake
