#include "datafile/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace td::datafile {
namespace {

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExponentLetter(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

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

}  // namespace

void AppendFixed6(std::string* out, double value) {
  // The longest: sign, 309 integer digits, point, six decimals.
  char buffer[330];
  const std::to_chars_result put =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  out->append(buffer, put.ptr);
}

void AppendLong(std::string* out, std::int32_t value) {
  char buffer[16];
  const std::to_chars_result put = std::to_chars(buffer, buffer + sizeof buffer, value);
  out->append(buffer, put.ptr);
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
  const char* digits = p;
  while (IsDigit(*p)) ++p;
  const std::size_t intDigits = static_cast<std::size_t>(p - digits);
  std::size_t fracDigits = 0;
  if (*p == '.') {
    const char* fraction = ++p;
    while (IsDigit(*p)) ++p;
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
