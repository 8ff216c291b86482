#include "data/cBangumiFile.h"

#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "tests/common/ExpectRuntimeError.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/ProgrammeText.h"

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

// A program folder with a store written from the given text, and a programme store object.
struct StoreFixture : ::testing::Test {
  TempAppFolder folder;
  cBangumiFile bangumi;
  QString storePath() const { return folder.file(QStringLiteral("BANGUMI.BRF")); }
  void WriteStore(const QString& text) { WriteBytes(storePath(), SjisLines(text)); }
  bool Load(const QString& code) {
    QString name;
    return bangumi.FileLoad(code, name);
  }
};

QStringList OneRace(int race = 1, const QString& extra = QString()) {
  return QStringList{RaceHeader(race, extra)} + SixEntrants(4000);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Line kinds and columns

using cBangumiFileLineKinds = StoreFixture;

TEST_F(cBangumiFileLineKinds, VenueLineGivesTitleAndTheNextLineIsTheLongTitle) {
  WriteStore(Block(QStringLiteral("24"), 1, {OneRace()}, S(u"ミッドナイト")));
  ASSERT_TRUE(Load(QStringLiteral("24")));
  EXPECT_EQ(bangumi.KyoteijyoCode(), "24");
  EXPECT_EQ(bangumi.Title(), S(u"ミッドナイト  第　１日"));
  EXPECT_EQ(bangumi.TitleLong(), S(u"ミッドナイト　　　　　"));
  EXPECT_EQ(bangumi.RaceDate(), "2024/01/01");
  EXPECT_EQ(bangumi.TotalDay(), 1);
  EXPECT_EQ(bangumi.RaceNumbers(), 1);
}

TEST_F(cBangumiFileLineKinds, OlderVenueAndDateLinesEndingInTheVenueWord) {
  WriteStore(S(u"06BBGN\n"
               u"浜名湖　競艇場   　１月　４日  オール静岡　Ｎｅｗ　  第　６日\n"
               u"          オール静岡　Ｎｅｗ　Ｙｅａｒ’ｓ　Ｃｕｐ　　　　　\n"
               u"   第　６日          ２００５年　１月　４日                       浜名湖　競艇場\n") +
             OneRace().join(u'\n') + S(u"\n06BEND\n"));
  ASSERT_TRUE(Load(QStringLiteral("06")));
  EXPECT_EQ(bangumi.Title(), S(u"オール静岡　Ｎｅｗ　  第　６日"));
  EXPECT_EQ(bangumi.RaceDate(), "2005/01/04");
  EXPECT_EQ(bangumi.TotalDay(), 6);
}

TEST_F(cBangumiFileLineKinds, TheLineAfterAVenueLineIsTestedInItsPlace) {
  // Here the date line follows the venue line directly: it is the long title and the date line.
  const QString date = S(u"   第　３日          ２０２４年１２月３１日                  ボートレース大　村");
  WriteStore(S(u"01BBGN\nボートレース桐　生   １２月３１日  年末杯  第　３日\n") + date + u'\n' +
             OneRace().join(u'\n') + S(u"\n01BEND\n"));
  ASSERT_TRUE(Load(QStringLiteral("01")));
  EXPECT_EQ(bangumi.TitleLong(), date.trimmed());
  EXPECT_EQ(bangumi.RaceDate(), "2024/12/31");
  EXPECT_EQ(bangumi.TotalDay(), 3);
}

TEST_F(cBangumiFileLineKinds, RaceHeadersAndTheirClosingTimeVoteTypeAndFixedEntry) {
  QList<QStringList> races;
  races << OneRace(1, S(u"　進入固定 "));
  races << (QStringList{S(u"１０Ｒ  選抜　連単連複       Ｈ１８００ｍ  電話投票締切予定１５：３０ ")} +
            SixEntrants(4100));
  races << (QStringList{S(u"１１Ｒ  選抜　２連複　　       Ｈ１８００ｍ  電話投票 ")} + SixEntrants(4200));
  WriteStore(Block(QStringLiteral("12"), 2, races));
  ASSERT_TRUE(Load(QStringLiteral("12")));
  ASSERT_EQ(bangumi.RaceNumbers(), 3);
  EXPECT_EQ(bangumi.ClosingHour(1), "17:41:00");
  EXPECT_TRUE(bangumi.CourseFix(1));
  EXPECT_EQ(bangumi.VoteType(1), 3);
  EXPECT_EQ(bangumi.RaceTitle(2), S(u"１０Ｒ  選抜　連単連複       Ｈ１８００ｍ  電話投票締切予定１５：３０"));
  EXPECT_EQ(bangumi.ClosingHour(2), "15:30:00");
  EXPECT_EQ(bangumi.VoteType(2), 4);
  EXPECT_FALSE(bangumi.CourseFix(2));
  EXPECT_EQ(bangumi.ClosingHour(3), "");
  EXPECT_EQ(bangumi.VoteType(3), 2);
  // Races beyond those read answer empty texts and zeros.
  EXPECT_EQ(bangumi.RaceTitle(12), "");
  EXPECT_EQ(bangumi.SensyuNo(12, 6), "");
  EXPECT_EQ(bangumi.VoteType(12), 0);
}

TEST_F(cBangumiFileLineKinds, EntrantLinesNeedABoatDigitAndABlank) {
  QStringList race{RaceHeader(1)};
  race << SixEntrants(4000).mid(0, 5);
  EntrantFields seven;
  seven.boat = 7;
  race << EntrantLine(seven);                       // boat 7: not an entrant line
  race << S(u"6x3501");                             // no blank after the digit
  race << QStringLiteral("   ") + EntrantLine({});  // leading blanks are fine: boat 1 again
  WriteStore(Block(QStringLiteral("03"), 1, {race}));
  ASSERT_TRUE(Load(QStringLiteral("03")));
  EXPECT_EQ(bangumi.SensyuNo(1, 1), "3501");  // the later line for boat 1 overwrote the first
  EXPECT_EQ(bangumi.SensyuNo(1, 5), "4005");
  EXPECT_EQ(bangumi.SensyuNo(1, 6), "");  // no entrant line: the slot stays empty
  EXPECT_EQ(bangumi.SensyuAge(1, 6), 0);
}

TEST_F(cBangumiFileLineKinds, EveryColumnOfAnEntrantLine) {
  EntrantFields f;
  f.seiseki = QStringLiteral(" 1 32F S   4");
  WriteStore(Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1), EntrantLine(f)}}));
  ASSERT_TRUE(Load(QStringLiteral("24")));
  EXPECT_EQ(bangumi.SensyuNo(1, 1), "3501");
  EXPECT_EQ(bangumi.SensyuName(1, 1), S(u"川上昇平"));
  EXPECT_EQ(bangumi.SensyuAge(1, 1), 54);
  EXPECT_EQ(bangumi.SensyuBirthplace(1, 1), S(u"長崎"));
  EXPECT_EQ(bangumi.SensyuWeight(1, 1), 55);
  EXPECT_EQ(bangumi.SensyuClass(1, 1), "B1");
  EXPECT_EQ(bangumi.SensyuZenkokuSyoritu(1, 1), 4.92f);
  EXPECT_EQ(bangumi.SensyuZenkokuFSyoritu(1, 1), 25.30f);
  EXPECT_EQ(bangumi.SensyuTochiSyoritu(1, 1), 5.38f);
  EXPECT_EQ(bangumi.SensyuTochiFSyoritu(1, 1), 33.85f);
  EXPECT_EQ(bangumi.MotorNo(1, 1), "50");
  EXPECT_EQ(bangumi.MotorFSyoritu(1, 1), 30.22f);
  EXPECT_EQ(bangumi.BoatNo(1, 1), "12");
  EXPECT_EQ(bangumi.BoatFSyoritu(1, 1), 36.62f);
  EXPECT_EQ(bangumi.Seiseki(1, 1), " 1 32F S   4");
  EXPECT_EQ(bangumi.Hayami(1, 1), 8);
}

