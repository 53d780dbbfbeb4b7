// The history's commands end to end: restore, release, history verify and
// watch, run as a user runs them, read back with plain git.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "tool/tool_runner.h"

namespace {

using td::testing::ReadFileBytes;
using td::testing::ToolRun;

class HistoryCommands : public td::testing::ToolTest {
 protected:
  void SetUp() override {
    if (Shell("git --version >/dev/null 2>&1").status != 0) GTEST_SKIP() << "no git on this machine";
  }
  // Types 1 T40+STEEL+FAST and 2 T40+ALU+SLOW: they share TOOL (part T40).
  void MakeTree() {
    for (const char* step : {"init", "add T40+STEEL+FAST", "add T40+ALU+SLOW"})
      ASSERT_EQ(Tool(step).status, 0) << step;
  }
  // Plain git's output in the tree (stdout only).
  std::string Git(const std::string& args) {
    return Shell("git -C " + workspace_.root() + " " + args + " 2>/dev/null").err;
  }
  int Entries() { return std::stoi("0" + Git("rev-list --count HEAD")); }
};

TEST_F(HistoryCommands, RestoreOfASharedConfigPutsBackEveryTypeThatSharesItAsOneEntry) {
  MakeTree();
  ASSERT_EQ(Tool("release v1 --reason 'line trial 12 approved'").status, 0);
  const std::string own = TypeFile("0001/TOOL0001.DAT");
  const std::string shared = TypeFile("0002/TOOL0002.DAT");
  ASSERT_EQ(Tool("set 1 TOOL D:1=41.5 D:2=3").status, 0);
  ASSERT_NE(TypeFile("0002/TOOL0002.DAT"), shared) << "set pushed TOOL to type 2";
  const int before = Entries();

  const ToolRun restore = Tool("restore 1 --at v1 --config TOOL --reason 'trial failed' --json");
  ASSERT_EQ(restore.status, 0) << restore.err;
  EXPECT_EQ(TypeFile("0001/TOOL0001.DAT"), own);
  EXPECT_EQ(TypeFile("0002/TOOL0002.DAT"), shared) << "the shared config pushed back to type 2";
  EXPECT_EQ(Entries(), before + 1) << "one entry for the restore and its push";
  EXPECT_NE(Git("log -1 --format=%B").find("Reason: trial failed"), std::string::npos) << Git("log -1");
  EXPECT_NE(restore.out.find("\"file\": \"0002/TOOL0002.DAT\""), std::string::npos) << restore.out;

  // A restore is undone by another: the values set come back.
  ASSERT_EQ(Tool("restore 1 --at HEAD~1 --config TOOL --item D:1 --reason undo").status, 0);
  EXPECT_NE(Tool("show 2 --config TOOL").out.find("41.5"), std::string::npos);
  EXPECT_EQ(Entries(), before + 2);
}

TEST_F(HistoryCommands, ARestoreThatCannotBeMadeIsRefusedAndChangesNothing) {
  MakeTree();
  ASSERT_EQ(Tool("release v1").status, 0);
  ASSERT_EQ(Tool("add T55+STEEL").status, 0);  // type 3: not there at v1
  ASSERT_EQ(Tool("set 1 TOOL D:1=41.5").status, 0);
  struct Row {
    const char* args;
    int status;
    const char* says;
  } rows[] = {
      {"restore 1 --at v1", 2, "--reason"},  // a restore is always said why
      {"restore 1 --at v2 --reason x", 1, "no entry of the history is v2"},
      {"restore 1 --at 1999-01-01 --reason x", 1, "no entry of the history"},
      {"restore 9 --at v1 --reason x", 1, "no type 9"},
      {"restore 3 --at v1 --reason x", 1, "type 0003 was not in the tree at v1"},
      {"restore 1 --at v1 --config NOPE --reason x", 1, "no config 'NOPE'"},
      {"restore 1 --at v1 --config TOOL --item D:99 --reason x", 1, "no item D:99"},
      {"restore 1 --at v1 --item D:1 --reason x", 2, "--item needs --config"},
  };
  const std::string file = TypeFile("0001/TOOL0001.DAT");
  const std::string head = Git("rev-parse HEAD");
  for (const Row& row : rows) {
    const ToolRun run = Tool(row.args);
    EXPECT_EQ(run.status, row.status) << row.args << ": " << run.err;
    EXPECT_NE(run.err.find(row.says), std::string::npos) << row.args << ": " << run.err;
    EXPECT_EQ(TypeFile("0001/TOOL0001.DAT"), file) << row.args;
    EXPECT_EQ(Git("rev-parse HEAD"), head) << row.args << ": no entry made";
  }
  // Where the tree requires a reason for every change, a release without one is refused too.
  ASSERT_EQ(Tool("init --force --require-reason --reason new").status, 0);
  EXPECT_EQ(Tool("release v9").status, 1);
  EXPECT_EQ(Git("tag -l v9"), "");
}

TEST_F(HistoryCommands, VerifyNamesEveryFileThatDiffersFromTheLastEntry) {
  MakeTree();
  const ToolRun clean = Tool("history verify");
  EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
  EXPECT_EQ(clean.out, "");

  td::testing::WriteFileBytes(workspace_.Path("type/0001/MAIN0001.DAT"),
                              TypeFile("0001/MAIN0001.DAT") + "[D]\r\n");
  std::remove(workspace_.Path("type/0002/FEED0002.DAT").c_str());
  const ToolRun edited = Tool("history verify");
  EXPECT_EQ(edited.status, 1) << edited.err;
  EXPECT_EQ(edited.out,
            "type/0001/MAIN0001.DAT: modified since the last entry\n"
            "type/0002/FEED0002.DAT: deleted since the last entry\n");
}

TEST_F(HistoryCommands, AReleaseIsAnAnnotatedTagWithWhoAndWhy) {
  MakeTree();
  ASSERT_EQ(Tool("--user alice release v1 --reason 'line trial 12 approved'").status, 0);
  EXPECT_EQ(Git("tag -l"), "v1\n");
  EXPECT_EQ(Git("cat-file -t v1"), "tag\n");
  const std::string tag = Git("cat-file -p v1");
  EXPECT_NE(tag.find("tagger alice"), std::string::npos) << tag;
  EXPECT_NE(tag.find("Reason: line trial 12 approved"), std::string::npos) << tag;
  EXPECT_EQ(Git("rev-parse v1^{commit}"), Git("rev-parse HEAD"));
  EXPECT_EQ(Tool("release v1").status, 1) << "a name released once";
}

TEST_F(HistoryCommands, WatchRecordsAHandEditAsOneOutsideEntryAndEndsOnSigterm) {
  MakeTree();
  const std::string err = workspace_.Path("watch.err");
  const pid_t watcher = fork();
  ASSERT_GE(watcher, 0);
  if (watcher == 0) {
    freopen("/dev/null", "w", stdout);
    freopen(err.c_str(), "w", stderr);
    execl(TD_TOOL_PATH, "typedata", "--root", workspace_.root().c_str(), "watch",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // Generous deadlines: they only bound a wait, nothing is timed.
  const auto waitFor = [](const auto& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return done();
  };
  const bool watching = waitFor([&] { return ReadFileBytes(err).find("Watching") != std::string::npos; });
  const int before = Entries();
  // A burst: two files saved by hand, and a temporary that is never recorded.
  if (watching) {
    td::testing::WriteFileBytes(workspace_.Path("type/0001/MAIN0001.DAT"),
                                TypeFile("0001/MAIN0001.DAT") + "[D]\r\n");
    td::testing::WriteFileBytes(workspace_.Path("type/0002/MAIN0002.DAT"),
                                TypeFile("0002/MAIN0002.DAT") + "[D]\r\n");
    td::testing::WriteFileBytes(workspace_.Path("type/0001/~td0000abcd.tmp"), "x");
  }
  const bool recorded = watching && waitFor([&] { return Entries() > before; });
  kill(watcher, SIGTERM);
  int status = 0;
  waitpid(watcher, &status, 0);
  ASSERT_TRUE(watching) << ReadFileBytes(err);
  ASSERT_TRUE(recorded) << ReadFileBytes(err);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << ": " << ReadFileBytes(err);
  EXPECT_EQ(Entries(), before + 1) << Git("log --stat");
  EXPECT_NE(Git("log -1 --format=%B").find("Typedata-Outside: true"), std::string::npos) << Git("log -1");
  EXPECT_EQ(Git("log -1 --format= --name-only"), "type/0001/MAIN0001.DAT\ntype/0002/MAIN0002.DAT\n");
}

}  // namespace
