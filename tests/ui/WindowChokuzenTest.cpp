// 直前情報 through the real window: entered in its dialog (refusals said, the field kept), the card
// switching to the exhibition's courses and the chances after it, the race and status lines
// saying so, the entries staying with their race and coming back with the day, and cleared.

#include "tests/ui/DialogDriver.h"
#include "tests/ui/WindowFixture.h"
#include "ui/frmChokuzen.h"

#include <QLineEdit>

namespace tidewake {
namespace {

using namespace test;

class WindowChokuzen : public WindowWithADay {
 protected:
  // Ctrl+J, the dialog answered by `act` from inside its own loop.
  void EnterChokuzen(const std::function<void(frmChokuzen*)>& act) {
    DialogDriver<frmChokuzen> driver(act);
    Act("mnuRaceChokuzen")->trigger();
    EXPECT_TRUE(driver.acted()) << "the dialog came up";
  }
  static void Type(frmChokuzen* d, const std::array<const char*, 6>& times) {
    for (int b = 1; b <= 6; ++b) {
      QLineEdit* t = Control<QLineEdit>(*d, QStringLiteral("txtTenji%1").arg(b).toLatin1().constData());
      t->setText(QString::fromUtf8(times[static_cast<std::size_t>(b - 1)]));
    }
  }
  static void Course(frmChokuzen* d, int boat, int course) {
    QComboBox* c = Control<QComboBox>(*d, QStringLiteral("cboCourse%1").arg(boat).toLatin1().constData());
    c->setCurrentIndex(c->findData(course));
  }
  static void Press(frmChokuzen* d, const char* button) { Control<QPushButton>(*d, button)->click(); }
};

TEST_F(WindowChokuzen, EnteredOnTheCardKeptWithTheRaceAndCleared) {
  const QStringList chancesBefore = Column(CardColumn::WinChance);
  const QStringList coursesBefore = Courses();
  const QString raceLine = Text("lblRace");
  RecordingMessageBox boxes;
  EnterChokuzen([&](frmChokuzen* d) {
    // Opens blank, 枠なり, with nothing to clear yet.
    EXPECT_EQ(d->Form(), ExhibitionForm());
    EXPECT_FALSE(Control<QPushButton>(*d, "cmdClear")->isEnabled());
    // Not a time: said, the dialog stays with what was typed.
    Type(d, {"6.78", "6.8l", "6.75", "", "6.85", "6.70"});
    Press(d, "cmdOk");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith(QStringLiteral("2号艇の展示タイム「6.8l」が読めません")))
        << boxes.boxes()[0].text.toStdString();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->Form().times[0], QStringLiteral("6.78"));
    // Not a permutation: said.
    Type(d, {"6.78", "6.81", "6.75", "", "6.85", "6.70"});
    Course(d, 6, 1);
    Press(d, "cmdOk");
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].text,
              QStringLiteral("1コースに 1号艇と 6号艇がいます。進入コースは各艇ちがうコースにしてください。"));
    EXPECT_TRUE(d->isVisible());
    // Boats 1 and 6 swapped in the start exhibition: taken.
    Course(d, 1, 6);
    Press(d, "cmdOk");
    EXPECT_FALSE(d->isVisible());
  });
  EXPECT_EQ(Courses(), (QStringList{"6", "2", "3", "4", "5", "1"}));
  EXPECT_NE(Column(CardColumn::WinChance), chancesBefore);
  EXPECT_EQ(Text("lblRace"), raceLine + QStringLiteral(" 直前"));
  EXPECT_TRUE(Text("lblStatus").startsWith(QStringLiteral("直前　"))) << Text("lblStatus").toStdString();
  EXPECT_TRUE(Tip(6, CardColumn::SensyuName).contains(QStringLiteral("直前: 展示タイム 6.70　展示の進入 1コース")));
  // The pop-up's predictions would show courses the boats no longer take.
  EXPECT_FALSE(Act("mnuPopupAuto")->isEnabled());
  EXPECT_TRUE(Act("mnuPopup1")->isEnabled());

  // Another race has none of it; back on the race, it is there again.
  ChooseRace(4);
  EXPECT_FALSE(Text("lblRace").endsWith(QStringLiteral("直前")));
  EXPECT_FALSE(Text("lblStatus").startsWith(QStringLiteral("直前")));
  EXPECT_TRUE(Act("mnuPopupAuto")->isEnabled());
  ChooseRace(3);
  EXPECT_EQ(Courses(), (QStringList{"6", "2", "3", "4", "5", "1"}));
  const QStringList chancesAfter = Column(CardColumn::WinChance);

  // The next run opens the day again with Ctrl+B: the entries come back from the history, and the
  // dialog opens with them.
  Make();
  Act("mnuFileOpenOld")->trigger();
  ChooseRace(3);
  EXPECT_EQ(Courses(), (QStringList{"6", "2", "3", "4", "5", "1"}));
  EXPECT_EQ(Column(CardColumn::WinChance), chancesAfter);
  EnterChokuzen([&](frmChokuzen* d) {
    EXPECT_EQ(d->Form().times[5], QStringLiteral("6.70"));
    EXPECT_EQ(d->Form().times[3], QString());
    EXPECT_EQ(d->Form().courses, (std::array<std::int16_t, 6>{6, 2, 3, 4, 5, 1}));
    // 消す in the dialog forgets them.
    Press(d, "cmdClear");
  });
  EXPECT_EQ(Courses(), coursesBefore);
  EXPECT_EQ(Column(CardColumn::WinChance), chancesBefore);
  EXPECT_EQ(Text("lblRace"), raceLine);
  // Nothing left to clear: the menu item says so.
  const std::size_t said = boxes.boxes().size();
  Act("mnuRaceChokuzenClear")->trigger();
  ASSERT_EQ(boxes.boxes().size(), said + 1);
  EXPECT_EQ(boxes.boxes().back().text, QStringLiteral("表示中のレースに直前情報は入力されていません。"));
}

TEST_F(WindowChokuzen, TheMenuItemClearsAndTheDemoCardTakesNone) {
  EnterChokuzen([&](frmChokuzen* d) {
    Type(d, {"6.70", "6.80", "6.90", "6.85", "6.75", "6.95"});
    Press(d, "cmdOk");
  });
  EXPECT_TRUE(Text("lblRace").endsWith(QStringLiteral(" 直前")));
  Act("mnuRaceChokuzenClear")->trigger();
  EXPECT_FALSE(Text("lblRace").endsWith(QStringLiteral("直前")));
  // A new window shows the demo card: no day to keep entries with.
  Make();
  RecordingMessageBox boxes;
  Act("mnuRaceChokuzen")->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.startsWith(QStringLiteral("直前情報は、開いた日のレースに入力します。")));
}

}  // namespace
}  // namespace tidewake
