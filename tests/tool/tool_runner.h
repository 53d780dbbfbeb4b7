// Runs the typedata tool as a user would, in a fresh workspace.
#ifndef TESTS_TOOL_TOOL_RUNNER_H
#define TESTS_TOOL_TOOL_RUNNER_H

#include <sys/wait.h>
#include <cstdlib>
#include <string>

#include "support/workspace.h"

namespace td::testing {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

class ToolTest : public WorkspaceTest {
 protected:
  // Runs "typedata --root ROOT ARGS" with stdout and stderr captured.
  ToolRun Tool(const std::string& args) {
    const std::string out = workspace_.Path("tool.out");
    const std::string err = workspace_.Path("tool.err");
    const std::string command = std::string("NO_COLOR=1 ") + TD_TOOL_PATH + " --root " + workspace_.root() +
                                " " + args + " >" + out + " 2>" + err + " </dev/null";
    ToolRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadFileBytes(out);
    run.err = ReadFileBytes(err);
    return run;
  }
  std::string TypeFile(const std::string& relative) {
    return ReadFileBytes(workspace_.Path("type/" + relative));
  }
};

}  // namespace td::testing

#endif  // TESTS_TOOL_TOOL_RUNNER_H
