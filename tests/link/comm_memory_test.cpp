// Comm memory and the offline copies.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "kinds.h"
#include "link/tables.h"

namespace {

using td::testing::GiveTables;
using td::testing::InUseCommItems;
using td::testing::MakeCurrent;
using td::testing::Seed;
using td::testing::TableOf;
using td::testing::TypeOf;

class CommMemory : public td::testing::LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_TRUE(mmisim::AddType(3, "T40+STEEL+FAST"));
    GiveTables(TypeOf(3));
    MakeCurrent(3);
    mmisim::ClearCalls();
  }
};

// The sample machine's configs in list order: MAIN (1), FEED (4), TOOL (2),
// MAT (3); so config index and config number differ for all but MAIN.
constexpr int kMain = 0, kFeed = 1, kTool = 2, kMat = 3;

TEST_F(CommMemory, WritesEveryInUseDSAItemUnderItsListIndexAndNothingElse) {
  EXPECT_EQ(SetCurrentTypeDataToCommMem(TypeOf(3)), 0);

  const auto expected = InUseCommItems();
  ASSERT_EQ(mmisim::CommMemory().size(), expected.size());
  for (const auto& [id, slot] : expected) {
    std::int32_t value = 0;
    ASSERT_TRUE(mmisim::CommValue(id, &value)) << std::hex << id;
    CfgIdRecord* item = nullptr;
    ASSERT_EQ(GetCFGIDStruc(id, &item), 0);
    const double seed = Seed(slot, TD_CFGID_ITEM(id));
    // The controller form: reals scaled by their decimals, integers cut.
    const double want =
        td::IsReal(item->dataType) ? std::round(seed * std::pow(10, item->conversion[0])) : std::trunc(seed);
    EXPECT_EQ(value, static_cast<std::int32_t>(want)) << std::hex << id;
  }
  // A items carry kind code 4; MAT (list index 3, config 3) has two.
  EXPECT_TRUE(mmisim::CommValue(TD_CFGID(1, TD_CODE_A, kMat), nullptr));
  EXPECT_FALSE(mmisim::CommValue(TD_CFGID(1, 2, kMat), nullptr));
  // MAIN's D 5 (blank), D 6 (undescribed), A 2 (zero) are left alone.
  EXPECT_FALSE(mmisim::CommValue(TD_CFGID(4, TD_CODE_D, kMain), nullptr));
  EXPECT_FALSE(mmisim::CommValue(TD_CFGID(5, TD_CODE_D, kMain), nullptr));
  EXPECT_FALSE(mmisim::CommValue(TD_CFGID(1, TD_CODE_A, kMain), nullptr));
  for (const auto& [id, value] : mmisim::CommMemory()) {
    EXPECT_NE(TD_CFGID_KIND(id), unsigned{TD_CODE_L}) << "L values never reach comm memory";
    EXPECT_NE(TD_CFGID_KIND(id), unsigned{TD_CODE_V}) << "V texts never reach comm memory";
  }
}

TEST_F(CommMemory, PassesOverConfigsWithoutTablesAndANullRecord) {
  TypeOf(3)->configs[1].blocks = nullptr;  // TOOL, config number 2
  EXPECT_EQ(SetCurrentTypeDataToCommMem(TypeOf(3)), 0);
  EXPECT_FALSE(mmisim::CommValue(TD_CFGID(0, TD_CODE_D, kTool), nullptr));
  EXPECT_TRUE(mmisim::CommValue(TD_CFGID(0, TD_CODE_D, kFeed), nullptr));

  mmisim::ClearCalls();
  EXPECT_EQ(SetCurrentTypeDataToCommMem(nullptr), 0);
  EXPECT_TRUE(mmisim::CallsOf("SetDataToCommMem").empty());
}

TEST_F(CommMemory, CopyToOfflineTakesInUseItemsAndLeavesTheRest) {
  BlockTable* main = TableOf(3, 1);
  auto* d = td::ValueSlot(main, TD_SLOT_D);
  auto* twin = td::ValueSlot(main, TD_SLOT_OFFLINE_D);
  auto* sTwin = td::ValueSlot(main, TD_SLOT_OFFLINE_S);
  d->values[0] = 11.5;
  d->values[4] = 99.0;  // D 5: blank, not in use
  d->values[5] = 98.0;  // D 6: no description
  const auto before = mmisim::OfflineCommMemory();

  EXPECT_EQ(CopyCurrentTypeDataToOffline(kMain), 0);
  EXPECT_EQ(twin->values[0], 11.5);
  EXPECT_EQ(twin->values[2], Seed(TD_SLOT_D, 2));
  EXPECT_EQ(twin->values[4], Seed(TD_SLOT_OFFLINE_D, 4)) << "an item not in use keeps its twin value";
  EXPECT_EQ(twin->values[5], Seed(TD_SLOT_OFFLINE_D, 5));
  EXPECT_EQ(sTwin->values[1], Seed(TD_SLOT_S, 1));
  EXPECT_EQ(mmisim::OfflineCommMemory(), before) << "copying writes no memory";
  EXPECT_TRUE(mmisim::CallsOf("SetDataToCommMem").empty());
  // The A block has no twin, and nothing beyond the twins changed.
  EXPECT_EQ(td::ValueSlot(main, TD_SLOT_A)->values[0], Seed(TD_SLOT_A, 0));
}

