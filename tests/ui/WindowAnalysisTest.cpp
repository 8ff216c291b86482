// The analysis window from the main window's 分析 menu, on a history of real days: each page is
// computed off the window's thread and shown as charts and tables holding the page's figures;
// copied, saved as CSV and as a PNG; a bad input or a missing history said, not computed.

#include "analysis/mPages.h"
#include "history/cRirekiDb.h"
#include "tests/history/HistoryFixture.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmAnalysis.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <qcustomplot.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

const QDate kDays[] = {QDate(2022, 7, 1), QDate(2022, 7, 2), QDate(2022, 7, 3), QDate(2022, 7, 4)};

class WindowAnalysis : public Window {
 protected:
  void SetUp() override {
    Window::SetUp();
    const QString year = SharedDataFile(QStringLiteral("year"));
    if (year.isEmpty()) GTEST_SKIP() << "sample folder not found: ../shared/data/year";
    cRirekiDb db(cRirekiDb::DefaultPath());
    for (QDate d : kDays) {
      const DayRecord day = ReadDayFiles(d, year);
      db.RecordProgramme(d, day.cards, "B" + d.toString().toUtf8());
      db.RecordResults(d, day.results, "K" + d.toString().toUtf8());
    }
  }
  // Waits for the page being computed (the window keeps working while it waits); the wait has
  // no time limit of its own but ctest's.
  void WaitFor(frmAnalysis* a) {
    if (!a->Working()) return;
    QEventLoop loop;
    QObject::connect(a, &frmAnalysis::Finished, &loop, &QEventLoop::quit);
    loop.exec();
  }
  frmAnalysis* Open(QAction* item) {
    item->trigger();
    frmAnalysis* a = w->findChild<frmAnalysis*>();
    EXPECT_NE(a, nullptr);
    if (a) WaitFor(a);
    return a;
  }
  // The page's figures as computed directly, for what the window shows to be held against.
  mReport::Page Direct(const frmAnalysis::Ask& ask) {
    cRirekiDb db(cRirekiDb::DefaultPath(), RirekiAccess::ReadOnly);
    mPages::Request r;
    r.Page = ask.Page;
    r.Jyo = ask.Jyo;
    r.Kind = ask.Kind;
    r.By = ask.By;
    r.SensyuNo = ask.SensyuNo;
    r.Period = mPeriod::Of(ask.Period, kDays[3]);
    return mPages::Compute(db, r);
  }
};

TEST_F(WindowAnalysis, EachPageShowsItsChartsAndTablesWithTheFiguresComputed) {
  struct Case {
    QAction* frmMain::*item;
    mPages::PageKind page;
  };
  const Case cases[] = {{&frmMain::mnuAnalysisVenue, mPages::PageKind::Venue},
                        {&frmMain::mnuAnalysisRoi, mPages::PageKind::Roi},
                        {&frmMain::mnuAnalysisModel, mPages::PageKind::Model}};
  for (const Case& c : cases) {
    frmAnalysis* a = Open(w.get()->*c.item);
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->Working());
    EXPECT_TRUE(a->isVisible());
    const mReport::Page& shown = a->Shown();
    ASSERT_FALSE(shown.Title.isEmpty()) << a->Status().toStdString();
    EXPECT_EQ(a->Asked().Page, c.page);
    EXPECT_EQ(a->Status(), shown.Title);
    // One tab per chart and per table, the charts drawn by the chart library.
    ASSERT_EQ(a->Tabs()->count(), static_cast<int>(shown.Charts.size() + shown.Tables.size()));
    for (std::size_t i = 0; i < shown.Charts.size(); ++i) {
      EXPECT_NE(qobject_cast<QCustomPlot*>(a->Tabs()->widget(static_cast<int>(i))), nullptr);
    }
    const int first = static_cast<int>(shown.Charts.size());
    auto* table = a->Tabs()->widget(first)->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    const mReport::Table& t = shown.Tables[0];
    ASSERT_EQ(table->rowCount(), static_cast<int>(t.Rows.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
      for (int col = 0; col < table->columnCount(); ++col) {
        EXPECT_EQ(table->item(r, col)->text(), t.Rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(col)].Text);
      }
    }
    if (c.page != mPages::PageKind::Model) {
      // The same figures the console prints: one routine computes both.
      EXPECT_EQ(mReport::TabText(shown), mReport::TabText(Direct(a->Asked())));
    }
  }
}

