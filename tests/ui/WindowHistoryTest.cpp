// The history seen from the window: files opened are recorded, a folder is imported with a
// progress dialog that can be cancelled, and the card's tooltip tells a racer's last races.

#include "history/cRirekiDb.h"
#include "predict/mWinCoefficients.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmKekka.h"

#include <QDir>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

using namespace tidewake;
using namespace tidewake::test;

namespace {

const QDate kFirst{2022, 7, 1};

class WindowHistory : public Window {
 protected:
  void SetUp() override {
    Window::SetUp();
    year = SharedDataFile(QStringLiteral("year"));
    if (year.isEmpty()) GTEST_SKIP() << "sample folder not found: ../shared/data/year";
    downloads = folder.file(QStringLiteral("downloads"));
    QDir().mkpath(downloads);
  }
  // Copies of the year's archives of `days` days from the first, results only or both kinds.
  void Download(int days, bool programmes) {
    for (int i = 0; i < days; ++i) {
      const QString stem = kFirst.addDays(i).toString(QStringLiteral("yyMMdd"));
      for (const QString& kind : {QStringLiteral("k"), QStringLiteral("b")}) {
        if (kind == u"b" && !programmes) continue;
        const QString name = kind + stem + QStringLiteral(".lzh");
        ASSERT_TRUE(QFile::copy(year + u'/' + name, downloads + u'/' + name));
      }
    }
  }
  // "ﾌｧｲﾙ → 履歴に取り込む" on the downloads folder; the boxes it showed.
  std::vector<RecordedBox> Import() {
    ChosenFileDialog dialog(downloads);
    RecordingMessageBox boxes;
    w->mnuFileHistoryImport->trigger();
    return boxes.boxes();
  }
  QString Tip(int row) {
    const QPointF at = CellCentre(row, 3);
    return w->CardToolTip(static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
  QString year, downloads;
};

}  // namespace

TEST_F(WindowHistory, TheTooltipTellsTheRacersLastSixRaces) {
  RecordingMessageBox quiet;
  OpenProgramme(year + QStringLiteral("/b220711.lzh"));
  ChooseVenue(w->cboJyo->itemData(0).toInt());
  ChooseRace(12);
  EXPECT_EQ(Tip(1).split(u'\n').last(), QStringLiteral("（履歴なし）"));
  EXPECT_TRUE(Tip(1).startsWith(QStringLiteral("1号艇 ") + Cell(1, 2).trimmed() + u'\n')) << Tip(1).toStdString();

  Download(10, false);
  const auto boxes = Import();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, QStringLiteral("履歴"));
  EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("10 日分を履歴に加えました。0 日分はすでにありました。")))
      << boxes[0].text.toStdString();

  cRirekiDb db(cRirekiDb::DefaultPath());
  int shown = 0;
  for (std::int16_t row = 1; row <= 6; ++row) {
    const QString tip = Tip(row);
    const auto races = db.RecentRaces(w->Bangumi().SensyuNo(12, row).trimmed(), QDate(2022, 7, 11), 6);
    if (races.empty()) {
      EXPECT_EQ(tip.split(u'\n').last(), QStringLiteral("（履歴なし）"));
      continue;
    }
    ++shown;
    const QStringList lines = tip.split(u'\n');
    const qsizetype from = lines.indexOf(QStringLiteral("最近の%1走:").arg(races.size()));
    ASSERT_GE(from, 0) << tip.toStdString();
    ASSERT_EQ(lines.size() - from - 1, static_cast<qsizetype>(races.size())) << tip.toStdString();
    for (std::size_t i = 0; i < races.size(); ++i) {
      const RecentRace& r = races[i];
      const QString line = lines[from + 1 + static_cast<qsizetype>(i)];
      EXPECT_TRUE(line.startsWith(r.date.toString(QStringLiteral("yyyy/MM/dd ")) + r.KyoteijyoName +
                                  QStringLiteral(" %1R ").arg(r.RaceNo)))
          << line.toStdString();
      EXPECT_TRUE(line.endsWith(r.TyakujyunNo ? QStringLiteral(" %1着").arg(r.TyakujyunNo) : u' ' + r.Tyakujyun))
          << line.toStdString();
      if (r.Course) {
        EXPECT_TRUE(line.contains(QStringLiteral(" %1コース ").arg(r.Course))) << line.toStdString();
      }
    }
  }
  EXPECT_GT(shown, 0) << "the racers of a meeting's later day raced in the days before";
}

