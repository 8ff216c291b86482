// The results store on texts of our own: its rules, and every kind of bad input refused with its
// message while the results before stay.

#include "data/cKekkaFile.h"

#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <optional>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

// One venue (大村, 24) with one race, its lines as the official file prints them (byte columns
// count a full-width character as two). Line numbers: 2 is 24KBGN, 18 the race header, 21..26 the
// six boats, 35 the ３連単 payout, 39 24KEND.
QString Results(const QString& boats = QString(), const QString& header = QString()) {
  const QString defaultBoats =
      S(u"  01  1 3501 川　上　　昇　平 50   12  6.89   1    0.08     1.49.7\n"
        u"  02  3 4299 中　島　　浩　哉 59   49  6.87   3    0.08     1.50.1\n"
        u"  03  6 3773 津　留　　浩一郎 57   25  6.77   6    0.11     1.51.3\n"
        u"  04  5 4393 田　中　　孝　明 31   45  6.86   5    0.09     1.51.6\n"
        u"  F   2 5129 山　口　　真喜子 46   61  6.83   2   F0.01      .  . \n"
        u"  K0  4 4855 江　頭　　賢　太 18   67 K .         K .        .  . \n");
  const QString defaultHeader = S(u"   1R       予選　　　　  進入固定       H1800m  曇り  風  北東　10m  波　 12cm\n");
  return S(u"STARTK\n"
           u"24KBGN\n"
           u"大　村［成績］      1/ 1      ミッドナイトボートレ  第 1日\n"
           u"\n"
           u"                            ＊＊＊　競走成績　＊＊＊\n"
           u"\n"
           u"          ミッドナイトボートレース１０ＴＨｉｎ大村　　　　　\n"
           u"\n"
           u"   第 1日          2024/ 1/ 1                             ボートレース大　村\n"
           u"\n"
           u"               －内容については主催者発行のものと照合して下さい－\n"
           u"\n"
           u"   [払戻金]       ３連単           ３連複           ２連単         ２連複\n"
           u"           1R  1-3-6    1830    1-3-6     760    1-3     390    1-3     310\n"
           u"\n"
           u"\n"
           u"\n") +
         (header.isNull() ? defaultHeader : header) +
         S(u"  着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ まくり差し\n"
           u"-------------------------------------------------------------------------------\n") +
         (boats.isNull() ? defaultBoats : boats) +
         S(u"\n"
           u"        単勝     1          130  \n"
           u"        複勝     1          140  3          290  \n"
           u"        ２連単   1-3        390  人気     1 \n"
           u"        ２連複   1-3        310  人気     1 \n"
           u"        拡連複   1-3        190  人気     1 \n"
           u"                 1-6        420  人気     7 \n"
           u"                 3-6        620  人気    10 \n"
           u"        ３連単   1-3-6     1830  人気     5 \n"
           u"        ３連複   1-3-6      760  人気     3 \n"
           u"\n"
           u"\n"
           u"24KEND\n"
           u"FINALK\n");
}

struct cKekkaFileStore : ::testing::Test {
  TempAppFolder folder;
  cKekkaFile kekka;
  QString store() const { return folder.file(QStringLiteral("KEKKA.BRF")); }
  QString input() const { return folder.file(QStringLiteral("k240101.txt")); }
};

}  // namespace

TEST_F(cKekkaFileStore, ReadsEveryFieldOfARace) {
  WriteBytes(input(), SjisLines(Results()));
  ASSERT_TRUE(kekka.FileConv(input()));
  QString path;
  ASSERT_TRUE(kekka.FileLoad(QStringLiteral("24"), path));
  EXPECT_EQ(path, store());
  EXPECT_EQ(kekka.RaceDate(), S(u"2024/01/01"));
  EXPECT_EQ(kekka.RaceName(1), S(u"予選"));
  EXPECT_TRUE(kekka.CourseFix(1));
  EXPECT_EQ(kekka.Tenko(1), S(u"曇り"));
  EXPECT_EQ(kekka.KazeMuki(1), S(u"北東"));
  EXPECT_EQ(kekka.Fusoku(1), 10);
  EXPECT_EQ(kekka.Hakou(1), 12);
  EXPECT_EQ(kekka.Kimarite(1), S(u"まくり差し"));
  EXPECT_TRUE(kekka.RaceExists(1));
  EXPECT_FALSE(kekka.RaceExists(2));
  EXPECT_FALSE(kekka.RaceExists(0));
  EXPECT_FALSE(kekka.RaceExists(13));
  // The flying boat: a flag and the printed figure; the withdrawn boat: no course, no timing.
  EXPECT_EQ(kekka.Tyakujyun(1, 5), S(u"F"));
  EXPECT_TRUE(kekka.StartFlying(1, 5));
  EXPECT_FLOAT_EQ(kekka.StartTiming(1, 5), 0.01f);
  EXPECT_EQ(kekka.WakuCourse(1, 2), 2);
  EXPECT_EQ(kekka.Tyakujyun(1, 6), S(u"K0"));
  EXPECT_EQ(kekka.WakuCourse(1, 4), 0);
  EXPECT_FALSE(kekka.StartTimingExists(1, 6));
  EXPECT_EQ(kekka.TenjiTime(1, 6), 0.0f);
  // A race without a result answers empty; numbers out of range are the subscript failure.
  EXPECT_EQ(kekka.BoatNumbers(2), 0);
  EXPECT_EQ(kekka.WakuCourse(2, 1), 0);
  EXPECT_EQ(kekka.SensyuNo(2, 1), QString());
  EXPECT_THROW(kekka.WakuCourse(13, 1), RuntimeError);
  EXPECT_THROW(kekka.WakuCourse(1, 7), RuntimeError);
  EXPECT_THROW(kekka.Tyakujyun(1, 0), RuntimeError);
  EXPECT_THROW(kekka.Kumiban(1, Kakesiki::Tansyo, 2), RuntimeError);
}

