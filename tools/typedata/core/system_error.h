// The operating system's words for why a call failed.
#ifndef TOOLS_TYPEDATA_CORE_SYSTEM_ERROR_H
#define TOOLS_TYPEDATA_CORE_SYSTEM_ERROR_H

#include <string>

namespace tool {

// The reason that the service left after an operation gave -1: errno on
// POSIX, GetLastError() on Windows. Read it before anything else calls the
// system. "" when no reason was left.
std::string SystemReason();

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_SYSTEM_ERROR_H