TEST_F(cBangumiFileLineKinds, FieldsThatTouchAndThreeDigitMotorAndBoatNumbers) {
  EntrantFields f;
  f.zenkoku = QStringLiteral(" 9.57");
  f.zenkoku2 = QStringLiteral("100.00");  // "9.57100.00"
  f.motor = QStringLiteral("181");        // fills the separator column
  f.boatNo = QStringLiteral("160");
  f.boat2 = QStringLiteral(" 34.64");
  f.hayami = QStringLiteral("  ");
  EntrantFields g = f;
  g.boat = 2;
  g.motor = QStringLiteral("  7");
  g.boatNo = QStringLiteral(" 99");
  WriteStore(Block(QStringLiteral("05"), 1, {QStringList{RaceHeader(1), EntrantLine(f), EntrantLine(g)}}));
  ASSERT_TRUE(Load(QStringLiteral("05")));
  EXPECT_EQ(bangumi.SensyuZenkokuSyoritu(1, 1), 9.57f);
  EXPECT_EQ(bangumi.SensyuZenkokuFSyoritu(1, 1), 100.0f);
  EXPECT_EQ(bangumi.MotorNo(1, 1), "181");
  EXPECT_EQ(bangumi.BoatNo(1, 1), "160");
  EXPECT_EQ(bangumi.BoatFSyoritu(1, 1), 34.64f);
  EXPECT_EQ(bangumi.Hayami(1, 1), 0);
  EXPECT_EQ(bangumi.MotorNo(2, 2), "");  // race 2 was never read
  EXPECT_EQ(bangumi.MotorNo(1, 2), " 7");
  EXPECT_EQ(bangumi.BoatNo(1, 2), "99");
}

