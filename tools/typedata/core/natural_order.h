// Texts in the order people read them: digits within them compared as
// numbers, so part T2 comes before T10.
#ifndef TOOLS_TYPEDATA_CORE_NATURAL_ORDER_H
#define TOOLS_TYPEDATA_CORE_NATURAL_ORDER_H

#include <string_view>

namespace tool {

// Runs of digits compared by value, other bytes as they are; texts equal so
// far (T7 and T007) fall back to their bytes, so only equal texts are
// equivalent and a map keeps them apart.
bool NaturallyBefore(std::string_view a, std::string_view b);

struct NaturalLess {
  bool operator()(std::string_view a, std::string_view b) const { return NaturallyBefore(a, b); }
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_NATURAL_ORDER_H
