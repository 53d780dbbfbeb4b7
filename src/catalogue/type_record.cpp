#include "catalogue/type_record.h"

#include <algorithm>
#include <cstring>

#include "host/host.h"
#include "typedata_catalogue.h"

namespace td::catalogue {

bool FitsTypeName(const char* name) {
  return name != nullptr && ::strnlen(name, TD_TYPE_NAME_SIZE) <= TD_TYPE_NAME_MAX;
}

bool TypeNumberOf(int typeNo, std::uint16_t* number) {
  const auto low = static_cast<std::uint16_t>(typeNo & 0xFFFF);
  if (low > TD_TYPE_NO_MAX) return false;
  *number = low;
  return true;
}

bool PrefixesFit(const TypeCatalogue& catalogue) {
  for (int position = 0; position < catalogue.configCount; ++position) {
    ConfigRecord* config = nullptr;
    if (SearchMMIConfigIndex(position + 1, &config) < 0 || config == nullptr) continue;
    if (::strnlen(config->name, sizeof config->name) > TD_PREFIX_MAX) return false;
  }
  return true;
}

TypeRecord* NewTypeRecord(const TypeCatalogue& catalogue, const char* name, std::uint16_t typeNo) {
  // A record size below what configCount entries need would let the
  // datNames run past the allocation.
  const std::uint32_t size =
      std::max<std::uint32_t>(catalogue.typeRecordSize, TD_TYPE_RECORD_SIZE(catalogue.configCount));
  auto* record = static_cast<TypeRecord*>(MMI_GlobalAlloc(size));
  if (record == nullptr) return nullptr;
  std::memcpy(record->name, name, std::strlen(name) + 1);
  record->typeNo = typeNo;
  for (int position = 0; position < catalogue.configCount; ++position) {
    // A config that the structure library does not have keeps an empty name.
    MakeDatFileName(record->configs[position].datName, typeNo, position);
  }
  return record;
}

void PushTypeRecord(TypeCatalogue* catalogue, TypeRecord* record) {
  record->next = catalogue->typeList;
  catalogue->typeList = record;
  ++catalogue->typeCount;
  if (record->typeNo > catalogue->maxTypeNo) catalogue->maxTypeNo = record->typeNo;
}

void ReleaseTypeRecord(TypeRecord* record) {
  HGLOBAL handle = GlobalHandle(record);
  if (handle == nullptr) return;
  GlobalUnlock(handle);
  GlobalFree(handle);
}

}  // namespace td::catalogue
