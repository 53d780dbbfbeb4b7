// The tool's conventions: one typed JSON document per command, as
// docs/json.md shows them; errors that say why; the command line's habits.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "tool_runner.h"

namespace {

using nlohmann::json;
using td::testing::ToolRun;

class Conventions : public td::testing::ToolTest {
 protected:
  // Types 1 T40+STEEL+FAST, 2 T40+ALU+SLOW, 3 T55+STEEL.
  void MakeTree(const std::string& init = "init") {
    ASSERT_EQ(Tool(init).status, 0);
    for (const char* name : {"T40+STEEL+FAST", "T40+ALU+SLOW", "T55+STEEL"})
      ASSERT_EQ(Tool("add " + std::string(name)).status, 0);
  }
};

// The document of a run: all of stdout, one JSON value.
json DocumentOf(const ToolRun& run, const std::string& args) {
  json document = json::parse(run.out, nullptr, /*allow_exceptions=*/false);
  EXPECT_FALSE(document.is_discarded()) << args << " printed no JSON document:\n" << run.out << run.err;
  return document;
}

// A document's shape: member names and value types, arrays by their first
// element, objects keyed by item numbers by their first value.
json Shape(const json& value) {
  if (value.is_object()) {
    const bool byItem =
        !value.empty() && std::all_of(value.items().begin(), value.items().end(), [](const auto& m) {
          return !m.key().empty() && m.key().find_first_not_of("0123456789") == std::string::npos;
        });
    if (byItem) return json{{"<item>", Shape(value.begin().value())}};
    json shape = json::object();
    for (const auto& [key, member] : value.items()) shape[key] = Shape(member);
    return shape;
  }
  if (value.is_array()) return value.empty() ? json::array() : json::array({Shape(value[0])});
  // An item's value is an integer or not by its item: checked elsewhere.
  if (value.is_number()) return "number";
  return value.type_name();
}

// Whether two shapes agree where both say something (an empty array says nothing).
bool SameShape(const json& a, const json& b) {
  if (a.is_array() && b.is_array()) return a.empty() || b.empty() || SameShape(a[0], b[0]);
  if (a.is_object() && b.is_object()) {
    if (a.size() != b.size()) return false;
    for (const auto& [key, member] : a.items()) {
      if (!b.contains(key) || !SameShape(member, b[key])) return false;
    }
    return true;
  }
  return a == b;
}

TEST_F(Conventions, EveryCommandPrintsOneTypedDocumentAsDocumented) {
  struct Row {
    const char* args;
    const char* command;
    int status;
  } rows[] = {
      {"init", "init", 0},
      {"add T40+STEEL+FAST", "add", 0},
      {"add T40+ALU+SLOW", "add", 0},
      {"add T55+STEEL", "add", 0},
      {"release v1 --reason approved", "release", 0},
      {"list --sorted", "list", 0},
      {"set 3 MAT D:1=9.5", "set", 0},  // STEEL's MAT, which the rename pulls
      {"rename 2 T40+STEEL+SLOW", "rename", 0},
      {"use 1", "use", 0},
      {"use 2 --no-download", "use", 0},
      {"show 1 --config TOOL --kind L", "show", 0},
      {"set 1 MAIN D:3=99 L:1=2.5", "set", 0},
      {"diff 1 2", "diff", 1},
      {"check", "check", 0},
      {"export 1", "export", 0},
      {"import 2 export.json", "import", 0},
      {"restore 1 --at v1 --config MAIN --reason trial", "restore", 0},  // the set's two values
      {"history verify", "history verify", 0},
      {"infer", "infer", 0},
      {"recover", "recover", 0},  // after the catalogue is lost
      {"demo", "demo", 0},
  };
  std::map<std::string, json> documents;
  for (const Row& row : rows) {
    // The global option after the command, as people type it.
    std::string args = std::string(row.args) + " --json";
    const std::string command = row.command;
    if (command == "import") args = "import 2 " + workspace_.Path("export.json") + " --json";
    if (command == "recover") std::remove(workspace_.Path("type/mmi.typ").c_str());
    if (command == "demo") args = "demo " + workspace_.Path("demo") + " --json";
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.status, row.status) << args << ": " << run.err;
    const json document = DocumentOf(run, args);
    EXPECT_EQ(document["schemaVersion"], 1) << args;
    EXPECT_EQ(document["command"], row.command) << args;
    documents[row.command] = document;
    if (std::string(row.command) == "export")
      td::testing::WriteFileBytes(workspace_.Path("export.json"), run.out);
  }

