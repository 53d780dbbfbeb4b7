// InitialSetTypeData: default values for one config of a type, saved to
// that config's file of the current type.
#include "catalogue/build_defaults.h"
#include "typedata.h"

int InitialSetTypeData(TypeRecord* record, int position) {
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  if (record == nullptr || catalogue == nullptr || position < 0 || position >= catalogue->configCount)
    return -1;
  if (td::BuildConfigDefaults(&record->configs[position], position) != 0) return -1;
  return SaveCurrentTypeData(position) == 0 ? 0 : -1;
}
