// The two walk positions of the name-part subsystem. They live between
// calls: a First call sets one, its Next calls move it on.
#ifndef TYPEDATA_NAMEPARTS_CURSORS_H
#define TYPEDATA_NAMEPARTS_CURSORS_H

#include "model/records.h"

namespace td {

// The type record where the last name-part search stopped: the match, the
// malformed name that ended it, or null at the end of the list.
extern TypeRecord* partSearchCursor;

// The config last given by the walk of shared configs, or null.
extern ConfigRecord* commonCfgCursor;

}  // namespace td

#endif  // TYPEDATA_NAMEPARTS_CURSORS_H
