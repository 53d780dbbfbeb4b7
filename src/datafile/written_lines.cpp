// A function of its own, not inlined into the reader's loop over lines of
// any layout: its own loop then keeps its values in registers.
#include "datafile/written_lines.h"

#include <cstdint>

#include "datafile/eight_digits.h"
#include "datafile/line_feed.h"
#include "datafile/written_number.h"

namespace td::datafile {

char* ReadWrittenNumberLines(char* at, const char* end, ValueBlock* block, bool* beyond) {
  double* const values = block->values;
  const unsigned long places = block->count + 1UL;  // the count and a spare place
  while (at != end) {
    // The line end first, apart from what the line holds: the next line's
    // reading need not wait for this one's digits.
    const int length = LineFeedWithin32(at);
    const std::uint64_t head = LoadEight(at);
    const int digits = LeadingDigits(head);
    if (digits == 0 || digits > 6 || at[digits] != ':') break;
    double value = 0.0;
    const char* const last = ScanWrittenNumber(at + digits + 1, &value);
    // The value and its ',' or ';' must fill the line up to its line end,
    // which lies before end.
    const char* const lf = at + length;
    if (!last || (*last != ',' && *last != ';') || (last + 1 != lf && (last + 2 != lf || last[1] != '\r')) ||
        lf >= end)
      break;
    // Item 0 names no item and is passed over; as an unsigned index it lies
    // beyond every block, as the numbers beyond the spare place do.
    const unsigned long index = FirstDigitsValue(head, digits) - 1UL;
    if (index >= places) {
      if (index + 1 == 0) {
        at += length + 1;
        continue;
      }
      *beyond = true;
      return at;
    }
    values[index] = value;
    at += length + 1;
  }
  return at;
}

}  // namespace td::datafile
