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
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
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
    Act("mnuFileHistoryImport")->trigger();
    return boxes.boxes();
  }
  // The boat's tooltip as the session says it, in plain lines.
  QString TipText(int row) { return w->Session().Tip(row).Text(); }
  QString year, downloads;
};

}  // namespace

TEST_F(WindowHistory, TheTooltipTellsTheRacersLastSixRaces) {
  RecordingMessageBox quiet;
  OpenProgramme(year + QStringLiteral("/b220711.lzh"));
  ChooseRace(12);
  EXPECT_EQ(TipText(1).split(u'\n').last(), QStringLiteral("（履歴なし）"));
  EXPECT_TRUE(TipText(1).startsWith(QStringLiteral("1号艇 ") + Cell(1, CardColumn::SensyuName).trimmed()))
      << TipText(1).toStdString();

  Download(10, false);
  const auto boxes = Import();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, QStringLiteral("履歴"));
  EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("10 日分を履歴に加えました。0 日分はすでにありました。")))
      << boxes[0].text.toStdString();

  cRirekiDb db(cRirekiDb::DefaultPath());
  int shown = 0;
  for (std::int16_t row = 1; row <= 6; ++row) {
    const QString tip = TipText(row);
    const auto races = db.RecentRaces(w->Session().Bangumi().SensyuNo(12, row).trimmed(), QDate(2022, 7, 11), 6);
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
      EXPECT_TRUE(line.startsWith(r.date.toString(QStringLiteral("yyyy/MM/dd ")))) << line.toStdString();
      EXPECT_TRUE(line.contains(QStringLiteral("%1R ").arg(r.RaceNo, 2))) << line.toStdString();
      EXPECT_TRUE(line.endsWith(r.TyakujyunNo ? QStringLiteral(" %1着").arg(r.TyakujyunNo) : u' ' + r.Tyakujyun))
          << line.toStdString();
      if (r.Course) {
        EXPECT_TRUE(line.contains(QStringLiteral(" %1コース ").arg(r.Course))) << line.toStdString();
      }
    }
  }
  EXPECT_GT(shown, 0) << "the racers of a meeting's later day raced in the days before";
  // On the card the last races are a table, so that their columns line up.
  EXPECT_TRUE(Tip(1, CardColumn::SensyuName).contains(QStringLiteral("<table")))
      << Tip(1, CardColumn::SensyuName).toStdString();
}

// Cancelled after the first days: the box says so, and the days imported stay, each whole.
TEST_F(WindowHistory, CancellingTheImportKeepsWhatCameIn) {
  Download(8, true);
  QTimer poll;
  int clicked = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* p = w->findChild<QProgressDialog*>(QStringLiteral("dlgProgress"));
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
    std::vector<RecordedBox> history;
    std::copy_if(boxes.boxes().begin(), boxes.boxes().end(), std::back_inserter(history),
                 [](const RecordedBox& b) { return b.title == QStringLiteral("履歴"); });
    ASSERT_EQ(history.size(), 1u);
    EXPECT_TRUE(history[0].text.contains(QStringLiteral("履歴データベースではないファイルです")));
    EXPECT_TRUE(history[0].text.contains(db)) << history[0].text.toStdString();
  }
  EXPECT_GT(Venues()->count(), 0) << "the card is there all the same";
  {
    RecordingMessageBox boxes;
    ChooseRace(1);
    EXPECT_EQ(Tip(1, CardColumn::SensyuName), QString()) << "the tooltip says nothing of it";
    OpenResults(year + QStringLiteral("/k220711.lzh"));
    EXPECT_NE(w->KekkaWindow(), nullptr);
    for (const RecordedBox& b : boxes.boxes()) {
      EXPECT_NE(b.title, QStringLiteral("履歴")) << "reported once, when the programme was recorded";
    }
  }
  // A command of the history says why it cannot act, each time it is asked: never nothing.
  for (const char* command : {"mnuFileHistoryImport", "mnuFileHistoryDay", "mnuRaceWinFit"}) {
    RecordingMessageBox boxes;
    ChosenFileDialog dialog(downloads);
    Act(command)->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u) << command;
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("履歴データベースではないファイルです"))) << command;
  }
  EXPECT_EQ(ReadBytes(db), QByteArray("my own notes, not a database"));
}

