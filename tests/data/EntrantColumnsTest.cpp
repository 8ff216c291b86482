// An entrant's line in the printed layout is read at fixed bytes; every other line by walking its
// characters. Lines that fit the layout and lines one byte off it must read alike both ways: the
// same columns as the walk, and the same entrant (or the same refusal) from a whole programme.

#include "data/EntrantColumns.h"
#include "data/cBangumiFile.h"

#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "tests/common/SampleFiles.h"
#include "tests/data/ProgrammeText.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

// "1 3501川上昇平54長崎55B1 4.92 25.30 5.38 33.85 50 30.22 12 36.62 1 2 3 4 5 6  8" as bytes.
QByteArray Printed(const std::function<void(EntrantFields&)>& change = {}) {
  EntrantFields f;
  f.seiseki = QStringLiteral("1 2 3 4 5 6 ");
  if (change) change(f);
  return EncodeSjis(EntrantLine(f));
}

QByteArray Replaced(QByteArray line, qsizetype at, QByteArrayView bytes) {
  return line.replace(at, bytes.size(), bytes.toByteArray());
}

struct LineCase {
  const char* label;
  QByteArray line;
  bool fits;  // read at fixed bytes
  // What the whole programme gives for boat 1 of race 1: the error's words, or these fields.
  const char* error = nullptr;
  const char16_t* no = u"3501";
  const char16_t* name = u"川上昇平";
  int age = 54;
  float zenkoku = 4.92f;
  const char16_t* motor = u"50";
  const char16_t* boat = u"12";
  float boat2 = 36.62f;
  const char16_t* seiseki = u"1 2 3 4 5 6";
  int hayami = 8;
};

std::vector<LineCase> Cases() {
  std::vector<LineCase> c;
  c.push_back({"as printed", Printed(), true});
  c.push_back({"three-digit motor and boat numbers in the separator columns", Printed([](EntrantFields& f) {
                 f.motor = QStringLiteral("160");
                 f.boatNo = QStringLiteral("123");
               }),
               true, nullptr, u"3501", u"川上昇平", 54, 4.92f, u"160", u"123"});
  c.push_back({"no 早見, the line ends after the results", Printed([](EntrantFields& f) { f.hayami.clear(); }), true});
  c.back().hayami = 0;
  c.push_back({"trailing blanks", Printed() + "      ", true});
  c.push_back({"a name whose second bytes are ASCII (表 is 95 5C)",
               Printed([](EntrantFields& f) { f.name = S(u"表ソ上平"); }), true, nullptr, u"3501", u"表ソ上平"});
  c.push_back({"a name with full-width blanks", Printed([](EntrantFields& f) { f.name = S(u"川上　平"); }), true,
               nullptr, u"3501", u"川上　平"});
  c.push_back({"cut right after the birthplace", Printed().first(20), true, "体重"});
  c.push_back({"cut inside the birthplace", Printed().first(19), false, "体重"});
  c.push_back({"a blank before the boat number", " " + Printed(), false});
  c.push_back({"a half-width kana in the name", Printed([](EntrantFields& f) { f.name = S(u"川上昇ｱ"); }), false,
               nullptr, u"3501", u"川上昇ｱ"});
  c.push_back({"a full-width digit in the racer's number", Printed([](EntrantFields& f) { f.no = S(u"350１"); }), false,
               nullptr, u"350１"});
  c.push_back({"a full-width digit in the age", Printed([](EntrantFields& f) { f.age = S(u"5４"); }), false});
  c.push_back({"a full-width blank in the results", Printed([](EntrantFields& f) { f.seiseki = S(u"1 2 3　4 5 6 "); }),
               false, nullptr, u"3501", u"川上昇平", 54, 4.92f, u"50", u"12", 36.62f, u"1 2 3　4 5 6"});
  // A lead byte whose next byte cannot end a pair is a character of its own, one column: the
  // columns after it move by one byte, and the walk reads the line as it always did.
  c.push_back({"a lone lead byte in the name", Replaced(Printed(), 7, "\x7f"), false, "年齢"});
  // A byte outside ASCII after the birthplace, in place of the blank before the boat's rate: one
  // column still, but the rate is no number then.
  c.push_back({"a stray byte after the birthplace", Replaced(Printed(), 58, "\xa0"), false, "ボート２連率"});
  c.push_back({"a stray byte at the end", Printed() + "\xa0", false});
  return c;
}

