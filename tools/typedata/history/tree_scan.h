// The files a history records, read from the tree: ROOT/type/** and
// ROOT/.typedata-machine, each as its bytes (a symbolic link as its
// target's text), never the tool's own files (.typedata-*: the lock, the
// journal), temporaries or anything that is not a file (a FIFO is never
// opened).
#ifndef TOOLS_TYPEDATA_HISTORY_TREE_SCAN_H
#define TOOLS_TYPEDATA_HISTORY_TREE_SCAN_H

#include <git2.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/refusal.h"

namespace history {

inline constexpr char kTypeFolder[] = "type";
inline constexpr char kMachineFile[] = ".typedata-machine";

struct ScannedFile {
  std::string path;  // from ROOT, '/'-separated: "type/0003/x.dat"
  git_filemode_t mode = GIT_FILEMODE_BLOB;
  git_oid id{};
  struct stat st {};
  bool cached = false;  // taken from the cache unread: its entry there is already this
};

struct Scan {
  std::vector<ScannedFile> files;
  std::vector<std::string> passedOver;  // paths that are neither file nor folder nor link
};

// True for a name (no folder) inside type/ that the history records: not
// the tool's own (".typedata-" names), not a temporary of the tool or the
// service (core/atomic_file.h's IsTemporaryFileName), not ".git".
bool IsRecordedName(const std::string& name);

// Reads the tree at root. Blobs are written into repo's objects (write) or
// only hashed; a file whose stat data matches its entry in cache (when
// given) and is older than the cache (cacheStamp, the index file's
// modification time) is taken from the cache unread.
tool::Result<Scan> ScanTree(const std::string& root, git_repository* repo, const git_index* cache,
                            const struct timespec& cacheStamp, bool write);

// An index entry for a scanned file, with its stat data, so that plain
// git's status finds the file unchanged.
git_index_entry IndexEntryFor(const ScannedFile& file);

}  // namespace history

#endif  // TOOLS_TYPEDATA_HISTORY_TREE_SCAN_H
