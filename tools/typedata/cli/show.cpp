// typedata show: a type's items.
#include "ops/show.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {

int RunShow(const GlobalOptions& options, int number, const std::string& config, const std::string& kind,
            Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  const Result<ShowModel> shown = ops::Show(session, {number, config, kind});
  if (!shown.ok()) return Refuse(shown.refusal(), out);
  Present(options, shown.model(), out);
  return kDone;
}

}  // namespace tool