// Cancelled after the first days: the box says so, and the days imported stay, each whole.
TEST_F(WindowHistory, CancellingTheImportKeepsWhatCameIn) {
  Download(8, true);
  QTimer poll;
  int clicked = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QProgressDialog* p = w->ImportProgress();
    if (!p || p->value() < 4 || clicked) return;
    ++clicked;
    p->findChild<QPushButton*>()->click();
  });
  poll.start(1);
  const auto boxes = Import();
  EXPECT_EQ(clicked, 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("途中で取り込みをやめました"))) << boxes[0].text.toStdString();
  cRirekiDb db(cRirekiDb::DefaultPath());
  const auto s = db.Statistics();
  EXPECT_GE(s.days, 2);
  EXPECT_LT(s.days, 8);
  EXPECT_EQ(s.first, kFirst);

  // Imported again: the rest comes in, what was there is skipped.
  const auto again = Import();
  ASSERT_EQ(again.size(), 1u);
  EXPECT_FALSE(again[0].text.contains(QStringLiteral("取り込めなかった"))) << again[0].text.toStdString();
  EXPECT_EQ(db.Statistics().days, 8);
}

// A database that is not ours: one box names it, the results open all the same, the file stays.
TEST_F(WindowHistory, AHistoryThatIsNotOursIsReportedOnceAndLeftAlone) {
  const QString db = cRirekiDb::DefaultPath();
  WriteBytes(db, "my own notes, not a database");
  {
    RecordingMessageBox boxes;
    OpenProgramme(year + QStringLiteral("/b220711.lzh"));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("履歴"));
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("履歴データベースではないファイルです")));
    EXPECT_TRUE(boxes.boxes()[0].text.contains(db)) << boxes.boxes()[0].text.toStdString();
  }
  EXPECT_GT(w->cboJyo->count(), 0) << "the card is there all the same";
  RecordingMessageBox boxes;
  ChooseVenue(w->cboJyo->itemData(0).toInt());
  ChooseRace(1);
  EXPECT_EQ(Tip(1), QString()) << "the tooltip says nothing of it";
  {
    ChosenFileDialog dialog(year + QStringLiteral("/k220711.lzh"));
    w->mnuFileKekka->trigger();
  }
  EXPECT_NE(w->KekkaWindow(), nullptr);
  for (const RecordedBox& b : boxes.boxes()) {
    EXPECT_NE(b.title, QStringLiteral("履歴")) << "reported once, when the programme was recorded";
  }
  EXPECT_EQ(ReadBytes(db), QByteArray("my own notes, not a database"));
}

// Cancelled as soon as its dialog shows (well before the fit can end), the re-fit writes nothing,
// says nothing and keeps the coefficients in use; run to its end it writes the user's file.
TEST_F(WindowHistory, CancellingTheWinFitKeepsTheCoefficientsInUse) {
  Download(6, true);
  ASSERT_EQ(Import().size(), 1u);
  const mWinModel::Coefficients inUse = w->WinCoefficients();
  QTimer poll;
  int clicked = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* p = w->findChild<QProgressDialog*>();
    if (!p || !p->isVisible() || clicked) return;
    ++clicked;
    p->findChild<QPushButton*>()->click();
  });
  poll.start(1);
  {
    RecordingMessageBox boxes;
    w->mnuRaceWinFit->trigger();
    EXPECT_TRUE(boxes.boxes().empty());
  }
  poll.stop();
  EXPECT_EQ(clicked, 1);
  EXPECT_FALSE(QFile::exists(frmMain::WinCoefficientsPath()));
  EXPECT_EQ(w->WinCoefficients(), inUse);

  // Six days are fewer races than a fit should have: asked, and fitted when the user says so.
  RecordingMessageBox boxes;
  boxes.AnswerNext(MsgResult::Yes);
  w->mnuRaceWinFit->trigger();
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("6 日分の"))) << boxes.boxes()[0].text.toStdString();
  EXPECT_TRUE(boxes.boxes()[1].text.contains(QStringLiteral("6 日分（2022-07-01 ～ 2022-07-06、")))
      << boxes.boxes()[1].text.toStdString();
  EXPECT_TRUE(QFile::exists(frmMain::WinCoefficientsPath()));
  EXPECT_NE(w->WinCoefficients(), inUse);
}

