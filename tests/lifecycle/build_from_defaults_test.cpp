// Value memory built from the defaults: a new catalogue, or one config.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "kinds.h"
#include "lifecycle/lifecycle.h"
#include "support/fault_file_system.h"

namespace {

using td::testing::MachineFrom;
using td::testing::ReadFileBytes;
using td::testing::RecordOf;
using td::testing::TypeFilePath;
using td::testing::ValueOf;

class BuildFromDefaults : public td::testing::LifecycleTest {};

TEST_F(BuildFromDefaults, OneConfigOfTenDAndTwoV) {
  mmisim::Start(MachineFrom(R"(
offline on
config 1 prefix ONE
  items D 10
  item D 1 P 2.5 scale 1
  item D 2 I -7
  item D 3 blank
  item D 4 zero
  item D 5 none
  item D 6-10 I 9
  items V 2
)"));
  ASSERT_EQ(CreateSetTypeData(), 0);
  const BlockTable* table = RecordOf(0)->configs[0].blocks;
  ASSERT_NE(table, nullptr);
  for (int slot : {1, 2, 3, 5}) EXPECT_EQ(table->slot[slot], nullptr) << "slot " << slot;
  const ValueBlock* d = td::ValueSlot(table, TD_SLOT_D);
  const ValueBlock* twin = td::ValueSlot(table, TD_SLOT_OFFLINE_D);
  ASSERT_NE(d, nullptr);
  ASSERT_NE(twin, nullptr);
  EXPECT_EQ(d->kind, 'D');
  EXPECT_EQ(twin->kind, 'D');
  EXPECT_EQ(d->count, 10);
  EXPECT_EQ(twin->count, 10);
  const double defaults[10] = {2.5, -7, 0, 0, 0, 9, 9, 9, 9, 9};
  for (unsigned i = 0; i < 10; ++i) {
    EXPECT_EQ(d->values[i], defaults[i]) << "item " << i + 1;
    EXPECT_EQ(twin->values[i], 0.0);
  }
  for (int slot : {TD_SLOT_V, TD_SLOT_OFFLINE_V}) {
    const TextBlock* texts = td::TextSlot(table, slot);
    ASSERT_NE(texts, nullptr);
    EXPECT_EQ(texts->kind, 'V');
    EXPECT_EQ(texts->count, 2);
    EXPECT_STREQ(texts->texts[0], "");
    EXPECT_STREQ(texts->texts[1], "");
  }
  const auto sizes = mmisim::CallsOf("MMI_GlobalAlloc");
  ASSERT_EQ(sizes.size(), 6u) << "record, table, D, its twin, V, its twin";
  EXPECT_EQ(sizes[2].args[0], 10 * 8 + 16);
  EXPECT_EQ(sizes[4].args[0], 2 * 260 + 264);
}

TEST_F(BuildFromDefaults, NewCatalogueHoldsTypeZeroAloneOnDiskAndInMemory) {
  mmisim::AddType(5, "OLD+ONE");
  mmisim::AddType(9000, "OLD+TWO");
  td::testing::PutFile(workspace_.Path("type/MMI.TYP"), "5,\"OLD+ONE\"\r\n9000,\"OLD+TWO\"\r\n");

  ASSERT_EQ(CreateSetTypeData(), 0);
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  EXPECT_EQ(catalogue->typeCount, 1);
  EXPECT_EQ(catalogue->maxTypeNo, 0);
  ASSERT_NE(catalogue->typeList, nullptr);
  EXPECT_EQ(catalogue->typeList->typeNo, 0);
  EXPECT_EQ(catalogue->typeList->next, nullptr);
  EXPECT_STREQ(catalogue->typeList->name, "");

  // One catalogue file, whatever the letter case it had.
  std::vector<std::string> names;
  td::platform::Fs().ListDir("../type", &names);
  int catalogues = 0;
  for (const std::string& name : names) catalogues += (name == "mmi.typ" || name == "MMI.TYP");
  EXPECT_EQ(catalogues, 1);
  EXPECT_FALSE(td::testing::TemporaryFileIn(workspace_.Path("type")));
  const std::string catalogueFile = td::testing::FileExists(workspace_.Path("type/mmi.typ"))
                                        ? workspace_.Path("type/mmi.typ")
                                        : workspace_.Path("type/MMI.TYP");
  EXPECT_EQ(ReadFileBytes(catalogueFile), "0, \r\n");

  // Every config of type 0 has its file, with the defaults.
  for (const char* prefix : {"MAIN", "TOOL", "MAT", "FEED"}) {
    EXPECT_TRUE(td::testing::FileExists(TypeFilePath(workspace_, 0, prefix))) << prefix;
  }
  EXPECT_EQ(ReadFileBytes(TypeFilePath(workspace_, 0, "FEED")).rfind("[D]\r\n1:250.000000,\r\n2:10,\r\n", 0),
            0u);

  // A host started afresh reads that catalogue: type 0 alone.
  mmisim::StartHost(mmisim::SampleMachine());
  EXPECT_EQ(GetMMITypeInfo()->typeCount, 1);
  EXPECT_EQ(ReadCurrentTypeData(0), 0);
  EXPECT_EQ(ValueOf(0, 1, TD_SLOT_D, 0), 12.5);
}

// What can be refused is refused before the list is replaced: the list,
// the files and the catalogue stay as they were.
TEST_F(BuildFromDefaults, RefusalsChangeNothing) {
  struct Case {
    const char* what;
    void (*spoil)();
  };
  const Case cases[] = {
      {"a config the structure library does not know",
       [] {
         GetMMITypeInfo()->configCount = 5;  // the structure library knows four
         GetMMITypeInfo()->typeRecordSize = TD_TYPE_RECORD_SIZE(5);
       }},
      {"a prefix too long for a file name",
       [] {
         ConfigRecord* config = nullptr;
         ASSERT_GE(SearchMMIConfigIndex(2, &config), 0);
         std::memset(config->name, 'X', sizeof config->name);
       }},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(workspace_.Path("type"));
    td::testing::PutFile(workspace_.Path("type/mmi.typ"), "5,\"OLD\"\r\n");
    td::testing::PutFile(TypeFilePath(workspace_, 0, "MAIN"), "[D]\r\n1:3.000000;\r\n");
    mmisim::StartHost(mmisim::SampleMachine());
    TypeRecord* before = GetMMITypeInfo()->typeList;
    c.spoil();
    EXPECT_EQ(CreateSetTypeData(), -1) << c.what;
    EXPECT_EQ(GetMMITypeInfo()->typeList, before) << c.what;
    EXPECT_EQ(GetMMITypeInfo()->typeCount, 1) << c.what;
    EXPECT_EQ(ReadFileBytes(workspace_.Path("type/mmi.typ")), "5,\"OLD\"\r\n") << c.what;
    EXPECT_EQ(ReadFileBytes(TypeFilePath(workspace_, 0, "MAIN")), "[D]\r\n1:3.000000;\r\n") << c.what;
  }
}

// Over a tree of earlier types, after a restart (comm memory empty), type
// 0's files are made anew from the defaults, not from comm memory under the
// old files' header lines; and type 0 reads back in the same run.
TEST_F(BuildFromDefaults, ANewCatalogueOverAnOldTreeWritesTheDefaults) {
  td::testing::PutFile(workspace_.Path("type/mmi.typ"), "0, \r\n");
  td::testing::PutFile(TypeFilePath(workspace_, 0, "MAIN"), "// old header\r\n[D]\r\n1:3.000000;\r\n");
  mmisim::StartHost(mmisim::SampleMachine());
  ASSERT_EQ(CreateSetTypeData(), 0);
  const std::string main = ReadFileBytes(TypeFilePath(workspace_, 0, "MAIN"));
  EXPECT_EQ(main.rfind("[D]\r\n1:12.500000,", 0), 0u) << main;
  EXPECT_STRNE(RecordOf(0)->configs[0].datName, "");
  EXPECT_EQ(ReadCurrentTypeData(0), 0);
  EXPECT_EQ(ValueOf(0, 1, TD_SLOT_D, 0), 12.5);
}

// A current type number that no type carries leaves nothing to save.
TEST_F(BuildFromDefaults, NoCurrentTypeAboveTheLastNumberIsNothingToSave) {
  GetMMISystemStruc()->currentTypeNo = 10000;
  EXPECT_EQ(SaveAllCurrentTypeData(), 0);
  EXPECT_EQ(CreateSetTypeData(), 0);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/mmi.typ")), "0, \r\n");
}

// A failed write, flush, close or rename of a file must not pass for
// success; queries, folder making and folder flushes may fail unseen.
bool MustBeReported(td::testing::FaultFileSystem::Op op) {
  using Op = td::testing::FaultFileSystem::Op;
  return op == Op::kOpenWrite || op == Op::kAppend || op == Op::kSync || op == Op::kClose ||
         op == Op::kRename;
}

TEST_F(BuildFromDefaults, FailedSavesAndCatalogueWritesAreReported) {
  const std::string oldCatalogue = "7,\"KEEP+ME\"\r\n";
  bool succeeded = false;
  int reported = 0;
  for (long n = 1; !succeeded && n < 400; ++n) {
    std::filesystem::remove_all(workspace_.Path("type"));
    td::testing::PutFile(workspace_.Path("type/mmi.typ"), oldCatalogue);
    mmisim::StartHost(mmisim::SampleMachine());
    td::testing::FaultFileSystem faults;
    td::testing::UseFileSystem use(&faults);
    faults.FailAt(n);
    const int result = CreateSetTypeData();
    const std::string catalogue = ReadFileBytes(workspace_.Path("type/mmi.typ"));
    if (!faults.failed()) {
      succeeded = true;
      EXPECT_EQ(result, 0);
      EXPECT_EQ(catalogue, "0, \r\n");
      continue;
    }
    const auto failedOp = faults.log()[static_cast<std::size_t>(n - 1)];
    if (MustBeReported(failedOp)) {
      EXPECT_EQ(result, -1) << "operation " << n;
    }
    if (result == 0) {
      EXPECT_EQ(catalogue, "0, \r\n") << "operation " << n;
    } else {
      ++reported;
      EXPECT_EQ(result, -1);
      EXPECT_EQ(catalogue, oldCatalogue) << "operation " << n << ": the old catalogue stays whole";
      // The list in memory agrees with the file: type 7 alone.
      ASSERT_NE(GetMMITypeInfo()->typeList, nullptr);
      EXPECT_EQ(GetMMITypeInfo()->typeList->typeNo, 7) << "operation " << n;
      EXPECT_EQ(GetMMITypeInfo()->typeCount, 1) << "operation " << n;
    }
  }
  EXPECT_TRUE(succeeded);
  EXPECT_GT(reported, 4) << "the saves of four configs and the catalogue can fail";
}

TEST_F(BuildFromDefaults, InitialSetReplacesOneTableAndSavesItsFile) {
  ASSERT_EQ(CreateSetTypeData(), 0);
  ASSERT_EQ(ReadCurrentTypeData(0), 0);
  mmisim::AddType(4, "T40+STEEL+FAST");
  ASSERT_EQ(ChangeCurrentTypeData(4, 0), 1) << "type 4 has no files yet";
  BlockTable* shared = RecordOf(0)->configs[1].blocks;  // TOOL
  ASSERT_EQ(RecordOf(4)->configs[1].blocks, shared);
  td::ValueSlot(shared, TD_SLOT_D)->values[0] = 99.0;

  // Type 0 is current: its TOOL file is rewritten, D from comm memory.
  std::int32_t comm = 0;
  ASSERT_TRUE(mmisim::CommValue(TD_CFGID(0, TD_CODE_D, 2), &comm));
  mmisim::SetCommValue(TD_CFGID(0, TD_CODE_D, 2), 4125);
  EXPECT_EQ(InitialSetTypeData(RecordOf(4), 1), 0);
  BlockTable* fresh = RecordOf(4)->configs[1].blocks;
  EXPECT_NE(fresh, shared);
  EXPECT_EQ(RecordOf(0)->configs[1].blocks, shared) << "the old table is not released";
  EXPECT_EQ(td::ValueSlot(shared, TD_SLOT_D)->values[0], 99.0);
  EXPECT_EQ(td::ValueSlot(fresh, TD_SLOT_D)->values[0], 40.0);
  EXPECT_EQ(ReadFileBytes(TypeFilePath(workspace_, 0, "TOOL")).rfind("[D]\r\n1:41.250000,", 0), 0u);

  EXPECT_EQ(InitialSetTypeData(RecordOf(4), 4), -1) << "no config number 5";
  EXPECT_EQ(InitialSetTypeData(RecordOf(4), -1), -1);
  EXPECT_EQ(InitialSetTypeData(nullptr, 0), -1);
}

TEST_F(BuildFromDefaults, InitialSetReportsAFailedSave) {
  ASSERT_EQ(CreateSetTypeData(), 0);
  int reported = 0;
  for (long n = 1; n < 100; ++n) {
    td::testing::FaultFileSystem faults;
    td::testing::UseFileSystem use(&faults);
    faults.FailAt(n);
    const int result = InitialSetTypeData(RecordOf(0), 0);
    if (!faults.failed()) {
      EXPECT_EQ(result, 0);
      break;
    }
    if (MustBeReported(faults.log()[static_cast<std::size_t>(n - 1)])) {
      EXPECT_EQ(result, -1) << n;
    }
    reported += result == -1;
  }
  EXPECT_GT(reported, 0);
}

}  // namespace
