// typedata rename.
#include "ops/rename.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {

int RunRename(const GlobalOptions& options, int number, const std::string& name, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  const Result<RenameModel> renamed = ops::Rename(session, {number, name});
  if (!renamed.ok()) return Refuse(renamed.refusal(), out);
  for (const std::string& warning : renamed.model().warnings) out.Warning(warning);
  Present(options, renamed.model(), out);
  return kDone;
}

}  // namespace tool
