#pragma once

// The main window as the user meets it: the real frmMain, offscreen, driven through its commands
// with the test doubles for the file dialog, the message box and the clock, on the real files.

#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "ui/frmMain.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>

#include <gtest/gtest.h>

#include <memory>

namespace tidewake::test {

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ::testing::Test::SetUp();
    // Each test starts as a first run: nothing remembered from the one before.
    QSettings(QStringLiteral("Corvane"), QStringLiteral("Tidewake")).clear();
    w = std::make_unique<frmMain>();
  }
  void TearDown() override { w.reset(); }

  // The user opens a programme text with Ctrl+O and picks `path` in the dialog.
  void OpenProgramme(const QString& path) {
    ChosenFileDialog dialog(path);
    w->mnuFileOpen->trigger();
  }
  // The user installs a fan handbook; the boxes it shows (the one that says what was installed)
  // are kept in updateBoxes.
  void UpdateRacers(const QString& path) {
    ChosenFileDialog dialog(path);
    RecordingMessageBox boxes;
    w->mnuFileUpdate->trigger();
    updateBoxes = boxes.boxes();
  }
  // Picks the venue with the code, then (optionally) a race, as the user does.
  void ChooseVenue(int code) {
    const int index = w->cboJyo->findData(code);
    ASSERT_GE(index, 0) << "venue " << code << " is not listed";
    w->SelectListIndex(w->cboJyo, index);
  }
  void ChooseRace(int race) { w->SelectListIndex(w->cboRaceNo, w->cboRaceNo->findData(race)); }
  QStringList Items(QComboBox* c) const {
    QStringList items;
    for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
    return items;
  }
  QString Cell(int row, int col) {
    return w->Grid().CellValue(static_cast<std::int16_t>(row), static_cast<std::int16_t>(col));
  }
  QStringList Courses() {
    QStringList c;
    for (int b = 1; b <= 6; ++b) c << Cell(b, 14);
    return c;
  }
  // The centre of a card cell, in the picture's pixels.
  QPointF CellCentre(int row, int col) {
    cGrid& g = w->Grid();
    int x = g.Left(), y = g.Top();
    for (std::int16_t c = 0; c < col; ++c) x += g.ColWidth(c);
    for (std::int16_t r = 0; r < row; ++r) y += g.RowHeight(r);
    return QPointF(x + g.ColWidth(static_cast<std::int16_t>(col)) / 2.0,
                   y + g.RowHeight(static_cast<std::int16_t>(row)) / 2.0);
  }
  // The courses a predictor gives race `race` of the venue shown, from the store as it is now.
  QStringList Predicted(EntryPredictor predictor, int race) {
    cSensyuFile sensyu;
    QStringList list = w->Bangumi().ParticipationSensyuNoAllGet();
    EXPECT_TRUE(sensyu.FileLoad(AppFilePath(QStringLiteral("SENSYU.BRF")), list, 0));
    const EntryPrediction p = PredictEntry(predictor, w->Bangumi(), static_cast<std::int16_t>(race), sensyu);
    EXPECT_TRUE(p.predicted) << p.failure.toStdString();
    QStringList c;
    for (int b = 1; b <= 6; ++b) c << QString::number(p.Course(b));
    return c;
  }
  bool FileMenuEnabled() const { return w->mnuFile->menuAction()->isEnabled(); }
  bool RaceMenuEnabled() const { return w->mnuRace->menuAction()->isEnabled(); }

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
    OpenProgramme(programme);
    UpdateRacers(fan);
    ChooseVenue(w->cboJyo->itemData(0).toInt());
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
    Snapshot s{Items(w->cboJyo),
               Items(w->cboRaceNo),
               {},
               w->lblDay->text(),
               bytes(QStringLiteral("BANGUMI.BRF")),
               bytes(QStringLiteral("SENSYU.BRF"))};
    for (int b = 1; b <= 6; ++b) {
      for (int c = 0; c <= 14; ++c) s.cells << Cell(b, c);
    }
    return s;
  }
  QString programme, fan;
  Snapshot snapshot;
};

}  // namespace tidewake::test
