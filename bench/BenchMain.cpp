// The one main of the benchmark programs: the application object the program's benchmarks need
// (TIDEWAKE_BENCH_APP: 0 QtCore, 1 QtGui, 2 QtWidgets, offscreen unless a platform is set), the
// Shift_JIS codec, the font substitutions of the window, then Google Benchmark.

#include "platform/SjisText.h"

#if TIDEWAKE_BENCH_APP == 2
#include <QApplication>
using BenchApplication = QApplication;
#elif TIDEWAKE_BENCH_APP == 1
#include <QGuiApplication>
using BenchApplication = QGuiApplication;
#else
#include <QCoreApplication>
using BenchApplication = QCoreApplication;
#endif
#if TIDEWAKE_BENCH_APP > 0
#include "ui/qtplatform/FontSubstitutions.h"
#endif

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
#if TIDEWAKE_BENCH_APP > 0
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  BenchApplication app(argc, argv);
  tidewake::EnsureShiftJisCodec();
#if TIDEWAKE_BENCH_APP > 0
  tidewake::RegisterFontSubstitutions();
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
