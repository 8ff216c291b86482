#pragma once

#include <QString>

namespace tidewake {

// The file from Qt's own translations that makes the standard dialogs Japanese.
inline constexpr char kQtJapaneseCatalogue[] = "qtbase_ja";

// Loads Qt's own Japanese translation (qtbase_ja.qm, Debian qt6-translations-l10n) from Qt's
// translations folder and installs it in the application, so that the message boxes and the file
// dialog read はい, いいえ, 開く, キャンセル. Call once the application object exists, before the
// first dialog. False when the file is not there or does not load: the dialogs then stay in
// English and nothing else changes. Installing twice installs one translation.
bool InstallQtJapaneseTranslation();

// The folder searched: Qt's translations folder (QLibraryInfo::TranslationsPath).
QString QtTranslationsFolder();

}  // namespace tidewake
