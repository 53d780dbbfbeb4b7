#include "datafile/number_text.h"

#include <fast_float/fast_float.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <system_error>

namespace td::datafile {
namespace {

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// fast_float's quick conversion of a whole mantissa times a power of ten
// (a positive exponent) is one multiplication of two exact doubles. In x87
// registers, which round to 64 bits unless told otherwise, the product
// would be rounded twice, to 64 bits and then to 53, and come out a step
// off now and then: there the conversion runs with the x87 rounding to 53
// bits, so that the product is rounded once (the x87's wider exponent
// range does not matter: these products lie below 2^53 x 10^22).
#if defined(__GNUC__) && defined(__i386__) && FLT_EVAL_METHOD != 0 && FLT_EVAL_METHOD != 1
constexpr bool kX87Arithmetic = true;

fast_float::from_chars_result FromCharsRoundedOnce(const char* first, const char* last, double* value) {
  std::uint16_t saved = 0;
  __asm__ volatile("fnstcw %0" : "=m"(saved));
  // Precision control (bits 8 and 9): 10 is 53 bits.
  const std::uint16_t doublePrecision = static_cast<std::uint16_t>((saved & ~0x300u) | 0x200u);
  __asm__ volatile("fldcw %0" : : "m"(doublePrecision) : "memory");
  double result = 0.0;
  const auto parsed = fast_float::from_chars(first, last, result);
  // The result is in memory, so formed, before the old rounding is back.
  __asm__ volatile("fldcw %1" : "+m"(result) : "m"(saved) : "memory");
  *value = result;
  return parsed;
}
#else
constexpr bool kX87Arithmetic = false;

fast_float::from_chars_result FromCharsRoundedOnce(const char* first, const char* last, double* value) {
  return fast_float::from_chars(first, last, *value);
}
#endif
static_assert(kX87Arithmetic || FLT_EVAL_METHOD == 0 || FLT_EVAL_METHOD == 1,
              "doubles are computed in a wider type, not the x87's: products may round twice");

// Whether the number [first, last) that fast_float took ends in an
// exponent: only then may its quick conversion multiply.
bool EndsInExponent(const char* first, const char* last) {
  while (last != first && IsDigit(last[-1])) --last;
  if (last != first && (last[-1] == '+' || last[-1] == '-')) --last;
  return last != first && (last[-1] == 'e' || last[-1] == 'E');
}

// A Fortran exponent ('d' or 'D', then an optional sign and digits) after
// the number at [mantissa, letter): the number is read again with 'e' in
// its place. Gives the end of the exponent, or letter when no digit follows
// it (the letter is then not part of the number).
const char* ReadDExponent(const char* mantissa, const char* letter, const char* limit, double* value) {
  const char* q = letter + 1;
  if (q != limit && (*q == '+' || *q == '-')) ++q;
  if (q == limit || !IsDigit(*q)) return letter;
  for (const char* c = mantissa; c != letter; ++c) {
    if (*c == 'e' || *c == 'E') return letter;  // one exponent only
  }
  while (q != limit && IsDigit(*q)) ++q;
  std::string rewritten(mantissa, q);
  rewritten[static_cast<std::size_t>(letter - mantissa)] = 'e';
  FromCharsRoundedOnce(rewritten.data(), rewritten.data() + rewritten.size(), value);
  return q;
}

// "00" to "99": decimal digits are put down two at a time.
struct DigitPairs {
  char text[200];
  constexpr DigitPairs() : text() {
    for (std::size_t i = 0; i < 100; ++i) {
      text[2 * i] = static_cast<char>('0' + i / 10);
      text[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
constexpr DigitPairs kPairs;

void PutPair(char* at, std::uint64_t pair) { std::memcpy(at, kPairs.text + 2 * pair, 2); }

// The number of decimal digits of value (1 for 0).
int DecimalLength(std::uint64_t value) {
  static constexpr std::uint64_t kPowers[20] = {1,
                                                10,
                                                100,
                                                1000,
                                                10000,
                                                100000,
                                                1000000,
                                                10000000,
                                                100000000,
                                                1000000000,
                                                10000000000,
                                                100000000000,
                                                1000000000000,
                                                10000000000000,
                                                100000000000000,
                                                1000000000000000,
                                                10000000000000000,
                                                100000000000000000,
                                                1000000000000000000,
                                                10000000000000000000u};
  if (value == 0) return 1;
  // log10 from log2 (1233 / 4096 is just above log10(2)), then one test.
  const int log2 = 63 - __builtin_clzll(value);
  const int guess = (log2 + 1) * 1233 >> 12;
  return guess - (value < kPowers[guess]) + 1;
}

// value in decimal without leading zeros, written from its last digit
// back; gives the end.
char* PutDecimal(char* at, std::uint64_t value) {
  char* const end = at + DecimalLength(value);
  char* p = end;
  for (; value >= 100; value /= 100) {
    p -= 2;
    PutPair(p, value % 100);
  }
  if (value >= 10) {
    PutPair(p - 2, value);
  } else {
    p[-1] = static_cast<char>('0' + value);
  }
  return end;
}

// value (below 10^4) without leading zeros, from two digit pairs; writes
// four bytes at at and gives the end of the digits.
char* PutUpToFourDigits(char* at, std::uint32_t value) {
  char digits[4];
  PutPair(digits, value / 100);
  PutPair(digits + 2, value % 100);
  std::uint32_t word = 0;
  std::memcpy(&word, digits, sizeof word);
  const int zeros = (value < 10) + (value < 100) + (value < 1000);
  word >>= 8 * zeros;  // the first character lies in the lowest byte
  std::memcpy(at, &word, sizeof word);
  return at + 4 - zeros;
}

// The eight decimal digits of value (below 10^8, leading zeros included) as
// characters, the first in the lowest byte: all eight formed at once in one
// word (two four-digit halves, then four pairs, then eight digits), no
// division by a variable and no loop.
std::uint64_t EightDigits(std::uint32_t value) {
  const std::uint64_t halves = value / 10000 | std::uint64_t{value % 10000} << 32;
  // x / 100 is (x * 10486) >> 20 for x below 10^4, x / 10 is (x * 103) >> 10
  // for x below 100; no lane's product reaches the next lane.
  const std::uint64_t hundreds = (halves * 10486 >> 20) & 0x0000007F0000007Fu;
  const std::uint64_t pairs = hundreds | (halves - hundreds * 100) << 16;
  const std::uint64_t tens = (pairs * 103 >> 10) & 0x000F000F000F000Fu;
  const std::uint64_t digits = tens | (pairs - tens * 10) << 8;
  return digits + 0x3030303030303030u;
}

// value (below 10^8) without leading zeros; writes eight bytes at at and
// gives the end of the digits.
char* PutUpToEightDigits(char* at, std::uint32_t value) {
  const std::uint64_t digits = EightDigits(value);
  // Leading zeros are the lowest bytes equal to '0'; the last digit always
  // stays (0 is "0").
  const std::uint64_t nonZero = (digits - 0x3030303030303030u) | std::uint64_t{1} << 56;
  const int zeros = __builtin_ctzll(nonZero) / 8;
  const std::uint64_t shifted = digits >> (8 * zeros);
  std::memcpy(at, &shifted, sizeof shifted);
  return at + 8 - zeros;
}

// "%f" of a value given as its sign and its magnitude in millionths,
// rounded: the whole part, the point and six decimals, the usual values
// from digit pairs only.
char* PutMillionths(char* at, bool negative, std::uint64_t millionths) {
  constexpr std::uint64_t kMillion = 1000000;
  *at = '-';  // kept only for a negative value: a sign at random costs no branch
  at += negative ? 1 : 0;
  const std::uint64_t whole = millionths / kMillion;
  const auto fraction = static_cast<std::uint32_t>(millionths - whole * kMillion);
  if (whole < 10000) {
    at = PutUpToFourDigits(at, static_cast<std::uint32_t>(whole));
  } else {
    at =
        whole < 100000000 ? PutUpToEightDigits(at, static_cast<std::uint32_t>(whole)) : PutDecimal(at, whole);
  }
  const std::uint32_t first = fraction / 10000;
  const std::uint32_t rest = fraction - first * 10000;
  const std::uint32_t second = rest / 100;
  *at = '.';
  PutPair(at + 1, first);
  PutPair(at + 3, second);
  PutPair(at + 5, rest - second * 100);
  return at + 7;
}

// The millionths of magnitude (not negative) rounded to the nearest, from
// one multiplication, where that is exact: below 2^43 the product with 10^6
// as a double lies within 2^-11 of the true product, so when its fraction
// is clearly below or above one half (not within 0.01 of it), the nearest
// whole number is the same for both. False for every other value (ties and
// near-ties, large values, NaN), and where doubles are computed in x87
// registers, which would round the product twice.
bool MillionthsByProduct(double magnitude, std::uint64_t* millionths) {
  if (!kDoubleArithmetic) return false;
  const double scaled = magnitude * 1e6;
  if (!(scaled < 0x1p43)) return false;
  const auto whole = static_cast<std::int64_t>(scaled);     // signed: one instruction each way
  const double rest = scaled - static_cast<double>(whole);  // exact
  // Whether the double lies just below or just above the decimal an
  // operator typed is as good as random: no branch on it.
  if (std::fabs(rest - 0.5) <= 0.01) return false;
  *millionths = static_cast<std::uint64_t>(whole) + (rest > 0.5 ? 1 : 0);
  return true;
}

#ifdef __SIZEOF_INT128__
// "%f" of a value below 10^12 from its exact binary form m * 2^e: m * 10^6
// fits 128 bits, and shifting it right by -e with the bits shifted out
// rounded half to even gives the six decimals exactly, many times quicker
// than the general conversion. Null for other values.
char* FormatFixed6Exactly(char* at, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0x7FF) return nullptr;  // infinity or NaN
  const std::uint64_t m = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
  const int e = biased == 0 ? -1074 : biased - 1075;
  if (e > 0) return nullptr;
  using U128 = unsigned __int128;
  const U128 scaled = static_cast<U128>(m) * 1000000u;  // below 2^73
  const int shift = -e;
  U128 units = 0;  // the value in millionths, rounded
  if (shift == 0) {
    units = scaled;
  } else if (shift < 80) {  // from 80 on, the value is below half a millionth
    units = scaled >> shift;
    const U128 rest = scaled & ((U128{1} << shift) - 1);
    const U128 half = U128{1} << (shift - 1);
    if (rest > half || (rest == half && (units & 1) != 0)) ++units;
  }
  constexpr std::uint64_t kMillion = 1000000;
  if (units >= static_cast<U128>(kMillion) * kMillion * kMillion) return nullptr;  // 10^12 and above
  return PutMillionths(at, negative, static_cast<std::uint64_t>(units));
}
#else
char* FormatFixed6Exactly(char*, double) { return nullptr; }
#endif

}  // namespace

char* FormatFixed6(char* at, double value) {
  std::uint64_t millionths = 0;
  if (MillionthsByProduct(std::fabs(value), &millionths))
    return PutMillionths(at, std::signbit(value), millionths);
  if (char* end = FormatFixed6Exactly(at, value)) return end;
  return std::to_chars(at, at + kFixed6Max, value, std::chars_format::fixed, 6).ptr;
}

char* FormatLong(char* at, std::int32_t value) {
  const bool negative = value < 0;
  const auto bits = static_cast<std::uint32_t>(value);
  const std::uint32_t magnitude = negative ? 0u - bits : bits;
  *at = '-';  // kept only for a negative value, without a branch
  at += negative ? 1 : 0;
  if (magnitude < 10000) return PutUpToFourDigits(at, magnitude);  // the usual small numbers
  return magnitude < 100000000 ? PutUpToEightDigits(at, magnitude) : PutDecimal(at, magnitude);
}

void AppendFixed6(std::string* out, double value) {
  char buffer[kFixed6Max];
  out->append(buffer, FormatFixed6(buffer, value));
}

void AppendLong(std::string* out, std::int32_t value) {
  char buffer[kLongMax];
  out->append(buffer, FormatLong(buffer, value));
}

std::int32_t TruncateToLong(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

double ParseNumber(const char* text, const char* limit, const char** end) {
  const char* p = text;
  while (p != limit && IsWhite(*p)) ++p;
  bool negative = false;
  if (p != limit && (*p == '+' || *p == '-')) negative = *p++ == '-';
  // A number starts with a digit, or with the point and a digit; fast_float
  // would also take "inf" and "nan", which are none here.
  const bool starts = p != limit && (IsDigit(*p) || (*p == '.' && p + 1 != limit && IsDigit(p[1])));
  double value = 0.0;
  const auto parsed = starts ? fast_float::from_chars(p, limit, value) : fast_float::from_chars_result{};
  if (!starts || parsed.ec != std::errc()) {
    if (end) *end = text;
    return 0.0;
  }
  // In x87 registers a number with an exponent is converted again, rounded
  // once; the others never multiply.
  if (kX87Arithmetic && EndsInExponent(p, parsed.ptr)) FromCharsRoundedOnce(p, limit, &value);
  const char* const mantissa = p;
  p = parsed.ptr;
  if (p != limit && (*p == 'd' || *p == 'D')) p = ReadDExponent(mantissa, p, limit, &value);
  if (end) *end = p;
  return negative ? -value : value;
}

double ParseNumber(const char* text, const char** end) {
  return ParseNumber(text, text + std::strlen(text), end);
}

}  // namespace td::datafile
