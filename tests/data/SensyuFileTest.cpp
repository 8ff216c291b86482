// The racer store on records built in the test: the two layouts, conversion, the merge and the
// search, the derived figures and every failure.

#include "data/cSensyuFile.h"

#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/SensyuRecord.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

// A request list: element 0 empty, then the numbers.
QStringList Ask(std::initializer_list<const char*> numbers) {
  QStringList list{QString()};
  for (const char* n : numbers) list << QString::fromLatin1(n);
  return list;
}

struct cSensyuFileRecords : ::testing::Test {
  QTemporaryDir dir;
  cSensyuFile store;

  QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("SENSYU.BRF")) {
    const QString path = dir.filePath(name);
    WriteBytes(path, bytes);
    return path;
  }

  bool Load(const QList<QByteArray>& lines, QStringList& list, std::int16_t rev = 0) {
    return store.FileLoad(Write(FanFile(lines)), list, rev);
  }

  bool Load(const QList<QByteArray>& lines, QStringList&& list, std::int16_t rev = 0) {
    QStringList l = std::move(list);
    return Load(lines, l, rev);
  }
};

// The one box a failing load shows.
void ExpectBox(const RecordingMessageBox& boxes, const QString& text) {
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, S(u"選手ファイル読み取りエラー"));
  EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Warning);
  EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(boxes.boxes()[0].text, text);
}

// Every value of the fresh record of SensyuRecord.h, read through the getters.
void ExpectFreshRecord(const cSensyuFile& s, const QString& no) {
  EXPECT_EQ(s.NameKanji(no), S(u"試験　太郎　　　"));
  EXPECT_EQ(s.NameKana(no), S(u"ｼｹﾝ ﾀﾛｳ        "));
  EXPECT_EQ(s.Birthplace(no), S(u"東京"));
  EXPECT_EQ(s.Class(no), "A1");
  EXPECT_EQ(s.Birth(no), "S550101");
  EXPECT_EQ(s.Sex(no), 1);
  EXPECT_EQ(s.Age(no), 45);
  EXPECT_EQ(s.Height(no), 168);
  EXPECT_EQ(s.Weight(no), 52);
  EXPECT_EQ(s.Blood(no), "O ");
  EXPECT_EQ(s.Syoritu(no), 6.52f);
  EXPECT_EQ(s.FSyoritu(no), 45.2f);
  EXPECT_EQ(s.OneFinishTimes(no), 30);
  EXPECT_EQ(s.TwoFinishTimes(no), 25);
  EXPECT_EQ(s.SyussoTimes(no), 100);
  EXPECT_EQ(s.YusyutuTimes(no), 3);
  EXPECT_EQ(s.YusyoTimes(no), 1);
  EXPECT_EQ(s.StartTiming(no), 0.17f);
  const int entries[] = {30, 20, 15, 15, 10, 10};
  for (std::int16_t c = 1; c <= 6; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(s.CourseSyussoTimes(no, c), entries[c - 1]);
    EXPECT_EQ(s.CourseFSyoritu(no, c), static_cast<float>((500 + c) / 10.0));
    EXPECT_EQ(s.CourseStartTiming(no, c), static_cast<float>((10 + c) / 100.0));
    EXPECT_EQ(s.CourseStartHatujyun(no, c), static_cast<float>((205 + 10 * c) / 100.0));
    EXPECT_EQ(s.Course1FinishTimes(no, c), c + 1);
    EXPECT_EQ(s.Course2FinishTimes(no, c), c + 2);
    EXPECT_EQ(s.Course3FinishTimes(no, c), c + 3);
    EXPECT_EQ(s.Course4FinishTimes(no, c), c + 4);
    EXPECT_EQ(s.Course5FinishTimes(no, c), c + 5);
    EXPECT_EQ(s.Course6FinishTimes(no, c), c + 6);
    EXPECT_EQ(s.CourseF0Times(no, c), c);
    EXPECT_EQ(s.CourseL0Times(no, c), 1);
    EXPECT_EQ(s.CourseL1Times(no, c), 2);
    EXPECT_EQ(s.CourseK0Times(no, c), 3);
    EXPECT_EQ(s.CourseK1Times(no, c), 4);
    EXPECT_EQ(s.CourseS0Times(no, c), 5);
    EXPECT_EQ(s.CourseS1Times(no, c), 6);
    EXPECT_EQ(s.CourseS2Times(no, c), 7);
  }
  EXPECT_EQ(s.ClassOld1(no), "A2");
  EXPECT_EQ(s.ClassOld2(no), "B1");
  EXPECT_EQ(s.ClassOld3(no), "B2");
  EXPECT_EQ(s.AbilityOld(no), 52);  // 5250 / 100 = 52.5, halves to even
  EXPECT_EQ(s.Ability(no), 54);     // 53.5
  EXPECT_EQ(s.OutsideCourseL0Times(no), 1);
  EXPECT_EQ(s.OutsideCourseL1Times(no), 2);
  EXPECT_EQ(s.OutsideCourseK0Times(no), 3);
  EXPECT_EQ(s.OutsideCourseK1Times(no), 4);
}

// Every getter of a number answers its default.
void ExpectDefaults(const cSensyuFile& s, const QString& no) {
  EXPECT_EQ(s.NameKanji(no), QString());
  EXPECT_EQ(s.NameKana(no), QString());
  EXPECT_EQ(s.Birthplace(no), QString());
  EXPECT_EQ(s.Class(no), QString());
  EXPECT_EQ(s.Birth(no), QString());
  EXPECT_EQ(s.Blood(no), QString());
  EXPECT_EQ(s.ClassOld1(no), QString());
  EXPECT_EQ(s.Sex(no), 0);
  EXPECT_EQ(s.Age(no), 0);
  EXPECT_EQ(s.Syoritu(no), 0.0f);
  EXPECT_EQ(s.SyussoTimes(no), 0);
  EXPECT_EQ(s.Ability(no), 0);
  EXPECT_EQ(s.YoseiKi(no), 0);
  EXPECT_EQ(s.OutsideCourseK1Times(no), 0);
  for (std::int16_t c = 1; c <= 6; ++c) {
    EXPECT_EQ(s.CourseSyussoTimes(no, c), 0);
    EXPECT_EQ(s.CourseStartTiming(no, c), 0.0f);
    EXPECT_EQ(s.Course3FinishTimes(no, c), 0);
    EXPECT_EQ(s.CourseS2Times(no, c), 0);
    EXPECT_EQ(s.CourseRentairitu3(no, c), 0.0f);
  }
  EXPECT_EQ(s.StratHatujyun(no), 0.0f);
  EXPECT_EQ(s.InSisu(no), 0.0f);
  EXPECT_EQ(s.FTimes(no), 0);
  EXPECT_EQ(s.LTimes(no), 0);
  EXPECT_EQ(s.Rentairitu3(no), 0.0f);
}

}  // namespace

