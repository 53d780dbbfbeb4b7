// The tool keeps a tree whole: one changing command at a time, hostile
// imports refused before anything changes, numbers and folders it must
// not take, a lost catalogue recovered, the tree's machine remembered.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tool_runner.h"

namespace {

using td::testing::ReadFileBytes;
using td::testing::ToolRun;
using td::testing::WriteFileBytes;

#ifndef _WIN32
// The tree's lock as the tool takes it: open file description locks on one
// byte each, the main range and the turnstile that a waiting writer holds.
constexpr off_t kMainRange = off_t{1} << 32;
constexpr off_t kTurnstile = kMainRange + 1;

bool LockRange(int fd, off_t at, short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = at;
  range.l_len = 1;
  return ::fcntl(fd, F_OFD_SETLK, &range) == 0;
}

// Whether some open file other than fd holds a lock on the byte at.
bool RangeHeld(int fd, off_t at) {
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = at;
  range.l_len = 1;
  return ::fcntl(fd, F_OFD_GETLK, &range) == 0 && range.l_type != F_UNLCK;
}
#endif

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
  const int lock = ::open(workspace_.Path("type/.typedata-lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_GE(lock, 0);
  ASSERT_TRUE(LockRange(lock, kMainRange, F_WRLCK));
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
  ASSERT_TRUE(LockRange(lock, kMainRange, F_RDLCK));
  EXPECT_EQ(Tool("list").status, 0);
  const ToolRun add = Tool("add X");
  EXPECT_EQ(add.status, 1);
  EXPECT_NE(add.err.find("another typedata command is reading it"), std::string::npos) << add.err;
  ::close(lock);
  ::unsetenv("TYPEDATA_LOCK_WAIT");
  EXPECT_EQ(Tree(), before);
  EXPECT_EQ(Tool("add X").status, 0) << "the lock goes with its holder";
}

TEST_F(TreeSafety, AWaitingWriterGoesBeforeNewReaders) {
  MakeTree();
  // This process reads the tree, as a check that takes long does.
  const int reader =
      ::open(workspace_.Path("type/.typedata-lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(LockRange(reader, kMainRange, F_RDLCK));
  const std::string set = std::string("TYPEDATA_LOCK_WAIT=600 NO_COLOR=1 exec ") + TD_TOOL_PATH + " --root " +
                          workspace_.root() + " set 1 MAIN D:1=3 >/dev/null 2>&1 </dev/null";
  const pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    execl("/bin/sh", "sh", "-c", set.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // The writer waits at the turnstile's far side: it holds the turnstile.
  const int probe = ::open(workspace_.Path("type/.typedata-lock").c_str(), O_RDONLY | O_CLOEXEC);
  bool waiting = false;
  for (int tries = 0; tries < 3000 && !(waiting = RangeHeld(probe, kTurnstile)); ++tries) usleep(10000);
  EXPECT_TRUE(waiting) << "the changing command never queued at the turnstile";
  ::setenv("TYPEDATA_LOCK_WAIT", "0.2", 1);
  const ToolRun late = Tool("list");
  ::unsetenv("TYPEDATA_LOCK_WAIT");
  EXPECT_EQ(late.status, 1) << "a reader that came after the writer waits for it";
  EXPECT_NE(late.err.find("waits to change it"), std::string::npos) << late.err;
  ::close(reader);  // the early reader ends: the writer's turn
  int status = -1;
  ASSERT_EQ(waitpid(writer, &status, 0), writer);
  ::close(probe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(TypeFile("0001/MAIN0001.DAT").find("1:3"), std::string::npos);
}

TEST_F(TreeSafety, TheLockBelongsToTheTypeFolderHoweverItIsReached) {
  ASSERT_EQ(Tool("init").status, 0);
  const std::string other = workspace_.Path("other");
  td::testing::MakeDirs(other);
  ASSERT_EQ(::symlink(workspace_.Path("type").c_str(), (other + "/type").c_str()), 0);
  const std::string tool = std::string(TD_TOOL_PATH) + " --root ";
  for (int round = 0; round < 4; ++round) {
    std::string commands;
    for (int i = 0; i < 4; ++i)
      commands += tool + (i % 2 ? other : workspace_.root()) + " add R" + std::to_string(round) + "x" +
                  std::to_string(i) + " >/dev/null 2>&1 & ";
    ASSERT_EQ(std::system((commands + "wait").c_str()), 0);
  }
  const ToolRun list = Tool("list");
  int types = 0;
  for (char c : list.out) types += c == '\n';
  EXPECT_EQ(types, 1 + 1 + 16) << "the header, type 0 and every added type\n" << list.out;
  EXPECT_TRUE(td::testing::FileExists(workspace_.Path("type/.typedata-lock")));
  EXPECT_FALSE(td::testing::FileExists(other + "/.typedata-lock")) << "one lock, in the type folder";
  EXPECT_FALSE(td::testing::FileExists(workspace_.Path(".typedata-lock")));
  ExpectEveryListedTypeWhole();
}

TEST_F(TreeSafety, ALockFileThatIsNotItsOwnIsRefusedNotWritten) {
  MakeTree();
  const std::string lock = workspace_.Path("type/.typedata-lock");
  const std::string before = Tree();
  struct Row {
    const char* target;  // what the lock file is made a second name of, or a link to
    bool hardLink;
  } rows[] = {{"type/0003/MAIN0003.DAT", true}, {"type/mmi.typ", true}, {"type/mmi.typ", false}};
  for (const Row& row : rows) {
    std::remove(lock.c_str());
    const int made = row.hardLink ? ::link(workspace_.Path(row.target).c_str(), lock.c_str())
                                  : ::symlink(workspace_.Path(row.target).c_str(), lock.c_str());
    ASSERT_EQ(made, 0) << row.target;
    for (const char* args : {"set 1 MAIN D:1=3", "add X", "list"}) {
      const ToolRun run = Tool(args);
      EXPECT_EQ(run.status, 2) << args << " with the lock " << (row.hardLink ? "a name of " : "a link to ")
                               << row.target;
      EXPECT_NE(run.err.find(".typedata-lock: the tree's lock file cannot be used"), std::string::npos)
          << run.err;
      EXPECT_NE(run.err.find("remove it"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Tree(), before) << row.target;
  }
  std::remove(lock.c_str());
  EXPECT_EQ(Tool("set 1 MAIN D:1=3").status, 0) << "a lock file of its own is made again";
}
TEST_F(TreeSafety, AnOutputNeverReplacesAFileOfTheTreeALinkOrASpecialFile) {
  MakeTree();
  ASSERT_EQ(Tool("list").status, 0);  // the lock file is there
  WriteFileBytes(workspace_.Path("kept.txt"), "kept");
  ASSERT_EQ(::symlink(workspace_.Path("kept.txt").c_str(), workspace_.Path("link").c_str()), 0);
  ASSERT_EQ(::mkfifo(workspace_.Path("fifo").c_str(), 0644), 0);
  ASSERT_EQ(::link(workspace_.Path("kept.txt").c_str(), workspace_.Path("second").c_str()), 0);
  const std::string other = workspace_.Path("other");  // the type folder by another path
  td::testing::MakeDirs(other);
  ASSERT_EQ(::symlink(workspace_.Path("type").c_str(), (other + "/type").c_str()), 0);
  std::vector<std::string> outputs = {"type/mmi.typ",
                                      "type/0001/MAIN0001.DAT",
                                      "type/.typedata-lock",
                                      ".typedata-machine",
                                      ".typedata-state",
                                      "type/new.txt",
                                      "other/type/mmi.typ",
                                      "link",
                                      "fifo",
                                      "second"};
  // A device of our own (as /dev/null is), where this user may make one.
  if (::mknod(workspace_.Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) outputs.push_back("null");
  struct stat before {};
  for (const std::string& output : outputs) {
    const std::string path = workspace_.Path(output);
    const bool there = ::lstat(path.c_str(), &before) == 0;
    const std::string bytes = there && S_ISREG(before.st_mode) ? ReadFileBytes(path) : "";
    const ToolRun run = Tool("infer -o " + path);
    EXPECT_EQ(run.status, 2) << output << ": " << run.err;
    EXPECT_NE(run.err.find(path + ": "), std::string::npos) << run.err;
    struct stat after {};
    if (!there) {
      EXPECT_NE(::lstat(path.c_str(), &after), 0) << output << " was made";
      continue;
    }
    ASSERT_EQ(::lstat(path.c_str(), &after), 0) << output;
    EXPECT_EQ(after.st_ino, before.st_ino) << output << " was replaced";
    EXPECT_EQ(after.st_mode, before.st_mode) << output;
    if (S_ISREG(before.st_mode)) {
      EXPECT_EQ(ReadFileBytes(path), bytes) << output;
    }
  }
  EXPECT_EQ(Tool("list").status, 0);
  EXPECT_EQ(Tool("infer -o " + workspace_.Path("machine.txt")).status, 0)
      << "an output of its own is written";
}

// Each command on a tree where one file is not what it should be finishes
// (timeout only ends a hang, so a hang fails the test) and names the file.
TEST_F(TreeSafety, SpecialAndHugeFilesAreRefusedNamingThem) {
  MakeTree();
  ASSERT_EQ(Tool("use 1").status, 0);  // the state file is there
  struct Row {
    const char* file;
    const char* make;  // "fifo", "zero" (a link to /dev/zero), "huge" (a sparse file)
    std::vector<const char*> commands;
  } rows[] = {
      {"type/0001/MAIN0001.DAT", "fifo", {"check", "show 1", "add C --from 1", "infer", "use 1", "export 1"}},
      {"type/mmi.typ", "fifo", {"list", "check", "show 1", "infer", "recover"}},
      {"type/mmi.typ", "zero", {"list", "check"}},
      {".typedata-machine", "fifo", {"list", "check", "recover"}},
      {".typedata-state", "fifo", {"list", "show 1", "recover"}},
      {"type/0001/MAIN0001.DAT", "huge", {"check", "show 1", "add C --from 1", "infer", "use 1"}},
  };
  for (const Row& row : rows) {
    const std::string path = workspace_.Path(row.file);
    const std::string kept = ReadFileBytes(path);
    ASSERT_EQ(std::rename(path.c_str(), (path + ".kept").c_str()), 0);
    const std::string make = row.make;
    if (make == "huge") WriteFileBytes(path, "[D]\r\n");
    const int made = make == "fifo"   ? ::mkfifo(path.c_str(), 0644)
                     : make == "zero" ? ::symlink("/dev/zero", path.c_str())
                                      : ::truncate(path.c_str(), 65 << 20);
    ASSERT_EQ(made, 0) << row.file << " " << make;
    for (const char* args : row.commands) {
      const ToolRun run = Shell("TYPEDATA_LOCK_WAIT=1 NO_COLOR=1 timeout 60 " + std::string(TD_TOOL_PATH) +
                                " --root " + workspace_.root() + " " + args + " 2>&1");
      const std::string what = std::string(row.file) + " " + row.make + ": " + args;
      EXPECT_NE(run.status, 124) << what << ": it did not finish";
      EXPECT_NE(run.status, 0) << what << "\n" << run.err;
      const std::string name = std::string(row.file).substr(std::string(row.file).rfind('/') + 1);
      EXPECT_NE(run.err.find(name), std::string::npos) << what << "\n" << run.err;
    }
    std::remove(path.c_str());
    ASSERT_EQ(std::rename((path + ".kept").c_str(), path.c_str()), 0);
    ASSERT_EQ(ReadFileBytes(path), kept);
  }
  const ToolRun check = Tool("check");
  EXPECT_EQ(check.status, 0) << check.out;
}

TEST_F(TreeSafety, AReadOnlyTreeCanBeInspected) {
  MakeTree();
  ASSERT_EQ(Tool("use 1").status, 0);
  std::remove(workspace_.Path("type/.typedata-lock").c_str());  // nor can one be made
  const std::string before = Tree();
  const std::string root = workspace_.root();
  // chmod stops a user, not root: root gets a read-only bind mount of the
  // tree in a mount namespace of its own.
  std::string wrap;
  if (::geteuid() != 0) {
    ASSERT_EQ(std::system(("chmod -R a-w " + root).c_str()), 0);
  } else {
    wrap = "unshare --mount sh -c 'mount --bind " + root + " " + root + " && mount -o remount,ro,bind " +
           root + " && exec \"$0\" \"$@\"' ";
    if (Shell(wrap + "touch " + root + "/probe; test ! -e " + root + "/probe").status != 0)
      GTEST_SKIP() << "running as root without a way to mount the tree read-only (unshare --mount and "
                      "mount --bind need CAP_SYS_ADMIN), and chmod does not stop root's writes";
  }
  for (const char* args : {"list", "check", "export 1", "infer", "show 1", "diff 1 2"}) {
    const ToolRun run =
        Shell(wrap + "env NO_COLOR=1 " + TD_TOOL_PATH + " --root " + root + " " + args + " 2>&1 >/dev/null");
    EXPECT_TRUE(run.status == 0 || (std::string(args) == "diff 1 2" && run.status == 1))
        << args << " exited " << run.status << ": " << run.err;
    EXPECT_EQ(run.err.find("Read-only"), std::string::npos) << args << ": " << run.err;
    EXPECT_EQ(run.err.find("Permission denied"), std::string::npos) << args << ": " << run.err;
  }
  if (::geteuid() != 0) {
    ASSERT_EQ(std::system(("chmod -R u+w " + root).c_str()), 0);
  }
  EXPECT_EQ(Tree(), before) << "a reading command writes nothing";
  EXPECT_FALSE(td::testing::FileExists(workspace_.Path("type/.typedata-lock")));
}

TEST_F(TreeSafety, ATypeFolderThatLeadsOutOfTheTreeIsNamed) {
  MakeTree();
  const std::string away = workspace_.Path("elsewhere");
  ASSERT_EQ(std::rename(workspace_.Path("type/0002").c_str(), away.c_str()), 0);
  ASSERT_EQ(::symlink(away.c_str(), workspace_.Path("type/0002").c_str()), 0);
  const ToolRun check = Tool("check");
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(
      check.out.find("type/0002:0: type folder 0002 is a symbolic link to '" + away + "', outside the tree"),
      std::string::npos)
      << check.out;
  const ToolRun infer = Tool("infer");
  EXPECT_NE(infer.err.find("type/0002:0: the type folder is a symbolic link; not followed"),
            std::string::npos)
      << infer.err;
  EXPECT_EQ(infer.err.find("type/0002/MAIN0002.DAT: "), std::string::npos) << "nothing read there\n"
                                                                           << infer.err;
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
    EXPECT_EQ(run.status, std::string(args) == "check" ? 1 : 2)
        << args << ": check finds it, list cannot list";
    EXPECT_NE(
        (run.out + run.err).find("the catalogue is missing, but 4 type folders exist: 'typedata recover'"),
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
