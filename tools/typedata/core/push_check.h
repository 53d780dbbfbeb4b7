// After a save: did every type that shares a changed config receive it?
#ifndef TOOLS_TYPEDATA_CORE_PUSH_CHECK_H
#define TOOLS_TYPEDATA_CORE_PUSH_CHECK_H

#include <string>
#include <vector>

#include "core/session.h"

namespace tool {

struct MissedPush {
  int type = 0;
  std::string name;
  std::string file;    // relative to the type folder
  std::string reason;  // why it does not hold the saved file
};

// The files that saving typeNo may write, relative to the type folder: its
// own file of every config and, for each config bound to a name part p,
// the file of every other type whose part p is the same (the service
// pushes the saved file to them). Taken from the catalogue and the
// machine; no file is read.
std::vector<std::string> FilesASaveWrites(const Session& session, int typeNo);

// The types sharing, through a name part, a config whose file of typeNo the
// save wrote (written: paths relative to the type folder, "0001/TOOL0001.DAT"),
// whose own file of that config now differs from it.
std::vector<MissedPush> MissedPushes(const Session& session, int typeNo,
                                     const std::vector<std::string>& written);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_PUSH_CHECK_H