TEST_F(cKekkaFileStore, ListsTheVenuesAndLoadsAFileGivenByName) {
  WriteBytes(input(), SjisLines(Results()));
  KyoteijyoTable table;
  QString path = input();
  ASSERT_TRUE(kekka.KaisaiCheck(table, path));
  for (int code = 1; code <= 24; ++code) {
    EXPECT_EQ(table[code], code == 24 ? S(u"ミッドナイトボートレ  第 1日") : QString()) << code;
  }
  ASSERT_TRUE(kekka.FileLoad(QStringLiteral("24"), path));
  EXPECT_EQ(path, input());
  EXPECT_FALSE(QFile::exists(store())) << "a file given by name is read where it is";
}

// Fewer than six boats, and a block of a cancelled day with no race: both load.
TEST_F(cKekkaFileStore, RaceOfFiveBoatsAndVenueWithoutRaces) {
  const QString five =
      S(u"  01  1 3501 川　上　　昇　平 50   12  6.89   1    0.08     1.49.7\n"
        u"  02  3 4299 中　島　　浩　哉 59   49  6.87   2    0.08     1.50.1\n"
        u"  03  6 3773 津　留　　浩一郎 57   25  6.77   3    0.11     1.51.3\n"
        u"  04  5 4393 田　中　　孝　明 31   45  6.86   4    0.09     1.51.6\n"
        u"  05  2 5129 山　口　　真喜子 46   61  6.83   5    0.01      .  . \n");
  WriteBytes(input(), SjisLines(Results(five) + S(u"23KBGN\n唐　津［成績］      1/ 1      中止  第 1日\n23KEND\n")));
  ASSERT_TRUE(kekka.FileConv(input()));
  QString path;
  ASSERT_TRUE(kekka.FileLoad(QStringLiteral("24"), path));
  EXPECT_EQ(kekka.BoatNumbers(1), 5);
  EXPECT_EQ(kekka.WakuCourse(1, 4), 0);
  EXPECT_EQ(kekka.JyuniOfWaku(1, 4), 0);
  ASSERT_TRUE(kekka.FileLoad(QStringLiteral("23"), path));
  EXPECT_EQ(kekka.KyoteijyoName(), S(u"唐　津"));
  for (std::int16_t r = 1; r <= 12; ++r) EXPECT_FALSE(kekka.RaceExists(r));
}

// A line the store does not know inside a race (a refund notice) is kept for the race, not lost
// and not fatal.
TEST_F(cKekkaFileStore, KeepsANoticeItDoesNotRead) {
  WriteBytes(input(), SjisLines(Results().replace(S(u"        ３連複   1-3-6"),
                                                  S(u"        返還艇   ４\n        ３連複   1-3-6"))));
  ASSERT_TRUE(kekka.FileConv(input()));
  QString path;
  ASSERT_TRUE(kekka.FileLoad(QStringLiteral("24"), path));
  EXPECT_EQ(kekka.Bikou(1), QStringList{S(u"返還艇   ４")});
  EXPECT_EQ(kekka.Kingaku(1, Kakesiki::Sanrenfuku, 1), 760);
}

