// SaveAllCurrentTypeData: every config of the current type saved, then the
// files of its shared configs pushed to every type with the same part.
#include <cstring>

#include "host/host.h"
#include "nameparts/shared_files.h"
#include "typedata_datafile.h"
#include "typedata_nameparts.h"

int SaveAllCurrentTypeData(void) {
  const SystemRecord* system = GetMMISystemStruc();
  if (system == nullptr) return -1;
  const unsigned current = system->currentTypeNo;
  if (current > TD_TYPE_NO_MAX) {
    // With no type of that number there is nothing to save; a type that
    // carries it anyway could not have its files named.
    TypeRecord* record = nullptr;
    return GetMMITypeNameAndStruc(static_cast<int>(current), nullptr, &record) < 0 ? 0 : -1;
  }
  for (const ConfigRecord* config = system->configList; config != nullptr; config = config->next) {
    if (SaveCurrentTypeData(config->configNo - 1) < 0) return -1;
  }

  char name[TD_TYPE_NAME_SIZE];
  std::memcpy(name, system->currentTypeName, sizeof name);
  const int count = system->namePartCount;
  // Every copy is written first and all are flushed together: a push to a
  // thousand types waits for the disk a few times, not thousands of times.
  td::platform::ReplaceGroup group;
  for (int position = 1; position <= count; ++position) {
    char part[TD_TYPE_NAME_SIZE];
    // Fewer parts than positions, or a malformed or empty name: done.
    if (SeparateTypeName(name, position, part) <= 0) break;
    for (int type = FirstSearchTypeNamePart(part, position); type != -1;
         type = NextSearchTypeNamePart(part, position)) {
      if (static_cast<unsigned>(type) == current) continue;
      td::nameparts::CopySharedFiles(position, current, static_cast<unsigned>(type), group);
    }
  }
  // Like a failed copy, a failed group leaves its types their own files.
  group.Commit();
  return 0;
}
