// The analysis window from the main window, on a history of real days: each page is computed off
// the window's thread and shown as charts and tables holding the page's figures; the card opens
// them with what the session shows (a boat's racer, the venue, the race's motors, the day); a
// page is copied, saved as CSV and as a PNG; a bad input or a missing history is said.

#include "analysis/mPages.h"
#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmAnalysis.h"

#include <qcustomplot.h>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QTabWidget>
#include <QTableWidget>

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
    QStringList files;
    for (QDate d : kDays) {
      for (const char* kind : {"b", "k"})
        files << QDir(year).filePath(kind + d.toString(QStringLiteral("yyMMdd")) + ".lzh");
    }
    cRirekiDb db(cRirekiDb::DefaultPath());
    ASSERT_EQ(ImportPaths(db, files).refused.size(), 0u);
  }
  // Waits for the page being computed (the window keeps working while it waits); the wait has
  // no time limit of its own but ctest's.
  static void WaitFor(frmAnalysis* a) {
    if (!a->Working()) return;
    QEventLoop loop;
    QObject::connect(a, &frmAnalysis::Finished, &loop, &QEventLoop::quit);
    loop.exec();
  }
  frmAnalysis* Shown() {
    frmAnalysis* a = w->findChild<frmAnalysis*>();
    EXPECT_NE(a, nullptr);
    if (a) WaitFor(a);
    return a;
  }
  frmAnalysis* Open(const char* item) {
    Act(item)->trigger();
    return Shown();
  }
  // The page's figures computed directly, as the console does, for what the window shows.
  static mReport::Page Direct(const frmAnalysis::Ask& ask) {
    cRirekiDb db(cRirekiDb::DefaultPath(), RirekiAccess::ReadOnly);
    mPages::Request r;
    r.Page = ask.Page;
    r.Jyo = ask.Jyo;
    r.Kind = ask.Kind;
    r.By = ask.By;
    r.SensyuNo = ask.SensyuNo;
    r.Marked = ask.Marked;
    const QDate end = ask.End.isValid() ? ask.End : kDays[3];
    r.Period = ask.Page == mPages::PageKind::Motor ? mPeriod::Period{ask.MotorFrom, end} : mPeriod::Of(ask.Period, end);
    return mPages::Compute(db, r);
  }
  // 履歴の日を開く on a day of the history, then the venue and race.
  void ShowRace(QDate day, int venue, int race) {
    w->AskHeldDay = [day](const std::vector<HeldDay>&) { return std::optional<QDate>(day); };
    RecordingMessageBox noHandbook;  // the card says once that no fan handbook is installed
    Act("mnuFileHistoryDay")->trigger();
    ChooseVenue(venue);
    ChooseRace(race);
  }
};

TEST_F(WindowAnalysis, EachPageShowsItsChartsAndTablesWithTheFiguresComputed) {
  const struct {
    const char* item;
    mPages::PageKind page;
  } cases[] = {{"mnuAnalysisVenue", mPages::PageKind::Venue},
               {"mnuAnalysisRoi", mPages::PageKind::Roi},
               {"mnuAnalysisModel", mPages::PageKind::Model}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    frmAnalysis* a = Open(c.item);
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
    // Every table's cells as the page gives them.
    for (std::size_t t = 0; t < shown.Tables.size(); ++t) {
      auto* table = a->Tabs()->widget(static_cast<int>(shown.Charts.size() + t))->findChild<QTableWidget*>();
      ASSERT_NE(table, nullptr);
      const mReport::Table& page = shown.Tables[t];
      ASSERT_EQ(table->rowCount(), static_cast<int>(page.Rows.size()));
      for (int r = 0; r < table->rowCount(); ++r) {
        for (int col = 0; col < table->columnCount(); ++col) {
          EXPECT_EQ(table->item(r, col)->text(),
                    page.Rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(col)].Text);
        }
      }
    }
    if (c.page != mPages::PageKind::Model) {
      // The same figures the console prints: one routine computes both.
      EXPECT_EQ(mReport::TabText(shown), mReport::TabText(Direct(a->Asked())));
    }
  }
}

