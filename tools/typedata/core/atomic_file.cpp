#include "core/atomic_file.h"

#include <fmt/core.h>

#include <algorithm>
#include <cstdio>

#include <cctype>
#include <random>
#include <set>

#include "core/open_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace tool {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string TemporaryName(const std::string& folder) {
  static std::mt19937 random{std::random_device{}()};
  return fmt::format("{}/~td{:08x}.tmp", folder, static_cast<unsigned>(random()));
}

#ifdef _WIN32
constexpr bool kFlushEachFile = true;

std::string LastError() { return fmt::format("Windows error {}", GetLastError()); }

bool WriteNew(const std::string& temp, const std::string& bytes, bool flush, std::string* reason) {
  const HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = LastError();
    return false;
  }
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size() && (!flush || FlushFileBuffers(file));
  if (!ok) *reason = LastError();
  CloseHandle(file);
  if (!ok) DeleteFileA(temp.c_str());
  return ok;
}

// Each file is flushed as it is written: the group's flushes are paid one by one.
bool FlushTogether(const std::vector<std::string>&, std::string*) { return true; }

bool Rename(const std::string& temp, const std::string& path, bool, std::string* reason) {
  if (MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  *reason = LastError();
  DeleteFileA(temp.c_str());
  return false;
}
#else
constexpr bool kFlushEachFile = false;  // syncfs flushes them together

bool WriteNew(const std::string& temp, const std::string& bytes, bool flush, std::string* reason) {
  const int file = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (file < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(file, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool ok = done == bytes.size() && (!flush || ::fsync(file) == 0);
  if (!ok) *reason = std::strerror(errno);
  ::close(file);
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

// One syncfs for each file system the folders are on flushes every file
// written there, rather than a journal commit for each file.
bool FlushTogether(const std::vector<std::string>& folders, std::string* reason) {
  std::set<dev_t> flushed;
  for (const std::string& path : folders) {
    const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    bool ok = folder >= 0 && ::fstat(folder, &st) == 0;
    if (ok && flushed.insert(st.st_dev).second) ok = ::syncfs(folder) == 0;
    if (!ok) *reason = std::strerror(errno);
    if (folder >= 0) ::close(folder);
    if (!ok) return false;
  }
  return true;
}

bool Rename(const std::string& temp, const std::string& path, bool flushFolder, std::string* reason) {
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    *reason = std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  }
  if (!flushFolder) return true;
  const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}
#endif

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
  // A link, a device or a FIFO in the target's place is not the tool's to replace.
  if (FileError refused; !CheckReplaceable(path, &refused)) {
    if (error) *error = refused.Message();
    return false;
  }
  std::string reason;
  std::string temp;
  bool written = false;
  // A name taken by another file is tried again under another.
  for (int attempt = 0; attempt < 16 && !written; ++attempt) {
    temp = TemporaryName(FolderOf(path));
    written = WriteNew(temp, bytes, /*flush=*/true, &reason);
  }
  if (written && Rename(temp, path, /*flushFolder=*/true, &reason)) return true;
  if (error) *error = path + ": " + reason;
  return false;
}

bool CopyFilesTogether(const std::vector<CopyJob>& copies, std::size_t* failed, std::string* reason) {
  std::vector<std::string> temps;
  std::vector<std::string> folders;
  const auto fail = [&](std::size_t at) {
    for (const std::string& temp : temps) std::remove(temp.c_str());
    *failed = at;
    return false;
  };
  for (std::size_t i = 0; i < copies.size(); ++i) {
    std::string bytes;
    if (FileError failure; !ReadWholeFile(copies[i].source, kTypeDataFile, &bytes, &failure)) {
      *reason = failure.reason;
      return fail(i);
    }
    const std::string folder = FolderOf(copies[i].target);
    bool written = false;
    for (int attempt = 0; attempt < 16 && !written; ++attempt) {
      std::string temp = TemporaryName(folder);
      written = WriteNew(temp, bytes, /*flush=*/kFlushEachFile, reason);
      if (written) temps.push_back(std::move(temp));
    }
    if (!written) return fail(i);
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  }
  if (!FlushTogether(folders, reason)) return fail(copies.size());
  for (std::size_t i = 0; i < copies.size(); ++i) {
    if (!Rename(temps[i], copies[i].target, /*flushFolder=*/false, reason)) {
      temps.erase(temps.begin(), temps.begin() + static_cast<std::ptrdiff_t>(i) + 1);
      return fail(i);
    }
  }
  temps.clear();
  // The renames, and the folders they are in, made durable in one go too.
  if (!FlushTogether(folders, reason)) return fail(copies.size());
  return true;
}

bool IsTemporaryFileName(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (folded == "temp.dat" || folded == "temp.typ" || folded == "copy.tmp") return true;
  const std::string copyTmp = ".copy-tmp";
  if (folded.size() > copyTmp.size() &&
      folded.compare(folded.size() - copyTmp.size(), copyTmp.size(), copyTmp) == 0)
    return true;
  if (folded.size() != 15 || folded.compare(0, 3, "~td") != 0 || folded.compare(11, 4, ".tmp") != 0)
    return false;
  for (std::size_t i = 3; i < 11; ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(folded[i]))) return false;
  }
  return true;
}

}  // namespace tool
