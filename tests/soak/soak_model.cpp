#include "soak/soak_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "mmisim.h"
#include "support/workspace.h"

namespace td::soak {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Number(const ItemShape& item, double value) {
  char text[64];
  if (item.inUse && item.real) {
    std::snprintf(text, sizeof text, "%.6f", value);
  } else {
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(std::trunc(value)));
  }
  return text;
}

// The first line where two texts differ, for a readable report.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream a(expected);
  std::istringstream b(actual);
  std::string lineA;
  std::string lineB;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (!moreA && !moreB) return "(same lines)";
    if (!moreA || !moreB || lineA != lineB) {
      return "line " + std::to_string(line) + ": expected \"" + (moreA ? lineA : "<end>") + "\", found \"" +
             (moreB ? lineB : "<end>") + "\"";
    }
  }
}

}  // namespace

std::vector<ConfigShape> DescribeMachine() {
  std::vector<ConfigShape> configs;
  const int count = GetMMITypeInfo()->configCount;
  for (int position = 0; position < count; ++position) {
    ConfigRecord* record = nullptr;
    ConfigShape config;
    config.position = position;
    config.configIndex = SearchMMIConfigIndex(position + 1, &record) & 0xFF;
    config.prefix = record->name;
    config.partNo = record->partNo;
    for (int kind = 0; kind < 5; ++kind) {
      const int code = GetHAIndex(kKindLetters[kind]);
      const unsigned items = record->kindTable[code].count;
      if (items == 0) continue;
      KindShape shape;
      shape.kind = kind;
      for (unsigned i = 0; i < items; ++i) {
        ItemShape item;
        item.id = TD_CFGID(i, code, config.configIndex);
        CfgIdRecord* description = nullptr;
        if (GetCFGIDStruc(item.id, &description) >= 0 && description != nullptr) {
          item.described = true;
          item.inUse = description->dataType != 0 && description->dataType != ' ';
          item.real = description->dataType == 'P' || description->dataType == 'F';
          item.defaultValue = description->defaultValue;
          item.conversion = description->conversion;
        }
        shape.items.push_back(item);
      }
      config.kinds.push_back(shape);
    }
    configs.push_back(config);
  }
  return configs;
}

ConfigValues DefaultValues(const ConfigShape& config) {
  ConfigValues values;
  for (const KindShape& kind : config.kinds) {
    if (kind.kind == 4) {
      values.texts.assign(kind.items.size(), "");
      continue;
    }
    std::vector<double>& numbers = values.numbers[static_cast<std::size_t>(kind.kind)];
    for (const ItemShape& item : kind.items) {
      // Written from the block: integers lose their fraction, items not in
      // use are written 0, and what is not written reads back as 0.
      double value = 0.0;
      if (item.inUse) value = item.real ? item.defaultValue : std::trunc(item.defaultValue);
      numbers.push_back(value);
    }
  }
  return values;
}

std::string RenderFile(const ConfigShape& config, const ConfigValues& values) {
  std::string bytes;
  for (const KindShape& kind : config.kinds) {
    bytes += std::string("[") + kKindLetters[kind.kind] + "]\r\n";
    const std::size_t count = kind.items.size();
    for (std::size_t i = 0; i < count; ++i) {
      const ItemShape& item = kind.items[i];
      if (!item.described || (kind.kind == 4 && !item.inUse)) continue;
      const std::string value = kind.kind == 4
                                    ? values.texts[i]
                                    : Number(item, values.numbers[static_cast<std::size_t>(kind.kind)][i]);
      bytes += std::to_string(i + 1) + ":" + value + (i + 1 == count ? ";\r\n" : ",\r\n");
    }
  }
  return bytes;
}

const TypeEntry* Model::Find(int typeNo) const {
  for (const TypeEntry& entry : list) {
    if (entry.typeNo == typeNo) return &entry;
  }
  return nullptr;
}

std::string Model::CatalogueBytes() const {
  std::string bytes;
  for (const TypeEntry& entry : list) {
    bytes += entry.quoted ? std::to_string(entry.typeNo) + ",\"" + entry.name + "\"\r\n"
                          : std::to_string(entry.typeNo) + ", \r\n";
  }
  return bytes;
}

int Model::FreeNumber() const {
  for (int number = 0; number <= TD_TYPE_NO_MAX; ++number) {
    if (Find(number) == nullptr) return number;
  }
  return -1;
}

std::vector<std::string> PartsOf(const std::string& name) {
  std::vector<std::string> parts;
  if (name.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t plus = name.find('+', start);
    parts.push_back(name.substr(start, plus - start));
    if (plus == std::string::npos) return parts;
    start = plus + 1;
  }
}

