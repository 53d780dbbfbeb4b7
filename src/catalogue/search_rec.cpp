// SearchRec: whether a catalogue line is the record of a type. The line is
// looked at whole, whatever its length.
#include "typedata_catalogue.h"

namespace {

// Exactly the six characters 32 and 9 to 13, as leading skips them.
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

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

// What CutComment and leading would leave of the line begins where its
// white space ends, unless a comment begins there; the number is read
// before any later comment, so the caller's line is looked at where it is
// (every catalogue update asks this of every line).
int SearchRec(const char* line, int typeNo) {
  if (line == nullptr) return 0;
  const char* text = line;
  while (IsWhite(*text)) ++text;
  if (*text == '\0' || *text == '[' || (text[0] == '/' && text[1] == '/')) return 0;
  return LeadingNumber(text) == (typeNo & 0xFFFF) ? 1 : 0;
}
