#pragma once

// Ways for a test to make a write fail the way a full disk does, without filling a real disk.

#include <QString>

#include <functional>
#include <optional>

namespace tidewake::test {

// While it lives, no file of this process may grow past `bytes`: a write beyond it fails (EFBIG)
// as a write to a full disk fails, buffered or not. Where the system has no such limit, active()
// is false and the test should skip.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long long bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool active() const { return active_; }

 private:
  bool active_ = false;
  unsigned long long previous_ = 0;
  bool handlerSet_ = false;
  void (*previousHandler_)(int) = nullptr;
};

// Runs `body` in a child process that sees a fresh tmpfs of `bytes` (a real small disk, mounted
// in a namespace of its own, so no privilege is needed) at the folder it is given, and returns the
// child's exit status. Empty when the system does not let a process mount one; the test then
// skips. `body` must not use the test framework's assertions: it answers through its status.
std::optional<int> RunOnSmallDisk(long long bytes, const std::function<int(const QString& folder)>& body);

// Fills the disk of `folder` to its last byte with a file of its own there ("filler"); false when
// the file could not be made.
bool FillDisk(const QString& folder);

}  // namespace tidewake::test
