// The 直前 entries of a race, without a window: what is refused and why, what the card shows once
// they are taken, that they stay with their race for the day and come back with it from the
// history, and that they can be forgotten.

#include "session/DaySession.h"

#include "data/mDayFile.h"
#include "history/cRirekiDb.h"
#include "platform/mMyFunc.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/ProgrammeText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

// A day of 2024-01-01 of our own: 芦屋 (21) with three races.
DayFile OurDay() {
  const QString text =
      S(u"STARTB\n") +
      Block(QStringLiteral("21"), 1,
            {QStringList{RaceHeader(1)} + SixEntrants(4000), QStringList{RaceHeader(2)} + SixEntrants(4100),
             QStringList{RaceHeader(3)} + SixEntrants(4200)}) +
      S(u"FINALB\n");
  return DayFile{QStringLiteral("b240101.txt"), SjisLines(text), DayFileKind::Programme};
}

ExhibitionForm Form(std::array<const char16_t*, 6> times, std::array<std::int16_t, 6> courses = {1, 2, 3, 4, 5, 6}) {
  ExhibitionForm f;
  for (std::size_t b = 0; b < 6; ++b) f.times[b] = S(times[b]);
  f.courses = courses;
  return f;
}

double Sum(const mWinModel::RaceChances& c) { return std::accumulate(c.Win.begin(), c.Win.end(), 0.0); }

class SessionExhibition : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(s.OpenProgramme(OurDay()));
    ASSERT_TRUE(s.ChooseRace(2));
  }
  TempAppFolder folder;
  RecordingMessageBox boxes;  // no handbook: the courses before the exhibition are 枠なり
  DaySession s;
};

