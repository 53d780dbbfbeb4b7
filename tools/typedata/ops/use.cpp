#include "ops/use.h"

#include <fmt/core.h>

#include <optional>

#include "check/check.h"
#include "core/open_tree.h"
#include "core/switch.h"

namespace tool::ops {

Result<UseModel> Use(Session& session, const UseRequest& request, Progress* progress) {
  const int number = request.number;
  if (std::optional<Refusal> refusal = RefuseTypeNumber(session, number)) return std::move(*refusal);
  // The service loads a file without a section as a type without values.
  const std::vector<Problem> problems = CheckTypeFiles(session, number);
  if (const Problem* blocker = LoadBlocker(problems)) {
    return Refusal::Of(RefusalKind::kRefused, fmt::format("type {} is not loaded: {}:{}: {}", number,
                                                          blocker->file, blocker->line, blocker->message));
  }
  UseModel model{number, session.TypeName(number), request.download, {}};
  std::string error;
  if (!SwitchType(session, number, request.download, progress, &model.report, &error))
    return Refusal::Of(RefusalKind::kRefused, error);
  return model;
}

}  // namespace tool::ops
