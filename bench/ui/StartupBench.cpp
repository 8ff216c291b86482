// Start-up to the first paint of the card, and the peak resident memory, of the program's window
// beside the fair floor: a bare window of the card's size drawing one line of Japanese in the
// card's font, measured the same way. One start per process; bench/ui/startup.sh runs each case
// several times and prints the medians:
//   ./build/bench/ui/startup_bench window          # the program's start (what main() does
//                                                  # around frmMain) in an empty program folder
//   ./build/bench/ui/startup_bench window FOLDER   # frmMain with FOLDER as its program folder (a
//                                                  # stored day, a handbook, a history, WIN.TXT)
//   ./build/bench/ui/startup_bench bare            # the floor
// Each prints "<ms from main to the first paint> <peak RSS in KiB> <ms from the first paint to
// the card's chances (0 for the floor)> <processor ms to the first paint> <processor ms to the end
// of the first frame> <ms from main to the end of the first frame>"; the processor time holds
// still on a machine busy with other work, where the clock does not. The first paint is the
// moment the paint reaches the card (the floor's line): what is drawn in that paint is not in it.
// The floor draws its line, and first loads its font, there. The end of the first frame is the
// moment that paint has been handed to the display: the card (the floor's line) is on the screen.

#include "packaging/AppIcon.h"
#include "platform/mMyFunc.h"
#include "session/DaySession.h"
#include "ui/ProgramStart.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/FontSubstitutions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

// Processor time of the whole process (every thread) so far, in ms.
double ProcessorMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e6 +
          static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec)) /
         1e3;
}

// Notes the first paint of the watched widget; the program ends once `done` says the rest is in.
class FirstPaint final : public QObject {
 public:
  explicit FirstPaint(const QElapsedTimer& timer) : timer_(timer) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && painted_ < 0) {
      painted_ = Ms(timer_);
      cpu_ = ProcessorMs();
      // After this paint has finished: its memory counts too. Posted before the window's own
      // work after its first paint (this filter comes after the window's, so it is called first).
      QTimer::singleShot(0, [this] {
        frameCpu_ = ProcessorMs();
        frame_ = Ms(timer_);
        Finish();
      });
    }
    return QObject::eventFilter(watched, event);
  }
  // The moment the card's chances came, when they are waited for.
  void ChancesShown() {
    if (chances_ < 0) chances_ = Ms(timer_);
    Finish();
  }
  bool waitForChances = false;

 private:
  void Finish() {
    if (painted_ < 0 || (waitForChances && chances_ < 0) || done_) return;
    done_ = true;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("%.1f %ld %.1f %.1f %.1f %.1f\n", painted_, u.ru_maxrss, waitForChances ? chances_ - painted_ : 0.0,
                cpu_, frameCpu_, frame_);
    QCoreApplication::quit();
  }
  const QElapsedTimer& timer_;
  double painted_ = -1, chances_ = -1, cpu_ = 0, frameCpu_ = 0, frame_ = 0;
  bool done_ = false;
};

// The floor: what any window of the card's size showing Japanese in the card's font costs.
class JapaneseLine final : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPointSize(11);
    p.setFont(font);
    p.drawText(8, 40, QStringLiteral("艇番 選手登番 選手名 年齢 出身 体重 級別 勝率 ２連率 成績 進入"));
  }
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer timer;
  timer.start();
  const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
  // As the program starts: the fonts read ahead beside the application object and the window.
  std::optional<tidewake::FontReadAhead> fonts;
  if (!bare) fonts.emplace();
  QApplication app(argc, argv);
  if (fonts) fonts->ApplicationMade();
  // The program folder: the one given, else an empty one of this run.
  QTemporaryDir empty;
  tidewake::SetAppFolder(argc > 2 ? QString::fromLocal8Bit(argv[2]) : empty.path());
  FirstPaint watcher(timer);
  std::unique_ptr<QMainWindow> window;
  if (bare) {
    tidewake::RegisterFontSubstitutions();
    window = std::make_unique<QMainWindow>();
    auto* client = new JapaneseLine(window.get());
    client->setFixedSize(828, 209);
    window->setCentralWidget(client);
    client->installEventFilter(&watcher);
  } else {
    // As the program starts: its names, codec, fonts and texts; its icon after the first paint.
    tidewake::PrepareProgram();
    auto* w = new tidewake::frmMain();
    window.reset(w);
    tidewake::GiveIconAfterFirstPaint(*w, &tidewake::AppIcon);
    w->findChild<QWidget*>(QStringLiteral("picGrid"))->installEventFilter(&watcher);
    watcher.waitForChances = true;
    QObject::connect(&w->Session(), &tidewake::DaySession::cardChanged, &watcher, [&watcher, w] {
      if (w->Session().Chances()) watcher.ChancesShown();
    });
  }
  window->show();
  const int result = app.exec();
  if (fonts) fonts->Wait();
  return result;
}
