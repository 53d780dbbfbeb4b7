// ReadCurrentTypeData: every config of a type read from its files, then its
// values mirrored into comm memory.
#include "datafile/type_data_paths.h"
#include "model/record_shape.h"
#include "typedata.h"

int ReadCurrentTypeData(int typeNo) {
  TypeRecord* record = nullptr;
  if (GetMMITypeNameAndStruc(typeNo, nullptr, &record) < 0 || record == nullptr) return -1;
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  if (!td::RecordsHoldEveryConfig(catalogue)) return -1;
  const int configCount = catalogue->configCount;
  for (int position = 0; position < configCount; ++position) {
    const char* datName = record->configs[position].datName;
    // A name that fills its field has no end: the reader would look for
    // it beyond the field. No file has such a name.
    const bool named = td::datafile::FieldLength(datName, TD_DAT_NAME_SIZE) <= TD_DAT_NAME_MAX;
    // The first failure names its config; comm memory keeps what it had.
    if (!named || DAT_fread(datName, position, record) != 0) return position + 1;
  }
  SetCurrentTypeDataToCommMem(record);
  return 0;
}
