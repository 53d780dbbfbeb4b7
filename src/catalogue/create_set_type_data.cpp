// CreateSetTypeData: a fresh catalogue of one type, number 0, with default
// values for every config, saved, and listed in a new catalogue file.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "catalogue/build_defaults.h"
#include "catalogue/type_record.h"
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
  return td::platform::ReplaceFileAtomically(kCatalogueFile, [](td::platform::TextWriter& out) {
    out.Write("0, \n");
    return true;
  });
}

// What the catalogue held before: put back when the new one cannot be
// written, so that the list in memory and the catalogue file agree.
struct FormerList {
  TypeRecord* typeList;
  std::uint16_t typeCount;
  std::uint16_t maxTypeNo;
};

}  // namespace

int CreateSetTypeData(void) {
  TypeCatalogue* catalogue = GetMMITypeInfo();
  if (catalogue == nullptr) return -1;  // no machine to build for
  // Refused before anything changes: a config the structure library does
  // not know, a prefix too long for a file name.
  for (int position = 0; position < catalogue->configCount; ++position) {
    if (SearchMMIConfigIndex(position + 1, nullptr) < 0) return -1;
  }
  if (!td::catalogue::PrefixesFit(*catalogue)) return -1;
  // A record never smaller than its entries need, whatever size the
  // structure library asks for.
  const std::uint32_t size =
      std::max<std::uint32_t>(catalogue->typeRecordSize, TD_TYPE_RECORD_SIZE(catalogue->configCount));
  auto* record = static_cast<TypeRecord*>(MMI_GlobalAlloc(size));
  if (record == nullptr) return -1;
  // Built before it joins the list: running out of memory here leaves the
  // list as it was.
  for (int position = 0; position < catalogue->configCount; ++position) {
    if (td::BuildConfigDefaults(&record->configs[position], position) != 0) return -1;
  }

  // The former list is abandoned, not freed; the catalogue now describes
  // its one record.
  const FormerList former{catalogue->typeList, catalogue->typeCount, catalogue->maxTypeNo};
  catalogue->typeList = record;
  catalogue->typeCount = 1;
  catalogue->maxTypeNo = 0;

  // With empty datNames every save makes its file anew from the defaults,
  // whatever files of type 0 lie there from before.
  if (SaveAllCurrentTypeData() != 0 || !WriteFirstCatalogue()) {
    catalogue->typeList = former.typeList;
    catalogue->typeCount = former.typeCount;
    catalogue->maxTypeNo = former.maxTypeNo;
    return -1;
  }
  // Named like every other type's files only now, so that type 0 can be
  // read back in this run of the host and later saves keep its header lines.
  for (int position = 0; position < catalogue->configCount; ++position) {
    MakeDatFileName(record->configs[position].datName, 0, position);
  }
  return 0;
}
