// Eight characters at a time: the digits of a type data file's item
// numbers and values are told and converted in a 64-bit word instead of
// one character after another (the reader's hottest steps). The first
// character lies in the word's lowest byte, as little-endian machines load
// it; both builds are little-endian.
#ifndef TYPEDATA_DATAFILE_EIGHT_DIGITS_H
#define TYPEDATA_DATAFILE_EIGHT_DIGITS_H

#include <cstdint>
#include <cstring>

namespace td::datafile {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the first character must load into the lowest byte");

inline std::uint64_t LoadEight(const char* at) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The number of leading characters of word that are decimal digits (8 when
// all are). The top bit of a byte is set where the byte is below '0' or
// above '9'; carries and borrows only run upward from a byte that is not a
// digit, so the lowest flagged byte is the first that is not one.
inline int LeadingDigits(std::uint64_t word) {
  const std::uint64_t flags =
      ((word + 0x4646464646464646u) | (word - 0x3030303030303030u)) & 0x8080808080808080u;
  return flags == 0 ? 8 : __builtin_ctzll(flags) / 8;
}

// The value of eight digit characters.
inline std::uint32_t EightDigitsValue(std::uint64_t word) {
  word -= 0x3030303030303030u;
  word = word * 10 + (word >> 8);  // pairs
  constexpr std::uint64_t kMask = 0x000000FF000000FFu;
  constexpr std::uint64_t kMul1 = 100 + (std::uint64_t{1000000} << 32);
  constexpr std::uint64_t kMul2 = 1 + (std::uint64_t{10000} << 32);
  return static_cast<std::uint32_t>((((word & kMask) * kMul1) + (((word >> 16) & kMask) * kMul2)) >> 32);
}

// The value of the first count (0 to 8) characters of word, digits all.
inline std::uint32_t FirstDigitsValue(std::uint64_t word, int count) {
  if (count == 0) return 0;
  // The digits move to the top; zeros fill the bytes below them.
  const int shift = 8 * (8 - count);
  const std::uint64_t zeros = shift == 0 ? 0 : 0x3030303030303030u >> (64 - shift);
  return EightDigitsValue(shift == 0 ? word : (word << shift) | zeros);
}

// The value of the last count (1 to 8) characters of word, digits all;
// -1 when one of them is not a digit.
inline std::int64_t LastDigitsValue(std::uint64_t word, int count) {
  const int shift = 8 * (8 - count);
  const std::uint64_t low = shift == 0 ? 0 : (std::uint64_t{1} << shift) - 1;
  word = (word & ~low) | (0x3030303030303030u & low);
  if (LeadingDigits(word) != 8) return -1;
  return EightDigitsValue(word);
}

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_EIGHT_DIGITS_H
