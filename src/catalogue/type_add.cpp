// Type_Add: a new type at the head of the in-memory type list.
#include "catalogue/type_record.h"
#include "host/host.h"
#include "typedata_catalogue.h"

int Type_Add(const char* name, int typeNo) {
  std::uint16_t number = 0;
  if (!td::catalogue::FitsTypeName(name) || !td::catalogue::TypeNumberOf(typeNo, &number)) return -1;
  TypeCatalogue* catalogue = GetMMITypeInfo();
  if (catalogue == nullptr || !td::catalogue::PrefixesFit(*catalogue)) return -1;
  TypeRecord* record = td::catalogue::NewTypeRecord(*catalogue, name, number);
  if (record == nullptr) return -1;
  td::catalogue::PushTypeRecord(catalogue, record);
  return 0;
}
