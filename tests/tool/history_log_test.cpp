// The history read at the level of values: log, show --at and diff @, on
// one tree whose entries hold a shared config's push, a release, a hand
// edit and another user's change. Each row is a command and what it says,
// summed up a line an entry (log) or an item (show, diff).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "tool_runner.h"

namespace {

std::string Text(const nlohmann::json& value) {
  return value.is_null() ? "none" : value.is_string() ? value.get<std::string>() : value.dump();
}

// log: "command|user|reason|checkedBy|outside|interrupted: type config kind:item old>new, ..." a line each.
std::string LogSummary(const nlohmann::json& document) {
  std::string summary;
  if (!document.contains("entries")) return summary;
  for (const nlohmann::json& entry : document["entries"]) {
    summary += Text(entry["command"]) + "|" + Text(entry["user"]) + "|" + Text(entry["reason"]) + "|" +
               Text(entry["checkedBy"]) + "|" + (entry["outside"].get<bool>() ? "outside" : "") + "|" +
               (entry["interrupted"].get<bool>() ? "interrupted" : "") + ":";
    for (const nlohmann::json& change : entry["changes"]) {
      summary += " " + Text(change["type"]) + " " + Text(change["config"]) + " " + Text(change["kind"]) +
                 ":" + Text(change["item"]) + " " + Text(change["old"]) + ">" + Text(change["new"]);
    }
    summary += "\n";
  }
  return summary;
}

// show: "config kind:item=value" an item each; diff: "config kind:item first|second".
std::string ItemsSummary(const nlohmann::json& document) {
  std::string summary;
  if (document.contains("items")) {
    for (const nlohmann::json& item : document["items"])
      summary += Text(item["config"]) + " " + Text(item["kind"]) + ":" + Text(item["item"]) + "=" +
                 Text(item["value"]) + "\n";
  }
  if (document.contains("differences")) {
    for (const nlohmann::json& d : document["differences"])
      summary += Text(d["config"]) + " " + Text(d["kind"]) + ":" + Text(d["item"]) + " " + Text(d["first"]) +
                 "|" + Text(d["second"]) + "\n";
  }
  return summary;
}

class HistoryLog : public td::testing::ToolTest {};

TEST_F(HistoryLog, ValuesOldAndNewAsEachEntryKeptThem) {
  for (const char* step : {"init", "add T40+STEEL", "add T40+ALU",
                           "set 1 TOOL D:1=41.5 --reason 'worn tool' --checked-by bob", "release v1"}) {
    ASSERT_EQ(Tool(std::string("--user alice ") + step).status, 0) << step;
  }
  // By hand, behind the tool's back: type 1's MAIN D:1 from 12.5 to 13.
  const std::string main = workspace_.Path("type/0001/MAIN0001.DAT");
  std::string bytes = td::testing::ReadFileBytes(main);
  const std::size_t at = bytes.find("\n1:12.500000");
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, 12, "\n1:13.000000");
  td::testing::WriteFileBytes(main, bytes);
  ASSERT_EQ(Tool("--user carol set 2 MAIN D:3=99").status, 0);

  struct Row {
    const char* args;
    int status;
    const char* expected;
  };
  const Row rows[] = {
      // Since the release: the other user's change, and the hand edit found before it.
      {"log --since v1", 0,
       "set 2 MAIN D:3=99|carol||||: 2 MAIN D:3 120>99\n"
       "changed outside the tool|outside the tool|||outside|: 1 MAIN D:1 12.500000>13.000000\n"},
      // The push of a shared config: every type it reached, in one entry.
      {"log --item D:1 --config TOOL --until v1", 0,
       "set 1 TOOL D:1=41.5|alice|worn tool|bob||: 1 TOOL D:1 40.000000>41.500000 2 TOOL D:1 "
       "40.000000>41.500000\n"
       "add T40+ALU|alice||||: 2 TOOL D:1 none>40.000000\n"
       "add T40+STEEL|alice||||: 1 TOOL D:1 none>40.000000\n"
       "init|alice||||: 0 TOOL D:1 none>40.000000\n"},
      // One type's entries, one item: the hand edit, and the type's first values.
      {"log 1 --item d:1 --config MAIN", 0,
       "changed outside the tool|outside the tool|||outside|: 1 MAIN D:1 12.500000>13.000000\n"
       "add T40+STEEL|alice||||: 1 MAIN D:1 none>12.500000\n"},
      {"log --user carol --item D:3", 0, "set 2 MAIN D:3=99|carol||||: 2 MAIN D:3 120>99\n"},
      {"log --user 'outside the tool'", 0,
       "changed outside the tool|outside the tool|||outside|: 1 MAIN D:1 12.500000>13.000000\n"},
      {"log --item D:9 --config NOPE", 0, ""},
      {"log --item D", 2, ""},
      {"log --since 1999-01-01 --item D:1 --config MAIN 2", 0,
       "add T40+ALU|alice||||: 2 MAIN D:1 none>12.500000\n"},
      // The past as today's show and diff present it.
      {"show 1 --at v1 --config TOOL --kind D", 0,
       "TOOL D:1=41.5\nTOOL D:2=40.0\nTOOL D:3=40.0\nTOOL D:4=2\nTOOL D:5=2\nTOOL D:6=2\n"},
      {"show 1 --at HEAD~3 --config TOOL --kind D", 0,
       "TOOL D:1=40.0\nTOOL D:2=40.0\nTOOL D:3=40.0\nTOOL D:4=2\nTOOL D:5=2\nTOOL D:6=2\n"},
      {"show 2 --at 1999-01-01", 1, ""},
      {"diff 1@v1 1", 1, "MAIN D:1 12.5|13.0\n"},
      {"diff 2@v1 2@HEAD", 1, "MAIN D:3 120|99\n"},
      {"diff 1@v1 2@v1", 0, ""},
      {"diff 1@nowhere 2", 2, ""},
  };
  for (const Row& row : rows) {
    const td::testing::ToolRun run = Tool(std::string("--json ") + row.args);
    EXPECT_EQ(run.status, row.status) << row.args << ": " << run.err;
    const nlohmann::json document = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(document.is_discarded()) << row.args << ": " << run.out;
    const std::string summary =
        std::string(row.args).rfind("log", 0) == 0 ? LogSummary(document) : ItemsSummary(document);
    EXPECT_EQ(summary, row.expected) << row.args;
  }
}

}  // namespace
