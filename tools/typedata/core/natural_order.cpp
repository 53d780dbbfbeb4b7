#include "core/natural_order.h"

namespace tool {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The run of digits at `at`, its leading zeros left out (a value of any
// length, never converted, so no number overflows).
std::string_view DigitsAt(std::string_view text, std::size_t* at) {
  while (*at < text.size() && text[*at] == '0') ++*at;
  const std::size_t start = *at;
  while (*at < text.size() && IsDigit(text[*at])) ++*at;
  return text.substr(start, *at - start);
}

}  // namespace

bool NaturallyBefore(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const std::string_view x = DigitsAt(a, &i);
      const std::string_view y = DigitsAt(b, &j);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  if (i < a.size() || j < b.size()) return i == a.size();  // the shorter first
  return a < b;
}

}  // namespace tool
