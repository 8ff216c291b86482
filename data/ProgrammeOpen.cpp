#include "data/ProgrammeOpen.h"

#include "data/cBangumiFile.h"
#include "data/mDayFile.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"

#include <QFileInfo>

namespace tidewake {

namespace {
const QString kTitleConv = QStringLiteral("番組ファイル変換エラー");
void Warn(const QString& text) { WarnBox(text, kTitleConv); }
}  // namespace

bool ProgrammeOpen(cBangumiFile& bangumi, const QString& strPath, ArchiveMember* read) {
  if (!QFileInfo::exists(strPath)) {
    Warn(QStringLiteral("ファイルが見つかりません。\n") + strPath);
    return false;
  }
  DayFile file;
  try {
    file = DayFileOpen(strPath, ArchiveKind::Programme);
  } catch (const RuntimeError& e) {
    Warn(e.reportText());
    return false;
  }
  if (const QString wrong = WrongKindText(file.kind, ArchiveKind::Programme); !wrong.isEmpty()) {
    Warn(wrong + u'\n' + file.name);
    return false;
  }
  if (!bangumi.FileConvBytes(file.bytes, file.name)) return false;
  if (read) *read = {file.name, file.bytes};
  return true;
}

}  // namespace tidewake
