// The files of a type tree, to tell what an operation changed.
#ifndef TOOLS_TYPEDATA_CORE_TREE_H
#define TOOLS_TYPEDATA_CORE_TREE_H

#include <map>
#include <string>
#include <vector>

namespace tool {

// Every file below folder, by its path relative to folder, with its bytes.
using TreeFiles = std::map<std::string, std::string>;
TreeFiles ReadTree(const std::string& folder);

// Paths that are new or whose bytes differ in after.
std::vector<std::string> ChangedFiles(const TreeFiles& before, const TreeFiles& after);

// The bytes of a type data file (or a file of the tree no bigger), through
// the tool's file opener; "" with *ok false when it cannot be read.
std::string ReadBytes(const std::string& path, bool* ok = nullptr);
// Puts bytes in place of a file, atomically (a temporary file renamed over it).
bool WriteBytes(const std::string& path, const std::string& bytes);

// The numbers of the type folders in typeFolder: folders named with four
// digits, in ascending order.
std::vector<int> TypeFolderNumbers(const std::string& typeFolder);
// True when folder holds anything at all.
bool HoldsAnything(const std::string& folder);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_TREE_H