TEST_F(WindowAnalysis, APageIsCopiedAndSavedAsCsvAndItsChartAsPng) {
  frmAnalysis* a = Open(w->mnuAnalysisVenue);
  ASSERT_NE(a, nullptr);
  ASSERT_FALSE(a->Shown().Title.isEmpty());
  a->CopyPage();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), mReport::TabText(a->Shown()));

  const QString csv = folder.file(QStringLiteral("venue.csv"));
  {
    ChosenFileDialog dialog(csv);
    a->SaveCsv();
    EXPECT_EQ(dialog.calls, 1);
  }
  const QByteArray bytes = ReadBytes(csv);
  ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(QString::fromUtf8(bytes.mid(3)), mReport::CsvText(a->Shown()));

  a->Tabs()->setCurrentIndex(0);
  ASSERT_NE(qobject_cast<QCustomPlot*>(a->Tabs()->currentWidget()), nullptr);
  const QString png = folder.file(QStringLiteral("chart.png"));
  {
    ChosenFileDialog dialog(png);
    a->SaveChart();
  }
  const QImage image(png);
  EXPECT_FALSE(image.isNull());

  // Cancelled dialogs write nothing.
  {
    ChosenFileDialog cancelled;
    a->SaveCsv();
    a->SaveChart();
  }
  EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.csv"), QStringLiteral("*.png")}, QDir::Files).size(), 2);
}

TEST_F(WindowAnalysis, ARacerWithoutANumberOrAMotorPageWithoutAVenueIsAskedForNotComputed) {
  frmAnalysis* a = Open(w->mnuAnalysisRacer);
  ASSERT_NE(a, nullptr);
  EXPECT_FALSE(a->Working());
  EXPECT_TRUE(a->Shown().Title.isEmpty());
  EXPECT_EQ(a->Status(), QStringLiteral("選手の登録番号（4桁）を入れてください。"));

  frmAnalysis::Ask ask = a->Asked();
  ask.Page = mPages::PageKind::Motor;
  ask.Jyo = 0;
  a->Open(ask);
  EXPECT_FALSE(a->Working());
  EXPECT_EQ(a->Status(), QStringLiteral("モーターは場を選んでください。"));

  // A racer of the days, by number: his page, ending on the last day held.
  ask.Page = mPages::PageKind::Racer;
  ask.SensyuNo = QStringLiteral("4988");
  a->Open(ask);
  WaitFor(a);
  EXPECT_TRUE(a->Shown().Title.startsWith(QStringLiteral("4988"))) << a->Shown().Title.toStdString();
  EXPECT_EQ(mReport::TabText(a->Shown()), mReport::TabText(Direct(a->Asked())));
}

TEST_F(WindowAnalysis, AStopLeavesThePageShownAndAMissingHistoryIsSaid) {
  frmAnalysis* a = Open(w->mnuAnalysisVenue);
  ASSERT_NE(a, nullptr);
  const QString shown = a->Shown().Title;
  // The model's record looks back half a year: a stop asked at once ends it without a page.
  frmAnalysis::Ask ask = a->Asked();
  ask.Page = mPages::PageKind::Model;
  a->Open(ask);
  EXPECT_TRUE(a->Working());
  EXPECT_TRUE(a->Status().startsWith(QStringLiteral("計算中")));
  QPushButton* stop = nullptr;
  for (QPushButton* b : a->findChildren<QPushButton*>()) {
    if (b->text() == QStringLiteral("中止(&C)")) stop = b;
  }
  ASSERT_NE(stop, nullptr);
  EXPECT_TRUE(stop->isEnabled());
  stop->click();
  WaitFor(a);
  EXPECT_FALSE(a->Working());
  EXPECT_FALSE(stop->isEnabled());
  // Stopped in time, the page shown before stays; else the record came out whole.
  if (a->Status() == QStringLiteral("中止しました。")) {
    EXPECT_EQ(a->Shown().Title, shown);
  } else {
    EXPECT_TRUE(a->Shown().Title.startsWith(QStringLiteral("勝率モデルの成績"))) << a->Status().toStdString();
  }

  frmAnalysis missing(folder.file(QStringLiteral("none/RIREKI.DB")));
  missing.Open(ask);
  WaitFor(&missing);
  EXPECT_TRUE(missing.Status().startsWith(QStringLiteral("計算できませんでした"))) << missing.Status().toStdString();
  EXPECT_TRUE(missing.Shown().Title.isEmpty());
  EXPECT_FALSE(shown.isEmpty());
}

}  // namespace
