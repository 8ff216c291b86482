// What the session once got wrong, each on the real days: what it keeps is read again when its
// inputs change, the history is one door with one failure policy, results are read once, and
// what the card says of a race follows what the results and the user said of it.

#include "session/DaySession.h"

#include "data/mDayFile.h"
#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"

#include <QDir>
#include <QFile>

#include <map>

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

DayFile Open(const QString& path, ArchiveKind kind) { return DayFileOpen(path, kind); }

class SessionOnRealDays : public ::testing::Test {
 protected:
  void SetUp() override {
    year = SharedDataFile(QStringLiteral("year"));
    if (year.isEmpty()) GTEST_SKIP() << "sample folder not found: ../shared/data/year";
  }
  // The day's programme and results of the year's archives, opened as Ctrl+O and Ctrl+K do.
  void OpenDay(const QString& yymmdd, bool results = true) {
    ASSERT_TRUE(s.OpenProgramme(year + QStringLiteral("/b") + yymmdd + QStringLiteral(".lzh")));
    if (results) {
      ASSERT_TRUE(
          s.OpenResults(Open(year + QStringLiteral("/k") + yymmdd + QStringLiteral(".lzh"), ArchiveKind::Results)));
    }
  }
  // Imports the year's archives of the days given into the history, as 履歴に取り込む does.
  void Import(const QStringList& days) {
    const QString downloads = folder.file(QStringLiteral("downloads"));
    QDir().mkpath(downloads);
    for (const QString& d : days) {
      for (const char* kind : {"b", "k"}) {
        const QString name = QString::fromLatin1(kind) + d + QStringLiteral(".lzh");
        QFile::copy(year + u'/' + name, downloads + u'/' + name);
      }
    }
    cRirekiDb db(cRirekiDb::DefaultPath());
    ImportPaths(db, {downloads});
  }
  TempAppFolder folder;
  RecordingMessageBox boxes;  // no handbook, and what each test looks at
  DaySession s;
  QString year;
};

// After an import the race shown is read again from the history: its chances, its 履歴 entry and
// its tooltip, without choosing another race and coming back.
TEST_F(SessionOnRealDays, AnImportChangesTheRaceShownAtOnce) {
  OpenDay(QStringLiteral("220711"), false);
  s.SetPredictor(EntryPredictor::History);
  s.ChooseRace(12);
  const auto before = *s.Chances();
  const QString tipBefore = s.Tip(1).Text();
  EXPECT_TRUE(tipBefore.endsWith(QStringLiteral("（履歴なし）"))) << tipBefore.toStdString();
  Import({"220701", "220702", "220703", "220704", "220705"});
  s.HistoryChanged();
  EXPECT_NE(s.Chances()->Win, before.Win);
  int told = 0;
  for (int boat = 1; boat <= 6; ++boat) told += s.Tip(boat).recentTitle.startsWith(QStringLiteral("最近の"));
  EXPECT_GT(told, 0);
  // A course set by hand stays through the next; the chances are the new history's all the same.
  s.SetCourse(6, 1);
  const CourseTable mine = s.Courses();
  const auto withMine = *s.Chances();
  Import({"220706", "220707", "220708", "220709", "220710"});
  s.HistoryChanged();
  EXPECT_EQ(s.Courses(), mine);
  EXPECT_NE(s.Chances()->Win, withMine.Win);
}

// The history through one door: the card and its tooltip never show a box for it; recording a
// file opened says it once; a command the user gave says it every time.
TEST_F(SessionOnRealDays, AHistoryThatCannotBeOpenedIsSaidByEveryCommand) {
  WriteBytes(cRirekiDb::DefaultPath(), "my own notes, not a database");
  const auto historyBoxes = [&] {
    return std::count_if(boxes.boxes().begin(), boxes.boxes().end(),
                         [](const RecordedBox& b) { return b.title == QStringLiteral("履歴"); });
  };
  // The card first: its chances and tooltip ask quietly.
  ASSERT_TRUE(QFile::copy(year + QStringLiteral("/b220711.lzh"), folder.file(QStringLiteral("b.lzh"))));
  ASSERT_TRUE(cBangumiFile().FileConvBytes(Open(folder.file(QStringLiteral("b.lzh")), ArchiveKind::Programme).bytes,
                                           QStringLiteral("b.lzh")));
  ASSERT_TRUE(s.OpenStore());
  s.Tip(1);
  ASSERT_TRUE(s.Chances().has_value());
  EXPECT_EQ(historyBoxes(), 0);
  OpenDay(QStringLiteral("220712"));
  EXPECT_EQ(historyBoxes(), 1) << "recording the files opened says it once";
  OpenDay(QStringLiteral("220713"));
  EXPECT_EQ(historyBoxes(), 1);
  for (int asked = 2; asked <= 3; ++asked) {
    EXPECT_EQ(s.HistoryForCommand(), nullptr);
    EXPECT_EQ(historyBoxes(), asked);
  }
  EXPECT_EQ(ReadBytes(cRirekiDb::DefaultPath()), QByteArray("my own notes, not a database"));
}

