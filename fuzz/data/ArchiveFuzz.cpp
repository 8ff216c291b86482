// Any bytes as a downloaded archive: choosing the member answers the member's bytes or a
// RuntimeError that names the archive, never crashes and never holds more than the member
// limit; a member it hands on reads as a programme day like a text file.
//
// Seeds in fuzz/corpus/ArchiveFuzz/: hand-made LHA level-0 archives (stored "-lh0-" members:
// one programme, and the same day twice under names that differ in case) and a ZIP. Add the
// official downloads (../shared/data/lzh/*.lzh) as a second corpus folder for their -lh5- data.

#include "data/ArchiveMember.h"
#include "data/cBangumiFile.h"

#include "fuzz/data/FuzzSupport.h"
#include "platform/RuntimeError.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tidewake::fuzz::FuzzSetUp();
  const QByteArrayView archive(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString name = QStringLiteral("fuzz.lzh");
  try {
    const tidewake::ArchiveMember member =
        tidewake::ArchiveMemberReadBytes(archive, name, tidewake::ArchiveKind::Programme);
    if (member.bytes.size() > tidewake::kMaxArchiveMemberBytes) std::abort();
    if (!member.name.startsWith(name)) std::abort();
    try {
      (void)tidewake::cBangumiFile::ReadDay(member.bytes);  // as its conversion reads it, in memory
    } catch (const tidewake::RuntimeError&) {
    }
  } catch (const tidewake::RuntimeError& e) {
    if (!e.description().contains(name)) std::abort();
  }
  return 0;
}