TEST_F(cBangumiFileLineKinds, ABlockWithoutItsEndIsReadToTheEndAndTheFirstOfTwoBlocksCounts) {
  QString text = Block(QStringLiteral("07"), 2, {OneRace()}, QStringLiteral("First"));
  text += Block(QStringLiteral("07"), 3, {OneRace(), OneRace(2)}, QStringLiteral("Second"));
  QString unended = Block(QStringLiteral("08"), 4, {OneRace(), OneRace(2)});
  unended.remove(QStringLiteral("08BEND\n"));
  WriteStore(text + unended);
  ASSERT_TRUE(Load(QStringLiteral("07")));
  EXPECT_EQ(bangumi.Title(), S(u"First  第　２日"));
  EXPECT_EQ(bangumi.RaceNumbers(), 1);
  ASSERT_TRUE(Load(QStringLiteral("08")));
  EXPECT_EQ(bangumi.RaceNumbers(), 2);
  EXPECT_EQ(bangumi.TotalDay(), 4);
}

TEST_F(cBangumiFileLineKinds, LoneLineFeedsAndCarriageReturnsEndLinesToo) {
  const QString text = Block(QStringLiteral("09"), 1, {OneRace()});
  for (const char* end : {"\n", "\r"}) {
    QByteArray bytes = EncodeSjis(text);
    if (QByteArray(end) == "\r") bytes.replace('\n', '\r');
    WriteBytes(storePath(), bytes);
    ASSERT_TRUE(Load(QStringLiteral("09")));
    EXPECT_EQ(bangumi.RaceNumbers(), 1);
    EXPECT_EQ(bangumi.SensyuNo(1, 6), "4006");
  }
}

TEST_F(cBangumiFileLineKinds, GettersRejectRaceAndBoatNumbersOutsideTheCard) {
  WriteStore(Block(QStringLiteral("24"), 1, {OneRace()}));
  ASSERT_TRUE(Load(QStringLiteral("24")));
  for (auto [race, boat] : {std::pair{0, 1}, {13, 1}, {1, 0}, {1, 7}, {-1, 3}}) {
    SCOPED_TRACE(std::to_string(race) + "," + std::to_string(boat));
    EXPECT_RUNTIME_ERROR(bangumi.SensyuNo(race, boat), ErrNo::SubscriptOutOfRange);
  }
  EXPECT_THROW(bangumi.RaceTitle(13), RuntimeError);
  EXPECT_THROW(bangumi.ParticipationSenyuNo(7), RuntimeError);
  EXPECT_THROW(bangumi.IndexToSenyuName(-1), RuntimeError);
  EXPECT_THROW(bangumi.IndexToTokutenritu(7), RuntimeError);
  EXPECT_NO_THROW(bangumi.IndexToSenyuName(6));
  EXPECT_EQ(bangumi.ParticipationSenyuNo(0), "");
}

// ---------------------------------------------------------------------------------------------
// cBangumiFileDerived values

using cBangumiFileDerived = StoreFixture;

