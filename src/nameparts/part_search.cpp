#include "nameparts/part_search.h"

#include <cstring>

#include "nameparts/cursors.h"
#include "typedata_nameparts.h"

namespace td::nameparts {

int SearchFromCursor(const char* text, int position) {
  if (text == nullptr) return -1;
  for (; partSearchCursor != nullptr; partSearchCursor = partSearchCursor->next) {
    char part[TD_TYPE_NAME_SIZE];
    const int parts = SeparateTypeName(partSearchCursor->name, position, part);
    // A malformed name ends the search, as if nothing matched.
    if (parts < 0) return -1;
    if (parts > 0 && std::strcmp(part, text) == 0) return partSearchCursor->typeNo;
  }
  return -1;
}

}  // namespace td::nameparts
