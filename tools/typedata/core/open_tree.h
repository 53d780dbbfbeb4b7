// Opening the tree for an operation: a session on an existing catalogue,
// or the refusal that says why not.
#ifndef TOOLS_TYPEDATA_CORE_OPEN_TREE_H
#define TOOLS_TYPEDATA_CORE_OPEN_TREE_H

#include <optional>
#include <string>

#include "core/refusal.h"
#include "core/session.h"

namespace tool {

// What to say when the catalogue is missing: 'init' for an empty folder,
// 'recover' when type folders are left.
std::string MissingCatalogue(const Session& session);

// Opens session, whether or not the tree has a catalogue (root and its type
// folder made first when makeTypeFolder); the refusal when it cannot be
// (busy when another command holds the tree).
std::optional<Refusal> OpenSession(const GlobalOptions& options, Access access, Session* session,
                                   bool makeTypeFolder = false);

// Opens session on an existing catalogue; the refusal when it cannot be
// (busy when another command holds the tree).
std::optional<Refusal> OpenTree(const GlobalOptions& options, Access access, Session* session);

// Refuses a number that names no type of the catalogue (out of 0 to 9999,
// or not listed).
std::optional<Refusal> RefuseTypeNumber(const Session& session, int number);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_OPEN_TREE_H
