// The tool's commands. Each gives the exit status: 0 done (or, for diff
// and check, nothing found), 1 refused or found something, 2 a usage or
// input/output error.
#ifndef TOOLS_TYPEDATA_COMMANDS_H
#define TOOLS_TYPEDATA_COMMANDS_H

#include <optional>
#include <string>
#include <vector>

#include "output.h"
#include "session.h"

namespace tool {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsageError = 2;

int RunInit(const GlobalOptions& options, bool force, Output& out);
int RunList(const GlobalOptions& options, bool sorted, Output& out);
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
int RunExport(const GlobalOptions& options, int number, const std::string& format, Output& out);
int RunImport(const GlobalOptions& options, int number, const std::string& file, Output& out);
int RunDemo(const GlobalOptions& options, const std::string& folder, bool replace, Output& out);

// Opens a session on an existing catalogue, or says why not (status 2).
bool OpenTree(const GlobalOptions& options, Session* session, Output& out);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_COMMANDS_H
