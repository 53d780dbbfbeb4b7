// diff: the items whose values differ between two types, from compare.
#ifndef TOOLS_TYPEDATA_OPS_DIFF_H
#define TOOLS_TYPEDATA_OPS_DIFF_H

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct DiffRequest {
  int first = 0;
  int second = 0;
};

// Refused (as a usage error: diff has always exited 2 for these) for a
// number that names no type and for a type that cannot be loaded.
Result<DiffModel> Diff(const Session& session, const DiffRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_DIFF_H
