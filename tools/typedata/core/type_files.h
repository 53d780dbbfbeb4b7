// A type's data files tested before the service is handed them: the
// service opens them itself and would wait on a FIFO, or read a huge file
// whole.
#ifndef TOOLS_TYPEDATA_CORE_TYPE_FILES_H
#define TOOLS_TYPEDATA_CORE_TYPE_FILES_H

#include <string>

namespace tool {

// Every file in folder that the service could take for one of typeNo's
// data files (its name in any letter case) is a regular file no bigger
// than a data file can be. False with a message naming the first that is
// not. Needs the host started (the machine's configs name the files).
bool CheckTypeDataFiles(const std::string& folder, int typeNo, std::string* error);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_TYPE_FILES_H