TEST_F(cBangumiFileDerived, ARacerInTwoRacesIsOneParticipantWithOneRank) {
  QList<QStringList> races;
  for (int r = 1; r <= 7; ++r) races << (QStringList{RaceHeader(r)} + SixEntrants(4000 + 10 * r));
  // Boat 2 of race 3 and boat 5 of race 7 are the same racer; each entry names the other race.
  EntrantFields twice;
  twice.no = QStringLiteral("3333");
  twice.boat = 2;
  twice.hayami = QStringLiteral(" 7");
  twice.seiseki = QStringLiteral("1 1         ");
  races[2][2] = EntrantLine(twice);
  twice.boat = 5;
  twice.hayami = QStringLiteral(" 3");
  races[6][5] = EntrantLine(twice);
  WriteStore(Block(QStringLiteral("17"), 3, races));
  ASSERT_TRUE(Load(QStringLiteral("17")));
  EXPECT_EQ(bangumi.ParticipationNumbers(), 41);
  const QStringList list = bangumi.ParticipationSensyuNoAllGet();
  ASSERT_EQ(list.size(), 42);
  EXPECT_EQ(list[0], "");
  EXPECT_EQ(list.count(QStringLiteral("3333")), 1);
  EXPECT_EQ(list[1], "3333");  // ascending: it sorts before the 40xx numbers
  EXPECT_TRUE(std::is_sorted(list.begin() + 1, list.end()));
  EXPECT_EQ(bangumi.SensyuNoToIndex(QStringLiteral("3333")), 1);
  EXPECT_EQ(bangumi.SensyuNoToIndex(QStringLiteral("9999")), 0);
  EXPECT_EQ(bangumi.Tokutenritu(3, 2), 10.0f);
  EXPECT_EQ(bangumi.TokutenrituOrder(3, 2), 1);
  EXPECT_EQ(bangumi.TokutenrituOrder(7, 5), 1);
  EXPECT_EQ(bangumi.TokutenrituOrder(1, 1), 2);  // everyone else has no results: rank 2
  EXPECT_EQ(bangumi.IndexToSenyuName(1), S(u"川上昇平"));
  EXPECT_EQ(bangumi.IndexToTokutenritu(1), 10.0f);
  EXPECT_EQ(bangumi.IndexToSenyuClass(2), "B1");
  EXPECT_EQ(bangumi.IndexToSenyuZenkokuSyoritu(2), 4.92f);
  EXPECT_EQ(bangumi.IndexToSenyuZenkokuFSyoritu(2), 25.30f);
}

TEST_F(cBangumiFileDerived, EmptySlotsCountAndListAnEmptyNumberFirst) {
  QStringList race{RaceHeader(1)};
  race << SixEntrants(4000).mid(0, 4);
  WriteStore(Block(QStringLiteral("02"), 1, {race}));
  ASSERT_TRUE(Load(QStringLiteral("02")));
  EXPECT_EQ(bangumi.ParticipationNumbers(), 6);
  const QStringList list = bangumi.ParticipationSensyuNoAllGet();
  EXPECT_EQ(list, (QStringList{"", "", "", "4001", "4002", "4003", "4004"}));
  EXPECT_EQ(bangumi.IndexToSenyuName(1), "");  // matches the empty slot 5, whose name is empty
}

TEST_F(cBangumiFileDerived, PointsRateFromResults) {
  struct Case {
    const char16_t* seiseki;
    float rate;
  };
  const Case cases[] = {
      {u"12 3F       ", 3.5f},                           // (10 + 8 + 6 - 10) / 4
      {u"            ", 0.0f},                           // no race yet
      {u"SK          ", 0.0f},                           // two races without points
      {u"6L          ", -4.5f},                          // (1 - 10) / 2
      {u"123456123456", static_cast<float>(62.0 / 12)},  // a full meeting
      {u"1x2         ", 9.0f},                           // other characters are skipped
  };
  QStringList race{RaceHeader(1)};
  for (int b = 0; b < 6; ++b) {
    EntrantFields f;
    f.boat = b + 1;
    f.no = QString::number(5000 + b);
    f.seiseki = S(cases[b].seiseki);
    f.hayami = QStringLiteral("  ");
    race << EntrantLine(f);
  }
  WriteStore(Block(QStringLiteral("04"), 1, {race}));
  ASSERT_TRUE(Load(QStringLiteral("04")));
  for (int b = 0; b < 6; ++b) EXPECT_EQ(bangumi.Tokutenritu(1, b + 1), cases[b].rate) << b;
}

