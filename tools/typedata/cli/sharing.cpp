// typedata sharing: which types share which config through which name part.
#include "ops/sharing.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {

int RunSharing(const GlobalOptions& options, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  Present(options, ops::Sharing(session, {}), out);
  return kDone;
}

}  // namespace tool
