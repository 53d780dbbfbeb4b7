#include "ops/compare.h"

#include <fmt/core.h>

#include <algorithm>

#include "core/values.h"
#include "ops/broken_config.h"

namespace tool::ops {

Result<CompareModel> Compare(const Session& session, const CompareRequest& request) {
  CompareModel model;
  model.config = request.config;
  model.onlyDifferences = request.onlyDifferences;
  std::vector<TypeValues> loaded(request.numbers.size());
  std::string error;
  for (std::size_t t = 0; t < request.numbers.size(); ++t) {
    const int number = request.numbers[t];
    if (!session.TypeExists(number))
      return Refusal::Of(RefusalKind::kNotFound, fmt::format("no type {}", number));
    std::vector<int> broken;
    if (request.partial ? !LoadTypePartially(number, &loaded[t], &broken, &error)
                        : !LoadType(number, &loaded[t], &error))
      return Refusal::Of(RefusalKind::kRefused, error);
    model.types.push_back({number, loaded[t].name, {}});
    // A config left out keeps its place, without items, so that the rows
    // of every type stay side by side.
    for (const int configNo : broken) {
      BrokenConfig config = BrokenConfigOf(session, number, configNo);
      std::vector<ConfigValues>& configs = loaded[t].configs;
      ConfigValues empty;
      empty.configNo = configNo;
      empty.prefix = config.config;
      empty.configIndex = -1;  // no values: its cells are never marked
      const auto at = std::find_if(configs.begin(), configs.end(),
                                   [&](const ConfigValues& c) { return c.configNo > configNo; });
      configs.insert(at, std::move(empty));
      model.types.back().broken.push_back(std::move(config));
    }
  }
  if (loaded.empty()) return model;
  const TypeValues& first = loaded.front();
  for (std::size_t c = 0; c < first.configs.size(); ++c) {
    if (!request.config.empty() && first.configs[c].prefix != request.config) continue;
    for (int k = 0; k < 5; ++k) {
      std::size_t count = 0;
      for (const TypeValues& type : loaded) count = std::max(count, type.configs[c].kinds[k].items.size());
      for (std::size_t i = 0; i < count; ++i) {
        const ItemValue none;
        const auto itemOf = [&](const TypeValues& type) -> const ItemValue& {
          const std::vector<ItemValue>& items = type.configs[c].kinds[k].items;
          return i < items.size() ? items[i] : none;
        };
        const ItemValue& base = itemOf(first);
        CompareRow row{
            first.configs[c].prefix, kKindLetters[k], static_cast<int>(i) + 1, base.dataType, {}, {}};
        bool described = false;
        bool differs = false;
        for (const TypeValues& type : loaded) {
          const ItemValue& item = itemOf(type);
          if (!base.described && item.described && !row.dataType) row.dataType = item.dataType;
          const bool mark = type.configs[c].configIndex >= 0 && first.configs[c].configIndex >= 0 &&
                            (item.value != base.value || item.text != base.text);
          described = described || item.described;
          differs = differs || mark;
          row.values.push_back(item);
          row.differs.push_back(mark);
        }
        if (!described) continue;
        model.differing += differs ? 1 : 0;
        if (request.onlyDifferences && !differs) continue;
        model.rows.push_back(std::move(row));
      }
    }
  }
  return model;
}

}  // namespace tool::ops
