// typedata use, typedata show, typedata diff.
#include <fmt/core.h>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "switch.h"
#include "values.h"

namespace tool {
namespace {

bool Wanted(const ConfigValues& config, const KindValues& kind, const std::string& prefix,
            const std::string& letter) {
  return (prefix.empty() || config.prefix == prefix) && (letter.empty() || letter[0] == kind.kind);
}

}  // namespace

int RunUse(const GlobalOptions& options, int number, bool download, Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  SwitchReport report;
  std::string error;
  if (!SwitchType(session, number, download, out, &report, &error)) {
    out.Error(error);
    return kRefused;
  }
  out.Note(fmt::format("Type {:04d} '{}' is current.", number, session.TypeName(number)));
  for (const std::string& line : report.typeCodes) out.Note("  type code sent to " + line);
  if (!download) return kDone;
  std::vector<std::vector<std::string>> rows;
  for (const StepReport& step : report.steps) {
    rows.push_back({step.prefix, std::to_string(step.configIndex), std::to_string(step.itemsSent)});
  }
  out.Table({"CONFIG", "INDEX", "ITEMS SENT"}, rows);
  if (!report.downloaded) {
    out.Error("the download did not end");
    return kRefused;
  }
  return kDone;
}

int RunShow(const GlobalOptions& options, int number, const std::string& config, const std::string& kind,
            Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  if (!kind.empty() && (kind.size() != 1 || KindIndex(kind[0]) < 0)) {
    out.Error("--kind is one of D, S, A, L, V");
    return kUsageError;
  }
  TypeValues values;
  std::string error;
  if (!LoadType(number, &values, &error)) {
    out.Error(error);
    return kRefused;
  }
  nlohmann::json items = nlohmann::json::array();
  std::vector<std::vector<std::string>> rows;
  for (const ConfigValues& c : values.configs) {
    for (const KindValues& k : c.kinds) {
      if (!k.present || !Wanted(c, k, config, kind)) continue;
      for (const ItemValue& item : k.items) {
        if (!item.described) continue;
        if (options.json) {
          nlohmann::json entry = {{"config", c.prefix},
                                  {"kind", std::string(1, k.kind)},
                                  {"item", item.number},
                                  {"dataType", item.dataType ? std::string(1, item.dataType) : ""}};
          if (k.kind == 'V')
            entry["text"] = item.text;
          else
            entry["value"] = item.value, entry["default"] = item.defaultValue;
          items.push_back(entry);
        } else {
          rows.push_back({c.prefix, std::string(1, k.kind), std::to_string(item.number),
                          DataTypeName(item.dataType), ShownValue(item, k.kind), ShownDefault(item, k.kind)});
        }
      }
    }
  }
  if (options.json) {
    out.Line(nlohmann::json{{"type", number}, {"name", values.name}, {"items", items}}.dump(2));
  } else {
    out.Table({"CONFIG", "KIND", "ITEM", "DATA TYPE", "VALUE", "DEFAULT"}, rows);
  }
  return kDone;
}

int RunDiff(const GlobalOptions& options, int first, int second, Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  TypeValues a;
  TypeValues b;
  std::string error;
  if (!LoadType(first, &a, &error) || !LoadType(second, &b, &error)) {
    out.Error(error);
    return kUsageError;
  }
  std::vector<std::vector<std::string>> rows;
  nlohmann::json differences = nlohmann::json::array();
  for (std::size_t c = 0; c < a.configs.size() && c < b.configs.size(); ++c) {
    for (int k = 0; k < 5; ++k) {
      const KindValues& ka = a.configs[c].kinds[k];
      const KindValues& kb = b.configs[c].kinds[k];
      const std::size_t count = std::max(ka.items.size(), kb.items.size());
      for (std::size_t i = 0; i < count; ++i) {
        const ItemValue none;
        const ItemValue& ia = i < ka.items.size() ? ka.items[i] : none;
        const ItemValue& ib = i < kb.items.size() ? kb.items[i] : none;
        if (!ia.described && !ib.described) continue;
        if (ia.value == ib.value && ia.text == ib.text) continue;
        const std::string va = ShownValue(ia, kKindLetters[k]);
        const std::string vb = ShownValue(ib, kKindLetters[k]);
        rows.push_back({a.configs[c].prefix, std::string(1, kKindLetters[k]), std::to_string(i + 1), va, vb});
        differences.push_back({{"config", a.configs[c].prefix},
                               {"kind", std::string(1, kKindLetters[k])},
                               {"item", i + 1},
                               {"first", va},
                               {"second", vb}});
      }
    }
  }
  if (options.json) {
    out.Line(differences.dump(2));
  } else if (!rows.empty()) {
    out.Table(
        {"CONFIG", "KIND", "ITEM", fmt::format("TYPE {:04d}", first), fmt::format("TYPE {:04d}", second)},
        rows);
  } else {
    out.Note(fmt::format("Types {} and {} hold the same values.", first, second));
  }
  return rows.empty() ? kDone : kRefused;
}

}  // namespace tool