  // Numbers typed: an integer item's value is an integer, a real item's a number.
  const json& set = documents["set"]["changes"];
  ASSERT_EQ(set.size(), 2u);
  EXPECT_TRUE(set[0]["value"].is_number_integer()) << set;
  EXPECT_TRUE(set[1]["value"].is_number_float()) << set;
  const json& difference = documents["diff"]["differences"][0];
  EXPECT_EQ(difference["first"], 99);
  EXPECT_TRUE(difference["first"].is_number_integer()) << "not \"99\" or 99.0: " << difference;
  EXPECT_EQ(documents["import"]["changed"].size(), 2u) << "type 2 took the two values set on type 1";

  // A failing command's document, with a file and a line.
  td::testing::WriteFileBytes(workspace_.Path("twice.csv"),
                              "config,kind,item,value\nTOOL,D,1,9\nTOOL,D,1,9\n");
  documents["failure"] = DocumentOf(Tool("import 1 " + workspace_.Path("twice.csv") + " --json"), "import");

#ifndef _WIN32  // the docs by their POSIX path
  // Each example of docs/json.md parses and has the shape of the tool's document.
  std::ifstream file(std::string(TD_DOCS_DIR) + "/json.md");
  ASSERT_TRUE(file) << "docs/json.md";
  std::stringstream text;
  text << file.rdbuf();
  const std::string docs = text.str();
  std::map<std::string, bool> documented;
  for (std::size_t at = docs.find("```json\n"); at != std::string::npos; at = docs.find("```json\n", at)) {
    at += 8;
    const std::size_t end = docs.find("```", at);
    const json example = json::parse(docs.substr(at, end - at), nullptr, /*allow_exceptions=*/false);
    ASSERT_FALSE(example.is_discarded()) << "an example of docs/json.md does not parse:\n"
                                         << docs.substr(at, end - at);
    // An error document shows a failed command's name.
    const bool error = example.contains("error") && example["error"].is_object();
    const std::string command = error ? "failure" : example.value("command", "");
    EXPECT_EQ(example.value("schemaVersion", 0), 1) << example;
    // The browser interface's own documents are its tests' to check.
    if (!documents.count(command)) continue;
    EXPECT_TRUE(SameShape(Shape(example), Shape(documents[command])))
        << "docs/json.md's " << command << " document differs from the tool's:\n"
        << Shape(example) << "\n"
        << Shape(documents[command]);
    documented[command] = true;
  }
  for (const auto& [command, document] : documents)
    EXPECT_TRUE(documented[command]) << "docs/json.md shows no " << command << " document";
#endif
}

TEST_F(Conventions, ItemsComeInNumericOrder) {
  td::testing::WriteFileBytes(workspace_.Path("press.machine"),
                              "config 1 prefix BIG\n  items D 12\n  item D 1-12 I 7\n  items V 11\n");
  ASSERT_EQ(Tool("--machine " + workspace_.Path("press.machine") + " init").status, 0);
  const ToolRun run = Tool("export 0 --json");
  const nlohmann::ordered_json document = nlohmann::ordered_json::parse(run.out);
  const auto& config = document["configs"][0];
  for (const char* kind : {"D", "V"}) {
    int expected = 0;
    for (const auto& [item, value] : config[kind].items())
      EXPECT_EQ(item, std::to_string(++expected)) << kind;
    EXPECT_GE(expected, 11) << kind;
  }
  EXPECT_TRUE(config["D"]["10"].is_number_integer());
}

