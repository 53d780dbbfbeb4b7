#include "lock.h"

#include <fmt/core.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace tool {
namespace {

double WaitSeconds() {
  const char* text = std::getenv("TYPEDATA_LOCK_WAIT");
  if (!text || !*text) return 5.0;
  char* end = nullptr;
  const double seconds = std::strtod(text, &end);
  return *end == '\0' && seconds >= 0 && seconds < 3600 ? seconds : 5.0;
}

#ifdef _WIN32
using Handle = HANDLE;
const Handle kNone = INVALID_HANDLE_VALUE;

// The lock covers one byte far beyond the process id written at the start,
// since Windows keeps other processes from reading locked bytes.
OVERLAPPED LockedRange() {
  OVERLAPPED where{};
  where.Offset = 0;
  where.OffsetHigh = 1;
  return where;
}

Handle OpenLockFile(const std::string& path, std::string* reason) {
  const Handle file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == kNone) *reason = fmt::format("Windows error {}", GetLastError());
  return file;
}

bool TryLock(Handle file, bool exclusive) {
  OVERLAPPED where = LockedRange();
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  return LockFileEx(file, flags, 0, 1, 0, &where) != 0;
}

void Unlock(Handle file) {
  OVERLAPPED where = LockedRange();
  UnlockFileEx(file, 0, 1, 0, &where);
}

void CloseFile(Handle file) { CloseHandle(file); }

std::string ReadHolder(Handle file) {
  char text[64] = "";
  DWORD read = 0;
  OVERLAPPED at{};
  ReadFile(file, text, sizeof text - 1, &read, &at);
  return std::string(text, read);
}

void WriteHolder(Handle file, const std::string& text) {
  LARGE_INTEGER start{};
  SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
  SetEndOfFile(file);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }
#else
using Handle = int;
const Handle kNone = -1;

Handle OpenLockFile(const std::string& path, std::string* reason) {
  // Never through a symbolic link: the lock file is ours alone.
  const Handle file = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (file < 0) *reason = std::strerror(errno);
  return file;
}

bool TryLock(Handle file, bool exclusive) {
  while (true) {
    if (::flock(file, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return true;
    if (errno != EINTR) return false;
  }
}

void Unlock(Handle file) { ::flock(file, LOCK_UN); }
void CloseFile(Handle file) { ::close(file); }

std::string ReadHolder(Handle file) {
  char text[64];
  const ssize_t read = ::pread(file, text, sizeof text - 1, 0);
  return read > 0 ? std::string(text, static_cast<std::size_t>(read)) : std::string();
}

void WriteHolder(Handle file, const std::string& text) {
  if (::ftruncate(file, 0) != 0) return;
  if (::pwrite(file, text.data(), text.size(), 0) < 0) return;
}

int ProcessId() { return static_cast<int>(::getpid()); }
#endif

Handle ToHandle(std::intptr_t value) {
#ifdef _WIN32
  return reinterpret_cast<Handle>(value);
#else
  return static_cast<Handle>(value);
#endif
}

std::intptr_t FromHandle(Handle handle) {
#ifdef _WIN32
  return reinterpret_cast<std::intptr_t>(handle);
#else
  return handle;
#endif
}

}  // namespace

std::string TreeLock::PathIn(const std::string& root) { return root + "/.typedata-lock"; }

std::unique_ptr<TreeLock> TreeLock::Exclusive(const std::string& root, std::string* error) {
  return Take(root, true, error);
}

std::unique_ptr<TreeLock> TreeLock::Shared(const std::string& root, std::string* error) {
  return Take(root, false, error);
}

std::unique_ptr<TreeLock> TreeLock::Take(const std::string& root, bool exclusive, std::string* error) {
  const std::string path = PathIn(root);
  std::string reason;
  const Handle file = OpenLockFile(path, &reason);
  if (file == kNone) {
    *error = fmt::format("{}: the tree's lock file cannot be opened: {}", path, reason);
    return nullptr;
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::duration<double>(WaitSeconds());
  while (!TryLock(file, exclusive)) {
    if (Clock::now() >= deadline) {
      const std::string holder = ReadHolder(file);
      CloseFile(file);
      *error =
          holder.empty()
              ? fmt::format("the tree at {} is busy: another typedata command is reading it; try again", root)
              : fmt::format("the tree at {} is busy: process {} is changing it; try again when it ends", root,
                            holder);
      return nullptr;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::unique_ptr<TreeLock> lock(new TreeLock);
  lock->handle_ = FromHandle(file);
  lock->exclusive_ = exclusive;
  if (exclusive) WriteHolder(file, std::to_string(ProcessId()));
  return lock;
}

TreeLock::~TreeLock() {
  const Handle file = ToHandle(handle_);
  if (file == kNone) return;
  // The holder's id goes first, so that a waiting command never names a
  // process that has let go.
  if (exclusive_) WriteHolder(file, "");
  Unlock(file);
  CloseFile(file);
}

}  // namespace tool
