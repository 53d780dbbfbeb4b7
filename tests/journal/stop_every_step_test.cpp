// Every changing command stopped (SIGKILL) right after each of its file
// operations in turn, then the next command run: every file below type/
// holds what it held before the command or what the finished command
// leaves, byte for byte, and check says what it says of that tree.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "support/workspace.h"

namespace {

namespace fs = std::filesystem;
using td::testing::ReadFileBytes;
using td::testing::WriteFileBytes;

// Every entry below folder: a file by its bytes, a folder as "<folder>".
// The lock is the one file that a command may leave as it likes.
using Tree = std::map<std::string, std::string>;
Tree ReadTree(const std::string& folder) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string path = fs::relative(entry.path(), folder).generic_string();
    if (path == ".typedata-lock") continue;
    tree[path] = entry.is_directory() ? "<folder>" : ReadFileBytes(entry.path().string());
  }
  return tree;
}

std::string Differences(const Tree& expected, const Tree& actual) {
  std::string text;
  for (const auto& [path, bytes] : expected) {
    const auto found = actual.find(path);
    if (found == actual.end())
      text += "  missing " + path + "\n";
    else if (found->second != bytes)
      text += "  differs " + path + "\n";
  }
  for (const auto& [path, bytes] : actual) {
    if (!expected.count(path)) text += "  extra " + path + "\n";
  }
  return text;
}

struct Outcome {
  int status = -1;  // -9: stopped
  std::string out;
  std::string err;
};

struct Scenario {
  const char* name;
  std::function<void(const std::string& root)> prepare;  // on the base tree
  std::string command;                                   // typedata --root ROOT COMMAND
};

class StopEveryStep : public td::testing::WorkspaceTest {
 protected:
  static std::map<std::string, long>& StopPoints() {
    static std::map<std::string, long> points;
    return points;
  }
  static void TearDownTestSuite() {
    for (const auto& [name, points] : StopPoints())
      std::printf("stopped after every step: %s, %ld stop points\n", name.c_str(), points);
  }

  // typedata --root ROOT ARGS, stopped after its stopAfter-th file
  // operation (0: never).
  Outcome Tool(const std::string& root, const std::string& args, long stopAfter = 0) {
    const std::string out = workspace_.Path("tool.out");
    const std::string err = workspace_.Path("tool.err");
    std::string command = "NO_COLOR=1 TYPEDATA_LOCK_WAIT=2 ";
    if (stopAfter > 0)
      command += "ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD=" + std::string(TD_STOP_AFTER_LIBRARY) +
                 " TD_STOP_AFTER=" + std::to_string(stopAfter) + " ";
    command += "exec " + std::string(TD_TOOL_PATH) + " --root " + root + " " + args + " >" + out + " 2>" +
               err + " </dev/null";
    const int raw = std::system(command.c_str());
    Outcome run;
    if (WIFSIGNALED(raw) && WTERMSIG(raw) == SIGKILL)
      run.status = -9;
    else if (WIFEXITED(raw))
      run.status = WEXITSTATUS(raw) == 128 + SIGKILL ? -9 : WEXITSTATUS(raw);
    run.out = ReadFileBytes(out);
    run.err = ReadFileBytes(err);
    return run;
  }

  // Types 1 T40+STEEL+FAST, 2 T40+ALU+SLOW, 3 T55+STEEL+SLOW, 4 T40+CU+FAST,
  // each with values of its own in every config: TOOL is shared by 1, 2
  // and 4, MAT by 1 and 3, FEED by 1 and 4 and by 2 and 3.
  void MakeBase(const std::string& root) {
    ASSERT_EQ(Tool(root, "init").status, 0);
    int number = 1;
    for (const char* name : {"T40+STEEL+FAST", "T40+ALU+SLOW", "T55+STEEL+SLOW", "T40+CU+FAST"}) {
      ASSERT_EQ(Tool(root, std::string("add ") + name).status, 0);
      const std::string n = std::to_string(number);
      for (const char* config : {"TOOL", "MAT", "FEED", "MAIN"})
        ASSERT_EQ(Tool(root, "set " + n + " " + config + " D:2=" + std::to_string(number * 10 + 1)).status,
                  0);
      ++number;
    }
  }

  void Copy(const std::string& from, const std::string& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }

