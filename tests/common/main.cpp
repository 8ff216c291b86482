// The main of every test program without a window.

#include "platform/MessageBox.h"
#include "platform/SjisText.h"
#include "tests/common/TestDoubles.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  tidewake::EnsureShiftJisCodec();
  tidewake::test::UnexpectedMessageBox unexpected;
  tidewake::SetMessageBoxHandler(&unexpected);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
