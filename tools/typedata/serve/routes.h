// The server's pages and its API (documented in docs/json.md).
#ifndef TOOLS_TYPEDATA_SERVE_ROUTES_H
#define TOOLS_TYPEDATA_SERVE_ROUTES_H

#include <httplib.h>

#include "gate.h"
#include "core/session.h"

namespace tool::serve {

// A request body larger than this is refused (413) before it is read.
constexpr std::size_t kMaxBody = std::size_t{64} * 1024;

void AddRoutes(httplib::Server& server, const GlobalOptions& options, const Gate& gate);

}  // namespace tool::serve

#endif  // TOOLS_TYPEDATA_SERVE_ROUTES_H
