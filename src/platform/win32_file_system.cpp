// The file system of Windows. Paths pass through as the service forms
// them; Windows itself matches names without regard to case.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "file_system.h"

namespace td::platform {
namespace {

// Flushes of many files, issued from a few threads at once: each
// FlushFileBuffers waits for the disk, and flushes that wait together are
// taken by the disk together rather than one after another.
class ParallelFlush {
 public:
  static constexpr std::size_t kThreads = 8;

  explicit ParallelFlush(const std::vector<std::string>& paths) : paths_(paths) {}

  bool Run() {
    std::vector<HANDLE> threads;
    const std::size_t helpers = std::min(kThreads, paths_.size()) - (paths_.empty() ? 0 : 1);
    for (std::size_t i = 0; i < helpers; ++i) {
      // A thread that cannot be started leaves its share to the others.
      HANDLE thread = CreateThread(nullptr, 64 * 1024, &ParallelFlush::Work, this,
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
      if (thread != nullptr) threads.push_back(thread);
    }
    Work(this);
    for (HANDLE thread : threads) {
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
    }
    if (failed_.load()) SetLastError(reason_.load());
    return !failed_.load();
  }

 private:
  static DWORD WINAPI Work(LPVOID self) {
    static_cast<ParallelFlush*>(self)->FlushNext();
    return 0;
  }
  void FlushNext() {
    for (;;) {
      const std::size_t i = next_.fetch_add(1);
      if (i >= paths_.size() || failed_.load()) return;
      // The file must be there: a flush never makes one.
      HANDLE file = CreateFileA(paths_[i].c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      const bool flushed = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file) != 0;
      const DWORD reason = flushed ? NO_ERROR : GetLastError();
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
      if (!flushed) {
        reason_.store(reason);
        failed_.store(true);
      }
    }
  }

  const std::vector<std::string>& paths_;
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> failed_{false};
  std::atomic<DWORD> reason_{NO_ERROR};
};

class Win32ReadableFile final : public ReadableFile {
 public:
  explicit Win32ReadableFile(HANDLE file) : file_(file) {}
  ~Win32ReadableFile() override { CloseHandle(file_); }
  std::int64_t Read(char* buffer, std::size_t size) override {
    DWORD got = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!ReadFile(file_, buffer, want, &got, nullptr)) return -1;
    return got;
  }

 private:
  HANDLE file_;
};

class Win32WritableFile final : public WritableFile {
 public:
  explicit Win32WritableFile(HANDLE file) : file_(file) {}
  ~Win32WritableFile() override { Close(); }
  bool Append(const char* data, std::size_t size) override {
    while (size > 0) {
      DWORD put = 0;
      const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      if (!WriteFile(file_, data, want, &put, nullptr) || put == 0) return false;
      data += put;
      size -= put;
    }
    return true;
  }
  bool Sync() override { return file_ != INVALID_HANDLE_VALUE && FlushFileBuffers(file_) != 0; }
  bool Close() override {
    if (file_ == INVALID_HANDLE_VALUE) return true;
    const BOOL closed = CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return closed != 0;
  }

 private:
  HANDLE file_;
};

class Win32FileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadableFile> OpenRead(const std::string& path) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32ReadableFile>(file);
  }
  std::unique_ptr<WritableFile> OpenWrite(const std::string& path, WriteMode mode) override {
    // CREATE_NEW fails on any existing name, a symbolic link included.
    const DWORD disposition = mode == WriteMode::kAppend      ? OPEN_ALWAYS
                              : mode == WriteMode::kCreateNew ? CREATE_NEW
                                                              : CREATE_ALWAYS;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    if (mode == WriteMode::kAppend &&
        SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
      const DWORD reason = GetLastError();
      CloseHandle(file);
      SetLastError(reason);
      return nullptr;
    }
    return std::make_unique<Win32WritableFile>(file);
  }
  bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }
  bool Rename(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  bool MakeDir(const std::string& path) override {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  // MoveFileExA with write-through has flushed the rename already; only a
  // folder that is not there fails.
  bool SyncDir(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
    SetLastError(ERROR_DIRECTORY);
    return false;
  }
  bool SyncFiles(const std::vector<std::string>& paths) override { return ParallelFlush(paths).Run(); }
  bool Exists(const std::string& path) override {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool ListDir(const std::string& path, std::vector<std::string>* names) override {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    names->clear();
    do {
      const std::string name = data.cFileName;
      if (name != "." && name != "..") names->push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
  }
  bool CopyTimes(const std::string& from, const std::string& to) override {
    HANDLE source = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) return false;
    FILETIME created, accessed, written;
    const BOOL got = GetFileTime(source, &created, &accessed, &written);
    CloseHandle(source);
    if (!got) return false;
    HANDLE target = CreateFileA(to.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) return false;
    const BOOL set = SetFileTime(target, &created, &accessed, &written);
    CloseHandle(target);
    return set != 0;
  }
};

}  // namespace

bool ResolvePath(const std::string& servicePath, std::string* nativePath) {
  *nativePath = servicePath;
  return true;
}

FileSystem& DefaultFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace td::platform
