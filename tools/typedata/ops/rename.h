// rename: a type's new name, with the shared configs of its new name's
// parts taken from the types that have them.
#ifndef TOOLS_TYPEDATA_OPS_RENAME_H
#define TOOLS_TYPEDATA_OPS_RENAME_H

#include <string>

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct RenameRequest {
  int number = 0;
  std::string name;
};

// The type renamed, or a refusal; an input/output error puts back what it did.
Result<RenameModel> Rename(Session& session, const RenameRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_RENAME_H