TEST_F(Conventions, ErrorsSayWhy) {
  MakeTree();
  td::testing::WriteFileBytes(workspace_.Path("null.json"),
                              R"({"schemaVersion": 1, "configs": [{"config": "TOOL", "D": {"1": null}}]})");
  // One item twice, the second time with the value it holds: only one is saved.
  td::testing::WriteFileBytes(workspace_.Path("twice.csv"),
                              "config,kind,item,value\nTOOL,D,1,99\nTOOL,D,1,40\n");
  td::testing::WriteFileBytes(workspace_.Path("twice.json"),
                              R"({"configs": [{"config": "TOOL", "D": {"1": 99, "1": 40}}]})");
  td::testing::WriteFileBytes(
      workspace_.Path("again.json"),
      R"({"configs": [{"config": "TOOL", "D": {"1": 99}}, {"config": "TOOL", "D": {"1": 40}}]})");
  td::testing::WriteFileBytes(workspace_.Path("empty.csv"), "\r\n");
  std::filesystem::create_directory(workspace_.Path("afolder"));
  // Each row twice: as said on stderr (once), and with --json as the error
  // document on stdout, with the same exit status.
  struct Row {
    const char* args;
    int status;
    const char* says;
    const char* kind = nullptr;  // the document's; by the status when null
    const char* file = nullptr;  // the document's file ends so, when not null
    int line = 0;                // and its line, when not 0
  } rows[] = {
      {"frob", 2, "unknown command 'frob'; the commands are:\n  demo ", "usage"},
      {"--json", 2, "no command given; the commands are:", "usage"},
      {"lst", 2, "typedata: unknown command 'lst'; did you mean 'list'?", "usage"},
      {"shwo 1", 2, "did you mean 'show'?", "usage"},
      {"add", 2, "typedata: add: NAME is required\n(typedata help add tells more)", "usage"},
      {"export 1 --format xml", 2, "typedata: export: --format: ", "usage"},
      {"add Y --from 77", 1, "no type 77"},
      {"show 77", 1, "no type 77"},
      {"show 1 --config NOPE", 1, "type 1 has no config 'NOPE'; its configs: MAIN, TOOL, MAT, FEED"},
      {"show 1 --config TOOL --kind A", 1, "config TOOL has no A items; it has D, S, L, V"},
      {"set 1 MAIN D:1=0x10", 1, "MAIN D:1: '0x10' is not a number as type data files write it"},
      {"set 1 MAIN D:1=1e3", 1, "'1e3' is not a number as type data files write it"},
      {"set 1 MAIN D:1=+5", 1, "'+5' is not a number as type data files write it"},
      {"set 1 TOOL D:1=1.23456789 --strict", 1,
       "TOOL D:1: 1.23456789 would be stored as 1.23; --strict refuses"},
      {"import 1 nowhere.csv", 2, "nowhere.csv: cannot be read: ", nullptr, "/nowhere.csv"},
      {"import 1 null.json", 2, "TOOL D:1 is null", nullptr, "/null.json"},
      {"import 1 twice.csv", 2, "twice.csv:3: TOOL D:1 is given again, first at ", nullptr, "/twice.csv", 3},
      {"import 1 twice.json", 2, "twice.json: configs[0].D.\"1\" is given twice in one object", nullptr,
       "/twice.json"},
      {"import 1 again.json", 2, "again.json: configs[1].D.\"1\": TOOL D:1 is given again, first at ",
       nullptr, "/again.json"},
      {"import 1 empty.csv", 2, "empty.csv: the file is empty", nullptr, "/empty.csv"},
      {"import 1 afolder", 2, "afolder: ", nullptr, "/afolder"},
      // A path that begins with '/' is an argument on Windows too, not an option.
      {"import 1 /no-such-export.csv", 2, "/no-such-export.csv: cannot be read: ", nullptr,
       "/no-such-export.csv"},
      {"set 1 TOOL D:1=99 D:1=40", 2, "'D:1=40': TOOL D:1 is given again, first at 'D:1=99'"},
  };
  const std::string before = TypeFile("0001/TOOL0001.DAT") + TypeFile("0001/MAIN0001.DAT");
  for (const Row& row : rows) {
    std::string args = row.args;
    for (const char* file :
         {"null.json", "nowhere.csv", "twice.csv", "twice.json", "again.json", "empty.csv", "afolder"}) {
      if (const std::size_t at = args.find(file); at != std::string::npos)
        args.replace(at, 0, workspace_.root() + "/");
    }
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.status, row.status) << args << ": " << run.err;
    const std::size_t said = run.err.find(row.says);
    EXPECT_NE(said, std::string::npos) << args << ": " << run.err;
    EXPECT_EQ(run.err.find(row.says, said + 1), std::string::npos) << args << " says it twice: " << run.err;
    EXPECT_EQ(run.err.find("exception"), std::string::npos) << args << ": " << run.err;

    const ToolRun json = Tool(args + " --json");
    EXPECT_EQ(json.status, row.status) << args << " --json: " << json.err;
    const nlohmann::json document = DocumentOf(json, args + " --json");
    const nlohmann::json& error = document["error"];
    EXPECT_EQ(document["schemaVersion"], 1) << args;
    const std::string word = args.substr(0, args.find(' '));
    if (row.kind && std::string(row.kind) == "usage" && word != "add" && word != "export")
      EXPECT_TRUE(document["command"].is_null()) << args << ": " << document;
    else
      EXPECT_EQ(document["command"], word) << args << ": " << document;
    EXPECT_EQ(error["kind"], row.kind ? row.kind : row.status == 1 ? "refused" : "failed") << args;
    const std::string firstLine = std::string(row.says).substr(0, std::string(row.says).find('\n'));
    const std::string unprefixed = firstLine.rfind("typedata: ", 0) == 0 ? firstLine.substr(10) : firstLine;
    EXPECT_NE(error.value("message", "").find(unprefixed), std::string::npos) << args << ": " << document;
    if (row.file) {
      const std::string file = error.value("file", "");
      EXPECT_TRUE(file.size() >= std::strlen(row.file) &&
                  file.compare(file.size() - std::strlen(row.file), std::string::npos, row.file) == 0)
          << args << ": " << document;
    } else {
      EXPECT_FALSE(error.contains("file")) << args << ": " << document;
    }
    if (row.line) {
      EXPECT_EQ(error["line"], row.line) << args << ": " << document;
    }
  }
  EXPECT_EQ(TypeFile("0001/TOOL0001.DAT") + TypeFile("0001/MAIN0001.DAT"), before)
      << "a refusal saves nothing";

  const ToolRun same = Tool("rename 3 T40+STEEL+FAST");
  EXPECT_EQ(same.status, 0) << "a name another type has is allowed";
  EXPECT_NE(same.err.find("warning: type 0001 is named 'T40+STEEL+FAST' too"), std::string::npos) << same.err;
}

