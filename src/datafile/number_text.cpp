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
  fast_float::from_chars(rewritten.data(), rewritten.data() + rewritten.size(), *value);
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
  const auto millionths = static_cast<std::uint64_t>(units);
  if (negative) *at++ = '-';
  at = PutDecimal(at, millionths / kMillion);
  *at++ = '.';
  const std::uint64_t decimals = millionths % kMillion;
  PutPair(at, decimals / 10000);
  PutPair(at + 2, decimals / 100 % 100);
  PutPair(at + 4, decimals % 100);
  return at + 6;
}
#else
char* FormatFixed6Exactly(char*, double) { return nullptr; }
#endif

}  // namespace

char* FormatFixed6(char* at, double value) {
  if (char* end = FormatFixed6Exactly(at, value)) return end;
  return std::to_chars(at, at + kFixed6Max, value, std::chars_format::fixed, 6).ptr;
}

char* FormatLong(char* at, std::int32_t value) {
  auto magnitude = static_cast<std::uint32_t>(value);
  if (value < 0) {
    *at++ = '-';
    magnitude = 0u - magnitude;
  }
  return PutDecimal(at, magnitude);
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
  const char* const mantissa = p;
  p = parsed.ptr;
  if (p != limit && (*p == 'd' || *p == 'D')) p = ReadDExponent(mantissa, p, limit, &value);
  if (end) *end = p;
  return negative ? -value : value;
}

bool ParseWrittenNumberDigitByDigit(const char* text, const char* end, double* value) {
  const char* p = text;
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  const char* const digits = p;
  std::uint64_t mantissa = 0;
  for (; p != end && IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
  const char* const point = p;
  if (p != end && *p == '.') {
    for (++p; p != end && IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
  }
  const auto count = static_cast<std::size_t>(p - digits) - (point != p);  // digits, without the point
  if (p != end || count == 0) return false;
  const auto decimals = static_cast<std::size_t>(p - point) - (point != p);
  // A mantissa that a double holds exactly over a power of ten that it holds
  // exactly: one division rounds correctly (Clinger's fast path, as
  // fast_float takes it). Not with x87 registers, which would round twice.
  constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;
  if (kDoubleArithmetic && count <= 19 && mantissa <= kExactMantissa &&
      decimals < std::size(kExactPowersOfTen)) {
    const double quotient = static_cast<double>(mantissa) / kExactPowersOfTen[decimals];
    *value = negative ? -quotient : quotient;
    return true;
  }
  double parsed = 0.0;
  fast_float::from_chars(digits, end, parsed);
  *value = negative ? -parsed : parsed;
  return true;
}

double ParseNumber(const char* text, const char** end) {
  return ParseNumber(text, text + std::strlen(text), end);
}

}  // namespace td::datafile
