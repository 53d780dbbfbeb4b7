#include "support/crash_file_system.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/last_error.h"
#include "support/fault_file_system.h"
#include "support/workspace.h"

namespace fs = std::filesystem;

namespace td::testing {
namespace {

class CrashWritableFile final : public platform::WritableFile {
 public:
  CrashWritableFile(CrashFileSystem* fs, int inode, std::unique_ptr<platform::WritableFile> base)
      : fs_(fs), inode_(inode), base_(std::move(base)) {}
  bool Append(const char* data, std::size_t size) override {
    if (!fs_->Step() || !base_->Append(data, size)) return false;
    fs_->Wrote(inode_, data, size);
    return true;
  }
  bool Sync() override {
    if (!fs_->Step() || !base_->Sync()) return false;
    fs_->Synced(inode_);
    return true;
  }
  bool Close() override {
    if (closed_) return true;
    closed_ = true;
    const bool alive = fs_->Step();
    return base_->Close() && alive;
  }

 private:
  CrashFileSystem* fs_;
  int inode_;
  std::unique_ptr<platform::WritableFile> base_;
  bool closed_ = false;
};

class CrashReadableFile final : public platform::ReadableFile {
 public:
  CrashReadableFile(CrashFileSystem* fs, std::unique_ptr<platform::ReadableFile> base)
      : fs_(fs), base_(std::move(base)) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    if (!fs_->Step()) return -1;
    return base_->Read(buffer, size);
  }

 private:
  CrashFileSystem* fs_;
  std::unique_ptr<platform::ReadableFile> base_;
};

}  // namespace

CrashFileSystem::CrashFileSystem(const std::string& root, platform::FileSystem& target)
    : FileSystemWrapper(target), root_(fs::weakly_canonical(root).generic_string()) {
  for (const auto& entry : fs::recursive_directory_iterator(root_)) {
    if (!entry.is_regular_file()) continue;
    const int inode = next_inode_++;
    const std::string bytes = ReadFileBytes(entry.path().string());
    inodes_[inode] = Inode{bytes, bytes};
    const std::string key = Fold(entry.path().generic_string());
    entries_[key] = inode;
    spelling_[key] = entry.path().generic_string();
  }
  durable_entries_ = entries_;
}

std::string CrashFileSystem::Spelling(const std::string& path) {
#ifdef _WIN32
  std::string mapped = path;
  std::replace(mapped.begin(), mapped.end(), '\\', '/');
  return fs::weakly_canonical(mapped).generic_string();
#else
  std::string mapped;
  if (!platform::ResolvePath(path, &mapped)) mapped = path;  // the operation itself will fail
  std::replace(mapped.begin(), mapped.end(), '\\', '/');
  return fs::weakly_canonical(mapped).generic_string();
#endif
}

std::string CrashFileSystem::Fold(std::string spelling) {
#ifdef _WIN32
  std::transform(spelling.begin(), spelling.end(), spelling.begin(),
                 [](unsigned char c) { return std::tolower(c); });
#endif
  return spelling;
}

std::string CrashFileSystem::FolderOf(const std::string& key) { return key.substr(0, key.find_last_of('/')); }

bool CrashFileSystem::Step() {
  ++count_;
  if (!crashed()) return true;
  platform::SetLastErrorCode(FaultFileSystem::kInjectedError);  // as a failing call would
  return false;
}

void CrashFileSystem::Wrote(int inode, const char* data, std::size_t size) {
  inodes_[inode].data.append(data, size);
}

void CrashFileSystem::Synced(int inode) { inodes_[inode].durable = inodes_[inode].data; }

std::unique_ptr<platform::ReadableFile> CrashFileSystem::OpenRead(const std::string& path) {
  if (!Step()) return nullptr;
  auto file = target().OpenRead(path);
  if (!file) return nullptr;
  return std::make_unique<CrashReadableFile>(this, std::move(file));
}

std::unique_ptr<platform::WritableFile> CrashFileSystem::OpenWrite(const std::string& path,
                                                                   platform::WriteMode mode) {
  if (!Step()) return nullptr;
  auto file = target().OpenWrite(path, mode);
  if (!file) return nullptr;
  const std::string key = Key(path);
  auto found = entries_.find(key);
  int inode = 0;
  if (found == entries_.end()) {
    inode = next_inode_++;
    inodes_[inode] = Inode{};
    entries_[key] = inode;
    spelling_[key] = Spelling(path);
  } else {
    inode = found->second;
    // Truncating takes effect at once; the old data is gone durably too
    // unless the file is flushed again (the worst case a file system allows).
    if (mode == platform::WriteMode::kTruncate) inodes_[inode] = Inode{};
  }
  return std::make_unique<CrashWritableFile>(this, inode, std::move(file));
}

bool CrashFileSystem::Remove(const std::string& path) {
  if (!Step() || !target().Remove(path)) return false;
  entries_.erase(Key(path));
  return true;
}

bool CrashFileSystem::Rename(const std::string& from, const std::string& to) {
  if (!Step()) return false;
  const std::string fromKey = Key(from);
  const std::string toKey = Key(to);
  if (!target().Rename(from, to)) return false;
  const auto found = entries_.find(fromKey);
  if (found != entries_.end()) {
    const int inode = found->second;
    entries_.erase(found);
    entries_[toKey] = inode;
    if (spelling_.count(toKey) == 0) spelling_[toKey] = Spelling(to);
  }
  return true;
}

bool CrashFileSystem::MakeDir(const std::string& path) { return Step() && target().MakeDir(path); }

bool CrashFileSystem::SyncDir(const std::string& path) {
  if (!Step() || !target().SyncDir(path)) return false;
  const std::string folder = Key(path);
  auto inFolder = [&](const std::string& key) { return FolderOf(key) == folder; };
  for (auto it = durable_entries_.begin(); it != durable_entries_.end();) {
    it = inFolder(it->first) ? durable_entries_.erase(it) : std::next(it);
  }
  for (const auto& [key, inode] : entries_) {
    if (inFolder(key)) durable_entries_[key] = inode;
  }
  return true;
}

bool CrashFileSystem::CopyTimes(const std::string& from, const std::string& to) {
  return Step() && target().CopyTimes(from, to);
}

void CrashFileSystem::Crash() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root_)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  for (const fs::path& file : files) fs::remove(file);
  // Each file is laid down under the name it has on disk: where letter
  // case is ignored the key alone would lose it.
  for (const auto& [key, inode] : durable_entries_) {
    const auto spelled = spelling_.find(key);
    const std::string path = spelled == spelling_.end() ? key : spelled->second;
    fs::create_directories(FolderOf(path));
    WriteFileBytes(path, inodes_[inode].durable);
  }
  entries_ = durable_entries_;
  for (auto& [id, inode] : inodes_) inode.data = inode.durable;
  crash_at_ = 0;
}

}  // namespace td::testing
