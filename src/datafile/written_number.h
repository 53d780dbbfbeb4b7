// A number as the writer puts it down ("%f" or "%ld"), read where it lies
// without knowing where it ends: the reader's innermost step, so it is
// inline and tells its digits eight at a time.
#ifndef TYPEDATA_DATAFILE_WRITTEN_NUMBER_H
#define TYPEDATA_DATAFILE_WRITTEN_NUMBER_H

#include <cstdint>
#include <cstring>

#include "datafile/eight_digits.h"
#include "datafile/number_text.h"

namespace td::datafile {

// The most bytes that ScanWrittenNumber reads from its text on.
constexpr std::size_t kWrittenNumberReach = 24;

// Reads a number of the writer's usual forms at text: an optional '-',
// then one to fifteen digits, or one to seven digits, a point and up to
// seven digits after it. Gives the end of the characters it took and, in
// *value, the number they form, the same double that ParseNumber gives for
// them; null, leaving *value, when text does not start so (the general
// steps read it then). The kWrittenNumberReach bytes from text on are
// read, whatever they hold.
inline const char* ScanWrittenNumber(const char* text, double* value) {
  const bool negative = *text == '-';
  const char* const digits = text + (negative ? 1 : 0);
  const std::uint64_t head = LoadEight(digits);
  const int whole = LeadingDigits(head);
  if (whole == 0) return nullptr;
  const char* end = digits + whole;
  double magnitude = 0.0;
  if (*end == '.') {
    // The whole digits and the decimals, padded with zeros to eight, form
    // one mantissa below 10^15 over 10^8: both exact in a double, so one
    // division rounds correctly (Clinger's quick path, as fast_float takes
    // it). Not where doubles are computed in x87 registers, which would
    // round the quotient twice.
    if (!kDoubleArithmetic || whole == 8) return nullptr;
    const std::uint64_t tail = LoadEight(end + 1);
    const int decimals = LeadingDigits(tail);
    if (decimals == 8) return nullptr;
    const std::uint64_t mantissa =
        std::uint64_t{FirstDigitsValue(head, whole)} * 100000000u + PaddedDigitsValue(tail, decimals);
    magnitude = static_cast<double>(mantissa) / 1e8;
    end += 1 + decimals;
  } else if (whole < 8) {
    magnitude = FirstDigitsValue(head, whole);
  } else {
    // Eight digits or more ("%ld" of a large value): below 10^15, the
    // number converts exactly.
    const std::uint64_t next = LoadEight(end);
    const int more = LeadingDigits(next);
    if (more == 8 || end[more] == '.') return nullptr;
    constexpr std::uint32_t kTens[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    const std::uint32_t low = more == 0 ? 0 : FirstDigitsValue(next, more);
    magnitude = static_cast<double>(std::uint64_t{EightDigitsValue(head)} * kTens[more] + low);
    end += more;
  }
  // The sign bit set rather than a branch taken: in a file of values, signs
  // follow no pattern that a branch predictor could learn.
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  bits |= std::uint64_t{negative} << 63;
  std::memcpy(value, &bits, sizeof bits);
  return end;
}

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_WRITTEN_NUMBER_H
