#pragma once

// The open-file dialog on Qt: a QFileDialog modal to the main window, one existing file, with the
// program's filters shown as the program words them and matched whatever the case of the names.

#include "platform/FileDialog.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

namespace tidewake {

// A file pattern ("B*.txt") as a Qt wildcard that matches the same names in upper or lower case
// ("[Bb]*.[Tt][Xx][Tt]"). Brackets are literal characters in a pattern, as they are on Windows;
// a blank, which would split Qt's pattern list, matches any one character; "*.*" is every file.
QString CaseInsensitiveWildcard(const QString& pattern);

// The filter of a request (description NUL pattern NUL, ...; several patterns in one pair
// separated by ";") as QFileDialog name filters: "description (wildcard wildcard ...)". A
// dialog that hides the filter details shows each description as written. An incomplete last
// pair is dropped; a pair without patterns is left out; an empty description shows its patterns.
QStringList QtNameFilters(const QString& filter);

class QtFileDialog final : public IFileDialog {
 public:
  // The window the dialog is modal to; nullptr (the default) for none.
  void SetParentWidget(QWidget* parent) { parent_ = parent; }

  // The dialog titled `title`, starting in `initialFolder`, offering the filters of `filter`
  // (the first one selected). Returns the chosen existing file's full path, or an empty text
  // when the user cancels.
  QString GetOpenFileName(const QString& filter, const QString& initialFolder, const QString& title) override;
  // The same dialog choosing one existing folder.
  QString GetExistingDirectory(const QString& initialFolder, const QString& title) override;
  // The same dialog choosing where to save, asking before it replaces a file.
  QString GetSaveFileName(const QString& filter, const QString& initialPath, const QString& title) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tidewake
