// Replacing many files in one go: each atomically (after any crash every
// target holds its old or its new content), all of them durably once
// Commit() has returned true, and the disk's flushes paid once for the
// group rather than once per file.
//
// Add() writes each new content into a temporary file beside its target
// and closes it, unflushed. Commit() then flushes every temporary file
// together, renames each over its target, and flushes the touched folders
// together. Until the renames no target has changed; a crash before the
// folders are flushed leaves each renamed target old or new.
#ifndef TYPEDATA_PLATFORM_REPLACE_GROUP_H
#define TYPEDATA_PLATFORM_REPLACE_GROUP_H

#include <functional>
#include <string>
#include <vector>

#include "file_system.h"

namespace td::platform {

class ReplaceGroup {
 public:
  ReplaceGroup() = default;
  ReplaceGroup(const ReplaceGroup&) = delete;
  ReplaceGroup& operator=(const ReplaceGroup&) = delete;
  // Removes the temporary files of replacements not committed.
  ~ReplaceGroup();

  // Writes target's new content, as fill puts it into the file, into a new
  // temporary file in target's folder. False, with nothing left behind and
  // target untouched, when that file cannot be made or filled.
  bool Add(const std::string& target, const std::function<bool(WritableFile&)>& fill);

  // Flushes, renames and flushes the folders, as above. True when every
  // target holds its new content on disk. A failed flush of the files
  // renames nothing (every target keeps its old content); a failed rename
  // leaves that target old and the others go on. The group is empty after.
  bool Commit();

 private:
  struct Pending {
    std::string temp;
    std::string target;
  };
  void RemoveAll();

  std::vector<Pending> pending_;
};

}  // namespace td::platform

#endif  // TYPEDATA_PLATFORM_REPLACE_GROUP_H
