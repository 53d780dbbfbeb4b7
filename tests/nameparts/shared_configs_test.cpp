// Sharing configs through name parts: after a save, exactly the files that
// should be copied are copied, byte for byte, and nothing else in the type
// tree changes; a renamed type pulls exactly the files of its new parts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/fault_file_system.h"
#include "support/sim_host.h"
#include "typedata.h"

namespace {

namespace fs = std::filesystem;
using td::testing::MachineFrom;
using td::testing::ReadFileBytes;
using td::testing::WriteFileBytes;

// Every file and folder under a root: relative path -> bytes ("<dir>" for
// a folder).
using Tree = std::map<std::string, std::string>;

// Configs bound to each of three positions, two of them to the first.
constexpr char kPressLine[] = R"(
name-parts 3
config 1 prefix MAIN
  items D 2
config 2 prefix TOOL part 1
  items D 2
config 3 prefix MAT part 2
  items D 2
  items V 1
config 4 prefix FEED part 3
  items D 2
config 5 prefix TOOLB part 1
  items D 2
)";
const char* const kPrefixes[] = {"MAIN", "TOOL", "MAT", "FEED", "TOOLB"};

class SharedConfigsTest : public td::testing::WorkspaceTest {
 protected:
  void TearDown() override { mmisim::Stop(); }

  std::string TypeRoot() const { return workspace_.Path("type"); }

  Tree Snapshot() const {
    Tree tree;
    for (const auto& entry : fs::recursive_directory_iterator(TypeRoot())) {
      const std::string relative = fs::relative(entry.path(), TypeRoot()).generic_string();
      tree[relative] = entry.is_directory() ? "<dir>" : ReadFileBytes(entry.path().string());
    }
    return tree;
  }

  static std::string FileOf(const char* prefix, int typeNo) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d/%s%04d.DAT", typeNo, prefix, typeNo);
    return name;
  }

  // Starts the press line with the types, each with a folder holding an old
  // file of its own for every config (unless it is in without_folder).
  void StartWith(const std::string& machine, const std::vector<std::pair<int, const char*>>& types,
                 const std::vector<int>& withoutFolder = {}) {
    mmisim::Start(MachineFrom(machine));
    fs::remove_all(TypeRoot());
    td::testing::MakeDirs(TypeRoot());
    for (const auto& [number, name] : types) {
      ASSERT_TRUE(mmisim::AddType(number, name));
      if (std::find(withoutFolder.begin(), withoutFolder.end(), number) != withoutFolder.end()) continue;
      td::testing::MakeDirs(TypeRoot() + "/" + FileOf("", number).substr(0, 4));
      for (const char* prefix : kPrefixes) {
        WriteFileBytes(TypeRoot() + "/" + FileOf(prefix, number),
                       std::string("// old ") + prefix + " of " + name +
                           "\r\n[D]\r\n1:" + std::to_string(number) + ",\r\n2:0;\r\n");
      }
    }
  }

  // Makes a listed type current, with value blocks for every config.
  void MakeCurrent(int typeNo) {
    TypeRecord* type = nullptr;
    ASSERT_GE(GetMMITypeNameAndStruc(typeNo, nullptr, &type), 0);
    SystemRecord* system = GetMMISystemStruc();
    system->currentTypeNo = static_cast<std::uint16_t>(typeNo);
    std::memcpy(system->currentTypeName, type->name, TD_TYPE_NAME_SIZE);
    for (int p = 0; p < GetMMITypeInfo()->configCount; ++p) {
      ConfigRecord* config = nullptr;
      ASSERT_GE(SearchMMIConfigIndex(p + 1, &config), 0);
      auto* table = static_cast<BlockTable*>(MMI_GlobalAlloc(TD_BLOCK_TABLE_SIZE));
      const int count = config->kindTable[TD_CODE_D].count;
      auto* block = static_cast<ValueBlock*>(MMI_GlobalAlloc(TD_VALUE_BLOCK_SIZE(count)));
      block->kind = 'D';
      block->count = static_cast<std::uint16_t>(count);
      for (int i = 0; i < count; ++i) block->values[i] = 100 * (p + 1) + i;
      table->slot[TD_SLOT_D] = block;
      type->configs[p].blocks = table;
    }
  }
};

