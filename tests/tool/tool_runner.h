// Runs the typedata tool as a user would, in a fresh workspace.
#ifndef TESTS_TOOL_TOOL_RUNNER_H
#define TESTS_TOOL_TOOL_RUNNER_H

#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <algorithm>
#include <cstdio>
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
    ToolRun run;
#ifdef _WIN32
    // Through cmd.exe: the whole line quoted once more, the tool's Unix
    // path (the build runs under Wine) on Wine's drive Z:.
    std::string tool = TD_TOOL_PATH;
    if (!tool.empty() && tool[0] == '/') tool = "Z:" + tool;
    for (char& c : tool) c = c == '/' ? '\\' : c;
    _putenv("NO_COLOR=1");
    const std::string command = "\"\"" + tool + "\" --root \"" + workspace_.root() + "\" " + args + " >\"" +
                                out + "\" 2>\"" + err + "\" <NUL\"";
    run.status = std::system(command.c_str());
#else
    const std::string command = std::string("NO_COLOR=1 ") + TD_TOOL_PATH + " --root " + workspace_.root() +
                                " " + args + " >" + out + " 2>" + err + " </dev/null";
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    run.out = WithoutCarriageReturns(ReadFileBytes(out));
    run.err = WithoutCarriageReturns(ReadFileBytes(err));
    // In the sanitizer build a finding in the tool fails the test, whatever
    // exit status the test expected.
    if (run.err.find("ERROR: AddressSanitizer") != std::string::npos ||
        run.err.find("ERROR: LeakSanitizer") != std::string::npos ||
        run.err.find("runtime error:") != std::string::npos) {
      ADD_FAILURE() << "typedata " << args << ":\n" << run.err;
    }
    return run;
  }
  // Windows' console streams end lines in CR LF; the files the tool writes
  // are compared byte for byte elsewhere.
  static std::string WithoutCarriageReturns(std::string text) {
#ifdef _WIN32
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
#endif
    return text;
  }
#ifndef _WIN32
  // Runs "typedata ARGS --root ROOT", the global option after the command;
  // only stdout is kept.
  ToolRun ToolRootLast(const std::string& args) {
    ToolRun run = Shell(std::string("NO_COLOR=1 ") + TD_TOOL_PATH + " " + args + " --root " +
                        workspace_.root() + " 2>/dev/null");
    run.out.swap(run.err);
    return run;
  }
  // Runs "typedata --root ROOT ARGS" where no file can grow: the limit of
  // file sizes is 0 and its signal ignored, so writes fail with EFBIG, for
  // root too. Only stderr is kept (stdout to /dev/null), through the pipe.
  ToolRun ToolWhereFilesCannotGrow(const std::string& args) {
    return Shell(std::string("trap '' XFSZ; ulimit -f 0; NO_COLOR=1 exec ") + TD_TOOL_PATH + " --root " +
                 workspace_.root() + " " + args + " 2>&1 >/dev/null");
  }
  // A shell command's status and what it writes on stdout (as err: the
  // callers above send the tool's stderr there).
  static ToolRun Shell(const std::string& command) {
    ToolRun run;
    FILE* pipe = popen((command + " </dev/null").c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.err.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
  }
#endif
  std::string TypeFile(const std::string& relative) {
    return ReadFileBytes(workspace_.Path("type/" + relative));
  }
};

}  // namespace td::testing

#endif  // TESTS_TOOL_TOOL_RUNNER_H
