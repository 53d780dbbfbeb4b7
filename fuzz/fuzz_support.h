// What the fuzz targets share: a simulated host started once, in a folder
// of its own, and a file system that serves the fuzzer's bytes.
#ifndef FUZZ_FUZZ_SUPPORT_H
#define FUZZ_FUZZ_SUPPORT_H

#include <cstdint>
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
  void Serve(const std::uint8_t* data, std::size_t size) { bytes_.assign(reinterpret_cast<const char*>(data), size); }
  std::unique_ptr<platform::ReadableFile> OpenRead(const std::string& path) override;
  std::unique_ptr<platform::WritableFile> OpenWrite(const std::string& path, platform::WriteMode mode) override;
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

}  // namespace td::fuzz

#endif  // FUZZ_FUZZ_SUPPORT_H
