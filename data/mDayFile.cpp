#include "data/mDayFile.h"

#include "data/mSensyuStore.h"
#include "platform/FileWrite.h"
#include "platform/LineReader.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

#include <QFile>
#include <QFileInfo>

namespace tidewake {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "START<mark>", or a venue's "NN<mark>BGN", at the start of the line.
bool StartsDay(QByteArrayView line, char mark) {
  if (line.size() >= 6 && line.startsWith("START") && line[5] == mark) return true;
  return line.size() >= 6 && IsDigit(line[0]) && IsDigit(line[1]) && line[2] == mark &&
         line.sliced(3).startsWith("BGN");
}

DayFileKind KindOfName(ArchiveKind kind) {
  switch (kind) {
    case ArchiveKind::Programme:
      return DayFileKind::Programme;
    case ArchiveKind::FanHandbook:
      return DayFileKind::FanHandbook;
    case ArchiveKind::Results:
      return DayFileKind::Results;
  }
  return DayFileKind::Other;
}

}  // namespace

DayFileKind DayFileKindOf(QByteArrayView bytes) {
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' ' || c == '\r' || c == '\n'; })) {
    return DayFileKind::Empty;
  }
  if (bytes.contains('\0')) return DayFileKind::Other;
  LineReader lines(bytes);
  QByteArrayView line;
  while (lines.Next(line)) {
    if (StartsDay(line, 'B')) return DayFileKind::Programme;
    if (StartsDay(line, 'K')) return DayFileKind::Results;
  }
  return SensyuBytesProblem(bytes.toByteArray()).isEmpty() ? DayFileKind::FanHandbook : DayFileKind::Other;
}

QByteArray ChosenFileRead(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    throw RuntimeError(ErrNo::FileNotFound, QStringLiteral("ファイルが見つかりません: %1").arg(path));
  }
  // Checked before opening: a device or a pipe would be read without end, or block the window.
  if (!info.isFile()) {
    throw RuntimeError(ErrNo::NotATextFile,
                       QStringLiteral("ファイルではありません（フォルダや装置は開けません）: %1").arg(path));
  }
  if (info.size() > kMaxDayFileBytes) {
    throw RuntimeError(
        ErrNo::NotATextFile,
        QStringLiteral("%1 MiB を超えるファイルは読めません: %2").arg(kMaxDayFileBytes / (1024 * 1024)).arg(path));
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw RuntimeError(ErrNo::PathFileAccess,
                       QStringLiteral("ファイルを読めません: %1（%2）").arg(path, file.errorString()));
  }
  // At most one byte over the cap is read: a file that grew since it was looked at is refused too.
  // The first read asks for the size the file has now and one byte more (a read takes room for
  // all it asks first); only a file that grew meanwhile is read on.
  const qsizetype hint = std::min<qsizetype>(std::max<qint64>(file.size(), 0), kMaxDayFileBytes) + 1;
  QByteArray bytes = file.read(hint);
  if (file.error() == QFileDevice::NoError && bytes.size() == hint && hint <= kMaxDayFileBytes) {
    bytes += file.read(kMaxDayFileBytes + 1 - hint);
  }
  if (file.error() != QFileDevice::NoError) {
    throw RuntimeError(ErrNo::DeviceIo, QStringLiteral("ファイルを読めません: %1（%2）").arg(path, file.errorString()));
  }
  if (bytes.size() > kMaxDayFileBytes) {
    throw RuntimeError(
        ErrNo::NotATextFile,
        QStringLiteral("%1 MiB を超えるファイルは読めません: %2").arg(kMaxDayFileBytes / (1024 * 1024)).arg(path));
  }
  return bytes;
}

DayFile DayFileOpen(const QString& path, std::optional<ArchiveKind> wanted) {
  QByteArray bytes = ChosenFileRead(path);
  if (!HasArchiveSuffix(path) && !LooksLikeArchive(QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 8)))) {
    const DayFileKind kind = DayFileKindOf(bytes);
    return DayFile{path, std::move(bytes), kind};
  }
  std::vector<ArchiveKind> order{ArchiveKind::Programme, ArchiveKind::FanHandbook, ArchiveKind::Results};
  if (wanted) {
    std::erase(order, *wanted);
    order.insert(order.begin(), *wanted);
  }
  std::optional<RuntimeError> first;
  for (ArchiveKind kind : order) {
    try {
      ArchiveMember member = ArchiveMemberReadBytes(bytes, path, kind);
      DayFileKind content = DayFileKindOf(member.bytes);
      if (content == DayFileKind::Other) content = KindOfName(kind);
      return DayFile{std::move(member.name), std::move(member.bytes), content};
    } catch (const RuntimeError& e) {
      // Only a missing member sends the search on; any other failure is the archive's.
      if (e.number() != ErrNo::ArchiveNoMember) throw;
      if (!first) first = e;
    }
  }
  throw *first;
}

QString WrongKindText(DayFileKind kind, ArchiveKind wanted) {
  if (kind == DayFileKind::Empty) return QStringLiteral("ファイルが空です");
  if (kind == DayFileKind::Other || kind == KindOfName(wanted)) return QString();
  switch (kind) {
    case DayFileKind::Programme:
      return QStringLiteral("これは番組ファイルです。「番組ﾌｧｲﾙを開く」(Ctrl+O) で開いてください");
    case DayFileKind::FanHandbook:
      return QStringLiteral("これはファン手帳ファイルです。「選手ﾌｧｲﾙの更新」で開いてください");
    case DayFileKind::Results:
      return QStringLiteral("これは成績ファイルです。「成績ﾌｧｲﾙを開く」(Ctrl+K) で開いてください");
    case DayFileKind::Empty:
    case DayFileKind::Other:
      break;
  }
  return QString();
}

void StoreReplace(const QString& storeName, QByteArrayView bytes, const QString& label) {
  FileReplace(AppFilePath(storeName), bytes, label);
}

}  // namespace tidewake
