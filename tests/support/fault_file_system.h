// A file system that fails the Nth operation, for tests that prove the
// service keeps old files whole whatever fails.
#ifndef TESTS_SUPPORT_FAULT_FILE_SYSTEM_H
#define TESTS_SUPPORT_FAULT_FILE_SYSTEM_H

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/file_system_wrapper.h"

namespace td::testing {

class FaultFileSystem final : public FileSystemWrapper {
 public:
  // The reason a failed operation leaves (EIO; ERROR_WRITE_FAULT on Windows).
#ifdef _WIN32
  static constexpr unsigned long kInjectedError = 29;
#else
  static constexpr unsigned long kInjectedError = 5;
#endif
  // Operations that can fail; queries (Exists, ListDir) never do.
  enum class Op {
    kOpenRead,
    kRead,
    kOpenWrite,
    kAppend,
    kSync,
    kClose,
    kRemove,
    kRename,
    kMakeDir,
    kSyncDir,
    kCopyTimes
  };

  explicit FaultFileSystem(platform::FileSystem& target = platform::DefaultFileSystem())
      : FileSystemWrapper(target) {}

  // The nth operation from now (1 the next) fails; 0 none.
  void FailAt(long n) { fail_at_ = n > 0 ? count_ + n : 0; }
  // Operations performed since construction.
  long count() const { return count_; }
  const std::vector<Op>& log() const { return log_; }
  bool failed() const { return failed_; }

  // Counts an operation; true when it is to fail.
  bool Fails(Op op);

  std::unique_ptr<platform::ReadableFile> OpenRead(const std::string& path) override;
  std::unique_ptr<platform::WritableFile> OpenWrite(const std::string& path,
                                                    platform::WriteMode mode) override;
  bool Remove(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool MakeDir(const std::string& path) override;
  bool SyncDir(const std::string& path) override;
  bool CopyTimes(const std::string& from, const std::string& to) override;

 private:
  long count_ = 0;
  long fail_at_ = 0;
  bool failed_ = false;
  std::vector<Op> log_;
};

// Puts a file system in use for the life of the object.
class UseFileSystem {
 public:
  explicit UseFileSystem(platform::FileSystem* fs) : before_(platform::SetFileSystem(fs)) {}
  ~UseFileSystem() { platform::SetFileSystem(before_); }
  UseFileSystem(const UseFileSystem&) = delete;
  UseFileSystem& operator=(const UseFileSystem&) = delete;

 private:
  platform::FileSystem* before_;
};

}  // namespace td::testing

#endif  // TESTS_SUPPORT_FAULT_FILE_SYSTEM_H
