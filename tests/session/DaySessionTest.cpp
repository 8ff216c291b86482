// The day the window shows, without a window: every state of the card under every state of the
// results, walked the way a user walks them, and what the session answers in each.

#include "session/DaySession.h"

#include "data/mDayFile.h"
#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/ProgrammeText.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

const QString kWait = S(u"この場のデータ更新は、いましばらくお待ちください。");

// A day of 2024-01-01 of our own: 芦屋 (21) with three races, 戸田 (02) with only its notice.
DayFile OurDay() {
  const QString text =
      S(u"STARTB\n") +
      Block(QStringLiteral("21"), 1,
            {QStringList{RaceHeader(1)} + SixEntrants(4000), QStringList{RaceHeader(2)} + SixEntrants(4100),
             QStringList{RaceHeader(3)} + SixEntrants(4200)}) +
      S(u"02BBGN\nボートレース戸　田   　１月　１日  戸田杯  第　１日\n") + kWait + S(u"\n02BEND\nFINALB\n");
  return DayFile{QStringLiteral("b240101.txt"), SjisLines(text), DayFileKind::Programme};
}

enum class Stored { None, OtherDay, ThisDay };

struct Step {
  const char* what;
  std::function<void(DaySession&)> act;
  CardState state;
  std::vector<std::int16_t> races;
  const char16_t* sensyuNo;  // boat 1's
  bool chances;
  const char16_t* raceLine;
  const char16_t* dayLine;
  bool results;  // the results state follows what is stored (else None whatever is stored)
};

const Step kSteps[] = {
    {"demo",
     [](DaySession& s) { s.ShowDemo(); },
     CardState::Demo,
     {12},
     u"4320",
     false,
     u"",
     u"  ボートレース住之江",
     false},
    {"its chances after the first paint",
     [](DaySession& s) { s.UpdateChances(); },
     CardState::Demo,
     {12},
     u"4320",
     true,
     u"",
     u"  ボートレース住之江",
     false},
    {"a day listed",
     [](DaySession& s) {
       ASSERT_TRUE(s.OpenProgramme(OurDay()));
       ASSERT_TRUE(s.ListStore());
     },
     CardState::NoVenue,
     {},
     u"",
     false,
     u"",
     u"",
     false},
    {"a venue",
     [](DaySession& s) { ASSERT_TRUE(s.ChooseVenue(21)); },
     CardState::Race,
     {1, 2, 3},
     u"4001",
     true,
     u"1R 予選 1800m 締切予定 17:41 第１日",
     u"2024/1/1  芦屋競艇場",
     true},
    {"a race",
     [](DaySession& s) { ASSERT_TRUE(s.ChooseRace(3)); },
     CardState::Race,
     {1, 2, 3},
     u"4201",
     true,
     u"3R 予選 1800m 締切予定 17:41 第１日",
     u"2024/1/1  芦屋競艇場",
     true},
    {"a venue with only its notice",
     [](DaySession& s) { ASSERT_TRUE(s.ChooseVenue(2)); },
     CardState::Notice,
     {},
     u"",
     false,
     u"",
     u"戸田競艇場  この場のデータ更新は、いましばらくお待ちください。",
     false},
    {"a race again",
     [](DaySession& s) {
       s.ChooseVenue(21);
       s.ChooseRace(2);
     },
     CardState::Race,
     {1, 2, 3},
     u"4101",
     true,
     u"2R 予選 1800m 締切予定 17:41 第１日",
     u"2024/1/1  芦屋競艇場",
     true},
    {"the day reopened",
     [](DaySession& s) { ASSERT_TRUE(s.OpenStore()); },
     CardState::Notice,
     {},
     u"",
     false,
     u"",
     u"戸田競艇場  この場のデータ更新は、いましばらくお待ちください。",
     false},
    {"the day listed again",
     [](DaySession& s) { ASSERT_TRUE(s.ListStore()); },
     CardState::NoVenue,
     {},
     u"",
     false,
     u"",
     u"",
     false},
    {"the demo again",
     [](DaySession& s) { s.ShowDemo(); },
     CardState::Demo,
     {12},
     u"4320",
     false,
     u"",
     u"  ボートレース住之江",
     false},
};

class SessionStates : public ::testing::TestWithParam<Stored> {};

