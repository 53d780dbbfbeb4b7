// The tool keeps a tree whole: one changing command at a time, hostile
// imports refused before anything changes, numbers and folders it must
// not take, a lost catalogue recovered, the tree's machine remembered.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "tool_runner.h"

namespace {

using td::testing::ReadFileBytes;
using td::testing::ToolRun;
using td::testing::WriteFileBytes;

class TreeSafety : public td::testing::ToolTest {
 protected:
  // Types 1 T40+STEEL, 2 T40+ALU, 3 T55+STEEL.
  void MakeTree() {
    ASSERT_EQ(Tool("init").status, 0);
    for (const char* name : {"T40+STEEL", "T40+ALU", "T55+STEEL"})
      ASSERT_EQ(Tool(std::string("add ") + name).status, 0);
  }
  // Every file of the tree, to see that a refused command changed nothing.
  std::string Tree() {
    std::string all = TypeFile("mmi.typ");
    for (int type = 0; type <= 3; ++type) {
      for (const char* prefix : {"MAIN", "TOOL", "MAT", "FEED"}) {
        const std::string file = std::string(prefix) + "000" + std::to_string(type) + ".DAT";
        all += file + TypeFile("000" + std::to_string(type) + "/" + file);
      }
    }
    return all;
  }
  // Each listed type holds its four files.
  void ExpectEveryListedTypeWhole() {
    const ToolRun check = Tool("check");
    EXPECT_EQ(check.status, 0) << check.out << check.err;
  }
};

#ifndef _WIN32
TEST_F(TreeSafety, ParallelChangesLoseNothing) {
  ASSERT_EQ(Tool("init").status, 0);
  const std::string tool = std::string(TD_TOOL_PATH) + " --root " + workspace_.root();
  for (int round = 0; round < 4; ++round) {
    std::string commands;
    for (int i = 0; i < 3; ++i)
      commands += tool + " add P" + std::to_string(round) + "x" + std::to_string(i) + " >/dev/null 2>&1 & ";
    ASSERT_EQ(std::system((commands + "wait").c_str()), 0);
  }
  const ToolRun list = Tool("list");
  int types = 0;
  for (char c : list.out) types += c == '\n';
  EXPECT_EQ(types, 1 + 1 + 12) << "the header, type 0 and every added type\n" << list.out;
  ExpectEveryListedTypeWhole();
}

TEST_F(TreeSafety, ABusyTreeNamesTheProcessThatHoldsIt) {
  MakeTree();
  const std::string before = Tree();
  // This process holds the tree as a changing command does.
  const int lock = ::open(workspace_.Path(".typedata-lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  const std::string pid = std::to_string(::getpid());
  ASSERT_EQ(::pwrite(lock, pid.data(), pid.size(), 0), static_cast<ssize_t>(pid.size()));
  ::setenv("TYPEDATA_LOCK_WAIT", "0.2", 1);
  for (const char* args : {"add X", "set 1 MAIN D:1=3", "list", "check"}) {
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.status, 1) << args;
    EXPECT_NE(run.err.find("busy: process " + pid), std::string::npos) << args << ": " << run.err;
  }
  // A reader shares the tree with readers, not with a changing command.
  ASSERT_EQ(::ftruncate(lock, 0), 0);
  ASSERT_EQ(::flock(lock, LOCK_SH), 0);
  EXPECT_EQ(Tool("list").status, 0);
  const ToolRun add = Tool("add X");
  EXPECT_EQ(add.status, 1);
  EXPECT_NE(add.err.find("another typedata command is reading it"), std::string::npos) << add.err;
  ::close(lock);
  ::unsetenv("TYPEDATA_LOCK_WAIT");
  EXPECT_EQ(Tree(), before);
  EXPECT_EQ(Tool("add X").status, 0) << "the lock goes with its holder";
}

TEST_F(TreeSafety, InitMakesTheFolderItIsGiven) {
  const std::string root = workspace_.Path("press/line 2");
  const std::string command =
      std::string(TD_TOOL_PATH) + " --root '" + root + "' init >/dev/null 2>&1 </dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(td::testing::FileExists(root + "/type/mmi.typ"));
  EXPECT_TRUE(td::testing::FileExists(root + "/type/0000/MAIN0000.DAT"));
}
#endif

TEST_F(TreeSafety, ImportRefusesTheWholeFileForOneBadEntry) {
  MakeTree();
  const std::string before = Tree();
  struct Row {
    const char* text;
    const char* says;
  } rows[] = {
      {"config,kind,item,value\nMAIN,D,1,5\nMAIN,V,0,5\n", ":3: '0' is not an item number"},
      {"MAIN,D,-17,5\n", ":1: '-17' is not an item number"},
      {"MAIN,D,1,5\nMAIN,d,1,5\n", ":2: 'd' is not a kind"},
      {"MAIN,Q,1,5\n", ":1: 'Q' is not a kind"},
      {"MAIN,D,1x,5\n", ":1: '1x' is not an item number"},
      {"MAIN,D,99,5\n", "line 1: MAIN D:99: no such item"},
      {"NOPE,D,1,5\n", "line 1: NOPE D:1: the machine has no config"},
      {R"({"configs": [{"config": "MAIN", "D": {"1": 5, "2": null}}]})",
       "configs[0].D.\"2\": MAIN D:2 is null"},
      {R"({"configs": [{"config": "MAIN", "D": {"1": true}}]})", "MAIN D:1 is boolean"},
      {R"({"configs": [{"config": "MAIN", "V": {"1": [1]}}]})", "MAIN V:1 is array"},
      {R"({"configs": [{"config": "MAIN", "Q": {"1": 5}}]})", "configs[0].Q: 'Q' is not a kind"},
      {R"({"configs": [{"config": "MAIN", "D": {"0": 5}}]})",
       "configs[0].D.\"0\": MAIN D:0: '0' is not an item"},
      {R"({"configs": [{"D": {"1": 5}}]})", "configs[0]: an entry is an object with \"config\""},
  };
  for (const Row& row : rows) {
    WriteFileBytes(workspace_.Path("hostile"), row.text);
    const ToolRun run = Tool("import 1 " + workspace_.Path("hostile"));
    EXPECT_NE(run.status, 0) << row.text;
    EXPECT_NE(run.err.find(row.says), std::string::npos) << row.text << "\n" << run.err;
  }
  EXPECT_EQ(Tree(), before) << "a refused import changes nothing";
}

TEST_F(TreeSafety, ASharedConfigThatDoesNotArriveIsReported) {
  MakeTree();
  std::remove(workspace_.Path("type/0002/TOOL0002.DAT").c_str());
  td::testing::MakeDirs(workspace_.Path("type/0002/TOOL0002.DAT"));  // T40's TOOL cannot reach type 2
  const ToolRun set = Tool("set 1 TOOL D:1=41.5");
  EXPECT_EQ(set.status, 1);
  EXPECT_NE(set.err.find("type 0002 'T40+ALU' shares a changed config but did not receive it: "
                         "0002/TOOL0002.DAT: a folder stands where the file belongs"),
            std::string::npos)
      << set.err;
  EXPECT_EQ(set.err.find("no other type shares"), std::string::npos) << set.err;
}

TEST_F(TreeSafety, NumbersAndFoldersTheToolMustNotTake) {
  MakeTree();
  const std::string before = Tree();
  for (const char* args : {"set 65537 MAIN D:1=7", "use 65537", "export 65537", "show 65536", "diff 1 65537",
                           "rename 65537 X", "import 65537 nothing.csv", "add Q --from 65537", "use -1"}) {
    const ToolRun run = Tool(args);
    EXPECT_NE(run.status, 0) << args;
    EXPECT_EQ(run.out, "") << args;
  }
  EXPECT_EQ(Tree(), before);

  // A folder that holds files the catalogue does not list is not taken.
  td::testing::MakeDirs(workspace_.Path("type/0004"));
  WriteFileBytes(workspace_.Path("type/0004/MAIN0004.DAT"), "[D]\r\n1:7,\r\n");
  const ToolRun taken = Tool("add NEW --number 4");
  EXPECT_EQ(taken.status, 1);
  EXPECT_NE(taken.err.find("0004 holds files"), std::string::npos) << taken.err;
  EXPECT_EQ(Tool("add NEW").out, "5\n") << "the lowest number whose folder is free";
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/0004/MAIN0004.DAT")), "[D]\r\n1:7,\r\n");

  // demo --replace replaces a demo's folder, never a tree made by hand.
  const ToolRun demo = Tool("demo " + workspace_.root() + " --replace");
  EXPECT_EQ(demo.status, 1);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/0004/MAIN0004.DAT")), "[D]\r\n1:7,\r\n");
}

TEST_F(TreeSafety, ALostCatalogueIsRecoveredNotOverwritten) {
  MakeTree();
  ASSERT_EQ(Tool("set 1 MAIN D:1=7").status, 0);
  const std::string type1 = TypeFile("0001/MAIN0001.DAT");
  ASSERT_EQ(std::remove(workspace_.Path("type/mmi.typ").c_str()), 0);
  for (const char* args : {"list", "check"}) {
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.err.find("the catalogue is missing, but 4 type folders exist: 'typedata recover'"),
              std::string::npos)
        << args << ": " << run.err;
  }
  EXPECT_EQ(Tool("init").status, 1) << "init would hide the type folders";
  EXPECT_FALSE(td::testing::FileExists(workspace_.Path("type/mmi.typ")));

  WriteFileBytes(workspace_.Path("names"), "# number,name\n1,T40+STEEL\n3,\"T55+STEEL\"\n");
  const ToolRun recover = Tool("recover --names " + workspace_.Path("names"));
  ASSERT_EQ(recover.status, 0) << recover.err;
  EXPECT_EQ(TypeFile("mmi.typ"), "3,\"T55+STEEL\"\r\n2,\"\"\r\n1,\"T40+STEEL\"\r\n0,\"\"\r\n");
  EXPECT_EQ(TypeFile("0001/MAIN0001.DAT"), type1);
  EXPECT_EQ(Tool("recover").status, 1) << "only a lost catalogue is written anew";
  EXPECT_EQ(Tool("add X --number 1").status, 1) << "type 1 is listed again";
  ExpectEveryListedTypeWhole();
}

TEST_F(TreeSafety, ATreeRemembersItsMachine) {
  const std::string press = "config 1 prefix PRESS\n  items D 2\n  item D 1-2 I 5\n";
  WriteFileBytes(workspace_.Path("press.txt"), press);
  WriteFileBytes(workspace_.Path("other.txt"), "config 1 prefix OTHER\n  items D 1\n");
  ASSERT_EQ(Tool("--machine " + workspace_.Path("press.txt") + " init").status, 0);
  ASSERT_EQ(Tool("add A").status, 0);
  EXPECT_EQ(Tool("use 1").status, 0) << "the tree's machine, without --machine";
  EXPECT_EQ(Tool("check").status, 0);
  EXPECT_TRUE(td::testing::FileExists(workspace_.Path("type/0001/PRESS0001.DAT")));
  const ToolRun other = Tool("--machine " + workspace_.Path("other.txt") + " check");
  EXPECT_EQ(other.status, 2);
  EXPECT_NE(other.err.find("differs from the machine this tree was made with"), std::string::npos)
      << other.err;
  EXPECT_EQ(Tool("--force --machine " + workspace_.Path("other.txt") + " list").status, 0);
  EXPECT_EQ(Tool("check").status, 0) << "a reading command keeps the tree's machine";
  EXPECT_EQ(ReadFileBytes(workspace_.Path(".typedata-machine")), press);
}

}  // namespace