TEST_F(cBangumiFileDerived, EqualRatesShareARankAndTheNextSkips) {
  QStringList race{RaceHeader(1)};
  const char16_t* results[] = {u"1 2         ", u"2 1         ", u"1 4         ",
                               u"3           ", u"3           ", u"            "};
  // 9, 9, 7, 6, 6, 0 rank 1, 1, 3, 4, 4, 6.
  for (int b = 0; b < 6; ++b) {
    EntrantFields f;
    f.boat = b + 1;
    f.no = QString::number(6000 + b);
    f.seiseki = S(results[b]);
    f.hayami = QStringLiteral("  ");
    race << EntrantLine(f);
  }
  WriteStore(Block(QStringLiteral("10"), 1, {race}));
  ASSERT_TRUE(Load(QStringLiteral("10")));
  const int ranks[] = {1, 1, 3, 4, 4, 6};
  for (int b = 0; b < 6; ++b) EXPECT_EQ(bangumi.TokutenrituOrder(1, b + 1), ranks[b]) << b;
}

TEST_F(cBangumiFileDerived, WinSharesWeighThePointsRateOnTheMiddleDaysOnly) {
  auto race = [] {
    QStringList r{RaceHeader(1)};
    for (int b = 0; b < 6; ++b) {
      EntrantFields f;
      f.boat = b + 1;
      f.no = QString::number(7000 + b);
      f.zenkoku = QStringLiteral(" %1").arg(3.0 + b, 4, 'f', 2);
      f.motor2 = QStringLiteral(" %1").arg(30.0 + 2 * b, 5, 'f', 2);
      f.seiseki = b == 0 ? QStringLiteral("1           ") : QStringLiteral("            ");
      f.hayami = QStringLiteral("  ");
      r << EntrantLine(f);
    }
    return r;
  };
  for (int day : {1, 2, 3, 4, 5, 6}) {
    WriteStore(Block(QStringLiteral("11"), day, {race()}));
    ASSERT_TRUE(Load(QStringLiteral("11")));
    const double w = (day == 2 || day == 5) ? 0.15 : (day == 3 || day == 4) ? 0.24 : 0.0;
    float v[6], sum = 0;
    for (int b = 0; b < 6; ++b) {
      v[b] = static_cast<float>(0.33 * (3.0f + b) + 0.1 * (30.0f + 2 * b) + (b == 0 ? w * 10.0 : 0.0));
      sum += v[b];
    }
    float total = 0;
    for (int b = 0; b < 6; ++b) {
      EXPECT_EQ(bangumi.Tansyoritu(1, b + 1), v[b] / sum * 100.0f) << "day " << day << " boat " << b + 1;
      total += bangumi.Tansyoritu(1, b + 1);
    }
    EXPECT_NEAR(total, 100.0f, 1e-4f);
  }
}

// ---------------------------------------------------------------------------------------------
// cBangumiFileFailures: each gives its box, word for word, and leaves the card that was loaded before.

struct cBangumiFileFailures : StoreFixture {
  RecordingMessageBox boxes;

  void SetUp() override {
    WriteStore(Block(QStringLiteral("24"), 1, {OneRace()}, QStringLiteral("Good")));
    ASSERT_TRUE(Load(QStringLiteral("24")));
    boxes.clear();
  }

  // Loads a bad store and checks the one box, and that the good card is still there.
  void ExpectLoadFails(const QString& text, const QString& code, const QString& message) {
    WriteStore(text);
    EXPECT_FALSE(Load(code));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, S(u"番組ファイル読み込みエラー(02)"));
    EXPECT_EQ(boxes.boxes()[0].text, message);
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Warning);
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(bangumi.Title(), S(u"Good  第　１日"));
    EXPECT_EQ(bangumi.SensyuNo(1, 1), "4001");
    boxes.clear();
  }
};

TEST_F(cBangumiFileFailures, MissingStoreAndMissingVenue) {
  QString name = folder.file(QStringLiteral("nothing.BRF"));
  EXPECT_FALSE(bangumi.FileLoad(QStringLiteral("24"), name));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, S(u"ファイルが見つかりません。\n") + name);
  EXPECT_EQ(bangumi.Title(), S(u"Good  第　１日"));
  boxes.clear();
  ExpectLoadFails(Block(QStringLiteral("24"), 1, {OneRace()}), QStringLiteral("03"),
                  S(u"競艇場コードが見つかりません。\nCode: 03#"));
}

TEST_F(cBangumiFileFailures, AThirteenthRace) {
  QList<QStringList> races;
  for (int r = 1; r <= 13; ++r) races << (QStringList{RaceHeader(r)} + SixEntrants(4000 + 10 * r));
  ExpectLoadFails(Block(QStringLiteral("24"), 1, races), QStringLiteral("24"),
                  S(u"レース No.がオーバーフローしました。\nRace No: 13"));
}

