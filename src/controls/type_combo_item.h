// One type as an item of the type combo box.
#ifndef TD_CONTROLS_TYPE_COMBO_ITEM_H
#define TD_CONTROLS_TYPE_COMBO_ITEM_H

#include <string>

#include "host.h"

namespace td {

// The type's name, never read beyond its 24-byte field.
std::string TypeName(const TypeRecord& type);

// Whether skipCurrent leaves the type out: skipCurrent 1, and only 1, and
// the type is the current type.
bool LeavesOut(int skipCurrent, const TypeRecord& type);

// Adds "%04d %s" of the type to the combo box (parent, controlId) and sets
// the new item's data to the type number.
void AddTypeComboItem(HWND parent, int controlId, const TypeRecord& type);

}  // namespace td

#endif  // TD_CONTROLS_TYPE_COMBO_ITEM_H
