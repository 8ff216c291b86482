#pragma once

#include <QString>
#include <QStringView>

namespace tidewake {

// The display formats of the program, in the picture language of its platform:
//   numbers: "0" a digit always shown, "#" a digit shown only when significant, "." the decimal
//            point, "\x" the character x literally, "..." quoted literals, anything else literal.
//            "0.00" gives 3.50, "00" gives 05, "#着" gives 1着, ".00" gives .15, "+.00" gives +.03,
//            "0:" gives 1:, "##00" gives 2024, "00\#   " gives 12#   .
//   texts:   "@" a character placeholder filled from the right, blank when the text is shorter;
//            "@@@@" right-aligns in four characters, "@@ R" gives " 1 R" for 1. A text longer than
//            the placeholders is shown whole.
// Rounding to the pattern's decimals is done on the value's shortest decimal form, halves away
// from zero: 2.675 with "0.00" gives 2.68. Every finite value is written out in full, however
// large or small (1e64 with "0" gives 1 and 64 zeros); an infinity or a NaN shows as "inf", "nan".
QString FormatNumber(double value, QStringView pattern);
QString FormatNumber(float value, QStringView pattern);
QString FormatNumber(int value, QStringView pattern);
QString FormatText(QStringView text, QStringView pattern);

// The platform's Format of a stored cell or field value: a number pattern applied to a text that
// reads as a number formats the number; a text pattern ("@") formats the text; anything else is
// returned unchanged.
QString FormatValue(QStringView value, QStringView pattern);

// A date text "yyyy/mm/dd" (as the programme store keeps it) in a date pattern of "yyyy", "m",
// "mm", "d", "dd" and literals: "yyyy/m/d" gives 2010/1/5. A text that is no such date is
// returned unchanged.
QString FormatDate(QStringView date, QStringView pattern);

}  // namespace tidewake
