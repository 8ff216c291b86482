// The main of the results window's offscreen tests: a QApplication, since the window is made of
// widgets.

#include "platform/MessageBox.h"
#include "platform/SjisText.h"
#include "tests/common/TestDoubles.h"
#include "ui/qtplatform/FontSubstitutions.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Offscreen whether or not CTest set it, so the program also runs by hand without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  tidewake::EnsureShiftJisCodec();
  tidewake::RegisterFontSubstitutions();
  tidewake::test::UnexpectedMessageBox unexpected;
  tidewake::SetMessageBoxHandler(&unexpected);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
