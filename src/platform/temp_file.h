// Temporary files: each made new, under a name nobody else uses, in the
// folder of the file it will replace.
//
// A fixed name ("temp.dat") would be shared by two writers, and a file or a
// symbolic link that somebody placed under it would be written through.
// A new name, created exclusively without following links, belongs to the
// one operation that made it, which alone may fill, rename or remove it.
#ifndef TYPEDATA_PLATFORM_TEMP_FILE_H
#define TYPEDATA_PLATFORM_TEMP_FILE_H

#include <memory>
#include <string>

#include "file_system.h"

namespace td::platform {

// Every temporary name is "~td", eight hexadecimal digits and ".tmp", so
// that leftovers of an interrupted operation can be found.
inline constexpr char kTemporaryPrefix[] = "~td";
inline constexpr char kTemporarySuffix[] = ".tmp";

// True for a name (without folder) of that pattern, in any letter case.
bool IsTemporaryName(const std::string& name);

// Makes a new, empty temporary file in folder (a service path) and gives it
// open for writing, with its service path in *path. Null when none can be
// made; errno (GetLastError() on Windows) then tells why.
std::unique_ptr<WritableFile> CreateTemporaryFile(const std::string& folder, std::string* path);

}  // namespace td::platform

#endif  // TYPEDATA_PLATFORM_TEMP_FILE_H
