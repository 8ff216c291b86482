#include "tests/common/WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#if defined(__linux__)
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#endif

namespace tidewake::test {

#if defined(__linux__)

FileSizeLimit::FileSizeLimit(long long bytes) {
  rlimit limit{};
  if (getrlimit(RLIMIT_FSIZE, &limit) != 0) return;
  previous_ = limit.rlim_cur;
  // Past the limit the system would also send SIGXFSZ, which ends the process: ignored, the
  // write fails with EFBIG instead.
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  handlerSet_ = previousHandler_ != SIG_ERR;
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
  if (active_) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(previous_);
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  if (handlerSet_) std::signal(SIGXFSZ, previousHandler_);
}

namespace {

bool WriteWhole(const char* path, const QByteArray& text) {
  QFile f(QString::fromLocal8Bit(path));
  return f.open(QIODevice::WriteOnly) && f.write(text) == text.size() && f.flush();
}

// Makes the child root of a user namespace of its own (mapped to the caller) with a mount
// namespace of its own, where it may mount a tmpfs.
bool EnterOwnNamespaces() {
  const QByteArray uid = QByteArray::number(static_cast<qulonglong>(getuid()));
  const QByteArray gid = QByteArray::number(static_cast<qulonglong>(getgid()));
  if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
  WriteWhole("/proc/self/setgroups", "deny");
  return WriteWhole("/proc/self/uid_map", "0 " + uid + " 1") && WriteWhole("/proc/self/gid_map", "0 " + gid + " 1");
}

constexpr int kNoNamespace = 125;

}  // namespace

std::optional<int> RunOnSmallDisk(long long bytes, const std::function<int(const QString& folder)>& body) {
  QTemporaryDir dir;
  if (!dir.isValid()) return std::nullopt;
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    const QByteArray options = "size=" + QByteArray::number(bytes);
    if (!EnterOwnNamespaces() ||
        mount("tmpfs", mountPoint.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) != 0) {
      _exit(kNoNamespace);
    }
    const int status = body(dir.path());
    std::fflush(nullptr);
    _exit(status);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  if (!WIFEXITED(status)) return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  if (WEXITSTATUS(status) == kNoNamespace) return std::nullopt;
  return WEXITSTATUS(status);
}

#else

FileSizeLimit::FileSizeLimit(long long) {}
FileSizeLimit::~FileSizeLimit() = default;

std::optional<int> RunOnSmallDisk(long long, const std::function<int(const QString&)>&) { return std::nullopt; }

#endif

bool FillDisk(const QString& folder) {
  QFile filler(folder + QStringLiteral("/filler"));
  if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  // Blocks, then single bytes for what a block no longer fits.
  for (const qsizetype size : {4096, 1}) {
    const QByteArray block(size, 'x');
    while (filler.write(block) == block.size()) {
    }
  }
  return true;
}

}  // namespace tidewake::test