// The card's chances are the first to need the history: when it cannot be opened, they say nothing
// of it, and the commands of the history still say so when asked.
TEST_F(WindowHistory, AHistoryFirstFailingForTheChancesIsSaidByTheCommands) {
  {
    RecordingMessageBox boxes;
    OpenProgramme(year + QStringLiteral("/b220711.lzh"));
  }
  w.reset();
  // Between two runs the history became something else.
  QFile::remove(cRirekiDb::DefaultPath());
  WriteBytes(cRirekiDb::DefaultPath(), "my own notes, not a database");
  Make();
  {
    RecordingMessageBox boxes;
    Act("mnuFileOpenOld")->trigger();
    ASSERT_FALSE(Cell(1, CardColumn::WinChance).isEmpty());
    for (const RecordedBox& b : boxes.boxes()) EXPECT_NE(b.title, QStringLiteral("履歴"));
  }
  for (const char* command : {"mnuFileHistoryImport", "mnuRaceWinFit"}) {
    RecordingMessageBox boxes;
    ChosenFileDialog dialog(downloads);
    Act(command)->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u) << command;
    EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("履歴")) << command;
  }
}

// Cancelled as soon as its dialog shows (well before the fit can end), the re-fit writes nothing,
// says nothing and keeps the coefficients in use; run to its end it writes the user's file.
TEST_F(WindowHistory, CancellingTheWinFitKeepsTheCoefficientsInUse) {
  Download(6, true);
  ASSERT_EQ(Import().size(), 1u);
  const mWinModel::Coefficients inUse = w->Session().Coefficients();
  QTimer poll;
  int clicked = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* p = w->findChild<QProgressDialog*>(QStringLiteral("dlgProgress"));
    if (!p || !p->isVisible() || clicked) return;
    ++clicked;
    p->findChild<QPushButton*>()->click();
  });
  poll.start(1);
  {
    RecordingMessageBox boxes;
    Act("mnuRaceWinFit")->trigger();
    EXPECT_TRUE(boxes.boxes().empty());
  }
  poll.stop();
  EXPECT_EQ(clicked, 1);
  EXPECT_FALSE(QFile::exists(DaySession::CoefficientsPath()));
  EXPECT_EQ(w->Session().Coefficients(), inUse);

  // Six days are fewer races than a fit should have: asked, and fitted when the user says so.
  RecordingMessageBox boxes;
  boxes.AnswerNext(MsgResult::Yes);
  Act("mnuRaceWinFit")->trigger();
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("6 日分の"))) << boxes.boxes()[0].text.toStdString();
  EXPECT_TRUE(boxes.boxes()[1].text.contains(QStringLiteral("6 日分（2022-07-01 ～ 2022-07-06、")))
      << boxes.boxes()[1].text.toStdString();
  EXPECT_TRUE(QFile::exists(DaySession::CoefficientsPath()));
  EXPECT_NE(w->Session().Coefficients(), inUse);
}

// A history of results only has no race to fit: refused, nothing written.
TEST_F(WindowHistory, AFitOnNoRaceIsRefused) {
  Download(2, false);
  ASSERT_EQ(Import().size(), 1u);
  RecordingMessageBox boxes;
  Act("mnuRaceWinFit")->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.startsWith(QStringLiteral("学習できるレースがありません（履歴のすべての日）")))
      << boxes.boxes()[0].text.toStdString();
  EXPECT_FALSE(QFile::exists(DaySession::CoefficientsPath()));
  EXPECT_EQ(w->Session().Coefficients(), mWinCoefficients::Shipped().Before);
}

