// Value memory of one config, built from the defaults.
#include "catalogue/build_defaults.h"

#include <cstdint>

#include "datafile/parse_state.h"
#include "host.h"
#include "kinds.h"

namespace td {
namespace {

// A block of size bytes with its kind and count set; null when memory runs
// out.
template <typename Block>
Block* NewBlock(char letter, unsigned count, std::uint32_t size) {
  auto* block = static_cast<Block*>(MMI_GlobalAlloc(size));
  if (block == nullptr) return nullptr;
  block->kind = letter;
  block->count = static_cast<std::uint16_t>(count);
  return block;
}

// Value i: the item's default when it is in use, 0.0 when it is not; an
// item without a description keeps the 0.0 of the zero fill.
void FillDefaults(ValueBlock* block, int kindCode, int configIndex) {
  for (unsigned item = 0; item < block->count; ++item) {
    CfgIdRecord* description = nullptr;
    if (GetCFGIDStruc(TD_CFGID(item, kindCode, configIndex), &description) < 0 || description == nullptr)
      continue;
    block->values[item] = IsInUse(description->dataType) ? description->defaultValue : 0.0;
  }
}

}  // namespace

int BuildConfigDefaults(ConfigEntry* entry, int position) {
  ConfigRecord* config = nullptr;
  const int configIndex = SearchMMIConfigIndex(position + 1, &config);
  if (configIndex < 0 || config == nullptr) return -1;

  currentBlockTable = static_cast<BlockTable*>(MMI_GlobalAlloc(TD_BLOCK_TABLE_SIZE));
  if (currentBlockTable == nullptr) return -1;
  entry->blocks = currentBlockTable;
  const SystemRecord* system = GetMMISystemStruc();
  const bool offline = system != nullptr && system->offlineEnabled != 0;

  for (const Kind& kind : kKinds) {
    const int kindCode = GetHAIndex(kind.letter);
    if (kindCode < 0) continue;  // a kind the structure library does not keep
    const unsigned count = config->kindTable[kindCode].count;
    if (count == 0) continue;  // no items: the slot stays null
    const bool twin = offline && kind.twinSlot >= 0;
    if (kind.numeric) {
      ValueBlock* block = NewBlock<ValueBlock>(kind.letter, count, TD_VALUE_BLOCK_SIZE(count));
      if (block == nullptr) return -1;
      currentBlockTable->slot[kind.slot] = block;
      if (twin) {
        // The twin's values stay 0.0 until they are copied or cleared.
        ValueBlock* offlineBlock = NewBlock<ValueBlock>(kind.letter, count, TD_VALUE_BLOCK_SIZE(count));
        if (offlineBlock == nullptr) return -1;
        currentBlockTable->slot[kind.twinSlot] = offlineBlock;
      }
      FillDefaults(block, kindCode, configIndex & 0xFF);
    } else {
      // Texts have no defaults: they stay empty.
      TextBlock* block = NewBlock<TextBlock>(kind.letter, count, TD_TEXT_BLOCK_SIZE(count));
      if (block == nullptr) return -1;
      currentBlockTable->slot[kind.slot] = block;
      if (twin) {
        TextBlock* offlineBlock = NewBlock<TextBlock>(kind.letter, count, TD_TEXT_BLOCK_SIZE(count));
        if (offlineBlock == nullptr) return -1;
        currentBlockTable->slot[kind.twinSlot] = offlineBlock;
      }
    }
  }
  return 0;
}

}  // namespace td
