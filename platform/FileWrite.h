#pragma once

#include <QByteArrayView>
#include <QString>

namespace tidewake {

// Replaces the file at `path` with `bytes`, whole or not at all. The bytes go to a temporary file
// beside it; every byte is written out and checked (and synced where the system allows) before
// the temporary file is renamed over the old one. A buffered write would reach the disk only
// inside the rename step, where a full disk went unnoticed and an empty file replaced the old one.
// On any failure the old file is as it was, the temporary file is removed, and RuntimeError names
// `label` (what the file is: "番組ファイル"), the path and the system's reason: "…を書き込めません:
// <path>（<reason>）", number 75 when the temporary file cannot be made, 57 when writing fails;
// "…を保存できません" when only the final rename failed.
void FileReplace(const QString& path, QByteArrayView bytes, const QString& label);

}  // namespace tidewake