TEST_F(Conventions, RoundedValuesAreReportedWithTheStoredValue) {
  MakeTree();
  const ToolRun set = Tool("set 1 TOOL D:1=1.23456789 L:1=1.1234567 D:2=16");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_NE(set.err.find("TOOL D:1: 1.23456789 is stored as 1.23 (what the controller holds)"),
            std::string::npos)
      << set.err;
  EXPECT_NE(set.err.find("TOOL L:1: 1.1234567 is stored as 1.123457 (a type data file keeps six decimals)"),
            std::string::npos)
      << set.err;
  EXPECT_EQ(set.err.find("D:2"), std::string::npos) << "a value held exactly is not reported";
  EXPECT_NE(TypeFile("0001/TOOL0001.DAT").find("1:1.230000,"), std::string::npos)
      << TypeFile("0001/TOOL0001.DAT");
}

TEST_F(Conventions, ACsvWithAByteOrderMarkIsRead) {
  MakeTree();
  const std::string exported = Tool("export 1 --format csv").out;
  // A byte order mark, and the line ends of every spreadsheet's CSV: CR
  // alone (older ones), CR LF, LF; each changes MAIN D:3 and TOOL D:2.
  struct Row {
    const char* start;
    const char* end;
    int value;
  } rows[] = {{"\xEF\xBB\xBF", "\n", 42}, {"", "\r", 43}, {"\xEF\xBB\xBF", "\r", 44}, {"", "\r\n", 45}};
  for (const Row& row : rows) {
    std::string csv = exported;
    for (const char* item : {"MAIN,D,3,", "TOOL,D,2,"}) {
      const std::size_t at = csv.find(item);
      ASSERT_NE(at, std::string::npos) << csv;
      csv.replace(at, csv.find('\n', at) - at, item + std::to_string(row.value));
    }
    std::string ends;
    for (char c : csv) ends += c == '\n' ? std::string(row.end) : std::string(1, c);
    td::testing::WriteFileBytes(workspace_.Path("bom.csv"), row.start + ends);
    const ToolRun imported = Tool("import 1 " + workspace_.Path("bom.csv"));
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.err.find("2 values changed"), std::string::npos) << row.value << ": " << imported.err;
    EXPECT_NE(TypeFile("0001/MAIN0001.DAT").find("3:" + std::to_string(row.value) + ","), std::string::npos)
        << TypeFile("0001/MAIN0001.DAT");
  }
}

