#include "core/save_failure.h"

#include <fmt/core.h>
#include <fmt/format.h>

#include "typedata.h"

namespace fs = std::filesystem;

namespace tool {

SaveWitness::SaveWitness(const Session& session, int typeNo) : session_(session), typeNo_(typeNo) {
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    File file;
    file.path = session.DataFile(typeNo, config->name);
    std::error_code missing;
    file.time = fs::last_write_time(file.path, missing);
    file.existed = !missing;
    files_.push_back(file);
  }
}

std::string SaveWitness::Failure(const std::string& reason) const {
  const std::string why = reason.empty() ? "" : ": " + reason;
  std::size_t saved = 0;
  for (const File& file : files_) {
    std::error_code missing;
    const fs::file_time_type now = fs::last_write_time(file.path, missing);
    if (missing || (file.existed && now == file.time)) {
      const std::string shown = fs::path(file.path).lexically_relative(session_.root()).generic_string();
      return fmt::format("type {} could not be saved: {}{} ({} of its {} files {} saved before)", typeNo_,
                         shown, why, saved, files_.size(), saved == 1 ? "was" : "were");
    }
    ++saved;
  }
  return fmt::format(
      "type {} could not be saved in {}{}", typeNo_,
      fs::path(session_.TypeFolderOf(typeNo_)).lexically_relative(session_.root()).generic_string(), why);
}

std::string WhatWasSaved(const FailedSave& failed) {
  const auto listed = [](const std::vector<std::string>& files) {
    return fmt::format("{}", fmt::join(files, ", "));
  };
  if (!failed.kept.empty())
    return fmt::format("{} {} the new values: {} could not be put back{}", listed(failed.kept),
                       failed.kept.size() == 1 ? "holds" : "hold", failed.kept.size() == 1 ? "it" : "they",
                       failed.putBack.empty()
                           ? ""
                           : fmt::format(" ({} {} put back as before)", listed(failed.putBack),
                                         failed.putBack.size() == 1 ? "was" : "were"));
  if (failed.putBack.empty()) return "nothing was saved";
  return fmt::format("nothing was saved: {}, which the save had written, {}", listed(failed.putBack),
                     failed.putBack.size() == 1 ? "was put back as it was" : "were put back as they were");
}

}  // namespace tool
