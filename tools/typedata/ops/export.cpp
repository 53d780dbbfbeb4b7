#include "ops/export.h"

#include "core/open_tree.h"

namespace tool::ops {

Result<ExportModel> Export(const Session& session, const ExportRequest& request) {
  if (std::optional<Refusal> refusal = RefuseTypeNumber(session, request.number)) return std::move(*refusal);
  ExportModel model{request.number, {}};
  std::string error;
  if (!LoadType(request.number, &model.values, &error)) return Refusal::Of(RefusalKind::kRefused, error);
  return model;
}

}  // namespace tool::ops
