// Maps the service's Windows-style paths onto a POSIX file system.
#ifndef TYPEDATA_PLATFORM_POSIX_PATH_H
#define TYPEDATA_PLATFORM_POSIX_PATH_H

#include <string>

namespace td::platform {

// "\" becomes "/"; each component is matched without regard to case (ASCII
// letters) among the names of its folder, so "MMI.TYP" finds "mmi.typ".
// Components that match nothing are kept as given, so the path can name a
// file to be made. False, with errno ENOTUNIQ, when a component matches
// more than one name of its folder ("mmi.typ" beside "MMI.TYP"): reader and
// writer must never resolve one name to two files. The platform's own
// temporary names ("~td....tmp") are taken exactly as spelt. Folders are
// read once and their names kept while they are unchanged
// (posix_folder_listing.h).
bool MapServicePath(const std::string& servicePath, std::string* mapped);

}  // namespace td::platform

#endif  // TYPEDATA_PLATFORM_POSIX_PATH_H
