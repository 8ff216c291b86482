// The Qt clock: Wait sleeps in the event loop for at least its time while events are delivered,
// Interrupt ends it early, nested Waits keep their own deadlines, and a wait of zero or less
// returns at once without delivering anything.

#include "ui/qtplatform/QtClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tidewake;

namespace {

// A wait measured against its own length may come out a millisecond short: the timer and the watch
// count whole milliseconds from different ticks (Windows rounds its timers to its own period).
// What these tests hold is that a wait is not cut short, which a 2 ms slack still shows.
constexpr qint64 kTickSlack = 2;

// Counts the custom events posted to it.
class Receiver final : public QObject {
 public:
  static QEvent::Type Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  int received = 0;

 protected:
  void customEvent(QEvent* e) override {
    if (e->type() == Type()) ++received;
  }
};

TEST(QtClock, WaitSleepsAtLeastItsTimeWhileEventsAreDelivered) {
  QtClock clock;
  Receiver receiver;
  bool timerFired = false;
  bool sawWaiting = false;
  QTimer::singleShot(0, [&] {
    timerFired = true;
    sawWaiting = clock.Waiting();
  });
  QCoreApplication::postEvent(&receiver, new QEvent(Receiver::Type()));
  QElapsedTimer watch;
  watch.start();
  const std::int32_t before = clock.Milliseconds();
  clock.Wait(50);
  EXPECT_GE(watch.elapsed(), 50 - kTickSlack);
  EXPECT_GE(clock.Milliseconds() - before, 50 - kTickSlack);
  EXPECT_TRUE(timerFired);
  EXPECT_TRUE(sawWaiting);
  EXPECT_EQ(receiver.received, 1);
  EXPECT_FALSE(clock.Waiting());
}

TEST(QtClock, AWaitOfZeroOrLessReturnsWithoutDeliveringEvents) {
  QtClock clock;
  for (const std::int32_t ms : {0, -1, -250, INT32_MIN}) {
    Receiver receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(Receiver::Type()));
    clock.Wait(ms);
    EXPECT_EQ(receiver.received, 0) << ms;
    // Delivered by the next DoEvents.
    clock.DoEvents();
    EXPECT_EQ(receiver.received, 1) << ms;
  }
}

TEST(QtClock, InterruptEndsAWaitInProgress) {
  QtClock clock;
  QTimer::singleShot(20, [&] { clock.Interrupt(); });
  QElapsedTimer watch;
  watch.start();
  clock.Wait(10000);
  EXPECT_LT(watch.elapsed(), 9000);
  EXPECT_FALSE(clock.Waiting());
}

TEST(QtClock, InterruptWithoutAWaitDoesNothingToTheNextOne) {
  QtClock clock;
  clock.Interrupt();
  QElapsedTimer watch;
  watch.start();
  clock.Wait(30);
  EXPECT_GE(watch.elapsed(), 30 - kTickSlack);
}

TEST(QtClock, NestedWaitsKeepTheirOwnDeadlinesAndInterruptEndsThemTogether) {
  // A Wait entered from an event delivered 5 ms into another Wait, as a box or a second handler
  // would; `interruptAfter` > 0 interrupts that long into the inner Wait.
  const struct {
    const char* what;
    std::int32_t outer;
    std::int32_t inner;
    int interruptAfter;
    qint64 outerAtLeast;
    qint64 innerAtLeast;
  } cases[] = {
      // The inner deadline does not end the outer Wait early.
      {"inner shorter", 120, 30, 0, 120, 30},
      // The outer deadline passes inside the inner Wait: the outer ends when the inner has.
      {"inner longer", 20, 80, 0, 80, 80},
      {"interrupted", 10000, 10000, 10, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QtClock clock;
    QElapsedTimer outer;
    outer.start();
    qint64 innerTook = -1;
    QTimer::singleShot(5, [&] {
      if (c.interruptAfter > 0) QTimer::singleShot(c.interruptAfter, [&] { clock.Interrupt(); });
      QElapsedTimer inner;
      inner.start();
      clock.Wait(c.inner);
      innerTook = inner.elapsed();
    });
    clock.Wait(c.outer);
    const qint64 outerTook = outer.elapsed();
    ASSERT_GE(innerTook, 0);
    EXPECT_GE(outerTook, c.outerAtLeast - kTickSlack);
    EXPECT_GE(innerTook, c.innerAtLeast - kTickSlack);
    if (c.interruptAfter > 0) {
      EXPECT_LT(outerTook, 9000);
    }
    EXPECT_FALSE(clock.Waiting());
  }
}

TEST(QtClock, AClockDestroyedDuringItsOwnWaitEndsTheWaitSafely) {
  auto* clock = new QtClock;
  QTimer::singleShot(5, [&] {
    delete clock;
    clock = nullptr;
  });
  QElapsedTimer watch;
  watch.start();
  clock->Wait(10000);
  EXPECT_EQ(clock, nullptr);
  EXPECT_LT(watch.elapsed(), 9000);
}

TEST(QtClock, MillisecondsStartNearZeroAndNeverGoBack) {
  QtClock clock;
  std::int32_t last = clock.Milliseconds();
  EXPECT_GE(last, 0);
  for (int i = 0; i < 5; ++i) {
    clock.Wait(2);
    const std::int32_t now = clock.Milliseconds();
    EXPECT_GE(now, last);
    last = now;
  }
}

}  // namespace
