#include "data/ProgrammeOpen.h"

#include "data/ArchiveMember.h"
#include "data/cBangumiFile.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"

#include <QFile>

namespace tidewake {

bool ProgrammeOpen(cBangumiFile& bangumi, const QString& strPath) {
  // A text file, and a missing one, take FileConv's own way and its messages.
  if (!IsArchiveFile(strPath)) return bangumi.FileConv(strPath);
  ArchiveMember member;
  try {
    member = ArchiveMemberRead(strPath, ArchiveKind::Programme);
  } catch (const RuntimeError& e) {
    MsgBox(e.reportText(), MsgButtons::Ok, MsgIcon::Warning, QStringLiteral("番組ファイル変換エラー"));
    return false;
  }
  return bangumi.FileConvBytes(member.bytes, member.name);
}

}  // namespace tidewake
