// The lock of a type tree: one changing command at a time, any number of
// reading ones, and a changing command that waits gets its turn before
// readers that come after it. The lock file sits in the type folder, so
// every path to that folder (a symbolic link, a bind mount) meets the same
// lock; the operating system lets go of the lock when its holder ends,
// however it ends.
#ifndef TOOLS_TYPEDATA_CORE_LOCK_H
#define TOOLS_TYPEDATA_CORE_LOCK_H

#include <cstdint>
#include <memory>
#include <string>

namespace tool {

class TreeLock {
 public:
  // The file that carries the lock: root/type/.typedata-lock.
  static std::string PathIn(const std::string& root);

  // Where in the lock file the two ranges lie (beyond the holder's process
  // id at its start, which Windows would keep others from reading): a
  // changing command holds the turnstile while it waits for the main range,
  // and every reader passes the turnstile before it shares the main range.
  static constexpr std::uint64_t kMainRange = 1ull << 32;
  static constexpr std::uint64_t kTurnstile = kMainRange + 1;

  // Takes the lock of the tree at root, waiting for it up to the time that
  // TYPEDATA_LOCK_WAIT gives in seconds (default 5). Null with a message
  // naming the holder when the tree stays busy or the lock file cannot be
  // opened. An exclusive holder writes its process id into the lock file.
  // The lock file is opened never through a link, and must be a regular
  // file with one name; it is made when missing. A reader of a tree it may
  // not write opens it to read only, and reads without a lock where there
  // is none and none can be made.
  // *busy (when given) tells a tree held by others from a lock file that
  // cannot be used.
  static std::unique_ptr<TreeLock> Exclusive(const std::string& root, std::string* error,
                                             bool* busy = nullptr);
  static std::unique_ptr<TreeLock> Shared(const std::string& root, std::string* error, bool* busy = nullptr);

  ~TreeLock();
  TreeLock(const TreeLock&) = delete;
  TreeLock& operator=(const TreeLock&) = delete;

  bool exclusive() const { return exclusive_; }

 private:
  TreeLock() = default;
  static std::unique_ptr<TreeLock> Take(const std::string& root, bool exclusive, std::string* error,
                                        bool* busy);

  std::intptr_t handle_ = -1;  // a file descriptor, or a Windows HANDLE; -1 for none
  bool exclusive_ = false;
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_LOCK_H
