// SaveCurrentTypeData: the file made anew from the blocks, the file rewritten
// with its header lines and the controller's values, and the names and
// results around them.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "datafile/datafile_support.h"

namespace {

using dftest::ConfigOf;
using dftest::DatafileTest;

const char* kMachine = R"(
offline on
config 1 prefix CF
  items D 5
  item D 1 P 0 scale 2
  item D 2 I
  item D 3 blank
  item D 4 none
  item D 5 F 0 scale 3
  items S 2
  items A 1
  item A 1 P 0 scale 1
  items L 3
  item L 1 P 0 scale 2
  item L 2 I
  item L 3 zero
  items V 3
  item V 2 blank
config 2 prefix XY
)";

class Writer : public DatafileTest {
 protected:
  // Type 12 current, config CF with blocks holding known values.
  void SetUpCf() {
    type_ = Start(kMachine);
    table_ = BuildBlocks(type_, 0, /*twins=*/true);
    SetValues('D', {2.5, -2.7, 9.9, 1.0, 0.0078125});
    SetValues('S', {3.0, -0.5});
    SetValues('A', {12.5});
    SetValues('L', {3.75, 7.9, 3.0});
    SetText(0, "abc");
    SetText(1, "not in use");
    SetText(2, "x,y;z//w: v");
  }
  void SetValues(char kind, std::initializer_list<double> values) {
    auto* block = static_cast<ValueBlock*>(table_->slot[td::KindOfLetter(kind)->slot]);
    int i = 0;
    for (double value : values) block->values[i++] = value;
  }
  void SetText(int index, const std::string& text) {
    std::snprintf(static_cast<TextBlock*>(table_->slot[TD_SLOT_V])->texts[index], TD_TEXT_SIZE, "%s",
                  text.c_str());
  }

  TypeRecord* type_ = nullptr;
  BlockTable* table_ = nullptr;
};

const char* kMadeAnew =
    "[D]\r\n1:2.500000,\r\n2:-2,\r\n3:0,\r\n5:0.007812;\r\n"
    "[S]\r\n1:3,\r\n2:0;\r\n"
    "[A]\r\n1:12.500000;\r\n"
    "[L]\r\n1:3.750000,\r\n2:7,\r\n3:0;\r\n"
    "[V]\r\n1:abc,\r\n3:x,y;z//w: v;\r\n";

TEST_F(Writer, FileMadeAnewHoldsTheBlocksAndOnlyTheDescribedItems) {
  SetUpCf();
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  // Item D 4 has no description, V 2 is not in use: no lines for them.
  // Integers are truncated toward zero; offline twins are never written.
  EXPECT_EQ(ReadTypeFile(12, "CF0012.DAT"), kMadeAnew);
  EXPECT_EQ(NamesIn(12), std::vector<std::string>{"CF0012.DAT"});
  EXPECT_TRUE(mmisim::CallsOf("GetCommData").empty()) << "a file made anew takes nothing from comm memory";

  // A line feed in a text goes to disk as CR LF, as every line end.
  SetText(2, "two\nlines");
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  const std::string file = ReadTypeFile(12, "CF0012.DAT");
  EXPECT_EQ(file.substr(file.find("[V]")), "[V]\r\n1:abc,\r\n3:two\r\nlines;\r\n");
}

TEST_F(Writer, EmptyBlocksAndMissingTablesAndEmptyNames) {
  type_ = Start(kMachine, 0, "ZERO");
  BuildBlocks(type_, 1, false);  // XY has no items of any kind
  ASSERT_EQ(SaveCurrentTypeData(1), 0);
  EXPECT_EQ(ReadTypeFile(0, "XY0000.DAT"), "[D]\r\n[S]\r\n[A]\r\n[L]\r\n[V]\r\n");

  // Null slots give no section; no table gives an empty file.
  BlockTable* table = type_->configs[1].blocks;
  table->slot[TD_SLOT_S] = nullptr;
  table->slot[TD_SLOT_V] = nullptr;
  ASSERT_EQ(SaveCurrentTypeData(1), 0);
  EXPECT_EQ(ReadTypeFile(0, "XY0000.DAT"), "[D]\r\n[A]\r\n[L]\r\n");
  std::remove(TypeFile(0, "XY0000.DAT").c_str());
  type_->configs[1].blocks = nullptr;
  ASSERT_EQ(SaveCurrentTypeData(1), 0);
  EXPECT_EQ(ReadTypeFile(0, "XY0000.DAT"), "");

  // A type whose datName is still empty gets the proper name; the entry
  // itself is left alone.
  type_->configs[0].datName[0] = '\0';
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  EXPECT_EQ(ReadTypeFile(0, "CF0000.DAT"), "");
  EXPECT_STREQ(type_->configs[0].datName, "");
}

