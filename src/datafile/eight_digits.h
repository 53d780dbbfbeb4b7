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

// '0' in every byte.
constexpr std::uint64_t kZeros = 0x3030303030303030u;

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

// The value of eight digits given as their values less '0' (bytes of 0 to
// 9): pairs, then fours, then all eight, with three multiplications.
inline std::uint32_t EightDigitValues(std::uint64_t word) {
  word = word * 10 + (word >> 8);  // pairs
  constexpr std::uint64_t kMask = 0x000000FF000000FFu;
  constexpr std::uint64_t kMul1 = 100 + (std::uint64_t{1000000} << 32);
  constexpr std::uint64_t kMul2 = 1 + (std::uint64_t{10000} << 32);
  return static_cast<std::uint32_t>((((word & kMask) * kMul1) + (((word >> 16) & kMask) * kMul2)) >> 32);
}

// The value of eight digit characters.
inline std::uint32_t EightDigitsValue(std::uint64_t word) { return EightDigitValues(word - kZeros); }

// The value of the first count (1 to 8) characters of word, digits all;
// the characters after them are not looked at. '0' is taken from every
// byte first: a borrow only runs upward from a byte below '0', so the
// digits' bytes come out exact; they move to the top, zeros come in below.
inline std::uint32_t FirstDigitsValue(std::uint64_t word, int count) {
  return EightDigitValues((word - kZeros) << (8 * (8 - count)));
}

// The first count (0 to 7) characters of word, digits all, followed by
// zeros to eight digits: the decimals "25" give 25000000.
inline std::uint32_t PaddedDigitsValue(std::uint64_t word, int count) {
  return EightDigitValues((word - kZeros) & ((std::uint64_t{1} << (8 * count)) - 1));
}

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_EIGHT_DIGITS_H
