#include "launch_page.h"

#include <fcntl.h>
#include <fmt/core.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tool::serve {
namespace {

// A folder the page may go in: an absolute path to a folder.
bool Usable(const char* folder) {
  struct stat status {};
  return folder && folder[0] == '/' && stat(folder, &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

LaunchPage::~LaunchPage() {
  if (!path_.empty()) unlink(path_.c_str());
  if (!folder_.empty()) rmdir(folder_.c_str());
}

bool LaunchPage::Write(const std::string& address, std::string* error) {
  const char* base = std::getenv("XDG_RUNTIME_DIR");
  if (!Usable(base)) base = std::getenv("TMPDIR");
  if (!Usable(base)) base = "/tmp";
  std::string pattern = std::string(base) + "/typedata-serve-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) {  // made 0700, a name no one else holds
    *error = fmt::format("{}: {}", pattern, std::strerror(errno));
    return false;
  }
  folder_ = name.data();
  const std::string path = folder_ + "/open.html";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    *error = fmt::format("{}: {}", path, std::strerror(errno));
    return false;
  }
  path_ = path;
  // The address holds only digits, letters and URL punctuation: nothing to escape.
  const std::string page = fmt::format(
      "<!doctype html>\n<html><head><meta charset=\"utf-8\">\n"
      "<meta name=\"referrer\" content=\"no-referrer\">\n"
      "<meta http-equiv=\"refresh\" content=\"0;url={0}\">\n<title>typedata serve</title></head>\n"
      "<body><p><a href=\"{0}\">Open the types</a></p>\n"
      "<script>location.replace(\"{0}\");</script></body></html>\n",
      address);
  std::size_t written = 0;
  while (written < page.size()) {
    const ssize_t step = ::write(fd, page.data() + written, page.size() - written);
    if (step < 0 && errno == EINTR) continue;
    if (step <= 0) {
      *error = fmt::format("{}: {}", path, std::strerror(errno));
      close(fd);
      return false;
    }
    written += static_cast<std::size_t>(step);
  }
  if (close(fd) != 0) {
    *error = fmt::format("{}: {}", path, std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace tool::serve
