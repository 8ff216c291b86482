#pragma once

// Parts of the main window that need none of its state: where a window goes beside it, work run
// off its thread behind a progress dialog, and the list of the days the history holds.

#include "history/cRirekiDb.h"

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QProgressDialog;
class QWidget;

namespace tidewake {

// Where a window of `size` goes beside `main` on the screen area: under it when it fits, else to
// its right, else to its left; when none fits whole, as close under it as the screen allows.
QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screenArea);

// Runs `work` on a thread of its own while the window's events go on (the progress dialog, its
// cancel), and returns when it has ended.
void RunOffThread(const std::function<void()>& work);

// Says `text` on the dialog from any thread, once the window's thread gets to it.
void Say(QProgressDialog* dialog, const QString& text, int value = -1, int maximum = -1);

// The list of the days the history holds, newest first; the day chosen, or nothing.
std::optional<QDate> AskDay(QWidget* parent, const std::vector<HeldDay>& days);

}  // namespace tidewake