// ---- Layout cutting ----------------------------------------------------------------------------

TEST_F(cSensyuFileRecords, EveryFieldOfTheCurrentLayoutAtItsBytes) {
  ASSERT_EQ(CurrentRecord("4001").size(), fan::Width);
  ASSERT_TRUE(Load({CurrentRecord("4001")}, Ask({"4001"})));
  EXPECT_EQ(store.SensyuNo(1), "4001");
  ExpectFreshRecord(store, QStringLiteral("4001"));
  EXPECT_EQ(store.YoseiKi(QStringLiteral("4001")), 100);
  EXPECT_EQ(store.LastYoseiKi(), 100);
  EXPECT_EQ(store.Nen(), 2026);
  EXPECT_EQ(store.Ki(), 2);
  EXPECT_EQ(store.YmdStart(), "20251101");
  EXPECT_EQ(store.YmdEnd(), "20260430");
}

TEST_F(cSensyuFileRecords, EveryFieldOfTheOlderLayoutAtItsBytes) {
  ASSERT_EQ(OlderRecord("3001").size(), fan::old::Width);
  for (std::int16_t rev : {2, 1, -1}) {
    SCOPED_TRACE(rev);
    ASSERT_TRUE(Load({OlderRecord("3001")}, Ask({"3001"}), rev));
    ExpectFreshRecord(store, QStringLiteral("3001"));
    EXPECT_EQ(store.YoseiKi(QStringLiteral("3001")), 85);
    EXPECT_EQ(store.LastYoseiKi(), 85);
    EXPECT_EQ(store.Nen(), 2);  // two digits, stored as read
    EXPECT_EQ(store.Ki(), 1);
    EXPECT_EQ(store.YmdStart(), "020501");
    EXPECT_EQ(store.YmdEnd(), "021031");
    EXPECT_EQ(store.GetSensyuFileVersion(), S(u"2年前期"));
  }
  QStringList list = Ask({"3001"});
  ASSERT_TRUE(store.FileLoadOld2(Write(FanFile({OlderRecord("3001")})), list));
  ExpectFreshRecord(store, QStringLiteral("3001"));
}

TEST_F(cSensyuFileRecords, BytesPastTheRecordAreIgnored) {
  // 412 bytes, and the real files' 416 with the birthplace at 410..415.
  for (const QByteArray& tail : {QByteArray("99"), EncodeSjis(S(u"千　葉"))}) {
    ASSERT_TRUE(Load({CurrentRecord("4001") + tail}, Ask({"4001"})));
    ExpectFreshRecord(store, QStringLiteral("4001"));
  }
  // The older layout reads 403 bytes: what follows (even digits of a current record) is ignored.
  ASSERT_TRUE(Load({OlderRecord("3001") + "1234567"}, Ask({"3001"}), 2));
  ExpectFreshRecord(store, QStringLiteral("3001"));
}

TEST_F(cSensyuFileRecords, ByteFieldsAreCutFromTheBytesAsRead) {
  // The name holds 0x85 0x40, a pair of the right shape that the code page leaves unassigned: it
  // decodes to one U+FFFD, which would encode again as the single byte "?" and shift every field
  // after it if the line were re-encoded before cutting.
  QByteArray name = EncodeSjis(S(u"試験　")) + QByteArray("\x85\x40", 2) + EncodeSjis(S(u"郎　　　"));
  ASSERT_EQ(name.size(), 16);
  QByteArray rec = Put(CurrentRecord("4001"), fan::NameKanji, name);
  rec = Put(rec, fan::Birthplace, QByteArray("\xfb\xfc\x82\xa0", 4));  // 髙 in its IBM form 0xFB 0xFC, あ
  ASSERT_TRUE(Load({rec}, Ask({"4001"})));
  const QString no = QStringLiteral("4001");
  EXPECT_EQ(store.NameKanji(no), S(u"試験　\uFFFD郎　　　"));
  EXPECT_EQ(store.Birthplace(no), S(u"髙あ"));
  EXPECT_EQ(store.Class(no), "A1");
  EXPECT_EQ(store.Age(no), 45);
  EXPECT_EQ(store.Ability(no), 54);

  // A field boundary inside a double-byte character splits it: each side decodes on its own (the
  // two bytes 0x82 0xA0 would be あ).
  rec = Put(CurrentRecord("4002"), fan::NameKanji + 14, QByteArray(" \x82", 2));  // lead byte last
  rec = Put(rec, fan::NameKana, QByteArray("\xa0", 1));                           // its trail first
  ASSERT_TRUE(Load({rec}, Ask({"4002"})));
  EXPECT_EQ(store.NameKanji(QStringLiteral("4002")), S(u"試験　太郎　　 \uFFFD"));
  EXPECT_EQ(store.NameKana(QStringLiteral("4002")), S(u"\uFFFDｹﾝ ﾀﾛｳ        "));
  EXPECT_EQ(store.Birth(QStringLiteral("4002")), "S550101");
}

// ---- Conversion ----------------------------------------------------------------------------------