TEST_F(cBangumiFileFailures, FieldsThatAreNotNumbers) {
  EntrantFields f;
  f.zenkoku = QStringLiteral(" x.yz");
  // Line 6 of the store: BBGN, venue, long title, date, race header, then this entrant.
  ExpectLoadFails(
      Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1), EntrantLine(f)}}), QStringLiteral("24"),
      S(u"6 行目の全国勝率（25–29 バイト目）が数値ではありません: \" x.yz\"(Error code:13)\n競艇場コード： 24"));
  f = {};
  f.age = QStringLiteral("5a");
  ExpectLoadFails(Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1), EntrantLine(f)}}), QStringLiteral("24"),
                  S(u"6 行目の年齢（15–16 バイト目）が数値ではありません: \"5a\"(Error code:13)\n競艇場コード： 24"));
  // A line cut short misses its fields.
  ExpectLoadFails(
      Block(QStringLiteral("24"), 1, {QStringList{RaceHeader(1), EntrantLine({}).left(30)}}), QStringLiteral("24"),
      S(u"6 行目の当地勝率（36–40 バイト目）が数値ではありません: \" \"(Error code:13)\n競艇場コード： 24"));
}

// The year, month and day of the date line are whole numbers written plainly and in range; a
// failure names the field's bytes in the line as the file holds it (full-width digits take two). A year
// of 1e64 once went through the number formats and came back as stack bytes.
TEST_F(cBangumiFileFailures, TheDateLineTakesPlainWholeNumbersInRange) {
  const struct {
    const char16_t *year, *month, *day;
    const char* date;         // the date loaded, or
    const char16_t* message;  // the message, without the venue code line
  } cases[] = {
      {u"２０２４", u"　２", u"２９", "2024/02/29", nullptr},
      {u"2000", u"02", u"29", "2000/02/29", nullptr},
      {u"  04", u" 1", u" 5", "04/01/05", nullptr},
      {u"2024", u"12", u"31", "2024/12/31", nullptr},
      // A date that does not read as numbers at all is passed over, as before.
      {u"ＡＢＣＤ", u"　１", u"　１", "0", nullptr},
      {u"1e64", u"　１", u"　１", nullptr,
       u"4 行目の日付の年（22–25 バイト目）が整数ではありません: \"1e64\"(Error code:13)"},
      {u"１ｅ６４", u"　１", u"　１", nullptr,
       u"4 行目の日付の年（22–29 バイト目）が整数ではありません: \"１ｅ６４\"(Error code:13)"},
      {u"20.5", u"　１", u"　１", nullptr,
       u"4 行目の日付の年（22–25 バイト目）が整数ではありません: \"20.5\"(Error code:13)"},
      {u"+202", u"　１", u"　１", nullptr,
       u"4 行目の日付の年（22–25 バイト目）が整数ではありません: \"+202\"(Error code:13)"},
      {u"2024", u"-1", u"　１", nullptr,
       u"4 行目の日付の月（28–29 バイト目）が整数ではありません: \"-1\"(Error code:13)"},
      {u"2024", u"13", u"　１", nullptr,
       u"4 行目の日付の月（28–29 バイト目）が 1～12 の範囲外です: \"13\"(Error code:1006)"},
      {u"2024", u"　０", u"　１", nullptr,
       u"4 行目の日付の月（28–31 バイト目）が 1～12 の範囲外です: \"　０\"(Error code:1006)"},
      {u"2024", u"　１", u"1.", nullptr,
       u"4 行目の日付の日（34–35 バイト目）が整数ではありません: \"1.\"(Error code:13)"},
      {u"2024", u"　１", u"00", nullptr,
       u"4 行目の日付の日（34–35 バイト目）が 1～31 の範囲外です: \"00\"(Error code:1006)"},
      {u"2024", u"　１", u"３２", nullptr,
       u"4 行目の日付の日（34–37 バイト目）が 1～31 の範囲外です: \"３２\"(Error code:1006)"},
      {u"2024", u"　４", u"31", nullptr,
       u"4 行目の日付の日（34–35 バイト目）が 1～30 の範囲外です: \"31\"(Error code:1006)"},
      {u"2024", u"　２", u"30", nullptr,
       u"4 行目の日付の日（34–35 バイト目）が 1～29 の範囲外です: \"30\"(Error code:1006)"},
      {u"2023", u"　２", u"29", nullptr,
       u"4 行目の日付の日（34–35 バイト目）が 1～28 の範囲外です: \"29\"(Error code:1006)"},
      {u"1900", u"　２", u"29", nullptr,
       u"4 行目の日付の日（34–35 バイト目）が 1～28 の範囲外です: \"29\"(Error code:1006)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.year).toStdString() + " " + QString::fromUtf16(c.month).toStdString() + " " +
                 QString::fromUtf16(c.day).toStdString());
    QString text = Block(QStringLiteral("24"), 1, {OneRace()});
    const QString date = S(u"２０２４年　１月　１日");
    ASSERT_TRUE(text.contains(date));
    text.replace(date, S(c.year) + u'年' + S(c.month) + u'月' + S(c.day) + u'日');
    if (c.date) {
      WriteStore(text);
      ASSERT_TRUE(Load(QStringLiteral("24")));
      EXPECT_EQ(bangumi.RaceDate(), c.date);
      ASSERT_TRUE(boxes.boxes().empty());
      SetUp();
    } else {
      ExpectLoadFails(text, QStringLiteral("24"), S(c.message) + S(u"\n競艇場コード： 24"));
    }
  }
}

