#include "ops/diff.h"

#include <optional>

#include "core/open_tree.h"
#include "ops/compare.h"

namespace tool::ops {

Result<DiffModel> Diff(const Session& session, const DiffRequest& request) {
  for (const int number : {request.first, request.second}) {
    if (std::optional<Refusal> refusal = RefuseTypeNumber(session, number))
      return Refusal::Of(RefusalKind::kUsage, refusal->message);
  }
  const Result<CompareModel> compared = Compare(session, {{request.first, request.second}, "", true});
  if (!compared.ok()) return Refusal::Of(RefusalKind::kUsage, compared.refusal().message);
  DiffModel model{request.first, request.second, {}};
  for (const CompareRow& row : compared.model().rows)
    model.differences.push_back({row.config, row.kind, row.item, row.values[0], row.values[1]});
  return model;
}

}  // namespace tool::ops
