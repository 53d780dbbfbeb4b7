// Loading a type's values from its files, and handing value memory from
// one type to the next.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "kinds.h"
#include "lifecycle/lifecycle.h"

namespace {

using td::testing::AddCatalogueType;
using td::testing::PutFile;
using td::testing::ReadFileBytes;
using td::testing::RecordOf;
using td::testing::TextOf;
using td::testing::TypeFilePath;
using td::testing::ValueOf;

// Type 0 from defaults, and type 6 whose files say otherwise.
class Loading : public td::testing::LifecycleTest {
 protected:
  void SetUp() override {
    LifecycleTest::SetUp();
    ASSERT_EQ(CreateSetTypeData(), 0);
    ASSERT_EQ(ReadCurrentTypeData(0), 0);
    AddCatalogueType(6, "T60+ALU+SLOW");
    PutFile(TypeFilePath(workspace_, 6, "MAIN"),
            "// type 6, by hand\r\n[D]\r\n1:20.0,2:21.0,3:130;\r\n[V]\r\n1:first,3:third;\r\n");
    PutFile(TypeFilePath(workspace_, 6, "TOOL"), "[D]\r\n1:45.5;\r\n[L]\r\n1:1.25,2:2.5;\r\n");
    PutFile(TypeFilePath(workspace_, 6, "MAT"), "[A]\r\n1:6,2:8;\r\n");
    PutFile(TypeFilePath(workspace_, 6, "FEED"), "[S]\r\n1:3,2:4;\r\n");
  }
};

TEST_F(Loading, ChangeHandsTheTablesOnAndReadsTheNewTypeIntoThem) {
  const BlockTable* tables[4];
  for (int p = 0; p < 4; ++p) tables[p] = RecordOf(0)->configs[p].blocks;

  EXPECT_EQ(ChangeCurrentTypeData(6, 0), 0);
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(RecordOf(6)->configs[p].blocks, tables[p]);
    EXPECT_EQ(RecordOf(0)->configs[p].blocks, tables[p]) << "the old record keeps its pointers";
  }
  EXPECT_EQ(ValueOf(6, 1, TD_SLOT_D, 0), 20.0);
  EXPECT_EQ(ValueOf(6, 1, TD_SLOT_D, 3), 0.0) << "not in the file: 0.0, not the default";
  EXPECT_EQ(ValueOf(6, 1, TD_SLOT_S, 0), 1.5) << "no [S] in MAIN's file: the S block stays";
  EXPECT_STREQ(TextOf(6, 1, 0), "first");
  EXPECT_STREQ(TextOf(6, 1, 2), "third");
  EXPECT_EQ(ValueOf(6, 2, TD_SLOT_L, 1), 2.5);

  // Comm memory holds the new type's D, S and A values, under list indexes:
  // MAIN 0, FEED 1, TOOL 2, MAT 3.
  std::int32_t value = 0;
  ASSERT_TRUE(mmisim::CommValue(TD_CFGID(0, TD_CODE_D, 0), &value));
  EXPECT_EQ(value, 2000);
  ASSERT_TRUE(mmisim::CommValue(TD_CFGID(0, TD_CODE_D, 2), &value));
  EXPECT_EQ(value, 4550);
  ASSERT_TRUE(mmisim::CommValue(TD_CFGID(1, TD_CODE_A, 3), &value));
  EXPECT_EQ(value, 8);
  ASSERT_TRUE(mmisim::CommValue(TD_CFGID(1, TD_CODE_S, 1), &value));
  EXPECT_EQ(value, 4);
  EXPECT_EQ(GetMMISystemStruc()->currentTypeNo, 0) << "making it current is not loading's";

  // The same number twice reads the type again into its own tables.
  td::ValueSlot(RecordOf(6)->configs[0].blocks, TD_SLOT_D)->values[0] = -1.0;
  EXPECT_EQ(ChangeCurrentTypeData(6, 6), 0);
  EXPECT_EQ(ValueOf(6, 1, TD_SLOT_D, 0), 20.0);
  EXPECT_EQ(RecordOf(6)->configs[0].blocks, tables[0]);
}

TEST_F(Loading, AMissingFileStopsAtItsConfigAndLeavesCommMemory) {
  std::filesystem::remove(TypeFilePath(workspace_, 6, "TOOL"));  // config 2
  const auto comm = mmisim::CommMemory();
  const double toolBefore = ValueOf(0, 2, TD_SLOT_D, 0);
  const double matBefore = ValueOf(0, 3, TD_SLOT_A, 0);
  mmisim::ClearCalls();

  EXPECT_EQ(ChangeCurrentTypeData(6, 0), 2);
  EXPECT_EQ(ValueOf(6, 1, TD_SLOT_D, 0), 20.0) << "config 1 was read";
  EXPECT_EQ(ValueOf(6, 2, TD_SLOT_D, 0), toolBefore);
  EXPECT_EQ(ValueOf(6, 3, TD_SLOT_A, 0), matBefore) << "configs after the failure are not read";
  EXPECT_EQ(mmisim::CommMemory(), comm);
  EXPECT_TRUE(mmisim::CallsOf("SetDataToCommMem").empty());
}

TEST_F(Loading, UnknownTypesChangeNothing) {
  const auto comm = mmisim::CommMemory();
  mmisim::ClearCalls();
  EXPECT_EQ(ReadCurrentTypeData(77), -1);
  EXPECT_EQ(ChangeCurrentTypeData(77, 0), -1);
  EXPECT_EQ(ChangeCurrentTypeData(6, 77), -1);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(RecordOf(6)->configs[p].blocks, nullptr);
  EXPECT_EQ(mmisim::CommMemory(), comm);
  EXPECT_TRUE(mmisim::CallsOf("MMI_GlobalAlloc").empty());
}

TEST_F(Loading, ATypeWithoutTablesGetsNewOnesFromItsFiles) {
  EXPECT_EQ(ReadCurrentTypeData(6), 0);
  EXPECT_NE(RecordOf(6)->configs[0].blocks, RecordOf(0)->configs[0].blocks);
  EXPECT_EQ(ValueOf(6, 4, TD_SLOT_S, 1), 4.0);
  EXPECT_EQ(ValueOf(0, 4, TD_SLOT_S, 1), 0.0) << "type 0 keeps its own tables";
}

TEST(LoadingWithoutConfigs, ReadsNothingAndSucceeds) {
  td::testing::Workspace workspace;
  mmisim::Start(td::testing::MachineFrom("offline on\n"));
  ASSERT_TRUE(mmisim::AddType(0, ""));
  EXPECT_EQ(ReadCurrentTypeData(0), 0);
  EXPECT_EQ(ChangeCurrentTypeData(0, 0), 0);
  EXPECT_TRUE(mmisim::CommMemory().empty());
  mmisim::Stop();
}

}  // namespace
