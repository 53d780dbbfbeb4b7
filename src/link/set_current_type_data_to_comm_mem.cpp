// SetCurrentTypeDataToCommMem: the D, S and A values of a type, in the
// controller's form, into comm memory.
#include <cstdint>

#include "kinds.h"
#include "link/link_items.h"
#include "model/record_shape.h"
#include "typedata_link.h"

int SetCurrentTypeDataToCommMem(TypeRecord* typeRecord) {
  if (typeRecord == nullptr) return 0;  // nothing to write
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  if (!td::RecordsHoldEveryConfig(catalogue)) return -1;
  const int configCount = catalogue->configCount;
  for (int position = 0; position < configCount; ++position) {
    const int configIndex = SearchMMIConfigIndex(position + 1, nullptr);
    if (configIndex < 0) continue;
    const BlockTable* table = td::EntryAt(typeRecord, position)->blocks;
    if (table == nullptr) continue;
    for (const td::Kind& kind : td::kKinds) {
      if (!kind.inCommMem) continue;  // L and V never reach the controller
      const ValueBlock* block = td::ValueSlot(table, kind.slot);
      if (block == nullptr) continue;
      for (unsigned item = 0; item < block->count; ++item) {
        const CfgId id = TD_CFGID(item, kind.code, configIndex);
        if (td::ItemInUse(id) == nullptr) continue;
        std::int32_t value = ConvertDoubleToMMIForm(block->values[item], id);
        SetDataToCommMem(id, &value);
      }
    }
  }
  return 0;
}
