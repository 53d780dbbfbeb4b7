// SearchRec: whether a catalogue line is the record of a type. The line is
// looked at whole, whatever its length.
#include <string>

#include "typedata_catalogue.h"
#include "typedata_datafile.h"

namespace {

// The leading decimal number of text, with an optional sign, as atoi reads
// it but without overflow: values beyond any type number are held at a
// bound that matches none. 0 when there are no digits.
long LeadingNumber(const char* text) {
  constexpr long kBound = 1000000;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value < kBound) value = value * 10 + (*text - '0');
  }
  return negative ? -value : value;
}

}  // namespace

int SearchRec(const char* line, int typeNo) {
  if (line == nullptr) return 0;
  std::string copy = line;  // the caller's line is not changed
  CutComment(copy.data());
  const char* text = leading(copy.data());
  if (*text == '\0' || *text == '[') return 0;
  return LeadingNumber(text) == (typeNo & 0xFFFF) ? 1 : 0;
}