class EntrantLayout : public ::testing::TestWithParam<LineCase> {};

// The fixed columns are the walked ones, for every cut the readers could ask of the line.
TEST_P(EntrantLayout, ColumnsAreTheWalkedOnes) {
  const LineCase& c = GetParam();
  const std::optional<EntrantColumns> fixed = EntrantColumns::Of(c.line);
  ASSERT_EQ(fixed.has_value(), c.fits);
  if (!fixed) return;
  const SjisColumns walked(c.line);
  ASSERT_EQ(fixed->size(), walked.size());
  for (qsizetype start = -1; start <= walked.size() + 2; ++start) {
    for (qsizetype length = -1; length <= walked.size() + 2; ++length) {
      ASSERT_EQ(fixed->Mid(start, length), walked.Mid(start, length)) << start << " " << length;
    }
  }
}

// The whole programme reads the line to the same entrant, as a card and as a check, or refuses
// it alike with the field's name.
TEST_P(EntrantLayout, ReadsTheSameEntrant) {
  const LineCase& c = GetParam();
  QStringList race = QStringList{RaceHeader(1)} + SixEntrants(4000);
  race[1] = QStringLiteral("@ENTRANT@");
  QByteArray text = SjisLines(Block(QStringLiteral("24"), 1, {race}));
  text.replace("@ENTRANT@", c.line);
  if (c.error) {
    try {
      cBangumiFile::ReadDay(text);
      FAIL() << "read";
    } catch (const RuntimeError& e) {
      EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.error))) << e.description().toStdString();
      try {
        cBangumiFile::StoreBytes(text, QString());
        ADD_FAILURE() << "the check accepts what the reading refuses";
      } catch (const RuntimeError& check) {
        // The check names the file after the reading's words.
        EXPECT_TRUE(check.description().startsWith(e.description())) << check.description().toStdString();
      }
    }
    return;
  }
  const std::vector<cBangumiFile::Card> cards = cBangumiFile::ReadDay(text);
  ASSERT_EQ(cards.size(), 1u);
  const cBangumiFile::Entrant& e = cards[0].races[0].boats[0];
  EXPECT_EQ(e.SensyuNo, S(c.no));
  EXPECT_EQ(e.SensyuName, S(c.name));
  EXPECT_EQ(e.SensyuBirthplace, S(u"長崎"));
  EXPECT_EQ(e.SensyuAge, c.age);
  EXPECT_EQ(e.SensyuWeight, 55);
  EXPECT_EQ(e.SensyuClass, QStringLiteral("B1"));
  EXPECT_EQ(e.SensyuZenkokuSyoritu, c.zenkoku);
  EXPECT_EQ(e.SensyuTochiFSyoritu, 33.85f);
  EXPECT_EQ(e.MotorNo, S(c.motor));
  EXPECT_EQ(e.MotorFSyoritu, 30.22f);
  EXPECT_EQ(e.BoatNo, S(c.boat));
  EXPECT_EQ(e.BoatFSyoritu, c.boat2);
  EXPECT_EQ(e.Seiseki.trimmed(), S(c.seiseki));
  EXPECT_EQ(e.Hayami, c.hayami);
  EXPECT_NO_THROW(cBangumiFile::StoreBytes(text, QString()));
}

INSTANTIATE_TEST_SUITE_P(Lines, EntrantLayout, ::testing::ValuesIn(Cases()), [](const auto& info) {
  std::string name;
  for (const char* p = info.param.label; *p; ++p) {
    if ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9')) name += *p;
  }
  return name + std::to_string(info.index);
});

// A line that is no entrant's has no fixed columns, whatever follows.
TEST(EntrantLayoutStart, OnlyABoatNumberAndABlankStartIt) {
  for (const QByteArray& start : {QByteArray("0 "), QByteArray("7 "), QByteArray("1-"), QByteArray("11"),
                                  QByteArray("  "), EncodeSjis(S(u"Ｒ"))}) {
    QByteArray line = Printed();
    line.replace(0, 2, start);
    EXPECT_FALSE(EntrantColumns::Of(line).has_value()) << start.toHex().toStdString();
  }
  for (char boat = '1'; boat <= '6'; ++boat) {
    QByteArray line = Printed();
    line[0] = boat;
    EXPECT_TRUE(EntrantColumns::Of(line).has_value()) << boat;
  }
}

}  // namespace