// Each rule of the entry: what is taken, and what is refused with which words, on which field.
TEST_F(SessionExhibition, AnEntryIsTakenWholeOrRefusedWithWhyAndChangesNothing) {
  const struct {
    const char* what;
    ExhibitionForm form;
    const char16_t* refusal;  // empty: taken
    int boat;
    bool course;
  } cases[] = {
      {"six times", Form({u"6.78", u"6.81", u"6.75", u"6.90", u"6.85", u"6.79"}), u"", 0, false},
      {"blanks and full-width digits", Form({u"", u"６．７８", u" 6.8 ", u"　", u"7", u""}), u"", 0, false},
      {"not a time", Form({u"6.78", u"6.81", u"abc", u"", u"", u""}), u"3号艇の展示タイム「abc」が読めません", 3,
       false},
      {"hundredths without the point", Form({u"678", u"", u"", u"", u"", u""}), u"1号艇の展示タイム「678」", 1, false},
      {"too fast", Form({u"", u"", u"", u"", u"", u"4.99"}), u"6号艇の展示タイム「4.99」", 6, false},
      {"a comma", Form({u"", u"6,78", u"", u"", u"", u""}), u"2号艇の展示タイム「6,78」", 2, false},
      {"two boats in course 1", Form({u"", u"", u"", u"", u"", u""}, {1, 1, 3, 4, 5, 6}),
       u"1コースに 1号艇と 2号艇がいます。", 2, true},
      {"a course outside 1..6", Form({u"", u"", u"", u"", u"", u""}, {1, 2, 3, 4, 5, 0}), u"6号艇の進入コース", 6,
       true},
      {"1 and 6 swapped", Form({u"6.70", u"", u"", u"", u"", u"6.60"}, {6, 2, 3, 4, 5, 1}), u"", 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    s.ClearExhibition();
    const CourseTable courses = s.Courses();
    const mWinModel::RaceChances chances = *s.Chances();
    const ExhibitionRefusal r = s.EnterExhibition(c.form);
    if (QString::fromUtf16(c.refusal).isEmpty()) {
      EXPECT_TRUE(r.IsEmpty()) << r.text.toStdString();
      ASSERT_TRUE(s.HasExhibition());
      for (int b = 1; b <= 6; ++b) EXPECT_EQ(s.Courses().Course(b), c.form.courses[static_cast<std::size_t>(b - 1)]);
      EXPECT_NEAR(Sum(*s.Chances()), 1.0, 1e-9);
    } else {
      EXPECT_TRUE(r.text.contains(QString::fromUtf16(c.refusal))) << r.text.toStdString();
      EXPECT_EQ(r.boat, c.boat);
      EXPECT_EQ(r.course, c.course);
      // Nothing of the card changed.
      EXPECT_FALSE(s.HasExhibition());
      EXPECT_EQ(s.Courses(), courses);
      EXPECT_EQ(s.Chances()->Win, chances.Win);
      EXPECT_FALSE(s.RaceLine().endsWith(QStringLiteral("直前")));
    }
  }
}

// Taken: the card's courses, chances, race line, status line and results window all say 直前;
// another race has none of it; the race has it again when shown again, and when the day is
// opened again in a new session (from the history); forgotten, the card is as before.
TEST_F(SessionExhibition, EntriesStayWithTheirRaceForTheDayAndAreForgottenOnRequest) {
  const mWinModel::RaceChances before = *s.Chances();
  const QString statusBefore = s.StatusText();
  int statuses = 0;
  QObject::connect(&s, &DaySession::statusChanged, [&] { ++statuses; });
  const ExhibitionForm form = Form({u"6.70", u"6.85", u"6.80", u"6.90", u"6.88", u"6.62"}, {6, 2, 3, 4, 5, 1});
  ASSERT_TRUE(s.EnterExhibition(form).IsEmpty());
  EXPECT_EQ(statuses, 1);
  EXPECT_EQ(s.Row(6)[CardColumn::Course], QStringLiteral("1"));
  EXPECT_EQ(s.Row(1)[CardColumn::Course], QStringLiteral("6"));
  EXPECT_EQ(s.RaceLine(), S(u"2R 予選 1800m 締切予定 17:41 第１日 直前"));
  EXPECT_TRUE(s.StatusText().startsWith(S(u"直前"))) << s.StatusText().toStdString();
  EXPECT_TRUE(s.ResultsOfRace().win.startsWith(S(u"1着予想（直前"))) << s.ResultsOfRace().win.toStdString();
  EXPECT_TRUE(s.Tip(6).Text().contains(S(u"直前: 展示タイム 6.62　展示の進入 1コース")))
      << s.Tip(6).Text().toStdString();
  // Boat 6 in course 1 with the race's best time is far likelier to win than from course 6.
  EXPECT_GT(s.Chances()->Win[5], 2 * before.Win[5]);
  EXPECT_LT(s.Chances()->Win[0], before.Win[0]);
  EXPECT_EQ(s.ExhibitionFormOfRace(), Form({u"6.70", u"6.85", u"6.80", u"6.90", u"6.88", u"6.62"}, {6, 2, 3, 4, 5, 1}));

  ASSERT_TRUE(s.ChooseRace(3));
  EXPECT_FALSE(s.HasExhibition());
  EXPECT_TRUE(s.Courses().IsWakunari());
  EXPECT_EQ(s.StatusText(), statusBefore);
  EXPECT_EQ(statuses, 2);
  EXPECT_EQ(s.ExhibitionFormOfRace(), ExhibitionForm());
  ASSERT_TRUE(s.ChooseRace(2));
  EXPECT_TRUE(s.HasExhibition());
  EXPECT_EQ(s.Courses().Course(6), 1);

  // A course set by hand after the exhibition corrects the exhibition's courses.
  s.SetCourse(2, 1);
  EXPECT_EQ(s.ExhibitionFormOfRace().courses, (std::array<std::int16_t, 6>{6, 1, 3, 4, 5, 2}));
  {
    // The day opened again in a new run: the entries come back from the history.
    DaySession again;
    ASSERT_TRUE(again.OpenStore());
    ASSERT_TRUE(again.ChooseRace(2));
    EXPECT_TRUE(again.HasExhibition());
    EXPECT_EQ(again.ExhibitionFormOfRace(), s.ExhibitionFormOfRace());
    EXPECT_EQ(again.Chances()->Win, s.Chances()->Win);
    EXPECT_TRUE(again.RaceLine().endsWith(S(u" 直前")));
  }

  s.ClearExhibition();
  EXPECT_FALSE(s.HasExhibition());
  EXPECT_TRUE(s.Courses().IsWakunari()) << "back to the courses before the exhibition";
  EXPECT_EQ(s.Chances()->Win, before.Win);
  EXPECT_EQ(s.StatusText(), statusBefore);
  EXPECT_FALSE(s.RaceLine().endsWith(S(u"直前")));
  cRirekiDb db(cRirekiDb::DefaultPath());
  EXPECT_TRUE(db.Exhibitions(QDate(2024, 1, 1)).empty()) << "forgotten in the history too";
  for (const RecordedBox& b : boxes.boxes()) {
    EXPECT_TRUE(b.text.startsWith(S(u"選手ファイル"))) << "only the missing handbook is said: " << b.text.toStdString();
  }
}

// Whatever is typed: either refused with the card as it was, or taken with the courses a
// permutation, the chances summing to 1, and the history holding what was read.
TEST_F(SessionExhibition, AnyEntryLeavesAPermutationAndChancesThatSumToOne) {
  const QString texts[] = {S(u""),     S(u"6.78"), S(u"6.5"),  S(u"7"),    S(u"９．９９"),
                           S(u"5.00"), S(u"x"),    S(u"10.1"), S(u"-6.7"), S(u"6.789")};
  std::mt19937 random(25);
  std::uniform_int_distribution<std::size_t> text(0, std::size(texts) - 1);
  std::uniform_int_distribution<int> course(1, 6);
  std::bernoulli_distribution shuffle(0.7);
  int taken = 0, refused = 0;
  for (int i = 0; i < 300; ++i) {
    ExhibitionForm f;
    for (QString& t : f.times) t = texts[text(random)];
    if (shuffle(random)) {
      std::shuffle(f.courses.begin(), f.courses.end(), random);
    } else {
      for (std::int16_t& c : f.courses) c = static_cast<std::int16_t>(course(random));
    }
    const bool had = s.HasExhibition();
    const ExhibitionForm kept = s.ExhibitionFormOfRace();
    const ExhibitionRefusal r = s.EnterExhibition(f);
    std::array<bool, 7> seen{};
    for (int b = 1; b <= 6; ++b) {
      const std::int16_t c = s.Courses().Course(b);
      ASSERT_TRUE(c >= 1 && c <= 6 && !seen[static_cast<std::size_t>(c)]);
      seen[static_cast<std::size_t>(c)] = true;
    }
    ASSERT_NEAR(Sum(*s.Chances()), 1.0, 1e-9);
    if (r.IsEmpty()) {
      ++taken;
      EXPECT_EQ(s.ExhibitionFormOfRace().courses, f.courses);
    } else {
      ++refused;
      EXPECT_GE(r.boat, 1);
      EXPECT_EQ(s.HasExhibition(), had);
      EXPECT_EQ(s.ExhibitionFormOfRace(), kept);
    }
  }
  EXPECT_GT(taken, 10);
  EXPECT_GT(refused, 10);
  // What the history holds is what the card shows.
  cRirekiDb db(cRirekiDb::DefaultPath());
  const std::optional<ExhibitionEntry> e = db.Exhibition(QDate(2024, 1, 1), QStringLiteral("21"), 2);
  ASSERT_TRUE(e.has_value());
  const ExhibitionForm shown = s.ExhibitionFormOfRace();
  for (std::size_t b = 0; b < 6; ++b) {
    EXPECT_EQ(e->Course[b], shown.courses[b]);
    EXPECT_EQ(e->TenjiTime[b].has_value(), !shown.times[b].isEmpty());
  }
}

// Before and after the exhibition, the results window lists the five likeliest 2連単 and 3連単 of
// the chances the card shows, likeliest first, each with 1 ÷ its chance; the card's chance tells
// its boat's 単勝 break-even odds.
TEST_F(SessionExhibition, TheLikeliestCombinationsAndTheWinsBreakEvenOddsFollowTheCard) {
  for (const bool after : {false, true}) {
    SCOPED_TRACE(after ? "after the exhibition" : "before it");
    if (after) {
      ASSERT_TRUE(s.EnterExhibition(Form({u"6.95", u"6.60", u"", u"6.80", u"6.81", u"6.70"})).IsEmpty());
    }
    const mWinModel::RaceChances& c = *s.Chances();
    const ResultsView view = s.ResultsOfRace();
    ASSERT_EQ(view.exacta.size(), 5u);
    ASSERT_EQ(view.trifecta.size(), 5u);
    const auto best = [](const auto& chances) {
      return static_cast<std::size_t>(std::max_element(chances.begin(), chances.end()) - chances.begin());
    };
    const std::size_t e = best(c.Exacta), t = best(c.Trifecta);
    EXPECT_EQ(view.exacta[0].combination, QStringLiteral("%1-%2").arg(e / 6 + 1).arg(e % 6 + 1));
    EXPECT_EQ(view.exacta[0].odds, mWinCard::OddsText(1.0 / c.Exacta[e]));
    EXPECT_EQ(view.trifecta[0].combination,
              QStringLiteral("%1-%2-%3").arg(t / 36 + 1).arg(t / 6 % 6 + 1).arg(t % 6 + 1));
    EXPECT_EQ(view.trifecta[0].odds, mWinCard::OddsText(1.0 / c.Trifecta[t]));
    for (int b = 1; b <= 6; ++b) {
      EXPECT_TRUE(
          s.BreakEvenTip(b).startsWith(QStringLiteral("%1号艇 単勝の分岐オッズ %2（")
                                           .arg(b)
                                           .arg(mWinCard::OddsText(1.0 / c.Win[static_cast<std::size_t>(b - 1)]))))
          << s.BreakEvenTip(b).toStdString();
    }
  }
}

// The demo card has no day to keep entries with: refused, with words.
TEST(SessionExhibitionDemo, TheDemoCardTakesNoEntry) {
  TempAppFolder folder;
  DaySession s;
  s.ShowDemo();
  s.UpdateChances();
  EXPECT_FALSE(s.CanEnterExhibition());
  const ExhibitionRefusal r = s.EnterExhibition(ExhibitionForm());
  EXPECT_FALSE(r.IsEmpty());
  EXPECT_FALSE(s.HasExhibition());
}

}  // namespace
