#include "ops/past_show.h"

#include <fmt/core.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "core/open_tree.h"
#include "core/revision.h"
#include "ops/past_values.h"

namespace tool::ops {
namespace {

const ConfigValues* ConfigOf(const TypeValues* values, const std::string& prefix) {
  if (!values) return nullptr;
  for (const ConfigValues& config : values->configs) {
    if (config.prefix == prefix) return &config;
  }
  return nullptr;
}

void CompareConfig(const ConfigValues* before, const ConfigValues* after, std::vector<ValueChange>* changes) {
  for (int k = 0; k < 5; ++k) {
    const KindValues* b = before && before->kinds[k].present ? &before->kinds[k] : nullptr;
    const KindValues* a = after && after->kinds[k].present ? &after->kinds[k] : nullptr;
    const std::size_t count = std::max(b ? b->items.size() : 0, a ? a->items.size() : 0);
    for (std::size_t i = 0; i < count; ++i) {
      const ItemValue* old = b && i < b->items.size() ? &b->items[i] : nullptr;
      const ItemValue* now = a && i < a->items.size() ? &a->items[i] : nullptr;
      if (!(old && old->described) && !(now && now->described)) continue;
      const char kind = kKindLetters[k];
      if (old && now && ShownValue(*old, kind) == ShownValue(*now, kind)) continue;
      changes->push_back({(after ? after : before)->prefix, kind, static_cast<int>(i) + 1, old, now});
    }
  }
}

// Loads one side of a diff: today's through the session, or the past's
// (past given whenever side.when is).
Result<TypeValues> LoadSide(Session& session, PastValues* past, const DiffSide& side, std::string* revision) {
  TypeValues values;
  std::string error;
  if (side.when.empty()) {
    if (std::optional<Refusal> refusal = RefuseTypeNumber(session, side.number)) return std::move(*refusal);
    if (!LoadType(side.number, &values, &error)) return Refusal::Of(RefusalKind::kRefused, error);
    return values;
  }
  if (!past) return Refusal::Of(RefusalKind::kUsage, "no history to read " + side.when + " in");
  Result<std::string> resolved = past->Resolve(side.when);
  if (!resolved.ok()) return resolved.refusal();
  *revision = resolved.model();
  return past->Load(*revision, side.number);
}

}  // namespace

std::vector<ValueChange> ChangedValues(const TypeValues* before, const TypeValues* after) {
  std::vector<ValueChange> changes;
  if (after) {
    for (const ConfigValues& config : after->configs)
      CompareConfig(ConfigOf(before, config.prefix), &config, &changes);
  }
  if (before) {
    for (const ConfigValues& config : before->configs) {
      if (!ConfigOf(after, config.prefix)) CompareConfig(&config, nullptr, &changes);
    }
  }
  return changes;
}

Result<PastShow> ShowAt(Session& session, const ShowRequest& request, const std::string& when) {
  const std::string& kind = request.kind;
  if (!kind.empty() && (kind.size() != 1 || KindIndex(kind[0]) < 0))
    return Refusal::Of(RefusalKind::kUsage, "--kind is one of D, S, A, L, V");
  Result<std::unique_ptr<PastValues>> past = PastValues::Open(session);
  if (!past.ok()) return past.refusal();
  Result<std::string> resolved = past.model()->Resolve(when);
  if (!resolved.ok()) return resolved.refusal();
  Result<TypeValues> loaded = past.model()->Load(resolved.model(), request.number);
  if (!loaded.ok()) return loaded.refusal();
  const TypeValues& values = loaded.model();
  PastShow result;
  result.revision = resolved.model();
  // The files' revisions as the entry kept them: set --expect with them
  // saves only where today's files are still the entry's.
  for (const ConfigValues& c : values.configs) {
    FileRevision file{c.prefix, fmt::format("{:04d}/{}{:04d}.DAT", request.number, c.prefix, request.number),
                      ""};
    Result<std::string> bytes = past.model()->FileAt(result.revision, "type/" + file.file);
    if (bytes.ok()) file.revision = RevisionOf(bytes.model());
    result.shown.revisions.push_back(std::move(file));
  }
  ShowModel& model = result.shown;
  model.number = request.number;
  model.name = values.name;
  model.config = request.config;
  model.kind = kind;
  bool hasConfig = request.config.empty();
  for (const ConfigValues& c : values.configs) {
    if (!request.config.empty() && c.prefix != request.config) continue;
    hasConfig = true;
    for (const KindValues& k : c.kinds) {
      if (!k.present || (!kind.empty() && kind[0] != k.kind)) continue;
      for (const ItemValue& item : k.items) {
        if (item.described) model.items.push_back({c.prefix, k.kind, item});
      }
    }
  }
  if (!hasConfig)
    return Refusal::Of(RefusalKind::kNotFound, fmt::format("type {} had no config '{}' at {}", request.number,
                                                           request.config, result.revision.substr(0, 12)));
  if (model.items.empty() && !kind.empty())
    return Refusal::Of(RefusalKind::kNotFound,
                       fmt::format("type {} had no {} items{} at {}", request.number, kind,
                                   request.config.empty() ? "" : " in config " + request.config,
                                   result.revision.substr(0, 12)));
  return result;
}

Result<PastDiff> DiffAt(Session& session, const DiffSide& first, const DiffSide& second) {
  PastDiff result;
  const DiffSide* asked[2] = {&first, &second};
  std::string* revisions[2] = {&result.firstRevision, &result.secondRevision};
  std::optional<Result<TypeValues>> sides[2];
  // Today's sides first: the reader moves the host off the session's tree.
  for (int s = 0; s < 2; ++s) {
    if (asked[s]->when.empty()) sides[s].emplace(LoadSide(session, nullptr, *asked[s], revisions[s]));
  }
  if (!first.when.empty() || !second.when.empty()) {
    Result<std::unique_ptr<PastValues>> past = PastValues::Open(session);
    if (!past.ok()) return Refusal::Of(RefusalKind::kUsage, past.refusal().message);
    for (int s = 0; s < 2; ++s) {
      if (!asked[s]->when.empty())
        sides[s].emplace(LoadSide(session, past.model().get(), *asked[s], revisions[s]));
    }
  }
  for (const std::optional<Result<TypeValues>>& side : sides) {
    if (!side->ok()) return Refusal::Of(RefusalKind::kUsage, side->refusal().message);
  }
  const Result<TypeValues>& a = *sides[0];
  const Result<TypeValues>& b = *sides[1];
  result.diff.first = first.number;
  result.diff.second = second.number;
  const ItemValue none;
  for (const ValueChange& change : ChangedValues(&a.model(), &b.model())) {
    result.diff.differences.push_back({change.config, change.kind, change.item,
                                       change.before ? *change.before : none,
                                       change.after ? *change.after : none});
  }
  return result;
}

}  // namespace tool::ops
