#include "ops/set.h"

#include "core/open_tree.h"
#include "core/import.h"

namespace tool::ops {

Result<SetOutcome> Set(Session& session, const SetRequest& request) {
  if (std::optional<Refusal> refusal = RefuseTypeNumber(session, request.number)) return std::move(*refusal);
  std::vector<Change> changes;
  std::string error;
  for (const std::string& text : request.assignments) {
    Change change;
    if (!ParseAssignment(request.prefix, text, &change, &error))
      return Refusal::Of(RefusalKind::kUsage, error);
    changes.push_back(change);
  }
  std::vector<std::string> places;
  for (const std::string& text : request.assignments) places.push_back("'" + text + "'");
  if (const std::string repeated = RepeatedItem(changes, places); !repeated.empty())
    return Refusal::Of(RefusalKind::kUsage, repeated + "; nothing was saved");
  TypeValues loaded;
  if (!LoadType(request.number, &loaded, &error)) return Refusal::Of(RefusalKind::kRefused, error);
  SetOutcome outcome{{request.number, loaded.name, {}, {}}, {}, std::nullopt};
  if (std::optional<Refusal> refusal =
          ReviewAndApply(request.strict, loaded, changes, "", false, &outcome.model.changes, &outcome.notes))
    return std::move(*refusal);
  outcome.failure = SaveAndCollect(session, request.number, "set", &outcome.model.saved);
  return outcome;
}

}  // namespace tool::ops
