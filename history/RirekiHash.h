#pragma once

// The SHA-256 digest a day's file is known by in the history. An import hashes every file it
// reads (a year is some 150 MB of text): the digest is computed a whole block at a time, with the
// processor's SHA instructions where it has them.

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

namespace tidewake::rireki {

using Digest = std::array<std::uint8_t, 32>;

// How the blocks are compressed: the processor's instructions when it has them, or portable code.
enum class HashWay { Best, Portable };

Digest Sha256(QByteArrayView bytes, HashWay way = HashWay::Best);
// The digest as 64 lower-case hexadecimal digits, as the history keeps it.
QString Sha256Hex(QByteArrayView bytes, HashWay way = HashWay::Best);
// Whether HashWay::Best uses the processor's SHA instructions here.
bool HasShaInstructions();

}  // namespace tidewake::rireki
