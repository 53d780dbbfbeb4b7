// ChangeCurrentTypeData: the value memory handed from the old type to the
// new one, then filled from the new type's files.
#include "model/record_shape.h"
#include "typedata.h"

int ChangeCurrentTypeData(int newTypeNo, int oldTypeNo) {
  TypeRecord* newRecord = nullptr;
  TypeRecord* oldRecord = nullptr;
  if (GetMMITypeNameAndStruc(newTypeNo, nullptr, &newRecord) < 0 || newRecord == nullptr) return -1;
  if (GetMMITypeNameAndStruc(oldTypeNo, nullptr, &oldRecord) < 0 || oldRecord == nullptr) return -1;
  // Both records share the tables from now on; the old one's values are no
  // longer its own.
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  if (!td::RecordsHoldEveryConfig(catalogue)) return -1;  // nothing handed over
  const int configCount = catalogue->configCount;
  for (int position = 0; position < configCount; ++position) {
    newRecord->configs[position].blocks = oldRecord->configs[position].blocks;
  }
  return ReadCurrentTypeData(newTypeNo);
}
