#include "platform/SjisText.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/FontSubstitutions.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  try {
    tidewake::EnsureShiftJisCodec();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    QMessageBox::critical(nullptr, QStringLiteral("Corvane Tidewake"), QString::fromUtf8(e.what()));
    return 1;
  }
  // The program names the Windows fonts; IPA fonts are drawn to stand in for them.
  tidewake::RegisterFontSubstitutions();

  tidewake::frmMain window;
  window.show();
  return app.exec();
}
