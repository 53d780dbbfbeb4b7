#include "history/who.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace history {

std::string CurrentUser(const std::string& given) {
  if (!given.empty()) return given;
  const char* fromEnvironment = std::getenv("TYPEDATA_USER");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return fromEnvironment;
  // The account the process runs as, not the terminal's (getlogin names
  // whoever logged in on it, wrong under su or a service).
  const uid_t uid = geteuid();
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_name != nullptr && *found->pw_name != '\0')
    return found->pw_name;
  return "uid " + std::to_string(uid);
}

std::string StationName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

}  // namespace history