namespace {

struct BadInput {
  const char* name;
  std::function<QByteArray()> bytes;  // nullptr: no file at all
  const char16_t* conv;               // the text of the box FileConv shows; %1 is the file's path
  const char16_t* load;               // the text of the box FileLoad shows, or nullptr when as conv
};

QString Replace(QString text, const QString& from, const QString& to) { return text.replace(from, to); }

const BadInput kBadInputs[] = {
    {"MissingFile", nullptr, u"ファイルが見つかりません。\n%1", nullptr},
    {"BinaryFile", [] { return QByteArray("PK\x03\x04\x00\x00\x08\x00 24KBGN\r\n", 17); },
     u"1 行目が成績の行ではありません（NUL 文字があります）。成績ファイル(K*.TXT)を選んでください: %1(Error code:1001)",
     u"競艇場コードが見つかりません。\nCode: 24#"},
    {"ProgrammeFile",
     [] {
       return SjisLines(
           S(u"STARTB\n24BBGN\nボートレース大　村   　１月　１日  杯  第　１日\n"
             u"　１Ｒ  予選　　　　          Ｈ１８００ｍ  電話投票締切予定１０：５５\n24BEND\nFINALB\n"));
     },
     u"成績ファイルではありません: 競艇場のブロック（\"NNKBGN\" "
     u"の行）がありません。成績ファイル(K*.TXT)を選んでください: "
     u"%1(Error code:1001)",
     u"競艇場コードが見つかりません。\nCode: 24#"},
    {"VenueCodeOutOfRange", [] { return SjisLines(Results()).replace("24K", "25K"); },
     u"2 行目の競艇場コード \"25\" は 01～24 の範囲外です(Error code:1005)",
     u"競艇場コードが見つかりません。\nCode: 24#"},
    {"TruncatedBlock",
     [] {
       const QByteArray b = SjisLines(Results());
       return b.left(b.indexOf("  04  5"));
     },
     u"2 行目で始まる競艇場コード 24 のブロックの途中でファイルが終わっています（23 行目まで。24KEND "
     u"の行がありません）(Error code:62)",
     nullptr},
    {"BlockRunsIntoTheNext", [] { return SjisLines(Results()).replace("24KEND", "23KBGN"); },
     u"2 行目で始まる競艇場コード 24 のブロックが 39 行目で終わらずに切れています（24KEND の行がありません）: "
     u"\"23KBGN\"(Error code:62)",
     nullptr},
    {"SevenBoats",
     [] {
       return SjisLines(Results(QString(Results().section(u'\n', 20, 25) + u'\n') +
                                S(u"  S1  1 3501 川　上　　昇　平 50   12  6.89   1    0.08      .  . \n")));
     },
     u"27 行目: 1R に 7 艇目の着順の行があります（1 レースは 6 艇まで）: \"S1  1 3501 川　上　　昇　平 50   12  6.89   "
     u"1    0.08      .  .\"(Error code:9)",
     nullptr},
    {"NonNumericMotor",
     [] { return SjisLines(Results(S(u"  01  1 3501 川　上　　昇　平 5O   12  6.89   1    0.08     1.49.7\n"))); },
     u"21 行目のモーター番号（30–32 バイト目）が数値ではありません: \"5O\"(Error code:13)", nullptr},
    {"NonNumericExhibitionTime",
     [] { return SjisLines(Results(S(u"  01  1 3501 川　上　　昇　平 50   12  6.8x   1    0.08     1.49.7\n"))); },
     u"21 行目の展示タイム（38–43 バイト目）が数値ではありません: \"6.8x\"(Error code:13)", nullptr},
    {"NonNumericWindSpeed",
     [] {
       return SjisLines(
           Results(QString(), S(u"   1R       予選　　　　                 H1800m  晴　  風  北　　 ?m  波　  2cm\n")));
     },
     u"18 行目の風速（66–67 バイト目）が数値ではありません: \"?\"(Error code:13)", nullptr},
    {"CourseOutOfRange",
     [] { return SjisLines(Results(S(u"  01  1 3501 川　上　　昇　平 50   12  6.89   7    0.08     1.49.7\n"))); },
     u"21 行目の進入コース（44–47 バイト目）が 1～6 ではありません: \"7\"(Error code:13)", nullptr},
    {"StartTimingNotANumber",
     [] { return SjisLines(Results(S(u"  01  1 3501 川　上　　昇　平 50   12  6.89   1    0.0x     1.49.7\n"))); },
     u"21 行目のスタートタイミング（48–55 バイト目）が数値ではありません: \"0.0x\"(Error code:13)", nullptr},
    {"RaceTimeUnreadable",
     [] { return SjisLines(Results(S(u"  01  1 3501 川　上　　昇　平 50   12  6.89   1    0.08     1.4x.7\n"))); },
     u"21 行目のレースタイム（56–66 バイト目）が 分.秒.1/10秒 ではありません: \"1.4x.7\"(Error code:13)", nullptr},
    {"PlaceUnreadable",
     [] { return SjisLines(Results(S(u"  1   1 3501 川　上　　昇　平 50   12  6.89   1    0.08     1.49.7\n"))); },
     u"21 行目の着順（3–4 バイト目）が読めません: \"1 \"(Error code:13)", nullptr},
    {"CutBoatLine", [] { return SjisLines(Results(S(u"  01  1 3501 川　上　　昇\n"))); },
     u"21 行目の 1R の着順の行が途中で切れています（25 バイト、66 バイトのはず）: \"  01  1 3501 川　上　　昇\"(Error "
     u"code:62)",
     nullptr},
    {"BoatTwice",
     [] {
       return SjisLines(
           Results(S(u"  01  1 3501 川　上　　昇　平 50   12  6.89   1    0.08     1.49.7\n"
                     u"  02  1 4299 中　島　　浩　哉 59   49  6.87   3    0.08     1.50.1\n")));
     },
     u"22 行目の艇番（7–7 バイト目）の艇がこのレースに 2 度あります: \"1\"(Error code:9)", nullptr},
    {"PayoutNotANumber",
     [] { return SjisLines(Replace(Results(), S(u"1-3-6     1830  人気"), S(u"1-3-6     18３0  人気"))); },
     u"35 行目の 1R の３連単の払戻金が数値ではありません: \"18３0\"(Error code:13)", nullptr},
    {"SummaryYenMissing",
     [] { return SjisLines(Replace(Results(), S(u"1R  1-3-6    1830    1-3-6"), S(u"1R  1-3-6            1-3-6"))); },
     u"14 行目の払戻金の一覧（1R）の３連単が組番と払戻金ではありません: \"1-3-6\"(Error code:13)", nullptr},
};

void PrintTo(const BadInput& b, std::ostream* os) { *os << b.name; }

struct cKekkaFileRefused : ::testing::TestWithParam<BadInput> {
  TempAppFolder folder;
  cKekkaFile kekka;
};

}  // namespace

