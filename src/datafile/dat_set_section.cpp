#include "datafile/dat_set_section.h"

#include <cstring>

#include "datafile/block_memory.h"
#include "datafile/parse_state.h"
#include "host.h"
#include "model/kinds.h"

namespace td::datafile {
namespace {

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The kind that the text between '[' and ']' names, trimmed of white space:
// exactly one of the capital letters D, S, A, L, V; null for anything else.
const Kind* NamedKind(const char* start, const char* end) {
  while (start < end && IsWhite(*start)) ++start;
  while (end > start && IsWhite(end[-1])) --end;
  if (end - start != 1) return nullptr;
  return KindOfLetter(*start);
}

// Releases the block in slot and, when twinSlot is not -1, the one in
// twinSlot; both slots are null afterwards, so that a failed allocation
// leaves no pointer to freed memory behind.
void ReleaseSlots(BlockTable* table, int slot, int twinSlot) {
  void* block = table->slot[slot];
  ReleaseBlock(block);
  table->slot[slot] = nullptr;
  if (twinSlot < 0) return;
  if (table->slot[twinSlot] != block) ReleaseBlock(table->slot[twinSlot]);
  table->slot[twinSlot] = nullptr;
}

// A fresh block in slot with its kind and count set; null when memory is
// exhausted.
void* NewBlock(BlockTable* table, int slot, const Kind& kind, std::uint16_t count) {
  const std::uint32_t size = kind.numeric ? TD_VALUE_BLOCK_SIZE(count) : TD_TEXT_BLOCK_SIZE(count);
  void* block = MMI_GlobalAlloc(size);
  table->slot[slot] = block;
  if (!block) return nullptr;
  if (kind.numeric) {
    static_cast<ValueBlock*>(block)->kind = kind.letter;
    static_cast<ValueBlock*>(block)->count = count;
  } else {
    static_cast<TextBlock*>(block)->kind = kind.letter;
    static_cast<TextBlock*>(block)->count = count;
  }
  return block;
}

}  // namespace

int DAT_SetSection(char** tokens, int configPosition, bool* recognised) {
  if (recognised) *recognised = false;
  const char* first = tokens ? tokens[0] : nullptr;
  if (!first) return 0;
  const char* close = std::strchr(first, ']');
  if (!close) return -1;
  const char* open = *first == '[' ? first + 1 : first;
  const Kind* kind = NamedKind(open, close);
  if (!kind) return 0;  // not a section: the current section stays

  ConfigRecord* config = nullptr;
  if (SearchMMIConfigIndex(configPosition + 1, &config) < 0 || !config || !config->kindTable) return -1;
  const int code = GetHAIndex(kind->letter);
  if (code < 0 || code >= TD_KIND_CODE_COUNT) return -1;
  const std::uint16_t count = config->kindTable[code].count;
  BlockTable* table = currentBlockTable;
  if (!table) return -1;
  currentSection = static_cast<std::int32_t>(kind - kKinds);
  if (recognised) *recognised = true;

  const SystemRecord* system = GetMMISystemStruc();
  const bool offline = system && system->offlineEnabled != 0;
  const int twinSlot = offline ? kind->twinSlot : -1;
  ReleaseSlots(table, kind->slot, twinSlot);
  void* block = NewBlock(table, kind->slot, *kind, count);
  if (kind->numeric) {
    currentValueBlock = static_cast<ValueBlock*>(block);
  } else {
    currentTextBlock = static_cast<TextBlock*>(block);
  }
  if (!block) return -1;
  if (twinSlot >= 0 && !NewBlock(table, twinSlot, *kind, count)) return -1;
  return 0;
}

}  // namespace td::datafile
