// typedata init.
#include "ops/init.h"
#include "cli/glue.h"
#include "render/documents.h"

namespace tool {

int RunInit(const GlobalOptions& options, bool force, Output& out) {
  Session session;
  if (const int status = OpenSession(options, Access::kChange, &session, out, /*makeTypeFolder=*/true);
      status != kDone)
    return status;
  const Result<InitModel> made = ops::Init(session, {force || options.force});
  if (!made.ok()) return Refuse(made.refusal(), out);
  Present(options, made.model(), out);
  return kDone;
}

}  // namespace tool
