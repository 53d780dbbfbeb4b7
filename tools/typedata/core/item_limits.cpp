#include "core/item_limits.h"

#include <fmt/core.h>

#include "core/values.h"
#include "mmisim.h"

namespace tool {
namespace {

const mmisim::ItemAbout* Described(const std::string& prefix, char kind, int item) {
  if (!mmisim::Started()) return nullptr;
  const int k = KindIndex(kind);
  if (k < 0 || item < 1) return nullptr;
  for (const mmisim::MachineConfig& config : mmisim::CurrentMachine().configs) {
    if (config.prefix != prefix) continue;
    const auto& about = config.kinds[k].about;
    const auto found = about.find(static_cast<std::uint32_t>(item));
    return found == about.end() ? nullptr : &found->second;
  }
  return nullptr;
}

}  // namespace

ItemAbout AboutItem(const std::string& prefix, char kind, int item) {
  const mmisim::ItemAbout* described = Described(prefix, kind, item);
  if (!described) return {};
  return {described->label, described->unit, described->minimum, described->maximum};
}

bool AnyItemAbout() {
  if (!mmisim::Started()) return false;
  for (const mmisim::MachineConfig& config : mmisim::CurrentMachine().configs) {
    for (const mmisim::KindItems& kind : config.kinds) {
      if (!kind.about.empty()) return true;
    }
  }
  return false;
}

std::string LimitRefusal(const std::string& prefix, char kind, int item, double value) {
  const mmisim::ItemAbout* described = Described(prefix, kind, item);
  if (!described) return "";
  const bool below = described->minimum && value < *described->minimum;
  const bool above = described->maximum && value > *described->maximum;
  if (!below && !above) return "";
  return fmt::format("{} {}:{}{}: {} is {} its {} {}{}", prefix, kind, item,
                     described->label.empty() ? "" : " (" + described->label + ")", PlainNumber(value),
                     below ? "below" : "above", below ? "minimum" : "maximum",
                     PlainNumber(below ? *described->minimum : *described->maximum),
                     described->unit.empty() ? "" : " " + described->unit);
}

std::vector<std::string> ValuesOutsideLimits(const TypeValues& values) {
  std::vector<std::string> outside;
  for (const ConfigValues& config : values.configs) {
    for (const KindValues& kind : config.kinds) {
      if (!kind.present || kind.kind == 'V') continue;
      for (const ItemValue& item : kind.items) {
        if (!item.described || !IsInUse(item.dataType)) continue;
        std::string refusal = LimitRefusal(config.prefix, kind.kind, item.number, item.value);
        if (!refusal.empty()) outside.push_back(std::move(refusal));
      }
    }
  }
  return outside;
}

}  // namespace tool
