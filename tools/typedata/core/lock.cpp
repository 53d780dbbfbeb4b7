#include "core/lock.h"

#include <fmt/core.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "core/open_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

Handle ToHandle(std::intptr_t value) { return reinterpret_cast<Handle>(value); }

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED where{};
  where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  where.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return where;
}

// LockFileEx ranges belong to their handle: each command, and each request
// of the server, opens the file for itself.
bool TryLock(Handle file, std::uint64_t offset, bool exclusive) {
  OVERLAPPED where = At(offset);
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  return LockFileEx(file, flags, 0, 1, 0, &where) != 0;
}

void Unlock(Handle file, std::uint64_t offset) {
  OVERLAPPED where = At(offset);
  UnlockFileEx(file, 0, 1, 0, &where);
}

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

Handle ToHandle(std::intptr_t value) { return static_cast<Handle>(value); }

// Open file description locks: they belong to the open file, not to the
// process, so two sessions of one process (the server's) exclude each
// other, and a range is let go of without touching the other.
bool TryLock(Handle file, std::uint64_t offset, bool exclusive) {
  struct flock range {};
  range.l_type = exclusive ? F_WRLCK : F_RDLCK;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(offset);
  range.l_len = 1;
  while (true) {
    if (::fcntl(file, F_OFD_SETLK, &range) == 0) return true;
    if (errno != EINTR) return false;
  }
}

void Unlock(Handle file, std::uint64_t offset) {
  struct flock range {};
  range.l_type = F_UNLCK;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(offset);
  range.l_len = 1;
  ::fcntl(file, F_OFD_SETLK, &range);
}

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

// The lock file of a reader, to read only where it cannot be written; none
// where there is none and none can be made (a read-only tree).
bool OpenForReader(const std::string& path, InPlaceFile* file, FileError* error) {
  if (OpenInPlace(path, InPlaceMode::kCreate, file, error)) return true;
  FileError readOnly;
  if (OpenInPlace(path, InPlaceMode::kReadOnly, file, &readOnly)) return true;
  if (!readOnly.missing) {
    *error = readOnly;
    return false;
  }
  file->handle = -1;
  return !error->missing;  // the type folder itself missing is no reason to go on
}

// Polls until take() succeeds or the wait is over.
template <typename Take>
bool WaitFor(std::chrono::steady_clock::time_point deadline, Take take) {
  while (!take()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace

std::string TreeLock::PathIn(const std::string& root) { return root + "/type/.typedata-lock"; }

std::unique_ptr<TreeLock> TreeLock::Exclusive(const std::string& root, std::string* error, bool* busy) {
  return Take(root, true, error, busy);
}

std::unique_ptr<TreeLock> TreeLock::Shared(const std::string& root, std::string* error, bool* busy) {
  return Take(root, false, error, busy);
}

std::unique_ptr<TreeLock> TreeLock::Take(const std::string& root, bool exclusive, std::string* error,
                                         bool* busy) {
  if (busy) *busy = false;
  const std::string path = PathIn(root);
  InPlaceFile opened;
  FileError failure;
  if (!(exclusive ? OpenInPlace(path, InPlaceMode::kCreate, &opened, &failure)
                  : OpenForReader(path, &opened, &failure))) {
    if (failure.missing) {
      *error = root + "/type: no type folder here (give --root the folder that holds type/)";
      return nullptr;
    }
    *error = fmt::format("{}: the tree's lock file cannot be used: {}{}", path, failure.reason,
                         failure.refused ? "; remove it (when no command is running) and try again" : "");
    return nullptr;
  }
  std::unique_ptr<TreeLock> lock(new TreeLock);
  lock->handle_ = opened.handle;
  lock->exclusive_ = exclusive;
  if (opened.handle == -1) return lock;  // a read-only tree without a lock file: nobody can change it
  const Handle file = ToHandle(opened.handle);

  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                             std::chrono::duration<double>(WaitSeconds()));
  bool passed = false;  // the turnstile, for a reader: a changing command waits there
  bool taken = false;
  if (exclusive) {
    // Held while the readers already in go; readers that come later wait.
    passed = WaitFor(deadline, [&] { return TryLock(file, kTurnstile, true); });
    taken = passed && WaitFor(deadline, [&] { return TryLock(file, kMainRange, true); });
    if (passed) Unlock(file, kTurnstile);
  } else {
    taken = WaitFor(deadline, [&] {
      if (!TryLock(file, kTurnstile, false)) return false;
      passed = true;
      const bool in = TryLock(file, kMainRange, false);
      Unlock(file, kTurnstile);
      return in;
    });
  }
  if (!taken) {
    if (busy) *busy = true;
    const std::string holder = ReadHolder(file);
    lock->handle_ = -1;
    CloseInPlace(opened);
    if (!holder.empty())
      *error = fmt::format("the tree at {} is busy: process {} is changing it; try again when it ends", root,
                           holder);
    else if (!passed && !exclusive)
      *error =
          fmt::format("the tree at {} is busy: another typedata command waits to change it; try again", root);
    else
      *error = fmt::format("the tree at {} is busy: another typedata command is reading it; try again", root);
    return nullptr;
  }
  if (exclusive) WriteHolder(file, std::to_string(ProcessId()));
  return lock;
}

TreeLock::~TreeLock() {
  if (handle_ == -1) return;
  const Handle file = ToHandle(handle_);
  // The holder's id goes first, so that a waiting command never names a
  // process that has let go.
  if (exclusive_) WriteHolder(file, "");
  Unlock(file, kMainRange);
  CloseInPlace(InPlaceFile{handle_, exclusive_});
}

}  // namespace tool
