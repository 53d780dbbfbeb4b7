// FirstSearchTypeNamePart: a search by name part from the head of the list.
#include "host/host.h"
#include "nameparts/cursors.h"
#include "nameparts/part_search.h"
#include "typedata_nameparts.h"

int FirstSearchTypeNamePart(const char* text, int position) {
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  td::partSearchCursor = catalogue != nullptr ? catalogue->typeList : nullptr;
  return td::nameparts::SearchFromCursor(text, position);
}
