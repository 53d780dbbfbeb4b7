// Maps the service's Windows-style paths onto a POSIX file system.
#ifndef TYPEDATA_PLATFORM_POSIX_PATH_H
#define TYPEDATA_PLATFORM_POSIX_PATH_H

#include <string>

namespace td::platform {

// "\" becomes "/"; each component that does not exist with its exact
// letter case is matched without regard to case (ASCII letters) among the
// names of its folder, so "MMI.TYP" finds "mmi.typ". Components that match
// nothing are kept as given, so the path can name a file to be made.
std::string MapServicePath(const std::string& servicePath);

}  // namespace td::platform

#endif  // TYPEDATA_PLATFORM_POSIX_PATH_H
