// release: a named point of the tree's history (an annotated tag on its
// last entry: who pinned it, when and why). Nothing in type/ changes.
#ifndef TOOLS_TYPEDATA_OPS_RELEASE_H
#define TOOLS_TYPEDATA_OPS_RELEASE_H

#include <string>

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct ReleaseRequest {
  std::string name;
  std::string user;  // "": TYPEDATA_USER, else the login name
  std::string reason;
};

// Refused for a tree that keeps no history, a name git cannot take or one
// already released; kUsage in a build without history.
Result<ReleaseModel> Release(const Session& session, const ReleaseRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_RELEASE_H
