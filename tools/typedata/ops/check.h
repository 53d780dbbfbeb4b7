// check: the whole type tree against the machine.
#ifndef TOOLS_TYPEDATA_OPS_CHECK_H
#define TOOLS_TYPEDATA_OPS_CHECK_H

#include "core/progress.h"
#include "core/refusal.h"
#include "ops/models.h"
#include "core/session.h"

namespace tool::ops {

struct CheckRequest {};

// Every problem found, none when the tree is sound; refused only for a
// tree with no catalogue and nothing a command cut short. progress may be
// null.
Result<CheckModel> Check(const Session& session, const CheckRequest& request, Progress* progress);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_CHECK_H
