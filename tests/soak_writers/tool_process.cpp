#include "soak_writers/tool_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/workspace.h"

extern char** environ;

namespace td::soak {

ToolResult RunTool(const std::string& root, const std::vector<std::string>& args, const std::string& scratch,
                   long killAfterMicros) {
  std::vector<std::string> words = {TD_TOOL_PATH, "--root", root};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const std::string outPath = scratch + ".out";
  const std::string errPath = scratch + ".err";
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ToolResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, TD_TOOL_PATH, &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  if (spawned != 0) {
    result.err = "cannot start the tool";
    return result;
  }
  if (killAfterMicros >= 0) {
    std::this_thread::sleep_for(std::chrono::microseconds(killAfterMicros));
    kill(pid, SIGKILL);
  }
  int raw = 0;
  while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.killed = WIFSIGNALED(raw) && WTERMSIG(raw) == SIGKILL;
  result.out = testing::ReadFileBytes(outPath);
  result.err = testing::ReadFileBytes(errPath);
  return result;
}

}  // namespace td::soak
