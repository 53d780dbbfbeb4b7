#include "fuzz_support.h"

#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "start/start.h"

namespace td::fuzz {
namespace {

class BytesFile final : public platform::ReadableFile {
 public:
  explicit BytesFile(const std::string& bytes) : bytes_(bytes) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size() - at_);
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<std::int64_t>(n);
  }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

class NowhereFile final : public platform::WritableFile {
 public:
  bool Append(const char*, std::size_t) override { return true; }
  bool Sync() override { return true; }
  bool Close() override { return true; }
};

class CopyFile final : public platform::ReadableFile {
 public:
  explicit CopyFile(std::string bytes) : bytes_(std::move(bytes)) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size() - at_);
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<std::int64_t>(n);
  }

 private:
  std::string bytes_;
  std::size_t at_ = 0;
};

// Collects what is written; the file takes it on Close.
class MemoryFile final : public platform::WritableFile {
 public:
  MemoryFile(std::map<std::string, std::string>* files, std::string key, std::string start)
      : files_(files), key_(std::move(key)), data_(std::move(start)) {}
  ~MemoryFile() override { Close(); }
  bool Append(const char* data, std::size_t size) override {
    if (closed_) return false;
    data_.append(data, size);
    return true;
  }
  bool Sync() override { return !closed_; }
  bool Close() override {
    if (!closed_) (*files_)[key_] = data_;
    closed_ = true;
    return true;
  }

 private:
  std::map<std::string, std::string>* files_;
  std::string key_;
  std::string data_;
  bool closed_ = false;
};

}  // namespace

std::string MemoryFileSystem::Key(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c == '\\') c = '/';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

bool MemoryFileSystem::Get(const std::string& path, std::string* bytes) const {
  const auto found = files_.find(Key(path));
  if (found == files_.end()) return false;
  *bytes = found->second;
  return true;
}

std::unique_ptr<platform::ReadableFile> MemoryFileSystem::OpenRead(const std::string& path) {
  const auto found = files_.find(Key(path));
  if (found == files_.end()) return nullptr;
  return std::make_unique<CopyFile>(found->second);
}

std::unique_ptr<platform::WritableFile> MemoryFileSystem::OpenWrite(const std::string& path,
                                                                    platform::WriteMode mode) {
  const std::string key = Key(path);
  if (mode == platform::WriteMode::kCreateNew && files_.count(key)) {
    errno = EEXIST;  // a new file never takes an existing name
    return nullptr;
  }
  std::string start;
  if (mode == platform::WriteMode::kAppend && files_.count(key)) start = files_[key];
  files_[key] = start;  // made at once, as a real open makes it
  return std::make_unique<MemoryFile>(&files_, key, std::move(start));
}

bool MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  const auto found = files_.find(Key(from));
  if (found == files_.end()) return false;
  std::string bytes = std::move(found->second);
  files_.erase(found);
  files_[Key(to)] = std::move(bytes);
  return true;
}

bool MemoryFileSystem::ListDir(const std::string& path, std::vector<std::string>* names) {
  names->clear();
  std::string folder = Key(path);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  for (const auto& [key, bytes] : files_) {
    (void)bytes;
    if (key.compare(0, folder.size(), folder) == 0 && key.find('/', folder.size()) == std::string::npos) {
      names->push_back(key.substr(folder.size()));
    }
  }
  return true;
}

void Fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

std::unique_ptr<platform::ReadableFile> BytesFileSystem::OpenRead(const std::string&) {
  return std::make_unique<BytesFile>(bytes_);
}

std::unique_ptr<platform::WritableFile> BytesFileSystem::OpenWrite(const std::string&, platform::WriteMode) {
  return std::make_unique<NowhereFile>();
}

void StartHostOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  mmisim::Start(mmisim::SampleMachine());
  mmisim::SetRecording(false);
  mmisim::AddType(1, "T40+STEEL+FAST");
}

}  // namespace td::fuzz