TEST_F(SharedConfigsTest, SavingPushesExactlyTheSharedFilesToTypesWithTheSamePart) {
  StartWith(kPressLine,
            {{7, "T40+ALU+SLOW"},
             {5, "T40+STEEL+FAST"},
             {9, "T50+STEEL"},
             {11, "T60+CU+FAST"},
             {13, "T40+STEEL+FAST"},
             {15, "T40"},
             {21, "STEEL+T40"},
             {23, "t40+steel+fast"},
             {25, "T40+NOFOLDER"},
             {27, "T70"}},
            {5, 25});
  MakeCurrent(5);
  const Tree before = Snapshot();
  ASSERT_EQ(SaveAllCurrentTypeData(), 0);
  const Tree after = Snapshot();

  // The current type's files are all saved from its blocks.
  Tree expected = before;
  expected["0005"] = "<dir>";
  for (const char* prefix : kPrefixes) {
    const std::string saved = after.count(FileOf(prefix, 5)) ? after.at(FileOf(prefix, 5)) : "";
    ASSERT_NE(saved.find("[D]\r\n1:"), std::string::npos) << prefix;
    expected[FileOf(prefix, 5)] = saved;
  }
  // Position 1 (T40): 7, 13, 15; 25 has no folder. Position 2 (STEEL): 9,
  // 13. Position 3 (FAST): 11, 13. The current type is never a target.
  const std::map<const char*, std::vector<int>> pushed = {
      {"TOOL", {7, 13, 15}}, {"TOOLB", {7, 13, 15}}, {"MAT", {9, 13}}, {"FEED", {11, 13}}};
  for (const auto& [prefix, types] : pushed) {
    for (int type : types) expected[FileOf(prefix, type)] = expected[FileOf(prefix, 5)];
  }
  EXPECT_EQ(after, expected);
}

TEST_F(SharedConfigsTest, NamesWithFewerPartsPushFewerPositions) {
  const std::vector<std::pair<int, const char*>> types = {{5, "T40"}, {7, "T40+STEEL+FAST"}, {9, "X+Y+Z"}};
  std::string machine = kPressLine;
  machine.replace(machine.find("name-parts 3"), 12, "name-parts 2");
  for (const auto& [current, name] :
       std::vector<std::pair<int, const char*>>{{5, "T40"}, {7, "T40+STEEL+FAST"}}) {
    SCOPED_TRACE(name);
    StartWith(machine, types);
    MakeCurrent(current);
    const Tree before = Snapshot();
    ASSERT_EQ(SaveAllCurrentTypeData(), 0);
    Tree after = Snapshot();
    // Position 1 only: both types share T40; nothing of positions 2 or 3.
    const int other = current == 5 ? 7 : 5;
    for (const char* prefix : kPrefixes) {
      if (std::strncmp(prefix, "TOOL", 4) == 0) {
        EXPECT_EQ(after[FileOf(prefix, other)], after[FileOf(prefix, current)]) << prefix;
      } else {
        EXPECT_EQ(after[FileOf(prefix, other)], before.at(FileOf(prefix, other))) << prefix;
      }
      EXPECT_EQ(after[FileOf(prefix, 9)], before.at(FileOf(prefix, 9))) << prefix;
    }
  }
}

