#include "data/mSensyuStore.h"

#include "data/ArchiveMember.h"
#include "data/cSensyuFile.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

#include <QSaveFile>

namespace tidewake {
namespace {

const QString kStoreName = QStringLiteral("SENSYU.BRF");

void Fail(const QString& text) { MsgBox(text, MsgButtons::Ok, MsgIcon::Critical, QString()); }

QString NotUpdated(const QString& source, const QString& why) {
  return QStringLiteral("%1\r\n%2\r\n選手ファイルは更新されませんでした。").arg(source, why);
}

QString TooLarge(qint64 size) {
  return QStringLiteral("ファン手帳ファイルとしては大きすぎます（%1 バイト）。").arg(size);
}

}  // namespace

QString SensyuBytesProblem(const QByteArray& bytes) {
  if (bytes.contains('\0')) return QStringLiteral("ファン手帳ファイルではありません（NUL 文字があります）。");
  LineReader lines(bytes);
  QByteArrayView line;
  while (lines.Next(line)) {
    if (cSensyuFile::ReadsAsRecord(line)) return QString();
  }
  return QStringLiteral("ファン手帳ファイルではありません（選手の行として読める行がありません）。");
}

bool SensyuStoreReplace(const QByteArray& bytes, const QString& strSourceName) {
  if (bytes.size() > kMaxSensyuFileBytes) {
    Fail(NotUpdated(strSourceName, TooLarge(bytes.size())));
    return false;
  }
  if (const QString problem = SensyuBytesProblem(bytes); !problem.isEmpty()) {
    Fail(NotUpdated(strSourceName, problem));
    return false;
  }
  const QString storePath = AppFilePath(kStoreName);
  QSaveFile out(storePath);
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
    out.cancelWriting();
    Fail(NotUpdated(strSourceName,
                    QStringLiteral("選手ファイルを書き込めません: %1（%2）").arg(storePath, out.errorString())));
    return false;
  }
  return true;
}

bool SensyuStoreUpdate(const QString& strFileName) {
  // A handbook text, or the official archive it comes in (fan2604.lzh).
  ArchiveMember member;
  try {
    member = KindFileRead(strFileName, ArchiveKind::FanHandbook);
  } catch (const RuntimeError& e) {
    Fail(NotUpdated(strFileName, e.reportText()));
    return false;
  }
  return SensyuStoreReplace(member.bytes, strFileName);
}

}  // namespace tidewake