std::string FilePath(const std::string& root, const ConfigShape& config, int typeNo) {
  char path[64];
  std::snprintf(path, sizeof path, "type/%04d/%s%04d.DAT", typeNo, config.prefix.c_str(), typeNo);
  return root + "/" + path;
}

std::string TreeDifferences(const std::string& root, const std::vector<ConfigShape>& machine,
                            const Model& model) {
  std::string differences;
  std::set<std::string> expected = {Lower(root + "/type/mmi.typ")};
  const std::string catalogue = testing::ReadFileBytes(root + "/type/mmi.typ");
  if (catalogue != model.CatalogueBytes()) {
    differences += "the catalogue: " + FirstDifference(model.CatalogueBytes(), catalogue) + "\n";
  }
  for (const auto& [key, values] : model.files) {
    const ConfigShape& config = machine[static_cast<std::size_t>(key.second)];
    const std::string path = FilePath(root, config, key.first);
    expected.insert(Lower(path));
    if (!testing::FileExists(path)) {
      differences += path + ": missing\n";
      continue;
    }
    const std::string wanted = RenderFile(config, values);
    const std::string found = testing::ReadFileBytes(path);
    if (found != wanted) differences += path + ": " + FirstDifference(wanted, found) + "\n";
  }
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root + "/type", error)) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().generic_string();
    if (expected.count(Lower(path)) == 0) differences += path + ": not expected\n";
  }
  return differences;
}

std::string MemoryDifferences(const std::vector<ConfigShape>& machine, const Model& model) {
  std::ostringstream out;
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  std::size_t listed = 0;
  int highest = 0;
  for (const TypeRecord* type = catalogue->typeList; type; type = type->next, ++listed) {
    const std::string name(type->name, ::strnlen(type->name, sizeof type->name));
    if (listed >= model.list.size() || model.list[listed].typeNo != type->typeNo ||
        model.list[listed].name != name) {
      out << "type list entry " << listed << ": " << type->typeNo << " '" << name << "'\n";
    }
    highest = std::max<int>(highest, type->typeNo);
  }
  if (listed != model.list.size())
    out << "type list: " << listed << " records, " << model.list.size() << " expected\n";
  if (catalogue->typeCount != listed)
    out << "typeCount " << catalogue->typeCount << " for " << listed << " records\n";
  if (catalogue->maxTypeNo != highest)
    out << "maxTypeNo " << catalogue->maxTypeNo << ", highest " << highest << "\n";

  const SystemRecord* system = GetMMISystemStruc();
  if (system->currentTypeNo != model.current) out << "currentTypeNo " << system->currentTypeNo << "\n";
  if (std::string(system->currentTypeName) != model.currentName) {
    out << "currentTypeName '" << system->currentTypeName << "', expected '" << model.currentName << "'\n";
  }
  if (!model.memoryKnown) return out.str();

  TypeRecord* record = nullptr;
  if (GetMMITypeNameAndStruc(model.current, nullptr, &record) < 0 || record == nullptr) {
    out << "no record of the current type\n";
    return out.str();
  }
  for (const ConfigShape& config : machine) {
    const BlockTable* table = record->configs[config.position].blocks;
    const ConfigValues& values = model.memory[static_cast<std::size_t>(config.position)];
    for (const KindShape& kind : config.kinds) {
      const void* block = table ? table->slot[kKindSlots[kind.kind]] : nullptr;
      const std::string where = config.prefix + " " + kKindLetters[kind.kind];
      if (block == nullptr) {
        out << where << ": no block\n";
        continue;
      }
      for (std::size_t i = 0; i < kind.items.size(); ++i) {
        if (kind.kind == 4) {
          const char* text = static_cast<const TextBlock*>(block)->texts[i];
          if (std::string(text, ::strnlen(text, TD_TEXT_SIZE)) != values.texts[i])
            out << where << i + 1 << ": text\n";
        } else if (static_cast<const ValueBlock*>(block)->values[i] !=
                   values.numbers[static_cast<std::size_t>(kind.kind)][i]) {
          out << where << i + 1 << ": " << static_cast<const ValueBlock*>(block)->values[i] << ", expected "
              << values.numbers[static_cast<std::size_t>(kind.kind)][i] << "\n";
        }
      }
    }
  }
  for (const auto& [id, value] : model.comm) {
    std::int32_t found = 0;
    if (!mmisim::CommValue(id, &found) || found != value) {
      out << "comm memory " << std::hex << id << std::dec << ": " << found << ", expected " << value << "\n";
    }
  }
  return out.str();
}

}  // namespace td::soak