TEST_F(cSensyuFileRecords, NumbersWithBlanksSignsAndFractions) {
  QByteArray rec = CurrentRecord("4001");
  rec = Put(rec, fan::Age, " 5");
  rec = Put(rec, fan::Height, "+68");
  rec = Put(rec, fan::Weight, "-1");
  rec = Put(rec, fan::OneFinish, "2.5");  // halves to even
  rec = Put(rec, fan::TwoFinish, "3.5");
  rec = Put(rec, fan::Syusso, "1.4");
  rec = Put(rec, fan::Syoritu, " 652");
  rec = Put(rec, fan::FSyoritu, "452 ");
  rec = Put(rec, fan::AbilityOld, "-050");      // -0.5 rounds to 0
  rec = Put(rec, fan::Ability, "6650");         // 66.5 rounds to 66
  rec = Put(rec, fan::CourseA(2) + 10, "2.5");  // start order of course 2: 0.025
  ASSERT_TRUE(Load({rec}, Ask({"4001"})));
  const QString no = QStringLiteral("4001");
  EXPECT_EQ(store.Age(no), 5);
  EXPECT_EQ(store.Height(no), 68);
  EXPECT_EQ(store.Weight(no), -1);
  EXPECT_EQ(store.OneFinishTimes(no), 2);
  EXPECT_EQ(store.TwoFinishTimes(no), 4);
  EXPECT_EQ(store.SyussoTimes(no), 1);
  EXPECT_EQ(store.Syoritu(no), 6.52f);
  EXPECT_EQ(store.FSyoritu(no), 45.2f);
  EXPECT_EQ(store.AbilityOld(no), 0);
  EXPECT_EQ(store.Ability(no), 66);
  EXPECT_EQ(store.CourseStartHatujyun(no, 2), 0.025f);
  EXPECT_EQ(store.CourseStartHatujyun(no, 4), 2.45f);  // digits 245
}

// Any record read field by field gives what the same record in plain digits gives: the blanks,
// signs and leading zeros a field may carry change nothing.
TEST_F(cSensyuFileRecords, EquivalentFormsOfEveryNumberReadAlike) {
  struct Field {
    int pos, width;
  };
  std::vector<Field> numeric = {{fan::Sex, 1},        {fan::Age, 2},       {fan::Height, 3},    {fan::Weight, 2},
                                {fan::Syoritu, 4},    {fan::FSyoritu, 4},  {fan::OneFinish, 3}, {fan::TwoFinish, 3},
                                {fan::Syusso, 3},     {fan::Yusyutu, 2},   {fan::Yusyo, 2},     {fan::StartTiming, 3},
                                {fan::AbilityOld, 4}, {fan::Ability, 4},   {fan::Nen, 4},       {fan::Ki, 1},
                                {fan::YoseiKi, 3},    {fan::OutsideL0, 2}, {fan::OutsideK1, 2}};
  for (int c = 1; c <= 6; ++c) {
    for (auto [off, w] : {std::pair{0, 3}, {3, 4}, {7, 3}, {10, 3}}) numeric.push_back({fan::CourseA(c) + off, w});
    for (int k = 0; k < 6; ++k) numeric.push_back({fan::CourseB(c) + 3 * k, 3});
    for (int k = 0; k < 8; ++k) numeric.push_back({fan::CourseB(c) + 18 + 2 * k, 2});
  }
  std::mt19937 rng(20260430);
  for (int round = 0; round < 40; ++round) {
    QByteArray plain = CurrentRecord("4001");
    QByteArray other = plain;
    for (const Field& f : numeric) {
      int top = 9;
      for (int w = 1; w < f.width; ++w) top = top * 10 + 9;
      const int v = std::uniform_int_distribution<int>(0, top)(rng);
      const QByteArray zeros = QByteArray::number(v).rightJustified(f.width, '0');
      plain = Put(plain, f.pos, zeros);
      // The same number written another way that fits the field.
      const QByteArray digits = QByteArray::number(v);
      QByteArray alt;
      switch (rng() % 3) {
        case 0:
          alt = digits.rightJustified(f.width, ' ');
          break;
        case 1:
          alt = digits.leftJustified(f.width, ' ');
          break;
        default:
          alt = digits.size() < f.width ? "+" + digits.rightJustified(f.width - 1, '0') : zeros;
          break;
      }
      ASSERT_EQ(alt.size(), f.width);
      other = Put(other, f.pos, alt);
    }
    cSensyuFile a, b;
    QStringList la = Ask({"4001"}), lb = Ask({"4001"});
    ASSERT_TRUE(a.FileLoad(Write(FanFile({plain}), QStringLiteral("a")), la, 0));
    ASSERT_TRUE(b.FileLoad(Write(FanFile({other}), QStringLiteral("b")), lb, 0));
    const QString no = QStringLiteral("4001");
    SCOPED_TRACE(other.toStdString());
    EXPECT_EQ(a.Sex(no), b.Sex(no));
    EXPECT_EQ(a.Age(no), b.Age(no));
    EXPECT_EQ(a.Height(no), b.Height(no));
    EXPECT_EQ(a.Syoritu(no), b.Syoritu(no));
    EXPECT_EQ(a.FSyoritu(no), b.FSyoritu(no));
    EXPECT_EQ(a.StartTiming(no), b.StartTiming(no));
    EXPECT_EQ(a.AbilityOld(no), b.AbilityOld(no));
    EXPECT_EQ(a.Ability(no), b.Ability(no));
    EXPECT_EQ(a.Nen(), b.Nen());
    EXPECT_EQ(a.YoseiKi(no), b.YoseiKi(no));
    EXPECT_EQ(a.OutsideCourseK1Times(no), b.OutsideCourseK1Times(no));
    EXPECT_EQ(a.Blood(no), b.Blood(no));
    EXPECT_EQ(a.ClassOld3(no), b.ClassOld3(no));
    for (std::int16_t c = 1; c <= 6; ++c) {
      EXPECT_EQ(a.CourseSyussoTimes(no, c), b.CourseSyussoTimes(no, c));
      EXPECT_EQ(a.CourseFSyoritu(no, c), b.CourseFSyoritu(no, c));
      EXPECT_EQ(a.CourseStartTiming(no, c), b.CourseStartTiming(no, c));
      EXPECT_EQ(a.CourseStartHatujyun(no, c), b.CourseStartHatujyun(no, c));
      EXPECT_EQ(a.Course4FinishTimes(no, c), b.Course4FinishTimes(no, c));
      EXPECT_EQ(a.CourseS2Times(no, c), b.CourseS2Times(no, c));
    }
  }
}

