// Finding a name in a folder without regard to letter case, without
// reading the folder again while it is known to be unchanged.
//
// A folder's names are kept after it was read, tied to the folder's
// identity and its times of last change (device, inode, modification and
// status change time to the nanosecond), and used again only while a stat
// of the folder gives them all unchanged. A listing is kept only where
// those times are sure to move with every change: on a local file system,
// and when the folder's last change is older than the timestamps' grain at
// the moment of reading, since a change within the same grain would leave
// the times as they were (a listing read then is used once and dropped).
#ifndef TYPEDATA_PLATFORM_POSIX_FOLDER_LISTING_H
#define TYPEDATA_PLATFORM_POSIX_FOLDER_LISTING_H

#include <cstdint>
#include <string>
#include <vector>

namespace td::platform {

enum class CaseMatch { kNone, kOne, kMany };

// The entries of folder (a native path, "" the current folder) equal to
// name without regard to ASCII letter case; *found gets the one entry's
// name. kNone when the folder does not exist. A folder that cannot be read
// is passed through by the exact name only.
CaseMatch MatchIgnoringCase(const std::string& folder, const std::string& name, std::string* found);

// Every name in folder but "." and ".."; false (errno set) when it cannot
// be read. Keeps the listing as above.
bool ListFolder(const std::string& folder, std::vector<std::string>* names);

// How many times a folder was read since the process started.
std::uint64_t FolderReads();

// Drops what is kept of folder, after the process changed it itself.
void ForgetFolder(const std::string& folder);

// The folder part of a native path as MatchIgnoringCase names it: "" for
// a name in the current folder, "/" for one in the root.
std::string NativeParentOf(const std::string& path);

}  // namespace td::platform

#endif  // TYPEDATA_PLATFORM_POSIX_FOLDER_LISTING_H
