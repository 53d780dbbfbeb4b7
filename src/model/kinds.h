// The five kinds and how the blocks, files and comm memory name them.
#ifndef TYPEDATA_MODEL_KINDS_H
#define TYPEDATA_MODEL_KINDS_H

#include "records.h"

namespace td {

struct Kind {
  char letter;     // kind letter, also the section header's letter
  int code;        // kind code: CfgId kind byte and kindTable index
  int slot;        // block slot in a BlockTable
  int twinSlot;    // slot of the offline twin, -1 when the kind has none
  bool numeric;    // a ValueBlock (true) or a TextBlock (false)
  bool inCommMem;  // mirrored in comm memory and sent to the controller
};

// In section order: D, S, A, L, V.
inline constexpr Kind kKinds[5] = {
    {TD_KIND_D, TD_CODE_D, TD_SLOT_D, TD_SLOT_OFFLINE_D, true, true},
    {TD_KIND_S, TD_CODE_S, TD_SLOT_S, TD_SLOT_OFFLINE_S, true, true},
    {TD_KIND_A, TD_CODE_A, TD_SLOT_A, -1, true, true},
    {TD_KIND_L, TD_CODE_L, TD_SLOT_L, -1, true, false},
    {TD_KIND_V, TD_CODE_V, TD_SLOT_V, TD_SLOT_OFFLINE_V, false, false},
};

// The kind of a letter, or null for a letter that names no kind.
inline const Kind* KindOfLetter(char letter) {
  for (const Kind& kind : kKinds) {
    if (kind.letter == letter) return &kind;
  }
  return nullptr;
}

// An item is in use when its data type letter is neither 0 nor a blank.
inline bool IsInUse(char dataType) {
  return dataType != TD_TYPE_UNUSED_0 && dataType != TD_TYPE_UNUSED_BLANK;
}

// 'P' and 'F' mark real items; every other letter integer items.
inline bool IsReal(char dataType) { return dataType == TD_TYPE_REAL_P || dataType == TD_TYPE_REAL_F; }

inline ValueBlock* ValueSlot(const BlockTable* table, int slot) {
  return table ? static_cast<ValueBlock*>(table->slot[slot]) : nullptr;
}

inline TextBlock* TextSlot(const BlockTable* table, int slot) {
  return table ? static_cast<TextBlock*>(table->slot[slot]) : nullptr;
}

// Entry p of a type record.
inline ConfigEntry* EntryAt(TypeRecord* record, int position) { return &record->configs[position]; }

}  // namespace td

#endif  // TYPEDATA_MODEL_KINDS_H