TEST_F(cBangumiFileFailures, AnEntrantBeforeAnyRace) {
  QString text = Block(QStringLiteral("24"), 1, {OneRace()});
  text.replace(QStringLiteral("24BBGN\n"), QStringLiteral("24BBGN\n") + EntrantLine({}) + u'\n');
  ExpectLoadFails(text, QStringLiteral("24"),
                  S(u"2 行目: レースの見出しより前に出走選手の行があります(Error code:1002)\n競艇場コード： 24"));
}

TEST_F(cBangumiFileFailures, TheFileEndsRightAfterAVenueLine) {
  ExpectLoadFails(S(u"24BBGN\nボートレース大　村   　１月　１日  タイトル  第　１日"), QStringLiteral("24"),
                  S(u"2 行目の開催場の行の後でファイルが終わっています（長い題名の行がありません）(Error code:62)\n"
                    u"競艇場コード： 24"));
}

TEST_F(cBangumiFileFailures, HayamiMarksThatDoNotAgree) {
  // Boats 1 and 2 of race 1 say they run again in race 2, which does not hold them: the count of
  // racers (2 / 2 + 10 = 11) is then one short of the 12 distinct numbers.
  QList<QStringList> races{OneRace(1), QStringList{RaceHeader(2)} + SixEntrants(4100)};
  for (int b = 1; b <= 2; ++b) {
    EntrantFields f;
    f.boat = b;
    f.no = QString::number(4000 + b);
    f.hayami = QStringLiteral(" 2");
    races[0][b] = EntrantLine(f);
  }
  ExpectLoadFails(Block(QStringLiteral("24"), 1, races), QStringLiteral("24"),
                  S(u"2R 6号艇: 参加選手が 11 人を超えています。早見の欄が他のレースと合っていません(Error code:1004)\n"
                    u"競艇場コード： 24"));
}

TEST_F(cBangumiFileFailures, ARaceWhoseWinSharesCannotBeComputed) {
  QStringList race{RaceHeader(1)};
  for (int b = 1; b <= 6; ++b) {
    EntrantFields f;
    f.boat = b;
    f.no = QString::number(4000 + b);
    f.zenkoku = QStringLiteral(" 0.00");
    f.motor2 = QStringLiteral("  0.00");
    f.hayami = QStringLiteral("  ");
    race << EntrantLine(f);
  }
  ExpectLoadFails(Block(QStringLiteral("24"), 1, {race}), QStringLiteral("24"),
                  S(u"1R の単勝率を計算できません: 6 艇の勝率とモーター２連率がすべて 0 です(Error code:11)\n"
                    u"競艇場コード： 24"));
}

