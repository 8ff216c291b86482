#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace tidewake {

// Numbers as the race files write them: optional blanks around an optional sign, digits with an
// optional decimal point ("4.92", " 25.30", ".15", "7."), an optional exponent. Full-width digits,
// signs and blanks count as their ASCII forms ("　１" is 1), so the day number of a programme's
// date line reads as it is printed.
bool IsNumeric(QStringView s);

// The value of a numeric text, or nothing.
std::optional<double> ParseNumber(QStringView s);

// A field of a line not yet decoded, in the short form nearly every number of the race files has:
// ASCII blanks around an optional sign and digits with at most one point (" 4.92", "25.30", " 8"),
// few enough digits to be exact. The value ParseNumber (ShortNumber) or ToSingle (ShortSingle)
// gives for the same characters, computed by the same routine; nothing for any other bytes (a
// blank field, an exponent, a byte outside ASCII), which the caller then reads as text.
std::optional<double> ShortNumber(QByteArrayView field);
std::optional<float> ShortSingle(QByteArrayView field);

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
