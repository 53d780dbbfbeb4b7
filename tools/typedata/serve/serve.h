// typedata serve: the type tree in the browser, on this machine only.
#ifndef TOOLS_TYPEDATA_SERVE_SERVE_H
#define TOOLS_TYPEDATA_SERVE_SERVE_H

#include "core/session.h"
#include "render/output.h"

namespace tool {

struct ServeOptions {
  int port = 0;       // 0: a free port
  bool open = false;  // open the address in the desktop's browser
};

// Serves the tree of options (which the caller has found openable) until
// SIGINT or SIGTERM; prints the address with its access token on the data
// stream first. False when it could not listen or stopped on an error.
bool Serve(const GlobalOptions& options, const ServeOptions& serve, Output& out);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_SERVE_SERVE_H