TEST_F(SharedConfigsTest, NothingIsPushedWithoutNamePartsOrAfterAFailedSave) {
  std::string machine = kPressLine;
  machine.replace(machine.find("name-parts 3"), 12, "name-parts 0");
  StartWith(machine, {{5, "T40+A"}, {7, "T40+A"}});
  MakeCurrent(5);
  Tree before = Snapshot();
  ASSERT_EQ(SaveAllCurrentTypeData(), 0);
  Tree after = Snapshot();
  for (const char* prefix : kPrefixes) {
    EXPECT_NE(after[FileOf(prefix, 5)], before[FileOf(prefix, 5)]) << prefix << " saved";
    EXPECT_EQ(after[FileOf(prefix, 7)], before[FileOf(prefix, 7)]) << prefix << " not copied";
  }

  // A folder where the third config's file belongs makes its save fail.
  StartWith(kPressLine, {{5, "T40+A"}, {7, "T40+A"}});
  MakeCurrent(5);
  fs::remove(TypeRoot() + "/" + FileOf("MAT", 5));
  fs::create_directory(TypeRoot() + "/" + FileOf("MAT", 5));
  before = Snapshot();
  EXPECT_EQ(SaveAllCurrentTypeData(), -1);
  after = Snapshot();
  EXPECT_NE(after[FileOf("MAIN", 5)], before[FileOf("MAIN", 5)]) << "saved before the failure";
  EXPECT_NE(after[FileOf("TOOL", 5)], before[FileOf("TOOL", 5)]) << "saved before the failure";
  EXPECT_EQ(after[FileOf("FEED", 5)], before[FileOf("FEED", 5)]) << "not saved after it";
  for (const char* prefix : kPrefixes)
    EXPECT_EQ(after[FileOf(prefix, 7)], before[FileOf(prefix, 7)]) << prefix;

  // Malformed or empty current names push nothing; nor does a current
  // number that names no file.
  for (const char* name : {"T40++A", ""}) {
    StartWith(kPressLine, {{5, "T40+A"}, {7, "T40+A"}});
    MakeCurrent(5);
    std::strcpy(GetMMISystemStruc()->currentTypeName, name);
    ASSERT_EQ(SaveAllCurrentTypeData(), 0) << name;
    for (const char* prefix : kPrefixes) {
      EXPECT_NE(ReadFileBytes(TypeRoot() + "/" + FileOf(prefix, 7)).find("old"), std::string::npos) << name;
    }
  }
  // No type carries it: nothing to save.
  GetMMISystemStruc()->currentTypeNo = 10000;
  before = Snapshot();
  EXPECT_EQ(SaveAllCurrentTypeData(), 0);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(SharedConfigsTest, ARenamedTypePullsTheFilesOfItsNewParts) {
  const std::vector<std::pair<int, const char*>> types = {
      {5, "T40+STEEL+FAST"}, {7, "T40+ALU+SLOW"}, {9, "T50+STEEL"}, {11, "T60+CU+FAST"}, {12, "A+B"}};
  StartWith(kPressLine, types);
  Tree before = Snapshot();
  // Type 9 becomes T40+CU: T40 from type 5 (the first with it), CU from
  // type 11; its name has no third part.
  ASSERT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 9, "T40+CU"), 0);
  Tree expected = before;
  for (const char* prefix : {"TOOL", "TOOLB"}) expected[FileOf(prefix, 9)] = before.at(FileOf(prefix, 5));
  expected[FileOf("MAT", 9)] = before.at(FileOf("MAT", 11));
  EXPECT_EQ(Snapshot(), expected);

  // A part that stays pulls nothing; a part no type has pulls nothing.
  StartWith(kPressLine, types);
  before = Snapshot();
  ASSERT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 9, "T50+ALU+NEW"), 0);
  expected = before;
  expected[FileOf("MAT", 9)] = before.at(FileOf("MAT", 7));
  EXPECT_EQ(Snapshot(), expected);

  // The reference name decides what stays: target 12 (A+B) takes the name
  // A+STEEL given type 5's name as the reference: position 1 differs.
  StartWith(kPressLine, types);
  before = Snapshot();
  ASSERT_EQ(CopyTypeDataOfAlreadyExistPartName(12, 12, "A+STEEL"), 0);
  expected = before;
  expected[FileOf("MAT", 12)] = before.at(FileOf("MAT", 5));
  EXPECT_EQ(Snapshot(), expected) << "A stays A; only STEEL is pulled, from type 5";
  ASSERT_EQ(CopyTypeDataOfAlreadyExistPartName(5, 12, "A+STEEL"), 0);
  EXPECT_EQ(Snapshot(), expected) << "A is found at type 12 itself: copied onto itself, unchanged";
}

TEST_F(SharedConfigsTest, PullingRefusesWhatCannotBeNamed) {
  const std::vector<std::pair<int, const char*>> types = {{5, "T40+STEEL"}, {9, "T50+ALU"}};
  StartWith(kPressLine, types);
  const Tree before = Snapshot();
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(99, 9, "T40+STEEL"), -1) << "no type 99";
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 10000, "T40+STEEL"), -1);
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 9, "T40+STEEL+ABCDEFGHIJKLMN"), -1) << "24 characters";
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 9, nullptr), -1);
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 9, "T40++STEEL"), 0) << "malformed: nothing to pull";
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 9, ""), 0);
  EXPECT_EQ(Snapshot(), before);

  std::string machine = kPressLine;
  machine.replace(machine.find("name-parts 3"), 12, "name-parts 0");
  StartWith(machine, types);
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(99, 9, "T40+STEEL"), 0) << "switched off: not even looked up";
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(SharedConfigsTest, FailingFileOperationsLeaveEachTargetOldOrWholeAndNoTemporaryFile) {
  const std::vector<std::pair<int, const char*>> types = {{5, "T40+STEEL"}, {9, "T50+ALU"}};
  StartWith(kPressLine, types);
  const Tree before = Snapshot();
  long operations = 0;
  {
    td::testing::FaultFileSystem counting;
    td::testing::UseFileSystem use(&counting);
    ASSERT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 9, "T40+STEEL"), 0);
    operations = counting.count();
  }
  const Tree whole = Snapshot();
  ASSERT_NE(whole, before);
  for (long n = 1; n <= operations; ++n) {
    StartWith(kPressLine, types);
    td::testing::FaultFileSystem faulty;
    faulty.FailAt(n);
    {
      td::testing::UseFileSystem use(&faulty);
      EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(9, 9, "T40+STEEL"), 0) << "failed copies are not reported";
    }
    const Tree now = Snapshot();
    ASSERT_EQ(now.size(), before.size()) << "operation " << n << ": a file was left or lost";
    for (const auto& [path, bytes] : now) {
      EXPECT_TRUE(bytes == before.at(path) || bytes == whole.at(path)) << "operation " << n << ": " << path;
    }
  }
}

}  // namespace
