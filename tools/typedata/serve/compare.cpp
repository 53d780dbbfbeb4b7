// Several types side by side: every item of their configs in one row, each
// cell marked when its value differs from the first type's.
#include <fmt/core.h>

#include "replies.h"
#include "values.h"

namespace tool::serve {

Reply CompareDocument(const GlobalOptions& options, const std::vector<int>& numbers,
                      const std::string& config, bool onlyDifferences) {
  Reply reply;
  Session session;
  std::string error;
  if (!session.Open(options, /*makeTypeFolder=*/false, &error)) {
    reply.status = kReplyError;
    reply.http = 503;
    reply.messages.push_back(error);
    return reply;
  }
  std::vector<TypeValues> loaded(numbers.size());
  Document types = Document::array();
  for (std::size_t t = 0; t < numbers.size(); ++t) {
    if (!session.TypeExists(numbers[t])) {
      reply.status = kNotDone;
      reply.http = 404;
      reply.messages.push_back(fmt::format("no type {}", numbers[t]));
      return reply;
    }
    if (!LoadType(numbers[t], &loaded[t], &error)) {
      reply.status = kNotDone;
      reply.messages.push_back(error);
      return reply;
    }
    types.push_back({{"number", numbers[t]}, {"name", loaded[t].name}});
  }
  Document rows = Document::array();
  std::size_t differing = 0;
  const TypeValues& first = loaded.front();
  for (std::size_t c = 0; c < first.configs.size(); ++c) {
    if (!config.empty() && first.configs[c].prefix != config) continue;
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
        bool described = false;
        bool differs = false;
        Document values = Document::array();
        Document marks = Document::array();
        for (const TypeValues& type : loaded) {
          const ItemValue& item = itemOf(type);
          const bool mark = item.value != base.value || item.text != base.text;
          described = described || item.described;
          differs = differs || mark;
          values.push_back(ValueJson(item, kKindLetters[k]));
          marks.push_back(mark);
        }
        if (!described) continue;
        differing += differs ? 1 : 0;
        if (onlyDifferences && !differs) continue;
        rows.push_back({{"config", first.configs[c].prefix},
                        {"kind", std::string(1, kKindLetters[k])},
                        {"item", i + 1},
                        {"dataType", base.dataType ? std::string(1, base.dataType) : ""},
                        {"values", values},
                        {"differs", marks}});
      }
    }
  }
  reply.document = NewDocument("compare");
  reply.document["types"] = types;
  reply.document["config"] = config;
  reply.document["onlyDifferences"] = onlyDifferences;
  reply.document["differing"] = differing;
  reply.document["rows"] = rows;
  return reply;
}

}  // namespace tool::serve