TEST_F(cSensyuFileRecords, CurrentLayoutStopsQuietlyAtTheFirstBadField) {
  // Letters in the age: the number .. sex are kept, the age and everything after it (texts
  // included) stay at their defaults, and the load succeeds without a word.
  ASSERT_TRUE(Load({Put(CurrentRecord("4001"), fan::Age, "4x"), CurrentRecord("4002")}, Ask({"4001", "4002"})));
  const QString no = QStringLiteral("4001");
  EXPECT_EQ(store.SensyuNo(1), "4001");
  EXPECT_EQ(store.NameKanji(no), S(u"試験　太郎　　　"));
  EXPECT_EQ(store.Class(no), "A1");
  EXPECT_EQ(store.Birth(no), "S550101");
  EXPECT_EQ(store.Sex(no), 1);
  EXPECT_EQ(store.Age(no), 0);
  EXPECT_EQ(store.Height(no), 0);
  EXPECT_EQ(store.Blood(no), QString());
  EXPECT_EQ(store.ClassOld1(no), QString());
  EXPECT_EQ(store.Syoritu(no), 0.0f);
  EXPECT_EQ(store.CourseSyussoTimes(no, 1), 0);
  EXPECT_EQ(store.YoseiKi(no), 0);
  ExpectFreshRecord(store, QStringLiteral("4002"));

  // A blank field is no number either; the course blocks stop in course order.
  ASSERT_TRUE(Load({Put(CurrentRecord("4001"), fan::CourseB(3) + 6, "   ")}, Ask({"4001"})));
  EXPECT_EQ(store.Course6FinishTimes(no, 2), 8);
  EXPECT_EQ(store.Course2FinishTimes(no, 3), 5);
  EXPECT_EQ(store.Course3FinishTimes(no, 3), 0);
  EXPECT_EQ(store.Course1FinishTimes(no, 4), 0);
  EXPECT_EQ(store.OutsideCourseL0Times(no), 0);
  EXPECT_EQ(store.Ability(no), 54);
  EXPECT_EQ(store.Nen(), 2026);  // the file-wide values stand before block B

  // A value out of the 16-bit range stops the line too.
  ASSERT_TRUE(Load({Put(CurrentRecord("4001"), fan::AbilityOld, "9e99")}, Ask({"4001"})));
  EXPECT_EQ(store.ClassOld3(no), "B2");
  EXPECT_EQ(store.AbilityOld(no), 0);
  EXPECT_EQ(store.Ability(no), 0);
  EXPECT_EQ(store.Nen(), 0);
}

TEST_F(cSensyuFileRecords, LinesShorterThanTheRecord) {
  const QString no = QStringLiteral("4001");
  // Ending at byte 160: the figures and course block A are there, the texts after them are
  // empty, the first ability field fails.
  ASSERT_TRUE(Load({CurrentRecord("4001").left(160)}, Ask({"4001"})));
  EXPECT_EQ(store.StartTiming(no), 0.17f);
  EXPECT_EQ(store.CourseStartHatujyun(no, 6), 2.65f);
  EXPECT_EQ(store.ClassOld1(no), QString());
  EXPECT_EQ(store.ClassOld3(no), QString());
  EXPECT_EQ(store.AbilityOld(no), 0);
  EXPECT_EQ(store.LastYoseiKi(), 0);

  // A field cut by the end of the line converts what it holds; the next one is missing.
  ASSERT_TRUE(Load({CurrentRecord("4001").left(fan::Height + 2)}, Ask({"4001"})));
  EXPECT_EQ(store.Age(no), 45);
  EXPECT_EQ(store.Height(no), 16);
  EXPECT_EQ(store.Weight(no), 0);

  // Thirty bytes: the number, a whole name and the start of the kana.
  ASSERT_TRUE(Load({CurrentRecord("4001").left(30)}, Ask({"4001"})));
  EXPECT_EQ(store.NameKanji(no), S(u"試験　太郎　　　"));
  EXPECT_EQ(store.NameKana(no), S(u"ｼｹﾝ ﾀﾛｳ   "));
  EXPECT_EQ(store.Birthplace(no), QString());
  EXPECT_EQ(store.Sex(no), 0);

  // Just the number.
  ASSERT_TRUE(Load({"4001"}, Ask({"4001"})));
  EXPECT_EQ(store.SensyuNo(1), "4001");
  ExpectDefaults(store, no);
}

