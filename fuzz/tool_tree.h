// What the fuzz targets of the typedata tool share: a type tree on disk, in
// a temporary folder, made once by the tool's own commands and put back
// byte for byte after each input.
#ifndef FUZZ_TOOL_TREE_H
#define FUZZ_TOOL_TREE_H

#include <map>
#include <string>

#include "core/session.h"

namespace td::fuzz {

// Every file below root by its path relative to root, the lock file left out.
using Files = std::map<std::string, std::string>;
Files Snapshot(const std::string& root);
// Makes the files below root exactly files (the lock file kept).
void Restore(const std::string& root, const Files& files);
void WriteFile(const std::string& path, const std::string& bytes);

// Puts the records of text into the tree at root: each a line "@@N" (the
// file N of a table of type data files, catalogues, stray and temporary
// files, and the tool's own files, written with the bytes up to the next
// record) or "@@N-" (file N removed).
void LayRecords(const std::string& root, const std::string& text);

struct ToolTree {
  std::string base;  // the temporary folder: the tree, and room for the target's own files
  std::string root;  // base/tree
  tool::GlobalOptions options;
  Files pristine;
};

// The sample machine's tree, made once by the tool's operations (init,
// add, set): type 0, types 1
// "T40+STEEL+FAST", 2 "T40+ALU+SLOW" (sharing TOOL with 1) and 3
// "T50+STEEL+SLOW" (sharing MAT with 1, FEED with 2).
const ToolTree& SampleTree();

}  // namespace td::fuzz

#endif  // FUZZ_TOOL_TREE_H
