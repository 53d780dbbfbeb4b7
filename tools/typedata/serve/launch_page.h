// What serve --open hands to the desktop's browser: a page that sends it on
// to the address with its token. The token is written in a file only the
// user may read, never on xdg-open's command line, which every local user's
// ps shows.
#ifndef TOOLS_TYPEDATA_SERVE_LAUNCH_PAGE_H
#define TOOLS_TYPEDATA_SERVE_LAUNCH_PAGE_H

#include <string>

namespace tool::serve {

class LaunchPage {
 public:
  LaunchPage() = default;
  ~LaunchPage();  // the page and its folder are removed
  LaunchPage(const LaunchPage&) = delete;
  LaunchPage& operator=(const LaunchPage&) = delete;

  // Writes the page in a new folder of the user's own (0700, in
  // $XDG_RUNTIME_DIR, else $TMPDIR or /tmp), the page itself 0600.
  bool Write(const std::string& address, std::string* error);
  const std::string& path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

}  // namespace tool::serve

#endif  // TOOLS_TYPEDATA_SERVE_LAUNCH_PAGE_H
