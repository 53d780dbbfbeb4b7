// Every file-changing operation, with each of its file operations failed in
// turn and with a crash at each of its steps: every file holds its old or
// its new content, no temporary file is left, a reported success leaves the
// new state whole, and the operation works again after the restart.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <sstream>

#include "crash_harness.h"
#include "support/sim_host.h"
#include "typedata.h"

namespace {

using td::testing::CrashCoverage;
using td::testing::CrashScenario;

constexpr char kMachine[] = R"(
offline on
name-parts 2
config 2 prefix TOOL part 1
  items D 3
  item D 1 P 40.0 scale 2
  items V 1
config 1 prefix MAIN
  items D 2
  items L 1
)";

class CrashConsistency : public td::testing::WorkspaceTest {
 protected:
  static CrashCoverage& Coverage() {
    static CrashCoverage coverage;
    return coverage;
  }
  static void TearDownTestSuite() {
    std::printf("crash consistency: %ld failure points and %ld crash points covered\n",
                Coverage().failurePoints, Coverage().crashPoints);
  }
  void TearDown() override { mmisim::Stop(); }

  std::string Root() const { return workspace_.Path("type"); }
  void Lay(const std::string& path, const std::string& bytes) {
    td::testing::MakeDirs(workspace_.Path("type/" + path.substr(0, path.find_last_of('/') + 1)));
    td::testing::WriteFileBytes(workspace_.Path("type/" + path), bytes);
  }
  // The standard tree: a catalogue of types 1 and 2 and their files.
  void LayTree() {
    Lay("mmi.typ", "// heading\r\n2,\"B+X\"\r\n1,\"A+X\"\r\n0, \r\n");
    for (const char* type : {"0001", "0002"}) {
      Lay(std::string(type) + "/MAIN" + type + ".DAT", "// kept\r\n[D]\r\n1:5,\r\n2:6;\r\n[L]\r\n1:7;\r\n");
      Lay(std::string(type) + "/TOOL" + type + ".DAT",
          "[D]\r\n1:40.000000,\r\n2:1,\r\n3:2;\r\n[V]\r\n1:x;\r\n");
    }
  }
  static void Start() { mmisim::StartHost(td::testing::MachineFrom(kMachine)); }

