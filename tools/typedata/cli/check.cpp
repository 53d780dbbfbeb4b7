// typedata check: the whole type tree against the machine.
#include "ops/check.h"
#include "cli/commands.h"
#include "cli/glue.h"
#include "render/documents.h"

namespace tool {

int RunCheck(const GlobalOptions& options, Output& out) {
  Session session;
  if (const int status = OpenSession(options, Access::kRead, &session, out); status != kDone) return status;
  const std::unique_ptr<Progress> progress = MakeProgress(options, out);
  const Result<CheckModel> checked = ops::Check(session, {}, progress.get());
  if (!checked.ok()) return Refuse(checked.refusal(), out);
  Present(options, checked.model(), out);
  return checked.model().problems.empty() ? kDone : kRefused;
}

}  // namespace tool