// Too few races: "No" keeps the shipped coefficients. Fitted anyway, the results window says when
// it scores the model on a day it learnt from; "出荷時の係数に戻す" brings the shipped ones back.
TEST_F(WindowHistory, AFitOnTooLittleIsAskedAndTheShippedCoefficientsComeBack) {
  Download(2, true);
  ASSERT_EQ(Import().size(), 1u);
  {
    RecordingMessageBox boxes;
    boxes.AnswerNext(MsgResult::No);
    Act("mnuRaceWinFit")->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_FALSE(QFile::exists(DaySession::CoefficientsPath()));
  }
  {
    RecordingMessageBox boxes;
    boxes.AnswerNext(MsgResult::Yes);
    Act("mnuRaceWinFit")->trigger();
    ASSERT_EQ(boxes.boxes().size(), 2u);
  }
  ASSERT_TRUE(QFile::exists(DaySession::CoefficientsPath()));
  EXPECT_NE(w->Session().Coefficients(), mWinCoefficients::Shipped().Before);
  const auto venueLine = [&] {
    const QStringList lines = w->KekkaWindow()->findChild<QLabel*>(QStringLiteral("lblWinResult"))->text().split(u'\n');
    return lines.isEmpty() ? QString() : lines.last();
  };
  {
    RecordingMessageBox quiet;
    OpenProgramme(year + QStringLiteral("/b220702.lzh"));
    ChooseVenue(Venues()->itemData(0).toInt());
    ChooseRace(1);
    ChosenFileDialog dialog(year + QStringLiteral("/k220702.lzh"));
    Act("mnuFileKekka")->trigger();
  }
  ASSERT_NE(w->KekkaWindow(), nullptr);
  EXPECT_TRUE(venueLine().endsWith(QStringLiteral("（学習に使った期間の日です）"))) << venueLine().toStdString();

  {
    RecordingMessageBox boxes;
    boxes.AnswerNext(MsgResult::Yes);
    Act("mnuRaceWinShipped")->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const mWinCoefficients::Period& shipped = mWinCoefficients::Shipped().Fitted;
    EXPECT_TRUE(
        boxes.boxes()[0].text.contains(QStringLiteral("出荷時の係数（%1 ～ %2 の %3 レースで学習）")
                                           .arg(shipped.First.toString(Qt::ISODate), shipped.Last.toString(Qt::ISODate))
                                           .arg(shipped.Races)))
        << boxes.boxes()[0].text.toStdString();
  }
  EXPECT_FALSE(QFile::exists(DaySession::CoefficientsPath()));
  EXPECT_EQ(w->Session().Coefficients(), mWinCoefficients::Shipped().Before);
  // The shipped coefficients learnt from 2022-07-02 too.
  EXPECT_TRUE(venueLine().endsWith(QStringLiteral("（学習に使った期間の日です）"))) << venueLine().toStdString();
  RecordingMessageBox boxes;
  Act("mnuRaceWinShipped")->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("出荷時の係数を使っています。"));
}

// A results file opened with Ctrl+K is recorded as well as converted.
TEST_F(WindowHistory, AResultsFileOpenedIsRecorded) {
  {
    RecordingMessageBox boxes;
    OpenResults(year + QStringLiteral("/k220705.lzh"));
  }
  cRirekiDb db(cRirekiDb::DefaultPath());
  const auto days = db.Days(kFirst, kFirst.addDays(30));
  ASSERT_EQ(days.size(), 1u);
  EXPECT_EQ(days[0].date, QDate(2022, 7, 5));
  EXPECT_FALSE(days[0].results.empty());
}

// 履歴の日を開く: a day imported shows as it did from its files, with no file at all, its
// results beside it as Ctrl+K showed them.
TEST_F(WindowHistory, ADayOfTheHistoryOpensWithoutItsFiles) {
  Download(3, true);
  ASSERT_EQ(Import().size(), 1u);
  RecordingMessageBox boxes;  // no handbook
  const QDate day = kFirst.addDays(1);
  OpenProgramme(year + day.toString(QStringLiteral("/byyMMdd.lzh")));
  OpenResults(year + day.toString(QStringLiteral("/kyyMMdd.lzh")));
  ChooseRace(5);
  const QStringList venues = Items(Venues());
  const QStringList cells = Column(CardColumn::SensyuName) + Column(CardColumn::WinChance);
  const auto* table = w->KekkaWindow()->findChild<QTableWidget*>(QStringLiteral("grdKekka"));
  const QString winner = table->item(0, 3)->text();
  Make();
  std::vector<HeldDay> offered;
  w->AskHeldDay = [&](const std::vector<HeldDay>& days) {
    offered = days;
    return std::optional<QDate>(day);
  };
  Act("mnuFileHistoryDay")->trigger();
  ASSERT_EQ(offered.size(), 3u);
  EXPECT_EQ(offered.front().date, kFirst.addDays(2)) << "newest first";
  EXPECT_TRUE(offered.front().programme && offered.front().results);
  EXPECT_EQ(Items(Venues()), venues);
  ChooseRace(5);
  EXPECT_EQ(Column(CardColumn::SensyuName) + Column(CardColumn::WinChance), cells);
  Act("mnuRaceKekka")->trigger();
  EXPECT_EQ(w->KekkaWindow()->findChild<QTableWidget*>(QStringLiteral("grdKekka"))->item(0, 3)->text(), winner);
  EXPECT_EQ(w->Session().Results(), ResultsState::ThisDay);
}