// Each bad input, given to FileConv and to FileLoad by name, shows its box and leaves the store
// and the results loaded before as they were.
TEST_P(cKekkaFileRefused, ShowsItsMessageAndKeepsThePreviousResults) {
  const BadInput& bad = GetParam();
  const QString good = folder.file(QStringLiteral("good.txt"));
  WriteBytes(good, SjisLines(Results()));
  ASSERT_TRUE(kekka.FileConv(good));
  QString storePath;
  ASSERT_TRUE(kekka.FileLoad(QStringLiteral("24"), storePath));
  const QByteArray before = ReadBytes(storePath);

  const QString path = folder.file(QStringLiteral("bad.txt"));
  if (bad.bytes) WriteBytes(path, bad.bytes());
  RecordingMessageBox boxes;
  EXPECT_FALSE(kekka.FileConv(path));
  QString loadPath = path;
  EXPECT_FALSE(kekka.FileLoad(QStringLiteral("24"), loadPath));
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].title, S(u"成績ファイル変換エラー"));
  EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Warning);
  const QString conv = Replace(QString::fromUtf16(bad.conv), S(u"%1"), path);
  EXPECT_EQ(boxes.boxes()[0].text, conv);
  EXPECT_EQ(boxes.boxes()[1].title, S(u"成績ファイル読み込みエラー(02)"));
  // The load names the venue asked for, unless the file was not there at all.
  const QString load = bad.load               ? Replace(QString::fromUtf16(bad.load), S(u"%1"), path)
                       : bad.bytes == nullptr ? conv
                                              : conv + S(u"\n競艇場コード： 24");
  EXPECT_EQ(boxes.boxes()[1].text, load);

  EXPECT_EQ(ReadBytes(storePath), before);
  EXPECT_EQ(kekka.SensyuNo(1, 1), S(u"3501"));
  EXPECT_EQ(kekka.WakuCourse(1, 6), 6);
}

INSTANTIATE_TEST_SUITE_P(BadInputs, cKekkaFileRefused, ::testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return std::string(info.param.name); });

// An archive's member larger than the store reads (35 MB of results and blank lines) is refused
// before it replaces the store: what conversion keeps, loading reads again.
TEST_F(cKekkaFileStore, RefusesAMemberOverTheLimitOfLoading) {
  WriteBytes(input(), SjisLines(Results()));
  ASSERT_TRUE(kekka.FileConv(input()));
  const QByteArray before = ReadBytes(store());
  QByteArray big = SjisLines(Results());
  big += QByteArray(35 * 1024 * 1024 - big.size(), '\n');
  RecordingMessageBox boxes;
  EXPECT_FALSE(kekka.FileConvBytes(big, QStringLiteral("k240101.lzh")));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            S(u"成績ファイルではありません（36700160 バイトは大きすぎます）: k240101.lzh(Error code:1001)"));
  EXPECT_EQ(ReadBytes(store()), before);
  QString path;
  EXPECT_TRUE(kekka.FileLoad(QStringLiteral("24"), path));
}

