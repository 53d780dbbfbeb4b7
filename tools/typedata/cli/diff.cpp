// typedata diff: the items whose values differ between two types.
#include "ops/diff.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {

int RunDiff(const GlobalOptions& options, int first, int second, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  const Result<DiffModel> diffed = ops::Diff(session, {first, second});
  if (!diffed.ok()) return Refuse(diffed.refusal(), out);
  Present(options, diffed.model(), out);
  return diffed.model().differences.empty() ? kDone : kRefused;
}

}  // namespace tool
