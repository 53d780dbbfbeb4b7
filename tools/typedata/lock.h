// The lock of a type tree: one changing command at a time, any number of
// reading ones. The lock file sits in the tree's root; the operating system
// lets go of the lock when its process ends, however it ends.
#ifndef TOOLS_TYPEDATA_LOCK_H
#define TOOLS_TYPEDATA_LOCK_H

#include <cstdint>
#include <memory>
#include <string>

namespace tool {

class TreeLock {
 public:
  // The file that carries the lock, in root.
  static std::string PathIn(const std::string& root);

  // Takes the lock of the tree at root, waiting for it up to the time that
  // TYPEDATA_LOCK_WAIT gives in seconds (default 5). Null with a message
  // naming the holder when the tree stays busy or the lock file cannot be
  // opened. An exclusive holder writes its process id into the lock file.
  static std::unique_ptr<TreeLock> Exclusive(const std::string& root, std::string* error);
  static std::unique_ptr<TreeLock> Shared(const std::string& root, std::string* error);

  ~TreeLock();
  TreeLock(const TreeLock&) = delete;
  TreeLock& operator=(const TreeLock&) = delete;

  bool exclusive() const { return exclusive_; }

 private:
  TreeLock() = default;
  static std::unique_ptr<TreeLock> Take(const std::string& root, bool exclusive, std::string* error);

  std::intptr_t handle_ = -1;  // a file descriptor, or a Windows HANDLE
  bool exclusive_ = false;
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_LOCK_H
