// The walk shared by FirstSearchTypeNamePart and NextSearchTypeNamePart.
#ifndef TYPEDATA_NAMEPARTS_PART_SEARCH_H
#define TYPEDATA_NAMEPARTS_PART_SEARCH_H

namespace td::nameparts {

// From the record at partSearchCursor on: the number of the first record
// whose name has exactly text at position, the cursor resting on it; -1 at
// the end of the list (cursor null) or at a malformed name (cursor on it).
int SearchFromCursor(const char* text, int position);

}  // namespace td::nameparts

#endif  // TYPEDATA_NAMEPARTS_PART_SEARCH_H
