// A changing command that fails puts back what it changed and says what
// became of each file; check names what a command cut short left; recover
// reads its names file where the user named it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "tool/tool_runner.h"

namespace {

using td::testing::ReadFileBytes;
using td::testing::ToolRun;
using td::testing::WriteFileBytes;

class AllOrNothing : public td::testing::ToolTest {
 protected:
  // Types 1 T40+STEEL, 2 T40+ALU, 3 T40+CU, 4 T55+STEEL: TOOL shared by 1-3.
  void MakeTree() {
    ASSERT_EQ(Tool("init").status, 0);
    for (const char* name : {"T40+STEEL", "T40+ALU", "T40+CU", "T55+STEEL"})
      ASSERT_EQ(Tool(std::string("add ") + name).status, 0);
  }
};

TEST_F(AllOrNothing, ASharedPushThatFailsIsPutBackWholeAndSaysSo) {
  MakeTree();
  const std::string tool1 = TypeFile("0001/TOOL0001.DAT");
  const std::string tool3 = TypeFile("0003/TOOL0003.DAT");
  std::remove(workspace_.Path("type/0002/TOOL0002.DAT").c_str());
  td::testing::MakeDirs(workspace_.Path("type/0002/TOOL0002.DAT"));  // the push cannot reach type 2

  const ToolRun text = Tool("set 1 TOOL D:1=41.5");
  EXPECT_EQ(text.status, 1);
  EXPECT_NE(text.err.find("type 0002 'T40+ALU' shares a changed config but did not receive it"),
            std::string::npos)
      << text.err;
  EXPECT_NE(
      text.err.find("nothing was saved: 0001/TOOL0001.DAT, 0003/TOOL0003.DAT, which the save had written, "
                    "were put back as they were"),
      std::string::npos)
      << text.err;
  EXPECT_EQ(TypeFile("0001/TOOL0001.DAT"), tool1) << "the type's own save is put back";
  EXPECT_EQ(TypeFile("0003/TOOL0003.DAT"), tool3) << "and so is the push that arrived";

  const ToolRun json = Tool("--json set 1 TOOL D:1=41.5");
  EXPECT_EQ(json.status, 1);
  const nlohmann::json document = nlohmann::json::parse(json.out, nullptr, false);
  ASSERT_TRUE(document.is_object()) << "a document even on failure: " << json.out;
  EXPECT_EQ(document["command"], "set");
  EXPECT_EQ(document["saved"], nlohmann::json::array());
  EXPECT_EQ(document["shared"], nlohmann::json::array());
  EXPECT_EQ(document["putBack"], nlohmann::json({"0001/TOOL0001.DAT", "0003/TOOL0003.DAT"}));
  EXPECT_NE(
      document["error"].get<std::string>().find("0002/TOOL0002.DAT: a folder stands where the file belongs"),
      std::string::npos);
  EXPECT_EQ(TypeFile("0001/TOOL0001.DAT"), tool1);
  EXPECT_FALSE(std::filesystem::exists(workspace_.Path("type/.typedata-journal")));
}

// A journal found in a tree may come from an unpacked archive: one that
// names anything a command could not have changed is never acted on.
TEST_F(AllOrNothing, AJournalThatLeadsOutOfTheTreeIsRefusedAndNothingIsTouched) {
  MakeTree();
  WriteFileBytes(workspace_.Path("outside.txt"), "mine");
  td::testing::MakeDirs(workspace_.Path("type/0009"));
  WriteFileBytes(workspace_.Path("kept"), "theirs");
  const std::string journal = workspace_.Path("type/.typedata-journal");
  const struct {
    const char* entry;  // a name in the journal's folder
    bool link;          // a symbolic link to the outside file instead of an empty file
  } rows[] = {{"absent ..%2F..%2Foutside.txt", false},
              {"keep ..%2Foutside.txt", false},
              {"absent 0001%2F..%2F..%2Foutside.txt", false},
              {"folder ..%2F..", false},
              {"keep 0001%2FMAIN0001.DAT", true}};
  for (const auto& row : rows) {
    std::filesystem::remove_all(journal);
    td::testing::MakeDirs(journal);
    WriteFileBytes(journal + "/command add", "");
    if (row.link)
      std::filesystem::create_symlink(workspace_.Path("kept"), journal + "/" + row.entry);
    else
      WriteFileBytes(journal + "/" + row.entry, "");
    const std::string main1 = TypeFile("0001/MAIN0001.DAT");
    const ToolRun run = Tool("add X");
    EXPECT_EQ(run.status, 2) << row.entry << "\n" << run.err;
    EXPECT_NE(run.err.find("not a journal this tool wrote"), std::string::npos) << row.entry << run.err;
    EXPECT_EQ(ReadFileBytes(workspace_.Path("outside.txt")), "mine") << row.entry;
    EXPECT_TRUE(std::filesystem::exists(workspace_.Path("type"))) << row.entry;
    EXPECT_EQ(TypeFile("0001/MAIN0001.DAT"), main1) << row.entry;
    EXPECT_TRUE(std::filesystem::is_regular_file(
        std::filesystem::symlink_status(workspace_.Path("type/0001/MAIN0001.DAT"))))
        << row.entry;
  }
}

// Opening the tree puts back a command cut short; every command that opens
// it says so, those that go on and those refused after it.
TEST_F(AllOrNothing, EveryCommandThatOpensTheTreeSaysWhatItPutBack) {
  MakeTree();
  const std::string journal = workspace_.Path("type/.typedata-journal");
  for (const char* command :
       {"list", "show 1", "export 1", "diff 1 2", "check", "sharing", "compare 1 2", "use 1",
        "set 1 MAIN D:1=3", "rename 4 T55+CU", "add T60+CU", "init", "recover"}) {
    td::testing::MakeDirs(journal);
    WriteFileBytes(journal + "/command add", "");
    const ToolRun run = Tool(command);
    EXPECT_NE(run.err.find("typedata: an interrupted 'add' was undone: it had changed nothing yet\n"),
              std::string::npos)
        << command << "\n"
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(journal)) << command;
  }
}

