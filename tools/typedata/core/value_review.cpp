#include "core/value_review.h"

#include <fmt/core.h>

#include <cmath>
#include <cstdlib>

#include "typedata.h"

namespace tool {
namespace {

const ItemValue* FindItem(const TypeValues& loaded, const Change& change, int* configIndex) {
  for (const ConfigValues& config : loaded.configs) {
    if (config.prefix != change.prefix) continue;
    const int k = KindIndex(change.kind);
    if (k < 0 || change.item < 1) return nullptr;
    const KindValues& kind = config.kinds[k];
    if (!kind.present || change.item > static_cast<int>(kind.items.size())) return nullptr;
    *configIndex = config.configIndex;
    return &kind.items[static_cast<std::size_t>(change.item - 1)];
  }
  return nullptr;
}

// What the file will hold of value: real items are written with six
// decimals, integer items as whole numbers.
double AsWritten(double value, char dataType) {
  if (!IsRealItem(dataType)) return value;
  return std::strtod(fmt::format("{:.6f}", value).c_str(), nullptr);
}

}  // namespace

bool ReviewChange(const TypeValues& loaded, bool strict, Change* change, ReviewedChange* reviewed,
                  std::string* error) {
  *reviewed =
      ReviewedChange{change->prefix, change->kind, change->item, 0, change->value, change->value, false};
  int configIndex = 0;
  const ItemValue* item = FindItem(loaded, *change, &configIndex);
  if (!item || !item->described || !IsInUse(item->dataType)) return true;
  reviewed->dataType = item->dataType;
  if (change->kind == 'V') return true;

  const std::string where = fmt::format("{} {}:{}", change->prefix, change->kind, change->item);
  double value = 0.0;
  if (!ParseFileNumber(change->value, &value)) {
    *error = fmt::format(
        "{}: '{}' is not a number as type data files write it (digits, an optional '-' before and one '.' "
        "within, e.g. -12.5)",
        where, change->value);
    return false;
  }
  if (!IsRealItem(item->dataType) && value != std::trunc(value)) return true;  // refused by ApplyChange

  double held = value;
  if (change->kind != 'L') {
    CfgIdRecord* description = nullptr;
    const CfgId id = TD_CFGID(change->item - 1, GetHAIndex(change->kind), configIndex);
    if (GetCFGIDStruc(id, &description) < 0) return true;
    const std::int32_t form = ConvertDoubleToMMIForm(value, id);
    const bool real = IsRealItem(item->dataType);
    held = real ? ConvertMMIBintoBinF(form, description->conversion)
                : ConvertMMIBintoBinL(form, description->conversion);
    const double unit = real ? std::fabs(ConvertMMIBintoBinF(1, description->conversion)) : 1.0;
    if (std::fabs(held - value) > unit) return true;  // the controller cannot hold it: refused later
  }
  held = AsWritten(held, item->dataType);
  if (held == value) return true;
  reviewed->rounded = true;
  reviewed->stored = PlainNumber(held);
  if (strict) {
    *error = fmt::format("{}: {} would be stored as {}; --strict refuses a value that is rounded", where,
                         change->value, reviewed->stored);
    return false;
  }
  change->value = reviewed->stored;
  return true;
}

std::string RoundingNote(const ReviewedChange& change) {
  return fmt::format(
      "{} {}:{}: {} is stored as {} ({})", change.config, change.kind, change.item, change.given,
      change.stored,
      change.kind == 'L' ? "a type data file keeps six decimals" : "what the controller holds");
}

}  // namespace tool
