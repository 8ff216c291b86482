#include "platform/FileDialog.h"

namespace tidewake {
namespace {
IFileDialog* gDialog = nullptr;
}

IFileDialog* FileDialog() { return gDialog; }

IFileDialog* SetFileDialog(IFileDialog* dialog) {
  IFileDialog* old = gDialog;
  gDialog = dialog;
  return old;
}

}  // namespace tidewake
