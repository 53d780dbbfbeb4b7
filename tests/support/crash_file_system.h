// A file system that can crash: from the Nth operation on nothing reaches
// the disk, and what was not flushed is lost, as after a power failure.
//
// It keeps a model of what is durable, in the manner of a journalling file
// system: a file's data is durable up to its last flush (Sync), and a
// folder's entries (files made, renamed, removed) are durable as of the
// folder's last flush (SyncDir). Folders themselves count as durable once
// made. Crash() then lays the durable state on the disk, so that a test can
// check that every file holds either its old or its new content.
#ifndef TESTS_SUPPORT_CRASH_FILE_SYSTEM_H
#define TESTS_SUPPORT_CRASH_FILE_SYSTEM_H

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/file_system.h"
#include "support/file_system_wrapper.h"

namespace td::testing {

class CrashFileSystem final : public FileSystemWrapper {
 public:
  // Takes the files below root (a real folder) as durable as they are.
  explicit CrashFileSystem(const std::string& root,
                           platform::FileSystem& target = platform::DefaultFileSystem());

  // The nth operation from now (1 the next) and every one after it fail
  // without reaching the disk; 0: none.
  void CrashAt(long n) { crash_at_ = n > 0 ? count_ + n : 0; }
  long count() const { return count_; }
  bool crashed() const { return crash_at_ != 0 && count_ >= crash_at_; }

  // Replaces everything below root with the durable state.
  void Crash();

  std::unique_ptr<platform::ReadableFile> OpenRead(const std::string& path) override;
  std::unique_ptr<platform::WritableFile> OpenWrite(const std::string& path,
                                                    platform::WriteMode mode) override;
  bool Remove(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool MakeDir(const std::string& path) override;
  bool SyncDir(const std::string& path) override;
  bool CopyTimes(const std::string& from, const std::string& to) override;

  // Internal to the model's files.
  bool Step();  // counts an operation; false once crashed
  void Wrote(int inode, const char* data, std::size_t size);
  void Synced(int inode);

 private:
  struct Inode {
    std::string data;     // as written
    std::string durable;  // as of the last flush
  };
  // The real path below root, canonical, as the service spells it.
  static std::string Spelling(const std::string& path);
  // The spelling with its letter case folded where the platform ignores it,
  // so that one file has one key.
  static std::string Fold(std::string spelling);
  std::string Key(const std::string& path) const { return Fold(Spelling(path)); }
  static std::string FolderOf(const std::string& key);

  std::string root_;
  long count_ = 0;
  long crash_at_ = 0;
  std::map<int, Inode> inodes_;
  std::map<std::string, int> entries_;           // as the folders hold them now
  std::map<std::string, int> durable_entries_;   // as of each folder's last flush
  std::map<std::string, std::string> spelling_;  // each key's name on disk
  int next_inode_ = 1;
};

}  // namespace td::testing

#endif  // TESTS_SUPPORT_CRASH_FILE_SYSTEM_H
