// Putting a byte-for-byte copy of a file in the place of another, so that a
// failure at any step leaves the old target as it was.
#ifndef TYPEDATA_CATALOGUE_REPLACE_BY_COPY_H
#define TYPEDATA_CATALOGUE_REPLACE_BY_COPY_H

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/replace_group.h"

namespace td::catalogue {

// Copies every byte of source into a new temporary file in target's
// folder, flushes it and renames it over target; source is closed before
// the rename. An existing target that cannot be opened for writing is not
// replaced. False, with the temporary file removed and the reason in errno
// (GetLastError() on Windows), when anything fails.
bool ReplaceByCopy(std::unique_ptr<platform::ReadableFile> source, const std::string& target);

// The same as one replacement of group: the bytes are copied into the
// temporary file now and source closed, the target replaced when the group
// is committed. False when the copy cannot be written (target untouched).
bool AddCopy(platform::ReplaceGroup& group, std::unique_ptr<platform::ReadableFile> source,
             const std::string& target);

// FileCopy's work: source and target are type data file names, each in the
// type folder its four digits name. With a group the replacement joins it;
// without one it is made at once. 0, or -1 on failure.
int CopyTypeDataFile(const char* source, const char* target, int makeFolder, platform::ReplaceGroup* group);

}  // namespace td::catalogue

#endif  // TYPEDATA_CATALOGUE_REPLACE_BY_COPY_H