// The card's ways to a page, each asking with what the session shows: the day shown ends the
// period, the venue shown, the racer of the boat's row, the race's six motors.
TEST_F(WindowAnalysis, TheCardOpensEachPageWithTheSessionsDayVenueRacerAndMotors) {
  const QDate day = kDays[2];
  ShowRace(day, 1, 5);
  ASSERT_EQ(w->Session().VenueCode(), 1);
  ASSERT_EQ(w->Session().RaceNo(), 5);
  QStringList motors;
  for (std::int16_t b = 1; b <= 6; ++b) motors << w->Session().Bangumi().MotorNo(5, b).trimmed();
  const auto racer = [&](int boat) {
    return w->Session().Bangumi().SensyuNo(5, static_cast<std::int16_t>(boat)).trimmed();
  };

  enum class Way { DoubleClick, BoatPopup, CoursePopup, VenuePopup };
  const struct {
    Way way;
    const char* item;
    int boat;
    mPages::PageKind page;
  } cases[] = {{Way::DoubleClick, nullptr, 2, mPages::PageKind::Racer},
               {Way::BoatPopup, "mnuBoatAnalysisRacer", 4, mPages::PageKind::Racer},
               {Way::CoursePopup, "mnuPopupAnalysisRacer", 6, mPages::PageKind::Racer},
               {Way::BoatPopup, "mnuBoatAnalysisMotor", 1, mPages::PageKind::Motor},
               {Way::VenuePopup, "mnuVenueAnalysis", 0, mPages::PageKind::Venue},
               {Way::VenuePopup, "mnuVenueAnalysisRoi", 0, mPages::PageKind::Roi}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(&c - cases));
    if (c.item) {
      QAction* choice = Act(c.item);
      w->PopupMenu = [choice](QMenu*, const QPoint&) { choice->trigger(); };
    }
    switch (c.way) {
      case Way::DoubleClick:
        QTest::mouseDClick(Picture(), Qt::LeftButton, Qt::NoModifier, CellCentre(c.boat, CardColumn::SensyuName));
        break;
      case Way::BoatPopup:
        Click(Qt::RightButton, c.boat, CardColumn::SensyuName);
        break;
      case Way::CoursePopup:
        Click(Qt::RightButton, c.boat, CardColumn::Course);
        break;
      case Way::VenuePopup:
        emit Venues()->customContextMenuRequested(QPoint(4, 4));
        break;
    }
    frmAnalysis* a = Shown();
    ASSERT_NE(a, nullptr);
    const frmAnalysis::Ask ask = a->Asked();
    EXPECT_EQ(ask.Page, c.page);
    EXPECT_EQ(ask.End, day);
    EXPECT_EQ(ask.Jyo, 1);
    EXPECT_EQ(ask.Marked, motors);
    if (c.boat >= 1 && c.page == mPages::PageKind::Racer) {
      EXPECT_EQ(ask.SensyuNo, racer(c.boat));
    }
    const mReport::Page& shown = a->Shown();
    ASSERT_FALSE(shown.Title.isEmpty()) << a->Status().toStdString();
    EXPECT_EQ(mReport::TabText(shown), mReport::TabText(Direct(ask)));
    if (c.page == mPages::PageKind::Motor) {
      // The race's motors stand out in the ranking: each marked row is one of them.
      int marked = 0;
      for (const std::vector<mReport::Cell>& row : shown.Tables[0].Rows) {
        if (row[0].Marked) {
          ++marked;
          EXPECT_TRUE(motors.contains(row[1].Text)) << row[1].Text.toStdString();
        }
      }
      EXPECT_GT(marked, 0);
      // And on the chart, at their ranks.
      ASSERT_EQ(shown.Charts[0].Marked.size(), static_cast<std::size_t>(marked));
      for (int rank : shown.Charts[0].Marked) {
        EXPECT_TRUE(motors.contains(shown.Charts[0].Categories[rank - 1])) << rank;
      }
    }
  }
}

TEST_F(WindowAnalysis, APageIsCopiedAndSavedAsCsvAndItsChartAsPng) {
  frmAnalysis* a = Open("mnuAnalysisVenue");
  ASSERT_NE(a, nullptr);
  ASSERT_FALSE(a->Shown().Title.isEmpty());
  a->CopyPage();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), mReport::TabText(a->Shown()));

  const QString csv = folder.file(QStringLiteral("venue.csv"));
  {
    ChosenFileDialog dialog(csv);
    a->SaveCsv();
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
  EXPECT_FALSE(QImage(png).isNull());

  // Cancelled dialogs write nothing.
  {
    ChosenFileDialog cancelled;
    a->SaveCsv();
    a->SaveChart();
  }
  EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.csv"), QStringLiteral("*.png")}, QDir::Files).size(), 2);
}

TEST_F(WindowAnalysis, ARacerWithoutANumberOrAMotorPageWithoutAVenueIsAskedForNotComputed) {
  frmAnalysis* a = Open("mnuAnalysisRacer");
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
}

TEST_F(WindowAnalysis, AStopLeavesThePageShownAndAMissingHistoryIsSaid) {
  frmAnalysis* a = Open("mnuAnalysisVenue");
  ASSERT_NE(a, nullptr);
  const QString shown = a->Shown().Title;
  ASSERT_FALSE(shown.isEmpty());
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
    EXPECT_EQ(a->Status(), a->Shown().Title);
    EXPECT_NE(a->Shown().Title, shown);
  }

  frmAnalysis missing(folder.file(QStringLiteral("none/RIREKI.DB")));
  missing.Open(ask);
  WaitFor(&missing);
  EXPECT_TRUE(missing.Status().startsWith(QStringLiteral("計算できませんでした"))) << missing.Status().toStdString();
  EXPECT_TRUE(missing.Shown().Title.isEmpty());
}

}  // namespace