TEST_F(Writer, IntegersAreTruncatedAndSaturatedAtTheirRange) {
  SetUpCf();
  SetValues('D', {-0.0, 2147483647.9, 0, 0, 1e300});
  SetValues('L', {-1e-7, -3e9, 0.0});
  SetValues('S', {std::numeric_limits<double>::quiet_NaN(), -2147483648.5});
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  const std::string file = ReadTypeFile(12, "CF0012.DAT");
  EXPECT_NE(
      file.find("[D]\r\n1:-0.000000,\r\n2:2147483647,\r\n3:0,\r\n5:1000000000000000052504760255204420248704"),
      std::string::npos)
      << file;
  EXPECT_NE(file.find("[S]\r\n1:0,\r\n2:-2147483648;\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("[L]\r\n1:-0.000000,\r\n2:-2147483648,\r\n3:0;\r\n"), std::string::npos) << file;
}

TEST_F(Writer, ExistingFileKeepsItsHeaderLinesAndTakesTheControllersValues) {
  SetUpCf();
  const std::string header = "// made by hand\r\n\r\n" + std::string(300, 'h') + "\r\n" +
                             std::string(5000, 'k') + ": 5\r\n" + "  [ D ] blanks inside\r\n" +
                             "[d]\r\n1:99,\r\n\t\x01\xff bytes\r\n";
  WriteTypeFile(12, "CF0012.DAT", header + " \t[S]\r\n1:1;\r\n[D]\r\n1:5;\r\n");
  // Comm memory holds the controller's form: real items scaled by their
  // decimals, the rest whole numbers.
  const int cfg = SearchMMIConfigIndex(1, nullptr);
  mmisim::SetCommValue(TD_CFGID(0, TD_CODE_D, cfg), 1234);  // scale 2
  mmisim::SetCommValue(TD_CFGID(1, TD_CODE_D, cfg), -7);
  mmisim::SetCommValue(TD_CFGID(2, TD_CODE_D, cfg), 55);  // not in use: still from comm memory
  mmisim::SetCommValue(TD_CFGID(4, TD_CODE_D, cfg), 7);   // scale 3
  mmisim::SetCommValue(TD_CFGID(1, TD_CODE_S, cfg), 4);
  mmisim::SetCommValue(TD_CFGID(0, TD_CODE_A, cfg), -125);  // scale 1
  mmisim::SetCommValue(TD_CFGID(0, TD_CODE_L, cfg), 999);   // L is not in comm memory: never used
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  EXPECT_EQ(ReadTypeFile(12, "CF0012.DAT"), header +
                                                "[D]\r\n1:12.340000,\r\n2:-7,\r\n3:55,\r\n5:0.007000;\r\n"
                                                "[S]\r\n1:0,\r\n2:4;\r\n"
                                                "[A]\r\n1:-12.500000;\r\n"
                                                "[L]\r\n1:3.750000,\r\n2:7,\r\n3:0;\r\n"
                                                "[V]\r\n1:abc,\r\n3:x,y;z//w: v;\r\n");
  EXPECT_EQ(NamesIn(12), std::vector<std::string>{"CF0012.DAT"});
  // Every D, S and A item with a description was read from comm memory.
  EXPECT_EQ(mmisim::CallsOf("GetCommData").size(), 4u + 2u + 1u);
}

TEST_F(Writer, FileFoundWhateverTheLetterCaseOfItsName) {
  SetUpCf();
  WriteTypeFile(12, "cf0012.dat", "// lower case\r\n[D]\r\n");
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  const std::vector<std::string> names = NamesIn(12);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(td::testing::ReadFileBytes(TypeFolder(12) + "/" + names[0]).substr(0, 20),
            "// lower case\r\n[D]\r\n");
}

TEST_F(Writer, AFileStartingWithASectionHasNoHeaderLines) {
  SetUpCf();
  WriteTypeFile(12, "CF0012.DAT", "   [S]\r\n// not a header line any more\r\n[D]\r\n");
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  EXPECT_EQ(ReadTypeFile(12, "CF0012.DAT").substr(0, 5), "[D]\r\n");
}

TEST_F(Writer, NothingIsWrittenWithoutACurrentTypeOrForAnUnknownConfig) {
  SetUpCf();
  GetMMISystemStruc()->currentTypeNo = 13;  // no such type
  EXPECT_EQ(SaveCurrentTypeData(0), 0);
  EXPECT_FALSE(td::testing::FileExists(TypeFolder(13)));
  EXPECT_FALSE(td::testing::FileExists(TypeFolder(12)));
  GetMMISystemStruc()->currentTypeNo = 12;
  EXPECT_EQ(SaveCurrentTypeData(2), -1);
  EXPECT_EQ(SaveCurrentTypeData(-1), -1);
  EXPECT_FALSE(td::testing::FileExists(TypeFolder(12)));
}

TEST_F(Writer, NamesThatWouldNotFitTheirFieldsAreRefused) {
  SetUpCf();
  type_->configs[0].datName[0] = '\0';
  std::strcpy(ConfigOf(0)->name, "ABCDEFGH");  // 8 characters: the file name would be 16
  EXPECT_EQ(SaveCurrentTypeData(0), -1);
  std::strcpy(ConfigOf(0)->name, "ABCDEFG");
  EXPECT_EQ(SaveCurrentTypeData(0), 0);
  EXPECT_EQ(NamesIn(12), std::vector<std::string>{"ABCDEFG0012.DAT"});

  std::memset(type_->configs[0].datName, 'N', TD_DAT_NAME_SIZE);  // no terminating zero
  EXPECT_EQ(SaveCurrentTypeData(0), -1);
  EXPECT_EQ(NamesIn(12), std::vector<std::string>{"ABCDEFG0012.DAT"});

  type_->typeNo = 10000;
  GetMMISystemStruc()->currentTypeNo = 10000;
  std::strcpy(type_->configs[0].datName, "CF10000.DAT");
  EXPECT_EQ(SaveCurrentTypeData(0), -1);
  EXPECT_FALSE(td::testing::FileExists(workspace_.Path("type/10000")));
}

TEST_F(Writer, AFolderInTheFilesPlaceIsNotReplaced) {
  SetUpCf();
  td::testing::MakeDirs(TypeFile(12, "CF0012.DAT") + "/x");
  EXPECT_EQ(SaveCurrentTypeData(0), -1);
  EXPECT_TRUE(td::testing::FileExists(TypeFile(12, "CF0012.DAT") + "/x"));
  EXPECT_FALSE(td::testing::TemporaryFileIn(TypeFile(12, "")));
}

// What lies under the fixed temporary names of earlier versions, a symbolic
// link to a file outside the tree included, is nobody's to write.
TEST_F(Writer, FilesUnderFormerTemporaryNamesAreLeftAlone) {
  SetUpCf();
  WriteTypeFile(12, "CF0012.DAT", "[D]\r\n1:1.000000;\r\n");
  td::testing::WriteFileBytes(workspace_.Path("outside.txt"), "mine");
  td::testing::MakeDirs(TypeFile(12, ""));
#ifndef _WIN32
  std::filesystem::create_symlink(workspace_.Path("outside.txt"), TypeFile(12, "temp.dat"));
#else
  td::testing::WriteFileBytes(TypeFile(12, "temp.dat"), "mine");
#endif
  EXPECT_EQ(SaveCurrentTypeData(0), 0);
  EXPECT_EQ(td::testing::ReadFileBytes(workspace_.Path("outside.txt")), "mine");
  EXPECT_EQ(td::testing::ReadFileBytes(TypeFile(12, "temp.dat")), "mine");
  EXPECT_NE(ReadTypeFile(12, "CF0012.DAT").find("[D]"), std::string::npos);
  EXPECT_FALSE(td::testing::TemporaryFileIn(TypeFile(12, "")));
}

}  // namespace
