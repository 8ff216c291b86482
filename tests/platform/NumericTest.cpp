#include "platform/Numeric.h"
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

using namespace tidewake;

TEST(IsNumeric, NumbersAsTheFilesWriteThem) {
  for (const char16_t* s : {u"4.92", u" 25.30", u"0.00", u"100.00", u" 8", u"54", u".15", u"7.", u"-3", u"+2", u"1e3",
                            u"　１", u"１２", u" 7 "}) {
    EXPECT_TRUE(IsNumeric(QString::fromUtf16(s))) << QString::fromUtf16(s).toStdString();
  }
  for (const char16_t* s :
       {u"", u"  ", u"x.yz", u"A1", u"1 2", u"1.2.3", u".", u"-", u"1e", u"12a", u"長崎", u"9.57100.00"}) {
    EXPECT_FALSE(IsNumeric(QString::fromUtf16(s))) << QString::fromUtf16(s).toStdString();
  }
}

TEST(PlainWholeNumber, DigitsWithBlanksAroundThemOnly) {
  const struct {
    const char16_t* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {u"2024", 2024},
      {u" 1", 1},
      {u"　１", 1},
      {u"２０２４", 2024},
      {u"07 ", 7},
      {u"0", 0},
      {u"2147483647", 2147483647},
      {u"2147483648", {}},
      {u"1e64", {}},
      {u"１ｅ６４", {}},
      {u"+1", {}},
      {u"-1", {}},
      {u"2.0", {}},
      {u"1 2", {}},
      {u"", {}},
      {u"  ", {}},
      {u"x", {}},
      {u"٣", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlainWholeNumber(QString::fromUtf16(c.text)), c.value) << QString::fromUtf16(c.text).toStdString();
  }
}

TEST(ToInteger, RoundsHalvesToEvenAndChecksTheRange) {
  EXPECT_EQ(ToInteger(u" 54 "), 54);
  EXPECT_EQ(ToInteger(u"2.5"), 2);
  EXPECT_EQ(ToInteger(u"3.5"), 4);
  EXPECT_EQ(ToInteger(u"-2.5"), -2);
  EXPECT_EQ(ToInteger(u"32767"), 32767);
  EXPECT_EQ(ToInteger(u"-32768"), -32768);
  try {
    ToInteger(u"32768");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrNo::Overflow);
  }
  try {
    ToInteger(u"x.yz");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrNo::TypeMismatch);
    EXPECT_EQ(e.description(), QStringLiteral("数値ではありません: \"x.yz\""));
  }
}

TEST(ToSingle, ParsesToTheNearestFloat) {
  EXPECT_EQ(ToSingle(u" 4.92"), 4.92f);
  EXPECT_EQ(ToSingle(u"67.30"), 67.3f);
  EXPECT_EQ(ToSingle(u"0.00"), 0.0f);
  EXPECT_EQ(ToSingle(u"1e-60"), 0.0f);
  EXPECT_THROW(ToSingle(u"1e39"), RuntimeError);
  EXPECT_THROW(ToSingle(u""), RuntimeError);
}

TEST(RoundToLong, HalvesToEven) {
  EXPECT_EQ(RoundToLong(0.5), 0);
  EXPECT_EQ(RoundToLong(1.5), 2);
  EXPECT_EQ(RoundToLong(200.5), 200);
  EXPECT_EQ(RoundToLong(-1.5), -2);
  EXPECT_EQ(RoundToInteger(401.0 / 2), 200);
  EXPECT_THROW(RoundToLong(3e9), RuntimeError);
}