#ifndef _WIN32  // names and arguments quoted for a POSIX shell; docs read by their POSIX path
TEST_F(Conventions, TablesAlignByDisplayWidth) {
  ASSERT_EQ(Tool("init").status, 0);
  // Four columns each: ASCII, UTF-8 wide characters, and the same two
  // characters in a double-byte code page (Shift JIS), a column a byte.
  const std::string names[] = {"ABCD", "\xE5\x9E\x8B\xE5\xBC\x8F", "\x8C\x5E\x8E\xAE"};
  for (const std::string& name : names) ASSERT_EQ(Tool("add '" + name + "'").status, 0) << name;
  const std::string list = Tool("list").out;
  std::vector<std::size_t> gaps;
  for (const std::string& name : names) {
    const std::size_t at = list.find("  " + name + " ");
    ASSERT_NE(at, std::string::npos) << list;
    const std::size_t after = at + 2 + name.size();
    gaps.push_back(list.find_first_not_of(' ', after) - after);
  }
  EXPECT_EQ(gaps[1], gaps[0]) << list;
  EXPECT_EQ(gaps[2], gaps[0]) << list;
}

// Names, file names and texts of a hostile tree reach a terminal with their
// control characters escaped: an escape sequence in a catalogue name, a
// file name or a text, a C1 control and a right-to-left override in a name
// the tool takes.
TEST_F(Conventions, TextFromTheTreeReachesTheTerminalEscaped) {
  MakeTree();
  ASSERT_EQ(Tool("add 'C1\xC2\x9B+RTL\xE2\x80\xAE'").status, 0);
  ASSERT_EQ(Tool("set 1 MAT V:1=plate").status, 0);
  const std::string material = workspace_.Path("type/0001/MAT0001.DAT");
  std::string bytes = td::testing::ReadFileBytes(material);
  ASSERT_NE(bytes.find("plate"), std::string::npos) << bytes;
  bytes.replace(bytes.find("plate"), 5, "\x1B[2Jplate");
  td::testing::WriteFileBytes(material, bytes);
  td::testing::WriteFileBytes(workspace_.Path("type/0001/X\x1B]0;TITLE\x07"
                                              "0001.DAT"),
                              "[D]\r\n");
  td::testing::WriteFileBytes(workspace_.Path("type/mmi.typ"),
                              TypeFile("mmi.typ") + "7,\"\x1B]0;PWNED\x07\"\r\n8,\"Q+\x1B]0;PWNED\x07\"\r\n");
  struct Row {
    const char* args;
    const char* shows;  // escaped, where the command prints it
  } rows[] = {
      {"list", "\\x1B]0;PWNED\\x07"},
      {"list", "C1\\x9B+RTL\\u202E"},
      {"show 1 --config MAT --kind V", "\\x1B[2Jplate"},
      {"diff 1 2", "\\x1B[2Jplate"},
      {"check", "type 7: the name holds the control character 0x1B"},
      {"infer", "X\\x1B]0;TITLE\\x07"},
      {"infer", "'\\x1B]0;PWNED\\x07' stands at parts 1 and 2"},
      {"rename 7 SEVEN", "Renamed type 0007 '\\x1B]0;PWNED\\x07' to 'SEVEN'"},
  };
  for (const Row& row : rows) {
    const ToolRun run = Tool(row.args);
    const std::string all = run.out + run.err;
    EXPECT_NE(all.find(row.shows), std::string::npos) << row.args << ":\n" << all;
    for (const char* raw : {"\x1B", "\x07", "\xC2\x9B", "\xE2\x80\xAE"})
      EXPECT_EQ(all.find(raw), std::string::npos) << row.args << " printed a control character:\n" << all;
  }
  // Into a file an export stays exact.
  EXPECT_NE(Tool("export 1 --format csv").out.find("MAT,V,1,\x1B[2Jplate"), std::string::npos);
}

