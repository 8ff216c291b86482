#include "data/mSensyuStore.h"

#include "data/cSensyuFile.h"
#include "data/mDayFile.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

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

QString SensyuLoadProblem(const QByteArray& bytes) {
  if (const QString problem = SensyuBytesProblem(bytes); !problem.isEmpty()) return problem;
  // The window reads the store in the current layout: a handbook in the older one would be read
  // wrong, field by field, without a word.
  LineReader lines(bytes);
  QByteArrayView line;
  while (lines.Next(line)) {
    if (!cSensyuFile::ReadsAsRecord(line)) continue;
    if (cSensyuFile::LayoutOf(line) == 2) {
      return QStringLiteral(
          "古い形式（1 行 403 バイト）のファン手帳ファイルです。この形式は読めません。"
          "今の形式のファン手帳ファイルを選んでください。");
    }
    break;
  }
  // What the loader would refuse is refused before it replaces a store that loads.
  try {
    QStringList all;
    cSensyuFile::Read(bytes, all, 0);
  } catch (const RuntimeError& e) {
    return e.reportText();
  }
  return QString();
}

bool SensyuStoreReplace(const QByteArray& bytes, const QString& strSourceName) {
  if (bytes.size() > kMaxSensyuFileBytes) {
    Fail(NotUpdated(strSourceName, TooLarge(bytes.size())));
    return false;
  }
  if (const QString problem = SensyuLoadProblem(bytes); !problem.isEmpty()) {
    Fail(NotUpdated(strSourceName, problem));
    return false;
  }
  try {
    StoreReplace(kStoreName, bytes, QStringLiteral("選手ファイル"));
  } catch (const RuntimeError& e) {
    Fail(NotUpdated(strSourceName, e.description()));
    return false;
  }
  return true;
}

bool SensyuStoreUpdate(const QString& strFileName) {
  // A handbook text, or the official archive it comes in (fan2604.lzh).
  DayFile file;
  try {
    file = DayFileOpen(strFileName, ArchiveKind::FanHandbook);
  } catch (const RuntimeError& e) {
    Fail(NotUpdated(strFileName, e.reportText()));
    return false;
  }
  if (const QString wrong = WrongKindText(file.kind, ArchiveKind::FanHandbook); !wrong.isEmpty()) {
    Fail(NotUpdated(strFileName, wrong));
    return false;
  }
  return SensyuStoreReplace(file.bytes, strFileName);
}

}  // namespace tidewake
