// Every exported operation called with arguments that no careful host
// passes: null pointers, positions and numbers out of range, names too
// long, and with no machine, catalogue or current type. Each answers -1 (or
// what it gives for "nothing"), never crashes, never writes outside its
// buffers (AddressSanitizer watches), and changes no file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "support/sim_host.h"
#include "support/workspace.h"
#include "typedata.h"

namespace {

const std::string kLongName(300, 'N');
const char* const kLong = kLongName.c_str();

class HostileArguments : public td::testing::WorkspaceTest {
 protected:
  void TearDown() override { mmisim::Stop(); }
  std::string Tree() {
    std::string all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(workspace_.root())) {
      if (entry.is_regular_file())
        all += entry.path().generic_string() + "\n" + td::testing::ReadFileBytes(entry.path().string());
    }
    return all;
  }
  void LayTree() {
    td::testing::MakeDirs(workspace_.Path("type/0001"));
    td::testing::WriteFileBytes(workspace_.Path("type/mmi.typ"), "1,\"A+B\"\r\n0, \r\n");
    td::testing::WriteFileBytes(workspace_.Path("type/0001/MAIN0001.DAT"), "[D]\r\n1:1,\r\n2:2;\r\n");
  }
};

// The line utilities take the caller's buffers; null gives nothing back.
TEST_F(HostileArguments, LineUtilitiesWithNullPointers) {
  EXPECT_EQ(leading(nullptr), nullptr);
  EXPECT_EQ(trailing(nullptr), nullptr);
  EXPECT_EQ(trim(nullptr), nullptr);
  CutComment(nullptr);
  char* table[33] = {};
  EXPECT_EQ(token(nullptr, table), -1);
  char line[] = "a,b";
  EXPECT_EQ(token(line, nullptr), -1);
  char destination[8] = "keep";
  EXPECT_EQ(quote(nullptr, destination), 0);
  EXPECT_EQ(quote("\"x\"", nullptr), 0);
  EXPECT_STREQ(destination, "keep");
  char buffer[4] = "";
  append(nullptr, buffer, sizeof buffer);
  append(stdin, nullptr, 8);
  EXPECT_STREQ(buffer, "");
}

// With no machine started the host answers null or -1 to everything.
TEST_F(HostileArguments, NoMachineAtAll) {
  mmisim::Stop();
  LayTree();
  const std::string before = Tree();
  char name[24] = "";
  char prefix[8] = "";
  EXPECT_EQ(SaveCurrentTypeData(0), -1);
  EXPECT_EQ(DAT_fread("MAIN0001.DAT", 0, nullptr), -1);
  EXPECT_EQ(UpdateTypeFile("X", 5, 1), -1);
  EXPECT_EQ(Type_Add("X", 5), -1);
  EXPECT_EQ(SearchTypeNo(), -1);
  EXPECT_EQ(MakeDatFileName(name, 1, 0), -1);
  EXPECT_EQ(SeparateTypeName("A+B", 1, name), 2) << "splitting needs no machine";
  EXPECT_EQ(FirstSearchTypeNamePart("A", 1), -1);
  EXPECT_EQ(NextSearchTypeNamePart("A", 1), -1);
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("A", 1), 0) << "no name parts in use";
  EXPECT_EQ(GetFirstCommonCFG(1, prefix), 0);
  EXPECT_EQ(GetNextCommonCFG(1, prefix), 0);
  EXPECT_EQ(SaveAllCurrentTypeData(), -1);
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(1, 2, "A+C"), 0) << "no name parts in use: nothing to copy";
  EXPECT_EQ(SetCurrentTypeDataToCommMem(nullptr), 0);
  EXPECT_EQ(CopyCurrentTypeDataToOffline(0), -1);
  EXPECT_EQ(CopyCurrentTypeImageToOffline(0), -1);
  EXPECT_EQ(ClearOfflineTypeData(0), -1);
  EXPECT_EQ(Tree(), before);
}

