#include "data/mDayFile.h"

#include "data/mSensyuStore.h"
#include "platform/LineReader.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

#include <QSaveFile>

namespace tidewake {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "STARTB", or a venue's "NNBBGN", at the start of the line.
bool StartsProgramme(QByteArrayView line) {
  if (line.startsWith("STARTB")) return true;
  return line.size() >= 6 && IsDigit(line[0]) && IsDigit(line[1]) && line.sliced(2).startsWith("BBGN");
}

}  // namespace

DayFileKind DayFileKindOf(const QByteArray& bytes) {
  if (bytes.contains('\0')) return DayFileKind::Other;
  LineReader lines(bytes);
  QByteArrayView line;
  while (lines.Next(line)) {
    if (StartsProgramme(line)) return DayFileKind::Programme;
  }
  return SensyuBytesProblem(bytes).isEmpty() ? DayFileKind::FanHandbook : DayFileKind::Other;
}

void StoreReplace(const QString& storeName, QByteArrayView bytes, const QString& label) {
  const QString storePath = AppFilePath(storeName);
  QSaveFile out(storePath);
  if (!out.open(QIODevice::WriteOnly)) {
    throw RuntimeError(ErrNo::PathFileAccess,
                       QStringLiteral("%1を書き込めません: %2（%3）").arg(label, storePath, out.errorString()));
  }
  if (out.write(bytes.data(), bytes.size()) != bytes.size()) {
    throw RuntimeError(ErrNo::DeviceIo,
                       QStringLiteral("%1を書き込めません: %2（%3）").arg(label, storePath, out.errorString()));
  }
  if (!out.commit()) {
    throw RuntimeError(ErrNo::DeviceIo,
                       QStringLiteral("%1を保存できません: %2（%3）").arg(label, storePath, out.errorString()));
  }
}

}  // namespace tidewake