// What the store answers for a race by what its section holds: a race is an ordinary result only
// with its boats and its payouts.
TEST_F(cKekkaFileStore, StatusFollowsWhatTheSectionHolds) {
  // The text with the payouts of 1R replaced.
  const auto payouts = [](QString text, const QString& by) {
    const qsizetype from = text.indexOf(S(u"        単勝")), to = text.indexOf(S(u"\n\n24KEND"));
    return text.replace(from, to - from, by);
  };
  const QString calledOff =
      payouts(Results(), QString())
          .replace(S(u"1R  1-3-6    1830    1-3-6     760    1-3     390    1-3     310"), S(u"1R  中　止"));
  const struct {
    const char* name;
    QString text;
    RaceStatus status;
  } kCases[] = {
      {"boats and payouts", Results(), RaceStatus::Held},
      {"boats without payouts", payouts(Results(), QString()), RaceStatus::None},
      {"void", payouts(Results(), S(u"  レース不成立")), RaceStatus::Void},
      {"void without boats", payouts(Results(S(u"  レース不成立\n")), QString()), RaceStatus::None},
      {"called off", calledOff, RaceStatus::Cancelled},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    WriteBytes(input(), SjisLines(c.text));
    ASSERT_TRUE(kekka.FileConv(input()));
    QString path;
    ASSERT_TRUE(kekka.FileLoad(QStringLiteral("24"), path));
    EXPECT_EQ(kekka.Status(1), c.status);
    EXPECT_EQ(kekka.RaceExists(1), c.status == RaceStatus::Held || c.status == RaceStatus::Void);
  }
}

namespace {

// The text with the bytes from..from+width-1 of line `index` (from 0) replaced by `value`,
// right-aligned in blanks: a field at its byte columns, whatever its characters.
QByteArray WithField(const QByteArray& text, qsizetype index, qsizetype from, qsizetype width, const QString& value) {
  QList<QByteArray> lines = text.split('\n');
  const QByteArray bytes = EncodeSjis(value);
  lines[index].replace(from, width, QByteArray(width - bytes.size(), ' ') + bytes);
  return lines.join('\n');
}

constexpr qsizetype kHeaderLine = 17;  // the race header (line 18)
constexpr qsizetype kBoatLine = 20;    // the winner's line (line 21)

// A timing field's forms and what each reads as. The exhibition time, the timing and the race
// time are read from the bytes when they are ASCII and from the text otherwise; both readings
// must agree, and the load and the conversion's check must accept and refuse alike.
struct BoatFields {
  const char* name;
  const char16_t* tenji;   // bytes 38-43
  const char16_t* timing;  // bytes 48-55
  const char16_t* time;    // bytes 56-66
  float tenjiValue, timingValue;
  bool flying, exists, late;
  float seconds;
  const char16_t* refused;  // the description, or nullptr when read
};

const BoatFields kBoatFields[] = {
    {"Plain", u"6.89", u"0.08", u"1.49.7", 6.89f, 0.08f, false, true, false, 109.7f, nullptr},
    {"PointFirst", u".9", u".08", u"01.49.7", 0.9f, 0.08f, false, true, false, 109.7f, nullptr},
    {"Flying", u"6.83", u"F0.01", u".  .", 6.83f, 0.01f, true, true, false, 0, nullptr},
    {"FlyingBlankBeforeFigure", u"6.83", u"F 0.01", u"1.50.0", 6.83f, 0.01f, true, true, false, 110.0f, nullptr},
    {"LateWithFigure", u"6.70", u"L1.99", u"", 6.70f, 1.99f, false, true, true, 0, nullptr},
    {"LateWithoutFigure", u"6.70", u"L .", u"", 6.70f, 0, false, false, true, 0, nullptr},
    {"Withdrawn", u"K .", u"K .", u".  .", 0, 0, false, false, false, 0, nullptr},
    {"WholeSeconds", u"7", u"1", u"2.05.3", 7.0f, 1.0f, false, true, false, 125.3f, nullptr},
    // Full-width digits are read from the text, where they count as digits for a decimal figure.
    {"FullWidthExhibition", u"６.89", u"0.08", u"1.49.7", 6.89f, 0.08f, false, true, false, 109.7f, nullptr},
    {"FullWidthTiming", u"6.89", u"F０.01", u"1.49.7", 6.89f, 0.01f, true, true, false, 109.7f, nullptr},
    {"NegativeExhibition", u"-6.89", u"0.08", u"1.49.7", 0, 0, false, false, false, 0,
     u"21 行目の展示タイム（38–43 バイト目）が数値ではありません: \"-6.89\""},
    {"SignedTiming", u"6.89", u"F+0.01", u"1.49.7", 0, 0, false, false, false, 0,
     u"21 行目のスタートタイミング（48–55 バイト目）が数値ではありません: \"+0.01\""},
    // A sign after the letter and a blank is refused as one right after it: a timing is never
    // below zero.
    {"FlyingNegativeAfterBlank", u"6.89", u"F -0.01", u"1.49.7", 0, 0, false, false, false, 0,
     u"21 行目のスタートタイミング（48–55 バイト目）が数値ではありません: \" -0.01\""},
    {"ExponentTiming", u"6.89", u"8e-2", u"1.49.7", 0, 0, false, false, false, 0,
     u"21 行目のスタートタイミング（48–55 バイト目）が数値ではありません: \"8e-2\""},
    {"SixtySeconds", u"6.89", u"0.08", u"1.60.0", 0, 0, false, false, false, 0,
     u"21 行目のレースタイム（56–66 バイト目）が 分.秒.1/10秒 ではありません: \"1.60.0\""},
    {"TwoDigitTenths", u"6.89", u"0.08", u"1.49.70", 0, 0, false, false, false, 0,
     u"21 行目のレースタイム（56–66 バイト目）が 分.秒.1/10秒 ではありません: \"1.49.70\""},
    {"ThreeMinuteDigits", u"6.89", u"0.08", u"100.49.7", 0, 0, false, false, false, 0,
     u"21 行目のレースタイム（56–66 バイト目）が 分.秒.1/10秒 ではありません: \"100.49.7\""},
    // A race time's digits must be ASCII: a full-width one is refused from the text as ever.
    {"FullWidthRaceTime", u"6.89", u"0.08", u"１.49.7", 0, 0, false, false, false, 0,
     u"21 行目のレースタイム（56–66 バイト目）が 分.秒.1/10秒 ではありません: \"１.49.7\""},
};

void PrintTo(const BoatFields& f, std::ostream* os) { *os << f.name; }

struct cKekkaFileBoatFields : ::testing::TestWithParam<BoatFields> {};

// The description a reading refuses the text with, or nothing when it reads it.
std::optional<QString> Refusal(const std::function<void()>& read) {
  try {
    read();
  } catch (const RuntimeError& e) {
    return e.description();
  }
  return std::nullopt;
}

}  // namespace

