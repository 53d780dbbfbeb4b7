#include "render/item_about.h"

#include <fmt/core.h>

#include <cmath>

namespace tool {
namespace {

nlohmann::ordered_json Limit(double value, char dataType) {
  if (!IsRealItem(dataType) && std::fabs(value) <= 9007199254740992.0) return static_cast<long long>(value);
  return value;
}

}  // namespace

void AddItemAbout(const std::string& config, char kind, int item, char dataType,
                  nlohmann::ordered_json* entry) {
  const ItemAbout about = AboutItem(config, kind, item);
  if (!about.label.empty()) (*entry)["label"] = about.label;
  if (!about.unit.empty()) (*entry)["unit"] = about.unit;
  if (about.minimum) (*entry)["min"] = Limit(*about.minimum, dataType);
  if (about.maximum) (*entry)["max"] = Limit(*about.maximum, dataType);
}

void AddExportAbout(const TypeValues& values, nlohmann::ordered_json* document) {
  nlohmann::ordered_json items = nlohmann::ordered_json::array();
  for (const ConfigValues& config : values.configs) {
    for (const KindValues& kind : config.kinds) {
      if (!kind.present) continue;
      for (const ItemValue& item : kind.items) {
        if (!item.described || !IsInUse(item.dataType)) continue;
        nlohmann::ordered_json entry = {
            {"config", config.prefix}, {"kind", std::string(1, kind.kind)}, {"item", item.number}};
        AddItemAbout(config.prefix, kind.kind, item.number, item.dataType, &entry);
        if (entry.size() > 3) items.push_back(std::move(entry));
      }
    }
  }
  if (!items.empty()) (*document)["items"] = std::move(items);
}

std::string KindShown(char kind) {
  switch (kind) {
    case 'D':
    case 'S':
    case 'A':
      return fmt::format("{} (controller)", kind);
    case 'L':
      return "L (operator interface)";
    case 'V':
      return "V (text)";
    default:
      return std::string(1, kind);
  }
}

std::string LimitsShown(const ItemAbout& about) {
  if (about.minimum && about.maximum)
    return fmt::format("{} to {}", PlainNumber(*about.minimum), PlainNumber(*about.maximum));
  if (about.minimum) return "at least " + PlainNumber(*about.minimum);
  if (about.maximum) return "at most " + PlainNumber(*about.maximum);
  return "";
}

std::vector<std::string> KindsAndDataTypesLegend() {
  return {
      "Kinds: D, S and A hold numbers sent to the controller; L numbers kept by the operator interface; "
      "V texts.",
      "Data types: P and F real numbers; I and the other capital letters whole numbers; C a text; blank or "
      "0 not in use.",
  };
}

}  // namespace tool
