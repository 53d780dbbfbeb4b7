// Whether the tool takes a name for a type.
#ifndef TOOLS_TYPEDATA_CORE_NAMES_H
#define TOOLS_TYPEDATA_CORE_NAMES_H

#include <string>

#include "core/session.h"

namespace tool {

// Why name cannot be given to a type ("" when it can), naming the byte or
// the count at fault: empty; longer than 23 bytes (the catalogue's field
// counts bytes, whatever the characters); a tab or another control
// character; a blank at either end; a quotation mark or "//", which the
// catalogue's record line cannot hold; malformed (an empty part, a separator
// at either end, more than three parts); or a part that another type
// already has at another position. The type itself (self, -1 for a new
// type) is left out.
std::string RefusalOfName(const Session& session, const std::string& name, int self);

// A warning when another type already has this very name ("" otherwise):
// allowed, but the operator cannot tell the two apart in the combo box.
std::string WarningOfName(const Session& session, const std::string& name, int self);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_NAMES_H