TEST_P(cKekkaFileBoatFields, ReadAsPrintedByTheLoadAndTheCheck) {
  const BoatFields& f = GetParam();
  QByteArray bytes = WithField(SjisLines(Results()), kBoatLine, 37, 6, QString::fromUtf16(f.tenji));
  bytes = WithField(bytes, kBoatLine, 47, 8, QString::fromUtf16(f.timing));
  bytes = WithField(bytes, kBoatLine, 55, 11, QString::fromUtf16(f.time));

  std::vector<cKekkaFile::Venue> venues;
  const auto loaded = Refusal([&] { venues = cKekkaFile::ReadFile(bytes, QStringLiteral("k.txt")); });
  const auto checked = Refusal([&] { cKekkaFile::Check(bytes, QStringLiteral("k.txt")); });
  EXPECT_EQ(loaded, checked);
  if (f.refused) {
    EXPECT_EQ(loaded, QString::fromUtf16(f.refused));
    return;
  }
  ASSERT_EQ(loaded, std::nullopt);
  const cKekkaFile::Boat& b = venues.at(0).races[0].boats.at(0);
  EXPECT_EQ(b.TenjiTime, f.tenjiValue);
  EXPECT_EQ(b.StartTiming, f.timingValue);
  EXPECT_EQ(b.StartFlying, f.flying);
  EXPECT_EQ(b.StartTimingExists, f.exists);
  EXPECT_EQ(b.StartLate, f.late);
  EXPECT_EQ(b.RaceTimeSeconds, f.seconds);
  EXPECT_EQ(b.StartTimingText, QString::fromUtf16(f.timing));
  EXPECT_EQ(b.RaceTime, f.seconds > 0 ? QString::fromUtf16(f.time) : QString());
}

INSTANTIATE_TEST_SUITE_P(Forms, cKekkaFileBoatFields, ::testing::ValuesIn(kBoatFields),
                         [](const auto& info) { return std::string(info.param.name); });

// The distance of a race header: a course letter (ASCII or any other letter), the metres, "m".
TEST(cKekkaFileHeader, DistanceReadAsPrintedByTheLoadAndTheCheck) {
  const struct {
    const char16_t* field;  // bytes 40-47
    int metres;             // 0: refused
  } kCases[] = {{u"H1800m", 1800}, {u"1800m", 1800}, {u"H1800", 1800}, {u"Ｈ1800m", 1800}, {u"h600m", 600},
                {u"H18000m", 0},   {u"Hm", 0},       {u"H18O0m", 0},   {u"m", 0},          {u"H１800m", 0}};
  for (const auto& c : kCases) {
    const QString field = QString::fromUtf16(c.field);
    SCOPED_TRACE(field.toStdString());
    const QByteArray bytes = WithField(SjisLines(Results()), kHeaderLine, 39, 8, field);
    std::vector<cKekkaFile::Venue> venues;
    const auto loaded = Refusal([&] { venues = cKekkaFile::ReadFile(bytes, QStringLiteral("k.txt")); });
    EXPECT_EQ(loaded, Refusal([&] { cKekkaFile::Check(bytes, QStringLiteral("k.txt")); }));
    if (c.metres == 0) {
      EXPECT_EQ(loaded, QStringLiteral("18 行目の距離（40–47 バイト目）が読めません: \"%1\"").arg(field));
    } else {
      ASSERT_EQ(loaded, std::nullopt);
      EXPECT_EQ(venues.at(0).races[0].Kyori, c.metres);
    }
  }
}