// Ctrl+K reads the file once: the store, the card and the history take the same values, and the
// results shown no longer need KEKKA.BRF; a day of the history shows them the same.
TEST_F(SessionOnRealDays, ResultsAreReadOnceAndTheHistoryAgrees) {
  OpenDay(QStringLiteral("220701"));
  const QByteArray stored = ReadBytes(AppFilePath(QStringLiteral("KEKKA.BRF")));
  EXPECT_EQ(stored, Open(year + QStringLiteral("/k220701.lzh"), ArchiveKind::Results).bytes);
  ASSERT_TRUE(QFile::remove(AppFilePath(QStringLiteral("KEKKA.BRF"))));
  std::vector<std::pair<std::int16_t, ResultsView>> shown;
  for (const VenueItem& v : std::vector<VenueItem>(s.Venues())) {
    s.ChooseVenue(v.code);
    EXPECT_EQ(s.Results(), ResultsState::ThisDay) << v.code;
    s.ChooseRace(static_cast<std::int16_t>(s.Races().size()));
    shown.emplace_back(v.code, s.ResultsOfRace());
  }
  const auto days = cRirekiDb(cRirekiDb::DefaultPath()).Days(QDate(2022, 7, 1), QDate(2022, 7, 1));
  ASSERT_EQ(days.size(), 1u);
  EXPECT_EQ(days[0].results.size(), s.Venues().size());

  DaySession again;
  ASSERT_TRUE(again.OpenHistoryDay(QDate(2022, 7, 1)));
  EXPECT_EQ(again.Venues(), s.Venues());
  for (const auto& [code, view] : shown) {
    again.ChooseVenue(code);
    again.ChooseRace(static_cast<std::int16_t>(again.Races().size()));
    const ResultsView fromHistory = again.ResultsOfRace();
    EXPECT_EQ(fromHistory.title, view.title);
    ASSERT_EQ(fromHistory.boats.size(), view.boats.size());
    for (std::size_t j = 0; j < view.boats.size(); ++j) {
      EXPECT_EQ(fromHistory.boats[j].place, view.boats[j].place);
      EXPECT_EQ(fromHistory.boats[j].start, view.boats[j].start);
    }
    ASSERT_EQ(fromHistory.payouts.size(), view.payouts.size());
    for (std::size_t p = 0; p < view.payouts.size(); ++p)
      EXPECT_EQ(fromHistory.payouts[p].kingaku, view.payouts[p].kingaku);
  }
  const std::vector<HeldDay> held = again.HeldDays();
  ASSERT_EQ(held.size(), 1u);
  EXPECT_TRUE(held[0].programme && held[0].results);
}

// Once the results are in, a race called off says 中止 in the race line and a void race 不成立.
TEST_F(SessionOnRealDays, TheRaceLineSaysWhatTheResultsCalledARace) {
  const struct {
    const char* day;
    std::int16_t venue, race;
    const char16_t* word;
  } cases[] = {{"220721", 20, 3, u" 中止"}, {"220809", 5, 10, u" 不成立"}, {"220809", 5, 9, u" 第"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.day);
    OpenDay(QString::fromLatin1(c.day));
    ASSERT_TRUE(s.ChooseVenue(c.venue));
    ASSERT_TRUE(s.ChooseRace(c.race));
    EXPECT_TRUE(s.RaceLine().contains(QString::fromUtf16(c.word))) << s.RaceLine().toStdString();
    EXPECT_FALSE(s.RaceLine().endsWith(QStringLiteral("中止")) && c.word[1] != u'中');
  }
}

class SessionWithAHandbook : public ::testing::Test {
 protected:
  void SetUp() override {
    programme = SharedDataFile(QStringLiteral("B/b240101.txt"));
    fan = SharedDataFile(QStringLiteral("F/fan2604.txt"));
    old = SharedDataFile(QStringLiteral("F/fan2004.txt"));
    results = SharedDataFile(QStringLiteral("K/k240101.txt"));
    if (programme.isEmpty() || fan.isEmpty() || old.isEmpty() || results.isEmpty()) {
      GTEST_SKIP() << "sample files not found in ../shared/data";
    }
    ASSERT_TRUE(s.InstallHandbook(old));
    ASSERT_TRUE(s.OpenProgramme(programme));
    ASSERT_TRUE(s.OpenResults(Open(results, ArchiveKind::Results)));
  }
  QString LogLoss() { return s.ResultsOfRace().win.section(u'\n', 2); }
  TempAppFolder folder;
  RecordingMessageBox boxes;
  DaySession s;
  QString programme, fan, old, results;
};

