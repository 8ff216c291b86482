#include "tests/common/SampleFiles.h"

#include "platform/SjisText.h"
#include "platform/mMyFunc.h"

#include <QFile>
#include <QFileInfo>

namespace tidewake::test {

QString SharedDataFile(const QString& relative) {
  // As on a machine without the folder: the tests that need it skip (how their CTest labels are
  // checked).
  if (qEnvironmentVariableIsSet("TIDEWAKE_NO_SHARED_DATA")) return QString();
  const QString path = QStringLiteral(TIDEWAKE_SHARED_DATA "/") + relative;
  return QFileInfo::exists(path) ? path : QString();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << path.toStdString();
    return {};
  }
  return f.readAll();
}

QByteArray SjisLines(const QString& text) {
  QByteArray out;
  const QStringList lines = text.split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i == lines.size() - 1 && lines[i].isEmpty()) break;
    out += EncodeSjis(lines[i]);
    out += "\r\n";
  }
  return out;
}

TempAppFolder::TempAppFolder() { SetAppFolder(dir_.path()); }
TempAppFolder::~TempAppFolder() { SetAppFolder(QString()); }

}  // namespace tidewake::test
