#include "link/tables.h"

#include <cstdio>

#include "kinds.h"
#include "link/download_state.h"

namespace td::testing {

double Seed(int slot, unsigned item) { return slot * 100 + item + 0.5 + item * 0.25; }

void GiveTables(TypeRecord* type) {
  const bool offline = GetMMISystemStruc()->offlineEnabled != 0;
  for (int p = 0; p < GetMMITypeInfo()->configCount; ++p) {
    ConfigRecord* config = nullptr;
    ASSERT_GE(SearchMMIConfigIndex(p + 1, &config), 0);
    auto* table = static_cast<BlockTable*>(MMI_GlobalAlloc(TD_BLOCK_TABLE_SIZE));
    type->configs[p].blocks = table;
    for (const Kind& kind : kKinds) {
      const unsigned count = config->kindTable[kind.code].count;
      const auto size = kind.numeric ? TD_VALUE_BLOCK_SIZE(count) : TD_TEXT_BLOCK_SIZE(count);
      for (int slot : {kind.slot, kind.twinSlot}) {
        if (slot < 0 || (slot == kind.twinSlot && !offline)) continue;
        void* block = MMI_GlobalAlloc(size);
        table->slot[slot] = block;
        if (kind.numeric) {
          auto* values = static_cast<ValueBlock*>(block);
          values->kind = kind.letter;
          values->count = static_cast<std::uint16_t>(count);
          for (unsigned i = 0; i < count; ++i) values->values[i] = Seed(slot, i);
        } else {
          auto* texts = static_cast<TextBlock*>(block);
          texts->kind = kind.letter;
          texts->count = static_cast<std::uint16_t>(count);
          for (unsigned i = 0; i < count; ++i)
            std::snprintf(texts->texts[i], TD_TEXT_SIZE, "t%d.%u", slot, i);
        }
      }
    }
  }
}

TypeRecord* TypeOf(int typeNo) {
  TypeRecord* type = nullptr;
  EXPECT_GE(GetMMITypeNameAndStruc(typeNo, nullptr, &type), 0) << "type " << typeNo;
  return type;
}

void MakeCurrent(int typeNo) { GetMMISystemStruc()->currentTypeNo = static_cast<std::uint16_t>(typeNo); }

BlockTable* TableOf(int typeNo, int configNo) { return TypeOf(typeNo)->configs[configNo - 1].blocks; }

void LinkTest::SetUp() {
  SimHostTest::SetUp();
  sendTypeRecord = nullptr;
  sendConfigCursor = 0;
}

}  // namespace td::testing
