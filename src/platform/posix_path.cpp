#include "posix_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "file_system.h"

namespace td::platform {
namespace {

bool ExistsExactly(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(const char* a, const std::string& b) {
  std::size_t i = 0;
  for (; a[i] != '\0' && i < b.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return a[i] == '\0' && i == b.size();
}

bool HasLetters(const std::string& name) {
  for (char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  }
  return false;
}

enum class Match { kNone, kOne, kMany };

// The name in folder that equals component without regard to case.
Match MatchInFolder(const std::string& folder, const std::string& component, std::string* found) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) {
    // An unreadable folder can still be passed through by its exact name.
    if (!ExistsExactly(folder.empty() ? component : folder + "/" + component)) return Match::kNone;
    *found = component;
    return Match::kOne;
  }
  Match match = Match::kNone;
  while (const dirent* entry = ::readdir(dir)) {
    if (!SameIgnoringCase(entry->d_name, component)) continue;
    if (match == Match::kOne) {
      match = Match::kMany;
      break;
    }
    *found = entry->d_name;
    match = Match::kOne;
  }
  ::closedir(dir);
  return match;
}

}  // namespace

bool MapServicePath(const std::string& servicePath, std::string* mapped) {
  std::string path = servicePath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  mapped->clear();
  std::size_t start = 0;
  if (!path.empty() && path[0] == '/') {
    *mapped = "/";
    start = 1;
  }
  bool resolving = true;  // stop matching once a folder does not exist
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(start, end - start);
    start = end + 1;
    if (component.empty()) continue;
    const std::string folder = *mapped;
    if (!mapped->empty() && mapped->back() != '/') *mapped += '/';
    if (!resolving || component == "." || component == ".." || !HasLetters(component)) {
      // Digits and signs have no letter case: only the exact name can match.
      *mapped += component;
      resolving = resolving && ExistsExactly(*mapped);
      continue;
    }
    std::string found;
    switch (MatchInFolder(folder, component, &found)) {
      case Match::kMany:
        errno = ENOTUNIQ;
        return false;
      case Match::kOne:
        *mapped += found;
        break;
      case Match::kNone:
        *mapped += component;
        resolving = false;
        break;
    }
  }
  if (!path.empty() && path.back() == '/' && (mapped->empty() || mapped->back() != '/')) *mapped += '/';
  return true;
}

bool ResolvePath(const std::string& servicePath, std::string* nativePath) {
  return MapServicePath(servicePath, nativePath);
}

}  // namespace td::platform
