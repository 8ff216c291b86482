#pragma once

#include "predict/mWinModel.h"

#include <QByteArray>
#include <QDate>
#include <QString>

// The win model's coefficients as a small text file: a header line with the format's name and
// version, what the fit learnt from (its first and last day, the days and the races fitted), then
// the two models, the chances before the exhibition and after it: each the number of its features,
// then one line per feature with its name and its coefficients in the win, second-place and
// third-place logits.
//
//   tidewake-win-coefficients 4
//   fitted 2022-07-01 2023-06-30 days 365 races 58102
//   before features 3
//   course2 -0.61 -0.12 -0.05
//   ...
//   after features 4
//   course2 -0.58 -0.10 -0.06
//   ...
//
// The program ships coefficients fitted on real days as a resource, and uses a user's own file
// (fitted on his history) when it reads whole.
namespace tidewake::mWinCoefficients {

// 3: the file says what the fit learnt from. 4: and holds the chances after the exhibition too.
inline constexpr int kVersion = 4;

// A real file is a few kilobytes: anything much larger is not one, and is refused unread.
inline constexpr qint64 kMaxFileBytes = 256 * 1024;

// What a fit learnt from: the first and last day fitted, the days and the races. Null days and
// zero counts when unknown.
struct Period {
  QDate First, Last;
  int Days = 0, Races = 0;
  // True when the day lies between the first and the last day fitted.
  bool Contains(QDate day) const;
  bool operator==(const Period&) const = default;
};

// The coefficients and what they were fitted on.
struct Model {
  mWinModel::Coefficients Before;  // the chances from the programme and the history
  mWinModel::Coefficients After;   // the same with the exhibition's times and courses
  Period Fitted;
  bool operator==(const Model&) const = default;
};

// The file's text; values written with enough digits to read back exactly.
QByteArray Write(const Model& model);

// Reads a file's text. Throws RuntimeError naming the line and what is wrong with it: another
// format or version, a count that does not match, a missing or non-finite number, a repeated
// name, a text larger than kMaxFileBytes.
Model Read(const QByteArray& text);

// Reads a file (refused unread when larger than kMaxFileBytes) and checks that it names exactly
// the features the program computes. On failure returns false with the reason in strError (the
// file's path and the line).
bool Load(const QString& strPath, Model& model, QString& strError);

// Writes a file atomically (a temporary file renamed over it). False with the reason on failure.
bool Save(const QString& strPath, const Model& model, QString& strError);

// The coefficients the program ships.
const Model& Shipped();

// The user's file when it loads and fits the program's features, else the shipped ones with the
// reason in strError (empty when the user's file was used or there is none).
Model UserOrShipped(const QString& strUserPath, QString& strError);

// Where the user's own fit is kept: WIN.TXT beside the stores.
QString UserPath();

// What to add where a model is scored on a day it was fitted on, for the reader to weigh the
// figure ("学習に使った期間の日です"); empty for a day the fit never saw.
QString FittedDayNote(const Period& fitted, QDate day);

}  // namespace tidewake::mWinCoefficients