TEST_F(CommMemory, CopyImageToOfflineTakesTextsOfInUseItems) {
  BlockTable* main = TableOf(3, 1);
  TextBlock* texts = td::TextSlot(main, TD_SLOT_V);
  TextBlock* twin = td::TextSlot(main, TD_SLOT_OFFLINE_V);
  std::memset(texts->texts[0], 'x', TD_TEXT_SIZE);  // no terminator within its 260 bytes
  std::strcpy(texts->texts[2], "third");
  std::memset(twin->texts[2], 'y', TD_TEXT_SIZE);

  EXPECT_EQ(CopyCurrentTypeImageToOffline(kMain), 0);
  EXPECT_EQ(std::string(twin->texts[0]), std::string(TD_TEXT_MAX, 'x'))
      << "never a twin text without its end";
  EXPECT_STREQ(twin->texts[1], "t6.1") << "V 2 is not in use";
  EXPECT_STREQ(twin->texts[2], "third");
  EXPECT_EQ(twin->texts[2][6], 'y') << "only the text and its terminator are copied";
}

TEST_F(CommMemory, ClearOfflineGivesDefaultsToTwinAndOfflineMemory) {
  BlockTable* main = TableOf(3, 1);
  auto* twin = td::ValueSlot(main, TD_SLOT_OFFLINE_D);
  TextBlock* texts = td::TextSlot(main, TD_SLOT_OFFLINE_V);

  EXPECT_EQ(ClearOfflineTypeData(kMain), 0);
  EXPECT_EQ(twin->values[0], 12.5);
  EXPECT_EQ(twin->values[2], 120.0);
  EXPECT_EQ(twin->values[3], -20.0);
  EXPECT_EQ(twin->values[4], 0.0) << "not in use: 0.0";
  EXPECT_EQ(twin->values[5], Seed(TD_SLOT_OFFLINE_D, 5)) << "no description: kept";
  EXPECT_EQ(twin->values[6], 0.125);
  EXPECT_EQ(td::ValueSlot(main, TD_SLOT_OFFLINE_S)->values[0], 1.5);

  std::int32_t value = 0;
  ASSERT_TRUE(mmisim::OfflineCommValue(TD_CFGID(0, TD_CODE_D, kMain), &value));
  EXPECT_EQ(value, 1250);
  ASSERT_TRUE(mmisim::OfflineCommValue(TD_CFGID(4, TD_CODE_D, kMain), &value));
  EXPECT_EQ(value, 0) << "items not in use are written too, with 0.0";
  EXPECT_FALSE(mmisim::OfflineCommValue(TD_CFGID(5, TD_CODE_D, kMain), nullptr));
  ASSERT_TRUE(mmisim::OfflineCommValue(TD_CFGID(0, TD_CODE_S, kMain), &value));
  EXPECT_EQ(value, 15);
  EXPECT_EQ(mmisim::OfflineCommMemory().size(), 8u + 4u - 1u) << "D 1-8 but 6, S 1-4";
  EXPECT_TRUE(mmisim::CommMemory().empty()) << "the online memory is not written";

  for (unsigned i = 0; i < texts->count; ++i) {
    EXPECT_EQ(texts->texts[i][0], '\0');
    EXPECT_EQ(texts->texts[i][1], '6') << "the rest of the text stays";
  }
  EXPECT_STREQ(td::TextSlot(main, TD_SLOT_V)->texts[0], "t7.0") << "the online texts stay";
}

TEST_F(CommMemory, OneConfigOperationsRefuseWhatTheyCannotFind) {
  const auto all = {CopyCurrentTypeDataToOffline, CopyCurrentTypeImageToOffline, ClearOfflineTypeData};
  for (auto operation : all) EXPECT_EQ(operation(9), -1) << "unknown config index";

  ConfigRecord* feed = nullptr;
  ASSERT_EQ(GetMMIConfigStruc(kFeed, &feed), 0);
  feed->configNo = 0;
  for (auto operation : all) EXPECT_EQ(operation(kFeed), -1) << "config number 0";
  feed->configNo = 4;

  TypeOf(3)->configs[3].blocks = nullptr;  // FEED: config number 4
  for (auto operation : all) EXPECT_EQ(operation(kFeed), -1) << "no table of the current type";

  MakeCurrent(77);
  for (auto operation : all) EXPECT_EQ(operation(kMain), -1) << "no current type";
  EXPECT_TRUE(mmisim::OfflineCommMemory().empty());
}

TEST_F(CommMemory, WithoutOfflineCopiesTheOneConfigOperationsDoNothing) {
  mmisim::Machine machine = mmisim::SampleMachine();
  machine.offlineEnabled = false;
  mmisim::Start(machine);
  ASSERT_TRUE(mmisim::AddType(0, ""));
  GiveTables(TypeOf(0));
  MakeCurrent(0);
  for (int slot = 4; slot <= 6; ++slot) EXPECT_EQ(TableOf(0, 1)->slot[slot], nullptr);
  EXPECT_EQ(CopyCurrentTypeDataToOffline(kMain), 0);
  EXPECT_EQ(CopyCurrentTypeImageToOffline(kMain), 0);
  EXPECT_EQ(ClearOfflineTypeData(kMain), 0);
  EXPECT_TRUE(mmisim::OfflineCommMemory().empty());
  for (int slot = 4; slot <= 6; ++slot) EXPECT_EQ(TableOf(0, 1)->slot[slot], nullptr);
}

}  // namespace
