// Numbers as type data files hold them.
//
// The writer's "%f" (six decimals) and "%ld" (signed 32-bit) are formed with
// std::to_chars, which rounds correctly on every platform, so a file comes
// out byte-identical from the Linux and the 32-bit Windows build (the
// Windows C runtime's printf rounds differently). The reader's numbers are
// converted correctly rounded with fast_float on both builds: where doubles
// are computed in x87 registers it leaves out its quick division, and its
// quick multiplication (a positive exponent) runs with the x87 rounding to
// double precision.
#ifndef TYPEDATA_DATAFILE_NUMBER_TEXT_H
#define TYPEDATA_DATAFILE_NUMBER_TEXT_H

#include <cfloat>
#include <cstdint>
#include <string>

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

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_NUMBER_TEXT_H
