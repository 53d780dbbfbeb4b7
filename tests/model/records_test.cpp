// The records as the host libraries see them, and the CfgId.
#include <gtest/gtest.h>

#include <cstddef>

#include "model/kinds.h"
#include "typedata.h"

namespace {

TEST(CfgId, FormsAndSplitsEveryField) {
  EXPECT_EQ(TD_CFGID(3, 0, 0xB0), 0x300B0u);
  const CfgId highest = TD_CFGID(0xFFFF, TD_CODE_V, 0xFF);
  EXPECT_EQ(highest, 0xFFFF06FFu);
  EXPECT_EQ(TD_CFGID_ITEM(highest), 0xFFFFu);
  EXPECT_EQ(TD_CFGID_KIND(highest), 6u);
  EXPECT_EQ(TD_CFGID_CONFIG(highest), 0xFFu);
  // Only the low 8 bits of a config index go into the identifier.
  EXPECT_EQ(TD_CFGID(1, TD_CODE_A, 0x1B2), TD_CFGID(1, TD_CODE_A, 0xB2));
  EXPECT_EQ(TD_CFGID_KIND(TD_CFGID(7, TD_CODE_A, 2)), 4u) << "A travels as kind code 4, not its slot";
}

TEST(Kinds, SlotsCodesAndTwinsDifferWhereTheyShould) {
  const td::Kind* a = td::KindOfLetter('A');
  const td::Kind* l = td::KindOfLetter('L');
  const td::Kind* v = td::KindOfLetter('V');
  ASSERT_TRUE(a && l && v);
  EXPECT_EQ(a->code, 4);
  EXPECT_EQ(a->slot, 2);
  EXPECT_EQ(a->twinSlot, -1);
  EXPECT_EQ(l->code, 5);
  EXPECT_EQ(l->slot, 3);
  EXPECT_FALSE(l->inCommMem);
  EXPECT_EQ(v->code, 6);
  EXPECT_EQ(v->slot, 7);
  EXPECT_EQ(v->twinSlot, 6);
  EXPECT_EQ(td::KindOfLetter('d'), nullptr);
  EXPECT_EQ(td::KindOfLetter('X'), nullptr);
}

TEST(Kinds, DataTypeLettersDecideUseAndReality) {
  EXPECT_FALSE(td::IsInUse('\0'));
  EXPECT_FALSE(td::IsInUse(' '));
  EXPECT_TRUE(td::IsInUse('I'));
  EXPECT_TRUE(td::IsReal('P'));
  EXPECT_TRUE(td::IsReal('F'));
  EXPECT_FALSE(td::IsReal('I'));
}

TEST(Records, BlocksLeaveRoomForOneMoreItem) {
  EXPECT_EQ(TD_VALUE_BLOCK_SIZE(0), 16u);
  EXPECT_EQ(TD_TEXT_BLOCK_SIZE(0), 264u);
  EXPECT_EQ(TD_VALUE_BLOCK_SIZE(3), offsetof(ValueBlock, values) + 4 * sizeof(double));
  EXPECT_GE(TD_TEXT_BLOCK_SIZE(3), offsetof(TextBlock, texts) + 4 * 260);
  EXPECT_EQ(TD_VALUE_BLOCK_SIZE(65535), 65535u * 8 + 16);
}

TEST(Records, LayoutOfThisBuild) {
  // Field order holds on every build; the byte offsets of a 32-bit process
  // are pinned at compile time by records.h.
  EXPECT_LT(offsetof(SystemRecord, localeText), offsetof(SystemRecord, configList));
  EXPECT_LT(offsetof(SystemRecord, configList), offsetof(SystemRecord, offlineEnabled));
  EXPECT_LT(offsetof(SystemRecord, currentTypeNo), offsetof(SystemRecord, typeListOrder));
  EXPECT_EQ(sizeof(BlockTable), 8 * sizeof(void*));
  EXPECT_EQ(offsetof(TypeRecord, configs), sizeof(TypeRecord));
  EXPECT_EQ(TD_TYPE_RECORD_SIZE(3), sizeof(TypeRecord) + 3 * sizeof(ConfigEntry));
  if (sizeof(void*) == 4) {
    EXPECT_EQ(sizeof(ConfigEntry), 20u);
    EXPECT_EQ(TD_TYPE_RECORD_SIZE(10), 32u + 20u * 10);
    EXPECT_EQ(offsetof(SystemRecord, typeListOrder), 0x458u);
    EXPECT_EQ(offsetof(CfgIdRecord, defaultValue), 0x40u);
  }
  EXPECT_EQ(offsetof(CfgIdRecord, dataType), offsetof(CfgIdRecord, conversion) + 3);
}

}  // namespace
