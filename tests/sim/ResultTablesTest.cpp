// Places, race times and the two tables printed on the water.

#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "tests/sim/SimHarness.h"

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

void Finish(int boat, float goalTime, float stTime, std::int16_t course) {
  EntrantType& e = gtypEntrant[static_cast<std::size_t>(boat - 1)];
  e.GoalTime = goalTime;
  e.StTime = stTime;
  e.Course = course;
  e.Result.clear();
}

void OutAtStart(int boat, const QString& result, float stTime, std::int16_t course) {
  EntrantType& e = gtypEntrant[static_cast<std::size_t>(boat - 1)];
  e.GoalTime = 0;
  e.StTime = stTime;
  e.Course = course;
  e.Result = result;
}

QStringList Results() {
  QStringList out;
  for (const EntrantType& e : gtypEntrant) out << e.Result;
  return out;
}

}  // namespace

TEST(ChakujunSet, PlacesByFinishingTime) {
  Finish(1, 112.5f, 0.1f, 1);
  Finish(2, 110.0f, 0.1f, 2);
  Finish(3, 115.25f, 0.1f, 3);
  Finish(4, 111.0f, 0.1f, 4);
  Finish(5, 120.0f, 0.1f, 5);
  Finish(6, 109.9f, 0.1f, 6);
  ChakujunSet();
  EXPECT_EQ(Results(), (QStringList{u"4"_qs, u"2"_qs, u"5"_qs, u"3"_qs, u"6"_qs, u"1"_qs}));
}

TEST(ChakujunSet, EqualTimesGoToTheLowerBoatFirst) {
  Finish(1, 112.0f, 0.1f, 1);
  Finish(2, 110.0f, 0.1f, 2);
  Finish(3, 112.0f, 0.1f, 3);
  Finish(4, 110.0f, 0.1f, 4);
  Finish(5, 110.0f, 0.1f, 5);
  Finish(6, 109.0f, 0.1f, 6);
  ChakujunSet();
  EXPECT_EQ(Results(), (QStringList{u"5"_qs, u"2"_qs, u"6"_qs, u"3"_qs, u"4"_qs, u"1"_qs}));
}

TEST(ChakujunSet, FlyingAndLateBoatsArePassedOver) {
  Finish(1, 112.0f, 0.1f, 1);
  OutAtStart(2, u"F"_qs, -0.03f, 2);
  Finish(3, 110.0f, 0.1f, 3);
  OutAtStart(4, u"L"_qs, 1.2f, 4);
  Finish(5, 111.0f, 0.1f, 5);
  Finish(6, 113.0f, 0.1f, 6);
  ChakujunSet();
  EXPECT_EQ(Results(), (QStringList{u"3"_qs, u"F"_qs, u"1"_qs, u"L"_qs, u"2"_qs, u"4"_qs}));
}

TEST(TimeFormat, MinutesSecondsAndTenths) {
  EXPECT_EQ(TimeFormat(0), u"0:00:0"_qs);
  EXPECT_EQ(TimeFormat(59.96f), u"1:00:0"_qs);
  EXPECT_EQ(TimeFormat(109.84f), u"1:49:8"_qs);
  EXPECT_EQ(TimeFormat(119.6f), u"2:00:0"_qs);
  EXPECT_EQ(TimeFormat(59.4f), u"0:59:4"_qs);
  EXPECT_EQ(TimeFormat(61.05f), u"1:01:0"_qs);  // 10.5 tenths... of 1.05 s: 0.5 rounds to even
  // Tenths that round up to 10 stay at 9; the minutes come from the rounded whole second.
  EXPECT_EQ(TimeFormat(29.96f), u"0:29:9"_qs);
  EXPECT_EQ(TimeFormat(89.5f), u"1:29:5"_qs);
  EXPECT_EQ(TimeFormat(90.5f), u"1:30:5"_qs);
  EXPECT_EQ(TimeFormat(600.0f), u"10:00:0"_qs);
}

TEST(ResultShow, PlacedBoatsThenFlyingAndLateCharacterForCharacter) {
  RunHarness h;
  Finish(1, 109.84f, 0.15f, 1);
  OutAtStart(2, u"F"_qs, -0.03f, 2);
  Finish(3, 111.2f, 0.07f, 3);
  Finish(4, 112.0f, 0.0f, 4);
  OutAtStart(5, u"L"_qs, 1.2f, 5);
  Finish(6, 119.6f, 0.99f, 6);
  h.scene.pool.clearLog();
  ResultShow();
  // Text height 12 here: the panel reaches 8 x 12 + 56, and 10 units past the widest line, so no
  // line runs off the panel onto the water.
  EXPECT_EQ(h.scene.pool.log().first(), u"Fill(180,20)-(386,152) #000000"_qs);
  EXPECT_EQ(h.scene.pool.printed(), (QStringList{
                                        u"(190,30)  確定 12 R"_qs,
                                        u"(190,44)  着順  艇番  タイム  進入  ＳＴ"_qs,
                                        u"(190,58)   1着   １   1:49:8   1     .15"_qs,
                                        u"(190,72)   2着   ３   1:51:2   3     .07"_qs,
                                        u"(190,86)   3着   ４   1:52:0   4     .00"_qs,
                                        u"(190,100)   4着   ６   2:00:0   6     .99"_qs,
                                        u"(190,114)   F     ２    :  :    2    +.03"_qs,
                                        u"(190,128)   L     ５    :  :    5    +1.20"_qs,
                                    }));
  EXPECT_TRUE(h.scene.pool.log().filter(u"Print("_qs).first().contains(u"#00FFFF"_qs));
  EXPECT_EQ(h.scene.pool.ForeColor(), 0u);
  EXPECT_EQ(h.scene.pool.CurrentX(), 190.0f);
}

TEST(TestTimeShow, ExhibitionTimesCharacterForCharacter) {
  RunHarness h;
  const char16_t* names[] = {u"田中太郎", u"山", u"佐々木小次郎", u"鈴木一", u"高橋", u"伊藤五郎"};
  for (std::size_t i = 0; i < 6; ++i) gtypEntrant[i].Name = QString::fromUtf16(names[i]);
  std::array<float, 6> best = {22.5f, 22.5f, 20, 20, 25, 21};
  // 150 / v plus a tenth of the draw.
  ScriptedRandom random({0.0f, 0.99999994f, 0.0f, 0.99999994f, 0.5f, 0.25f});
  h.scene.pool.clearLog();
  TestTimeShow(best);
  EXPECT_FALSE(h.scene.label.Visible());
  EXPECT_EQ(h.scene.pool.log().first(), u"Fill(180,20)-(320,152) #000000"_qs);
  EXPECT_EQ(h.scene.pool.printed(), (QStringList{
                                        u"(190,30)  展示タイムのお知らせ "_qs,
                                        u"(190,44)  艇番    選 手 名     タイム"_qs,
                                        u"(190,58)  １号艇  田中太郎　    6.67"_qs,
                                        u"(190,72)  ２号艇  山　    6.77"_qs,
                                        u"(190,86)  ３号艇  佐々木小次    7.50"_qs,
                                        u"(190,100)  ４号艇  鈴木一　    7.60"_qs,
                                        u"(190,114)  ５号艇  高橋　    6.05"_qs,
                                        u"(190,128)  ６号艇  伊藤五郎　    7.17"_qs,
                                    }));
  EXPECT_EQ(h.scene.pool.ForeColor(), 0u);
}
