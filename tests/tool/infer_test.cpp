// typedata infer: trees made by the tool from known machines give those
// machines back, in everything their files can tell; check is clean on
// the tree with the inferred description; planted contradictions are each
// reported. (Linux only: every case starts the tool dozens of times.)
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>

#include "machine/machine.h"
#include "tool_runner.h"

namespace {

namespace fs = std::filesystem;
constexpr char kKinds[] = "DSALV";

// What the files of a tree can tell about an item: in use or not, real or
// integer, and its default. Items described but not in use are written with
// 0, as integers are; V items not in use are not written, described or not.
std::string Told(const mmisim::ItemDescription& item, int kind) {
  const bool inUse = item.described && item.dataType != ' ' && item.dataType != '\0';
  if (kind == 4) return inUse ? "text" : "blank";
  if (!item.described) return "none";
  if (!inUse) return "I 0.000000";
  const bool real = item.dataType == 'P' || item.dataType == 'F';
  char value[64];
  std::snprintf(value, sizeof value, "%s %.6f", real ? "P" : "I", item.defaultValue);
  return value;
}

void ExpectSameAsFilesTell(const mmisim::Machine& original, const mmisim::Machine& inferred) {
  EXPECT_EQ(inferred.namePartCount, original.namePartCount);
  std::map<std::string, const mmisim::MachineConfig*> byPrefix;
  for (const auto& config : inferred.configs) byPrefix[config.prefix] = &config;
  ASSERT_EQ(byPrefix.size(), original.configs.size());
  for (const auto& want : original.configs) {
    ASSERT_TRUE(byPrefix.count(want.prefix)) << want.prefix;
    const mmisim::MachineConfig& got = *byPrefix[want.prefix];
    EXPECT_EQ(got.partNo, want.partNo) << want.prefix;
    for (int k = 0; k < 5; ++k) {
      const std::string where = want.prefix + " " + kKinds[k];
      ASSERT_EQ(got.kinds[k].count, want.kinds[k].count) << where;
      for (std::size_t i = 0; i < want.kinds[k].items.size(); ++i) {
        EXPECT_EQ(Told(got.kinds[k].items[i], k), Told(want.kinds[k].items[i], k))
            << where << " item " << i + 1;
      }
    }
  }
}

class Infer : public td::testing::ToolTest {
 protected:
  // Runs the tool on another root than the workspace's.
  td::testing::ToolRun At(const std::string& root, const std::string& args) {
    const std::string out = workspace_.Path("at.out");
    const std::string err = workspace_.Path("at.err");
    const std::string command = std::string("NO_COLOR=1 ") + TD_TOOL_PATH + " --root " + root + " " + args +
                                " >" + out + " 2>" + err + " </dev/null";
    td::testing::ToolRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = td::testing::ReadFileBytes(out);
    run.err = td::testing::ReadFileBytes(err);
    return run;
  }

  // A tree of machine text: type 0 from the defaults and four or six named
  // types whose shared configs hold one value per part text, the others one
  // value per type, so that the files carry the evidence of every sharing.
  mmisim::Machine MakeTree(const std::string& text, const std::vector<std::string>& names) {
    mmisim::Machine machine;
    std::string error;
    EXPECT_TRUE(mmisim::ParseMachine(text, "machine", &machine, &error)) << error;
    td::testing::WriteFileBytes(workspace_.Path("machine.txt"), text);
    const std::string with = "--machine " + workspace_.Path("machine.txt") + " ";
    EXPECT_EQ(Tool(with + "init").status, 0);
    for (const std::string& name : names)
      EXPECT_EQ(Tool(with + "add " + name + " --from 0").status, 0) << name;
    for (const auto& config : machine.configs) {
      const std::string item = Settable(config);
      std::map<std::string, int> partValue;
      for (std::size_t t = 0; t < names.size(); ++t) {
        const int type = static_cast<int>(t) + 1;
        int id = type;
        if (config.partNo > 0) {
          const std::string part = Part(names[t], config.partNo);
          if (partValue.count(part)) continue;  // the group has its value already
          id = partValue[part] = static_cast<int>(partValue.size()) + 1;
        }
        const auto run =
            Tool(with + "set " + std::to_string(type) + " " + config.prefix + " " + item + id_(id));
        EXPECT_EQ(run.status, 0) << config.prefix << " " << run.err;
      }
    }
    return machine;
  }

