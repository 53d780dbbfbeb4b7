#include "posix_path.h"

#include <cerrno>

#include "file_system.h"
#include "posix_folder_listing.h"
#include "temp_file.h"

namespace td::platform {
namespace {

bool HasLetters(const std::string& name) {
  for (char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  }
  return false;
}

// Names taken as they are: those without letters have no letter case, and
// temporary names are made by the platform itself, exactly as spelt, and
// used by nobody else.
bool TakenAsGiven(const std::string& component) {
  return component == "." || component == ".." || !HasLetters(component) || IsTemporaryName(component);
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
    if (!resolving || TakenAsGiven(component)) {
      // A folder taken as given that does not exist shows at the next
      // lookup, which finds no folder to look in.
      *mapped += component;
      continue;
    }
    std::string found;
    switch (MatchIgnoringCase(folder, component, &found)) {
      case CaseMatch::kMany:
        errno = ENOTUNIQ;
        return false;
      case CaseMatch::kOne:
        *mapped += found;
        break;
      case CaseMatch::kNone:
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
