#include "platform/Console.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace tidewake {

void ConsoleWrite(std::FILE* stream, const QString& text) {
#if defined(Q_OS_WIN)
  std::fflush(stream);
  const int fd = _fileno(stream);
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    DWORD written = 0;
    WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.utf16()), static_cast<DWORD>(text.size()), &written,
                  nullptr);
    return;
  }
  // Redirected: the same bytes as on every other system, no CR added before each LF.
  _setmode(fd, _O_BINARY);
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
#else
  std::fputs(text.toLocal8Bit().constData(), stream);
#endif
  std::fflush(stream);
}

}  // namespace tidewake