  // The first item that can hold a value of the set command, as "K:N=" and a
  // marker for the value's form.
  std::string Settable(const mmisim::MachineConfig& config) {
    for (int k : {0, 1, 2, 3, 4}) {
      const auto& items = config.kinds[k].items;
      for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        if (!item.described || item.dataType == ' ' || item.dataType == '\0') continue;
        form_ = k == 4 ? 't' : (item.dataType == 'P' || item.dataType == 'F') && item.scale > 0 ? 'r' : 'i';
        return std::string(1, kKinds[k]) + ":" + std::to_string(i + 1) + "=";
      }
    }
    ADD_FAILURE() << config.prefix << " has no item to set";
    return "";
  }
  std::string id_(int id) const {
    if (form_ == 't') return "t" + std::to_string(id);
    return form_ == 'r' ? std::to_string(500 + id) + ".5" : std::to_string(1000 + id);
  }

  static std::string Part(const std::string& name, int position) {
    std::size_t start = 0;
    for (int p = 1; p < position; ++p) start = name.find('+', start) + 1;
    return name.substr(start, name.find('+', start) - start);
  }

  // infer -o FILE on the workspace's tree, the description parsed.
  mmisim::Machine Inferred(int expectedStatus) {
    const auto run = Tool("infer -o " + workspace_.Path("inferred.txt"));
    EXPECT_EQ(run.status, expectedStatus) << run.err;
    mmisim::Machine machine;
    std::string error;
    EXPECT_TRUE(mmisim::LoadMachineFile(workspace_.Path("inferred.txt"), &machine, &error)) << error;
    return machine;
  }

  // check with the inferred description on a copy of the type folder alone,
  // as an engineer has it from an operator station.
  void ExpectCheckClean() {
    fs::create_directories(workspace_.Path("copy"));
    fs::copy(workspace_.Path("type"), workspace_.Path("copy/type"), fs::copy_options::recursive);
    const auto run = At(workspace_.Path("copy"), "--machine " + workspace_.Path("inferred.txt") + " check");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
  }

  char form_ = 'i';
};

const std::vector<std::string> kSampleNames = {"T40+STEEL+FAST", "T40+ALU+SLOW", "T55+STEEL+SLOW",
                                               "T55+ALU+FAST",   "T40+CU+MID",   "T55+CU+MID"};

TEST_F(Infer, SampleMachineComesBack) {
  const mmisim::Machine sample = MakeTree(mmisim::SampleMachineText(), kSampleNames);
  td::testing::WriteFileBytes(workspace_.Path("inferred.txt"), "an older description");
  ExpectSameAsFilesTell(sample, Inferred(0));
  ExpectCheckClean();

  // The document carries the same description, and the evidence with it.
  const auto json = Tool("--json infer");
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("\"description\": \"# Machine description inferred"), std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"command\": \"infer\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("shared through part 1: 6 pairs identical, 0 counter-examples"), std::string::npos);
  const std::string text = td::testing::ReadFileBytes(workspace_.Path("inferred.txt"));
  EXPECT_NE(text.find("config 4 prefix TOOL part 1       # shared through part 1"), std::string::npos)
      << text;
  EXPECT_NE(text.find("hpc        online                 # assumed"), std::string::npos) << text;
}

