// The download's state and its one step.
#include "link/download_state.h"

#include "host.h"
#include "kinds.h"
#include "link/link_items.h"

namespace td {

TypeRecord* sendTypeRecord = nullptr;
std::uint16_t sendConfigCursor = 0;

namespace {

constexpr int kEndOfDownloadMessage = 7;
constexpr unsigned kAllConfigs = 0xFFFF;

// The config index of config number configNo, counted along configList
// itself: the position of the first record with that number, or the length
// of the list when none has it.
int ListPositionOfConfig(const SystemRecord& system, unsigned configNo) {
  int position = 0;
  for (const ConfigRecord* config = system.configList; config; config = config->next) {
    if (config->configNo == configNo) break;
    ++position;
  }
  return position;
}

// Queues every D, S and A item in use of one config, with its value as comm
// memory holds it.
void SendConfig(HWND window, int itemNotice, const BlockTable* table, int configIndex) {
  for (const Kind& kind : kKinds) {
    if (!kind.inCommMem) continue;  // L and V are never sent
    const ValueBlock* block = ValueSlot(table, kind.slot);
    if (block == nullptr) continue;
    for (unsigned item = 0; item < block->count; ++item) {
      const CfgId id = TD_CFGID(item, kind.code, configIndex);
      if (ItemInUse(id) == nullptr) continue;
      std::int32_t value = 0;
      GetCommData(0, id, &value);
      SendComm(window, itemNotice, id, value);
    }
  }
}

int PostEnd(HWND window, int endCode) {
  return MMIPostMessage(window, kEndOfDownloadMessage, endCode & 0xFFFF, 0);
}

// Whether the record is still one of the catalogue's: a catalogue built
// anew abandons the old list, and a host that went away takes its records
// with it. Only addresses are compared; the record is not read.
bool StillListed(const TypeCatalogue& catalogue, const TypeRecord* record) {
  for (const TypeRecord* type = catalogue.typeList; type; type = type->next) {
    if (type == record) return true;
  }
  return false;
}

}  // namespace

int SendOneDownloadStep(HWND window, int itemNotice, int stepNotice, int endCode, int configFilter) {
  // Before any download found its type there is no record to read.
  if (sendTypeRecord == nullptr) return PostEnd(window, endCode);
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  const SystemRecord* system = GetMMISystemStruc();
  if (catalogue == nullptr || system == nullptr || !StillListed(*catalogue, sendTypeRecord)) {
    sendTypeRecord = nullptr;
    return PostEnd(window, endCode);
  }
  const unsigned filter = static_cast<unsigned>(configFilter) & 0xFFFF;
  const unsigned configCount = catalogue->configCount;
  while (sendConfigCursor < configCount) {
    const int configIndex = ListPositionOfConfig(*system, sendConfigCursor + 1u);
    const BlockTable* table = EntryAt(sendTypeRecord, sendConfigCursor)->blocks;
    const bool taken = static_cast<unsigned>(configIndex) < configCount && table != nullptr &&
                       (filter == kAllConfigs || filter == static_cast<unsigned>(configIndex));
    if (!taken) {
      ++sendConfigCursor;
      continue;
    }
    SendConfig(window, itemNotice, table, configIndex);
    ++sendConfigCursor;
    return DummyRead0(window, stepNotice, configIndex);
  }
  return PostEnd(window, endCode);
}

}  // namespace td
