#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>

namespace tidewake {

// Numbers as the race files write them: optional blanks around an optional sign, digits with an
// optional decimal point ("4.92", " 25.30", ".15", "7."), an optional exponent. Full-width digits,
// signs and blanks count as their ASCII forms ("　１" is 1), so the day number of a programme's
// date line reads as it is printed.
bool IsNumeric(QStringView s);

// The value of a numeric text, or nothing.
std::optional<double> ParseNumber(QStringView s);

namespace detail {

// The common field "  5.43": ASCII blanks, a sign, digits with at most one point, no exponent,
// and few enough digits that the digits as a whole number and the power of ten to divide by are
// both exact in T. One division of two exact values is then correctly rounded, as from_chars
// would round. False when the text is of any other shape (the full path reads it then). The value
// comes back through `out`: an optional returned from the call went through memory in two parts
// and was read back whole, which stalled every caller.
template <typename T, typename View>
bool ParseShort(View s, T& out) {
  constexpr std::uint64_t kExactBelow = std::uint64_t{1} << std::numeric_limits<T>::digits;
  constexpr int kMaxScale = std::numeric_limits<T>::digits == 24 ? 10 : 22;  // 5^k exact in T
  // The powers of ten up to kMaxScale, each exact in T.
  static constexpr auto kPowers = [] {
    std::array<T, kMaxScale + 1> p{};
    T v = 1;
    for (auto& x : p) {
      x = v;
      v *= 10;
    }
    return p;
  }();
  const auto* d = s.data();
  const auto at = [d](qsizetype k) -> std::uint32_t {
    if constexpr (std::is_same_v<View, QStringView>) {
      return d[k].unicode();
    } else {
      return static_cast<unsigned char>(d[k]);
    }
  };
  qsizetype i = 0, n = s.size();
  while (i < n && at(i) == ' ') ++i;
  while (n > i && at(n - 1) == ' ') --n;
  bool negative = false;
  if (i < n && (at(i) == '+' || at(i) == '-')) negative = at(i++) == '-';
  std::uint64_t digits = 0;
  int count = 0;
  qsizetype point = -1;
  for (; i < n; ++i) {
    const std::uint32_t c = at(i);
    if (c - '0' <= 9) {
      digits = digits * 10 + (c - '0');
      if (digits >= kExactBelow) return false;
      ++count;
    } else if (c == '.' && point < 0) {
      point = i;
    } else {
      return false;
    }
  }
  // Every character after the point is a digit.
  const qsizetype scale = point < 0 ? 0 : n - 1 - point;
  if (count == 0 || scale > kMaxScale) return false;
  const T v = static_cast<T>(digits) / kPowers[static_cast<std::size_t>(scale)];
  out = negative ? -v : v;
  return true;
}

}  // namespace detail

// A field of a line not yet decoded, in the short form nearly every number of the race files has:
// ASCII blanks around an optional sign and digits with at most one point (" 4.92", "25.30", " 8"),
// few enough digits to be exact. The value ParseNumber (ShortNumber) or ToSingle (ShortSingle)
// gives for the same characters, computed by the same routine; nothing for any other bytes (a
// blank field, an exponent, a byte outside ASCII), which the caller then reads as text. Inline:
// the readers take every number of every line through them, and returning the optional from a
// call through memory cost more than reading the digits.
inline std::optional<double> ShortNumber(QByteArrayView field) {
  double v;
  if (detail::ParseShort(field, v)) return v;
  return std::nullopt;
}
inline std::optional<float> ShortSingle(QByteArrayView field) {
  float v;
  if (detail::ParseShort(field, v)) return v;
  return std::nullopt;
}

// The two commonest shapes of the figures, read without the general routine: blanks, one to five
// digits, a point and two digits (" 4.92", "25.30"); blanks and one to four digits (" 8", "54").
// The value ShortSingle (the digits as one whole number, divided by 100) or ShortNumber gives the
// same bytes, to the bit; false for any other bytes, which the caller reads as before.
inline bool TwoPlaceSingle(QByteArrayView field, float& out) {
  const char* p = field.data();
  const qsizetype n = field.size();
  const auto digit = [p](qsizetype k) { return p[k] >= '0' && p[k] <= '9'; };
  if (n < 4 || p[n - 3] != '.' || !digit(n - 2) || !digit(n - 1)) return false;
  qsizetype k = 0;
  while (k < n - 3 && p[k] == ' ') ++k;
  if (k == n - 3 || n - 3 - k > 5) return false;
  std::uint32_t digits = 0;
  for (; k < n - 3; ++k) {
    if (!digit(k)) return false;
    digits = digits * 10 + static_cast<std::uint32_t>(p[k] - '0');
  }
  digits = digits * 100 + static_cast<std::uint32_t>((p[n - 2] - '0') * 10 + (p[n - 1] - '0'));
  out = static_cast<float>(digits) / 100.0f;
  return true;
}
inline bool SmallWhole(QByteArrayView field, std::int16_t& out) {
  const char* p = field.data();
  const qsizetype n = field.size();
  qsizetype k = 0;
  while (k < n && p[k] == ' ') ++k;
  if (k == n || n - k > 4) return false;
  std::int16_t v = 0;
  for (; k < n; ++k) {
    if (p[k] < '0' || p[k] > '9') return false;
    v = static_cast<std::int16_t>(v * 10 + (p[k] - '0'));
  }
  out = v;
  return true;
}

// A whole number written plainly: digits only (ASCII or full-width), blanks around them allowed,
// no sign, point or exponent ("　１" and " 12" are; "1e3", "+1", "2.0" are not). Nothing when the
// text is no such number or the value does not fit 32 bits.
std::optional<std::int32_t> PlainWholeNumber(QStringView s);

// Conversion to the nearest value, halves to even (2.5 gives 2, 3.5 gives 4), as every conversion
// to an integer in the program rounds. Throws RuntimeError Overflow (6) outside the type's range.
std::int16_t RoundToInteger(double v);
std::int32_t RoundToLong(double v);

// Text conversions. Each throws RuntimeError: TypeMismatch (13) when the text is not a number,
// Overflow (6) when the value does not fit. The description names the text found.
std::int16_t ToInteger(QStringView s);
std::int32_t ToLong(QStringView s);
float ToSingle(QStringView s);
double ToDouble(QStringView s);

// Int(): the largest whole number not above v.
inline double IntFloor(double v);

}  // namespace tidewake

#include <cmath>

inline double tidewake::IntFloor(double v) { return std::floor(v); }
