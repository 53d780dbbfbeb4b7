// The entries of one folder as check needs them: each name, whether it is
// there (a link followed) and whether it is a folder, in one pass over the
// folder and without a call per entry where the system tells its kind.
#ifndef TOOLS_TYPEDATA_CHECK_FOLDER_H
#define TOOLS_TYPEDATA_CHECK_FOLDER_H

#include <string>
#include <vector>

namespace tool {

struct FolderEntry {
  std::string name;
  bool directory = false;  // a folder, or a link to one
  bool exists = false;     // false for a link that leads nowhere
  bool link = false;       // a symbolic link (or, on Windows, a junction)
};

// The entries of folder (without "." and ".."), in the system's order.
// False when the folder cannot be read; entries holds those read before.
bool ListFolderEntries(const std::string& folder, std::vector<FolderEntry>* entries);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CHECK_FOLDER_H
