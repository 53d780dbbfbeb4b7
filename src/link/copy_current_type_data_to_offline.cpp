// CopyCurrentTypeDataToOffline: the D and S values of one config of the
// current type into their offline twins. No memory is written.
#include <cstdint>

#include "kinds.h"
#include "link/link_items.h"
#include "typedata_link.h"

int CopyCurrentTypeDataToOffline(int configIndex) {
  BlockTable* table = td::CurrentTypeTableOfConfig(configIndex);
  if (table == nullptr) return -1;
  for (const td::Kind& kind : td::kKinds) {
    if (!kind.numeric || kind.twinSlot < 0) continue;  // D and S have numeric twins
    const ValueBlock* online = td::ValueSlot(table, kind.slot);
    ValueBlock* twin = td::ValueSlot(table, kind.twinSlot);
    if (online == nullptr || twin == nullptr || online->count == 0) continue;
    const unsigned count = td::CommonCount(online->count, twin->count);
    for (unsigned item = 0; item < count; ++item) {
      // An item not in use keeps what its twin held.
      if (td::ItemInUse(TD_CFGID(item, kind.code, configIndex)) == nullptr) continue;
      twin->values[item] = online->values[item];
    }
  }
  return 0;
}
