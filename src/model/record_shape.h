// Whether the host's records agree with each other before the service walks
// them: a TypeRecord of typeRecordSize bytes must hold an entry for every one
// of configCount configs, or the walk would read past it.
#ifndef TYPEDATA_MODEL_RECORD_SHAPE_H
#define TYPEDATA_MODEL_RECORD_SHAPE_H

#include "records.h"

namespace td {

inline bool RecordsHoldEveryConfig(const TypeCatalogue* catalogue) {
  return catalogue != nullptr && catalogue->typeRecordSize >= TD_TYPE_RECORD_SIZE(catalogue->configCount);
}

}  // namespace td

#endif  // TYPEDATA_MODEL_RECORD_SHAPE_H