  // The catalogue file's records, in file order, against the type list.
  void ExpectCatalogueAgreesWithTypeList() {
    std::istringstream lines(td::testing::ReadFileBytes(workspace_.Path("type/mmi.typ")));
    std::vector<std::pair<int, std::string>> records;
    const std::regex record(R"re(^\s*(\d+),\s*(?:"([^"]*)")?\s*\r?$)re");
    for (std::string line; std::getline(lines, line);) {
      std::smatch match;
      if (std::regex_match(line, match, record)) records.emplace_back(std::stoi(match[1]), match[2]);
    }
    std::vector<std::pair<int, std::string>> list;
    for (const TypeRecord* type = GetMMITypeInfo()->typeList; type; type = type->next) {
      list.emplace_back(type->typeNo, type->name);
    }
    EXPECT_EQ(records, list);
  }

  void Check(const CrashScenario& scenario) {
    td::testing::CheckEveryFailureAndCrash(Root(), scenario, &Coverage());
  }
};

TEST_F(CrashConsistency, SaveCurrentTypeData) {
  Check({[&] { LayTree(); },
         [&] {
           Start();
           TypeRecord* type = nullptr;
           ASSERT_EQ(GetMMITypeNameAndStruc(1, nullptr, &type), 0);
           ASSERT_EQ(DAT_fread(type->configs[1].datName, 1, type), 0);
           GetMMISystemStruc()->currentTypeNo = 1;
           mmisim::SetCommValue(TD_CFGID(0, TD_CODE_D, 0), 4250);  // TOOL D1: 42.50
         },
         [] { return SaveCurrentTypeData(1) == 0; }, nullptr, nullptr});
}

TEST_F(CrashConsistency, UpdateTypeFileAddsAndRenames) {
  Check({[&] { LayTree(); }, [] { Start(); }, [] { return UpdateTypeFile("C+Y", 3, 1) == 0; },
         [&] { ExpectCatalogueAgreesWithTypeList(); }, nullptr});
  Check({[&] { LayTree(); }, [] { Start(); }, [] { return UpdateTypeFile("A+Z", 1, 0) == 0; },
         [&] { ExpectCatalogueAgreesWithTypeList(); }, nullptr});
}

TEST_F(CrashConsistency, CatalogueRecordsAddedAndReplaced) {
  Check({[&] { LayTree(); }, [] { Start(); }, [] { return Add_FileRec("MMI.TYP", "7,\"N\"\n") == 0; },
         nullptr, nullptr});
  Check({[&] { LayTree(); }, [] { Start(); }, [] { return Update_FileRec("MMI.TYP", "2,\"R\"\n", 2) == 0; },
         nullptr, nullptr});
}

TEST_F(CrashConsistency, FilesCopiedOverOldOnes) {
  Check({[&] {
           LayTree();
           Lay("0002/MAIN0002.DAT", "[D]\r\n1:9,\r\n2:9;\r\n");
         },
         [] { Start(); }, [] { return FileCopy("MAIN0001.DAT", "MAIN0002.DAT", 0) == 0; }, nullptr, nullptr});
  Check({[&] {
           LayTree();
           Lay("0003/MAIN0003.DAT", std::string("old\0\x1a", 5));
         },
         [] { Start(); },
         [] { return ExecCopy("..\\type\\0001\\MAIN0001.DAT", "..\\type\\0003\\MAIN0003.DAT") == 0; },
         nullptr, nullptr});
}

// Saving every config of the current type and pushing the shared one (TOOL,
// bound to part 1) to type 3 "A+Y", which shares "A" with type 1. The push
// reports no failed copy (a type that cannot take it keeps its own values,
// as it would have without the push), so only type 1's own files must be new
// after a reported success.
TEST_F(CrashConsistency, SaveAllCurrentTypeDataPushesSharedFiles) {
  Check({[&] {
           LayTree();
           Lay("mmi.typ", "3,\"A+Y\"\r\n2,\"B+X\"\r\n1,\"A+X\"\r\n0, \r\n");
           Lay("0003/MAIN0003.DAT", "[D]\r\n1:0,\r\n2:0;\r\n");
           Lay("0003/TOOL0003.DAT", "[D]\r\n1:0.000000,\r\n2:0,\r\n3:0;\r\n");
         },
         [] {
           Start();
           ASSERT_EQ(ReadCurrentTypeData(1), 0);
           SystemRecord* system = GetMMISystemStruc();
           system->currentTypeNo = 1;
           std::strcpy(system->currentTypeName, "A+X");
           mmisim::SetCommValue(TD_CFGID(0, TD_CODE_D, 0), 4250);  // TOOL D1: 42.50
           mmisim::SetCommValue(TD_CFGID(1, TD_CODE_D, 1), 77);    // MAIN D2
         },
         [] { return SaveAllCurrentTypeData() == 0; }, nullptr,
         [](const std::string& path) { return path.rfind("0001/", 0) != 0; }});
}

// Type 2 "B+X" about to be named "A+X" pulls the shared config of part "A"
// from type 1. Like the push, the pull reports no failed copy.
TEST_F(CrashConsistency, NewPartPullsSharedFiles) {
  Check({[&] {
           LayTree();
           Lay("0002/TOOL0002.DAT", "[D]\r\n1:1.000000,\r\n2:2,\r\n3:3;\r\n[V]\r\n1:y;\r\n");
         },
         [] { Start(); }, [] { return CopyTypeDataOfAlreadyExistPartName(2, 2, "A+X") == 0; }, nullptr,
         [](const std::string& path) { return path.rfind("0002/", 0) == 0; }});
}

// A new catalogue over an old one: type 0's files from the defaults and the
// catalogue file "0, ".
TEST_F(CrashConsistency, CreateSetTypeDataOverAnOldCatalogue) {
  Check({[&] {
           LayTree();
           Lay("0000/MAIN0000.DAT", "[D]\r\n1:9,\r\n2:9;\r\n");
         },
         [] {
           Start();
           GetMMISystemStruc()->currentTypeNo = 0;
         },
         [] { return CreateSetTypeData() == 0; }, nullptr, nullptr});
}

}  // namespace