// The venue's log-loss is of the courses the handbook gives: a new handbook, predictor or model
// gives a new line; the race shown's chances follow a new model at once.
TEST_F(SessionWithAHandbook, TheLogLossFollowsTheHandbookThePredictorAndTheModel) {
  // The line of a session that never saw the venue before, for each venue.
  const auto fresh = [&](std::int16_t venue, EntryPredictor predictor, const mWinCoefficients::Model* model) {
    DaySession other;
    other.SetPredictor(predictor);
    if (model) other.SetCoefficients(*model);
    other.OpenStore();
    other.ChooseVenue(venue);
    return other.ResultsOfRace().win.section(u'\n', 2);
  };
  std::map<std::int16_t, QString> before, after;
  for (const VenueItem& v : s.Venues()) before[v.code] = fresh(v.code, EntryPredictor::Stat, nullptr);
  ASSERT_TRUE(s.InstallHandbook(fan));
  for (const VenueItem& v : s.Venues()) after[v.code] = fresh(v.code, EntryPredictor::Stat, nullptr);
  ASSERT_TRUE(s.InstallHandbook(old));
  // A venue whose line the new handbook changes.
  const auto changed =
      std::find_if(before.begin(), before.end(), [&](const auto& b) { return after[b.first] != b.second; });
  if (changed == before.end()) GTEST_SKIP() << "no venue's line differs between the two handbooks";
  const std::int16_t venue = changed->first;
  s.ChooseVenue(venue);
  ASSERT_EQ(LogLoss(), before[venue]);
  ASSERT_TRUE(LogLoss().startsWith(QStringLiteral("1着予想の外れ具合（この場 "))) << LogLoss().toStdString();
  ASSERT_TRUE(s.InstallHandbook(fan));
  EXPECT_EQ(LogLoss(), after[venue]) << "venue " << venue;
  s.SetPredictor(EntryPredictor::History);
  EXPECT_EQ(LogLoss(), fresh(venue, EntryPredictor::History, nullptr));
  mWinCoefficients::Model other = s.Model();
  for (double& b : other.Before.Win) b *= 0.5;
  other.Fitted = {};
  const auto chances = s.Chances()->Win;
  s.SetCoefficients(other);
  EXPECT_NE(s.Chances()->Win, chances);
  EXPECT_EQ(LogLoss(), fresh(venue, EntryPredictor::History, &other));
  EXPECT_FALSE(LogLoss().endsWith(QStringLiteral("（学習に使った期間の日です）")));
  // A model that learnt from this day says so where it is scored on it.
  const QDate day = mWinCard::CardDate(s.Bangumi().card());
  other.Fitted = {day.addDays(-1), day, 2, 24};
  s.SetCoefficients(other);
  EXPECT_TRUE(LogLoss().endsWith(QStringLiteral("（学習に使った期間の日です）"))) << LogLoss().toStdString();
}

// The tooltip says when a course was set by hand, beside what the prediction gave.
TEST_F(SessionWithAHandbook, TheTooltipSaysACourseSetByHand) {
  ASSERT_TRUE(s.InstallHandbook(fan));
  s.ChooseVenue(24);
  s.ChooseRace(1);
  const BoatTip predicted = s.Tip(2);
  ASSERT_FALSE(predicted.reasons.isEmpty());
  EXPECT_TRUE(predicted.reasons[0].startsWith(QStringLiteral("コース別進入: "))) << predicted.Text().toStdString();
  const int course = s.Courses().Course(2);
  const int other = course == 6 ? 1 : 6;
  s.SetCourse(2, other);
  EXPECT_EQ(s.Tip(2).reasons.last(),
            QStringLiteral("進入: %1コース（手で変更。予想は %2コース）").arg(other).arg(course));
  EXPECT_TRUE(s.Tip(s.Courses().BoatIn(course)).reasons.last().contains(QStringLiteral("手で変更")));
}

// Every race of the real days on the card: its courses a permutation from the prediction, its
// motor and boat numbers whole (three digits in 2020), its chances summing to one.
TEST_F(SessionWithAHandbook, EveryRaceOfTheRealDaysIsWhole) {
  ASSERT_TRUE(s.InstallHandbook(fan));
  int threeDigits = 0;
  for (const char* day : {"B/b240101.txt", "B/b200315.txt"}) {
    ASSERT_TRUE(s.OpenProgramme(SharedDataFile(QString::fromLatin1(day))));
    for (const VenueItem& v : std::vector<VenueItem>(s.Venues())) {
      ASSERT_TRUE(s.ChooseVenue(v.code));
      for (const std::int16_t r : s.Races()) {
        ASSERT_TRUE(s.ChooseRace(r));
        const EntryPrediction p = PredictEntry(s.Predictor(), s.Bangumi(), r, s.Sensyu());
        ASSERT_EQ(s.Courses(), CourseTable(p.courses)) << v.code << " " << r;
        if (s.Bangumi().CourseFix(r)) {
          EXPECT_TRUE(s.Courses().IsWakunari());
        }
        double sum = 0;
        for (int b = 1; b <= 6; ++b) {
          const CardRow row = s.Row(b);
          threeDigits += (row[CardColumn::MotorNo].size() == 3) + (row[CardColumn::BoatNo].size() == 3);
          sum += row[CardColumn::WinChance].toDouble();
        }
        EXPECT_NEAR(sum, 100.0, 0.35);
      }
    }
  }
  EXPECT_GT(threeDigits, 0) << "the 2020 programme has three-digit motor and boat numbers";
}

}  // namespace
