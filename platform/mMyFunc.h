#pragma once

#include <QString>

namespace tidewake {

// The program's folder joined with `name`, with exactly one separator between them; when the
// folder already ends in one (as a root does) nothing is added. The stores BANGUMI.BRF and
// SENSYU.BRF live there.
QString AppFilePath(const QString& name);

// The program's folder, where the stores live: the folder set by SetAppFolder; otherwise, run
// from where it was built, the executable's folder; installed, the per-user data folder
// (QStandardPaths::AppLocalDataLocation), created on first use. StoreFolderFor is the rule.
QString AppFolder();

// Points AppFilePath at another folder (tests use a temporary one); an empty text goes back to
// the rule of AppFolder.
void SetAppFolder(const QString& folder);

// The folder the open-file dialogs start in: the program's folder when the stores are kept
// there, otherwise the user's download folder (their home when there is none), where the
// official archives arrive.
QString DialogStartFolder();

// The joining rule of AppFilePath on its own.
QString JoinPath(const QString& folder, const QString& name);

// The rule of AppFolder on its own: the executable's folder when the program may keep its files
// there, otherwise the per-user folder.
QString StoreFolderFor(const QString& executableFolder, bool keepsFilesThere, const QString& userFolder);

// AppFolder and DialogStartFolder for a program whose executable stands in `executableFolder`;
// StoreFolder creates the per-user folder when it chooses it.
QString StoreFolder(const QString& executableFolder);
QString DialogStartFolderFor(const QString& executableFolder);

// True when the program may keep its files in its own folder: the folder can be written and it is
// not an installed layout. Installed means the program's desktop entry stands in
// ../share/applications beside it, or (the Windows zip and installer) a platforms/ folder of Qt
// plugins stands beside it; so even root, who can write anywhere, never puts the stores beside
// an installed executable.
bool KeepsFilesInFolder(const QString& executableFolder);

// The program's identifier: the name of its desktop entry, icon and AppStream metadata.
QString AppId();

// The program's own name, "tidewake", which the window and the console program both give Qt
// (SetProgramName, first thing in main): the per-user folder Qt derives from it is then one, and
// the two keep one history.
QString ProgramName();
void SetProgramName();

}  // namespace tidewake
