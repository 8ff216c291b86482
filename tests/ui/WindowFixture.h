#pragma once

// The main window as the user meets it: the real frmMain, offscreen, driven through its controls
// (found by their names, as the user finds them by their captions) with the test doubles for the
// file dialog, the message box and the clock, on the real files.

#include "platform/mMyFunc.h"
#include "session/CardColumn.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/QtRaceScene.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace tidewake::test {

// A control of the window by its name; the test fails when there is none.
template <typename T>
T* Control(QObject& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// Files dropped on the window as it receives them: the enter event, then the drop. False when
// the window refused them at the door.
inline bool Drop(QWidget& w, const QStringList& paths) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
  mime.setUrls(urls);
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  return true;
}

// Picks item `index` of a selector the way a user does: its handler runs.
inline void Activate(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ::testing::Test::SetUp();
    // Each test starts as a first run: nothing remembered from the one before.
    QSettings(QStringLiteral("Corvane"), QStringLiteral("Tidewake")).clear();
    Make();
  }
  void TearDown() override { w.reset(); }

  // A new window, as the program makes at start-up, its chances followed.
  void Make() {
    w.reset();
    w = std::make_unique<frmMain>();
    QCoreApplication::processEvents();
  }

  QAction* Act(const char* name) { return Control<QAction>(*w, name); }
  QComboBox* Venues() { return Control<QComboBox>(*w, "cboJyo"); }
  QComboBox* Races() { return Control<QComboBox>(*w, "cboRaceNo"); }
  QString Text(const char* label) { return Control<QLabel>(*w, label)->text(); }
  QWidget* Widget(const char* name) { return Control<QWidget>(*w, name); }
  QtPictureBox* Picture() { return Control<QtPictureBox>(*w, "picGrid"); }
  bool CardShown() { return Widget("picGridPanel")->isVisibleTo(w.get()); }
  bool FileMenuEnabled() { return Control<QMenu>(*w, "mnuFile")->menuAction()->isEnabled(); }
  bool RaceMenuEnabled() { return Control<QMenu>(*w, "mnuRace")->menuAction()->isEnabled(); }
  // Escape, through the button it stands for.
  void Escape() { Control<QPushButton>(*w, "cmdCancel")->click(); }
  void Back() { Control<QPushButton>(*w, "cmdClose")->click(); }

  // The user opens a programme text with Ctrl+O and picks `path` in the dialog.
  void OpenProgramme(const QString& path) {
    ChosenFileDialog dialog(path);
    Act("mnuFileOpen")->trigger();
  }
  // The user installs a fan handbook; the boxes it shows (the one that says what was installed)
  // are kept in updateBoxes.
  void UpdateRacers(const QString& path) {
    ChosenFileDialog dialog(path);
    RecordingMessageBox boxes;
    Act("mnuFileUpdate")->trigger();
    updateBoxes = boxes.boxes();
  }
  void OpenResults(const QString& path) {
    ChosenFileDialog dialog(path);
    Act("mnuFileKekka")->trigger();
  }
  // Picks the venue with the code, then (optionally) a race, as the user does.
  void ChooseVenue(int code) {
    const int index = Venues()->findData(code);
    ASSERT_GE(index, 0) << "venue " << code << " is not listed";
    Activate(Venues(), index);
  }
  void ChooseRace(int race) { Activate(Races(), Races()->findData(race)); }
  int VenueCode() { return Venues()->currentData().toInt(); }
  QStringList Items(QComboBox* c) const {
    QStringList items;
    for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
    return items;
  }
  QString Cell(int row, CardColumn col) { return w->Grid().CellValue(static_cast<std::int16_t>(row), Col(col)); }
  QStringList Column(CardColumn col) {
    QStringList c;
    for (int b = 1; b <= 6; ++b) c << Cell(b, col);
    return c;
  }
  QStringList Courses() { return Column(CardColumn::Course); }
  // The centre of a card cell, in the picture's pixels.
  QPoint CellCentre(int row, CardColumn col) {
    cGrid& g = w->Grid();
    int x = g.Left(), y = g.Top();
    for (std::int16_t c = 0; c < Col(col); ++c) x += g.ColWidth(c);
    for (std::int16_t r = 0; r < row; ++r) y += g.RowHeight(r);
    return QPoint(x + g.ColWidth(Col(col)) / 2, y + g.RowHeight(static_cast<std::int16_t>(row)) / 2);
  }
  // A button released over a card cell, as the mouse does it.
  void Click(Qt::MouseButton button, int row, CardColumn col) {
    QTest::mouseClick(Picture(), button, Qt::NoModifier, CellCentre(row, col));
  }
  // The right button on a boat's course, choosing `item` of the pop-up.
  void Popup(int boat, const char* item) {
    QAction* choice = Act(item);
    w->PopupMenu = [choice](QMenu*, const QPoint&) { choice->trigger(); };
    Click(Qt::RightButton, boat, CardColumn::Course);
  }
  // The tooltip the card gives at a cell.
  QString Tip(int row, CardColumn col) {
    const QPoint at = CellCentre(row, col);
    return Picture()->toolTipAt(static_cast<float>(at.x()), static_cast<float>(at.y()));
  }

  TempAppFolder folder;
  VirtualClock clock;
  std::unique_ptr<frmMain> w;
  std::vector<RecordedBox> updateBoxes;
};

class WindowWithADay : public Window {
 protected:
  void SetUp() override {
    Window::SetUp();
    programme = SharedDataFile(QStringLiteral("B/b240101.txt"));
    fan = SharedDataFile(QStringLiteral("F/fan2604.txt"));
    if (programme.isEmpty() || fan.isEmpty()) GTEST_SKIP() << "sample files not found in ../shared/data";
    UpdateRacers(fan);
    OpenProgramme(programme);
    ChooseRace(3);
    snapshot = State();
  }
  struct Snapshot {
    QStringList venues, races, cells;
    QString day;
    QByteArray bangumi, sensyu;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot State() {
    const auto bytes = [](const QString& name) {
      QFile f(AppFilePath(name));
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    Snapshot s{Items(Venues()),
               Items(Races()),
               {},
               Text("lblDay"),
               bytes(QStringLiteral("BANGUMI.BRF")),
               bytes(QStringLiteral("SENSYU.BRF"))};
    for (int b = 1; b <= 6; ++b) {
      for (int c = 0; c < kCardColumns; ++c) s.cells << Cell(b, static_cast<CardColumn>(c));
    }
    return s;
  }
  QString programme, fan;
  Snapshot snapshot;
};

}  // namespace tidewake::test
