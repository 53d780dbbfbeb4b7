// What every command's glue shares. Each command gives the exit status: 0
// done (or, for diff and check, nothing found), 1 refused or found
// something, 2 a usage or input/output error.
#ifndef TOOLS_TYPEDATA_CLI_COMMANDS_H
#define TOOLS_TYPEDATA_CLI_COMMANDS_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/progress.h"
#include "core/refusal.h"
#include "core/session.h"
#include "render/output.h"

namespace tool {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsageError = 2;

// How a command shows its progress: the bar on stderr, or with --json one
// JSON object a line there (stdout keeps its one document).
std::unique_ptr<Progress> MakeProgress(const GlobalOptions& options, Output& out);

// The exit status for a refusal: 1 refused (busy and not found too), 2 a
// usage or input/output error.
int ExitStatus(RefusalKind kind);
int ExitStatus(const Refusal& refusal);
// Says the refusal and gives its exit status.
int Refuse(const Refusal& refusal, Output& out);

// Opens a session on an existing catalogue: kDone, or after saying why not
// the status to exit with (1 for a tree that another command holds, else 2).
int OpenTree(const GlobalOptions& options, Access access, Session* session, Output& out);
// The same for reading, true when open.
bool OpenTree(const GlobalOptions& options, Session* session, Output& out);

// Says why number names no type of the catalogue (out of 0 to 9999, or not
// listed) and gives true; false for a type that exists.
bool RefuseTypeNumber(const Session& session, int number, Output& out);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CLI_COMMANDS_H