TEST_F(Conventions, AFailedSaveNamesTheFileAndTheSystemsReason) {
  // Without a history, whose entry could not be begun either: the save itself fails.
  MakeTree("init --no-history");
  const std::string before = TypeFile("0001/MAIN0001.DAT");
  const ToolRun set = ToolWhereFilesCannotGrow("set 1 MAIN D:3=99");
  EXPECT_EQ(set.status, 2) << "an input/output error: " << set.err;
  EXPECT_NE(set.err.find("type 1 could not be saved: type/0001/MAIN0001.DAT: File too large"),
            std::string::npos)
      << set.err;
  EXPECT_EQ(set.err.find("set."), std::string::npos) << "no success is claimed: " << set.err;
  EXPECT_EQ(TypeFile("0001/MAIN0001.DAT"), before);

  const ToolRun add = ToolWhereFilesCannotGrow("add NEW");
  EXPECT_EQ(add.status, 2) << add.err;
  EXPECT_NE(add.err.find("could not be copied to type 4: File too large; nothing was added"),
            std::string::npos)
      << add.err;
  EXPECT_EQ(TypeFile("mmi.typ").find("NEW"), std::string::npos);
}

TEST_F(Conventions, CommandLineHabits) {
  MakeTree();
  const ToolRun list = ToolRootLast("list --json");
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(DocumentOf(list, "list --json --root")["types"].size(), 4u);
  const ToolRun version = Tool("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("typedata ", 0), 0u) << version.out;
  EXPECT_NE(version.out.find_first_of("0123456789"), std::string::npos) << version.out;

  // What a command line prints on stdout: matches `shows`, never `shuns`.
  // The catalogue holds the types newest first (3, 2, 1, 0).
  const char* const kPlaceholders = R"(\bTEXT\b|\bINT\b|:FILE|:\{|REQUIRED)";
  struct Row {
    const char* args;
    int status;
    const char* shows;
    const char* shuns = nullptr;
  } rows[] = {
      {"list", 0, "\n0000 [^\n]*\n0001 [^\n]*\n0002 [^\n]*\n0003 "},
      {"list --sort number --json", 0, R"("order": "number",\s+"types": \[\s+\{\s+"number": 0,)"},
      {"list --sort catalogue", 0, "\n0003 [^\n]*\n0002 [^\n]*\n0001 [^\n]*\n0000 "},
      {"list --sort name --json", 0, R"("order": "name")"},
      {"--help", 0, "docs/glossary.md", kPlaceholders},
      {"--help", 0, "\nExit status:\n  0  [^\n]*\n  1  [^\n]*\n(     [^\n]*\n)*  2  "},
      {"--help", 0, "\nEnvironment:\n  NO_COLOR  "},
      {"--help", 0, "\nFiles:\n  ROOT/type/mmi.typ  "},
      {"help", 0, "\nSubcommands:\n"},
      {"help show", 0, "^every item of a type[\\s\\S]*Usage: typedata show "},
      {"help show", 0, "\nExamples:\n  typedata --root press show 1 --config TOOL --kind D\n"},
      {"show --help", 0, "\nGlobal options [\\s\\S]*\n  --root DIR  [\\s\\S]*\n  --json  ", kPlaceholders},
      {"export --help", 0, "--format json\\|csv  ", kPlaceholders},
      {"infer --help", 0, "-o,--output FILE  ", kPlaceholders},
      {"recover --help", 0, "\nExamples:\n  typedata --root press recover", kPlaceholders},
      {"help lst", 2, "^$"},
      {"show 1 --config TOOL --kind d", 0, "\nTOOL +D \\(controller\\) +1 ", "\nTOOL +[SALV] "},
  };
  for (const Row& row : rows) {
    const ToolRun run = Tool(row.args);
    EXPECT_EQ(run.status, row.status) << row.args << ": " << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex(row.shows)))
        << row.args << " shows no " << row.shows << ":\n"
        << run.out;
    if (row.shuns) {
      EXPECT_FALSE(std::regex_search(run.out, std::regex(row.shuns))) << row.args << ":\n" << run.out;
    }
  }

