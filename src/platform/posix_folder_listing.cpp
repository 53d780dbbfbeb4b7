#include "posix_folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>

#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace td::platform {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(std::string name) {
  for (char& c : name) c = FoldCase(c);
  return name;
}

std::int64_t Nanoseconds(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + static_cast<std::int64_t>(t.tv_nsec);
}

struct Entry {
  std::string name;  // the first entry of this folded name
  bool many = false;
};

struct Listing {
  dev_t device = 0;
  ino_t inode = 0;
  std::int64_t modified = 0;
  std::int64_t changed = 0;
  std::unordered_map<std::string, Entry> byFoldedName;
  std::vector<std::string> names;
};

bool SameFolderAsRead(const Listing& listing, const struct stat& st) {
  return listing.device == st.st_dev && listing.inode == st.st_ino &&
         listing.modified == Nanoseconds(st.st_mtim) && listing.changed == Nanoseconds(st.st_ctim);
}

// File systems whose folder times are set by this machine's clock on every
// change: not network file systems, whose times come from another clock and
// whose attributes may be cached.
bool LocalFileSystem(const char* folder) {
#ifdef __linux__
  struct statfs fs;
  if (::statfs(folder, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
      return true;
    default:
      return false;
  }
#else
  (void)folder;
  return false;
#endif
}

// How close to its last change a folder may be read for its times to be
// sure to move with the next change: twice the clock's tick where times
// carry nanoseconds, two seconds where they do not (whole or even seconds).
std::int64_t TimeGrain(const struct stat& st) {
  if (st.st_mtim.tv_nsec == 0 && st.st_ctim.tv_nsec == 0) return std::int64_t{2000000000};
  static const std::int64_t fine = [] {
    std::int64_t tick = 10000000;  // 10 ms: the coarsest Linux clock tick
#ifdef CLOCK_REALTIME_COARSE
    timespec resolution{};
    if (::clock_getres(CLOCK_REALTIME_COARSE, &resolution) == 0 && Nanoseconds(resolution) > tick) {
      tick = Nanoseconds(resolution);
    }
#endif
    return 2 * tick;
  }();
  return fine;
}

bool Trustworthy(const struct stat& st, std::int64_t readAt, const char* folder) {
  const std::int64_t lastChange = std::max(Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim));
  return lastChange + TimeGrain(st) < readAt && LocalFileSystem(folder);
}

std::atomic<std::uint64_t> g_reads{0};

bool Read(const char* folder, Listing* listing) {
  g_reads.fetch_add(1, std::memory_order_relaxed);
  DIR* dir = ::opendir(folder);
  if (!dir) return false;
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    auto placed = listing->byFoldedName.try_emplace(Folded(name), Entry{name, false});
    if (!placed.second) placed.first->second.many = true;
    listing->names.push_back(name);
  }
  const int reason = errno;
  ::closedir(dir);
  errno = reason;
  return reason == 0;
}

class Cache {
 public:
  // Looks in the kept listing of folder; false when there is none that
  // still holds for st.
  template <typename Use>
  bool UseKept(const std::string& folder, const struct stat& st, Use use) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto kept = listings_.find(folder);
    if (kept == listings_.end()) return false;
    if (!SameFolderAsRead(kept->second, st)) {
      names_ -= kept->second.names.size();
      listings_.erase(kept);
      return false;
    }
    use(kept->second);
    return true;
  }
  void Keep(const std::string& folder, Listing listing) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Drop(folder);
    // Bounded: a walk over a huge tree starts afresh rather than growing.
    if (listings_.size() >= kMaxFolders || names_ + listing.names.size() > kMaxNames) {
      listings_.clear();
      names_ = 0;
    }
    names_ += listing.names.size();
    listings_.emplace(folder, std::move(listing));
  }
  void Forget(const std::string& folder) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Drop(folder);
  }

 private:
  static constexpr std::size_t kMaxFolders = 16384;
  static constexpr std::size_t kMaxNames = 1 << 20;
  void Drop(const std::string& folder) {
    const auto kept = listings_.find(folder);
    if (kept == listings_.end()) return;
    names_ -= kept->second.names.size();
    listings_.erase(kept);
  }

  std::mutex mutex_;
  std::unordered_map<std::string, Listing> listings_;
  std::size_t names_ = 0;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// The folder's listing, kept or read afresh (and kept when it may be);
// false when the folder cannot be read, errno telling why.
template <typename Use>
bool WithListing(const std::string& folder, Use use) {
  const char* path = folder.empty() ? "." : folder.c_str();
  struct stat st;
  if (::stat(path, &st) != 0) return false;
  if (TheCache().UseKept(folder, st, use)) return true;
  // The moment of reading comes after the stat: a change after it is
  // either in the names read or moves the times away from st's.
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  Listing listing;
  if (!Read(path, &listing)) return false;
  listing.device = st.st_dev;
  listing.inode = st.st_ino;
  listing.modified = Nanoseconds(st.st_mtim);
  listing.changed = Nanoseconds(st.st_ctim);
  use(listing);
  if (Trustworthy(st, Nanoseconds(now), path)) {
    TheCache().Keep(folder, std::move(listing));
  } else {
    TheCache().Forget(folder);
  }
  return true;
}

}  // namespace

CaseMatch MatchIgnoringCase(const std::string& folder, const std::string& name, std::string* found) {
  CaseMatch match = CaseMatch::kNone;
  const std::string key = Folded(name);
  const bool read = WithListing(folder, [&](const Listing& listing) {
    const auto entry = listing.byFoldedName.find(key);
    if (entry == listing.byFoldedName.end()) return;
    match = entry->second.many ? CaseMatch::kMany : CaseMatch::kOne;
    *found = entry->second.name;
  });
  if (read) return match;
  // An unreadable folder can still be passed through by its exact name.
  const std::string exact = folder.empty() ? name : (folder.back() == '/' ? folder : folder + "/") + name;
  struct stat st;
  if (::lstat(exact.c_str(), &st) != 0) return CaseMatch::kNone;
  *found = name;
  return CaseMatch::kOne;
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
  return WithListing(folder, [&](const Listing& listing) { *names = listing.names; });
}

std::uint64_t FolderReads() { return g_reads.load(std::memory_order_relaxed); }

void ForgetFolder(const std::string& folder) { TheCache().Forget(folder); }

std::string NativeParentOf(const std::string& path) {
  std::size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  if (end == 0) return "";
  const std::size_t cut = path.rfind('/', end - 1);
  if (cut == std::string::npos) return "";
  if (cut == 0) return "/";
  return path.substr(0, cut);
}

}  // namespace td::platform
