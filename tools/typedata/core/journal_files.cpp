#include "core/journal_files.h"

#include <fmt/core.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/atomic_file.h"

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

namespace tool::journal {
namespace {

bool ReadAll(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// A temporary name of the service's pattern, so that check names it and a
// roll-back cut short removes it the next time.
std::string TemporaryNameIn(const std::string& folder) {
  static std::mt19937 random{std::random_device{}()};
  return fmt::format("{}/~td{:08x}.tmp", folder, static_cast<unsigned>(random()));
}

std::string ParentPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

Entry EntryAt(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (error || !fs::exists(status)) return Entry::kAbsent;
  return fs::is_directory(status) ? Entry::kFolder : Entry::kOther;
}

bool WriteDurably(const std::string& path, const std::string& bytes, std::string* reason) {
  return ReplaceFileAtomically(path, bytes, reason);
}

bool KeepAs(const std::string& from, const std::string& to, std::string* reason) {
  std::error_code error;
  fs::create_hard_link(from, to, error);
  if (!error) return true;
  // Another file system below a linked type folder, or one without links.
  std::string bytes;
  if (!ReadAll(from, &bytes)) {
    *reason = from + ": cannot be read to be kept: " + error.message();
    return false;
  }
  return WriteDurably(to, bytes, reason);
}

#ifdef _WIN32
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}
#else
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first;
  struct stat second;
  return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
#endif

bool SameBytes(const std::string& a, const std::string& b) {
  std::error_code error;
  if (!fs::is_regular_file(fs::symlink_status(a, error)) ||
      !fs::is_regular_file(fs::symlink_status(b, error)))
    return false;
  const auto sizeA = fs::file_size(a, error);
  if (error || sizeA != fs::file_size(b, error) || error) return false;
  std::string first;
  std::string second;
  return ReadAll(a, &first) && ReadAll(b, &second) && first == second;
}

bool PutInPlace(const std::string& kept, const std::string& target, std::string* reason) {
  const std::string folder = ParentPath(target);
  std::error_code error;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string temp = TemporaryNameIn(folder);
    if (EntryAt(temp) != Entry::kAbsent) continue;
    if (!KeepAs(kept, temp, reason)) return false;
    fs::rename(temp, target, error);
    if (!error) return true;
    fs::remove(temp);
    *reason = target + ": " + error.message();
    return false;
  }
  *reason = folder + ": no temporary name is free";
  return false;
}

#ifdef _WIN32
bool FlushFolder(const std::string&) { return true; }
#else
bool FlushFolder(const std::string& folder) {
  const int file = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (file < 0) return false;
  const bool flushed = ::fsync(file) == 0;
  ::close(file);
  return flushed;
}
#endif

std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (IsTemporaryFileName(name)) names.push_back(std::move(name));
  }
  return names;
}

std::string FolderOf(const std::string& relative) {
  const std::size_t slash = relative.find_last_of('/');
  return slash == std::string::npos ? "" : relative.substr(0, slash);
}

}  // namespace tool::journal
