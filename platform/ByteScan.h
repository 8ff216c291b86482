#pragma once

#include <QtGlobal>

#include <bit>
#include <cstdint>
#include <cstring>

namespace tidewake {

// Byte searches for the short lines of the race files (most under 100 bytes), eight bytes at a
// time: a library search per line and per byte wanted costs more than the line itself. Each
// answers exactly what the byte-by-byte loop would.

namespace bytescan {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighs = 0x8080808080808080ull;
// Eight bytes read in the order they stand: byte k of the text is byte k of the word from the low
// end. Where that is not the machine's order the searches go byte by byte.
inline constexpr bool kWordwise = std::endian::native == std::endian::little;

inline std::uint64_t Load(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

// The high bit of each zero byte of `v` is set, and possibly of bytes above a zero one: the
// lowest set bit is always the first zero byte.
inline std::uint64_t ZeroBytes(std::uint64_t v) { return (v - kOnes) & ~v & kHighs; }

inline qsizetype FirstMarked(std::uint64_t marks) { return std::countr_zero(marks) / 8; }

}  // namespace bytescan

// The first position at or after `from` (below `n`) whose byte is `a` or `b`; `n` when none.
inline qsizetype FindEither(const char* p, qsizetype from, qsizetype n, char a, char b) {
  using namespace bytescan;
  qsizetype i = from;
  if constexpr (kWordwise) {
    const std::uint64_t wa = kOnes * static_cast<unsigned char>(a);
    const std::uint64_t wb = kOnes * static_cast<unsigned char>(b);
    for (; i + 8 <= n; i += 8) {
      const std::uint64_t w = Load(p + i);
      if (const std::uint64_t m = ZeroBytes(w ^ wa) | ZeroBytes(w ^ wb)) return i + FirstMarked(m);
    }
  }
  while (i < n && p[i] != a && p[i] != b) ++i;
  return i;
}

// The first position at or after `from` (below `n`) whose byte is `c`; `n` when none.
inline qsizetype FindByte(const char* p, qsizetype from, qsizetype n, char c) { return FindEither(p, from, n, c, c); }

// The first position at or after `from` (below `n`) whose byte is not `c`; `n` when none.
inline qsizetype SkipByte(const char* p, qsizetype from, qsizetype n, char c) {
  using namespace bytescan;
  qsizetype i = from;
  if constexpr (kWordwise) {
    const std::uint64_t wc = kOnes * static_cast<unsigned char>(c);
    for (; i + 8 <= n; i += 8) {
      if (const std::uint64_t m = Load(p + i) ^ wc) return i + FirstMarked(m);
    }
  }
  while (i < n && p[i] == c) ++i;
  return i;
}

}  // namespace tidewake
