// Every command's --json document, and its exit status, as they were when
// last accepted: a scenario on a fresh tree of the sample machine, compared
// byte for byte with tests/data/golden/commands.txt (TD_GOLDEN_UPDATE=1
// writes it anew).
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "golden.h"
#include "tool_runner.h"

namespace {

class Golden : public td::testing::ToolTest {
 protected:
  // Runs "typedata --json ARGS" and adds its status and document to the transcript.
  void Step(const std::string& args) {
    const td::testing::ToolRun run = Tool("--json " + args);
    transcript_ += td::testing::TranscriptStep(
        "typedata --json " + td::testing::WithoutRunDetails(args, workspace_.root()),
        "exit " + std::to_string(run.status), td::testing::WithoutRunDetails(run.out, workspace_.root()));
  }
  // Saves what "typedata ARGS" prints (an export) in the workspace as NAME.
  std::string Keep(const std::string& args, const std::string& name) {
    const td::testing::ToolRun run = Tool(args);
    EXPECT_EQ(run.status, 0) << args << ": " << run.err;
    td::testing::WriteFileBytes(workspace_.Path(name), run.out);
    return workspace_.Path(name);
  }
  std::string transcript_;
};

TEST_F(Golden, EveryCommandsDocumentIsAsBefore) {
  Step("init");
  Step("add T40+STEEL");
  // Values of its own in type 1's TOOL and MAT, so the types added after it pull them.
  Step("set 1 TOOL D:1=41.5 L:1=4.25");
  Step("set 1 MAT D:1=9.5 V:1=steel-plate");
  Step("add T40+ALU");
  Step("add T55+STEEL");
  Step("add T63+CU --number 7 --from 3");
  Step("diff 3 7");       // a copy: equal
  Step("add T40+STEEL");  // type 4, a name another type has: a warning
  Step("rename 4 T63+STEEL+FAST");
  Step("rename 2 T40+ALU+SLOW");
  Step("use 1 --no-download");
  Step("use 2");
  // Pushed to the types sharing TOOL (T40) and MAT (STEEL).
  Step("set 2 TOOL D:2=1.25");
  Step("set 3 MAT D:1=8.123456789");  // rounded to what the controller holds
  Step("set 1 MAIN D:3=99 S:1=2");
  Step("--strict set 1 MAT D:1=8.123456789");
  Step("show 1");
  Step("show 1 --config TOOL");
  Step("show 1 --kind L");
  Step("show 3 --config MAT --kind V");
  Step("diff 1 4");
  Step("diff 1 2");
  Step("diff 2 3");
  Step("export 1");
  Step("export 1 --format json");
  Step("export 1 --format csv");
  // An export imported where it changes nothing, and where it changes values.
  const std::string json = Keep("export 1 --format json", "t1.json");
  const std::string csv = Keep("export 2 --format csv", "t2.csv");
  Step("import 1 " + json);
  Step("import 3 " + json);
  Step("import 3 " + csv);
  Step("list");
  for (const char* order : {"number", "name", "catalogue"}) Step(std::string("list --sort ") + order);
  Step("check");
  Step("infer");

  // A problem seeded in one file: an item beyond its config's count.
  const std::string mat = workspace_.Path("type/0003/MAT0003.DAT");
  const std::string before = td::testing::ReadFileBytes(mat);
  td::testing::WriteFileBytes(mat, before + "[D]\r\n99:1.000000,\r\n");
  Step("check");
  td::testing::WriteFileBytes(mat, before);

  // Commands that fail: their error documents.
  Step("show 42");
  Step("show 1 --config NOPE");
  Step("show 1 --kind X");
  Step("set 42 MAIN D:1=1");
  Step("set 1 MAIN D:1=abc");
  Step("set 1 MAIN D:5=1");
  Step("set 1 NOPE D:1=1");
  Step("set 1 MAIN D1=2");
  Step("set 1 TOOL D:1=99 D:01=40");
  Step("diff 1 42");
  Step("export 42");
  Step("export 1 --format xml");
  Step("import 1 " + workspace_.Path("missing.json"));
  Step("add T40+");
  Step("add T99 --number 7");
  Step("rename 9 X");
  Step("rename 2 STEEL");
  Step("use 42");
  Step("frobnicate");
  Step("show");
  Step("init");

  // A lost catalogue: what reads say, and the catalogue written anew.
  std::filesystem::remove(workspace_.Path("type/mmi.typ"));
  Step("list");
  Step("show 1");
  Step("check");
  Step("recover");
  Step("list");
  std::filesystem::remove(workspace_.Path("type/mmi.typ"));
  td::testing::WriteFileBytes(workspace_.Path("names.txt"),
                              "1,T40+STEEL\r\n2,T40+ALU+SLOW\r\n3,T55+STEEL\r\n");
  Step("recover --names " + workspace_.Path("names.txt"));
  Step("recover");
  Step("list");
  Step("check");

  // The demo in a folder of its own, refused where one was, and replaced.
  const std::string demo = workspace_.Path("demo");
  Step("demo " + demo);
  Step("demo " + demo);
  Step("demo " + demo + " --replace");

  td::testing::ExpectGolden("commands.txt", transcript_);
}

// sharing and compare on the command line: the documents the server sends.
TEST_F(Golden, SharingAndCompareDocumentsAreAsBefore) {
  for (const char* setup : {"init", "add T40+STEEL", "set 1 TOOL D:1=41.5 L:1=4.25", "add T40+ALU+SLOW",
                            "add T55+STEEL", "set 3 MAT D:1=8.5 V:1=plate"}) {
    ASSERT_EQ(Tool(setup).status, 0) << setup;
  }
  Step("sharing");
  Step("compare 0 1 2 3");
  Step("compare 1 2 --config TOOL --all");
  Step("compare 2 2");  // equal
  Step("compare 1 42");
  Step("compare 1 2 --config NOPE");
  Step("compare 1");
  td::testing::ExpectGolden("sharing_compare.txt", transcript_);
}

// restore, release and history verify: their documents, with the entries'
// revisions and the station (which differ from run to run) as placeholders.
TEST_F(Golden, HistoryDocumentsAreAsBefore) {
  for (const char* setup : {"init", "add T40+STEEL", "add T40+ALU+SLOW"})
    ASSERT_EQ(Tool(setup).status, 0) << setup;
  const auto step = [&](const std::string& args) {
    const td::testing::ToolRun run = Tool("--json --user alice " + args);
    static const std::regex revision("\"[0-9a-f]{40}\"");
    static const std::regex shortRevision("\\([0-9a-f]{12}\\)");
    static const std::regex station("\"station\": \"[^\"]*\"");
    static const std::regex time("\"time\": \"[^\"]*\"");
    std::string printed = std::regex_replace(run.out, revision, "\"<REVISION>\"");
    printed = std::regex_replace(printed, station, "\"station\": \"<STATION>\"");
    printed = std::regex_replace(printed, shortRevision, "(<REVISION>)");
    printed = std::regex_replace(printed, time, "\"time\": \"<TIME>\"");
    transcript_ += td::testing::TranscriptStep("typedata --json --user alice " + args,
                                               "exit " + std::to_string(run.status), printed);
  };
  step("release v1 --reason 'line trial 12'");
  step("release v1");
  step("release 'no..name'");
  ASSERT_EQ(Tool("set 1 TOOL D:1=41.5 L:1=4.25").status, 0);
  step("restore 1 --at v1 --config TOOL --reason 'trial failed'");
  step("restore 1 --at v1 --reason again");  // nothing differs now
  step("restore 1 --at v1");
  step("restore 1 --at v9 --reason x");
  step("restore 1 --at v1 --config TOOL --item D:99 --reason x");
  step("history verify");
  // The restores read back old -> new (alice's entries only: --user keeps them), and the past.
  step("log 1 --since v1 --config TOOL");
  step("log --item D:1 --config TOOL");
  step("show 1 --at v1 --config TOOL --kind L");
  step("diff 1@v1 2");
  step("diff 1@nowhere 2");
  td::testing::WriteFileBytes(workspace_.Path("type/0002/TOOL0002.DAT"), "[D]\r\n");
  step("history verify");
  td::testing::ExpectGolden("history.txt", transcript_);
}

}  // namespace
