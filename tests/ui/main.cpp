// The main of the offscreen GUI tests: a QGuiApplication for fonts, images and the palette.

#include "platform/MessageBox.h"
#include "platform/SjisText.h"
#include "ui/qtplatform/FontSubstitutions.h"

#include <QGuiApplication>

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
  // Offscreen whether or not CTest set it, so the program also runs by hand without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  tidewake::EnsureShiftJisCodec();
  tidewake::RegisterFontSubstitutions();
  UnexpectedMessageBox unexpected;
  tidewake::SetMessageBoxHandler(&unexpected);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