  // Stops the command after its first, second, ... file operation until it
  // runs to its end; after each stop the next command (a changing one, or
  // check as a reader) finds the tree as before or as after.
  void StopAtEveryStep(const Scenario& scenario) {
    const std::string base = workspace_.Path("base");
    const std::string root = workspace_.Path("run");
    MakeBase(base);
    if (scenario.prepare) scenario.prepare(base);
    // What check says of the tree before and after, at the same path.
    Copy(base, root);
    const Tree before = ReadTree(root + "/type");
    const Outcome checkBefore = Tool(root, "check");
    const Outcome whole = Tool(root, scenario.command);
    ASSERT_EQ(whole.status, 0) << scenario.command << ": " << whole.err;
    const Tree after = ReadTree(root + "/type");
    ASSERT_NE(before, after) << scenario.command << " changed nothing";
    const Outcome checkAfter = Tool(root, "check");

    long stop = 1;
    for (; stop < 1000; ++stop) {
      Copy(base, root);
      const Outcome stopped = Tool(root, scenario.command, stop);
      if (stopped.status != -9) {
        EXPECT_EQ(stopped.status, 0) << stopped.err;
        EXPECT_EQ(ReadTree(root + "/type"), after);
        break;
      }
      // Every other time a changing command (refused after it took the lock)
      // comes next, else list, a reader that takes the lock alone for the
      // roll-back.
      const bool journalLeft = fs::exists(root + "/type/.typedata-journal");
      const Outcome next = Tool(root, stop % 2 == 1 ? "rename 9999 X" : "list");
      if (stop % 2 == 1) {
        EXPECT_NE(next.status, 0) << "rename 9999 is refused: " << next.err;
      }
      const std::string word = scenario.command.substr(0, scenario.command.find(' '));
      if (journalLeft) {
        EXPECT_NE(next.err.find("typedata: an interrupted '" + word + "' was undone"), std::string::npos)
            << next.err;
      }
      const Tree now = ReadTree(root + "/type");
      const bool asBefore = now == before;
      EXPECT_TRUE(asBefore || now == after)
          << scenario.command << " stopped after step " << stop << ": neither as before:\n"
          << Differences(before, now) << "nor as after:\n"
          << Differences(after, now);
      const Outcome check = Tool(root, "check");
      EXPECT_EQ(check.out, (asBefore ? checkBefore : checkAfter).out) << "after step " << stop << "\n"
                                                                      << check.err;
      EXPECT_EQ(check.status, (asBefore ? checkBefore : checkAfter).status);
      if (::testing::Test::HasFailure()) break;
    }
    EXPECT_GT(stop, 5) << "the command made too few file operations to be stopped in";
    StopPoints()[scenario.name] = stop - 1;
  }
};

TEST_F(StopEveryStep, AddCopiesPullsAndCatalogues) { StopAtEveryStep({"add", nullptr, "add T55+ALU+FAST"}); }

TEST_F(StopEveryStep, AddFromAnotherType) {
  StopAtEveryStep({"add --from", nullptr, "add T40+CU+SLOW --from 2"});
}

TEST_F(StopEveryStep, RenamePullsSharedConfigsThenRenames) {
  StopAtEveryStep({"rename", nullptr, "rename 3 T40+ALU+FAST"});
}

TEST_F(StopEveryStep, RecoverWritesACatalogue) {
  const std::string names = workspace_.Path("names.txt");
  WriteFileBytes(names, "1,T40+STEEL+FAST\n3,T55+STEEL+SLOW\n");
  StopAtEveryStep({"recover", [](const std::string& root) { fs::remove(root + "/type/mmi.typ"); },
                   "recover --names " + names});
}

TEST_F(StopEveryStep, SetPushesASharedConfigToItsGroup) {
  StopAtEveryStep({"set", nullptr, "set 1 TOOL D:1=41.5 D:4=3"});
}

TEST_F(StopEveryStep, ImportSavesAndPushes) {
  const std::string csv = workspace_.Path("values.csv");
  WriteFileBytes(csv, "config,kind,item,value\nTOOL,D,1,41.5\nMAT,D,1,8.25\nMAIN,D,3,99\n");
  StopAtEveryStep({"import", nullptr, "import 2 " + csv});
}

}  // namespace
