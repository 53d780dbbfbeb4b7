// A file system that passes each call to another (its target), so that a
// test's file system overrides only the calls it changes.
#ifndef TESTS_SUPPORT_FILE_SYSTEM_WRAPPER_H
#define TESTS_SUPPORT_FILE_SYSTEM_WRAPPER_H

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace td::testing {

// The grouped calls (SyncFiles, SyncDirs, Replaceable) are not passed on:
// the interface's defaults make them of the calls below, one at a time, so
// that a wrapper sees every flush and every open they stand for.
class FileSystemWrapper : public platform::FileSystem {
 public:
  explicit FileSystemWrapper(platform::FileSystem& target) : target_(target) {}

  platform::FileSystem& target() const { return target_; }

  std::unique_ptr<platform::ReadableFile> OpenRead(const std::string& path) override {
    return target_.OpenRead(path);
  }
  std::unique_ptr<platform::WritableFile> OpenWrite(const std::string& path,
                                                    platform::WriteMode mode) override {
    return target_.OpenWrite(path, mode);
  }
  bool Remove(const std::string& path) override { return target_.Remove(path); }
  bool Rename(const std::string& from, const std::string& to) override { return target_.Rename(from, to); }
  bool MakeDir(const std::string& path) override { return target_.MakeDir(path); }
  bool SyncDir(const std::string& path) override { return target_.SyncDir(path); }
  bool Exists(const std::string& path) override { return target_.Exists(path); }
  bool ListDir(const std::string& path, std::vector<std::string>* names) override {
    return target_.ListDir(path, names);
  }
  bool CopyTimes(const std::string& from, const std::string& to) override {
    return target_.CopyTimes(from, to);
  }

 private:
  platform::FileSystem& target_;
};

}  // namespace td::testing

#endif  // TESTS_SUPPORT_FILE_SYSTEM_WRAPPER_H
