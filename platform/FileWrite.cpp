#include "platform/FileWrite.h"

#include "platform/RuntimeError.h"

#include <QSaveFile>

#if defined(Q_OS_UNIX)
#include <unistd.h>

#include <cerrno>
#endif

namespace tidewake {
namespace {

[[noreturn]] void Fail(int number, const QString& text, const QString& label, const QString& path,
                       const QString& reason) {
  throw RuntimeError(number, text.arg(label, path, reason));
}

// Pushes what the file holds to the disk: the system's reason when that failed, else empty. The
// rename step syncs the same way but takes no notice of a failure; after this its sync has
// nothing left to write.
QString SyncFailure(QSaveFile& out) {
#if defined(Q_OS_UNIX)
  const int fd = out.handle();
  if (fd < 0) return QString();
  int result;
  do {
#if defined(Q_OS_LINUX)
    result = ::fdatasync(fd);
#else
    result = ::fsync(fd);
#endif
  } while (result != 0 && errno == EINTR);
  // A file system that cannot sync at all (EINVAL) has nothing held back to lose.
  if (result == 0 || errno == EINVAL) return QString();
  return qt_error_string(errno);
#else
  Q_UNUSED(out);
  return QString();
#endif
}

}  // namespace

void FileReplace(const QString& path, QByteArrayView bytes, const QString& label) {
  const QString cannotWrite = QStringLiteral("%1を書き込めません: %2（%3）");
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly)) Fail(ErrNo::PathFileAccess, cannotWrite, label, path, out.errorString());
  // Every failure before commit() leaves the old file alone: the QSaveFile, destroyed uncommitted,
  // removes its temporary file.
  if (out.write(bytes.data(), bytes.size()) != bytes.size() || !out.flush() || out.error() != QFileDevice::NoError) {
    Fail(ErrNo::DeviceIo, cannotWrite, label, path, out.errorString());
  }
  if (const QString why = SyncFailure(out); !why.isEmpty()) Fail(ErrNo::DeviceIo, cannotWrite, label, path, why);
  if (!out.commit()) {
    Fail(ErrNo::DeviceIo, QStringLiteral("%1を保存できません: %2（%3）"), label, path, out.errorString());
  }
}

}  // namespace tidewake