TEST_F(Infer, ReportsEachPlantedContradiction) {
  const mmisim::Machine sample = MakeTree(mmisim::SampleMachineText(), kSampleNames);
  auto edit = [&](const std::string& file, const std::string& from, const std::string& to) {
    const std::string path = workspace_.Path("type/" + file);
    std::string bytes = td::testing::ReadFileBytes(path);
    const std::size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos) << file << " has no " << from;
    bytes.replace(at, from.size(), to);
    td::testing::WriteFileBytes(path, bytes);
  };
  edit("0002/MAIN0002.DAT", "3:120,\r\n", "");             // an item left out
  edit("0001/MAIN0001.DAT", "[A]", "9:1.0,\r\n[A]");       // beyond the S count of 4
  edit("0004/MAIN0004.DAT", "[V]\r\n1:,\r\n3:;\r\n", "");  // a kind left out
  edit("0005/MAIN0005.DAT", "7:0.125000,", "7:0,");        // a real item without decimals
  edit("0002/TOOL0002.DAT", "4:2,", "4:3,");               // a shared config that differs
  fs::rename(workspace_.Path("type/0003/FEED0003.DAT"), workspace_.Path("type/0003/Feed0003.DAT"));

  const mmisim::Machine inferred = Inferred(1);  // still written, and still the sample
  ExpectSameAsFilesTell(sample, inferred);
  const auto run = Tool("infer");
  EXPECT_EQ(run.status, 1);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"type/0002/MAIN0002.DAT:1:", "[D] leaves out item 3"},
      {"type/0001/MAIN0001.DAT:9:", "[S] holds item 9, beyond the count 4"},
      {"type/0004/MAIN0004.DAT:0:", "has no [V] section"},
      {"type/0005/MAIN0005.DAT:7:", "[D] item 7 is written without decimals here"},
      {"type/0002/TOOL0002.DAT:0:", "shared config TOOL (part 1 'T40') differs from type 1's"},
      {"type/0003/Feed0003.DAT:0:", "prefix spelled 'Feed' here, 'FEED' in 6 other files"},
  };
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = run.err.find('\n', start)) != std::string::npos; start = end + 1) {
    if (run.err.compare(start, 5, "type/") == 0) lines.push_back(run.err.substr(start, end - start));
  }
  EXPECT_EQ(lines.size(), expected.size()) << run.err;
  for (const auto& [where, what] : expected) {
    int found = 0;
    for (const std::string& line : lines)
      found += line.rfind(where, 0) == 0 && line.find(what) != std::string::npos;
    EXPECT_EQ(found, 1) << where << " ... " << what << "\n" << run.err;
  }
}

// Types with the same name agree at every name part, and files identical
// in every type agree at every part too: neither tells a part. Such sharing
// is not claimed but assumed away and said so, while a sharing that types
// of different names show is still found beside them.
TEST_F(Infer, SharingIsNotClaimedOnEvidenceThatCannotTellIt) {
  ASSERT_EQ(Tool("init").status, 0);
  for (const char* name : {"T40+STEEL", "T40+ALU", "T55+STEEL", "X+Y+Z", "X+Y+Z"})
    ASSERT_EQ(Tool(std::string("add ") + name + " --from 0").status, 0) << name;
  // TOOL is shared through part 1 (T40: types 1 and 2; X: types 4 and 5);
  // MAIN differs in type 1 only; MAT and FEED are identical in every type.
  for (const char* set : {"set 1 TOOL D:1=41", "set 3 TOOL D:1=55", "set 4 TOOL D:1=60", "set 1 MAIN D:1=77"})
    ASSERT_EQ(Tool(set).status, 0) << set;
  const auto run = Tool("--json infer -o " + workspace_.Path("inferred.txt"));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json document = nlohmann::json::parse(run.out);
  std::map<std::string, nlohmann::json> parts;
  for (const auto& config : document["machine"]["configs"]) parts[config["prefix"]] = config["part"];
  EXPECT_EQ(parts["TOOL"]["value"], 1) << parts["TOOL"];
  EXPECT_EQ(parts["TOOL"]["assumed"], false) << parts["TOOL"];
  const std::map<std::string, std::string> assumed = {
      {"MAIN",
       "assumed not shared: the only identical files with a common part are of types with the same name"},
      {"MAT", "assumed not shared: the files of all 6 types are identical"},
      {"FEED", "assumed not shared: the files of all 6 types are identical"}};
  const std::string notes = document["notes"].dump();
  for (const auto& [prefix, why] : assumed) {
    EXPECT_EQ(parts[prefix]["value"], 0) << prefix << ": " << parts[prefix];
    EXPECT_EQ(parts[prefix]["assumed"], true) << prefix << ": " << parts[prefix];
    EXPECT_EQ(parts[prefix]["evidence"].get<std::string>().rfind(why, 0), 0u)
        << prefix << ": " << parts[prefix];
    EXPECT_NE(notes.find("config " + prefix + ": " + why), std::string::npos) << notes;
  }
  const std::string text = td::testing::ReadFileBytes(workspace_.Path("inferred.txt"));
  EXPECT_NE(text.find("prefix MAIN part 0       # assumed not shared"), std::string::npos) << text;
  // With the description, a value set in one of the types named alike stays its own.
  const std::string twin = TypeFile("0005/MAIN0005.DAT");
  ASSERT_EQ(Tool("--force --machine " + workspace_.Path("inferred.txt") + " set 4 MAIN D:2=5").status, 0);
  EXPECT_EQ(TypeFile("0005/MAIN0005.DAT"), twin);
}

