#include "platform/Format.h"

#include <gtest/gtest.h>

using namespace tidewake;

namespace {
QString S(const char16_t* s) { return QString::fromUtf16(s); }
}  // namespace

TEST(FormatNumber, ThePatternsTheProgramUses) {
  EXPECT_EQ(FormatNumber(3.5, u"0.00"), "3.50");
  EXPECT_EQ(FormatNumber(67.3f, u"0.00"), "67.30");
  EXPECT_EQ(FormatNumber(2.675, u"0.00"), "2.68");
  EXPECT_EQ(FormatNumber(0.0, u"0.00"), "0.00");
  EXPECT_EQ(FormatNumber(99.995, u"0.00"), "100.00");
  EXPECT_EQ(FormatNumber(5, u"00"), "05");
  EXPECT_EQ(FormatNumber(123, u"00"), "123");
  EXPECT_EQ(FormatNumber(2024, u"##00"), "2024");
  EXPECT_EQ(FormatNumber(4, u"##00"), "04");
  EXPECT_EQ(FormatNumber(12, u"00\\#   "), "12#   ");
  EXPECT_EQ(FormatNumber(3, u"00\\#   "), "03#   ");
  EXPECT_EQ(FormatNumber(1, u"#着"), S(u"1着"));
  EXPECT_EQ(FormatNumber(0.15f, u".00"), ".15");
  EXPECT_EQ(FormatNumber(1.2f, u".00"), "1.20");
  EXPECT_EQ(FormatNumber(0.03f, u"+.00"), "+.03");
  EXPECT_EQ(FormatNumber(1.2f, u"+.00"), "+1.20");
  EXPECT_EQ(FormatNumber(-0.03f, u".00"), "-.03");
  EXPECT_EQ(FormatNumber(1, u"0:"), "1:");
  EXPECT_EQ(FormatNumber(9, u"00:"), "09:");
  EXPECT_EQ(FormatNumber(8, u"0"), "8");
  EXPECT_EQ(FormatNumber(-0.001, u"0.00"), "0.00");
}

TEST(FormatText, PlaceholdersFillFromTheRight) {
  EXPECT_EQ(FormatText(u"1", u"@@ R"), " 1 R");
  EXPECT_EQ(FormatText(u"12", u"@@ R"), "12 R");
  EXPECT_EQ(FormatText(u"123", u"@@ R"), "123 R");
  EXPECT_EQ(FormatText(u".15", u"@@@@"), " .15");
  EXPECT_EQ(FormatText(u"+1.20", u"@@@@"), "+1.20");
  EXPECT_EQ(FormatNumber(12, u"@@ R"), "12 R");
}

TEST(FormatValue, NumbersFormatOtherTextStays) {
  EXPECT_EQ(FormatValue(u"3.5", u"0.00"), "3.50");
  EXPECT_EQ(FormatValue(u"3.5", u""), "3.5");
  EXPECT_EQ(FormatValue(u"A1", u"0.00"), "A1");
  EXPECT_EQ(FormatValue(u"", u"0.00"), "");
}

TEST(FormatDate, DayMonthYear) {
  EXPECT_EQ(FormatDate(u"2010/01/05", u"yyyy/m/d"), "2010/1/5");
  EXPECT_EQ(FormatDate(u"2024/12/31", u"yyyy/m/d"), "2024/12/31");
  EXPECT_EQ(FormatDate(u"0", u"yyyy/m/d"), "0");
}