TEST_F(HostileArguments, NullPointersAndOverlongNames) {
  LayTree();
  mmisim::StartHost(mmisim::SampleMachine());
  const std::string before = Tree();
  char part[24] = "untouched";
  char prefix[8] = "keep";
  EXPECT_EQ(DAT_fread(nullptr, 0, nullptr), -1);
  EXPECT_EQ(DAT_fread(kLong, 0, GetMMITypeInfo()->typeList), -1);
  EXPECT_EQ(UpdateTypeFile(nullptr, 5, 1), -1);
  EXPECT_EQ(UpdateTypeFile(kLong, 5, 1), -1);
  EXPECT_EQ(UpdateTypeFile("ABCDEFGHIJKLMNOPQRSTUVWX", 5, 1), -1) << "24 characters";
  EXPECT_EQ(Add_FileRec(nullptr, "5,\"X\"\n"), -1);
  EXPECT_EQ(Add_FileRec("MMI.TYP", nullptr), -1);
  EXPECT_EQ(Add_FileRec(kLong, "5,\"X\"\n"), -1);
  EXPECT_EQ(Update_FileRec(nullptr, "5,\"X\"\n", 5), -1);
  EXPECT_EQ(Update_FileRec("MMI.TYP", nullptr, 5), -1);
  EXPECT_EQ(SearchRec(nullptr, 1), 0);
  EXPECT_EQ(SearchRec(kLong, 1), 0);
  EXPECT_EQ(Type_Add(nullptr, 5), -1);
  EXPECT_EQ(Type_Add(kLong, 5), -1);
  EXPECT_EQ(MakeDatFileName(nullptr, 1, 0), -1);
  EXPECT_EQ(FileCopy(nullptr, "MAIN0001.DAT", 0), -1);
  EXPECT_EQ(FileCopy("MAIN0001.DAT", nullptr, 0), -1);
  EXPECT_EQ(FileCopy(kLong, "MAIN0002.DAT", 1), -1);
  EXPECT_EQ(ExecCopy(nullptr, "x"), -1);
  EXPECT_EQ(ExecCopy("x", nullptr), -1);
  EXPECT_EQ(ExecCopy(kLong, kLong), -1);
  EXPECT_EQ(SeparateTypeName(nullptr, 1, part), -1);
  EXPECT_EQ(SeparateTypeName(kLong, 1, part), -1);
  EXPECT_EQ(SeparateTypeName("ABCDEFGHIJKLMNOPQRSTUVWX", 1, part), -1);
  EXPECT_STREQ(part, "untouched");
  EXPECT_EQ(SeparateTypeName("A+B", 2, nullptr), 2) << "no buffer: the count alone";
  EXPECT_EQ(FirstSearchTypeNamePart(nullptr, 1), -1);
  EXPECT_EQ(NextSearchTypeNamePart(nullptr, 1), -1);
  EXPECT_EQ(CheckAlreadyExistTypeNamePart(nullptr, 1), 0) << "no text is found nowhere";
  EXPECT_EQ(GetFirstCommonCFG(1, nullptr), 1) << "found, with nowhere to copy the prefix";
  EXPECT_EQ(GetNextCommonCFG(1, nullptr), 0);
  EXPECT_STREQ(prefix, "keep");
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(1, 2, nullptr), -1);
  EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(1, 2, kLong), -1);
  EXPECT_EQ(SetCurrentTypeDataToCommMem(nullptr), 0);
  EXPECT_EQ(Tree(), before);
}

TEST_F(HostileArguments, NumbersAndPositionsOutOfRange) {
  LayTree();
  mmisim::StartHost(mmisim::SampleMachine());
  const std::string before = Tree();
  TypeRecord* type = GetMMITypeInfo()->typeList;
  char name[24] = "";
  char prefix[8] = "";
  for (int position : {-1, 4, 255, 0x10000, 0x7FFFFFFF}) {
    EXPECT_EQ(DAT_fread("MAIN0001.DAT", position, type), -1) << position;
    EXPECT_EQ(MakeDatFileName(name, 1, position), -1) << position;
  }
  for (int typeNo : {10000, 0xFFFF, -1}) {
    EXPECT_EQ(UpdateTypeFile("X", typeNo, 1), -1) << typeNo;
    EXPECT_EQ(Type_Add("X", typeNo), -1) << typeNo;
    EXPECT_EQ(MakeDatFileName(name, typeNo, 0), -1) << typeNo;
    EXPECT_EQ(CopyTypeDataOfAlreadyExistPartName(1, typeNo, "A+C"), -1) << typeNo;
  }
  for (int position : {0, 4, -1, 0xFFFF}) {
    EXPECT_EQ(FirstSearchTypeNamePart("A", position), -1) << position;
    EXPECT_EQ(SeparateTypeName("A+B", position, name), 0) << position;
    if (position != 0) {
      EXPECT_EQ(GetFirstCommonCFG(position, prefix), 0) << position;
    }
  }
  for (int index : {-1, 4, 255, 0x1000}) {
    EXPECT_EQ(CopyCurrentTypeDataToOffline(index), -1) << index;
    EXPECT_EQ(CopyCurrentTypeImageToOffline(index), -1) << index;
    EXPECT_EQ(ClearOfflineTypeData(index), -1) << index;
  }
  // No current type is loaded: the config exists, its blocks do not.
  EXPECT_EQ(CopyCurrentTypeDataToOffline(0), -1);
  GetMMISystemStruc()->currentTypeNo = 4321;  // no such type
  EXPECT_EQ(SaveCurrentTypeData(0), 0) << "no current type: nothing to save";
  EXPECT_EQ(SaveAllCurrentTypeData(), 0);
  EXPECT_EQ(Tree(), before);
}

}  // namespace
