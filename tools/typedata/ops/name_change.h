// What add and rename share: the shared configs a type took from the types
// whose name parts it shares, and a journal's put-back said in a message.
#ifndef TOOLS_TYPEDATA_OPS_NAME_CHANGE_H
#define TOOLS_TYPEDATA_OPS_NAME_CHANGE_H

#include <functional>
#include <string>
#include <vector>

#include "core/journal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

// The shared configs that the target took from other types: each config
// bound to a name part whose file took new bytes (taken(prefix)) came from
// the first other type with that part.
std::vector<SharedPull> PullsOf(const Session& session, const std::string& name, int target,
                                const std::function<bool(const std::string&)>& taken);

// The catalogue's name in the type folder, as the service finds it.
std::string CatalogueName(const Session& session);

// Puts back what a failed command changed: done when all is as it was,
// else what could not be put back.
std::string PutBack(Journal& journal, const std::string& done);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_NAME_CHANGE_H
