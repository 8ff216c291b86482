#pragma once

// What the store benchmarks share: the skip when a real file is absent, a temporary program
// folder for the stores, and the baseline every figure stands beside (read a file and decode each
// of its lines once).

#include "platform/LineReader.h"
#include "platform/SjisText.h"
#include "platform/mMyFunc.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace tidewake::bench {

// False, with the benchmark marked skipped, when the file is not there.
inline bool HaveSample(benchmark::State& state, const QString& path) {
  if (QFileInfo::exists(path)) return true;
  state.SkipWithError(("not found: " + path).toStdString().c_str());
  return false;
}

// AppFilePath points into a temporary folder for the object's lifetime.
struct TempProgramFolder {
  QTemporaryDir dir;
  TempProgramFolder() { SetAppFolder(dir.path()); }
  ~TempProgramFolder() { SetAppFolder(QString()); }
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;
};

// The characters of the file, read and decoded line by line.
inline qsizetype ReadAndDecode(const QString& path) {
  FileLineReader reader(path);
  QByteArray line;
  qsizetype chars = 0;
  while (reader.Next(line)) chars += DecodeSjis(line).size();
  return chars;
}

}  // namespace tidewake::bench
