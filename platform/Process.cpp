#include "platform/Process.h"

#include <QCoreApplication>
#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <signal.h>

#include <cerrno>
#endif

namespace tidewake {

std::int64_t ThisProcessId() { return QCoreApplication::applicationPid(); }

bool ProcessAlive(std::int64_t pid) {
  if (pid <= 0 || pid > 0x7fffffff) return false;
#if defined(Q_OS_WIN)
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  // A process that exists but may not be queried is running as far as we can tell.
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
#else
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
#endif
}

}  // namespace tidewake
