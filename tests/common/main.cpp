// The main of every test program without a window.

#include "platform/MessageBox.h"
#include "platform/SjisText.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {
// A message box that no test asked for is a fault of the code under test.
class UnexpectedMessageBox final : public tidewake::IMessageBox {
 public:
  tidewake::MsgResult Show(const QString& text, tidewake::MsgButtons buttons, tidewake::MsgIcon,
                           const QString& title) override {
    ADD_FAILURE() << "unexpected message box [" << title.toStdString() << "] " << text.toStdString();
    return buttons == tidewake::MsgButtons::YesNo ? tidewake::MsgResult::No : tidewake::MsgResult::Ok;
  }
};
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  tidewake::EnsureShiftJisCodec();
  UnexpectedMessageBox unexpected;
  tidewake::SetMessageBoxHandler(&unexpected);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
