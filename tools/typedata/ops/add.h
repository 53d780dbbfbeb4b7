// add: a new type, its files copied from another type, the shared configs
// of its name's parts taken from the types that have them.
#ifndef TOOLS_TYPEDATA_OPS_ADD_H
#define TOOLS_TYPEDATA_OPS_ADD_H

#include <optional>
#include <string>

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct AddRequest {
  std::string name;
  std::optional<int> number;  // none: the lowest free
  std::optional<int> from;    // none: the current type, else type 0
};

// The type added (model.passedOver: numbers passed over before it), or a
// refusal with those notes; an input/output error puts back what it did.
Result<AddModel> Add(Session& session, const AddRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_ADD_H
