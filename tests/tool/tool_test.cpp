// The typedata tool's commands end to end: files and output.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include <nlohmann/json.hpp>

#include "machine/machine.h"
#include "tool_runner.h"

namespace {

using td::testing::ToolRun;

class Commands : public td::testing::ToolTest {
 protected:
  // A catalogue with types 1 T40+STEEL+FAST, 2 T40+ALU+SLOW, 3 T55+STEEL.
  void MakeTree() {
    ASSERT_EQ(Tool("init").status, 0);
    ASSERT_EQ(Tool("add T40+STEEL+FAST").out, "1\n");
    ASSERT_EQ(Tool("add T40+ALU+SLOW").out, "2\n");
    ASSERT_EQ(Tool("add T55+STEEL").out, "3\n");
  }
  std::string Tree() {
    std::string all;
    for (const char* file : {"mmi.typ", "0001/MAIN0001.DAT", "0001/TOOL0001.DAT", "0001/MAT0001.DAT",
                             "0001/FEED0001.DAT", "0002/TOOL0002.DAT", "0003/MAT0003.DAT"}) {
      all += std::string(file) + "\n" + TypeFile(file);
    }
    return all;
  }
};

TEST_F(Commands, InitMakesTypeZeroAndRefusesToOverwrite) {
  const ToolRun init = Tool("init");
  ASSERT_EQ(init.status, 0) << init.err;
  EXPECT_EQ(TypeFile("mmi.typ"), "0, \r\n");
  EXPECT_EQ(TypeFile("0000/MAIN0000.DAT").substr(0, 5), "[D]\r\n");
  EXPECT_NE(TypeFile("0000/TOOL0000.DAT").find("1:40.000000,"), std::string::npos) << "defaults are written";
  const ToolRun again = Tool("init");
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("--force"), std::string::npos);
  EXPECT_EQ(Tool("init --force").status, 0);
}

TEST_F(Commands, AddTakesTheLowestFreeNumberAndRefusesBadNames) {
  MakeTree();
  EXPECT_EQ(Tool("add X9 --number 7").out, "7\n");
  EXPECT_EQ(Tool("add X8").out, "4\n") << "the lowest free number";
  // A file whose name differs in letter case is found, as the service finds it.
  const std::string material = TypeFile("0003/MAT0003.DAT");
  ASSERT_EQ(std::rename(workspace_.Path("type/0003/MAT0003.DAT").c_str(),
                        workspace_.Path("type/0003/mat0003.dat").c_str()),
            0);
  EXPECT_EQ(Tool("add X7 --from 3").out, "5\n");
  EXPECT_EQ(TypeFile("0005/MAT0005.DAT"), material);
  struct Refusal {
    const char* args;
    const char* says;
  } refusals[] = {
      {"add A++B", "an empty part between the separators at bytes 2 and 3"},
      {"add +A", "starts with the separator '+'"},
      {"add A+B+C+D", "it has 4 parts; a type name has at most 3"},
      {"add ABCDEFGHIJKLMNOPQRSTUVWX", "24 bytes long; a type name has at most 23 bytes"},
      {"add \xC3\x84\xC3\x96\xC3\x9C\xC3\x84\xC3\x96\xC3\x9C\xC3\x84\xC3\x96\xC3\x9C\xC3\x84\xC3\x96\xC3\x9C",
       "24 bytes long (12 characters)"},
#ifndef _WIN32  // quoted for a POSIX shell
      {"add 'A\tB'", "a tab at byte 2"},
      {"add ' A'", "starts with a blank"},
      {"add 'A '", "ends with a blank"},
      {"add 'A\"B'", "a quotation mark at byte 2; the catalogue keeps a name between quotation marks"},
#endif
      {"add A//B", "'//' at bytes 2 and 3; the catalogue reads '//' as the start of a comment"},
      {"rename 1 T40//X", "'//' at bytes 4 and 5"},
      {"add NEW --number 2", "taken"},
      {"add NEW --number 10000", "out of range"},
      {"add STEEL+X", "part 'STEEL' is part 2"},
      {"add Q --from 99", "no type 99"},
  };
  for (const Refusal& refusal : refusals) {
    const ToolRun run = Tool(refusal.args);
    EXPECT_EQ(run.status, 1) << refusal.args;
    EXPECT_NE(run.err.find(refusal.says), std::string::npos) << refusal.args << ": " << run.err;
  }
  EXPECT_EQ(Tool("add").status, 2) << "a usage error";
  const std::string catalogue = TypeFile("mmi.typ");
  EXPECT_EQ(catalogue.find("A++B"), std::string::npos) << "nothing of a refused type is written";
}

