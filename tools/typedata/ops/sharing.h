// sharing: which types share which config through which name part; saving
// a config of a type pushes it to the other types of its group.
#ifndef TOOLS_TYPEDATA_OPS_SHARING_H
#define TOOLS_TYPEDATA_OPS_SHARING_H

#include "ops/models.h"
#include "core/session.h"

namespace tool::ops {

struct SharingRequest {};

SharingModel Sharing(const Session& session, const SharingRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_SHARING_H
