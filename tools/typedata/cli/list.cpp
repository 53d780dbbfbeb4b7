// typedata list.
#include "ops/list.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {

int RunList(const GlobalOptions& options, ListOrder order, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  const Result<ListModel> list = ops::List(session, {order});
  if (!list.ok()) return Refuse(list.refusal(), out);
  if (list.model().types.empty()) out.Note(session.CataloguePath() + " lists no types");
  Present(options, list.model(), out);
  return kDone;
}

}  // namespace tool
