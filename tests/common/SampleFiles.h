#pragma once

// The real race files beside the project (../shared/data). Tests that read them skip with a
// message when the folder is not there, so the suite passes on any machine.

#include <QString>
#include <QTemporaryDir>

#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

namespace tidewake {
class cBangumiFile;
class cSensyuFile;
}  // namespace tidewake

namespace tidewake::test {

// Full path of a file under the shared data folder ("B/b240101.txt"); empty when it is missing.
QString SharedDataFile(const QString& relative);

// The bytes of a file of ours; fails the test when it cannot be written or read.
void WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

// Text in UTF-8 source form, as Shift_JIS bytes with CR LF line ends ("a\nb" -> "a\r\nb\r\n").
QByteArray SjisLines(const QString& text);

// The venues of a programme file and the racers of a handbook file, read as values through the
// stores' readers: no store is written and the program's folder is left alone. Templates, so that
// only the test programs that use them need the stores.
template <typename Bangumi = ::tidewake::cBangumiFile>
auto ReadProgramme(const QString& path) {
  return Bangumi::ReadDay(ReadBytes(path));
}
template <typename Sensyu = ::tidewake::cSensyuFile>
Sensyu ReadHandbook(const QString& path, QStringList participants) {
  return Sensyu::Read(ReadBytes(path), participants, 0);
}

// A temporary program folder: AppFilePath points into it for the object's lifetime.
class TempAppFolder {
 public:
  TempAppFolder();
  ~TempAppFolder();
  TempAppFolder(const TempAppFolder&) = delete;
  TempAppFolder& operator=(const TempAppFolder&) = delete;
  QString path() const { return dir_.path(); }
  QString file(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

}  // namespace tidewake::test

#define TIDEWAKE_SAMPLE_OR_SKIP(var, relative)                    \
  const QString var = ::tidewake::test::SharedDataFile(relative); \
  if ((var).isEmpty()) GTEST_SKIP() << "sample file not found: ../shared/data/" << QString(relative).toStdString()
