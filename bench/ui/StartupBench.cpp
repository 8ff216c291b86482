// Start-up to the first paint of the card, and the peak resident memory, of the program's window
// beside a bare QMainWindow measured the same way. One start per process; run both several
// times through bench/ui/startup.sh, which prints the medians:
//   ./build/bench/ui/startup_bench window   # frmMain with its start-up, the card painted
//   ./build/bench/ui/startup_bench bare     # an empty QMainWindow of the same size, painted
// Each prints "<milliseconds from main to the first paint> <peak RSS in KiB>".

#include "platform/SjisText.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/FontSubstitutions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Ends the program at the first paint of the watched widget, printing the time and the memory.
class FirstPaint final : public QObject {
 public:
  explicit FirstPaint(const QElapsedTimer& timer) : timer_(timer) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      const double ms = static_cast<double>(timer_.nsecsElapsed()) / 1e6;
      // After this paint has finished: its memory counts too.
      QTimer::singleShot(0, [ms] {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        std::printf("%.1f %ld\n", ms, u.ru_maxrss);
        QCoreApplication::quit();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const QElapsedTimer& timer_;
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer timer;
  timer.start();
  const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
  QApplication app(argc, argv);
  FirstPaint watcher(timer);
  std::unique_ptr<QMainWindow> window;
  if (bare) {
    window = std::make_unique<QMainWindow>();
    auto* client = new QWidget(window.get());
    client->setFixedSize(828, 209);
    window->setCentralWidget(client);
    client->installEventFilter(&watcher);
  } else {
    tidewake::EnsureShiftJisCodec();
    tidewake::RegisterFontSubstitutions();
    auto* w = new tidewake::frmMain();
    window.reset(w);
    w->findChild<QWidget*>(QStringLiteral("picGrid"))->installEventFilter(&watcher);
  }
  window->show();
  return app.exec();
}
