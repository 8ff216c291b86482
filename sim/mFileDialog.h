#pragma once

#include <QString>

#include <cstdint>

namespace tidewake {

// The open-file dialog of the file commands. `strFilter` holds pairs of a description and a
// pattern, each ended by a NUL character. Returns the chosen file's full path, or only its file
// name when `intNameOnly` is 1; an empty text when the user cancels or no dialog can be shown.
// The owner handle and the preview flag are the window's business: the dialog is always modal
// to the program's window and has no preview pane.
QString ShowOpenFileDialog(std::intptr_t lngOwnerHwnd, const QString& strFilter, const QString& strInitDir,
                           std::int16_t intNameOnly, const QString& strTitle, bool blnPreview);

}  // namespace tidewake