// The caption "ﾚｰｽﾀｲﾑ" is told by its bytes, which can also stand as the second byte of a kanji and
// the kana after it (移 is 88 DA, then "ｰｽﾀｲﾑ"): such a line holds no caption and is kept as a note,
// and a caption after it on the same line still counts.
TEST(cKekkaFileHeader, CaptionBytesInsideAKanjiAreNoCaption) {
  const QString straddle = S(u"  移ｰｽﾀｲﾑ 払戻の注記");
  QList<QByteArray> lines = SjisLines(Results()).split('\n');
  lines.insert(kHeaderLine + 1, EncodeSjis(straddle) + "\r");
  std::vector<cKekkaFile::Venue> venues = cKekkaFile::ReadFile(lines.join('\n'), QStringLiteral("k.txt"));
  EXPECT_EQ(venues.at(0).races[0].Kimarite, S(u"まくり差し"));
  EXPECT_EQ(venues.at(0).races[0].bikou, QStringList{straddle.trimmed()});

  lines = SjisLines(Results()).split('\n');
  lines[kHeaderLine + 1] = EncodeSjis(S(u"  移ｰｽﾀｲﾑ ﾚｰｽﾀｲﾑ 逃げ")) + "\r";
  venues = cKekkaFile::ReadFile(lines.join('\n'), QStringLiteral("k.txt"));
  EXPECT_EQ(venues.at(0).races[0].Kimarite, S(u"逃げ"));
  EXPECT_TRUE(venues.at(0).races[0].bikou.isEmpty());
  EXPECT_NO_THROW(cKekkaFile::Check(lines.join('\n'), QStringLiteral("k.txt")));
}

namespace {

// One field of a finishing order's line changed: bytes from..from+width-1 of line kBoatLine + row.
struct BoatLineEdit {
  const char* name;
  qsizetype row, from, width;
  const char16_t* value;
};

const BoatLineEdit kBoatLineEdits[] = {
    {"AsPrinted", 0, 0, 0, u""},
    {"PlaceSix", 0, 2, 2, u"06"},
    {"PlaceSeven", 0, 2, 2, u"07"},
    {"PlaceNone", 0, 2, 2, u"00"},
    {"PlaceLetter", 0, 2, 2, u"S1"},
    {"PlaceFullWidth", 0, 2, 2, u"１"},
    {"BoatSeven", 0, 6, 1, u"7"},
    {"NumberWithABlank", 0, 8, 4, u"35 1"},
    {"NameInHalfWidthKana", 0, 13, 16, u"ｶﾜｶﾐ ｼｮｳﾍｲ"},
    {"MotorOfThreeDigits", 0, 29, 3, u"150"},
    {"MotorOfOneDigit", 0, 29, 3, u"5"},
    {"MotorLeftAligned", 0, 29, 3, u"50 "},
    {"MotorWithABlankInside", 0, 29, 3, u"1 5"},
    {"MotorMissing", 0, 29, 3, u""},
    {"BoatOfThreeDigits", 0, 32, 5, u"123"},
    {"BoatInFullWidth", 0, 32, 5, u"１2"},
    {"ExhibitionOfTwoDigits", 0, 37, 6, u"10.00"},
    {"ExhibitionOfOnePlace", 0, 37, 6, u"6.8"},
    {"ExhibitionWithdrawn", 0, 37, 6, u"K . "},
    {"ExhibitionInFullWidth", 0, 37, 6, u"６.89"},
    {"CourseMissing", 0, 43, 4, u""},
    {"CourseSeven", 0, 43, 4, u"7"},
    {"CourseTakenBefore", 1, 43, 4, u"1"},
    {"BoatTakenBefore", 1, 6, 1, u"1"},
    {"TimingFlying", 0, 47, 8, u"F0.01"},
    {"TimingLate", 0, 47, 8, u"L1.99"},
    {"TimingOfOnePlace", 0, 47, 8, u"0.1"},
    {"TimingSigned", 0, 47, 8, u"-0.01"},
    {"TimeNone", 0, 55, 11, u".  . "},
    {"TimeBlank", 0, 55, 11, u""},
    {"TimeOfTwoDigitMinutes", 0, 55, 11, u"11.49.7"},
    {"TimeOfSixtySeconds", 0, 55, 11, u"1.60.7"},
    {"TimeWithTwoTenths", 0, 55, 11, u"1.49.75"},
    {"TimeInFullWidth", 0, 55, 11, u"１.49.7"},
};

void PrintTo(const BoatLineEdit& e, std::ostream* os) { *os << e.name; }

struct cKekkaFilePrintedBoatLine : ::testing::TestWithParam<BoatLineEdit> {};

// Every field of every boat of the race, floats by their bits.
std::string BoatsOf(const cKekkaFile::Venue& v) {
  std::string out;
  for (const cKekkaFile::Boat& b : v.races[0].boats) {
    const auto bits = [](float f) { return QString::number(std::bit_cast<std::uint32_t>(f), 16); };
    out += QStringList{b.Tyakujyun,
                       b.SensyuNo,
                       b.SensyuName,
                       b.MotorNo,
                       b.BoatNo,
                       b.StartTimingText,
                       b.RaceTime,
                       QString::number(b.TyakujyunNo),
                       QString::number(b.WakuNo),
                       QString::number(b.Course),
                       bits(b.TenjiTime),
                       bits(b.StartTiming),
                       bits(b.RaceTimeSeconds),
                       QString::number(b.StartFlying),
                       QString::number(b.StartTimingExists),
                       QString::number(b.StartLate)}
               .join(u'|')
               .toStdString() +
           "\n";
  }
  return out;
}

}  // namespace

