#include "ops/show.h"

#include <fmt/core.h>

#include <optional>

#include "core/open_tree.h"
#include "core/values.h"
#include "ops/broken_config.h"

namespace tool::ops {
namespace {

bool Wanted(const ConfigValues& config, const KindValues& kind, const std::string& prefix,
            const std::string& letter) {
  return (prefix.empty() || config.prefix == prefix) && (letter.empty() || letter[0] == kind.kind);
}

// Why a selection matched nothing, with what there is to select.
std::string NothingSelected(const TypeValues& values, const std::string& prefix, const std::string& letter) {
  std::string configs;
  for (const ConfigValues& c : values.configs) {
    if (c.prefix == prefix) {
      std::string kinds;
      for (const KindValues& k : c.kinds) {
        if (k.present && !k.items.empty()) kinds += fmt::format("{}{}", kinds.empty() ? "" : ", ", k.kind);
      }
      return fmt::format("config {} has no {} items; it has {}", prefix, letter,
                         kinds.empty() ? "none" : kinds);
    }
    configs += fmt::format("{}{}", configs.empty() ? "" : ", ", c.prefix);
  }
  if (!prefix.empty())
    return fmt::format("type {} has no config '{}'; its configs: {}", values.typeNo, prefix, configs);
  return fmt::format("type {} has no {} items in any config", values.typeNo, letter);
}

}  // namespace

Result<ShowModel> Show(const Session& session, const ShowRequest& request) {
  if (std::optional<Refusal> refusal = RefuseTypeNumber(session, request.number)) return std::move(*refusal);
  const std::string& kind = request.kind;
  if (!kind.empty() && (kind.size() != 1 || KindIndex(kind[0]) < 0))
    return Refusal::Of(RefusalKind::kUsage, "--kind is one of D, S, A, L, V");
  // Taken before the values: a file changed in between makes a save refused,
  // never one that overwrites what it did not show.
  std::vector<FileRevision> revisions = TypeRevisions(session, request.number);
  TypeValues values;
  std::string error;
  std::vector<int> broken;
  // The whole type on the command line: refused as a whole when a file
  // cannot be read, as ever; one config, or a page, in part.
  const bool whole = !request.partial && request.config.empty();
  if (whole ? !LoadType(request.number, &values, &error)
            : !LoadTypePartially(request.number, &values, &broken, &error))
    return Refusal::Of(RefusalKind::kRefused, error);
  ShowModel model{request.number, values.name, request.config, kind, {}, std::move(revisions), {}};
  for (const int configNo : broken) {
    BrokenConfig config = BrokenConfigOf(session, request.number, configNo);
    if (!request.partial && request.config == config.config)
      return Refusal::Of(RefusalKind::kRefused, config.file + ": " + config.problem);
    model.broken.push_back(std::move(config));
  }
  for (const ConfigValues& c : values.configs) {
    for (const KindValues& k : c.kinds) {
      if (!k.present || !Wanted(c, k, request.config, kind)) continue;
      for (const ItemValue& item : k.items) {
        if (item.described) model.items.push_back({c.prefix, k.kind, item});
      }
    }
  }
  if (model.items.empty() && (!request.config.empty() || !kind.empty()))
    return Refusal::Of(RefusalKind::kNotFound, NothingSelected(values, request.config, kind));
  return model;
}

}  // namespace tool::ops
