// history verify: the tree's history checked as git fsck checks a
// repository (every entry's and release's objects read and checked
// against their names, the chain unbroken), and the tree compared with
// the last entry, file by file. Writes nothing.
#ifndef TOOLS_TYPEDATA_OPS_VERIFY_H
#define TOOLS_TYPEDATA_OPS_VERIFY_H

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

// Refused for a tree without history; kUsage in a build without history.
// A damaged chain or a differing tree is a model (ok false), not a refusal.
Result<VerifyModel> Verify(const Session& session);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_VERIFY_H
