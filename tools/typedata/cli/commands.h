// The tool's commands. Each gives the exit status: 0 done (or, for diff
// and check, nothing found), 1 refused or found something, 2 a usage or
// input/output error.
#ifndef TOOLS_TYPEDATA_CLI_COMMANDS_H
#define TOOLS_TYPEDATA_CLI_COMMANDS_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/list_order.h"
#include "core/progress.h"
#include "core/refusal.h"
#include "core/session.h"
#include "render/output.h"
#include "serve/serve.h"

namespace tool {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsageError = 2;

int RunInit(const GlobalOptions& options, bool force, Output& out);
int RunList(const GlobalOptions& options, ListOrder order, Output& out);
int RunAdd(const GlobalOptions& options, const std::string& name, std::optional<int> number,
           std::optional<int> from, Output& out);
int RunRename(const GlobalOptions& options, int number, const std::string& name, Output& out);
int RunUse(const GlobalOptions& options, int number, bool download, Output& out);
int RunShow(const GlobalOptions& options, int number, const std::string& config, const std::string& kind,
            Output& out);
int RunSet(const GlobalOptions& options, int number, const std::string& prefix,
           const std::vector<std::string>& assignments, Output& out);
int RunDiff(const GlobalOptions& options, int first, int second, Output& out);
int RunCheck(const GlobalOptions& options, Output& out);
// outputFile: where the description goes (atomically); "" for stdout.
int RunInfer(const GlobalOptions& options, const std::string& outputFile, Output& out);
int RunExport(const GlobalOptions& options, int number, const std::string& format, Output& out);
int RunImport(const GlobalOptions& options, int number, const std::string& file, Output& out);
int RunRecover(const GlobalOptions& options, const std::string& namesFile, Output& out);
// Opens the tree once, then serves it (Linux only).
int RunServe(const GlobalOptions& options, const ServeOptions& serve, Output& out);
int RunDemo(const GlobalOptions& options, const std::string& folder, bool replace, Output& out);
int RunSharing(const GlobalOptions& options, Output& out);
// numbers: the types side by side, the first the one the others are held
// against; config: one config's prefix, "" for all; all: every item, not
// only those that differ.
int RunCompare(const GlobalOptions& options, const std::vector<int>& numbers, const std::string& config,
               bool all, Output& out);

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
