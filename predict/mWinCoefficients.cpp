#include "predict/mWinCoefficients.h"

#include "platform/FileWrite.h"
#include "platform/LineReader.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"
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

namespace {

// The models a file holds, in its order.
struct Section {
  const char* Name;
  mWinModel::Coefficients Model::*Member;
};
constexpr Section kSections[] = {{"before", &Model::Before}, {"after", &Model::After}};

}  // namespace

QByteArray Write(const Model& model) {
  const auto day = [](QDate d) { return d.isValid() ? d.toString(Qt::ISODate).toUtf8() : QByteArray("-"); };
  QByteArray out = kMagic + ' ' + QByteArray::number(kVersion) + '\n';
  out += "fitted " + day(model.Fitted.First) + ' ' + day(model.Fitted.Last) + " days " +
         QByteArray::number(model.Fitted.Days) + " races " + QByteArray::number(model.Fitted.Races) + '\n';
  for (const Section& section : kSections) {
    const mWinModel::Coefficients& c = model.*section.Member;
    out += QByteArray(section.Name) + " features " + QByteArray::number(c.Names.size()) + '\n';
    for (qsizetype i = 0; i < c.Names.size(); ++i) {
      const auto u = static_cast<std::size_t>(i);
      out += c.Names[i].toUtf8();
      for (const std::vector<double>* v : {&c.Win, &c.Second, &c.Third}) {
        out += ' ' + QByteArray::number(u < v->size() ? (*v)[u] : 0.0, 'g', 17);
      }
      out += '\n';
    }
  }
  return out;
}

namespace {

// "fitted 2022-07-01 2023-06-30 days 365 races 58102"; "-" for a day not known.
Period ReadPeriod(const QByteArray& line, int lineNo) {
  const QList<QByteArray> f = line.simplified().split(' ');
  const auto fail = [&] { Fail(lineNo, QStringLiteral("学習した期間が読めません（%1）。").arg(Shown(line))); };
  if (f.size() != 7 || f[0] != "fitted" || f[3] != "days" || f[5] != "races") fail();
  Period p;
  for (int i : {1, 2}) {
    if (f[i] == "-") continue;
    const QDate d = QDate::fromString(QString::fromLatin1(f[i]), Qt::ISODate);
    if (!d.isValid()) fail();
    (i == 1 ? p.First : p.Last) = d;
  }
  bool okDays = false, okRaces = false;
  p.Days = f[4].toInt(&okDays);
  p.Races = f[6].toInt(&okRaces);
  if (!okDays || !okRaces || p.Days < 0 || p.Races < 0 || p.First.isValid() != p.Last.isValid() ||
      (p.First.isValid() && p.First > p.Last)) {
    fail();
  }
  return p;
}

// One model's section from line `at` (0-based): its head "before features N" and N lines.
mWinModel::Coefficients ReadSection(const QList<QByteArray>& lines, qsizetype& at, const char* name) {
  const int headNo = static_cast<int>(at) + 1;
  if (at >= lines.size()) Fail(headNo, QStringLiteral("%1 の係数がありません。").arg(QLatin1String(name)));
  const QList<QByteArray> head = lines[at].simplified().split(' ');
  bool ok = false;
  const int n = head.size() == 3 && head[0] == name && head[1] == "features" ? head[2].toInt(&ok) : 0;
  if (!ok || n < 1 || n > kMaxFeatures) {
    Fail(headNo, QStringLiteral("%1 の特徴量の数が読めません（%2）。").arg(QLatin1String(name), Shown(lines[at])));
  }
  ++at;
  mWinModel::Coefficients c;
  QSet<QString> seen;
  for (int i = 0; i < n; ++i, ++at) {
    const int lineNo = static_cast<int>(at) + 1;
    if (at >= lines.size()) {
      Fail(lineNo, QStringLiteral("%1 の係数の行が %2 行しかありません（%3 行のはず）。")
                       .arg(QLatin1String(name))
                       .arg(i)
                       .arg(n));
    }
    const QByteArray& line = lines[at];
    const QList<QByteArray> f = line.simplified().split(' ');
    if (f.size() != 4) Fail(lineNo, QStringLiteral("名前と三つの係数がありません（%1）。").arg(Shown(line)));
    const QString feature = QString::fromUtf8(f[0]);
    if (seen.contains(feature)) Fail(lineNo, QStringLiteral("特徴量 %1 が二度あります。").arg(Shown(f[0])));
    seen.insert(feature);
    c.Names << feature;
    std::vector<double>* lists[] = {&c.Win, &c.Second, &c.Third};
    for (int k = 0; k < 3; ++k) {
      const double v = f[k + 1].toDouble(&ok);
      if (!ok || !std::isfinite(v)) Fail(lineNo, QStringLiteral("係数が数ではありません（%1）。").arg(Shown(f[k + 1])));
      lists[k]->push_back(v);
    }
  }
  return c;
}

}  // namespace

