// The in-memory type list: free numbers, new records, file names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "catalogue_support.h"

namespace {

using td::testing::CatalogueTest;
using td::testing::kTwoConfigMachine;
using td::testing::MachineFrom;

// The lowest number that no record holds, trying every number against the
// whole list.
int LowestFreeByWalkingPerNumber() {
  for (int number = 0; number <= TD_TYPE_NO_MAX; ++number) {
    bool taken = false;
    for (const TypeRecord* type = GetMMITypeInfo()->typeList; type && !taken; type = type->next) {
      taken = type->typeNo == number;
    }
    if (!taken) return number;
  }
  return -1;
}

TEST_F(CatalogueTest, SearchTypeNoGivesTheLowestFreeNumberUntilAllAreTaken) {
  mmisim::Start(MachineFrom(kTwoConfigMachine));
  EXPECT_EQ(SearchTypeNo(), 0) << "empty list";
  for (int number : {3, 0, 1}) ASSERT_TRUE(mmisim::AddType(number, "x"));
  EXPECT_EQ(SearchTypeNo(), 2);

  // Fill every number, in an order that is not sorted, with duplicates.
  std::vector<int> numbers(TD_TYPE_NO_MAX + 1);
  for (int i = 0; i <= TD_TYPE_NO_MAX; ++i) numbers[i] = i;
  std::mt19937 random(12);
  std::shuffle(numbers.begin(), numbers.end(), random);
  mmisim::SetRecording(false);
  for (int number : numbers) {
    if (number == 9876) continue;
    ASSERT_EQ(Type_Add("t", number), 0);
  }
  EXPECT_EQ(SearchTypeNo(), 9876);
  ASSERT_EQ(Type_Add("last", 9876), 0);
  EXPECT_EQ(SearchTypeNo(), -1);
  EXPECT_EQ(GetMMITypeInfo()->maxTypeNo, TD_TYPE_NO_MAX);
}

TEST_F(CatalogueTest, SearchTypeNoAgreesWithAWalkPerNumber) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    mmisim::Start(MachineFrom(kTwoConfigMachine));
    mmisim::SetRecording(false);
    // Dense low numbers with holes, some duplicates, a few high ones.
    const int count = std::uniform_int_distribution<int>(0, 600)(random);
    std::uniform_int_distribution<int> low(0, count + 5);
    std::uniform_int_distribution<int> any(0, TD_TYPE_NO_MAX);
    for (int i = 0; i < count; ++i)
      ASSERT_TRUE(mmisim::AddType(i % 10 == 0 ? any(random) : low(random), "x"));
    // Numbers beyond 9999 that a host may have put into the list.
    if (round % 3 == 0 && GetMMITypeInfo()->typeList) GetMMITypeInfo()->typeList->typeNo = 0xFFFF;
    EXPECT_EQ(SearchTypeNo(), LowestFreeByWalkingPerNumber()) << "round " << round;
  }
}

TEST_F(CatalogueTest, TypeAddPutsAWholeRecordAtTheHead) {
  mmisim::Start(MachineFrom(R"(
config 3 prefix C
  items D 1
config 1 prefix ABCDEFG
  items D 1
config 2 prefix PRM
  items D 1
)"));
  ASSERT_TRUE(mmisim::AddType(40, "old"));
  ASSERT_EQ(Type_Add("Alpha", 12), 0);
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  EXPECT_EQ(catalogue->typeCount, 2);
  EXPECT_EQ(catalogue->maxTypeNo, 40) << "not lowered";
  const TypeRecord* head = catalogue->typeList;
  EXPECT_STREQ(head->name, "Alpha");
  EXPECT_EQ(head->typeNo, 12);
  EXPECT_EQ(head->next->typeNo, 40);
  // Entry p belongs to config number p + 1, whatever the list order.
  EXPECT_STREQ(head->configs[0].datName, "ABCDEFG0012.DAT");
  EXPECT_STREQ(head->configs[1].datName, "PRM0012.DAT");
  EXPECT_STREQ(head->configs[2].datName, "C0012.DAT");
  for (int p = 0; p < 3; ++p) EXPECT_EQ(head->configs[p].blocks, nullptr);

  ASSERT_EQ(Type_Add("", 0x10000 + TD_TYPE_NO_MAX), 0);
  EXPECT_EQ(catalogue->typeList->typeNo, TD_TYPE_NO_MAX);
  EXPECT_STREQ(catalogue->typeList->configs[0].datName, "ABCDEFG9999.DAT") << "15 characters fill the field";
  EXPECT_EQ(catalogue->maxTypeNo, TD_TYPE_NO_MAX);

  EXPECT_EQ(Type_Add("123456789012345678901234", 1), -1);
  EXPECT_EQ(Type_Add(nullptr, 1), -1);
  EXPECT_EQ(Type_Add("x", 10000), -1);
  mmisim::FailAllocationAt(1);
  EXPECT_EQ(Type_Add("x", 1), -1);
  EXPECT_EQ(catalogue->typeCount, 3);
}

TEST_F(CatalogueTest, TooLongPrefixesAreRefusedBeforeAnythingChanges) {
  // The structure library may hold a prefix that no datName can take.
  StartWith(kTwoConfigMachine, "0, \r\n");
  ConfigRecord* config = nullptr;
  ASSERT_GE(SearchMMIConfigIndex(2, &config), 0);
  std::strcpy(config->name, "PRMLONG8");
  const long allocations = mmisim::AllocationCalls();
  EXPECT_EQ(Type_Add("x", 1), -1);
  EXPECT_EQ(UpdateTypeFile("x", 1, 1), -1);
  EXPECT_EQ(mmisim::AllocationCalls(), allocations);
  EXPECT_EQ(Catalogue(), "0, \r\n");
  EXPECT_EQ(GetMMITypeInfo()->typeCount, 1);
  char name[TD_DAT_NAME_SIZE] = "untouched";
  EXPECT_EQ(MakeDatFileName(name, 1, 1), -1);
  EXPECT_STREQ(name, "untouched");
  // Renaming forms no file names and goes on.
  EXPECT_EQ(UpdateTypeFile("Zero", 0, 0), 0);
}

TEST_F(CatalogueTest, MakeDatFileNameFormsPrefixAndFourDigits) {
  mmisim::Start(MachineFrom(R"(
config 1 prefix PRM
  items D 1
config 2 prefix AB
  items D 1
)"));
  char name[TD_DAT_NAME_SIZE];
  ASSERT_EQ(MakeDatFileName(name, 7, 0), 0);
  EXPECT_STREQ(name, "PRM0007.DAT");
  ASSERT_EQ(MakeDatFileName(name, 12, 1), 0);
  EXPECT_STREQ(name, "AB0012.DAT");
  ASSERT_EQ(MakeDatFileName(name, 0, 1), 0);
  EXPECT_STREQ(name, "AB0000.DAT");
  ASSERT_EQ(MakeDatFileName(name, 0x70000 + 99, 0), 0);
  EXPECT_STREQ(name, "PRM0099.DAT");

  std::strcpy(name, "untouched");
  for (int position : {2, -1, 0xFFFF, 0x10000}) {
    EXPECT_EQ(MakeDatFileName(name, 7, position), -1) << position;
  }
  EXPECT_EQ(MakeDatFileName(name, 10000, 0), -1);
  EXPECT_EQ(MakeDatFileName(name, 0xFFFF, 0), -1);
  EXPECT_STREQ(name, "untouched");
  EXPECT_EQ(MakeDatFileName(nullptr, 7, 0), -1);
}

}  // namespace
