#include "ops/broken_config.h"

#include <fmt/core.h>

#include <filesystem>
#include <vector>

#include "check/file.h"
#include "core/folded.h"

namespace fs = std::filesystem;

namespace tool::ops {

BrokenConfig BrokenConfigOf(const Session& session, int typeNo, int configNo) {
  ConfigRecord* config = nullptr;
  const int index = SearchMMIConfigIndex(configNo, &config);
  char name[TD_DAT_NAME_SIZE] = "";
  if (index < 0 || !config || MakeDatFileName(name, typeNo, configNo - 1) != 0)
    return {"", "", fmt::format("config {} cannot be read", configNo)};
  BrokenConfig broken{config->name, fmt::format("{:04d}/{}", typeNo, name), ""};
  // The file as the service finds it, its name in any letter case.
  const std::string folder = session.TypeFolderOf(typeNo);
  std::string path = folder + "/" + name;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    if (Folded(entry.path().filename().string()) == Folded(name)) path = entry.path().generic_string();
  }
  if (fs::is_directory(path, ignored)) {
    broken.problem = "a folder stands where the type data file belongs";
  } else if (!fs::exists(fs::symlink_status(path, ignored)) || !fs::exists(path, ignored)) {
    broken.problem = fmt::format("type {}: the type data file of config {} is missing", typeNo, configNo);
  } else {
    int configIndex = 0;  // as check counts them: the machine's list of configs
    for (const ConfigRecord* c = GetMMISystemStruc()->configList; c && c != config; c = c->next)
      ++configIndex;
    std::vector<Problem> problems;
    DataFileChecker checker;
    checker.Check(typeNo, *config, configNo - 1, configIndex, name, path, broken.file, &problems);
    for (const Problem& problem : problems) {
      if (!problem.blocksLoading) continue;
      broken.problem =
          problem.line > 0 ? fmt::format("line {}: {}", problem.line, problem.message) : problem.message;
      break;
    }
    if (broken.problem.empty()) broken.problem = "the service's reader refuses this file";
  }
  return broken;
}

}  // namespace tool::ops