Model Read(const QByteArray& text) {
  if (text.size() > kMaxFileBytes) {
    Fail(1, QStringLiteral("%1 バイトあります。勝率の係数ファイルは %2 バイトまでです。")
                .arg(text.size())
                .arg(kMaxFileBytes));
  }
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
  // An older file lacks what a newer program reads: its own fit is the way forward.
  if (ok && version >= 1 && version < kVersion) {
    Fail(1,
         QStringLiteral("版 %1 は古い版です（今の版は %2）。勝率を学習し直してください。").arg(version).arg(kVersion));
  }
  if (!ok || version != kVersion)
    Fail(1, QStringLiteral("版 %1 は読めません（読める版は %2）。").arg(Shown(head[1])).arg(kVersion));
  if (lines.size() < 2) Fail(2, QStringLiteral("学習した期間がありません。"));
  Model model;
  model.Fitted = ReadPeriod(lines[1], 2);
  qsizetype at = 2;
  for (const Section& section : kSections) model.*section.Member = ReadSection(lines, at, section.Name);
  if (at < lines.size())
    Fail(static_cast<int>(at) + 1, QStringLiteral("係数のあとに余分な行があります（%1）。").arg(Shown(lines[at])));
  return model;
}

bool Load(const QString& strPath, Model& model, QString& strError) {
  try {
    Model m = Read(ReadFileBytes(strPath, kMaxFileBytes));
    if (m.Before.Names != mWinFeatures::CoefficientNames(mWinFeatures::BeforeSet()) ||
        m.After.Names != mWinFeatures::CoefficientNames(mWinFeatures::AfterSet())) {
      strError = strPath + QStringLiteral(": 係数の特徴量がこのプログラムの特徴量と合いません。");
      return false;
    }
    model = std::move(m);
    return true;
  } catch (const RuntimeError& e) {
    strError = strPath + QStringLiteral(": ") + e.description();
    return false;
  }
}

bool Save(const QString& strPath, const Model& model, QString& strError) {
  try {
    FileReplace(strPath, Write(model), QStringLiteral("勝率の係数ファイル"));
  } catch (const RuntimeError& e) {
    strError = e.description();
    return false;
  }
  return true;
}

const Model& Shipped() {
  static const Model shipped = [] {
    Model m;
    QString error;
    // The resource is built from a file checked by the tests; should it ever fail, every boat
    // scores alike rather than the program stopping.
    if (!Load(QStringLiteral(":/predict/win_coefficients.txt"), m, error)) {
      m = {};
      for (const auto& [c, set] :
           {std::pair{&m.Before, mWinFeatures::BeforeSet()}, {&m.After, mWinFeatures::AfterSet()}}) {
        c->Names = mWinFeatures::CoefficientNames(set);
        const auto n = static_cast<std::size_t>(c->Names.size());
        c->Win.assign(n, 0.0);
        c->Second.assign(n, 0.0);
        c->Third.assign(n, 0.0);
      }
    }
    return m;
  }();
  return shipped;
}

Model UserOrShipped(const QString& strUserPath, QString& strError) {
  strError.clear();
  if (strUserPath.isEmpty() || !FileExists(strUserPath)) return Shipped();
  Model m;
  if (Load(strUserPath, m, strError)) return m;
  return Shipped();
}

bool Period::Contains(QDate day) const {
  return First.isValid() && Last.isValid() && day.isValid() && day >= First && day <= Last;
}

QString FittedDayNote(const Period& fitted, QDate day) {
  return fitted.Contains(day) ? QStringLiteral("（学習に使った期間の日です）") : QString();
}

QString UserPath() { return AppFilePath(QStringLiteral("WIN.TXT")); }

}  // namespace tidewake::mWinCoefficients
