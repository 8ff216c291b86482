#pragma once

// What every store fuzz target needs: a message box that answers OK without showing anything, the
// codec checked once, a temporary program folder, and the input written to a file in it.

#include "platform/MessageBox.h"
#include "platform/SjisText.h"
#include "platform/mMyFunc.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace tidewake::fuzz {

class SilentBox final : public IMessageBox {
 public:
  MsgResult Show(const QString&, MsgButtons, MsgIcon, const QString&) override { return MsgResult::Ok; }
};

// Set up on the first call: the silent box installed and AppFilePath pointed at the folder.
inline const QTemporaryDir& FuzzFolder() {
  static SilentBox box;
  static QTemporaryDir dir;
  static const bool ready = [] {
    EnsureShiftJisCodec();
    SetMessageBoxHandler(&box);
    SetAppFolder(dir.path());
    return true;
  }();
  (void)ready;
  return dir;
}

// The input as the file `name` in the folder; its path.
inline QString WriteInput(const QString& name, const std::uint8_t* data, std::size_t size) {
  const QString path = FuzzFolder().filePath(name);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
  f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  return path;
}

}  // namespace tidewake::fuzz
