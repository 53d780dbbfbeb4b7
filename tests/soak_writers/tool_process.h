// Runs the typedata tool as a child process that can be killed at any
// moment, as a power cut or an impatient operator would.
#ifndef TESTS_SOAK_WRITERS_TOOL_PROCESS_H
#define TESTS_SOAK_WRITERS_TOOL_PROCESS_H

#include <string>
#include <vector>

namespace td::soak {

struct ToolResult {
  int status = -1;      // exit status; -1 when ended by a signal
  bool killed = false;  // ended by the SIGKILL we sent
  std::string out;
  std::string err;
};

// Runs "typedata --root ROOT ARGS...", its output kept in files named by
// scratch. With killAfterMicros >= 0 the process is sent SIGKILL that long
// after it started (it may have finished by then).
ToolResult RunTool(const std::string& root, const std::vector<std::string>& args, const std::string& scratch,
                   long killAfterMicros = -1);

}  // namespace td::soak

#endif  // TESTS_SOAK_WRITERS_TOOL_PROCESS_H
