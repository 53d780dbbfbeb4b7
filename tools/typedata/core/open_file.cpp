#include "core/open_file.h"

#include <fmt/core.h>

#include <algorithm>
#include <filesystem>

#include "core/system_error.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace fs = std::filesystem;

namespace tool {
namespace {

bool Fail(const std::string& path, std::string reason, FileError* error, bool missing = false) {
  if (error) *error = FileError{path, std::move(reason), missing, false};
  return false;
}

// The file is there, but not one to be read or written as asked.
bool Refuse(const std::string& path, std::string reason, FileError* error) {
  if (error) *error = FileError{path, std::move(reason), false, true};
  return false;
}

std::string TooBig(const FileKind& kind, std::uint64_t size) {
  return fmt::format("{} bytes, more than {} can be ({} bytes at most); refused", size, kind.what,
                     kind.limit);
}

// The bytes of an open file, up to size, read in place; false on an error.
template <typename ReadSome>
bool ReadUpTo(std::uint64_t size, char* into, std::size_t* got, ReadSome readSome) {
  *got = 0;
  while (*got < size) {
    const long long n = readSome(into + *got, static_cast<std::size_t>(size - *got));
    if (n < 0) return false;
    if (n == 0) break;  // shorter than it was: what is there is all there is
    *got += static_cast<std::size_t>(n);
  }
  return true;
}

#ifdef _WIN32

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// Opens path to read after the kind of file and its size are known to fit.
HANDLE OpenChecked(const std::string& path, const FileKind& kind, std::uint64_t* size, FileError* error) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Refuse(path, "a folder, not a file", error);
    return INVALID_HANDLE_VALUE;
  }
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    Fail(path, SystemReason(), error, IsMissing(code));
    return INVALID_HANDLE_VALUE;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(file);
    Refuse(path, "not a regular file (a device or a pipe)", error);
    return INVALID_HANDLE_VALUE;
  }
  *size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (*size > kind.limit) {
    CloseHandle(file);
    Refuse(path, TooBig(kind, *size), error);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

bool ReadOpen(HANDLE file, std::uint64_t size, char* into, std::size_t* got) {
  return ReadUpTo(size, into, got, [&](char* at, std::size_t wanted) -> long long {
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wanted, 1u << 30));
    if (!ReadFile(file, at, chunk, &read, nullptr)) return -1;
    return read;
  });
}

void CloseOpen(HANDLE file) { CloseHandle(file); }
using Open = HANDLE;
const Open kNotOpen = INVALID_HANDLE_VALUE;

#else

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISLNK(mode)) return "a symbolic link";
  return "not a regular file";
}

// Opens path to read after the kind of file and its size are known to fit.
// O_NONBLOCK keeps a FIFO without a writer from holding the open up.
int OpenChecked(const std::string& path, const FileKind& kind, std::uint64_t* size, FileError* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int code = errno;
    Fail(path, std::strerror(code), error, code == ENOENT);
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    Fail(path, std::strerror(errno), error);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    Refuse(path, KindOf(st.st_mode) + ", not a regular file; refused", error);
    return -1;
  }
  *size = static_cast<std::uint64_t>(st.st_size);
  if (*size > kind.limit) {
    ::close(fd);
    Refuse(path, TooBig(kind, *size), error);
    return -1;
  }
  // A regular file never blocks; cleared all the same, so reads are plain.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool ReadOpen(int fd, std::uint64_t size, char* into, std::size_t* got) {
  return ReadUpTo(size, into, got, [&](char* at, std::size_t wanted) -> long long {
    for (;;) {
      const ssize_t n = ::read(fd, at, wanted);
      if (n < 0 && errno == EINTR) continue;
      return n;
    }
  });
}

void CloseOpen(int fd) { ::close(fd); }
using Open = int;
const Open kNotOpen = -1;

#endif

}  // namespace

bool CheckReadable(const std::string& path, const FileKind& kind, FileError* error) {
  std::uint64_t size = 0;
  const Open file = OpenChecked(path, kind, &size, error);
  if (file == kNotOpen) return false;
  CloseOpen(file);
  return true;
}

bool ReadWholeFile(const std::string& path, const FileKind& kind, std::vector<char>* bytes, std::size_t* size,
                   FileError* error) {
  *size = 0;
  std::uint64_t expected = 0;
  const Open file = OpenChecked(path, kind, &expected, error);
  if (file == kNotOpen) return false;
  if (bytes->size() < expected + 1) bytes->resize(static_cast<std::size_t>(expected) + 1);
  const bool ok = ReadOpen(file, expected, bytes->data(), size);
  if (!ok) Fail(path, SystemReason(), error);
  CloseOpen(file);
  if (!ok) *size = 0;
  return ok;
}