// Machines of many shapes: every part position shared and not, gaps,
// integer and real items, texts in use and not, a last item left out.
std::string RandomMachine(unsigned seed) {
  std::mt19937 random(seed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const int nameParts = 2 + static_cast<int>(seed % 2);
  const int configs = 2 + pick(4);
  std::string text = "name-parts " + std::to_string(nameParts) + "\n";
  std::vector<int> numbers(configs);
  for (int c = 0; c < configs; ++c) numbers[c] = c + 1;
  std::shuffle(numbers.begin(), numbers.end(), random);
  for (int c = 0; c < configs; ++c) {
    const int part = static_cast<int>(seed + c) % (nameParts + 1);
    text += "config " + std::to_string(numbers[c]) + " prefix " +
            std::string(1, static_cast<char>('A' + pick(26))) + "X" + std::to_string(c) + " part " +
            std::to_string(part) + "\n";
    bool settable = false;
    for (int k = 0; k < 5; ++k) {
      const int count = k == 0 || pick(3) > 0 ? 1 + pick(6) : 0;
      if (count == 0) continue;
      // V: a text or blank; else an integer, a real, none, blank or zero.
      std::vector<int> forms(count);
      for (int& form : forms) form = pick(k == 4 ? 2 : 5);
      auto unwritten = [&](int form) { return k == 4 ? form == 1 : form == 2; };
      // Files tell where a section starts and no more than one unwritten
      // item after its last written one.
      if (unwritten(forms[0])) forms[0] = 0;
      if (count > 1 && unwritten(forms[count - 1]) && unwritten(forms[count - 2])) forms[count - 1] = 0;
      text += "  items " + std::string(1, kKinds[k]) + " " + std::to_string(count) + "\n";
      for (int n = 1; n <= count; ++n) {
        const int form = forms[n - 1];
        const std::string item = "  item  " + std::string(1, kKinds[k]) + " " + std::to_string(n) + " ";
        if (k == 4) {
          if (form == 1) text += item + "blank\n";
          settable = settable || form == 0;
        } else if (form == 0) {
          text += item + "I " + std::to_string(pick(101) - 50) + "\n";
          settable = true;
        } else if (form == 1) {
          const int scale = pick(4);
          char value[32];
          std::snprintf(value, sizeof value, "%.*f", scale, (pick(2001) - 1000) / std::pow(10.0, scale));
          text += item + "P " + value + " scale " + std::to_string(scale) + "\n";
          settable = true;
        } else {
          text += item + (form == 2 ? "none" : form == 3 ? "blank" : "zero") + "\n";
        }
      }
    }
    if (!settable) text += "  items V 1\n";
  }
  return text;
}

TEST_F(Infer, GeneratedMachinesComeBack) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    fs::remove_all(workspace_.Path("type"));
    fs::remove_all(workspace_.Path("copy"));
    for (const char* state : {".typedata-state", ".typedata-machine"}) fs::remove(workspace_.Path(state));
    const std::string text = RandomMachine(seed);
    const std::vector<std::string> names =
        seed % 2 == 0 ? std::vector<std::string>{"A1+B1", "A1+B2", "A2+B1", "A2+B2"}
                      : std::vector<std::string>{"A1+B1+C1", "A1+B2+C2", "A2+B1+C2", "A2+B2+C1"};
    const mmisim::Machine original = MakeTree(text, names);
    ExpectSameAsFilesTell(original, Inferred(0));
    ExpectCheckClean();
    if (HasFailure()) {
      ADD_FAILURE() << text << td::testing::ReadFileBytes(workspace_.Path("inferred.txt"));
      return;
    }
  }
}

}  // namespace
#endif
