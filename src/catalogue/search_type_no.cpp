// SearchTypeNo: the lowest free type number, found in one walk of the list
// with a table of the numbers taken.
#include <bitset>

#include "host/host.h"
#include "typedata_catalogue.h"

int SearchTypeNo(void) {
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  if (catalogue == nullptr) return -1;
  std::bitset<TD_TYPE_NO_MAX + 1> taken;
  for (const TypeRecord* type = catalogue->typeList; type != nullptr; type = type->next) {
    if (type->typeNo <= TD_TYPE_NO_MAX) taken.set(type->typeNo);
  }
  for (int number = 0; number <= TD_TYPE_NO_MAX; ++number) {
    if (!taken.test(static_cast<std::size_t>(number))) return number;
  }
  return -1;
}
