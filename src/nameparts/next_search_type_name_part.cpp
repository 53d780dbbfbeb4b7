// NextSearchTypeNamePart: the search goes on after the record where it
// stopped last, a malformed one included.
#include "nameparts/cursors.h"
#include "nameparts/part_search.h"
#include "typedata_nameparts.h"

int NextSearchTypeNamePart(const char* text, int position) {
  if (td::partSearchCursor == nullptr) return -1;
  td::partSearchCursor = td::partSearchCursor->next;
  return td::nameparts::SearchFromCursor(text, position);
}