// A finishing order's line in the printed layout (66 bytes, every figure in its usual place) is
// read at fixed bytes, any other by the field reader. Each line here is read as it stands and with
// two blanks after it, which always goes to the field reader: the load gives the same boats or the
// same refusal both ways, and the check refuses what the load refuses.
TEST_P(cKekkaFilePrintedBoatLine, ReadsAsTheFieldReader) {
  const BoatLineEdit& e = GetParam();
  QByteArray bytes = SjisLines(Results());
  if (e.width > 0) bytes = WithField(bytes, kBoatLine + e.row, e.from, e.width, QString::fromUtf16(e.value));
  QList<QByteArray> lines = bytes.split('\n');
  lines[kBoatLine + e.row].insert(lines[kBoatLine + e.row].size() - 1, "  ");  // before the CR
  const QByteArray twin = lines.join('\n');

  std::vector<cKekkaFile::Venue> printed, fields;
  const auto loaded = Refusal([&] { printed = cKekkaFile::ReadFile(bytes, QStringLiteral("k.txt")); });
  EXPECT_EQ(loaded, Refusal([&] { fields = cKekkaFile::ReadFile(twin, QStringLiteral("k.txt")); }));
  EXPECT_EQ(loaded, Refusal([&] { cKekkaFile::Check(bytes, QStringLiteral("k.txt")); }));
  if (loaded) return;
  ASSERT_EQ(printed.size(), 1u);
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(BoatsOf(printed[0]), BoatsOf(fields[0]));
}

INSTANTIATE_TEST_SUITE_P(Edits, cKekkaFilePrintedBoatLine, ::testing::ValuesIn(kBoatLineEdits),
                         [](const auto& info) { return std::string(info.param.name); });

// The winner's line as printed, to its values.
TEST(cKekkaFilePrintedBoatLine, TheWinnersLineToItsValues) {
  const cKekkaFile::Boat b =
      cKekkaFile::ReadFile(SjisLines(Results()), QStringLiteral("k.txt")).at(0).races[0].boats.at(0);
  EXPECT_EQ(b.Tyakujyun, QStringLiteral("01"));
  EXPECT_EQ(b.TyakujyunNo, 1);
  EXPECT_EQ(b.WakuNo, 1);
  EXPECT_EQ(b.SensyuNo, QStringLiteral("3501"));
  EXPECT_EQ(b.SensyuName, S(u"川　上　　昇　平"));
  EXPECT_EQ(b.MotorNo, QStringLiteral("50"));
  EXPECT_EQ(b.BoatNo, QStringLiteral("12"));
  EXPECT_EQ(b.TenjiTime, 6.89f);
  EXPECT_EQ(b.Course, 1);
  EXPECT_EQ(b.StartTiming, 0.08f);
  EXPECT_TRUE(b.StartTimingExists);
  EXPECT_FALSE(b.StartFlying);
  EXPECT_FALSE(b.StartLate);
  EXPECT_EQ(b.StartTimingText, QStringLiteral("0.08"));
  EXPECT_EQ(b.RaceTime, QStringLiteral("1.49.7"));
  EXPECT_EQ(b.RaceTimeSeconds, 109.7f);
}
