#include "replace_group.h"

#include <algorithm>

#include "last_error.h"
#include "temp_file.h"

namespace td::platform {

ReplaceGroup::~ReplaceGroup() { RemoveAll(); }

void ReplaceGroup::RemoveAll() {
  const KeepLastError keep;
  for (const Pending& pending : pending_) Fs().Remove(pending.temp);
  pending_.clear();
}

bool ReplaceGroup::Add(const std::string& target, const std::function<bool(WritableFile&)>& fill) {
  std::string temp;
  auto file = CreateTemporaryFile(ParentOf(target), &temp);
  if (!file) return false;
  bool written = fill(*file);
  // Closed now: a group may hold more files than a process may keep open,
  // and Windows renames no file that is open.
  written = file->Close() && written;
  file.reset();
  if (!written) {
    const KeepLastError keep;
    Fs().Remove(temp);
    return false;
  }
  pending_.push_back({temp, target});
  return true;
}

bool ReplaceGroup::Commit() {
  if (pending_.empty()) return true;
  FileSystem& fs = Fs();
  std::vector<std::string> temps;
  temps.reserve(pending_.size());
  for (const Pending& pending : pending_) temps.push_back(pending.temp);
  if (!fs.SyncFiles(temps)) {
    RemoveAll();
    return false;
  }
  bool all = true;
  std::vector<std::string> folders;
  for (const Pending& pending : pending_) {
    if (!fs.Rename(pending.temp, pending.target)) {
      const KeepLastError keep;
      fs.Remove(pending.temp);
      all = false;
      continue;
    }
    const std::string folder = ParentOf(pending.target);
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  }
  pending_.clear();
  // Until its folder is flushed a crash may undo a rename: no success
  // without that.
  return fs.SyncDirs(folders) && all;
}

}  // namespace td::platform
