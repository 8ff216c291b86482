#include "platform/LineReader.h"

#include "platform/ByteScan.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace tidewake {

bool LineReader::Next(QByteArrayView& line) {
  const qsizetype n = bytes_.size();
  if (pos_ >= n) return false;
  const char* data = bytes_.data();
  qsizetype end = FindEither(data, pos_, n, '\r', '\n');
  line = bytes_.sliced(pos_, end - pos_);
  if (end < n) {
    // CR LF is one line end; a lone CR or a lone LF is one too.
    end += (data[end] == '\r' && end + 1 < n && data[end + 1] == '\n') ? 2 : 1;
  }
  pos_ = end;
  ++lineNumber_;
  return true;
}

namespace {
constexpr qsizetype kChunk = 64 * 1024;

void OpenForReading(QFile& file, const QString& path) {
  if (!QFileInfo(path).exists()) {
    throw RuntimeError(ErrNo::FileNotFound, QStringLiteral("ファイルが見つかりません: %1").arg(path));
  }
  if (!file.open(QIODevice::ReadOnly)) {
    throw RuntimeError(ErrNo::PathFileAccess,
                       QStringLiteral("ファイルを開けません: %1（%2）").arg(path, file.errorString()));
  }
}

[[noreturn]] void ThrowReadFailure(const QFile& file, const QString& path) {
  throw RuntimeError(ErrNo::DeviceIo,
                     QStringLiteral("ファイルを読み込めません: %1（%2）").arg(path, file.errorString()));
}
}  // namespace

FileLineReader::FileLineReader(const QString& path, qsizetype maxKeep)
    : file_(path), path_(path), maxKeep_(maxKeep < 0 ? 0 : maxKeep) {
  OpenForReading(file_, path_);
}

bool FileLineReader::Fill() {
  if (eof_) return false;
  buffer_.resize(kChunk);
  const qint64 got = file_.read(buffer_.data(), kChunk);
  if (got < 0) ThrowReadFailure(file_, path_);
  buffer_.resize(got);
  pos_ = 0;
  if (got == 0) {
    eof_ = true;
    return false;
  }
  if (pendingCr_) {
    pendingCr_ = false;
    if (buffer_.at(0) == '\n') pos_ = 1;
  }
  return pos_ < buffer_.size() || Fill();
}

bool FileLineReader::Next(QByteArray& line) {
  line.clear();
  lastCut_ = false;
  if (pos_ >= buffer_.size() && !Fill()) return false;
  for (;;) {
    const char* data = buffer_.constData();
    const qsizetype n = buffer_.size();
    qsizetype end = FindEither(data, pos_, n, '\r', '\n');
    const qsizetype room = maxKeep_ - line.size();
    const qsizetype take = std::min(end - pos_, room);
    if (take > 0) line.append(data + pos_, take);
    if (end - pos_ > take) lastCut_ = true;
    if (end < n) {
      if (data[end] == '\r') {
        if (end + 1 < n) {
          end += data[end + 1] == '\n' ? 2 : 1;
        } else {
          ++end;
          pendingCr_ = true;
        }
      } else {
        ++end;
      }
      pos_ = end;
      ++lineNumber_;
      return true;
    }
    pos_ = end;
    if (!Fill()) {
      // A last line without an end.
      ++lineNumber_;
      return true;
    }
  }
}

QByteArray ReadFileBytes(const QString& path) {
  QFile file(path);
  OpenForReading(file, path);
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) ThrowReadFailure(file, path);
  return bytes;
}

QByteArray ReadFileBytes(const QString& path, qint64 maxBytes) {
  QFile file(path);
  OpenForReading(file, path);
  const auto tooLarge = [&] {
    throw RuntimeError(ErrNo::FileTooLarge,
                       QStringLiteral("ファイルが大きすぎます（%1 バイトまで）: %2").arg(maxBytes).arg(path));
  };
  // A regular file says its size: refused before any byte is read.
  if (file.size() > maxBytes) tooLarge();
  QByteArray bytes = file.read(maxBytes + 1);
  if (file.error() != QFileDevice::NoError) ThrowReadFailure(file, path);
  if (bytes.size() > maxBytes) tooLarge();
  return bytes;
}

bool FileExists(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && info.isFile();
}

}  // namespace tidewake
