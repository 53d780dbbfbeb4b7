// Whether the tool takes a name for a type.
#ifndef TOOLS_TYPEDATA_NAMES_H
#define TOOLS_TYPEDATA_NAMES_H

#include <string>

#include "session.h"

namespace tool {

// Why name cannot be given to a type ("" when it can): empty, longer than
// 23 characters, malformed (an empty part, a separator at either end, more
// than three parts), or a part that another type already has at another
// position. The type itself (self, -1 for a new type) is left out.
std::string RefusalOfName(const Session& session, const std::string& name, int self);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_NAMES_H
