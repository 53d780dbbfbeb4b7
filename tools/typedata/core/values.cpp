#include "core/values.h"

#include <fmt/core.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/folded.h"
#include "core/open_file.h"
#include "core/type_files.h"

namespace tool {

const char kKindLetters[5] = {'D', 'S', 'A', 'L', 'V'};

int KindIndex(char kind) {
  for (int k = 0; k < 5; ++k) {
    if (kKindLetters[k] == kind) return k;
  }
  return -1;
}

bool IsRealItem(char dataType) { return dataType == 'P' || dataType == 'F'; }
bool IsInUse(char dataType) { return dataType != 0 && dataType != ' '; }

bool ParseFileNumber(const std::string& text, double* value) {
  std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
  const std::size_t digits = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  if (i == digits) return false;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fraction = ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i == fraction) return false;
  }
  if (i != text.size()) return false;
  *value = std::strtod(text.c_str(), nullptr);
  return std::isfinite(*value);
}

std::string PlainNumber(double value) {
  if (!std::isfinite(value)) return fmt::format("{}", value);
  // The fewest decimals that read back to the same double; the smallest
  // doubles need a few hundred.
  for (int decimals = 0; decimals < 400; ++decimals) {
    std::string text = fmt::format("{:.{}f}", value, decimals);
    if (std::strtod(text.c_str(), nullptr) == value) return text == "-0" ? "0" : text;
  }
  return fmt::format("{:f}", value);
}

namespace {

constexpr int kSlots[5] = {TD_SLOT_D, TD_SLOT_S, TD_SLOT_A, TD_SLOT_L, TD_SLOT_V};

void ReadConfig(const BlockTable* table, int configIndex, ConfigValues* config) {
  for (int k = 0; k < 5; ++k) {
    KindValues& kind = config->kinds[k];
    kind.kind = kKindLetters[k];
    void* block = table ? table->slot[kSlots[k]] : nullptr;
    if (!block) continue;
    kind.present = true;
    const int code = GetHAIndex(kKindLetters[k]);
    const unsigned count =
        k == 4 ? static_cast<TextBlock*>(block)->count : static_cast<ValueBlock*>(block)->count;
    for (unsigned i = 0; i < count; ++i) {
      ItemValue item;
      item.number = static_cast<int>(i) + 1;
      CfgIdRecord* description = nullptr;
      if (GetCFGIDStruc(TD_CFGID(i, code, configIndex), &description) >= 0) {
        item.described = true;
        item.dataType = description->dataType;
        item.defaultValue = description->defaultValue;
      }
      if (k == 4) {
        const char* text = static_cast<TextBlock*>(block)->texts[i];
        item.text.assign(text, strnlen(text, TD_TEXT_SIZE));
      } else {
        item.value = static_cast<ValueBlock*>(block)->values[i];
      }
      kind.items.push_back(std::move(item));
    }
  }
}

bool IsReal(char dataType) { return IsRealItem(dataType); }
bool InUse(char dataType) { return IsInUse(dataType); }

std::string Number(double value, char dataType) {
  if (IsReal(dataType) && InUse(dataType)) return fmt::format("{:.6f}", value);
  const double whole = std::trunc(value);
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) return fmt::format("{:.6f}", value);
  return fmt::format("{}", static_cast<long long>(whole));
}

// A data file that the service may be handed: regular and no bigger than
// a data file can be (its name in any letter case), or missing.
bool SafeToRead(const std::string& folder, const char* datName) {
  const std::string wanted = Folded(std::string(datName, strnlen(datName, TD_DAT_NAME_SIZE)));
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    if (Folded(entry.path().filename().string()) != wanted) continue;
    FileError failure;
    if (!CheckReadable(entry.path().generic_string(), kTypeDataFile, &failure) && !failure.missing)
      return false;
  }
  return true;
}

bool Load(int typeNo, TypeValues* values, std::vector<int>* broken, std::string* error) {
  TypeRecord* record = nullptr;
  char name[TD_TYPE_NAME_SIZE] = "";
  if (GetMMITypeNameAndStruc(typeNo, name, &record) < 0) {
    *error = fmt::format("no type {}", typeNo);
    return false;
  }
  // The service opens the files itself: a FIFO or a huge file in a data
  // file's place is refused first. The session's current folder is the
  // type folder.
  std::error_code ignored;
  const std::string folder =
      (std::filesystem::current_path(ignored) / fmt::format("{:04d}", typeNo)).generic_string();
  const bool safe = CheckTypeDataFiles(folder, typeNo, error);
  if (!safe && !broken) return false;
  const int failed = safe ? ReadCurrentTypeData(typeNo) : -1;
  if (failed != 0 && broken) {
    // Each config read on its own, as the service reads them all, a file
    // it must not be handed (a FIFO, a huge file) passed over.
    for (int p = 0; p < GetMMITypeInfo()->configCount; ++p) {
      const char* datName = record->configs[p].datName;
      if (!SafeToRead(folder, datName) || DAT_fread(datName, p, record) != 0) broken->push_back(p + 1);
    }
  } else if (failed != 0) {
    ConfigRecord* config = nullptr;
    SearchMMIConfigIndex(failed, &config);
    *error = fmt::format("type {}: the type data file of config {} ({}) cannot be read", typeNo, failed,
                         config ? std::string(config->name) + fmt::format("{:04d}.DAT", typeNo) : "?");
    return false;
  }
  values->typeNo = typeNo;
  values->name = std::string(name, strnlen(name, sizeof name));
  values->configs.clear();
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  for (int p = 0; p < catalogue->configCount; ++p) {
    ConfigRecord* config = nullptr;
    const int index = SearchMMIConfigIndex(p + 1, &config);
    if (index < 0) continue;
    if (broken && std::find(broken->begin(), broken->end(), p + 1) != broken->end()) continue;
    ConfigValues one;
    one.configNo = p + 1;
    one.configIndex = index & 0xFF;
    one.prefix = config->name;
    one.partNo = config->partNo;
    ReadConfig(record->configs[p].blocks, one.configIndex, &one);
    values->configs.push_back(std::move(one));
  }
  return true;
}

}  // namespace

bool LoadType(int typeNo, TypeValues* values, std::string* error) {
  return Load(typeNo, values, nullptr, error);
}

bool LoadTypePartially(int typeNo, TypeValues* values, std::vector<int>* broken, std::string* error) {
  broken->clear();
  return Load(typeNo, values, broken, error);
}

std::string ShownValue(const ItemValue& item, char kind) {
  if (kind == 'V') return item.text;
  return Number(item.value, item.dataType);
}

std::string ShownDefault(const ItemValue& item, char kind) {
  if (kind == 'V' || !item.described) return "";
  return Number(InUse(item.dataType) ? item.defaultValue : 0.0, item.dataType);
}

std::string DataTypeName(char dataType) {
  if (dataType == 0) return "0 (not in use)";
  if (dataType == ' ') return "blank (not in use)";
  if (IsReal(dataType)) return fmt::format("{} (real)", dataType);
  return std::string(1, dataType);
}

}  // namespace tool