TEST_F(Commands, ListShowsNumbersNamesPartsAndTheCurrentType) {
  MakeTree();
  ASSERT_EQ(Tool("use 2 --no-download").status, 0);
  const nlohmann::json list = nlohmann::json::parse(Tool("--json list --sort catalogue").out)["types"];
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0]["number"], 3) << "catalogue order: the newest first";
  EXPECT_EQ(list[0]["parts"], nlohmann::json({"T55", "STEEL"}));
  EXPECT_EQ(list[3]["number"], 0);
  int current = -1;
  for (const auto& type : list) {
    if (type["current"]) current = type["number"];
  }
  EXPECT_EQ(current, 2);
  const nlohmann::json sorted = nlohmann::json::parse(Tool("list --sorted --json").out)["types"];
  EXPECT_EQ(sorted[0]["number"], 0) << "the empty name sorts first";
  EXPECT_EQ(sorted[1]["name"], "T40+ALU+SLOW");
}

// A list without types says why: a catalogue may list none, but one whose
// records cannot be read, or two catalogues the service cannot choose
// between, is no empty tree.
TEST_F(Commands, ListSaysWhyItShowsNoType) {
  struct Row {
    const char* catalogue;  // the bytes of type/mmi.typ; null: a folder in its place
    const char* second;     // another catalogue's name, or null
    int status;
    const char* says;
  } rows[] = {
      {"", nullptr, 0, "mmi.typ lists no types"},
      {"// no types yet\r\n", nullptr, 0, "mmi.typ lists no types"},
      {"one\r\ntwo,\r\n", nullptr, 1, "mmi.typ: none of its 2 records can be read; 'typedata check' names"},
      {nullptr, nullptr, 2, "mmi.typ: a folder"},
#ifndef _WIN32  // Windows cannot hold two names that differ only in letter case
      {"0, \r\n", "MMI.TYP", 1, "type/mmi.typ: catalogues whose names differ only in letter case"},
#endif
  };
  ASSERT_EQ(Tool("init").status, 0);
  for (const Row& row : rows) {
    std::filesystem::remove_all(workspace_.Path("type/mmi.typ"));
    if (row.catalogue)
      td::testing::WriteFileBytes(workspace_.Path("type/mmi.typ"), row.catalogue);
    else
      std::filesystem::create_directory(workspace_.Path("type/mmi.typ"));
    if (row.second) td::testing::WriteFileBytes(workspace_.Path("type/") + row.second, row.catalogue);
    const ToolRun list = Tool("list");
    EXPECT_EQ(list.status, row.status) << row.says << ": " << list.err;
    EXPECT_NE(list.err.find(row.says), std::string::npos) << list.err;
    if (row.second) {
      EXPECT_NE(list.err.find(std::string("type/") + row.second + " and "), std::string::npos) << list.err;
      std::filesystem::remove(workspace_.Path("type/") + row.second);
    }
  }
}

TEST_F(Commands, SetSavesAndSharesThroughNameParts) {
  MakeTree();
  const ToolRun set = Tool("set 1 TOOL D:1=41.5 L:1=4.25");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_NE(set.err.find("shared with type 0002"), std::string::npos) << set.err;
  EXPECT_EQ(TypeFile("0001/TOOL0001.DAT"), TypeFile("0002/TOOL0002.DAT")) << "T40 is shared with type 2";
  EXPECT_NE(TypeFile("0001/TOOL0001.DAT"), TypeFile("0003/TOOL0003.DAT")) << "type 3 is T55";
  const nlohmann::json shown = nlohmann::json::parse(Tool("--json show 2 --config TOOL --kind L").out);
  ASSERT_FALSE(shown["items"].empty());
  EXPECT_DOUBLE_EQ(shown["items"][0]["value"].get<double>(), 4.25);

  ASSERT_EQ(Tool("set 3 MAT D:1=8.25 V:1=steel-plate").status, 0);
  EXPECT_EQ(TypeFile("0003/MAT0003.DAT"), TypeFile("0001/MAT0001.DAT")) << "STEEL is shared with type 1";
  EXPECT_NE(TypeFile("0001/MAT0001.DAT").find("1:steel-plate;"), std::string::npos);

  const std::string before = Tree();
  for (const char* bad : {"set 1 TOOL D:99=1", "set 1 NOPE D:1=1", "set 1 MAIN D:5=1", "set 1 MAIN D:3=1.5",
                          "set 1 FEED V:1=a,b", "set 1 MAIN D:1=1e300", "set 1 MAIN D:1=abc"}) {
    EXPECT_EQ(Tool(bad).status, 1) << bad;
  }
  EXPECT_EQ(Tool("set 1 MAIN D1=2").status, 2);
  // One item twice: both would be reported as set, only one saved.
  const ToolRun twice = Tool("set 1 TOOL D:1=99 D:01=40");
  EXPECT_EQ(twice.status, 2);
  EXPECT_NE(twice.err.find("'D:01=40': TOOL D:1 is given again, first at 'D:1=99'"), std::string::npos)
      << twice.err;
  EXPECT_EQ(Tree(), before) << "a refused change saves nothing";
}

