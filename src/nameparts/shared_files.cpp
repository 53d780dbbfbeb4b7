#include "nameparts/shared_files.h"

#include <cstdio>

#include "catalogue/replace_by_copy.h"
#include "model/records.h"
#include "typedata_catalogue.h"
#include "typedata_nameparts.h"

namespace td::nameparts {

void CopySharedFiles(int position, unsigned from, unsigned to, platform::ReplaceGroup& group) {
  // Four-digit folders and file names hold no larger number.
  if (from > TD_TYPE_NO_MAX || to > TD_TYPE_NO_MAX) return;
  char prefix[TD_PREFIX_SIZE];
  for (int found = GetFirstCommonCFG(position, prefix); found == 1;
       found = GetNextCommonCFG(position, prefix)) {
    char source[TD_PATH_SIZE];
    char target[TD_PATH_SIZE];
    std::snprintf(source, sizeof source, "%s%04u.DAT", prefix, from);
    std::snprintf(target, sizeof target, "%s%04u.DAT", prefix, to);
    catalogue::CopyTypeDataFile(source, target, 0, &group);
  }
}

}  // namespace td::nameparts
