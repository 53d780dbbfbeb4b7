// Which file a failed save could not write, and the system's reason.
#ifndef TOOLS_TYPEDATA_SAVE_FAILURE_H
#define TOOLS_TYPEDATA_SAVE_FAILURE_H

#include <filesystem>
#include <string>
#include <vector>

#include "session.h"

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

}  // namespace tool

#endif  // TOOLS_TYPEDATA_SAVE_FAILURE_H
