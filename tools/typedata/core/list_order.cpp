#include "core/list_order.h"

#include <algorithm>
#include <cctype>

#include "core/folded.h"

namespace tool {

const char* NameOf(ListOrder order) {
  switch (order) {
    case ListOrder::kName:
      return "name";
    case ListOrder::kCatalogue:
      return "catalogue";
    case ListOrder::kNumber:
      break;
  }
  return "number";
}

std::optional<ListOrder> ListOrderNamed(const std::string& word) {
  for (const ListOrder order : {ListOrder::kNumber, ListOrder::kName, ListOrder::kCatalogue}) {
    if (word == NameOf(order)) return order;
  }
  return std::nullopt;
}

void PutInOrder(std::vector<TypeInfo>& types, ListOrder order) {
  if (order == ListOrder::kNumber) {
    std::stable_sort(types.begin(), types.end(),
                     [](const TypeInfo& a, const TypeInfo& b) { return a.number < b.number; });
  } else if (order == ListOrder::kName) {
    // Letter case ignored, as the service's sorted combo box compares.
    std::stable_sort(types.begin(), types.end(),
                     [&](const TypeInfo& a, const TypeInfo& b) { return Folded(a.name) < Folded(b.name); });
  }
}

}  // namespace tool
