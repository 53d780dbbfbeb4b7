#include "ops/set.h"

#include <fmt/core.h>

#include <algorithm>

#include "core/import.h"
#include "core/open_tree.h"

namespace tool::ops {
namespace {

const ConfigValues* ConfigOf(const TypeValues& values, const std::string& prefix) {
  for (const ConfigValues& config : values.configs) {
    if (config.prefix == prefix) return &config;
  }
  return nullptr;
}

// The files that changed since the request's revisions were read, and what
// changed in them value by value; none when they are as read.
Result<std::optional<RevisionConflict>> FindConflict(const SetRequest& request,
                                                     const std::vector<FileRevision>& now,
                                                     const TypeValues& loaded) {
  const auto isRevision = [](const std::string& text) {
    return text.size() == 16 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
  };
  if (!request.expect.empty() && !isRevision(request.expect))
    return Refusal::Of(
        RefusalKind::kUsage,
        fmt::format("--expect '{}': a revision is 16 hex digits, as show --json gives it", request.expect));
  RevisionConflict conflict;
  conflict.revisions = now;
  for (const auto& seen : request.seen) {
    const std::string& file = seen.first;  // a name of its own: a lambda takes no structured binding
    const std::string& revision = seen.second;
    const auto found =
        std::find_if(now.begin(), now.end(), [&](const FileRevision& f) { return f.file == file; });
    if (found == now.end())
      return Refusal::Of(RefusalKind::kUsage,
                         fmt::format("{} is not a file of type {}", file, request.number));
    if (found->revision != revision)
      conflict.files.push_back({found->config, file, revision, found->revision});
  }
  if (!request.expect.empty() && request.expect != CombinedRevision(now)) {
    const auto own = std::find_if(now.begin(), now.end(),
                                  [&](const FileRevision& f) { return f.config == request.prefix; });
    if (own == now.end() || own->revision != request.expect)
      conflict.files.push_back({request.prefix, own == now.end() ? "" : own->file, request.expect,
                                own == now.end() ? "" : own->revision});
  }
  if (conflict.files.empty()) return std::optional<RevisionConflict>();
  for (const ChangedFile& file : conflict.files) {
    const ConfigValues* current = ConfigOf(loaded, file.config);
    if (!current) continue;
    const ConfigValues* seen = request.memory ? request.memory->Find(file.file, file.seen) : nullptr;
    if (seen) {
      for (ChangedValue& value : ChangedValues(*seen, *current)) conflict.values.push_back(std::move(value));
      continue;
    }
    // What the values were is not known here: what the items to be set hold now.
    for (const std::string& text : request.assignments) {
      Change change;
      std::string ignored;
      if (!ParseAssignment(file.config, text, &change, &ignored) || file.config != request.prefix) continue;
      const int k = KindIndex(change.kind);
      const KindValues& kind = current->kinds[k];
      if (change.item < 1 || change.item > static_cast<int>(kind.items.size())) continue;
      conflict.values.push_back({file.config, change.kind, change.item, std::nullopt,
                                 kind.items[static_cast<std::size_t>(change.item - 1)]});
    }
  }
  return std::optional<RevisionConflict>(std::move(conflict));
}

}  // namespace

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
  // Taken before the values (as show takes them), under the tree's lock
  // with the save.
  const std::vector<FileRevision> now = TypeRevisions(session, request.number);
  TypeValues loaded;
  if (!LoadType(request.number, &loaded, &error)) return Refusal::Of(RefusalKind::kRefused, error);
  SetOutcome outcome{{request.number, loaded.name, {}, {}}, {}, std::nullopt, std::nullopt};
  Result<std::optional<RevisionConflict>> conflict = FindConflict(request, now, loaded);
  if (!conflict.ok()) return conflict.refusal();
  if (conflict.model()) {
    outcome.conflict = std::move(*conflict.model());
    return outcome;
  }
  if (std::optional<Refusal> refusal =
          ReviewAndApply(request.strict, loaded, changes, "", false, &outcome.model.changes, &outcome.notes))
    return std::move(*refusal);
  outcome.failure = SaveAndCollect(session, request.number, "set", &outcome.model.saved);
  return outcome;
}

}  // namespace tool::ops
