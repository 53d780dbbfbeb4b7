// What the controller link asks of the structure library about items and
// configs.
#ifndef TYPEDATA_LINK_LINK_ITEMS_H
#define TYPEDATA_LINK_LINK_ITEMS_H

#include "records.h"

namespace td {

// The item's description when it has one and is in use, else null.
const CfgIdRecord* ItemInUse(CfgId id);

// The BlockTable of the current type for the config with this config index,
// as the one-config operations find it: the config must exist and carry a
// number, the current type must exist and hold a table for that config.
// Null when any of these fails.
BlockTable* CurrentTypeTableOfConfig(int configIndex);

// The smaller of two block counts: a twin is made with the count of its
// block, but the loop never trusts that beyond either block's room.
inline unsigned CommonCount(unsigned a, unsigned b) { return a < b ? a : b; }

}  // namespace td

#endif  // TYPEDATA_LINK_LINK_ITEMS_H
