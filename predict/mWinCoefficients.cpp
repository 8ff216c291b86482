#include "predict/mWinCoefficients.h"

#include "platform/FileWrite.h"
#include "platform/LineReader.h"
#include "platform/RuntimeError.h"
#include "predict/mWinFeatures.h"

#include <QList>
#include <QSet>

#include <cmath>

namespace tidewake::mWinCoefficients {

namespace {

const QByteArray kMagic = QByteArrayLiteral("tidewake-win-coefficients");
// More lines than any feature set the program could have: a huge count is a damaged file.
constexpr int kMaxFeatures = 10000;

[[noreturn]] void Fail(int line, const QString& what) {
  throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("勝率の係数ファイルの %1 行目: %2").arg(line).arg(what));
}

QString Shown(const QByteArray& text) { return QString::fromUtf8(text.left(60)); }

}  // namespace

QByteArray Write(const mWinModel::Coefficients& c) {
  QByteArray out = kMagic + ' ' + QByteArray::number(kVersion) + '\n';
  out += "features " + QByteArray::number(c.Names.size()) + '\n';
  for (qsizetype i = 0; i < c.Names.size(); ++i) {
    const auto u = static_cast<std::size_t>(i);
    out += c.Names[i].toUtf8();
    for (const std::vector<double>* v : {&c.Win, &c.Second, &c.Third}) {
      out += ' ' + QByteArray::number(u < v->size() ? (*v)[u] : 0.0, 'g', 17);
    }
    out += '\n';
  }
  return out;
}

mWinModel::Coefficients Read(const QByteArray& text) {
  QList<QByteArray> lines = text.split('\n');
  for (QByteArray& l : lines) l = l.trimmed();  // also drops a CR of a file edited elsewhere
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  if (lines.isEmpty()) Fail(1, QStringLiteral("空のファイルです。"));
  const QList<QByteArray> head = lines[0].simplified().split(' ');
  if (head.size() != 2 || head[0] != kMagic) {
    Fail(1, QStringLiteral("勝率の係数ファイルではありません（%1）。").arg(Shown(lines[0])));
  }
  bool ok = false;
  const int version = head[1].toInt(&ok);
  // An older file's second- and third-place coefficients lack the strength of the boats placed.
  if (ok && version >= 1 && version < kVersion) {
    Fail(1,
         QStringLiteral("版 %1 は古い版です（今の版は %2）。勝率を学習し直してください。").arg(version).arg(kVersion));
  }
  if (!ok || version != kVersion)
    Fail(1, QStringLiteral("版 %1 は読めません（読める版は %2）。").arg(Shown(head[1])).arg(kVersion));
  if (lines.size() < 2) Fail(2, QStringLiteral("特徴量の数がありません。"));
  const QList<QByteArray> count = lines[1].simplified().split(' ');
  const int n = count.size() == 2 && count[0] == "features" ? count[1].toInt(&ok) : 0;
  if (!ok || count.size() != 2 || count[0] != "features" || n < 1 || n > kMaxFeatures) {
    Fail(2, QStringLiteral("特徴量の数が読めません（%1）。").arg(Shown(lines[1])));
  }
  if (lines.size() != n + 2) {
    Fail(static_cast<int>(std::min<qsizetype>(lines.size(), n + 2)) + 1,
         QStringLiteral("係数の行が %1 行あります（%2 行のはず）。").arg(lines.size() - 2).arg(n));
  }
  mWinModel::Coefficients c;
  QSet<QString> seen;
  for (int i = 0; i < n; ++i) {
    const int lineNo = i + 3;
    const QList<QByteArray> f = lines[i + 2].simplified().split(' ');
    if (f.size() != 4) Fail(lineNo, QStringLiteral("名前と三つの係数がありません（%1）。").arg(Shown(lines[i + 2])));
    const QString name = QString::fromUtf8(f[0]);
    if (seen.contains(name)) Fail(lineNo, QStringLiteral("特徴量 %1 が二度あります。").arg(name));
    seen.insert(name);
    c.Names << name;
    std::vector<double>* lists[] = {&c.Win, &c.Second, &c.Third};
    for (int k = 0; k < 3; ++k) {
      const double v = f[k + 1].toDouble(&ok);
      if (!ok || !std::isfinite(v)) Fail(lineNo, QStringLiteral("係数が数ではありません（%1）。").arg(Shown(f[k + 1])));
      lists[k]->push_back(v);
    }
  }
  return c;
}

bool Load(const QString& strPath, mWinModel::Coefficients& coefficients, QString& strError) {
  try {
    mWinModel::Coefficients c = Read(ReadFileBytes(strPath));
    if (c.Names != mWinFeatures::CoefficientNames()) {
      strError = strPath + QStringLiteral(": 係数の特徴量がこのプログラムの特徴量と合いません。");
      return false;
    }
    coefficients = std::move(c);
    return true;
  } catch (const RuntimeError& e) {
    strError = strPath + QStringLiteral(": ") + e.description();
    return false;
  }
}

bool Save(const QString& strPath, const mWinModel::Coefficients& coefficients, QString& strError) {
  try {
    FileReplace(strPath, Write(coefficients), QStringLiteral("勝率の係数ファイル"));
  } catch (const RuntimeError& e) {
    strError = e.description();
    return false;
  }
  return true;
}

const mWinModel::Coefficients& Shipped() {
  static const mWinModel::Coefficients shipped = [] {
    mWinModel::Coefficients c;
    QString error;
    // The resource is built from a file checked by the tests; should it ever fail, every boat
    // scores alike rather than the program stopping.
    if (!Load(QStringLiteral(":/predict/win_coefficients.txt"), c, error)) {
      c.Names = mWinFeatures::CoefficientNames();
      const auto n = static_cast<std::size_t>(c.Names.size());
      c.Win.assign(n, 0.0);
      c.Second.assign(n, 0.0);
      c.Third.assign(n, 0.0);
    }
    return c;
  }();
  return shipped;
}

mWinModel::Coefficients UserOrShipped(const QString& strUserPath, QString& strError) {
  strError.clear();
  if (strUserPath.isEmpty() || !FileExists(strUserPath)) return Shipped();
  mWinModel::Coefficients c;
  if (Load(strUserPath, c, strError)) return c;
  return Shipped();
}

}  // namespace tidewake::mWinCoefficients