TEST_F(Commands, UseDownloadsEveryConfigAndRemembersTheCurrentType) {
  MakeTree();
  const ToolRun use = Tool("use 1");
  ASSERT_EQ(use.status, 0) << use.err;
  EXPECT_NE(use.err.find("type code sent to board 130"), std::string::npos) << use.err;
  for (const char* config : {"MAIN", "TOOL", "MAT", "FEED"})
    EXPECT_NE(use.out.find(config), std::string::npos);
  EXPECT_NE(use.err.find("download [##############################] 4/4"), std::string::npos) << use.err;
  // Each step sends the config's D, S and A items in use: what the controller took, counted.
  std::map<std::string, int> inUse;
  const nlohmann::json shown = nlohmann::json::parse(Tool("--json show 1").out);
  for (const auto& item : shown["items"]) {
    const std::string kind = item["kind"].get<std::string>();
    if (item["inUse"].get<bool>() && (kind == "D" || kind == "S" || kind == "A"))
      ++inUse[item["config"].get<std::string>()];
  }
  // With --json the progress is JSON lines on stderr; stdout keeps its one document.
  const ToolRun json = Tool("--json use 1");
  EXPECT_NE(json.err.find("{\"progress\":\"download\",\"done\":4,\"total\":4}\n"), std::string::npos)
      << json.err;
  const nlohmann::json steps = nlohmann::json::parse(json.out)["steps"];
  ASSERT_EQ(steps.size(), 4u);
  for (const auto& step : steps) {
    EXPECT_GT(step["itemsSent"].get<int>(), 0) << step;
    EXPECT_EQ(step["itemsSent"].get<int>(), inUse[step["config"].get<std::string>()]) << step;
  }
  EXPECT_NE(td::testing::ReadFileBytes(workspace_.Path(".typedata-state")).find("\"current\":1"),
            std::string::npos);
  EXPECT_EQ(Tool("use 42").status, 1);
}

TEST_F(Commands, DiffTellsEqualFromDifferent) {
  MakeTree();
  EXPECT_EQ(Tool("diff 1 2").status, 0) << "copies of type 0 hold the same values";
  ASSERT_EQ(Tool("set 1 MAIN D:3=99").status, 0);
  const ToolRun diff = Tool("--json diff 1 2");
  EXPECT_EQ(diff.status, 1);
  const nlohmann::json differences = nlohmann::json::parse(diff.out)["differences"];
  ASSERT_EQ(differences.size(), 1u);
  EXPECT_EQ(differences[0]["config"], "MAIN");
  EXPECT_EQ(differences[0]["item"], 3);
  EXPECT_TRUE(differences[0]["first"].is_number_integer()) << "an integer item's value is an integer";
  EXPECT_EQ(differences[0]["first"], 99);
}

TEST_F(Commands, RenamePullsTheSharedConfigsOfTheNewParts) {
  MakeTree();
  ASSERT_EQ(Tool("set 3 MAT D:1=9.5").status, 0);  // STEEL's MAT, also type 1's
  ASSERT_EQ(Tool("set 2 TOOL D:2=1.25").status, 0);
  const ToolRun rename = Tool("rename 2 T40+STEEL+SLOW");
  ASSERT_EQ(rename.status, 0) << rename.err;
  EXPECT_NE(rename.err.find("shared config MAT (part 2 'STEEL') taken from type "), std::string::npos)
      << rename.err;
  EXPECT_EQ(rename.err.find("mmi.typ"), std::string::npos)
      << "the catalogue is no shared config: " << rename.err;
  EXPECT_EQ(TypeFile("0002/MAT0002.DAT"), TypeFile("0003/MAT0003.DAT")) << "STEEL's MAT pulled in";
  EXPECT_NE(TypeFile("mmi.typ").find("2,\"T40+STEEL+SLOW\""), std::string::npos);
  EXPECT_EQ(Tool("rename 2 T55").status, 0) << "T55 stands at the same position in type 3";
  EXPECT_EQ(Tool("rename 2 STEEL").status, 1) << "STEEL is part 2 of types 1 and 3";
  EXPECT_EQ(Tool("rename 9 X").status, 1);
}

