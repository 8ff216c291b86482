#pragma once

#include <QString>

namespace tidewake {

// The open-file dialog. `filter` holds pairs of a description and a pattern, each ended by a NUL
// character ("番組ファイル(B*.TXT)" NUL "B*.txt" NUL); a pattern matches file names whatever
// their case, since the archives' members are lower case ("b240101.txt"). Returns the chosen
// file's full path, or an empty text when the user cancels or the dialog fails.
class IFileDialog {
 public:
  virtual ~IFileDialog() = default;
  virtual QString GetOpenFileName(const QString& filter, const QString& initialFolder, const QString& title) = 0;
  // The folder dialog: the chosen existing folder's full path, or an empty text when the user
  // cancels. A dialog that offers no folder choice cancels.
  virtual QString GetExistingDirectory(const QString& initialFolder, const QString& title) {
    (void)initialFolder;
    (void)title;
    return QString();
  }
  // The save dialog: the full path the user chose to write (a new or an existing file, which the
  // dialog asked to replace), or an empty text when the user cancels. `initialPath` names the
  // folder and the file offered. A dialog that offers no saving cancels.
  virtual QString GetSaveFileName(const QString& filter, const QString& initialPath, const QString& title) {
    (void)filter;
    (void)initialPath;
    (void)title;
    return QString();
  }
};

// The installed dialog; without one every request is cancelled.
IFileDialog* FileDialog();
IFileDialog* SetFileDialog(IFileDialog* dialog);

}  // namespace tidewake
