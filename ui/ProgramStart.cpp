#include "ui/ProgramStart.h"

#include "platform/SjisText.h"
#include "platform/mMyFunc.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/FontSubstitutions.h"
#include "ui/qtplatform/Translations.h"

#include <QApplication>

namespace tidewake {

void PrepareProgram() {
  // The console program's name too, before any path is asked for: one per-user folder, one history.
  SetProgramName();
  QApplication::setApplicationDisplayName(QStringLiteral("Corvane Tidewake"));
  QGuiApplication::setDesktopFileName(AppId());
  EnsureShiftJisCodec();
  // The program names the Windows fonts; IPA fonts are drawn to stand in for them.
  RegisterFontSubstitutions();
  // Qt's own dialogs and buttons in Japanese (はい, いいえ, 開く, キャンセル) when the translation
  // is installed; English otherwise.
  InstallQtJapaneseTranslation();
}

void GiveIconAfterFirstPaint(frmMain& window, std::function<QIcon()> icon) {
  QObject::connect(
      &window, &frmMain::firstPaintDone, &window, [icon = std::move(icon)] { QApplication::setWindowIcon(icon()); },
      Qt::SingleShotConnection);
}

}  // namespace tidewake
