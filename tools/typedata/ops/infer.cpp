#include "ops/infer.h"

#include <memory>

#include "core/lock.h"

namespace tool::ops {

Result<InferModel> Infer(const InferRequest& request) {
  std::string error;
  bool busy = false;
  const std::unique_ptr<TreeLock> lock = TreeLock::Shared(request.root, &error, &busy);
  if (!lock) return Refusal::Of(busy ? RefusalKind::kBusy : RefusalKind::kUsage, error);
  InferModel model;
  if (!infer::InferTree(request.root, &model.inference, &error))
    return Refusal::Of(RefusalKind::kUsage, error);
  model.description = infer::DescriptionText(model.inference, request.root);
  return model;
}

}  // namespace tool::ops
