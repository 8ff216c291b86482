#include "platform/Format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

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

// The shortest decimal form of a value written out in full, from the largest double to the
// smallest, in both precisions. Numbers past 64 digits once came back as stack bytes.
TEST(FormatNumber, EveryMagnitudeInFull) {
  const auto zeros = [](int n) { return QString(n, u'0'); };
  const double dmax = std::numeric_limits<double>::max();
  const double dtiny = std::numeric_limits<double>::denorm_min();
  const float fmax = std::numeric_limits<float>::max();
  const float ftiny = std::numeric_limits<float>::denorm_min();
  const struct {
    double value;
    bool single;
    const char16_t* pattern;
    QString expected;
  } cases[] = {
      {1e64, false, u"0", u'1' + zeros(64)},
      {1e64, false, u"##00", u'1' + zeros(64)},
      {1e64, false, u"0.00", u'1' + zeros(64) + ".00"},
      {9.99e63, false, u"0", "999" + zeros(61)},
      {1e23, false, u"0", u'1' + zeros(23)},  // not its binary expansion 99999999999999991611392
      {123456789012345678.0, false, u"0", "123456789012345680"},
      {dmax, false, u"0", "17976931348623157" + zeros(292)},
      {-dmax, false, u"0.00", "-17976931348623157" + zeros(292) + ".00"},
      {-1e300, false, u"00\\#", "-1" + zeros(300) + "#"},
      {std::numeric_limits<double>::min(), false, u"0.00", "0.00"},
      {dtiny, false, u"0.00", "0.00"},
      {-dtiny, false, u"0.00", "0.00"},
      {dtiny, false, u".00", ".00"},
      {1e-5, false, u"0.00", "0.00"},
      {0.005, false, u"0.00", "0.01"},
      {0.0049, false, u"0.00", "0.00"},
      {0.015, false, u"0.00", "0.02"},
      {fmax, true, u"0", "34028235" + zeros(31)},
      {-fmax, true, u"0.00", "-34028235" + zeros(31) + ".00"},
      {ftiny, true, u"0.00", "0.00"},
      {1e30f, true, u"0", u'1' + zeros(30)},
      {std::numeric_limits<double>::infinity(), false, u"0.00", "inf"},
      {-std::numeric_limits<double>::infinity(), true, u"0.00", "-inf"},
      {std::numeric_limits<double>::quiet_NaN(), false, u"0.00", "nan"},
  };
  for (const auto& c : cases) {
    const QString got =
        c.single ? FormatNumber(static_cast<float>(c.value), c.pattern) : FormatNumber(c.value, c.pattern);
    EXPECT_EQ(got, c.expected) << c.value << (c.single ? " (single) " : " ")
                               << QString::fromUtf16(c.pattern).toStdString();
  }
}

// Any finite double of any magnitude: digits only, and the whole number read back is the value
// rounded (exactly the value once it has no fraction).
TEST(FormatNumber, AnyFiniteDoubleReadsBack) {
  std::mt19937_64 rng(13);
  int checked = 0;
  while (checked < 20000) {
    const std::uint64_t bits = rng();
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    ++checked;
    const QString text = FormatNumber(v, u"0");
    const QString digits = text.startsWith(u'-') ? text.mid(1) : text;
    ASSERT_FALSE(digits.isEmpty()) << v;
    ASSERT_TRUE(std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) << v;
    ASSERT_TRUE(digits == u"0" || digits[0] != u'0') << v;
    const double back = std::strtod(text.toLatin1().constData(), nullptr);
    if (std::fabs(v) >= 0x1p53) {
      ASSERT_EQ(back, v) << text.toStdString();
    } else {
      ASSERT_LE(std::fabs(back - v), 0.5 + std::fabs(v) * 1e-15) << v;
    }
  }
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
  // Number texts of any size, as a cell or a field may hold them.
  EXPECT_EQ(FormatValue(u"1e64", u"0.00"), u'1' + QString(64, u'0') + ".00");
  EXPECT_EQ(FormatValue(S(u"１ｅ６４"), u"##00"), u'1' + QString(64, u'0'));
  EXPECT_EQ(FormatValue(u"1e999", u"0.00"), "1e999");  // beyond a double: shown as it is
}

TEST(FormatDate, DayMonthYear) {
  EXPECT_EQ(FormatDate(u"2010/01/05", u"yyyy/m/d"), "2010/1/5");
  EXPECT_EQ(FormatDate(u"2024/12/31", u"yyyy/m/d"), "2024/12/31");
  EXPECT_EQ(FormatDate(u"0", u"yyyy/m/d"), "0");
}