// Many files refused: the box says how many and keeps the list in its details area, so that it
// stays on the screen with its OK.
TEST_F(WindowHistory, ManyRefusedFilesGoInTheBoxsDetails) {
  Download(2, true);
  for (int d = 1; d <= 30; ++d) {
    WriteBytes(downloads + QStringLiteral("/k2208%1.txt").arg(d, 2, 10, QChar(u'0')), "STARTK\r\nnot results\r\n");
  }
  const auto boxes = Import();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, MsgIcon::Warning);
  EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("2 日分を履歴に加えました。"))) << boxes[0].text.toStdString();
  EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("取り込めなかったファイル（30）。")))
      << boxes[0].text.toStdString();
  EXPECT_LE(boxes[0].text.count(u'\n'), 2) << "the list is not in the text";
  for (int d = 1; d <= 30; ++d) {
    const QString file = downloads + QStringLiteral("/k2208%1.txt").arg(d, 2, 10, QChar(u'0'));
    EXPECT_TRUE(boxes[0].details.contains(file + u'\n')) << file.toStdString();
  }
}

// "ﾌｧｲﾙ → 履歴を検査する": SQLite's full check on request, its finding in a box; before anything
// was kept, that there is no history yet.
TEST_F(WindowHistory, TheCheckIsMadeOnRequest) {
  {
    RecordingMessageBox boxes;
    Act("mnuFileHistoryCheck")->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith(QStringLiteral("履歴データベースがありません")))
        << boxes.boxes()[0].text.toStdString();
  }
  Download(2, true);
  ASSERT_EQ(Import().size(), 1u);
  {
    // キャンセル as the dialog shows, before SQLite is through: the check stops and says nothing.
    int clicked = 0;
    QTimer::singleShot(0, w.get(), [&] {
      auto* p = w->findChild<QProgressDialog*>(QStringLiteral("dlgProgress"));
      if (!p || !p->isVisible()) return;
      ++clicked;
      p->findChild<QPushButton*>()->click();
    });
    RecordingMessageBox boxes;
    Act("mnuFileHistoryCheck")->trigger();
    EXPECT_EQ(clicked, 1);
    EXPECT_TRUE(boxes.boxes().empty());
  }
  RecordingMessageBox boxes;
  Act("mnuFileHistoryCheck")->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Information);
  EXPECT_EQ(boxes.boxes()[0].text,
            QStringLiteral("履歴データベースに問題は見つかりませんでした: ") + cRirekiDb::DefaultPath());
}

// A history an older program left is brought up to date behind a progress dialog the first time
// the window uses it; its days are kept.
TEST_F(WindowHistory, AnOlderHistoryIsBroughtUpToDateWithProgress) {
  QStringList sql;
  for (int v = 1; v <= 3; ++v) sql += cRirekiDb::SchemaStep(v);
  sql << QStringLiteral("PRAGMA application_id=1415862123") << QStringLiteral("PRAGMA user_version=3")
      << QStringLiteral("INSERT INTO source VALUES (20220701, 'K', 'abc')")
      << QStringLiteral(
             "INSERT INTO meeting VALUES (20220701, 'K', '24', 0, '大　村', 't', 'tl', '2022/07/01', 3, 0, 0,"
             " NULL, '')");
  {
    QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older"));
    raw.setDatabaseName(cRirekiDb::DefaultPath());
    ASSERT_TRUE(raw.open());
    QSqlQuery q(raw);
    for (const QString& s : sql) ASSERT_TRUE(q.exec(s)) << s.toStdString();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("older"));
  ASSERT_TRUE(cRirekiDb::NeedsUpgrade(cRirekiDb::DefaultPath()));

  QTimer poll;
  QString seen;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (auto* p : w->findChildren<QProgressDialog*>()) {
      if (p->isVisible() && seen.isEmpty()) seen = p->labelText();
    }
  });
  poll.start(1);
  RecordingMessageBox boxes;
  OpenProgramme(year + QStringLiteral("/b220711.lzh"));
  poll.stop();
  EXPECT_TRUE(seen.startsWith(QStringLiteral("履歴データベースを新しい形に変えています"))) << seen.toStdString();
  EXPECT_FALSE(cRirekiDb::NeedsUpgrade(cRirekiDb::DefaultPath()));
  cRirekiDb db(cRirekiDb::DefaultPath());
  const auto days = db.HeldDays();
  ASSERT_EQ(days.size(), 2u);
  EXPECT_EQ(days[1].date, kFirst);
  EXPECT_TRUE(days[1].results);
}
