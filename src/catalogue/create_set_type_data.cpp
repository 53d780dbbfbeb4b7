// CreateSetTypeData: a fresh catalogue of one type, number 0, with default
// values for every config, saved, and listed in a new catalogue file.
#include <algorithm>
#include <cstdint>

#include "catalogue/build_defaults.h"
#include "catalogue/catalogue_file.h"
#include "datafile/type_data_paths.h"
#include "platform/file_system.h"
#include "platform/text_file.h"
#include "typedata.h"

namespace {

// Created under this name; the updates find it as "MMI.TYP".
constexpr const char* kCatalogueFile = "..\\type\\mmi.typ";

// The catalogue file of the one record: type 0, no name.
bool WriteFirstCatalogue() {
  td::platform::Fs().MakeDir(td::datafile::TypeRoot());  // may exist; a failure shows below
  return td::platform::ReplaceFileAtomically(td::catalogue::kCatalogueTemp, kCatalogueFile,
                                             [](td::platform::TextWriter& out) {
                                               out.Write("0, \n");
                                               return true;
                                             });
}

}  // namespace

int CreateSetTypeData(void) {
  TypeCatalogue* catalogue = GetMMITypeInfo();
  if (catalogue == nullptr) return -1;  // no machine to build for
  // A record never smaller than its entries need, whatever size the
  // structure library asks for.
  const std::uint32_t size =
      std::max<std::uint32_t>(catalogue->typeRecordSize, TD_TYPE_RECORD_SIZE(catalogue->configCount));
  auto* record = static_cast<TypeRecord*>(MMI_GlobalAlloc(size));
  if (record == nullptr) return -1;

  // The former list is abandoned, not freed; the catalogue now describes
  // its one record.
  catalogue->typeList = record;
  catalogue->typeCount = 1;
  catalogue->maxTypeNo = 0;

  for (int position = 0; position < catalogue->configCount; ++position) {
    if (td::BuildConfigDefaults(&record->configs[position], position) != 0) return -1;
    // Named like every other type's files, so that type 0 can be read back
    // and its later saves keep the file's header lines and take comm memory.
    MakeDatFileName(record->configs[position].datName, 0, position);
  }
  // A failed save leaves the old catalogue file, which still names the
  // types whose files exist.
  if (SaveAllCurrentTypeData() != 0) return -1;
  return WriteFirstCatalogue() ? 0 : -1;
}
