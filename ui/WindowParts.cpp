#include "ui/WindowParts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMetaObject>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace tidewake {

QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screenArea) {
  constexpr int kGap = 8;
  const QPoint candidates[] = {QPoint(main.left(), main.bottom() + 1 + kGap),
                               QPoint(main.right() + 1 + kGap, main.top()),
                               QPoint(main.left() - kGap - size.width(), main.top())};
  if (screenArea.isEmpty()) return candidates[0];
  for (const QPoint& at : candidates) {
    if (screenArea.contains(QRect(at, size))) return at;
  }
  // Neither fits whole: under the main window as far as the screen allows, in view.
  const int x =
      std::clamp(main.left(), screenArea.left(), std::max(screenArea.left(), screenArea.right() + 1 - size.width()));
  const int y = std::clamp(main.bottom() + 1 + kGap, screenArea.top(),
                           std::max(screenArea.top(), screenArea.bottom() + 1 - size.height()));
  return QPoint(x, y);
}

void RunOffThread(const std::function<void()>& work) {
  QThread* worker = QThread::create(work);
  QEventLoop loop;
  QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  delete worker;
}

void Say(QProgressDialog* dialog, const QString& text, int value, int maximum) {
  QPointer<QProgressDialog> shown(dialog);
  QMetaObject::invokeMethod(
      dialog,
      [shown, text, value, maximum] {
        if (!shown) return;
        if (maximum >= 0) shown->setMaximum(maximum);
        if (value >= 0) shown->setValue(value);
        shown->setLabelText(text);
      },
      Qt::QueuedConnection);
}

std::optional<QDate> AskDay(QWidget* parent, const std::vector<HeldDay>& days) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("履歴の日を開く"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("開く日を選んでください（%1 日分）").arg(days.size()), &dialog));
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("lstHeldDays"));
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  for (const HeldDay& d : days) {
    const QString held = d.programme && d.results ? QStringLiteral("番組・成績")
                         : d.programme            ? QStringLiteral("番組のみ")
                                                  : QStringLiteral("成績のみ");
    auto* item =
        new QListWidgetItem(japanese.toString(d.date, QStringLiteral("yyyy/MM/dd（ddd）")) + u' ' + held, list);
    item->setData(Qt::UserRole, d.date);
    // A day without its programme has no card to show.
    if (!d.programme) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
  }
  for (int i = 0; i < list->count(); ++i) {
    if (list->item(i)->flags() & Qt::ItemIsEnabled) {
      list->setCurrentRow(i);
      break;
    }
  }
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  dialog.resize(320, 420);
  if (dialog.exec() != QDialog::Accepted || !list->currentItem()) return std::nullopt;
  return list->currentItem()->data(Qt::UserRole).toDate();
}

}  // namespace tidewake
