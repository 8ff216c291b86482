#pragma once

// What every fuzz target of the stores sets up once: the Shift_JIS codec, message boxes that
// answer OK unseen, and a temporary program folder for the stores.

#include "platform/MessageBox.h"
#include "platform/SjisText.h"
#include "platform/mMyFunc.h"

#include <QTemporaryDir>

namespace tidewake::fuzz {

class SilentBox final : public IMessageBox {
 public:
  MsgResult Show(const QString&, MsgButtons, MsgIcon, const QString&) override { return MsgResult::Ok; }
};

// The temporary program folder; the first call sets everything up.
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

}  // namespace tidewake::fuzz