// A history of results only has no race to fit: refused, nothing written.
TEST_F(WindowHistory, AFitOnNoRaceIsRefused) {
  Download(2, false);
  ASSERT_EQ(Import().size(), 1u);
  RecordingMessageBox boxes;
  w->mnuRaceWinFit->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.startsWith(QStringLiteral("学習できるレースがありません（履歴のすべての日）")))
      << boxes.boxes()[0].text.toStdString();
  EXPECT_FALSE(QFile::exists(frmMain::WinCoefficientsPath()));
  EXPECT_EQ(w->WinCoefficients(), mWinCoefficients::Shipped().Before);
}

// Too few races: "No" keeps the shipped coefficients. Fitted anyway, the results window says when
// it scores the model on a day it learnt from; "出荷時の係数に戻す" brings the shipped ones back.
TEST_F(WindowHistory, AFitOnTooLittleIsAskedAndTheShippedCoefficientsComeBack) {
  Download(2, true);
  ASSERT_EQ(Import().size(), 1u);
  {
    RecordingMessageBox boxes;
    boxes.AnswerNext(MsgResult::No);
    w->mnuRaceWinFit->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_FALSE(QFile::exists(frmMain::WinCoefficientsPath()));
  }
  {
    RecordingMessageBox boxes;
    boxes.AnswerNext(MsgResult::Yes);
    w->mnuRaceWinFit->trigger();
    ASSERT_EQ(boxes.boxes().size(), 2u);
  }
  ASSERT_TRUE(QFile::exists(frmMain::WinCoefficientsPath()));
  EXPECT_NE(w->WinCoefficients(), mWinCoefficients::Shipped().Before);
  const auto venueLine = [&] {
    const QStringList lines = w->KekkaWindow()->findChild<QLabel*>(QStringLiteral("lblWin"))->text().split(u'\n');
    return lines.isEmpty() ? QString() : lines.last();
  };
  {
    RecordingMessageBox quiet;
    OpenProgramme(year + QStringLiteral("/b220702.lzh"));
    ChooseVenue(w->cboJyo->itemData(0).toInt());
    ChooseRace(1);
    ChosenFileDialog dialog(year + QStringLiteral("/k220702.lzh"));
    w->mnuFileKekka->trigger();
  }
  ASSERT_NE(w->KekkaWindow(), nullptr);
  EXPECT_TRUE(venueLine().endsWith(QStringLiteral("（学習に使った期間の日です）"))) << venueLine().toStdString();

  {
    RecordingMessageBox boxes;
    boxes.AnswerNext(MsgResult::Yes);
    w->mnuRaceWinShipped->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const mWinCoefficients::Period& shipped = mWinCoefficients::Shipped().Fitted;
    EXPECT_TRUE(
        boxes.boxes()[0].text.contains(QStringLiteral("出荷時の係数（%1 ～ %2 の %3 レースで学習）")
                                           .arg(shipped.First.toString(Qt::ISODate), shipped.Last.toString(Qt::ISODate))
                                           .arg(shipped.Races)))
        << boxes.boxes()[0].text.toStdString();
  }
  EXPECT_FALSE(QFile::exists(frmMain::WinCoefficientsPath()));
  EXPECT_EQ(w->WinCoefficients(), mWinCoefficients::Shipped().Before);
  // The shipped coefficients learnt from 2022-07-02 too.
  EXPECT_TRUE(venueLine().endsWith(QStringLiteral("（学習に使った期間の日です）"))) << venueLine().toStdString();
  RecordingMessageBox boxes;
  w->mnuRaceWinShipped->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("出荷時の係数を使っています。"));
}

// A results file opened with Ctrl+K is recorded as well as converted.
TEST_F(WindowHistory, AResultsFileOpenedIsRecorded) {
  {
    ChosenFileDialog dialog(year + QStringLiteral("/k220705.lzh"));
    RecordingMessageBox boxes;
    w->mnuFileKekka->trigger();
  }
  cRirekiDb db(cRirekiDb::DefaultPath());
  const auto days = db.Days(kFirst, kFirst.addDays(30));
  ASSERT_EQ(days.size(), 1u);
  EXPECT_EQ(days[0].date, QDate(2022, 7, 5));
  EXPECT_FALSE(days[0].results.empty());
}
