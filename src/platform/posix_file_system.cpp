// The file system of POSIX platforms.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "file_system.h"
#include "posix_folder_listing.h"
#include "posix_path.h"

namespace td::platform {
namespace {

class PosixReadableFile final : public ReadableFile {
 public:
  explicit PosixReadableFile(int fd) : fd_(fd) {}
  ~PosixReadableFile() override { ::close(fd_); }
  std::int64_t Read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return got;
      if (errno != EINTR) return -1;
    }
  }

 private:
  int fd_;
};

class PosixWritableFile final : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override { Close(); }
  bool Append(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t put = ::write(fd_, data, size);
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      data += put;
      size -= static_cast<std::size_t>(put);
    }
    return true;
  }
  bool Sync() override { return fd_ >= 0 && ::fsync(fd_) == 0; }
  bool Close() override {
    if (fd_ < 0) return true;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

// The native path of a service path; false (errno set) when it names more
// than one file.
bool Native(const std::string& path, std::string* native) { return MapServicePath(path, native); }

// The process changed the folder of native itself: its kept listing goes.
void Changed(const std::string& native) { ForgetFolder(NativeParentOf(native)); }

// Each path is looked at (a file never through a symbolic link); one
// descriptor is opened for each file system, to flush it.
bool SyncFileSystemsOf(const std::vector<std::string>& paths, bool folders) {
  std::vector<dev_t> synced;
  for (const std::string& path : paths) {
    std::string native;
    if (!Native(path, &native)) return false;
    struct stat st;
    if ((folders ? ::stat(native.c_str(), &st) : ::lstat(native.c_str(), &st)) != 0) return false;
    if (folders != static_cast<bool>(S_ISDIR(st.st_mode)) || S_ISLNK(st.st_mode)) {
      errno = folders ? ENOTDIR : (S_ISLNK(st.st_mode) ? ELOOP : EISDIR);
      return false;
    }
    if (std::find(synced.begin(), synced.end(), st.st_dev) != synced.end()) continue;
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | (folders ? O_DIRECTORY : O_NOFOLLOW));
    if (fd < 0) return false;
    const bool ok = ::syncfs(fd) == 0;
    const int reason = errno;
    ::close(fd);
    errno = reason;
    if (!ok) return false;
    synced.push_back(st.st_dev);
  }
  return true;
}

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadableFile> OpenRead(const std::string& path) override {
    std::string native;
    if (!Native(path, &native)) return nullptr;
    // Opened without waiting: a FIFO in a file's place would otherwise hold
    // the operation until some writer came, and a device never ends.
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      const bool folder = S_ISDIR(st.st_mode);
      ::close(fd);
      errno = folder ? EISDIR : EINVAL;
      return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixReadableFile>(fd);
  }
  std::unique_ptr<WritableFile> OpenWrite(const std::string& path, WriteMode mode) override {
    std::string native;
    if (!Native(path, &native)) return nullptr;
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    switch (mode) {
      case WriteMode::kTruncate:
        flags |= O_TRUNC;
        break;
      case WriteMode::kAppend:
        flags |= O_APPEND;
        break;
      case WriteMode::kCreateNew:
        flags |= O_EXCL | O_NOFOLLOW;
        break;
    }
    const int fd = ::open(native.c_str(), flags, 0666);
    if (fd < 0) return nullptr;
    // A file made otherwise moves its folder's times away from the kept
    // listing's all the same.
    if (mode == WriteMode::kCreateNew) Changed(native);
    return std::make_unique<PosixWritableFile>(fd);
  }
  bool Remove(const std::string& path) override {
    std::string native;
    if (!Native(path, &native) || ::unlink(native.c_str()) != 0) return false;
    Changed(native);
    return true;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    std::string nativeFrom;
    std::string nativeTo;
    if (!Native(from, &nativeFrom) || !Native(to, &nativeTo) ||
        ::rename(nativeFrom.c_str(), nativeTo.c_str()) != 0) {
      return false;
    }
    Changed(nativeFrom);
    Changed(nativeTo);
    return true;
  }
  bool MakeDir(const std::string& path) override {
    std::string native;
    if (!Native(path, &native)) return false;
    if (::mkdir(native.c_str(), 0777) == 0) {
      Changed(native);
      return true;
    }
    const int reason = errno;
    struct stat st;
    if (reason == EEXIST && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    errno = reason == EEXIST ? ENOTDIR : reason;
    return false;
  }
  bool SyncDir(const std::string& path) override {
    std::string native;
    if (!Native(path, &native)) return false;
    const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    const int reason = errno;
    ::close(fd);
    errno = reason;
    return synced;
  }
  // One syncfs for each file system that holds any of them: it commits
  // every file's data and every folder's entries at once, where fsync of
  // each would wait for one disk flush after another.
  bool SyncFiles(const std::vector<std::string>& paths) override { return SyncFileSystemsOf(paths, false); }
  bool SyncDirs(const std::vector<std::string>& folders) override { return SyncFileSystemsOf(folders, true); }
  bool Exists(const std::string& path) override {
    std::string native;
    struct stat st;
    return Native(path, &native) && ::stat(native.c_str(), &st) == 0;
  }
  // One look-up and one open: a file that is not there opens with ENOENT.
  bool Replaceable(const std::string& path) override {
    std::string native;
    if (!Native(path, &native)) return false;
    const int fd = ::open(native.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR;
    return ::close(fd) == 0;
  }
  bool ListDir(const std::string& path, std::vector<std::string>* names) override {
    std::string native;
    return Native(path, &native) && ListFolder(native, names);
  }
  bool CopyTimes(const std::string& from, const std::string& to) override {
    std::string nativeFrom;
    std::string nativeTo;
    if (!Native(from, &nativeFrom) || !Native(to, &nativeTo)) return false;
    struct stat st;
    if (::stat(nativeFrom.c_str(), &st) != 0) return false;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    return ::utimensat(AT_FDCWD, nativeTo.c_str(), times, 0) == 0;
  }
};

}  // namespace

FileSystem& DefaultFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace td::platform
