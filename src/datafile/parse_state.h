// The type data file reader's parse state, service-wide: zero when the
// service is loaded, kept from one read to the next, and overwritten by
// each read as it meets its section headers. The building of type data
// from defaults fills its table through currentBlockTable too; neither side
// relies on the value that the other left. One operation runs at a time.
#ifndef TYPEDATA_DATAFILE_PARSE_STATE_H
#define TYPEDATA_DATAFILE_PARSE_STATE_H

#include <cstdint>

#include "records.h"

namespace td {

// The table being filled: the one of the config being read or built.
extern BlockTable* currentBlockTable;
// The section whose items are being read: 0 D, 1 S, 2 A, 3 L, 4 V.
extern std::int32_t currentSection;
// The block that the items of a numeric section fill.
extern ValueBlock* currentValueBlock;
// The block that the items of the V section fill.
extern TextBlock* currentTextBlock;

}  // namespace td

#endif  // TYPEDATA_DATAFILE_PARSE_STATE_H
