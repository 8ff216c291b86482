#pragma once

#include <QString>

namespace tidewake {

// The program's folder joined with `name`, with exactly one separator between them; when the
// folder already ends in one (as a root does) nothing is added. The stores BANGUMI.BRF and
// SENSYU.BRF live there.
QString AppFilePath(const QString& name);

// The program's folder: the executable's folder, or the one set by SetAppFolder.
QString AppFolder();

// Points AppFilePath at another folder (tests use a temporary one); an empty text goes back to
// the executable's folder.
void SetAppFolder(const QString& folder);

// The joining rule of AppFilePath on its own.
QString JoinPath(const QString& folder, const QString& name);

}  // namespace tidewake