TEST_F(Commands, ExportThenImportChangesNoByte) {
  MakeTree();
  ASSERT_EQ(Tool("set 1 TOOL D:1=41.5 'V:1=die \"A\"'").status, 0);
  for (const char* format : {"json", "csv"}) {
    const std::string before = Tree();
    const ToolRun exported = Tool(std::string("export 1 --format ") + format);
    ASSERT_EQ(exported.status, 0) << exported.err;
    td::testing::WriteFileBytes(workspace_.Path("export"), exported.out);
    const ToolRun imported = Tool("import 1 " + workspace_.Path("export"));
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(Tree(), before) << format;
  }
  // An export of type 1 imported into type 3 makes them hold the same values.
  td::testing::WriteFileBytes(workspace_.Path("export"), Tool("export 1").out);
  ASSERT_EQ(Tool("import 3 " + workspace_.Path("export")).status, 0);
  EXPECT_EQ(Tool("diff 1 3").status, 0);
}

// A machine whose items have labels, units and limits: every change keeps
// to the limits, naming the one it would break, and saves nothing then.
TEST_F(Commands, LimitsOfTheMachineAreShownAndKept) {
  td::testing::WriteFileBytes(workspace_.Path("press.machine"), mmisim::LabelledSampleMachineText());
  ASSERT_EQ(Tool("--machine " + workspace_.Path("press.machine") + " init").status, 0);
  ASSERT_EQ(Tool("add T40+STEEL+FAST").out, "1\n");
  const nlohmann::json shown = nlohmann::json::parse(Tool("--json show 1 --config MAIN --kind D").out);
  const nlohmann::json& strokes = shown["items"][2];
  EXPECT_EQ(strokes["label"], "Strokes per minute");
  EXPECT_EQ(strokes["unit"], "1/min");
  EXPECT_TRUE(strokes["min"].is_number_integer() && strokes["min"] == 10) << strokes;
  EXPECT_TRUE(strokes["max"].is_number_integer() && strokes["max"] == 200) << strokes;
  EXPECT_FALSE(shown["items"][4].contains("label")) << "an item without one has none";

  const std::string before = Tree();
  const ToolRun over = Tool("set 1 MAIN D:3=250");
  EXPECT_EQ(over.status, 1);
  EXPECT_NE(over.err.find("MAIN D:3 (Strokes per minute): 250 is above its maximum 200 1/min"),
            std::string::npos)
      << over.err;
  const ToolRun under = Tool("set 1 MAT D:1=0.25");
  EXPECT_NE(under.err.find("MAT D:1 (Density): 0.25 is below its minimum 0.5 g/cm3"), std::string::npos)
      << under.err;
  td::testing::WriteFileBytes(workspace_.Path("over.csv"),
                              "config,kind,item,value\nMAIN,D,1,20\nMAIN,D,3,201\n");
  const ToolRun csv = Tool("import 1 " + workspace_.Path("over.csv"));
  EXPECT_EQ(csv.status, 1);
  EXPECT_NE(csv.err.find("line 3: MAIN D:3 (Strokes per minute): 201 is above its maximum 200"),
            std::string::npos)
      << csv.err;
  td::testing::WriteFileBytes(workspace_.Path("over.json"),
                              R"({"configs":[{"config":"FEED","D":{"1":900.5}}]})");
  const ToolRun json = Tool("import 1 " + workspace_.Path("over.json"));
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.err.find("FEED D:1 (Feed rate): 900.5 is above its maximum 900 mm/min"), std::string::npos)
      << json.err;
  EXPECT_EQ(Tree(), before) << "a value outside its limits saves nothing";
  EXPECT_EQ(Tool("set 1 MAIN D:3=200 D:1=0").status, 0) << "the limits themselves are within";

  // The export carries them, and imports again unchanged.
  const ToolRun exported = Tool("export 1 --format json");
  const nlohmann::json document = nlohmann::json::parse(exported.out);
  ASSERT_TRUE(document.contains("items")) << exported.out;
  EXPECT_EQ(document["items"][0],
            nlohmann::json::parse(R"({"config":"MAIN","kind":"D","item":1,"label":"Stroke","unit":"mm",)"
                                  R"("min":0.0,"max":250.0})"));
  td::testing::WriteFileBytes(workspace_.Path("t1.json"), exported.out);
  const std::string saved = Tree();
  EXPECT_EQ(Tool("import 1 " + workspace_.Path("t1.json")).status, 0);
  EXPECT_EQ(Tree(), saved);
}

TEST_F(Commands, HelpAndUsageErrors) {
  const ToolRun help = Tool("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Examples:"), std::string::npos);
  EXPECT_EQ(Tool("show --help").status, 0);
  EXPECT_EQ(Tool("frobnicate").status, 2);
  EXPECT_EQ(Tool("list").status, 2) << "no catalogue yet";
  EXPECT_FALSE(td::testing::FileExists(workspace_.Path("type")))
      << "no type folder (nor lock) where no tree is";
  EXPECT_FALSE(td::testing::FileExists(workspace_.Path(".typedata-lock"))) << "no lock file where no tree is";
  EXPECT_EQ(Tool("show 1 --kind X").status, 2);
}

}  // namespace
