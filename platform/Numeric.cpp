#include "platform/Numeric.h"

#include "platform/RuntimeError.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <type_traits>

namespace tidewake {
namespace {

// The number's characters in ASCII, blanks removed from both ends; nothing when a character
// cannot be part of a number at all.
std::optional<std::string> NumberChars(QStringView s) {
  // Plain ASCII, as nearly every field of the race files is: trimmed in place, without the copies
  // that narrowing and trimming make.
  if (std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; })) {
    qsizetype from = 0, to = s.size();
    while (from < to && s[from] == u' ') ++from;
    while (to > from && s[to - 1] == u' ') --to;
    std::string out(static_cast<std::size_t>(to - from), '\0');
    for (qsizetype i = from; i < to; ++i) out[static_cast<std::size_t>(i - from)] = static_cast<char>(s[i].unicode());
    return out;
  }
  const QString t = Trim(Narrow(s));
  std::string out;
  out.reserve(t.size());
  for (QChar c : t) {
    const char16_t u = c.unicode();
    if (u >= 0x80) return std::nullopt;
    out.push_back(static_cast<char>(u));
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?
bool WellFormed(const std::string& s) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && IsDigit(s[i])) ++i, ++digits;
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp = 0;
    while (i < n && IsDigit(s[i])) ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == n;
}

[[noreturn]] void ThrowNotNumber(QStringView s) {
  throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("数値ではありません: \"%1\"").arg(s));
}

[[noreturn]] void ThrowOverflow(double v) {
  throw RuntimeError(ErrNo::Overflow, QStringLiteral("オーバーフローしました: %1").arg(v, 0, 'g', 10));
}

double RoundHalfEven(double v) {
  // nearbyint follows the current rounding mode, which the program never changes from
  // round-to-nearest-even.
  return std::nearbyint(v);
}

// Parses the well-formed number text into T with correct rounding; infinity when out of range.
template <typename T>
std::optional<T> Parse(QStringView s) {
  if (T v; detail::ParseShort(s, v)) return v;
  const auto chars = NumberChars(s);
  if (!chars || !WellFormed(*chars)) return std::nullopt;
  const char* b = chars->data();
  const char* e = b + chars->size();
  if (*b == '+') ++b;
  T v = 0;
  const auto r = std::from_chars(b, e, v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too small rounds to zero; too large is an overflow for the caller to report.
    if (std::fabs(std::strtod(chars->c_str(), nullptr)) < 1) return T(0);
    return (*b == '-') ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::infinity();
  }
  if (r.ec != std::errc() || r.ptr != e) return std::nullopt;
  return v;
}

}  // namespace

std::optional<double> ParseNumber(QStringView s) { return Parse<double>(s); }

bool IsNumeric(QStringView s) { return ParseNumber(s).has_value(); }

std::optional<std::int32_t> PlainWholeNumber(QStringView s) {
  const auto chars = NumberChars(s);
  if (!chars || chars->empty() || !std::all_of(chars->begin(), chars->end(), IsDigit)) return std::nullopt;
  std::int32_t v = 0;
  const auto r = std::from_chars(chars->data(), chars->data() + chars->size(), v);
  if (r.ec != std::errc()) return std::nullopt;
  return v;
}

std::int16_t RoundToInteger(double v) {
  const double r = RoundHalfEven(v);
  if (!(r >= -32768.0 && r <= 32767.0)) ThrowOverflow(v);
  return static_cast<std::int16_t>(r);
}

std::int32_t RoundToLong(double v) {
  const double r = RoundHalfEven(v);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) ThrowOverflow(v);
  return static_cast<std::int32_t>(r);
}

double ToDouble(QStringView s) {
  const auto v = ParseNumber(s);
  if (!v) ThrowNotNumber(s);
  if (!std::isfinite(*v)) ThrowOverflow(*v);
  return *v;
}

std::int16_t ToInteger(QStringView s) { return RoundToInteger(ToDouble(s)); }

std::int32_t ToLong(QStringView s) { return RoundToLong(ToDouble(s)); }

float ToSingle(QStringView s) {
  const auto v = Parse<float>(s);
  if (!v) ThrowNotNumber(s);
  if (!std::isfinite(*v)) ThrowOverflow(ToDouble(s));
  return *v;
}

}  // namespace tidewake