TEST_P(SessionStates, EachStepAnswersWhatItShows) {
  const Stored stored = GetParam();
  const QString other = SharedDataFile(QStringLiteral("K/k200315.txt"));
  const QString same = SharedDataFile(QStringLiteral("K/k240101.txt"));
  if (other.isEmpty() || same.isEmpty()) GTEST_SKIP() << "sample results not found in ../shared/data";
  TempAppFolder folder;
  RecordingMessageBox boxes;  // no handbook: said once
  if (stored != Stored::None) {
    WriteBytes(AppFilePath(QStringLiteral("KEKKA.BRF")), ReadBytes(stored == Stored::ThisDay ? same : other));
  }
  DaySession s;
  int cards = 0, days = 0;
  QObject::connect(&s, &DaySession::cardChanged, [&] { ++cards; });
  QObject::connect(&s, &DaySession::dayChanged, [&] { ++days; });
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.what);
    cards = days = 0;
    step.act(s);
    EXPECT_GT(cards + days, 0) << "the window is told";
    EXPECT_EQ(s.State(), step.state);
    EXPECT_EQ(s.Races(), step.races);
    EXPECT_EQ(s.Row(1)[CardColumn::SensyuNo], S(step.sensyuNo));
    EXPECT_EQ(s.Row(1)[CardColumn::Waku], QStringLiteral("1"));
    EXPECT_EQ(s.Chances().has_value(), step.chances);
    EXPECT_EQ(s.DayLine(), S(step.dayLine));
    const bool race = step.state == CardState::Race || step.state == CardState::Demo;
    EXPECT_EQ(s.RaceNo() > 0, race);
    // A card without a race has nothing in any column but the boat numbers: its chances included.
    for (int boat = 1; boat <= 6; ++boat) {
      const CardRow row = s.Row(boat);
      EXPECT_EQ(row[CardColumn::Course].isEmpty(), !race);
      EXPECT_EQ(row[CardColumn::WinChance].isEmpty(), !step.chances);
      if (!race) {
        EXPECT_EQ(std::count_if(row.cells.begin(), row.cells.end(), [](const QString& c) { return !c.isEmpty(); }), 1);
      }
    }
    if (step.chances) {
      const auto& win = s.Chances()->Win;
      EXPECT_NEAR(std::accumulate(win.begin(), win.end(), 0.0), 1.0, 1e-9);
    }
    // The results, as the results window shows them.
    const ResultsState want = !step.results                ? ResultsState::None
                              : stored == Stored::None     ? ResultsState::None
                              : stored == Stored::OtherDay ? ResultsState::OtherDay
                                                           : ResultsState::ThisDay;
    EXPECT_EQ(s.Results(), want);
    const ResultsView view = s.ResultsOfRace();
    switch (want) {
      case ResultsState::None:
        EXPECT_EQ(view.message, QStringLiteral("成績なし"));
        EXPECT_TRUE(view.boats.empty());
        break;
      case ResultsState::OtherDay:
        EXPECT_EQ(view.message, DayMismatchText(QStringLiteral("2024/01/01"), QStringLiteral("2020/03/15")));
        EXPECT_TRUE(view.boats.empty());
        EXPECT_TRUE(view.win.isEmpty());
        break;
      case ResultsState::ThisDay:
        EXPECT_EQ(view.boats.size(), 6u);
        EXPECT_TRUE(view.title.startsWith(QStringLiteral("芦屋 %1R").arg(s.RaceNo()))) << view.title.toStdString();
        break;
    }
    EXPECT_EQ(view.win.isEmpty(), !step.chances || want == ResultsState::OtherDay);
    // The race line, the copy, the run's entrants and the tooltip follow the race shown.
    EXPECT_EQ(s.RaceLine(), S(step.raceLine));
    if (race) {
      const QStringList copied = s.CopyText().split(u'\n', Qt::SkipEmptyParts);
      ASSERT_EQ(copied.size(), 8);
      EXPECT_EQ(copied[2].split(u'\t').value(Col(CardColumn::SensyuNo)), S(step.sensyuNo));
    }
    const auto entrants = s.RunEntrants();
    EXPECT_EQ(entrants[0].course, race ? 1 : 0);
    if (step.state == CardState::Demo) {
      EXPECT_EQ(entrants[0].weight, 50.0f) << "47 kg on the demo card";
    }
  }
  // No handbook is said once, however many venues are chosen.
  EXPECT_EQ(std::count_if(boxes.boxes().begin(), boxes.boxes().end(),
                          [](const RecordedBox& b) { return b.text.startsWith(QStringLiteral("選手ファイル")); }),
            1);
}

INSTANTIATE_TEST_SUITE_P(Stored, SessionStates, ::testing::Values(Stored::None, Stored::OtherDay, Stored::ThisDay));

// Setting a course by hand on the card: the session swaps, the chances follow, the run takes it.
TEST(Session, ACourseSetByHandSwapsAndTheChancesFollow) {
  TempAppFolder folder;
  DaySession s;
  s.ShowDemo();
  s.UpdateChances();
  const double before = s.Chances()->Win[5];
  s.SetCourse(6, 1);
  EXPECT_EQ(s.Courses().Course(6), 1);
  EXPECT_EQ(s.Courses().Course(1), 6);
  EXPECT_GT(s.Chances()->Win[5], before);
  EXPECT_EQ(s.RunEntrants()[5].course, 1);
  EXPECT_EQ(s.Row(1)[CardColumn::Course], QStringLiteral("6"));
  s.Predict(s.Predictor());
  EXPECT_TRUE(s.Courses().IsWakunari()) << "the demo card has no racers to predict: 枠なり";
}

}  // namespace