TEST_F(cSensyuFileRecords, OlderLayoutFailsTheLoadAtABadField) {
  RecordingMessageBox boxes;
  ASSERT_TRUE(Load({CurrentRecord("4001")}, Ask({"4001"})));
  ASSERT_EQ(store.LastYoseiKi(), 100);

  struct Case {
    QByteArray line;
    QString text;
  };
  const Case cases[] = {
      {Put(OlderRecord("3002"), fan::Age, "4x"),
       S(u"選手ファイル 2 行目の「年齢」（50～51 バイト目）が数値ではありません: \"4x\"\r\n(Error code:13)")},
      {Put(OlderRecord("3002"), fan::old::CourseB(3), "  a"),
       S(u"選手ファイル 2 行目の 3 コースの「１着回数」（260～262 バイト目）が数値ではありません: \"  a\"\r\n"
         u"(Error code:13)")},
      {Put(OlderRecord("3002"), fan::Syoritu, "9e99"),
       S(u"選手ファイル 2 行目の「勝率」（59～62 バイト目）が大きすぎます: \"9e99\"\r\n(Error code:6)")},
      {Put(OlderRecord("3002"), fan::old::Ki, " "),
       S(u"選手ファイル 2 行目の「期」（177 バイト目）が数値ではありません: \" \"\r\n(Error code:13)")},
      {OlderRecord("3002").left(82),
       S(u"選手ファイル 2 行目は 82 バイトで終わっていて、1 コースの「進入回数」（83～85 バイト目）がありません\r\n"
         u"(Error code:13)")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    boxes.clear();
    QStringList list = Ask({"3001", "3002"});
    const QStringList before = list;
    EXPECT_FALSE(Load({OlderRecord("3001"), c.line, OlderRecord("3003")}, list, 2));
    ExpectBox(boxes, c.text);
    EXPECT_EQ(list, before);
    // Cleared: slots 0..1 at their defaults, nothing else.
    ExpectDefaults(store, QStringLiteral("3001"));
    EXPECT_EQ(store.SensyuNo(1), QString());
    EXPECT_THROW(store.SensyuNo(2), RuntimeError);
    EXPECT_EQ(store.GetSensyuFileVersion(), S(u"0年期"));
    // The last line parsed well before the bad one failed.
    EXPECT_EQ(store.LastYoseiKi(), 85);
  }

  // The same bad line read in the current layout is no failure.
  boxes.clear();
  ASSERT_TRUE(Load({OlderRecord("3001"), Put(OlderRecord("3002"), fan::Age, "4x")}, Ask({"3001", "3002"})));
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(store.Sex(QStringLiteral("3002")), 1);
  EXPECT_EQ(store.Age(QStringLiteral("3002")), 0);
}

TEST_F(cSensyuFileRecords, OlderLayoutFailsWhenItsLastLineIsBad) {
  RecordingMessageBox boxes;
  ASSERT_TRUE(Load({CurrentRecord("4001")}, Ask({"4001"})));
  // The last line is parsed first, for the newest training class: its failure leaves that alone.
  EXPECT_FALSE(Load({OlderRecord("3001"), Put(OlderRecord("3002"), fan::old::YoseiKi, "8?")}, Ask({"3001"}), 2));
  ExpectBox(boxes,
            S(u"選手ファイル 2 行目の「養成期」（190～191 バイト目）が数値ではありません: \"8?\"\r\n(Error code:13)"));
  EXPECT_EQ(store.LastYoseiKi(), 100);
}

// ---- Merge and search ----------------------------------------------------------------------------

TEST_F(cSensyuFileRecords, RequestedNumbersAreMatchedInOneForwardPass) {
  const QList<QByteArray> file = {CurrentRecord("3001", 90), CurrentRecord("3005", 91), CurrentRecord("4010", 95),
                                  CurrentRecord("5000", 110)};
  // Missing numbers (below, between, above the file's), a number asked twice, the last line.
  QStringList list = Ask({"2000", "3001", "3002", "4010", "4010", "4999", "5000", "6000"});
  const QStringList asked = list;
  ASSERT_TRUE(Load(file, list));
  EXPECT_EQ(list, asked);  // a list with elements is not touched
  const char* expected[] = {"", "", "3001", "", "4010", "4010", "", "5000", ""};
  for (std::int16_t k = 0; k <= 8; ++k) EXPECT_EQ(store.SensyuNo(k), QString::fromLatin1(expected[k])) << k;
  EXPECT_THROW(store.SensyuNo(9), RuntimeError);
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3001")), 90);
  EXPECT_EQ(store.YoseiKi(QStringLiteral("4010")), 95);
  EXPECT_EQ(store.YoseiKi(QStringLiteral("5000")), 110);  // the last line, found like any other
  for (const char* no : {"2000", "3002", "3005", "4999", "6000", ""}) ExpectDefaults(store, QString::fromLatin1(no));
  EXPECT_EQ(store.LastYoseiKi(), 110);
}

TEST_F(cSensyuFileRecords, ElementZeroIsNeverARequest) {
  const QList<QByteArray> file = {CurrentRecord("3001"), CurrentRecord("3002")};
  QStringList list{QStringLiteral("3001"), QStringLiteral("3002")};
  ASSERT_TRUE(Load(file, list));
  EXPECT_EQ(store.SensyuNo(0), QString());
  EXPECT_EQ(store.SensyuNo(1), "3002");
  ExpectDefaults(store, QStringLiteral("3001"));

  // A list of element 0 alone asks for nobody, yet the file is read for its newest class.
  list = QStringList{QStringLiteral("3001")};
  ASSERT_TRUE(Load({CurrentRecord("3001", 77)}, list));
  EXPECT_EQ(list, QStringList{QStringLiteral("3001")});
  EXPECT_EQ(store.SensyuNo(0), QString());
  EXPECT_THROW(store.SensyuNo(1), RuntimeError);
  ExpectDefaults(store, QStringLiteral("3001"));
  EXPECT_EQ(store.LastYoseiKi(), 77);
  EXPECT_EQ(store.GetSensyuFileVersion(), S(u"0年期"));  // nobody found: the file-wide values reset
}

TEST_F(cSensyuFileRecords, AnEmptyListLoadsEveryRacerAndReceivesTheirNumbers) {
  QStringList list;
  ASSERT_TRUE(Load({CurrentRecord("3001", 90), CurrentRecord("3005", 91), CurrentRecord("4010", 95)}, list));
  EXPECT_EQ(list, Ask({"3001", "3005", "4010"}));
  for (std::int16_t k = 1; k <= 3; ++k) EXPECT_EQ(store.SensyuNo(k), list[k]);
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3005")), 91);
  ExpectFreshRecord(store, QStringLiteral("4010"));
}

// The registration number is the record's first four bytes, whatever they hold: the list of the
// file's numbers, the merge and the slot all take it so, and the getters find the racer by it.
// Such a line was once listed by its first four characters (eight bytes) and stored by its four
// bytes, and every getter answered its defaults for it.
TEST_F(cSensyuFileRecords, ANumberThatIsNotFourAsciiDigitsIsListedAndStoredAlike) {
  const struct {
    QByteArray head;  // the four bytes of the number field
    QString number;
  } cases[] = {
      {QByteArray("\x82\x50\x82\x51", 4), S(u"１２")},  // full-width 1 and 2
      {QByteArray("12\x82\xa0", 4), S(u"12あ")},        // あ
      {QByteArray("123\x82", 4), S(u"123\uFFFD")},      // a lead byte cut off from its trail
      {QByteArray(" 12 ", 4), QStringLiteral(" 12 ")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number.toStdString());
    const QByteArray rec = Put(CurrentRecord("0000"), fan::SensyuNo, c.head);
    QStringList every;
    ASSERT_TRUE(Load({rec}, every));
    EXPECT_EQ(every, (QStringList{QString(), c.number}));
    EXPECT_EQ(store.SensyuNo(1), c.number);
    ExpectFreshRecord(store, c.number);
    ASSERT_TRUE(Load({rec}, QStringList{QString(), c.number}));
    EXPECT_EQ(store.SensyuNo(1), c.number);
    ExpectFreshRecord(store, c.number);
  }
  // Among ordinary numbers, in binary order: "12あ" < "3001" < "１２".
  const QList<QByteArray> file = {Put(CurrentRecord("0000", 91), fan::SensyuNo, cases[1].head),
                                  CurrentRecord("3001", 92),
                                  Put(CurrentRecord("0000", 93), fan::SensyuNo, cases[0].head)};
  QStringList every;
  ASSERT_TRUE(Load(file, every));
  const QStringList numbers{QString(), S(u"12あ"), QStringLiteral("3001"), S(u"１２")};
  EXPECT_EQ(every, numbers);
  for (std::int16_t k = 1; k <= 3; ++k) EXPECT_EQ(store.YoseiKi(numbers[k]), 90 + k);
  ASSERT_TRUE(Load(file, QStringList(numbers)));
  for (std::int16_t k = 1; k <= 3; ++k) EXPECT_EQ(store.YoseiKi(numbers[k]), 90 + k);
}

TEST_F(cSensyuFileRecords, BlankLinesAnywhereAreSkipped) {
  // Trailing blank lines (blanks only, or nothing) do not count; the newest class is the last
  // record's.
  const QByteArray blanks(30, ' ');
  ASSERT_TRUE(Load({CurrentRecord("3001", 90), CurrentRecord("3002", 91), "", blanks, ""}, Ask({"3002"})));
  EXPECT_EQ(store.LastYoseiKi(), 91);
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3002")), 91);

  // Blank lines between records lose no racer, and the list of every racer holds no blank.
  QStringList list;
  ASSERT_TRUE(
      Load({"", CurrentRecord("3001", 90), blanks, "", CurrentRecord("3002", 91), CurrentRecord("3003", 92)}, list));
  EXPECT_EQ(list, Ask({"3001", "3002", "3003"}));
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3003")), 92);
  EXPECT_EQ(store.LastYoseiKi(), 92);
  ASSERT_TRUE(Load({CurrentRecord("3001", 90), "", "", CurrentRecord("3002", 91), CurrentRecord("3003", 92)},
                   Ask({"3002", "3003"})));
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3003")), 92);

  // A line of full-width blanks is not blank: it is a (bad) record.
  list.clear();
  ASSERT_TRUE(Load({CurrentRecord("3001", 90), EncodeSjis(S(u"　　"))}, list));
  EXPECT_EQ(list.size(), 3);
  EXPECT_EQ(store.LastYoseiKi(), 0);
}

TEST_F(cSensyuFileRecords, EveryKindOfLineEnd) {
  const QByteArray bytes = CurrentRecord("3001", 90) + "\r" + CurrentRecord("3002", 91) + "\n" +
                           CurrentRecord("3003", 92) + "\r\n" + CurrentRecord("3004", 93);
  QStringList list;
  ASSERT_TRUE(store.FileLoad(Write(bytes), list, 0));
  EXPECT_EQ(list, Ask({"3001", "3002", "3003", "3004"}));
  EXPECT_EQ(store.LastYoseiKi(), 93);
  ExpectFreshRecord(store, QStringLiteral("3002"));
}

TEST_F(cSensyuFileRecords, TheSearchFindsRacersBelowAMissingMiddleSlot) {
  // Three slots: the middle one (slot 2) is a number the file lacks, so it holds an empty number.
  // A search that split at it would send every number to the upper half and lose slot 1.
  ASSERT_TRUE(Load({CurrentRecord("3001", 90), CurrentRecord("3003", 92)}, Ask({"3001", "3002", "3003"})));
  EXPECT_EQ(store.SensyuNo(2), QString());
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3001")), 90);
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3003")), 92);

  // Five and seven slots with holes in several places: every stored racer answers.
  ASSERT_TRUE(Load({CurrentRecord("3001", 90), CurrentRecord("3004", 91), CurrentRecord("3006", 92)},
                   Ask({"3001", "3002", "3003", "3004", "3005", "3006", "3007"})));
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3001")), 90);
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3004")), 91);
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3006")), 92);

  // One requested racer.
  ASSERT_TRUE(Load({CurrentRecord("3001", 90)}, Ask({"3001"})));
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3001")), 90);
}

// However the slots were filled (every racer of a file out of order or with a number twice, a
// request with a number twice or missing), a getter answers the first slot holding its number, as
// a search of every slot in order finds it; after a failed load nobody answers.
TEST_F(cSensyuFileRecords, AGetterAnswersTheFirstSlotHoldingItsNumber) {
  const struct {
    const char* what;
    QList<const char*> numbers;  // the file's lines in order; line k has training class 80 + k
    QStringList asked;           // empty: every racer
  } cases[] = {
      {"in order", {"3001", "3002", "4010"}, {}},
      {"out of order", {"4010", "3001", "3500", "2000"}, {}},
      {"one number on three lines", {"4010", "3001", "4010", "3001", "4010"}, {}},
      {"asked twice and missing", {"3001", "3005", "4010"}, Ask({"2000", "3005", "3005", "4010", "9999"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QList<QByteArray> lines;
    for (qsizetype k = 0; k < c.numbers.size(); ++k) {
      lines << CurrentRecord(c.numbers[k], static_cast<int>(80 + k));
    }
    QStringList list = c.asked;
    ASSERT_TRUE(Load(lines, list));
    const qsizetype count = list.size() - 1;
    for (const char* number : c.numbers) {
      const QString no = QString::fromLatin1(number);
      std::int16_t first = 0;
      for (std::int16_t k = 1; k <= count && first == 0; ++k) {
        if (store.SensyuNo(k) == no) first = k;
      }
      if (first == 0) {
        ExpectDefaults(store, no);
        continue;
      }
      // The line the slot was filled from: its training class says which.
      const int line = c.asked.isEmpty() ? first - 1 : static_cast<int>(c.numbers.indexOf(number));
      EXPECT_EQ(store.YoseiKi(no), 80 + line) << number;
    }
  }
  // A load that fails empties the store: no number found before is found after it.
  ASSERT_TRUE(Load({CurrentRecord("3001", 90)}, QStringList()));
  RecordingMessageBox boxes;
  EXPECT_FALSE(Load({Put(CurrentRecord("3001", 90), fan::Age, "xx")}, QStringList(), 2));
  ExpectDefaults(store, QStringLiteral("3001"));
}

TEST_F(cSensyuFileRecords, FileWideValuesComeFromTheLastLineParsed) {
  const QByteArray early = Put(Put(CurrentRecord("3001"), fan::Nen, "2003"), fan::Ki, "2");
  ASSERT_TRUE(Load({early, CurrentRecord("3002", 120)}, Ask({"3001"})));
  EXPECT_EQ(store.GetSensyuFileVersion(), S(u"2003年後期"));
  EXPECT_EQ(store.LastYoseiKi(), 120);  // from the file's last line, requested or not
}

// ---- Derived figures ------------------------------------------------------------------------------

namespace {

// A record with the given start count and entries per course (and everything else fresh).
QByteArray WithEntries(const QByteArray& no, int starts, std::array<int, 6> entries) {
  QByteArray r = Put(CurrentRecord(no), fan::Syusso, QByteArray::number(starts).rightJustified(3, '0'));
  for (int c = 1; c <= 6; ++c) {
    r = Put(r, fan::CourseA(c), QByteArray::number(entries[c - 1]).rightJustified(3, '0'));
  }
  return r;
}

}  // namespace

TEST_F(cSensyuFileRecords, DerivedFiguresInSinglePrecision) {
  QByteArray order = CurrentRecord("3005");  // start orders 2.00 on course 1, none elsewhere
  for (int c = 1; c <= 6; ++c) order = Put(order, fan::CourseA(c) + 10, c == 1 ? "200" : "000");
  QByteArray finishes = WithEntries("3006", 10, {10, 0, 0, 0, 0, 0});
  finishes = Put(finishes, fan::CourseB(1), "003002001");
  ASSERT_TRUE(Load({WithEntries("3001", 50, {30, 20, 0, 0, 0, 0}), WithEntries("3002", 40, {0, 0, 0, 0, 0, 40}),
                    WithEntries("3003", 40, {40, 0, 0, 0, 0, 0}), WithEntries("3004", 0, {3, 2, 1, 0, 0, 0}), order,
                    finishes, CurrentRecord("3007")},
                   Ask({"3001", "3002", "3003", "3004", "3005", "3006", "3007"})));
  EXPECT_EQ(store.InSisu(QStringLiteral("3001")), 93.333336f);  // (6*30 + 5*20) / 300 * 100
  EXPECT_EQ(store.InSisu(QStringLiteral("3002")), 16.666666f);  // all from course 6
  EXPECT_EQ(store.InSisu(QStringLiteral("3003")), 100.0f);
  EXPECT_EQ(store.InSisu(QStringLiteral("3004")), 0.0f);  // entries, but no starts recorded
  EXPECT_EQ(store.Rentairitu3(QStringLiteral("3004")), 0.0f);
  EXPECT_EQ(store.StratHatujyun(QStringLiteral("3005")), 0.33333334f);
  EXPECT_EQ(store.CourseRentairitu3(QStringLiteral("3006"), 1), 60.0f);
  EXPECT_EQ(store.CourseRentairitu3(QStringLiteral("3006"), 2), 0.0f);  // no entries from course 2

  // The fresh record: (6*30 + 5*20 + 4*15 + 3*15 + 2*10 + 1*10) / 600 * 100.
  const QString no = QStringLiteral("3007");
  EXPECT_EQ(store.InSisu(no), static_cast<float>(415.0 / 600.0 * 100.0));
  EXPECT_EQ(store.StratHatujyun(no), static_cast<float>((2.15f + 2.25f + 2.35f + 2.45f + 2.55f + 2.65f) / 6.0));
  EXPECT_EQ(store.FTimes(no), 1 + 2 + 3 + 4 + 5 + 6);
  EXPECT_EQ(store.LTimes(no), 6 * (1 + 2) + 1 + 2);
  EXPECT_EQ(store.Rentairitu3(no), 99.0f);  // sum of (c+1)+(c+2)+(c+3) over 100 starts
  EXPECT_EQ(store.CourseRentairitu3(no, 3), static_cast<float>(15.0 / 15.0 * 100.0));
  EXPECT_EQ(store.CourseRentairitu3(no, 1), static_cast<float>(9.0 / 30.0 * 100.0));
}

TEST_F(cSensyuFileRecords, DerivedFiguresOfNobodyAreZero) {
  ExpectDefaults(store, QStringLiteral("3001"));  // before any load
  ASSERT_TRUE(Load({CurrentRecord("3001")}, Ask({"3001"})));
  ExpectDefaults(store, QStringLiteral("3999"));
}

// ---- Subscripts -----------------------------------------------------------------------------------

TEST_F(cSensyuFileRecords, CourseOutsideOneToSixIsASubscriptErrorForARacerInTheStore) {
  ASSERT_TRUE(Load({CurrentRecord("3001")}, Ask({"3001"})));
  const QString in = QStringLiteral("3001"), out = QStringLiteral("3999");
  using Getter = std::function<double(const QString&, std::int16_t)>;
  const std::vector<Getter> getters = {
      [&](auto& n, auto c) { return store.CourseSyussoTimes(n, c); },
      [&](auto& n, auto c) { return store.CourseFSyoritu(n, c); },
      [&](auto& n, auto c) { return store.CourseStartTiming(n, c); },
      [&](auto& n, auto c) { return store.CourseStartHatujyun(n, c); },
      [&](auto& n, auto c) { return store.Course1FinishTimes(n, c); },
      [&](auto& n, auto c) { return store.Course6FinishTimes(n, c); },
      [&](auto& n, auto c) { return store.CourseF0Times(n, c); },
      [&](auto& n, auto c) { return store.CourseS2Times(n, c); },
      [&](auto& n, auto c) { return store.CourseRentairitu3(n, c); },
  };
  for (const Getter& g : getters) {
    for (std::int16_t c : {0, 7, -1}) {
      SCOPED_TRACE(c);
      EXPECT_RUNTIME_ERROR(g(in, c), ErrNo::SubscriptOutOfRange);
      EXPECT_EQ(g(out, c), 0.0);
    }
  }
}

TEST_F(cSensyuFileRecords, SlotNumbersOutsideTheStoreAreASubscriptError) {
  for (std::int16_t k : {0, 1, -1}) EXPECT_THROW(store.SensyuNo(k), RuntimeError) << "before the first load";
  ASSERT_TRUE(Load({CurrentRecord("3001")}, Ask({"3001", "3002"})));
  EXPECT_EQ(store.SensyuNo(0), QString());
  EXPECT_EQ(store.SensyuNo(1), "3001");
  EXPECT_EQ(store.SensyuNo(2), QString());
  EXPECT_THROW(store.SensyuNo(3), RuntimeError);
  EXPECT_THROW(store.SensyuNo(-1), RuntimeError);
}

// ---- The data period --------------------------------------------------------------------------------

TEST_F(cSensyuFileRecords, DataPeriodText) {
  EXPECT_EQ(store.GetSensyuFileVersion(), S(u"0年期"));
  EXPECT_EQ(store.Nen(), 0);
  EXPECT_EQ(store.YmdStart(), QString());
  const std::pair<const char*, const char16_t*> cases[] = {
      {"20031", u"2003年前期"}, {"20032", u"2003年後期"}, {"20033", u"2003年期"}, {"20040", u"2004年期"}};
  for (auto [period, text] : cases) {
    ASSERT_TRUE(Load({Put(CurrentRecord("3001"), fan::Nen, period)}, Ask({"3001"})));
    EXPECT_EQ(store.GetSensyuFileVersion(), S(text));
  }
}

// ---- Failures -----------------------------------------------------------------------------------------

TEST_F(cSensyuFileRecords, AMissingFileKeepsTheStore) {
  RecordingMessageBox boxes;
  ASSERT_TRUE(Load({CurrentRecord("3001", 90)}, Ask({"3001"})));
  for (const QString& path : {dir.filePath(QStringLiteral("nothing.brf")), dir.path()}) {
    boxes.clear();
    QStringList list;
    EXPECT_FALSE(store.FileLoad(path, list, 0));
    ExpectBox(boxes, S(u"ファイルが見つかりません。\r\n") + path);
    EXPECT_TRUE(list.isEmpty());
    ExpectFreshRecord(store, QStringLiteral("3001"));
    EXPECT_EQ(store.LastYoseiKi(), 90);
  }
}

TEST_F(cSensyuFileRecords, AFileOfBlankLinesInEachLayout) {
  RecordingMessageBox boxes;
  for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n   \r\n\r\n"), QByteArray(2000, ' ')}) {
    ASSERT_TRUE(Load({CurrentRecord("3001", 90)}, Ask({"3001"})));
    ASSERT_EQ(store.LastYoseiKi(), 90);
    // Current layout: loaded, nobody found, the newest class from the empty line parsed: 0.
    QStringList list = Ask({"3001", "3002"});
    EXPECT_TRUE(store.FileLoad(Write(bytes), list, 0));
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(store.LastYoseiKi(), 0);
    EXPECT_EQ(store.SensyuNo(2), QString());
    ExpectDefaults(store, QStringLiteral("3001"));
    // Every racer of no racer at all is an empty list of numbers.
    QStringList every;
    EXPECT_TRUE(store.FileLoad(Write(bytes), every, 0));
    EXPECT_EQ(every, QStringList{QString()});

    // Older layout: the empty line does not convert.
    EXPECT_FALSE(store.FileLoad(Write(bytes), list, 2));
    ExpectBox(boxes, S(u"選手ファイルに選手の行がありません（「性別」を読めません）\r\n(Error code:13)"));
    boxes.clear();
  }
}

TEST_F(cSensyuFileRecords, ABinaryFile) {
  RecordingMessageBox boxes;
  std::mt19937 rng(416);
  QByteArray bytes;
  for (int i = 0; i < 20000; ++i) bytes.append(static_cast<char>(rng() % 256));
  bytes.replace(100, 4, "3001");  // a number the request holds, somewhere inside a line
  QStringList list = Ask({"3001", "9999"});
  EXPECT_TRUE(store.FileLoad(Write(bytes), list, 0));
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(store.SensyuNo(2), QString());
  // Whatever a line begins with, a slot holds either nothing or the number asked for.
  EXPECT_TRUE(store.SensyuNo(1).isEmpty() || store.SensyuNo(1) == "3001");

  // Every racer: one number per non-blank line, whatever the lines hold.
  int nonBlank = 0;
  for (const QByteArray& line : QByteArray(bytes).replace('\r', '\n').split('\n')) {
    if (line.count(' ') != line.size()) ++nonBlank;
  }
  QStringList every;
  EXPECT_TRUE(store.FileLoad(Write(bytes), every, 0));
  EXPECT_EQ(every.size(), nonBlank + 1);

  EXPECT_FALSE(store.FileLoad(Write(bytes), list, 2));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_TRUE(boxes.boxes()[0].text.startsWith(S(u"選手ファイル "))) << boxes.boxes()[0].text.toStdString();
  EXPECT_TRUE(boxes.boxes()[0].text.contains(S(u"\r\n(Error code:")));
}

TEST_F(cSensyuFileRecords, ALineOfOneMillionBytes) {
  // A record followed by a million bytes reads as the record; only the record's bytes are kept.
  const QByteArray huge = CurrentRecord("3001", 90) + QByteArray(1000000, 'x');
  ASSERT_TRUE(Load({huge, CurrentRecord("3002", 91)}, Ask({"3001", "3002"})));
  ExpectFreshRecord(store, QStringLiteral("3001"));
  EXPECT_EQ(store.YoseiKi(QStringLiteral("3002")), 91);

  // A million blanks is a blank line, wherever it stands.
  ASSERT_TRUE(Load({CurrentRecord("3001", 90), QByteArray(1000000, ' ')}, Ask({"3001"})));
  EXPECT_EQ(store.LastYoseiKi(), 90);

  // A file that is one enormous line without a line end.
  QStringList every;
  ASSERT_TRUE(store.FileLoad(Write(QByteArray(1000000, '7')), every, 0));
  EXPECT_EQ(every, Ask({"7777"}));
  EXPECT_EQ(store.Sex(QStringLiteral("7777")), 7);
}

TEST_F(cSensyuFileRecords, MoreThan32767RacersIsAnOverflow) {
  RecordingMessageBox boxes;
  QByteArray lines;
  for (int i = 0; i < 32767; ++i) lines += "1\r\n";
  QStringList list = Ask({"0001"});
  EXPECT_TRUE(store.FileLoad(Write(lines + "\r\n  \r\n"), list, 0));
  EXPECT_TRUE(boxes.boxes().empty());

  QStringList every;
  EXPECT_FALSE(store.FileLoad(Write("\r\n" + lines + "2\r\n"), every, 0));
  ExpectBox(boxes, S(u"選手ファイルの選手の行が 32767 行を超えています（32769 行目）\r\n(Error code:6)"));
  EXPECT_TRUE(every.isEmpty());
  EXPECT_EQ(store.SensyuNo(1), QString());
  EXPECT_THROW(store.SensyuNo(2), RuntimeError);

  boxes.clear();
  QStringList many{QString()};
  for (int i = 0; i < 32768; ++i) many << QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
  EXPECT_FALSE(store.FileLoad(Write(FanFile({CurrentRecord("0001")})), many, 0));
  ExpectBox(boxes, S(u"読み込む選手の数 32768 が 32767 を超えています\r\n(Error code:6)"));
}
