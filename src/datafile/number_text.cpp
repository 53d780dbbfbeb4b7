#include "datafile/number_text.h"

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
bool IsExponentLetter(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
constexpr bool kDoubleArithmetic = true;
#else
constexpr bool kDoubleArithmetic = false;
#endif

// The powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The decimal exponent of a number's first significant digit, roughly: what
// tells a value too large for a double from one too small.
long Magnitude(const char* digits, std::size_t intDigits, std::size_t fracDigits, long exponent) {
  for (std::size_t i = 0; i < intDigits; ++i) {
    if (digits[i] != '0') return static_cast<long>(intDigits - i) + exponent;
  }
  const char* fraction = digits + intDigits + 1;
  for (std::size_t i = 0; i < fracDigits; ++i) {
    if (fraction[i] != '0') return -static_cast<long>(i) + exponent;
  }
  return 0;
}

// Converts the number with the form that from_chars takes: a digit before
// the point, 'e' as the exponent letter.
std::errc FromRewritten(const char* digits, std::size_t intDigits, const char* mantissaEnd,
                        const char* exponent, const char* exponentEnd, double* value) {
  const std::size_t length = (intDigits == 0 ? 1 : 0) + static_cast<std::size_t>(mantissaEnd - digits) +
                             (exponent ? 1 + static_cast<std::size_t>(exponentEnd - exponent) : 0);
  char small[64];
  std::string large;
  char* scratch = small;
  if (length > sizeof small) {
    large.resize(length);
    scratch = &large[0];
  }
  char* put = scratch;
  if (intDigits == 0) *put++ = '0';
  for (const char* c = digits; c != mantissaEnd; ++c) *put++ = *c;
  if (exponent) {
    *put++ = 'e';
    for (const char* c = exponent; c != exponentEnd; ++c) *put++ = *c;
  }
  return std::from_chars(scratch, put, *value, std::chars_format::general).ec;
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

double ParseNumber(const char* text, const char** end) {
  const char* p = text;
  while (IsWhite(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // The digits are gathered into an integer on the way, for the quick
  // conversion below; past 19 digits it is not used.
  std::uint64_t mantissa = 0;
  const char* digits = p;
  for (; IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
  const std::size_t intDigits = static_cast<std::size_t>(p - digits);
  std::size_t fracDigits = 0;
  if (*p == '.') {
    const char* fraction = ++p;
    for (; IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    fracDigits = static_cast<std::size_t>(p - fraction);
  }
  if (intDigits + fracDigits == 0) {
    if (end) *end = text;
    return 0.0;
  }
  const char* mantissaEnd = p;
  // An exponent letter counts only when a digit follows (after its sign).
  const char* exponent = nullptr;
  const char* exponentEnd = nullptr;
  long exponentValue = 0;
  if (IsExponentLetter(*p)) {
    const char* q = p + 1;
    const bool exponentNegative = *q == '-';
    if (*q == '+' || *q == '-') ++q;
    if (IsDigit(*q)) {
      exponent = p + 1;
      while (IsDigit(*q)) {
        if (exponentValue < 100000000) exponentValue = exponentValue * 10 + (*q - '0');
        ++q;
      }
      if (exponentNegative) exponentValue = -exponentValue;
      exponentEnd = q;
      p = q;
    }
  }
  if (end) *end = p;

  // Most numbers (all that the writer writes) are a few digits with no
  // exponent: as an integer of at most 15 digits over a power of ten that a
  // double holds exactly, one division gives the correctly rounded value,
  // the same that from_chars gives.
  // Only where double arithmetic is done in double precision: x87 registers
  // would round twice.
  if (kDoubleArithmetic && !exponent && intDigits + fracDigits <= 15 &&
      fracDigits < std::size(kExactPowers)) {
    const double value = static_cast<double>(mantissa) / kExactPowers[fracDigits];
    return negative ? -value : value;
  }

  // from_chars takes the number without its sign as it stands, unless it
  // starts with the point or has a 'd' exponent.
  double value = 0.0;
  std::errc error;
  const bool exponentE = !exponent || exponent[-1] == 'e' || exponent[-1] == 'E';
  if (intDigits > 0 && exponentE) {
    error = std::from_chars(digits, p, value, std::chars_format::general).ec;
  } else {
    error = FromRewritten(digits, intDigits, mantissaEnd, exponent, exponentEnd, &value);
  }
  if (error == std::errc::result_out_of_range) {
    value = Magnitude(digits, intDigits, fracDigits, exponentValue) > 0
                ? std::numeric_limits<double>::infinity()
                : 0.0;
  } else if (error != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace td::datafile
