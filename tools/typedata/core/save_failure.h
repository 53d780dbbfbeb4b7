// Which file a failed save could not write, and the system's reason.
#ifndef TOOLS_TYPEDATA_CORE_SAVE_FAILURE_H
#define TOOLS_TYPEDATA_CORE_SAVE_FAILURE_H

#include <filesystem>
#include <string>
#include <vector>

#include "core/session.h"

namespace tool {

// Made before a type is saved: notes the time of each of its files. The
// service saves them config by config and stops at the first that fails,
// so after a failure the first file still as it was is the one.
class SaveWitness {
 public:
  SaveWitness(const Session& session, int typeNo);
  // "type 1 could not be saved: type/0001/TOOL0001.DAT: File too large (1
  // of its 4 files was saved before)". reason: SystemReason() read right
  // after the failed call.
  std::string Failure(const std::string& reason) const;

 private:
  struct File {
    std::string path;
    std::filesystem::file_time_type time;
    bool existed = false;
  };
  const Session& session_;
  int typeNo_;
  std::vector<File> files_;
};

// A save that failed: why, and what became of the files it had written.
struct FailedSave {
  std::string error;
  std::vector<std::string> putBack;  // written, then put back as they were
  std::vector<std::string> kept;     // written and not put back: they hold the new values
};

// "nothing was saved: 0001/TOOL0001.DAT, which the save had written, was
// put back as it was", or which files could not be put back.
std::string WhatWasSaved(const FailedSave& failed);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_SAVE_FAILURE_H
