#include "data/ArchiveMember.h"

#include "data/mDayFile.h"
#include "platform/LineReader.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <memory>
#include <optional>

namespace tidewake {
namespace {

constexpr qsizetype kChunk = 64 * 1024;

struct ArchiveFree {
  void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveFree>;

QString KindLabel(ArchiveKind kind) {
  switch (kind) {
    case ArchiveKind::Programme:
      return QStringLiteral("番組ファイル(B*.TXT)");
    case ArchiveKind::FanHandbook:
      return QStringLiteral("ファン手帳ファイル(F*.TXT)");
    case ArchiveKind::Results:
      return QStringLiteral("競走成績ファイル(K*.TXT)");
  }
  return QString();
}

// The member's own name, without the folders an archive may put before it.
QString BaseName(const QString& name) {
  const qsizetype sep = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
  return sep < 0 ? name : name.mid(sep + 1);
}

bool Fits(ArchiveKind kind, const QString& name) {
  const QString base = BaseName(name).toLower();
  if (!base.endsWith(u".txt") || base.size() < 5) return false;
  switch (kind) {
    case ArchiveKind::Programme:
      return base.startsWith(u'b');
    case ArchiveKind::FanHandbook:  // fan*.TXT is an F*.TXT too
      return base.startsWith(u'f');
    case ArchiveKind::Results:
      return base.startsWith(u'k');
  }
  return false;
}

QString EntryName(archive_entry* e) {
#ifdef Q_OS_WIN
  // On Windows libarchive keeps names as wide characters: the narrow forms of a Japanese name
  // come back empty there, the wide one whole.
  if (const wchar_t* wide = archive_entry_pathname_w(e)) return QString::fromWCharArray(wide);
#endif
  if (const char* utf8 = archive_entry_pathname_utf8(e)) return QString::fromUtf8(utf8);
  if (const char* raw = archive_entry_pathname(e)) return QString::fromLatin1(raw);
  return QString();
}

QString ReasonOf(archive* a) {
  const char* s = archive_error_string(a);
  return s ? QString::fromUtf8(s) : QStringLiteral("原因不明");
}

[[noreturn]] void ThrowNotAnArchive(const QString& archiveName) {
  throw RuntimeError(
      ErrNo::NotAnArchive,
      QStringLiteral("書庫(LHA・ZIP)として読めません。書庫ではないか、壊れています: %1").arg(archiveName));
}

[[noreturn]] void ThrowDamaged(const QString& archiveName, archive* a) {
  throw RuntimeError(ErrNo::ArchiveDamaged,
                     QStringLiteral("書庫が壊れているか、途中で切れています: %1（%2）").arg(archiveName, ReasonOf(a)));
}

[[noreturn]] void ThrowTooLarge(const QString& archiveName, const QString& member) {
  throw RuntimeError(ErrNo::ArchiveMemberTooLarge, QStringLiteral("書庫の %1 は展開すると %2 MiB を超えます: %3")
                                                       .arg(member)
                                                       .arg(kMaxArchiveMemberBytes / (1024 * 1024))
                                                       .arg(archiveName));
}

[[noreturn]] void ThrowNoMember(const QString& archiveName, ArchiveKind kind) {
  throw RuntimeError(ErrNo::ArchiveNoMember,
                     QStringLiteral("書庫に%1がありません: %2").arg(KindLabel(kind), archiveName));
}

// An empty ZIP is only its end record, which libarchive does not take for a ZIP at all.
bool IsEmptyZip(QByteArrayView head) { return head.startsWith("PK\x05\x06"); }

ArchivePtr NewReader() {
  ArchivePtr a(archive_read_new());
  if (!a) throw RuntimeError(ErrNo::OutOfMemory, QStringLiteral("書庫を読む準備ができません（メモリ不足）"));
  // Only the formats fans meet; no external decompressor programs are ever started.
  archive_read_support_format_lha(a.get());
  archive_read_support_format_zip(a.get());
  return a;
}

[[noreturn]] void ThrowTotalTooLarge(const QString& archiveName) {
  throw RuntimeError(ErrNo::ArchiveMemberTooLarge, QStringLiteral("書庫から展開するデータが %1 MiB を超えます: %2")
                                                       .arg(kMaxArchiveMemberBytes / (1024 * 1024))
                                                       .arg(archiveName));
}

// Unpacks the member at hand; `total` counts every byte unpacked from the archive so far.
QByteArray UnpackMember(archive* a, archive_entry* e, const QString& archiveName, const QString& member,
                        qsizetype& total) {
  if (archive_entry_size_is_set(e) && archive_entry_size(e) > kMaxArchiveMemberBytes) {
    ThrowTooLarge(archiveName, member);
  }
  // Unpacked straight into the member's bytes, which grow ahead of the data; the size an entry
  // states is only a hint for the first room (capped, as a header may lie), never trusted.
  QByteArray bytes;
  qsizetype room = kChunk;
  if (archive_entry_size_is_set(e)) room = std::max<qsizetype>(room, archive_entry_size(e) + 1);
  room = std::min<qsizetype>(room, kMaxArchiveMemberBytes + 1);
  bytes.resize(room);
  qsizetype used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(std::min<qsizetype>(bytes.size() * 2, kMaxArchiveMemberBytes + kChunk));
    const la_ssize_t got = archive_read_data(a, bytes.data() + used,
                                             static_cast<size_t>(std::min<qsizetype>(bytes.size() - used, kChunk)));
    if (got == 0) break;
    if (got < 0) ThrowDamaged(archiveName, a);
    if (used + got > kMaxArchiveMemberBytes) ThrowTooLarge(archiveName, member);
    if (total + got > kMaxArchiveMemberBytes) ThrowTotalTooLarge(archiveName);
    total += got;
    used += got;
  }
  bytes.truncate(used);
  return bytes;
}

// The first member that fits is taken. The archive is still walked to its end, header by header
// without unpacking, so that a truncated one or a second day is noticed; a later member of the
// same name (some official archives hold the same day twice) replaces it only when it says it is
// larger.
ArchiveMember ChooseMember(archive* a, const QString& archiveName, ArchiveKind kind) {
  std::optional<ArchiveMember> chosen;
  qsizetype total = 0;
  bool first = true;
  for (;;) {
    archive_entry* e = nullptr;
    const int r = archive_read_next_header(a, &e);
    if (r == ARCHIVE_EOF) break;
    // A warning (a name in an unexpected character set) still gives a usable entry.
    if (r < ARCHIVE_WARN) {
      if (first && archive_format(a) == 0) ThrowNotAnArchive(archiveName);
      ThrowDamaged(archiveName, a);
    }
    first = false;
    if (archive_entry_filetype(e) != AE_IFREG) continue;
    const QString name = EntryName(e);
    if (!Fits(kind, name)) continue;
    if (chosen && BaseName(chosen->name).compare(BaseName(name), Qt::CaseInsensitive) != 0) {
      throw RuntimeError(
          ErrNo::ArchiveAmbiguous,
          QStringLiteral("書庫に%1が複数あります（%2、%3）: %4").arg(KindLabel(kind), chosen->name, name, archiveName));
    }
    if (chosen && archive_entry_size_is_set(e) && archive_entry_size(e) <= chosen->bytes.size()) continue;
    QByteArray bytes = UnpackMember(a, e, archiveName, name, total);
    if (!chosen || bytes.size() > chosen->bytes.size()) chosen = ArchiveMember{name, std::move(bytes)};
  }
  if (!chosen) ThrowNoMember(archiveName, kind);
  chosen->name = QStringLiteral("%1 の %2").arg(archiveName, chosen->name);
  return std::move(*chosen);
}

// libarchive says so with EILSEQ (its private ARCHIVE_ERRNO_FILE_FORMAT on this system).
bool UnknownFormat(archive* a) { return archive_errno(a) == EILSEQ; }

}  // namespace

bool LooksLikeArchive(QByteArrayView head) {
  if (head.size() >= 7 && head[2] == '-' && head[3] == 'l' && head[6] == '-') return true;  // "-lh5-", "-lhd-"
  return head.size() >= 4 && head[0] == 'P' && head[1] == 'K' &&
         ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6) || (head[2] == 7 && head[3] == 8));
}

bool HasArchiveSuffix(const QString& strPath) {
  const QString suffix = QFileInfo(strPath).suffix().toLower();
  return suffix == u"lzh" || suffix == u"lha" || suffix == u"zip";
}

ArchiveMember ArchiveMemberRead(const QString& strArchivePath, ArchiveKind kind) {
  return ArchiveMemberReadBytes(ChosenFileRead(strArchivePath), strArchivePath, kind);
}

ArchiveMember ArchiveMemberReadBytes(QByteArrayView archive, const QString& strArchiveName, ArchiveKind kind) {
  const QByteArrayView head = archive.first(std::min<qsizetype>(archive.size(), 8));
  if (!LooksLikeArchive(head)) ThrowNotAnArchive(strArchiveName);
  if (IsEmptyZip(head)) ThrowNoMember(strArchiveName, kind);
  ArchivePtr a = NewReader();
  if (archive_read_open_memory(a.get(), archive.data(), static_cast<size_t>(archive.size())) != ARCHIVE_OK) {
    if (UnknownFormat(a.get())) ThrowNotAnArchive(strArchiveName);
    ThrowDamaged(strArchiveName, a.get());
  }
  return ChooseMember(a.get(), strArchiveName, kind);
}

}  // namespace tidewake
