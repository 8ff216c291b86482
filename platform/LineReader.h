#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <limits>

namespace tidewake {

// Splits a file's bytes into lines. CR LF, a lone CR and a lone LF each end a line; a last line
// without an end is a line too, and an empty file has none. The views point into the buffer,
// which must outlive them.
class LineReader {
 public:
  explicit LineReader(QByteArrayView bytes) : bytes_(bytes) {}

  // The next line without its end, or false at the end of the buffer.
  bool Next(QByteArrayView& line);

  // 1-based number of the line Next returned last (0 before the first).
  int LineNumber() const { return lineNumber_; }

  bool AtEnd() const { return pos_ >= bytes_.size(); }

 private:
  QByteArrayView bytes_;
  qsizetype pos_ = 0;
  int lineNumber_ = 0;
};

// Reads a file line by line through a fixed buffer, with the line rules of LineReader, so that
// the memory a read costs does not grow with the file. A line longer than `maxKeep` bytes is
// cut to its first `maxKeep` bytes (the rest is read and dropped), so even a file that is one
// enormous line costs no more than the caller chose to keep.
class FileLineReader {
 public:
  static constexpr qsizetype kKeepAll = std::numeric_limits<qsizetype>::max();

  // Opens the file. Throws RuntimeError: file not found (53) or cannot be opened (75).
  explicit FileLineReader(const QString& path, qsizetype maxKeep = kKeepAll);

  // The next line without its end, or false at the end of the file. Throws RuntimeError (57)
  // when the system reports a read failure.
  bool Next(QByteArray& line);

  int LineNumber() const { return lineNumber_; }

  // True when the line Next returned last was longer than maxKeep.
  bool LastLineCut() const { return lastCut_; }

 private:
  bool Fill();

  QFile file_;
  QString path_;
  qsizetype maxKeep_;
  QByteArray buffer_;
  qsizetype pos_ = 0;
  bool eof_ = false;
  bool pendingCr_ = false;  // a CR ended the buffer: a LF at the start of the next one belongs to it
  int lineNumber_ = 0;
  bool lastCut_ = false;
};

// Reads a whole file. Throws RuntimeError: file not found (53), or a read failure (57) with the
// path and the system's reason.
QByteArray ReadFileBytes(const QString& path);
// The same for a file that is never larger than `maxBytes`: a larger one (or one that grows while
// read) throws RuntimeError (FileTooLarge) having read no more than maxBytes + 1 bytes.
QByteArray ReadFileBytes(const QString& path, qint64 maxBytes);

// True when a regular file (or a link to one) is at the path.
bool FileExists(const QString& path);

}  // namespace tidewake
