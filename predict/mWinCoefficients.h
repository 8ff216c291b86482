#pragma once

#include "predict/mWinModel.h"

#include <QByteArray>
#include <QString>

// The win model's coefficients as a small text file: a header line with the format's name and
// version, the number of features, then one line per feature with its name and its coefficients
// in the win, second-place and third-place logits.
//
//   tidewake-win-coefficients 2
//   features 3
//   course2 -0.61 -0.12 -0.05
//   ...
//
// The program ships coefficients fitted on a year of real days as a resource, and uses a user's
// own file (fitted on his history) when it reads whole.
namespace tidewake::mWinCoefficients {

// 2: the second- and third-place logits read the win logit's strength of the boats.
inline constexpr int kVersion = 2;

// The file's text; values written with enough digits to read back exactly.
QByteArray Write(const mWinModel::Coefficients& coefficients);

// Reads a file's text. Throws RuntimeError naming the line and what is wrong with it: another
// format or version, a count that does not match, a missing or non-finite number, a repeated
// name.
mWinModel::Coefficients Read(const QByteArray& text);

// Reads a file and checks that it names exactly the features the program computes. On failure
// returns false with the reason in strError (the file's path and the line).
bool Load(const QString& strPath, mWinModel::Coefficients& coefficients, QString& strError);

// Writes a file atomically (a temporary file renamed over it). False with the reason on failure.
bool Save(const QString& strPath, const mWinModel::Coefficients& coefficients, QString& strError);

// The coefficients the program ships.
const mWinModel::Coefficients& Shipped();

// The user's file when it loads and fits the program's features, else the shipped ones with the
// reason in strError (empty when the user's file was used or there is none).
mWinModel::Coefficients UserOrShipped(const QString& strUserPath, QString& strError);

}  // namespace tidewake::mWinCoefficients
