// Why a config's data file of a type cannot be read, in the words check
// uses for it, for a page that shows the type's other configs.
#ifndef TOOLS_TYPEDATA_OPS_BROKEN_CONFIG_H
#define TOOLS_TYPEDATA_OPS_BROKEN_CONFIG_H

#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

// configNo from 1, as the machine numbers its configs.
BrokenConfig BrokenConfigOf(const Session& session, int typeNo, int configNo);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_BROKEN_CONFIG_H
