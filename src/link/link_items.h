// What the controller link asks of the structure library about items and
// configs.
#ifndef TYPEDATA_LINK_LINK_ITEMS_H
#define TYPEDATA_LINK_LINK_ITEMS_H

#include "host.h"
#include "kinds.h"
#include "records.h"

namespace td {

// The item's description when it has one and is in use, else null. Inline:
// the download and the comm memory loops ask it of every item, and beside
// the host's answer the asking is all that is ours.
inline const CfgIdRecord* ItemInUse(CfgId id) {
  CfgIdRecord* record = nullptr;
  if (GetCFGIDStruc(id, &record) < 0 || record == nullptr) return nullptr;
  return IsInUse(record->dataType) ? record : nullptr;
}

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
