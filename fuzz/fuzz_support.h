// What the fuzz targets share: a simulated host started once, in a folder
// of its own, and a file system that serves the fuzzer's bytes.
#ifndef FUZZ_FUZZ_SUPPORT_H
#define FUZZ_FUZZ_SUPPORT_H

#include <cstdint>
#include <map>
#include <string>

#include "platform/file_system.h"

namespace td::fuzz {

// Starts the simulated host on the sample machine once, with type 1
// "T40+STEEL+FAST".
void StartHostOnce();

// A file system in which every file opened for reading holds the same
// bytes; writes go nowhere.
class BytesFileSystem final : public platform::FileSystem {
 public:
  void Serve(const std::uint8_t* data, std::size_t size) {
    bytes_.assign(reinterpret_cast<const char*>(data), size);
  }
  std::unique_ptr<platform::ReadableFile> OpenRead(const std::string& path) override;
  std::unique_ptr<platform::WritableFile> OpenWrite(const std::string& path,
                                                    platform::WriteMode mode) override;
  bool Remove(const std::string&) override { return true; }
  bool Rename(const std::string&, const std::string&) override { return true; }
  bool MakeDir(const std::string&) override { return true; }
  bool SyncDir(const std::string&) override { return true; }
  bool Exists(const std::string&) override { return true; }
  bool ListDir(const std::string&, std::vector<std::string>* names) override {
    names->clear();
    return true;
  }
  bool CopyTimes(const std::string&, const std::string&) override { return true; }

 private:
  std::string bytes_;
};

// A file system held in memory: files are kept by their service path,
// matched without regard to letter case or separator ("..\\type\\MMI.TYP"
// and "../type/mmi.typ" are one file). What is written is readable at once;
// a file opened for writing takes its content when it is closed.
class MemoryFileSystem final : public platform::FileSystem {
 public:
  void Clear() { files_.clear(); }
  void Put(const std::string& path, std::string bytes) { files_[Key(path)] = std::move(bytes); }
  // The file's bytes; false when there is no such file.
  bool Get(const std::string& path, std::string* bytes) const;
  std::size_t FileCount() const { return files_.size(); }

  std::unique_ptr<platform::ReadableFile> OpenRead(const std::string& path) override;
  std::unique_ptr<platform::WritableFile> OpenWrite(const std::string& path,
                                                    platform::WriteMode mode) override;
  bool Remove(const std::string& path) override { return files_.erase(Key(path)) > 0; }
  bool Rename(const std::string& from, const std::string& to) override;
  bool MakeDir(const std::string&) override { return true; }
  bool SyncDir(const std::string&) override { return true; }
  bool Exists(const std::string& path) override { return files_.count(Key(path)) > 0; }
  bool ListDir(const std::string& path, std::vector<std::string>* names) override;
  bool CopyTimes(const std::string& from, const std::string& to) override {
    return Exists(from) && Exists(to);
  }

  static std::string Key(const std::string& path);

 private:
  std::map<std::string, std::string> files_;
};

// Aborts the fuzz target: a property of the operation did not hold.
[[noreturn]] void Fail(const char* what);
inline void Require(bool holds, const char* what) {
  if (!holds) Fail(what);
}

}  // namespace td::fuzz

#endif  // FUZZ_FUZZ_SUPPORT_H
