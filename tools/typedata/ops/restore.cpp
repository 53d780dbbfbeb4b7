#include "ops/restore.h"

#include <fmt/core.h>

#include "core/edit.h"
#include "core/open_tree.h"
#include "ops/past_values.h"

namespace tool::ops {
namespace {

const ConfigValues* ConfigOf(const TypeValues& values, const std::string& prefix) {
  for (const ConfigValues& config : values.configs) {
    if (config.prefix == prefix) return &config;
  }
  return nullptr;
}

bool Holds(const KindValues& kind, int item) {
  return kind.present && item >= 1 && item <= static_cast<int>(kind.items.size()) &&
         kind.items[item - 1].described && IsInUse(kind.items[item - 1].dataType);
}

// The value as set takes it: a number in the files' form, or the text.
std::string GivenValue(const ItemValue& item, char kind) {
  return kind == 'V' ? item.text : PlainNumber(item.value);
}

// Every in-use item the entry kept of the configs asked for, as changes;
// refused for a config or item the type did not have then or has not now.
std::optional<Refusal> PastChanges(const RestoreRequest& request, const std::string& revision,
                                   const TypeValues& past, const TypeValues& now,
                                   std::vector<Change>* changes) {
  const std::string then = fmt::format("at {} ({})", request.at, revision.substr(0, 12));
  Change only;
  if (!request.item.empty()) {
    std::string error;
    if (!ParseAssignment(request.config, request.item + "=", &only, &error))
      return Refusal::Of(RefusalKind::kUsage, fmt::format("--item {}: is KIND:N (e.g. D:3)", request.item));
  }
  if (!request.config.empty()) {
    if (!ConfigOf(past, request.config))
      return Refusal::Of(RefusalKind::kNotFound, fmt::format("type {:04d} had no config '{}' {}; nothing was "
                                                             "changed",
                                                             request.number, request.config, then));
    if (!ConfigOf(now, request.config))
      return Refusal::Of(RefusalKind::kNotFound,
                         fmt::format("type {:04d} has no config '{}' now; nothing was "
                                     "changed",
                                     request.number, request.config));
  }
  for (const ConfigValues& config : past.configs) {
    if (!request.config.empty() && config.prefix != request.config) continue;
    for (const KindValues& kind : config.kinds) {
      if (!request.item.empty() && kind.kind != only.kind) continue;
      for (const ItemValue& item : kind.items) {
        if (!request.item.empty() && item.number != only.item) continue;
        if (!item.described || !IsInUse(item.dataType)) continue;
        changes->push_back({config.prefix, kind.kind, item.number, GivenValue(item, kind.kind), ""});
      }
    }
  }
  if (!request.item.empty()) {
    const ConfigValues* current = ConfigOf(now, request.config);
    const int k = KindIndex(only.kind);
    if (changes->empty())
      return Refusal::Of(
          RefusalKind::kNotFound,
          fmt::format("config '{}' of type {:04d} had no item {} in use {}; nothing was changed",
                      request.config, request.number, request.item, then));
    if (k < 0 || !Holds(current->kinds[k], only.item))
      return Refusal::Of(
          RefusalKind::kNotFound,
          fmt::format("config '{}' of type {:04d} has no item {} in use now; nothing was changed",
                      request.config, request.number, request.item));
  }
  return std::nullopt;
}

}  // namespace

Result<RestoreOutcome> Restore(Session& session, const RestoreRequest& request) {
  if (!request.item.empty() && request.config.empty())
    return Refusal::Of(RefusalKind::kUsage, "--item needs --config: the item of which config");
  if (std::optional<Refusal> refusal = RefuseTypeNumber(session, request.number)) return std::move(*refusal);
  std::string revision;
  TypeValues past;
  {
    // The past first: while the reader lives the host stands on its
    // scratch tree; when it goes, the host is back on this tree.
    Result<std::unique_ptr<PastValues>> reader = PastValues::Open(session);
    if (!reader.ok()) {
      if (reader.refusal().kind != RefusalKind::kNotFound) return reader.refusal();
      return Refusal::Of(
          RefusalKind::kRefused,
          "this tree keeps no history (made with init --no-history): there is nothing to restore");
    }
    const Result<std::string> resolved = reader.model()->Resolve(request.at);
    if (!resolved.ok()) {
      if (resolved.refusal().kind != RefusalKind::kNotFound) return resolved.refusal();
      return Refusal::Of(
          RefusalKind::kNotFound,
          fmt::format("no entry of the history is {}: WHEN is a revision, a release's name or a "
                      "date and time after the first entry; nothing was changed",
                      request.at));
    }
    revision = resolved.model();
    Result<TypeValues> loaded = reader.model()->Load(revision, request.number);
    if (!loaded.ok()) {
      if (loaded.refusal().kind != RefusalKind::kNotFound) return loaded.refusal();
      return Refusal::Of(RefusalKind::kNotFound,
                         fmt::format("type {:04d} was not in the tree at {} ({}); nothing was changed",
                                     request.number, request.at, revision.substr(0, 12)));
    }
    past = std::move(loaded.model());
  }
  TypeValues now;
  std::string error;
  if (!LoadType(request.number, &now, &error)) return Refusal::Of(RefusalKind::kRefused, error);
  std::vector<Change> changes;
  if (std::optional<Refusal> refusal = PastChanges(request, revision, past, now, &changes))
    return std::move(*refusal);
  RestoreOutcome outcome{
      {request.number, now.name, request.at, revision, request.config, request.item, {}, {}},
      {},
      std::nullopt};
  if (std::optional<Refusal> refusal =
          ReviewAndApply(request.strict, now, changes, "", true, &outcome.model.changed, &outcome.notes))
    return std::move(*refusal);
  if (!outcome.model.changed.empty())
    outcome.failure = SaveAndCollect(session, request.number, "restore", &outcome.model.saved);
  return outcome;
}

}  // namespace tool::ops
