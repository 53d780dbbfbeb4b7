// CopyTypeDataOfAlreadyExistPartName: a type about to take a new name pulls
// the files of its shared configs from a type that has the new part already.
#include <cstring>

#include "host/host.h"
#include "nameparts/shared_files.h"
#include "typedata_nameparts.h"

int CopyTypeDataOfAlreadyExistPartName(int referenceNo, int targetNo, const char* newName) {
  const SystemRecord* system = GetMMISystemStruc();
  const int count = system != nullptr ? system->namePartCount : 0;
  if (count == 0) return 0;
  const unsigned target = static_cast<unsigned>(targetNo) & 0xFFFFu;
  if (target > TD_TYPE_NO_MAX || newName == nullptr ||
      ::strnlen(newName, TD_TYPE_NAME_SIZE) > TD_TYPE_NAME_MAX) {
    return -1;
  }
  char referenceName[TD_TYPE_NAME_SIZE];
  if (GetMMITypeNameAndStruc(referenceNo, referenceName, nullptr) < 0) return -1;

  td::platform::ReplaceGroup group;  // the copies flushed together
  for (int position = 1; position <= count; ++position) {
    char part[TD_TYPE_NAME_SIZE];
    if (SeparateTypeName(newName, position, part) <= 0) break;
    char referencePart[TD_TYPE_NAME_SIZE];
    if (SeparateTypeName(referenceName, position, referencePart) > 0 &&
        std::strcmp(referencePart, part) == 0) {
      continue;  // the part stays: so do its configs' values
    }
    // Only the first type that has the part gives its files.
    const int source = FirstSearchTypeNamePart(part, position);
    if (source == -1) continue;
    td::nameparts::CopySharedFiles(position, static_cast<unsigned>(source), target, group);
  }
  group.Commit();
  return 0;
}
