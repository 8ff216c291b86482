#include "data/mDayFile.h"

#include "data/mSensyuStore.h"
#include "platform/LineReader.h"

namespace tidewake {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "STARTB", or a venue's "NNBBGN", at the start of the line.
bool StartsProgramme(QByteArrayView line) {
  if (line.startsWith("STARTB")) return true;
  return line.size() >= 6 && IsDigit(line[0]) && IsDigit(line[1]) && line.sliced(2).startsWith("BBGN");
}

}  // namespace

DayFileKind DayFileKindOf(const QByteArray& bytes) {
  if (bytes.contains('\0')) return DayFileKind::Other;
  LineReader lines(bytes);
  QByteArrayView line;
  while (lines.Next(line)) {
    if (StartsProgramme(line)) return DayFileKind::Programme;
  }
  return SensyuBytesProblem(bytes).isEmpty() ? DayFileKind::FanHandbook : DayFileKind::Other;
}

}  // namespace tidewake
