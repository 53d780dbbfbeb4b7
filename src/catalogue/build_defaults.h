// Building a config's value memory from the defaults that the structure
// library describes.
#ifndef TYPEDATA_CATALOGUE_BUILD_DEFAULTS_H
#define TYPEDATA_CATALOGUE_BUILD_DEFAULTS_H

#include "records.h"

namespace td {

// Gives entry (of config position p) a new BlockTable whose blocks hold the
// defaults: one block per kind with items, twins of D, S and V when offline
// copies are on, texts empty. A table the entry held before is abandoned,
// not released. -1 when the config is unknown or memory runs out; what was
// built by then stays hung in the entry.
int BuildConfigDefaults(ConfigEntry* entry, int position);

}  // namespace td

#endif  // TYPEDATA_CATALOGUE_BUILD_DEFAULTS_H
