#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tidewake {

// Trimming removes ASCII blanks (U+0020) only. The full-width blank U+3000 is kept: the race files
// pad names and titles with it and their columns are counted with it in place.
QString Trim(QStringView s);
QString LTrim(QStringView s);
QString RTrim(QStringView s);
// Trim without a copy: the view of the text between its leading and trailing ASCII blanks.
QStringView TrimView(QStringView s);
// Where `needle` first starts in `bytes`, or -1: a plain byte search, quicker than Qt's on the
// short lines of the race files.
qsizetype FindBytes(QByteArrayView bytes, QByteArrayView needle);
// The bytes without leading and trailing ASCII blanks: Trim of a line not yet decoded. Inline: the
// readers trim every field of every line with it.
inline QByteArrayView TrimBytes(QByteArrayView b) {
  qsizetype from = 0, to = b.size();
  while (from < to && b[from] == ' ') ++from;
  while (to > from && b[to - 1] == ' ') --to;
  return b.sliced(from, to - from);
}

// How many bytes the characters take in the files' code page (932): one for ASCII and half-width
// katakana, two for the rest. Converts a character column of a decoded line to its byte column.
qsizetype SjisByteCount(QStringView s);

// Trim that also removes U+3000: for the padded fields of the results (a race name "予選　　　　",
// a weather "晴　"), where the padding is no part of the text.
QString TrimPadding(QStringView s);

// Full-width letters, digits and signs U+FF01..U+FF5E become U+0021..U+007E and U+3000 a blank;
// everything else, kana included, is left alone.
QString Narrow(QStringView s);

// ASCII U+0021..U+007E become their full-width forms and a blank U+3000 (boat numbers printed as
// "１" in the result tables).
QString Widen(QStringView s);

// Characters `start`..`start + length - 1`, counted from 1; the part that lies outside the text
// is simply missing, so a short line gives a short (or empty) piece, never a failure.
QString Mid(QStringView s, qsizetype start, qsizetype length);
// Characters from `start` (1-based) to the end.
QString MidToEnd(QStringView s, qsizetype start);
// The last `length` characters (all of them when the text is shorter).
QString Right(QStringView s, qsizetype length);

}  // namespace tidewake
