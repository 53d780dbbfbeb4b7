// The structure library: the machine's records and the look-ups over them.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../state.h"

namespace mmisim {
namespace {

constexpr int kKindCodes[5] = {TD_CODE_D, TD_CODE_S, TD_CODE_A, TD_CODE_L, TD_CODE_V};

template <typename T>
T* Own(std::size_t size = sizeof(T)) {
  void* memory = std::calloc(1, size);
  if (!memory) std::abort();  // the simulated host has no way to go on
  S().owned.push_back(memory);
  return static_cast<T*>(memory);
}

void BuildConfig(State& s, const MachineConfig& config, int index) {
  auto* record = Own<ConfigRecord>();
  std::snprintf(record->name, sizeof record->name, "%s", config.prefix.c_str());
  record->configNo = static_cast<std::uint16_t>(config.configNo);
  record->partNo = static_cast<std::uint16_t>(config.partNo);
  record->kindTable = Own<KindCount>(sizeof(KindCount) * 8);
  for (int k = 0; k < 5; ++k) {
    const KindItems& kind = config.kinds[k];
    record->kindTable[kKindCodes[k]].count = static_cast<std::uint16_t>(kind.count);
    if (kind.count == 0) continue;
    // The descriptions of a kind lie side by side, as the service asks for
    // them in item order.
    auto* descriptions = Own<CfgIdRecord>(sizeof(CfgIdRecord) * kind.count);
    for (std::uint32_t i = 0; i < kind.count; ++i) {
      const ItemDescription& item = kind.items[i];
      if (!item.described) continue;
      CfgIdRecord* description = &descriptions[i];
      description->conversion[0] = static_cast<unsigned char>(item.scale);
      description->dataType = item.dataType;
      description->defaultValue = item.defaultValue;
      s.items.Put(TD_CFGID(i, kKindCodes[k], index)) = description;
    }
  }
  if (!s.configs.empty()) s.configs.back()->next = record;
  s.configs.push_back(record);
}

}  // namespace

void Start(const Machine& description) {
  const Machine machine = description;  // may be the one that Stop clears
  Stop();
  State& s = S();
  s.machine = machine;
  s.system = Own<SystemRecord>();
  std::snprintf(s.system->localeText, sizeof s.system->localeText, "%s", machine.localeText.c_str());
  s.system->offlineEnabled = machine.offlineEnabled ? 1 : 0;
  s.system->namePartCount = static_cast<std::uint16_t>(machine.namePartCount);
  s.system->typeListOrder = static_cast<std::int16_t>(machine.typeListOrder);
  for (std::size_t i = 0; i < machine.configs.size(); ++i)
    BuildConfig(s, machine.configs[i], static_cast<int>(i));
  s.system->configList = s.configs.empty() ? nullptr : s.configs.front();
  s.catalogue = Own<TypeCatalogue>();
  s.catalogue->configCount = static_cast<std::uint16_t>(machine.configs.size());
  s.catalogue->typeRecordSize = static_cast<std::uint16_t>(TD_TYPE_RECORD_SIZE(machine.configs.size()));
  s.hpcOnline = machine.hpcOnline;
  s.started = true;
}

void Stop() {
  State& s = S();
  for (void* memory : s.owned) std::free(memory);
  ReleaseAllGlobal();
  s = State();
  s.recording = RecordingDefault();
}

bool Started() { return S().started; }
const Machine& CurrentMachine() { return S().machine; }

bool AddType(int typeNo, const char* name) {
  TypeRecord** end = nullptr;
  return AddType(typeNo, name, &end);
}

bool AddType(int typeNo, const char* name, TypeRecord*** end) {
  State& s = S();
  if (!s.started || typeNo < 0 || typeNo > TD_TYPE_NO_MAX || std::strlen(name) > TD_TYPE_NAME_MAX)
    return false;
  auto* record = Own<TypeRecord>(s.catalogue->typeRecordSize);
  std::snprintf(record->name, sizeof record->name, "%s", name);
  record->typeNo = static_cast<std::uint16_t>(typeNo);
  for (std::size_t p = 0; p < s.configs.size(); ++p) {
    // Configs are found by number: entry p belongs to config number p + 1.
    for (const ConfigRecord* config : s.configs) {
      if (config->configNo == p + 1) {
        std::snprintf(record->configs[p].datName, TD_DAT_NAME_SIZE, "%.7s%04d.DAT", config->name, typeNo);
      }
    }
  }
  if (*end == nullptr) {
    *end = &s.catalogue->typeList;
    while (**end) *end = &(**end)->next;
  }
  **end = record;
  *end = &record->next;
  s.catalogue->typeCount++;
  if (s.catalogue->typeCount == 1 || record->typeNo > s.catalogue->maxTypeNo) {
    s.catalogue->maxTypeNo = record->typeNo;
  }
  return true;
}

}  // namespace mmisim

using mmisim::Arg;
using mmisim::Record;
using mmisim::S;

extern "C" {

SystemRecord* TD_CALL GetMMISystemStruc(void) {
  Record("GetMMISystemStruc", {}, Arg(S().system));
  return S().system;
}

TypeCatalogue* TD_CALL GetMMITypeInfo(void) {
  Record("GetMMITypeInfo", {}, Arg(S().catalogue));
  return S().catalogue;
}

int TD_CALL GetMMITypeNameAndStruc(int typeNo, char* name, TypeRecord** record) {
  const auto wanted = static_cast<std::uint16_t>(typeNo & 0xFFFF);
  int result = -1;
  if (S().catalogue) {
    for (TypeRecord* type = S().catalogue->typeList; type; type = type->next) {
      if (type->typeNo != wanted) continue;
      if (name) std::memcpy(name, type->name, TD_TYPE_NAME_SIZE);
      if (record) *record = type;
      result = 0;
      break;
    }
  }
  Record("GetMMITypeNameAndStruc", {typeNo, Arg(name), Arg(record)}, result);
  return result;
}

int TD_CALL SearchMMIConfigIndex(int configNo, ConfigRecord** config) {
  const auto wanted = static_cast<std::uint16_t>(configNo & 0xFFFF);
  int result = -1;
  const auto& configs = S().configs;
  for (std::size_t i = 0; i < configs.size(); ++i) {
    if (configs[i]->configNo == wanted && wanted != 0) {
      if (config) *config = configs[i];
      result = static_cast<int>(i);
      break;
    }
  }
  Record("SearchMMIConfigIndex", {configNo, Arg(config)}, result);
  return result;
}

int TD_CALL GetMMIConfigStruc(int configIndex, ConfigRecord** config) {
  int result = -1;
  const auto& configs = S().configs;
  if (configIndex >= 0 && static_cast<std::size_t>(configIndex) < configs.size()) {
    if (config) *config = configs[static_cast<std::size_t>(configIndex)];
    result = 0;
  }
  Record("GetMMIConfigStruc", {configIndex, Arg(config)}, result);
  return result;
}

int TD_CALL GetCFGIDStruc(CfgId id, CfgIdRecord** record) {
  int result = -1;
  if (CfgIdRecord* const* found = S().items.Find(id)) {
    if (record) *record = *found;
    result = 0;
  }
  Record("GetCFGIDStruc", {id, Arg(record)}, result);
  return result;
}

int TD_CALL GetIFxxConfigIndex(int boardCode, int reserved) {
  int result = -1;
  for (const mmisim::Board& board : S().machine.boards) {
    if (board.code == (boardCode & 0xFFFF)) result = board.configIndex;
  }
  Record("GetIFxxConfigIndex", {boardCode, reserved}, result);
  return result;
}

}  // extern "C"
