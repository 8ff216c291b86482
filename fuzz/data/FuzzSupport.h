#pragma once

// What every fuzz target needs: a message box that answers OK without showing anything, and the
// codec checked once. The stores are fuzzed through their readers, in memory.

#include "platform/MessageBox.h"
#include "platform/SjisText.h"

namespace tidewake::fuzz {

class SilentBox final : public IMessageBox {
 public:
  MsgResult Show(const QString&, MsgButtons, MsgIcon, const QString&) override { return MsgResult::Ok; }
};

// Set up on the first call: the codec checked and the silent box installed.
inline void FuzzSetUp() {
  static SilentBox box;
  static const bool ready = [] {
    EnsureShiftJisCodec();
    SetMessageBoxHandler(&box);
    return true;
  }();
  (void)ready;
}

}  // namespace tidewake::fuzz
