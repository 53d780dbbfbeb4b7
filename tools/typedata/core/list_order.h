// The orders in which list (and the browser's types page) gives the types.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/session.h"

namespace tool {

// By number, as people scan a list; by name, as a sorted type combo box
// lists them; or as the catalogue holds them (newest first).
enum class ListOrder { kNumber, kName, kCatalogue };

// "number", "name", "catalogue".
const char* NameOf(ListOrder order);
// The order a word names; nothing for another word.
std::optional<ListOrder> ListOrderNamed(const std::string& word);

// Types in the catalogue's order put in `order` (stable: equal names keep
// the catalogue's order).
void PutInOrder(std::vector<TypeInfo>& types, ListOrder order);

}  // namespace tool