TEST_F(AllOrNothing, CheckNamesALostCatalogueAndTheTemporaryFileHoldingIt) {
  MakeTree();
  ASSERT_EQ(
      std::rename(workspace_.Path("type/mmi.typ").c_str(), workspace_.Path("type/~td0badf00d.tmp").c_str()),
      0);
  const ToolRun check = Tool("--json check");
  EXPECT_EQ(check.status, 1) << check.err;
  const nlohmann::json document = nlohmann::json::parse(check.out, nullptr, false);
  ASSERT_TRUE(document.is_object()) << check.out << check.err;
  std::string problems;
  for (const auto& problem : document["problems"])
    problems += problem["file"].get<std::string>() + ": " + problem["problem"].get<std::string>() + "\n";
  EXPECT_NE(problems.find("type/mmi.typ: the catalogue is missing, but 5 type folders exist"),
            std::string::npos)
      << problems;
  EXPECT_NE(problems.find("type/~td0badf00d.tmp: a temporary file holding a catalogue of 5 types"),
            std::string::npos)
      << problems;
}

TEST_F(AllOrNothing, RecoverReadsItsNamesFileFromTheWorkingFolder) {
  MakeTree();
  ASSERT_EQ(std::remove(workspace_.Path("type/mmi.typ").c_str()), 0);
  const std::string here = workspace_.Path("elsewhere");
  td::testing::MakeDirs(here);
  WriteFileBytes(here + "/names.txt", "1,T40+STEEL\n4,T55+STEEL\n");
  // A file of the same name in type/ must not be the one read.
  WriteFileBytes(workspace_.Path("type/names.txt"), "2,WRONG\n");
  const std::string tool =
      std::string("cd ") + here + " && NO_COLOR=1 " + TD_TOOL_PATH + " --root " + workspace_.root() + " ";
  const ToolRun missing = Shell(tool + "recover --names nosuch.txt 2>&1");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("nosuch.txt: cannot be read: No such file or directory"), std::string::npos)
      << missing.err;
  std::remove(workspace_.Path("type/names.txt").c_str());

  const ToolRun recover = Shell(tool + "recover --names names.txt 2>&1");
  EXPECT_EQ(recover.status, 0) << recover.err;
  const std::string catalogue = TypeFile("mmi.typ");
  EXPECT_NE(catalogue.find("1,\"T40+STEEL\""), std::string::npos) << catalogue;
  EXPECT_NE(catalogue.find("4,\"T55+STEEL\""), std::string::npos) << catalogue;
}

// A set reads the files it may change, not the whole type folder: files of
// someone else's there (1.4 GiB of backups, each below what a data file
// may be) do not make it read them.
TEST_F(AllOrNothing, ASetReadsNoFileOfAnotherKind) {
#ifdef TD_SANITIZED
  GTEST_SKIP() << "the sanitizers' runtime cannot start under a limit of its address space";
#endif
  MakeTree();
  td::testing::MakeDirs(workspace_.Path("type/backup"));
  for (int i = 0; i < 24; ++i) {
    std::FILE* big = std::fopen(workspace_.Path("type/backup/part" + std::to_string(i)).c_str(), "wb");
    ASSERT_NE(big, nullptr);
    ASSERT_EQ(::ftruncate(fileno(big), 60LL << 20), 0);  // sparse: no disk taken
    std::fclose(big);
  }
  // With 1 GiB of address space, holding them all fails.
  const ToolRun set = Shell("ulimit -v 1048576; NO_COLOR=1 " + std::string(TD_TOOL_PATH) + " --root " +
                            workspace_.root() + " set 1 MAT D:1=9.5 2>&1");
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.err.find("backup"), std::string::npos) << set.err;
  EXPECT_NE(set.err.find("shared with type 0004 'T55+STEEL': 0004/MAT0004.DAT"), std::string::npos)
      << set.err;
  std::filesystem::remove_all(workspace_.Path("type/backup"));
}

}  // namespace