TEST_F(cBangumiFileFailures, BinaryAndBadlyEncodedStoresNeverCrash) {
  QByteArray binary;
  for (int i = 0; i < 4096; ++i) binary.append(static_cast<char>((i * 7919) & 0xFF));
  WriteBytes(storePath(), binary);
  EXPECT_FALSE(Load(QStringLiteral("24")));
  EXPECT_EQ(boxes.boxes().size(), 1u);
  boxes.clear();
  // A UTF-8 programme reads as mojibake: its entrant columns do not line up.
  WriteBytes(storePath(), Block(QStringLiteral("24"), 1, {OneRace()}).toUtf8());
  EXPECT_FALSE(Load(QStringLiteral("24")));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, S(u"番組ファイル読み込みエラー(02)"));
  boxes.clear();
  // Invalid Shift_JIS bytes inside a name keep the other columns in place.
  QByteArray bytes = SjisLines(Block(QStringLiteral("24"), 1, {OneRace()}));
  bytes.replace(EncodeSjis(S(u"川上昇平")), QByteArray("\xff\xff\x85\x40\x82\xa0\x82\xa0", 8));
  WriteBytes(storePath(), bytes);
  EXPECT_FALSE(Load(QStringLiteral("24")));  // five characters where the name has four: the columns shift
  boxes.clear();
  bytes.replace(QByteArray("\xff\xff\x85\x40\x82\xa0\x82\xa0", 8), QByteArray("\xff\x85\x40\x82\xa0\x82\xa0", 7));
  WriteBytes(storePath(), bytes);
  EXPECT_TRUE(Load(QStringLiteral("24")));
  EXPECT_EQ(bangumi.SensyuName(1, 1), S(u"\uFFFD\uFFFDああ"));
  EXPECT_EQ(bangumi.SensyuAge(1, 1), 54);
}

// ---------------------------------------------------------------------------------------------
// KaisaiCheck

using cBangumiFileVenueList = StoreFixture;

TEST_F(cBangumiFileVenueList, TitlesByVenueCodeAndTheStorePathReturned) {
  WriteStore(Block(QStringLiteral("24"), 1, {OneRace()}, S(u"大村杯")) +
             Block(QStringLiteral("06"), 1, {OneRace()}, S(u"浜名湖杯")));
  KyoteijyoTable table;
  table[3] = QStringLiteral("kept");
  QString name;
  ASSERT_TRUE(bangumi.KaisaiCheck(table, name));
  EXPECT_EQ(name, storePath());
  EXPECT_EQ(table[24], S(u"大村杯  第　１日"));
  EXPECT_EQ(table[6], S(u"浜名湖杯  第　１日"));
  EXPECT_EQ(table[3], "kept");  // the caller empties the table, not the listing
  EXPECT_EQ(table[0], "");
}

TEST_F(cBangumiFileVenueList, CodesOutsideTheTableFailWithoutWritingOutsideIt) {
  RecordingMessageBox boxes;
  for (auto [code, text] :
       {std::pair{QStringLiteral("99"), S(u"4 行目の競艇場コード \"99\" は 01～24 の範囲外です(Error code:1005)")},
        {QStringLiteral("00"), S(u"4 行目の競艇場コード \"00\" は 01～24 の範囲外です(Error code:1005)")},
        {QStringLiteral("AA"), S(u"4 行目の競艇場コードが数値ではありません: \"AA\"(Error code:13)")}}) {
    WriteStore(S(u"STARTB\n01BBGN\nボートレース桐　生   　１月　１日  桐生杯  第　１日\n") + code +
               QStringLiteral("BBGN\nvenue\n"));
    KyoteijyoTable table;
    QString name;
    EXPECT_FALSE(bangumi.KaisaiCheck(table, name));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, S(u"番組ファイル読み込みエラー(01)"));
    EXPECT_EQ(boxes.boxes()[0].text, text);
    EXPECT_EQ(table[1], S(u"桐生杯  第　１日"));  // the entry written before the failure stays
    boxes.clear();
  }
  QString missing = folder.file(QStringLiteral("none.BRF"));
  KyoteijyoTable table;
  EXPECT_FALSE(bangumi.KaisaiCheck(table, missing));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, S(u"ファイルが見つかりません。\n") + missing);
  boxes.clear();
  WriteStore(QStringLiteral("01BBGN"));
  EXPECT_FALSE(bangumi.KaisaiCheck(table, missing = QString()));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, S(u"1 行目の開催の始まりの後でファイルが終わっています(Error code:62)"));
}

TEST_F(cBangumiFileVenueList, AShortVenueLineGivesAnEmptyTitle) {
  WriteStore(QStringLiteral("05BBGN\nshort\n05BEND\n"));
  KyoteijyoTable table;
  QString name;
  ASSERT_TRUE(bangumi.KaisaiCheck(table, name));
  EXPECT_EQ(table[5], "");
}
