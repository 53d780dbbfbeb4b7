// Labels, units and limits of items in the documents and the text, and the
// words that spell out kinds and data types where a person reads them.
#ifndef TOOLS_TYPEDATA_RENDER_ITEM_ABOUT_H
#define TOOLS_TYPEDATA_RENDER_ITEM_ABOUT_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/item_limits.h"
#include "core/values.h"

namespace tool {

// Adds "label", "unit", "min" and "max" to an item's entry, each only where
// the machine description gives it (so documents of a machine without them
// stay as they were). Limits are typed as the item's values are.
void AddItemAbout(const std::string& config, char kind, int item, char dataType,
                  nlohmann::ordered_json* entry);

// The export's "items": the labels, units and limits of the exported items,
// added only where some item has one (import passes the member over).
void AddExportAbout(const TypeValues& values, nlohmann::ordered_json* document);

// "D (controller)": a kind's letter with what it holds, for tables.
std::string KindShown(char kind);
// "0 to 250", "at least 5", "at most 9", "" for none.
std::string LimitsShown(const ItemAbout& about);
// What kinds and data types mean, a line each, under a table that shows them.
std::vector<std::string> KindsAndDataTypesLegend();

}  // namespace tool

#endif  // TOOLS_TYPEDATA_RENDER_ITEM_ABOUT_H
