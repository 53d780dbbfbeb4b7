// typedata compare: several types side by side.
#include "ops/compare.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {

int RunCompare(const GlobalOptions& options, const std::vector<int>& numbers, const std::string& config,
               bool all, Output& out) {
  if (numbers.size() < 2) {
    out.Error("compare takes two types or more");
    return kUsageError;
  }
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  const Result<CompareModel> compared = ops::Compare(session, {numbers, config, !all});
  if (!compared.ok()) return Refuse(compared.refusal(), out);
  Present(options, compared.model(), out);
  return kDone;
}

}  // namespace tool