#ifndef _WIN32  // bash
  // The bash completion, as bash runs it: the words typed so far, the last
  // one being completed; what it offers.
  const std::string script = workspace_.Path("completion.bash");
  td::testing::WriteFileBytes(script, Tool("--bash-completion").out);
  const std::string completion = td::testing::ReadFileBytes(script);
  EXPECT_NE(completion.find("complete -F _typedata typedata"), std::string::npos);
  for (const char* word : {"rename", "--no-download", "--sorted", "--strict"})
    EXPECT_NE(completion.find(word), std::string::npos) << word;
  td::testing::WriteFileBytes(workspace_.Path("machine-notes.txt"), "");
  struct Completion {
    const char* typed;
    const char* offers;  // exactly, one word after another
  } completions[] = {
      {"typedata li", "list"},
      {"typedata help re", "rename recover restore release"},
      {"typedata --root ROOT show ", "0 1 2 3"},
      {"typedata --root ROOT diff 1 ", "0 1 2 3"},
      {"typedata --root ROOT add X --from 2", "2"},
      {"typedata --root ROOT set 3 M", "MAIN MAT"},
      {"typedata --root ROOT show 1 --config F", "FEED"},
      {"typedata --root ROOT show 1 --kind ", "D S A L V"},
      {"typedata --root ROOT list --sort ", "number name catalogue"},
      {"typedata --root ROOT infer -o ROOT/machine-n", "ROOT/machine-notes.txt"},
      {"typedata --root ROOT import 1 ROOT/machine-n", "ROOT/machine-notes.txt"},
      {"typedata --root ROOT rename 1 ", ""},
      {"typedata show --no", ""},
      {"typedata use --no", "--no-download"},
  };
  for (const Completion& row : completions) {
    std::string typed = row.typed;
    std::string offers = row.offers;
    for (std::string* text : {&typed, &offers}) {
      for (std::size_t at; (at = text->find("ROOT")) != std::string::npos;)
        text->replace(at, 4, workspace_.root());
    }
    if (typed.back() == ' ') typed += "\"\"";
    const ToolRun run =
        Shell("bash -c 'source " + script + "; COMP_WORDS=(" + typed +
              "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _typedata; echo ${COMPREPLY[*]}' 2>&1");
    EXPECT_EQ(run.err, offers + "\n") << row.typed;
  }
#endif
}

TEST_F(Conventions, TheReadmesCommandTableListsTheToolsCommands) {
  std::set<std::string> listed;  // what --help lists
  const std::string help = Tool("--help").out;
  std::istringstream lines(help.substr(help.find("Subcommands:")));
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line) && line.rfind("  ", 0) == 0)
    listed.insert(line.substr(2, line.find(' ', 2) - 2));
  std::ifstream file(std::string(TD_DOCS_DIR) + "/../README.md");
  std::set<std::string> documented;  // the first word of each row of the command table
  while (std::getline(file, line)) {
    if (line.rfind("| `", 0) == 0) documented.insert(line.substr(3, line.find_first_of(" `", 3) - 3));
  }
  EXPECT_GE(listed.size(), 12u) << help;
  EXPECT_EQ(documented, listed);
}
#endif

}  // namespace