bool ReadWholeFile(const std::string& path, const FileKind& kind, std::string* bytes, FileError* error) {
  bytes->clear();
  std::uint64_t expected = 0;
  const Open file = OpenChecked(path, kind, &expected, error);
  if (file == kNotOpen) return false;
  bytes->resize(static_cast<std::size_t>(expected));
  std::size_t got = 0;
  const bool ok = ReadOpen(file, expected, bytes->data(), &got);
  if (!ok) Fail(path, SystemReason(), error);
  CloseOpen(file);
  bytes->resize(ok ? got : 0);
  return ok;
}

#ifdef _WIN32

bool OpenInPlace(const std::string& path, InPlaceMode mode, InPlaceFile* file, FileError* error) {
  const bool write = mode == InPlaceMode::kCreate;
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | (write ? GENERIC_WRITE : 0),
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    write ? OPEN_ALWAYS : OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    return Fail(path, SystemReason(), error, IsMissing(code));
  }
  BY_HANDLE_FILE_INFORMATION info{};
  std::string refusal;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info))
    refusal = "not a regular file";
  else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
    refusal = "a symbolic link or junction, not a file of its own";
  else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    refusal = "a folder, not a file";
  else if (info.nNumberOfLinks > 1)
    refusal = fmt::format("a file with {} names (hard links): writing it would change another file too",
                          info.nNumberOfLinks);
  if (!refusal.empty()) {
    CloseHandle(handle);
    return Refuse(path, refusal, error);
  }
  file->handle = reinterpret_cast<std::intptr_t>(handle);
  file->writable = write;
  return true;
}

void CloseInPlace(const InPlaceFile& file) {
  if (file.handle != -1) CloseHandle(reinterpret_cast<HANDLE>(file.handle));
}

#else

bool OpenInPlace(const std::string& path, InPlaceMode mode, InPlaceFile* file, FileError* error) {
  const bool write = mode == InPlaceMode::kCreate;
  const int flags = (write ? O_RDWR | O_CREAT : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) {
    const int code = errno;
    if (code == ELOOP) return Refuse(path, "a symbolic link, not a file of its own", error);
    return Fail(path, std::strerror(code), error, code == ENOENT);
  }
  struct stat st;
  std::string refusal;
  if (::fstat(fd, &st) != 0)
    refusal = std::strerror(errno);
  else if (!S_ISREG(st.st_mode))
    refusal = KindOf(st.st_mode) + ", not a regular file";
  else if (st.st_nlink > 1)
    refusal = fmt::format("a file with {} names (hard links): writing it would change another file too",
                          static_cast<unsigned long>(st.st_nlink));
  if (!refusal.empty()) {
    ::close(fd);
    return Refuse(path, refusal, error);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  file->handle = fd;
  file->writable = write;
  return true;
}

void CloseInPlace(const InPlaceFile& file) {
  if (file.handle >= 0) ::close(static_cast<int>(file.handle));
}

#endif

bool CheckReplaceable(const std::string& path, FileError* error) {
  std::error_code failure;
  const fs::file_status status = fs::symlink_status(path, failure);
  if (failure || status.type() == fs::file_type::not_found) return true;  // nothing there to lose
  switch (status.type()) {
    case fs::file_type::regular:
      return true;
    case fs::file_type::symlink:
      return Refuse(path, "a symbolic link; refused (it is not replaced, nor what it leads to)", error);
    case fs::file_type::directory:
      return Refuse(path, "a folder; refused", error);
    case fs::file_type::fifo:
      return Refuse(path, "a FIFO; refused", error);
    case fs::file_type::character:
    case fs::file_type::block:
      return Refuse(path, "a device; refused", error);
    default:
      return Refuse(path, "not a regular file; refused", error);
  }
}

bool CheckOutputPath(const std::string& path, const std::string& treeRoot, FileError* error) {
  if (!CheckReplaceable(path, error)) return false;
  std::error_code failure;
  if (fs::exists(fs::symlink_status(path, failure)) && fs::hard_link_count(path, failure) > 1 && !failure)
    return Refuse(
        path, "a file with a second name (a hard link); refused, since the other name would keep it", error);
  if (treeRoot.empty()) return true;
  // Compared as the system resolves them, folder by folder up from the
  // output's, so that no spelling (links, "..", a bind mount) slips past.
  const fs::path target = fs::weakly_canonical(fs::absolute(path, failure), failure);
  const fs::path root = fs::weakly_canonical(fs::absolute(treeRoot, failure), failure);
  const fs::path typeFolder = root / "type";
  const bool ownName = target.filename().string().rfind(".typedata-", 0) == 0;
  for (fs::path folder = target.parent_path();; folder = folder.parent_path()) {
    std::error_code ignored;
    const bool inType = fs::equivalent(folder, typeFolder, ignored);
    const bool ownFile = ownName && folder == target.parent_path() && fs::equivalent(folder, root, ignored);
    if (inType || ownFile)
      return Refuse(
          path,
          "in the tree at " + root.generic_string() + ": an output never replaces nor adds a file of a tree",
          error);
    if (folder == folder.parent_path() || folder.empty()) break;
  }
  return true;
}

}  // namespace tool
