#include "platform/FileWrite.h"

#include "platform/RuntimeError.h"

#include <QSaveFile>

#if defined(Q_OS_UNIX)
#include <unistd.h>

#include <cerrno>
#endif
#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
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

#if defined(Q_OS_LINUX)
// The system calls on a descriptor, retried when a signal cut them short.
template <typename Call>
int Retried(Call&& call) {
  int result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

// A descriptor closed when it goes out of scope; a temporary file without a name goes with it.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// The replacement of a plain file (or of none) as the general one below does it, with the fewest
// system calls: a nameless temporary file in the same folder, the bytes written and synced, then
// given a name and renamed over the old file. A crash before the rename leaves nothing behind.
// False, with nothing changed, where this way does not apply (a link, a folder or a file that
// cannot be written at the path, a file system without nameless files): the general way then
// takes the case and its messages.
bool ReplacePlainFile(const QString& path, QByteArrayView bytes, const QString& label, const QString& cannotWrite) {
  const QByteArray name = QFile::encodeName(path);
  struct stat old {};
  bool exists = ::lstat(name.constData(), &old) == 0;
  if (exists ? !S_ISREG(old.st_mode) || ::access(name.constData(), W_OK) != 0 : errno != ENOENT) return false;
  const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
  Descriptor file{Retried([&] { return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); })};
  if (file.fd < 0) return false;
  // The new file keeps the permissions of the one it replaces.
  if (exists && ::fchmod(file.fd, old.st_mode & 07777) != 0) return false;
  const auto fail = [&](const QString& text) { Fail(ErrNo::DeviceIo, text, label, path, qt_error_string(errno)); };
  for (qsizetype done = 0; done < bytes.size();) {
    const ssize_t n = ::write(file.fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      fail(cannotWrite);
    }
    done += n;
  }
  // A file system that cannot sync at all (EINVAL) has nothing held back to lose.
  if (Retried([&] { return ::fdatasync(file.fd); }) != 0 && errno != EINVAL) fail(cannotWrite);
  const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.fd);
  const auto link = [&](const QByteArray& to) {
    return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0;
  };
  // Where there is no old file the name is given in one step.
  if (!exists) {
    if (link(name)) return true;
    if (errno != EEXIST) return false;
    exists = true;  // made meanwhile: replaced as an old one
  }
  QByteArray temporary;
  for (int tries = 0;; ++tries) {
    temporary = name + '.' + QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 36);
    if (link(temporary)) break;
    if (errno != EEXIST || tries == 16) return false;
  }
  if (::rename(temporary.constData(), name.constData()) != 0) {
    const int why = errno;
    ::unlink(temporary.constData());
    errno = why;
    fail(QStringLiteral("%1を保存できません: %2（%3）"));
  }
  return true;
}
#endif

}  // namespace

void FileReplace(const QString& path, QByteArrayView bytes, const QString& label) {
  const QString cannotWrite = QStringLiteral("%1を書き込めません: %2（%3）");
#if defined(Q_OS_LINUX)
  if (ReplacePlainFile(path, bytes, label, cannotWrite)) return;
#endif
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
