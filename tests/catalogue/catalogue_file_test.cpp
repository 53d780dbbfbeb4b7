// The catalogue file as a user meets it: a new catalogue with its heading
// comments, types added one by one, renamed, hand-edited lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue_support.h"
#include "platform/file_system.h"
#include "start/start.h"

namespace {

using td::testing::CatalogueTest;
using td::testing::kTwoConfigMachine;

TEST_F(CatalogueTest, TypesAddedOneByOneGoInFrontOfTheRecordsAndReadBackWhole) {
  const std::string heading = "// Press line types\r\n  // kept by the operator interface\r\n";
  StartWith(kTwoConfigMachine, heading + "0, \r\n");
  ASSERT_EQ(TypeList().size(), 1u);

  std::string records = "0, \r\n";
  for (int i = 1; i <= 300; ++i) {
    const int number = SearchTypeNo();
    ASSERT_EQ(number, i) << "type 0 is taken, the rest are added in order";
    const std::string name = "T" + std::to_string(number) + "+STEEL";
    ASSERT_EQ(UpdateTypeFile(name.c_str(), number, 1), 0) << name;
    records = std::to_string(number) + ",\"" + name + "\"\r\n" + records;
  }
  EXPECT_EQ(Catalogue(), heading + records);
  EXPECT_FALSE(TempLeft());

  const TypeCatalogue* catalogue = GetMMITypeInfo();
  EXPECT_EQ(catalogue->typeCount, 301);
  EXPECT_EQ(catalogue->maxTypeNo, 300);
  const auto listed = TypeList();
  ASSERT_EQ(listed.size(), 301u);
  EXPECT_EQ(listed.front(), std::make_pair(300, std::string("T300+STEEL")));
  const TypeRecord* head = catalogue->typeList;
  EXPECT_STREQ(head->configs[0].datName, "MAIN0300.DAT");
  EXPECT_STREQ(head->configs[1].datName, "PRM0300.DAT");
  EXPECT_EQ(head->configs[0].blocks, nullptr);

  // The host reads the file back into the same list.
  mmisim::StartHost(mmisim::CurrentMachine());
  EXPECT_EQ(TypeList(), listed);
}

TEST_F(CatalogueTest, AddingToEmptyOrCommentOnlyCataloguesEndsWithTheRecord) {
  StartWith(kTwoConfigMachine, "");
  ASSERT_EQ(UpdateTypeFile("First", 0, 1), 0);
  EXPECT_EQ(Catalogue(), "0,\"First\"\r\n");

  WriteCatalogue("// only\r\n/ comments\r\n");
  ASSERT_EQ(Add_FileRec("MMI.TYP", "12,\"Alpha\"\n"), 0);
  EXPECT_EQ(Catalogue(), "// only\r\n/ comments\r\n12,\"Alpha\"\r\n");
  // A record handed over without a line end, or with CR LF, still makes
  // exactly one line.
  ASSERT_EQ(Add_FileRec("mmi.typ", "13,\"Beta\""), 0);
  ASSERT_EQ(Add_FileRec("mmi.typ", "14,\"Gamma\"\r\n"), 0);
  EXPECT_EQ(Catalogue(), "// only\r\n/ comments\r\n14,\"Gamma\"\r\n13,\"Beta\"\r\n12,\"Alpha\"\r\n");
  EXPECT_EQ(Add_FileRec("MMI.TYP", ""), -1);
  EXPECT_EQ(Add_FileRec("MMI.TYP", nullptr), -1);
  EXPECT_FALSE(TempLeft());
}

TEST_F(CatalogueTest, LongLinesAreNeverTakenApart) {
  // Read in pieces of 1023 characters, the tail of each of these comment
  // lines would look like a record line.
  const std::string longHeading = "//" + std::string(1021, '-') + "12,\"Fake\"";
  const std::string longComment = "0,\"Zero\" //" + std::string(1012, ' ') + "12,\"Fake\"";
  ASSERT_EQ(longComment.size() - 9, 1023u);
  StartWith(kTwoConfigMachine, longHeading + "\r\n" + longComment + "\r\n12,\"Alpha\"\r\n");
  ASSERT_EQ(UpdateTypeFile("Beta", 12, 0), 0);
  EXPECT_EQ(Catalogue(), longHeading + "\r\n" + longComment + "\r\n12,\"Beta\"\r\n");
  ASSERT_EQ(UpdateTypeFile("New", 20, 1), 0);
  EXPECT_EQ(Catalogue(), longHeading + "\r\n20,\"New\"\r\n" + longComment + "\r\n12,\"Beta\"\r\n");
}

TEST_F(CatalogueTest, RenamingReplacesEveryRecordLineOfTheTypeAndNothingElse) {
  const std::string before =
      "// types\r\n"
      "0, \r\n"
      "12,\"Alpha\"   // the first press\r\n"
      "// 12,\"commented out\"\r\n"
      "[12]\r\n"
      "\r\n"
      "   \t\r\n"
      "  +12 ,\"Again\"\r\n"
      "120,\"Other\"\r\n"
      "x\r\n";
  StartWith(kTwoConfigMachine, before);
  ASSERT_EQ(UpdateTypeFile("Gamma", 12, 0), 0);
  EXPECT_EQ(Catalogue(),
            "// types\r\n"
            "0, \r\n"
            "12,\"Gamma\"\r\n"
            "// 12,\"commented out\"\r\n"
            "[12]\r\n"
            "\r\n"
            "   \t\r\n"
            "12,\"Gamma\"\r\n"
            "120,\"Other\"\r\n"
            "x\r\n");
  // Both records of 12 were read into the list; the first found is renamed.
  EXPECT_EQ(TypeList()[1], std::make_pair(12, std::string("Gamma")));

  // A line that begins with no number counts as type 0 ("x"), and so does a
  // heading that begins with a single '/'; "0, " takes a quoted name.
  WriteCatalogue("/ note\r\n0, \r\nx\r\n");
  ASSERT_EQ(UpdateTypeFile("Zero", 0, 0), 0);
  EXPECT_EQ(Catalogue(), "0,\"Zero\"\r\n0,\"Zero\"\r\n0,\"Zero\"\r\n");
  EXPECT_EQ(TypeList()[0], std::make_pair(0, std::string("Zero")));

  // A type whose record line is missing is renamed in memory alone.
  WriteCatalogue("// no records\r\n");
  ASSERT_EQ(UpdateTypeFile("Delta", 120, 0), 0);
  EXPECT_EQ(Catalogue(), "// no records\r\n");
  EXPECT_FALSE(TempLeft());
}

TEST_F(CatalogueTest, LfOnlyCataloguesAreRewrittenWithCrLf) {
  StartWith(kTwoConfigMachine, "// by hand\n0, \n5,\"E\"\n7,\"S\"");
  ASSERT_EQ(UpdateTypeFile("N", 9, 1), 0);
  EXPECT_EQ(Catalogue(), "// by hand\r\n9,\"N\"\r\n0, \r\n5,\"E\"\r\n7,\"S\"\r\n");
  WriteCatalogue("5,\"E\"\n");
  ASSERT_EQ(UpdateTypeFile("F", 5, 0), 0);
  EXPECT_EQ(Catalogue(), "5,\"F\"\r\n");
}

TEST_F(CatalogueTest, UpperAndLowerCaseNamesReachTheSameFile) {
  StartWith(kTwoConfigMachine, "0, \r\n");
  ASSERT_EQ(UpdateTypeFile("Upper", 1, 1), 0);  // "MMI.TYP"
  ASSERT_EQ(Add_FileRec("mmi.typ", "2,\"Lower\"\n"), 0);
  ASSERT_EQ(Update_FileRec("Mmi.Typ", "0,\"Mixed\"\n", 0), 0);
  std::vector<std::string> names;
  ASSERT_TRUE(td::platform::Fs().ListDir("..\\type", &names));
  EXPECT_EQ(names, std::vector<std::string>{"mmi.typ"});
  EXPECT_EQ(Catalogue(), "2,\"Lower\"\r\n1,\"Upper\"\r\n0,\"Mixed\"\r\n");
}

TEST_F(CatalogueTest, RefusalsChangeNeitherTheFileNorTheList) {
  const std::string before = "// c\r\n3,\"Three\"\r\n0, \r\n";
  StartWith(kTwoConfigMachine, before);
  const auto list = TypeList();
  const auto unchanged = [&](const char* what) {
    EXPECT_EQ(Catalogue(), before) << what;
    EXPECT_EQ(TypeList(), list) << what;
    EXPECT_EQ(GetMMITypeInfo()->typeCount, 2) << what;
    EXPECT_EQ(GetMMITypeInfo()->maxTypeNo, 3) << what;
    EXPECT_FALSE(TempLeft()) << what;
  };
  for (int adding : {1, 0}) {
    EXPECT_EQ(UpdateTypeFile("123456789012345678901234", 3, adding), -1);
    unchanged("24 characters");
    EXPECT_EQ(UpdateTypeFile("A", 10000, adding), -1);
    unchanged("type 10000");
    EXPECT_EQ(UpdateTypeFile("A", 0x12710, adding), -1);  // low 16 bits: 10000
    unchanged("type 10000 in the low bits");
    EXPECT_EQ(UpdateTypeFile(nullptr, 3, adding), -1);
    unchanged("null name");
    for (const char* name : {"A\"B", "A\nB", "A\rB", "A//B"}) {
      EXPECT_EQ(UpdateTypeFile(name, 3, adding), -1);
      unchanged(name);
    }
  }
  EXPECT_EQ(UpdateTypeFile("Missing", 4, 0), -1);
  unchanged("renaming a type that is not listed");
  mmisim::FailAllocationAt(1);
  EXPECT_EQ(UpdateTypeFile("NoMemory", 4, 1), -1);
  unchanged("no memory for the record");

  // 23 characters fit; the upper half of number and flag does not count.
  ASSERT_EQ(UpdateTypeFile("12345678901234567890123", 0x10004, 0x20001), 0);
  EXPECT_EQ(TypeList().front(), std::make_pair(4, std::string("12345678901234567890123")));
  ASSERT_EQ(UpdateTypeFile("Renamed", 0x50004, 0x10000), 0);
  EXPECT_EQ(Catalogue(), "// c\r\n4,\"Renamed\"\r\n3,\"Three\"\r\n0, \r\n");
}

TEST_F(CatalogueTest, ACatalogueThatCannotBeReadChangesNothing) {
  StartWith(kTwoConfigMachine, "0, \r\n");
  std::remove(CataloguePath().c_str());
  EXPECT_EQ(UpdateTypeFile("A", 1, 1), -1);
  EXPECT_EQ(GetMMITypeInfo()->typeCount, 1);
  EXPECT_EQ(UpdateTypeFile("A", 0, 0), -1);
  EXPECT_STREQ(GetMMITypeInfo()->typeList->name, "");
  EXPECT_FALSE(td::testing::FileExists(CataloguePath()));
  EXPECT_FALSE(TempLeft());
  // Names that would leave the type folder, or are the temporary file.
  WriteCatalogue("0, \r\n");
  td::testing::WriteFileBytes(workspace_.Path("type/temp.typ"), "0, \r\n");
  td::testing::WriteFileBytes(workspace_.Path("outside.typ"), "0, \r\n");
  for (const char* name : std::vector<const char*>{"temp.typ", "TEMP.TYP", "~td0000abcd.tmp",
                                                   "..\\outside.typ", "../outside.typ", "", nullptr}) {
    EXPECT_EQ(Add_FileRec(name, "1,\"A\"\n"), -1) << (name ? name : "null");
    EXPECT_EQ(Update_FileRec(name, "0,\"A\"\n", 0), -1) << (name ? name : "null");
  }
  EXPECT_EQ(td::testing::ReadFileBytes(workspace_.Path("type/temp.typ")), "0, \r\n");
  EXPECT_EQ(td::testing::ReadFileBytes(workspace_.Path("outside.typ")), "0, \r\n");
}

#ifndef _WIN32
// "mmi.typ" beside "MMI.TYP": the host's start-up reader and the service
// resolve the name alike, and both refuse it rather than each take one.
TEST_F(CatalogueTest, TwoCataloguesDifferingInLetterCaseAreUsedByNobody) {
  td::testing::WriteFileBytes(workspace_.Path("type/MMI.TYP"), "2,\"B\"\r\n");
  StartWith(kTwoConfigMachine, "1,\"A\"\r\n");
  EXPECT_FALSE(mmisim::ReadCatalogueFile());
  EXPECT_EQ(UpdateTypeFile("C", 3, 1), -1);
  EXPECT_EQ(Catalogue(), "1,\"A\"\r\n");
  EXPECT_EQ(td::testing::ReadFileBytes(workspace_.Path("type/MMI.TYP")), "2,\"B\"\r\n");
}
#endif

TEST_F(CatalogueTest, AStaleTemporaryFileIsNeverAppendedTo) {
  StartWith(kTwoConfigMachine, "0, \r\n");
  td::testing::WriteFileBytes(workspace_.Path("type/temp.typ"), "99,\"Left over\"\r\n");
  ASSERT_EQ(UpdateTypeFile("A", 1, 1), 0);
  EXPECT_EQ(Catalogue(), "1,\"A\"\r\n0, \r\n");
  EXPECT_FALSE(TempLeft());
}

TEST(SearchRecTest, ALineIsTheRecordOfTheNumberItBeginsWith) {
  struct Case {
    const char* line;
    int typeNo;
    int expected;
  };
  const Case cases[] = {
      {"12,\"Alpha\"", 12, 1},
      {"12,\"Alpha\" // note", 12, 1},
      {"  \t12,\"Alpha\"\r\n", 12, 1},
      {"12,\"Alpha\"", 1, 0},
      {"12,\"Alpha\"", 0x1000C, 1},  // low 16 bits
      {"//12,\"Alpha\"", 12, 0},
      {"//12,\"Alpha\"", 0, 0},  // nothing left once the comment is cut
      {"[12]", 12, 0},
      {"  [0]", 0, 0},
      {"", 0, 0},
      {"   ", 0, 0},
      {"0, ", 0, 1},
      {"x", 0, 1},  // no digits: number 0
      {"/ note", 0, 1},
      {"+7,\"P\"", 7, 1},
      {"-0", 0, 1},
      {"-5,\"N\"", 5, 0},
      {"007,\"Lead\"", 7, 1},
      {"65548,\"Wide\"", 12, 0},  // not cut to 16 bits
      {"99999999999999999999", 0xFFFF, 0},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    EXPECT_EQ(SearchRec(line.c_str(), c.typeNo), c.expected) << "'" << c.line << "' for " << c.typeNo;
    EXPECT_EQ(line, c.line) << "the line is not changed";
  }
  const std::string longLine = std::string(3000, ' ') + "12,\"Far\"";
  EXPECT_EQ(SearchRec(longLine.c_str(), 12), 1);
  EXPECT_EQ(SearchRec(nullptr, 0), 0);
}

}  // namespace
