// Numbers as type data files hold them.
//
// The writer's "%f" (six decimals) and "%ld" (signed 32-bit) are formed with
// std::to_chars, which rounds correctly on every platform, so a file comes
// out byte-identical from the Linux and the 32-bit Windows build (the
// Windows C runtime's printf rounds differently). The reader's numbers are
// converted correctly rounded with fast_float, which is exact on both builds
// (where doubles are computed in x87 registers it leaves out its quick path).
#ifndef TYPEDATA_DATAFILE_NUMBER_TEXT_H
#define TYPEDATA_DATAFILE_NUMBER_TEXT_H

#include <cfloat>
#include <cstdint>
#include <string>

#include "datafile/eight_digits.h"

namespace td::datafile {

// The most characters that FormatFixed6 and FormatLong put down.
constexpr std::size_t kFixed6Max = 330;  // sign, 309 digits, point, six decimals
constexpr std::size_t kLongMax = 11;     // sign and ten digits

// Puts value down at at as "%f" gives it (as AppendFixed6 below) and gives
// the end of what it put; at must have room for kFixed6Max characters, and
// the bytes after the end, within that room, may be overwritten (digits are
// stored a word at a time).
char* FormatFixed6(char* at, double value);

// Puts value down at at as "%ld" gives it and gives the end; at must have
// room for kLongMax characters, which may be overwritten after the end.
char* FormatLong(char* at, std::int32_t value);

// Appends value as "%f" gives it: six digits after the point, "-" for a
// negative value (negative zero included), "inf" and "nan" as glibc spells
// them.
void AppendFixed6(std::string* out, double value);

// Appends value as a signed decimal integer, as "%ld" gives it.
void AppendLong(std::string* out, std::int32_t value);

// The value that a block's double is written as for an integer item: the
// double truncated toward zero to 32 bits, saturated at the limits of the
// range, NaN giving 0.
std::int32_t TruncateToLong(double value);

// Reads a number at text: leading white space, an optional sign, digits with
// an optional '.', and an optional exponent introduced by 'e', 'E', 'd' or
// 'D' (then an optional sign and at least one digit). Stops at the first
// character that cannot continue the number; *end (when not null) is set
// there, or to text when there is no number, which gives 0.0. A value too
// large for a double gives an infinity, one too small a zero, as strtod.
double ParseNumber(const char* text, const char** end = nullptr);
// The same for a number that lies in [text, limit): nothing from limit on is
// read, so the text needs no closing zero byte.
double ParseNumber(const char* text, const char* limit, const char** end);

// Where double arithmetic is done in double precision: not in x87
// registers, which would round a quotient twice.
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
constexpr bool kDoubleArithmetic = true;
#else
constexpr bool kDoubleArithmetic = false;
#endif

// The powers of ten that a double holds exactly, and the first of them as
// integers.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr std::uint64_t kTensUpToEight[] = {1,      10,      100,      1000,     10000,
                                                   100000, 1000000, 10000000, 100000000};

// ParseWrittenNumber for what its quick way below does not take.
bool ParseWrittenNumberDigitByDigit(const char* text, const char* end, double* value);

// A number as the writer writes it, filling [text, end) exactly: an
// optional '-', digits, and an optional point with digits after it. Gives
// the value that ParseNumber gives for it, and false, leaving *value, for
// any other text. The bytes from readable (at or before text) to end may
// be read, which lets a short number be read as one word. Inline: it is the
// reader's innermost step.
inline bool ParseWrittenNumber(const char* text, const char* end, double* value, const char* readable) {
  const bool negative = text != end && *text == '-';
  const char* const digits = text + (negative ? 1 : 0);
  if (end - digits < 8 && end - digits > 0 && end - readable >= 8) {
    // A whole number of up to 7 digits, as "%ld" writes it.
    const std::int64_t whole = LastDigitsValue(LoadEight(end - 8), static_cast<int>(end - digits));
    if (whole >= 0) {
      const auto magnitude = static_cast<double>(whole);
      *value = negative ? -magnitude : magnitude;
      return true;
    }
  } else if (kDoubleArithmetic && end - digits >= 8) {
    // The usual "%f" value: at most 7 digits, the point, at most 8 digits,
    // told and converted eight characters at a time. The mantissa stays
    // below 10^15, so that one division by an exact power of ten rounds
    // correctly (Clinger's quick path, as fast_float takes it).
    const std::uint64_t head = LoadEight(digits);
    const int whole = LeadingDigits(head);
    const int decimals = static_cast<int>(end - digits) - whole - 1;
    if (whole < 8 && digits[whole] == '.' && decimals <= 8) {
      const std::int64_t fraction = decimals == 0 ? 0 : LastDigitsValue(LoadEight(end - 8), decimals);
      if (fraction < 0) return false;
      const std::uint64_t mantissa =
          FirstDigitsValue(head, whole) * kTensUpToEight[decimals] + static_cast<std::uint64_t>(fraction);
      const double quotient = static_cast<double>(mantissa) / kExactPowersOfTen[decimals];
      *value = negative ? -quotient : quotient;
      return true;
    }
  }
  return ParseWrittenNumberDigitByDigit(text, end, value);
}
inline bool ParseWrittenNumber(const char* text, const char* end, double* value) {
  return ParseWrittenNumber(text, end, value, text);
}

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_NUMBER_TEXT_H
