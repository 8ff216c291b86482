#include "platform/Numeric.h"
#include "platform/RuntimeError.h"
#include "tests/common/ExpectRuntimeError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

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
  EXPECT_RUNTIME_ERROR(ToInteger(u"32768"), ErrNo::Overflow);
  EXPECT_RUNTIME_ERROR(ToInteger(u"x.yz"), ErrNo::TypeMismatch, QStringLiteral("数値ではありません: \"x.yz\""));
}

TEST(ToSingle, ParsesToTheNearestFloat) {
  EXPECT_EQ(ToSingle(u" 4.92"), 4.92f);
  EXPECT_EQ(ToSingle(u"67.30"), 67.3f);
  EXPECT_EQ(ToSingle(u"0.00"), 0.0f);
  EXPECT_EQ(ToSingle(u"1e-60"), 0.0f);
  EXPECT_THROW(ToSingle(u"1e39"), RuntimeError);
  EXPECT_THROW(ToSingle(u""), RuntimeError);
}

// Every decimal a field may hold, whatever its digits, points and blanks, rounds as the standard
// library rounds it, in float and double alike (short texts take a faster road than long ones,
// and fields not yet decoded the same road on their bytes).
TEST(ToSingle, RoundsEveryDecimalAsTheStandardLibrary) {
  std::mt19937 random(932);
  const char alphabet[] = "0123456789.-+ e";
  for (int i = 0; i < 200000; ++i) {
    std::string text(1 + random() % 16, ' ');
    // Mostly digits and a point, sometimes a sign, a blank or an exponent where it does not belong.
    for (char& c : text) c = alphabet[random() % (i % 4 == 0 ? 15 : 11)];
    const QString s = QString::fromLatin1(text);
    std::string plain = s.trimmed().toStdString();
    if (!plain.empty() && plain[0] == '+') plain.erase(0, 1);
    float f = 0;
    double d = 0;
    const auto rf = std::from_chars(plain.data(), plain.data() + plain.size(), f);
    const auto rd = std::from_chars(plain.data(), plain.data() + plain.size(), d);
    const auto parsed = ParseNumber(s);
    // The same field not yet decoded: when the short road reads it, it reads what the text gives,
    // bit for bit; it reads every plain decimal without an exponent of up to seven digits.
    const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
    const auto shortNumber = ShortNumber(bytes);
    const auto shortSingle = ShortSingle(bytes);
    if (shortNumber) {
      ASSERT_TRUE(parsed) << text;
      EXPECT_EQ(std::bit_cast<std::uint64_t>(*shortNumber), std::bit_cast<std::uint64_t>(*parsed)) << text;
    }
    if (shortSingle) {
      EXPECT_EQ(std::bit_cast<std::uint32_t>(*shortSingle), std::bit_cast<std::uint32_t>(ToSingle(s))) << text;
    }
    const bool plain7 = parsed && text.find('e') == std::string::npos &&
                        std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) <= 7;
    if (plain7) {
      EXPECT_TRUE(shortNumber && shortSingle) << text;
    }
    if (parsed && rd.ec == std::errc() && std::isfinite(*parsed)) {
      EXPECT_EQ(rd.ptr, plain.data() + plain.size()) << text;
      EXPECT_EQ(*parsed, d) << text;
      EXPECT_EQ(std::signbit(*parsed), std::signbit(d)) << text;
      if (rf.ec == std::errc()) {
        EXPECT_EQ(ToSingle(s), f) << text;
      }
    }
  }
  EXPECT_EQ(ToSingle(u"16777217"), 16777216.0f);    // past the digits a float holds exactly
  EXPECT_EQ(ToSingle(u"0.30000001"), 0.30000001f);  // more decimals than the short road takes
  EXPECT_TRUE(std::signbit(ToSingle(u" -0.00")));
}

TEST(RoundToLong, HalvesToEven) {
  EXPECT_EQ(RoundToLong(0.5), 0);
  EXPECT_EQ(RoundToLong(1.5), 2);
  EXPECT_EQ(RoundToLong(200.5), 200);
  EXPECT_EQ(RoundToLong(-1.5), -2);
  EXPECT_EQ(RoundToInteger(401.0 / 2), 200);
  EXPECT_THROW(RoundToLong(3e9), RuntimeError);
}

// The two commonest shapes read outside the general routine: every text of up to eight bytes made
// of blanks, digits, a point and a sign reads to the general routine's value wherever the shortcut
// takes it, and the shortcut takes each shape it is for.
TEST(ShortShapes, GiveTheGeneralRoutinesValue) {
  const std::string alphabet = " 09.-5";
  std::string text;
  std::int64_t taken = 0;
  for (int length = 0; length <= 8; ++length) {
    std::int64_t count = 1;
    for (int i = 0; i < length; ++i) count *= static_cast<std::int64_t>(alphabet.size());
    for (std::int64_t code = 0; code < count; ++code) {
      text.assign(static_cast<std::size_t>(length), ' ');
      for (std::int64_t c = code, i = 0; i < length; ++i, c /= static_cast<std::int64_t>(alphabet.size())) {
        text[static_cast<std::size_t>(i)] = alphabet[static_cast<std::size_t>(c % alphabet.size())];
      }
      const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
      float single = -1;
      if (TwoPlaceSingle(bytes, single)) {
        ++taken;
        const auto general = ShortSingle(bytes);
        ASSERT_TRUE(general.has_value()) << text;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(single), std::bit_cast<std::uint32_t>(*general)) << text;
      }
      std::int16_t whole = -1;
      if (SmallWhole(bytes, whole)) {
        const auto general = ShortNumber(bytes);
        ASSERT_TRUE(general.has_value()) << text;
        ASSERT_EQ(whole, RoundToInteger(*general)) << text;
      }
    }
  }
  EXPECT_GT(taken, 0);
  const struct {
    const char* text;
    bool twoPlaces, whole;
  } kShapes[] = {{" 4.92", true, false},      {"25.30", true, false}, {"99999.99", true, false},
                 {"100000.00", false, false}, {" 4.9", false, false}, {"4.92 ", false, false},
                 {" 8", false, true},         {"54", false, true},    {"9999", false, true},
                 {"10000", false, false},     {"  ", false, false},   {"", false, false},
                 {"-5", false, false},        {"5 ", false, false}};
  for (const auto& s : kShapes) {
    float single;
    std::int16_t whole;
    EXPECT_EQ(TwoPlaceSingle(QByteArrayView(s.text), single), s.twoPlaces) << s.text;
    EXPECT_EQ(SmallWhole(QByteArrayView(s.text), whole), s.whole) << s.text;
  }
}
