#include "core/edit.h"

#include <fmt/core.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/save_failure.h"
#include "core/system_error.h"
#include "typedata.h"

namespace tool {
namespace {

const ConfigValues* FindConfig(const TypeValues& loaded, const std::string& prefix) {
  for (const ConfigValues& config : loaded.configs) {
    if (config.prefix == prefix) return &config;
  }
  return nullptr;
}

bool InUse(char dataType) { return dataType != 0 && dataType != ' '; }
bool IsReal(char dataType) { return dataType == 'P' || dataType == 'F'; }

}  // namespace

bool ParseAssignment(const std::string& prefix, const std::string& text, Change* change, std::string* error) {
  const std::size_t colon = text.find(':');
  const std::size_t equals = text.find('=');
  if (colon != 1 || equals == std::string::npos || equals < colon + 2) {
    *error = fmt::format("'{}' is not KIND:ITEM=VALUE (e.g. D:3=12.5)", text);
    return false;
  }
  change->prefix = prefix;
  change->kind = text[0];
  if (KindIndex(change->kind) < 0) {
    *error = fmt::format("'{}': the kind is one of D, S, A, L, V", text);
    return false;
  }
  const std::string number = text.substr(colon + 1, equals - colon - 1);
  char* end = nullptr;
  const long item = std::strtol(number.c_str(), &end, 10);
  if (*end != '\0' || item < 1 || item > 65535) {
    *error = fmt::format("'{}': the item number is from 1", text);
    return false;
  }
  change->item = static_cast<int>(item);
  change->value = text.substr(equals + 1);
  return true;
}

bool ApplyChange(const TypeValues& loaded, const Change& change, bool* changed, std::string* error) {
  const std::string where = fmt::format("{}{} {}:{}", change.where.empty() ? "" : change.where + ": ",
                                        change.prefix, change.kind, change.item);
  const ConfigValues* config = FindConfig(loaded, change.prefix);
  if (!config) {
    *error = fmt::format("{}: the machine has no config with the prefix '{}'", where, change.prefix);
    return false;
  }
  const int k = KindIndex(change.kind);
  if (k < 0) {
    *error = fmt::format("{}: the kind is one of D, S, A, L, V", where);
    return false;
  }
  const KindValues& kind = config->kinds[k];
  if (!kind.present || change.item < 1 || change.item > static_cast<int>(kind.items.size())) {
    *error =
        fmt::format("{}: no such item (the config has {} {} items)", where, kind.items.size(), change.kind);
    return false;
  }
  const ItemValue& item = kind.items[static_cast<std::size_t>(change.item - 1)];
  if (!item.described || !InUse(item.dataType)) {
    *error = fmt::format("{}: the item is not in use", where);
    return false;
  }
  TypeRecord* record = nullptr;
  GetMMITypeNameAndStruc(loaded.typeNo, nullptr, &record);
  BlockTable* table = record->configs[config->configNo - 1].blocks;
  const int index = change.item - 1;
  const int code = GetHAIndex(change.kind);
  const CfgId id = TD_CFGID(index, code, config->configIndex);

  if (change.kind == 'V') {
    const std::string& text = change.value;
    // A NUL byte would end the text in the file: what follows it is lost.
    if (text.size() > 258 || text.find_first_of(std::string(",;\r\n\0", 5)) != std::string::npos ||
        text.find("//") != std::string::npos) {
      *error = fmt::format(
          "{}: a text has at most 258 characters and no ',', ';', \"//\", line break or NUL byte", where);
      return false;
    }
    *changed = text != item.text;
    char* slot = static_cast<TextBlock*>(table->slot[TD_SLOT_V])->texts[index];
    std::memset(slot, 0, TD_TEXT_SIZE);
    text.copy(slot, TD_TEXT_SIZE - 1);
    return true;
  }

  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(change.value.c_str(), &end);
  if (change.value.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
    *error = fmt::format("{}: '{}' is not a number", where, change.value);
    return false;
  }
  if (!IsReal(item.dataType) && value != std::trunc(value)) {
    *error = fmt::format("{}: an integer item takes whole numbers, not {}", where, change.value);
    return false;
  }
  if (!IsReal(item.dataType) && (value < -2147483648.0 || value > 2147483647.0)) {
    *error = fmt::format("{}: {} does not fit a 32-bit integer", where, change.value);
    return false;
  }
  const int slots[5] = {TD_SLOT_D, TD_SLOT_S, TD_SLOT_A, TD_SLOT_L, TD_SLOT_V};
  if (change.kind != 'L') {
    // The controller holds the value in its own form: it must come back.
    CfgIdRecord* description = nullptr;
    GetCFGIDStruc(id, &description);
    std::int32_t form = ConvertDoubleToMMIForm(value, id);
    const double back = IsReal(item.dataType) ? ConvertMMIBintoBinF(form, description->conversion)
                                              : ConvertMMIBintoBinL(form, description->conversion);
    const double unit =
        IsReal(item.dataType) ? std::fabs(ConvertMMIBintoBinF(1, description->conversion)) : 1.0;
    if (std::fabs(back - value) > unit) {
      *error = fmt::format("{}: the controller cannot hold {}", where, change.value);
      return false;
    }
    SetDataToCommMem(id, &form);
  }
  *changed = value != item.value;
  static_cast<ValueBlock*>(table->slot[slots[k]])->values[index] = value;
  return true;
}

bool SaveType(Session& session, int typeNo, const Journal& journal, std::vector<std::string>* written,
              std::string* error) {
  const SaveWitness witness(session, typeNo);
  session.MakeCurrentInHost(typeNo);
  const int result = SaveAllCurrentTypeData();
  const std::string reason = result != 0 ? SystemReason() : "";
  if (session.current() >= 0) session.MakeCurrentInHost(session.current());
  *written = journal.ChangedFiles();
  std::sort(written->begin(), written->end());
  if (result != 0) {
    *error = witness.Failure(reason);
    return false;
  }
  return true;
}

}  // namespace tool
