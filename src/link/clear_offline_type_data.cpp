// ClearOfflineTypeData: the offline twins of one config of the current type
// back to defaults (D, S, also written to the offline comm memory) and
// empty texts (V).
#include <cstdint>

#include "kinds.h"
#include "link/link_items.h"
#include "typedata_link.h"

int ClearOfflineTypeData(int configIndex) {
  BlockTable* table = td::CurrentTypeTableOfConfig(configIndex);
  if (table == nullptr) return -1;
  for (const td::Kind& kind : td::kKinds) {
    if (!kind.numeric || kind.twinSlot < 0) continue;  // D and S have numeric twins
    ValueBlock* twin = td::ValueSlot(table, kind.twinSlot);
    if (twin == nullptr) continue;
    for (unsigned item = 0; item < twin->count; ++item) {
      const CfgId id = TD_CFGID(item, kind.code, configIndex);
      CfgIdRecord* record = nullptr;
      // An item the structure library does not know keeps its twin value.
      if (GetCFGIDStruc(id, &record) < 0 || record == nullptr) continue;
      const double value = td::IsInUse(record->dataType) ? record->defaultValue : 0.0;
      twin->values[item] = value;
      std::int32_t controllerForm = ConvertDoubleToMMIForm(value, id);
      SetDataToOfflineCommMem(id, &controllerForm);
    }
  }
  if (TextBlock* texts = td::TextSlot(table, TD_SLOT_OFFLINE_V)) {
    for (unsigned item = 0; item < texts->count; ++item) texts->texts[item][0] = '\0';
  }
  return 0;
}
