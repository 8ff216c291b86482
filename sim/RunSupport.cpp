#include "sim/RunSupport.h"

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"

#include <algorithm>
#include <limits>

namespace tidewake::detail {

std::int32_t ElapsedSince(std::int32_t start) {
  const auto now = static_cast<std::uint32_t>(Clock().Milliseconds());
  return static_cast<std::int32_t>(now - static_cast<std::uint32_t>(start));
}

FrameTimer::FrameTimer() : start_(Clock().Milliseconds()) {}

void FrameTimer::WaitRest(std::int32_t period) const {
  const std::int64_t rest = static_cast<std::int64_t>(period) - ElapsedSince(start_);
  WaitTime(static_cast<std::int32_t>(std::clamp<std::int64_t>(rest, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max())));
}

void NextFrame() {
  if (gintFrame == std::numeric_limits<std::int16_t>::max()) {
    throw RuntimeError(ErrNo::Overflow, QStringLiteral("オーバーフローしました: フレーム数 %1 + 1").arg(gintFrame));
  }
  ++gintFrame;
}

bool LeaveAfterPump(const char16_t* question) {
  if (gblnQuit) return true;
  if (!gblnRunning) {
    if (MsgBox(QString::fromUtf16(question), MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) return true;
    gblnRunning = true;
  }
  return false;
}

}  // namespace tidewake::detail
