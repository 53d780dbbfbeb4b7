// ReadCurrentTypeData: every config of a type read from its files, then its
// values mirrored into comm memory.
#include "typedata.h"

int ReadCurrentTypeData(int typeNo) {
  TypeRecord* record = nullptr;
  if (GetMMITypeNameAndStruc(typeNo, nullptr, &record) < 0 || record == nullptr) return -1;
  const int configCount = GetMMITypeInfo()->configCount;
  for (int position = 0; position < configCount; ++position) {
    // The first failure names its config; comm memory keeps what it had.
    if (DAT_fread(record->configs[position].datName, position, record) != 0) return position + 1;
  }
  SetCurrentTypeDataToCommMem(record);
  return 0;
}
