// Where a short line ends, found apart from what the line holds: the
// reader of type data files learns where the next line starts before it
// has read this one's digits, so the reading of consecutive lines can
// overlap in the processor instead of waiting on each other.
#ifndef TYPEDATA_DATAFILE_LINE_FEED_H
#define TYPEDATA_DATAFILE_LINE_FEED_H

#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "datafile/eight_digits.h"

namespace td::datafile {

// The offset of the first line feed among the 32 bytes from at (all of
// which are read), or 32 when none of them is one.
inline int LineFeedWithin32(const char* at) {
#ifdef __SSE2__
  const __m128i lf = _mm_set1_epi8('\n');
  const auto low = static_cast<std::uint32_t>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), lf)));
  const auto high = static_cast<std::uint32_t>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16)), lf)));
  return __builtin_ctzll(std::uint64_t{low} | std::uint64_t{high} << 16 | std::uint64_t{1} << 32);
#else
  // Eight bytes at a time: after the exclusive or, a line feed's byte is
  // zero; adding 0x7F to each byte's low seven bits sets its top bit unless
  // the byte is zero, without a carry into the next byte.
  constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Au;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  for (int word = 0; word < 4; ++word) {
    const std::uint64_t x = LoadEight(at + 8 * word) ^ kLineFeeds;
    const std::uint64_t zeros = ~(((x & kLow7) + kLow7) | x | kLow7);
    if (zeros != 0) return 8 * word + __builtin_ctzll(zeros) / 8;
  }
  return 32;
#endif
}

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_LINE_FEED_H
