#include "posix_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

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

std::string InOneCase(const std::string& name, bool capitals) {
  std::string variant = name;
  for (char& c : variant) {
    if (capitals && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!capitals) c = FoldCase(c);
  }
  return variant;
}

// The name in folder that equals component without regard to case; the
// component itself when none does.
std::string MatchInFolder(const std::string& folder, const std::string& component) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return component;
  std::string found = component;
  while (const dirent* entry = ::readdir(dir)) {
    if (SameIgnoringCase(entry->d_name, component)) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string MapServicePath(const std::string& servicePath) {
  std::string path = servicePath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty() || ExistsExactly(path)) return path;

  std::string mapped;
  std::size_t start = 0;
  if (path[0] == '/') {
    mapped = "/";
    start = 1;
  }
  bool resolving = true;  // stop matching once a folder does not exist
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string component = path.substr(start, end - start);
    if (!component.empty()) {
      std::string folder = mapped;
      if (!mapped.empty() && mapped.back() != '/') mapped += '/';
      const std::size_t stem = mapped.size();
      mapped += component;
      if (resolving && component != "." && component != ".." && !ExistsExactly(mapped)) {
        // The name in small or in capital letters first: found so, it spares
        // reading the folder, which may hold a folder for every type.
        std::string found;
        for (bool capitals : {false, true}) {
          const std::string variant = InOneCase(component, capitals);
          if (variant != component && ExistsExactly(mapped.substr(0, stem) + variant)) {
            found = variant;
            break;
          }
        }
        mapped.replace(stem, std::string::npos, found.empty() ? MatchInFolder(folder, component) : found);
        resolving = ExistsExactly(mapped);
      }
    }
    start = end + 1;
  }
  if (!path.empty() && path.back() == '/' && (mapped.empty() || mapped.back() != '/')) mapped += '/';
  return mapped;
}

}  // namespace td::platform
