#include "predict/PredictReport.h"

#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"

namespace tidewake::mPredictReport {
namespace {
Capture* gCapture = nullptr;  // the window's thread only, as every prediction
}  // namespace

Capture::Capture() : previous_(gCapture) { gCapture = this; }
Capture::~Capture() { gCapture = previous_; }

void Capture::Keep(const QString& strTitle, const QString& strText) {
  if (Failed()) return;
  title_ = strTitle;
  text_ = strText;
}

void Report(const QString& strTitle, const std::exception& e) {
  const auto* rt = dynamic_cast<const RuntimeError*>(&e);
  const QString text = rt ? rt->description() : QString::fromUtf8(e.what());
  if (gCapture) {
    gCapture->Keep(strTitle, text);
    return;
  }
  MsgBox(text, MsgButtons::Ok, MsgIcon::Warning, strTitle);
}

}  // namespace tidewake::mPredictReport
