// typedata use: a type loaded, made current and downloaded.
#include "ops/use.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {

int RunUse(const GlobalOptions& options, int number, bool download, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  const std::unique_ptr<Progress> progress = MakeProgress(options, out);
  const Result<UseModel> used = ops::Use(session, {number, download}, progress.get());
  if (!used.ok()) return Refuse(used.refusal(), out);
  Present(options, used.model(), out);
  if (download && !used.model().report.downloaded) {
    out.Error("the download did not end");
    return kRefused;
  }
  return kDone;
}

}  // namespace tool
