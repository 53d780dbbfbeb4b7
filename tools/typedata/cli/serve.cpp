// typedata serve: the tree is opened once to see that it is there before
// anyone is told to look; the server opens it for each request.
#include "serve/serve.h"
#include "cli/commands.h"

namespace tool {

#ifdef TD_HAVE_SERVE
int RunServe(const GlobalOptions& options, const ServeOptions& serve, Output& out) {
  {
    Session session;
    if (!OpenTree(options, &session, out)) return kUsageError;
  }
  if (serve.port < 0 || serve.port > 65535) {
    out.Error("--port is from 1 to 65535 (0: a free port)");
    return kUsageError;
  }
  return Serve(options, serve, out) ? kDone : kUsageError;
}
#endif

}  // namespace tool
