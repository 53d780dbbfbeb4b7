// Many writers at once: processes of the typedata tool (add, rename, set,
// import, use, check, recover) run at random against one tree, some of them
// killed with SIGKILL on the way. At every checkpoint (all writers at rest)
// the tree must hold every success of the model, whole files only, and no
// leftover that check does not report; now and then the catalogue is lost
// and recovered.
//
//   TD_SOAK_WRITERS_OPERATIONS  commands to run in all (default 48)
//   TD_SOAK_WRITERS_PROCESSES   writers at once (default 3)
//   TD_SOAK_WRITERS_SEED        the seed, to repeat a run (default: a fresh
//                               one, printed)
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

#include "soak_writers/writer.h"
#include "support/workspace.h"

namespace {

namespace fs = std::filesystem;
using td::soak::RunTool;
using td::soak::ToolResult;
using td::soak::TypeState;
using td::soak::Writer;

unsigned long long FromEnvironment(const char* name, unsigned long long otherwise) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return otherwise;
  return std::strtoull(text, nullptr, 10);
}

class SoakWriters : public td::testing::WorkspaceTest {
 protected:
  std::string root() const { return workspace_.Path("tree"); }
  std::string scratch(const std::string& name) const { return workspace_.Path("scratch-" + name); }

  // The tree as the writers' models say it is, type 0 included.
  std::map<int, TypeState> Expected() const {
    std::map<int, TypeState> expected = {{0, typeZero_}};
    for (const auto& writer : writers_) expected.insert(writer->types().begin(), writer->types().end());
    return expected;
  }
  std::set<int> Unlisted() const {
    std::set<int> unlisted;
    for (const auto& writer : writers_) unlisted.insert(writer->unlisted().begin(), writer->unlisted().end());
    return unlisted;
  }

  // Empty when the tree agrees with the models; else what differs.
  std::string Checkpoint();
  // Loses the catalogue and recovers it with the models' names.
  std::string LoseAndRecover();

  TypeState typeZero_;
  std::vector<std::unique_ptr<Writer>> writers_;
};

std::string SoakWriters::Checkpoint() {
  const std::map<int, TypeState> expected = Expected();
  const ToolResult list = RunTool(root(), {"--json", "list"}, scratch("check"));
  nlohmann::json listed = nlohmann::json::parse(list.out, nullptr, false);
  if (listed.is_object()) listed = listed["types"];
  if (list.status != 0 || !listed.is_array())
    return "list gave " + std::to_string(list.status) + ": " + list.err;
  std::map<int, std::string> names;
  for (const nlohmann::json& type : listed)
    names[type["number"].get<int>()] = type["name"].get<std::string>();
  for (const auto& [number, state] : expected) {
    if (!names.count(number)) return "type " + std::to_string(number) + " '" + state.name + "' is not listed";
    if (names[number] != state.name)
      return "type " + std::to_string(number) + " is named '" + names[number] + "'";
    TypeState found;
    std::string error;
    if (!td::soak::ExportType(root(), scratch("check"), number, &found, &error)) return error;
    for (const auto& [prefix, content] : state.configs) {
      if (found.configs[prefix] != content) {
        return "type " + std::to_string(number) + " config " + prefix + " holds " +
               found.configs[prefix].dump() + ", not " + content.dump();
      }
    }
  }
  if (names.size() != expected.size()) return "the catalogue lists types that no command added";

  // check may report only the leavings of killed commands: folders of adds
  // that never reached the catalogue, temporary files, and shared configs
  // that differ within a name part whose push or pull was cut short.
  const std::set<int> unlisted = Unlisted();
  std::set<std::string> uneven;
  for (const auto& writer : writers_)
    uneven.insert(writer->unevenParts().begin(), writer->unevenParts().end());
  const auto cutShort = [&](const std::string& line) {
    if (line.find(": shared config ") == std::string::npos) return false;
    for (const std::string& part : uneven) {
      if (line.find("(" + part + ")") != std::string::npos) return true;
    }
    return false;
  };
  const ToolResult check = RunTool(root(), {"check"}, scratch("check"));
  std::istringstream lines(check.out + check.err);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("type/", 0) != 0) continue;
    const bool temporary = line.find("temporary file") != std::string::npos;
    const bool leftover = line.size() > 9 && unlisted.count(std::atoi(line.substr(5, 4).c_str()));
    if (!temporary && !leftover && !cutShort(line)) return "check: " + line;
  }
  if (check.status != 0 && check.status != 1)
    return "check gave " + std::to_string(check.status) + ": " + check.err;
  // Every file is a type's data file, the catalogue or the lock, else check named it.
  for (const auto& entry : fs::recursive_directory_iterator(root() + "/type")) {
    if (!entry.is_regular_file()) continue;
    const std::string relative = fs::relative(entry.path(), root()).generic_string();
    const std::string name = entry.path().filename().string();
    const std::string folder = entry.path().parent_path().filename().string();
    const bool dataFile = name.size() > 8 && name.compare(name.size() - 8, 8, folder + ".DAT") == 0;
    // The lock stays in the type folder between commands: it is the tree's, not a leftover.
    if (relative == "type/mmi.typ" || relative == "type/.typedata-lock" ||
        (dataFile &&
         (expected.count(std::atoi(folder.c_str())) || unlisted.count(std::atoi(folder.c_str()))))) {
      continue;
    }
    if ((check.out + check.err).find(relative) == std::string::npos)
      return relative + " is left, and check says nothing";
  }
  return "";
}

std::string SoakWriters::LoseAndRecover() {
  // As an engineer would: what check reported of killed adds cleared away,
  // then the catalogue lost.
  for (int number : Unlisted()) {
    char folder[16];
    std::snprintf(folder, sizeof folder, "%04d", number);
    fs::remove_all(root() + "/type/" + folder);
  }
  std::string namesFile;
  for (const auto& [number, state] : Expected())
    namesFile += std::to_string(number) + "," + state.name + "\n";
  td::testing::WriteFileBytes(scratch("names"), namesFile);
  fs::remove(root() + "/type/mmi.typ");
  const ToolResult list = RunTool(root(), {"list"}, scratch("check"));
  if (list.status == 0 || list.err.find("recover") == std::string::npos)
    return "list without a catalogue: " + list.err;
  const ToolResult recover = RunTool(root(), {"recover", "--names", scratch("names")}, scratch("check"));
  if (recover.status != 0) return "recover gave " + std::to_string(recover.status) + ": " + recover.err;
  for (const auto& writer : writers_) writer->ForgetUnlisted();
  return "";
}

TEST_F(SoakWriters, ManyWritersAgreeWithTheirModels) {
  const long operations = static_cast<long>(FromEnvironment("TD_SOAK_WRITERS_OPERATIONS", 48));
  const int processes = static_cast<int>(FromEnvironment("TD_SOAK_WRITERS_PROCESSES", 3));
  const unsigned long long seed = FromEnvironment("TD_SOAK_WRITERS_SEED", std::random_device()());
  std::printf("soak_writers: %ld commands by %d writers, seed %llu (TD_SOAK_WRITERS_SEED=%llu repeats it)\n",
              operations, processes, seed, seed);
  std::fflush(stdout);
  RecordProperty("seed", std::to_string(seed));

  td::testing::MakeDirs(root());
  ASSERT_EQ(RunTool(root(), {"init"}, scratch("init")).status, 0);
  std::string error;
  ASSERT_TRUE(td::soak::ExportType(root(), scratch("init"), 0, &typeZero_, &error)) << error;
  for (int w = 1; w <= processes; ++w) {
    writers_.push_back(std::make_unique<Writer>(w, root(), scratch(std::to_string(w)), seed + w, 0.15));
  }

  // Rounds of a dozen commands a writer, a checkpoint after each.
  const long perRound = 12;
  const auto start = std::chrono::steady_clock::now();
  long done = 0;
  int rounds = 0;
  while (done < operations) {
    const long each = std::min<long>(perRound, (operations - done + processes - 1) / processes);
    std::vector<std::thread> threads;
    for (auto& writer : writers_) {
      threads.emplace_back([&, w = writer.get()] {
        for (long i = 0; i < each && w->Step(typeZero_); ++i) {
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    done += each * processes;
    for (const auto& writer : writers_) ASSERT_EQ(writer->failure(), "") << "seed " << seed;
    ASSERT_EQ(Checkpoint(), "") << "after " << done << " commands, seed " << seed;
    if (++rounds % 2 == 0) {
      ASSERT_EQ(LoseAndRecover(), "") << "seed " << seed;
      ASSERT_EQ(Checkpoint(), "") << "after recovering, seed " << seed;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::map<std::string, long> runs, succeeded, killed;
  for (const auto& writer : writers_) {
    for (const auto& [command, count] : writer->figures().runs) runs[command] += count;
    for (const auto& [command, count] : writer->figures().succeeded) succeeded[command] += count;
    for (const auto& [command, count] : writer->figures().killed) killed[command] += count;
  }
  long kills = 0;
  std::printf("soak_writers: %ld commands in %.1f s, %d checkpoints, %d recoveries\n", done, seconds, rounds,
              rounds / 2);
  std::printf("soak_writers: %-8s %8s %10s %8s\n", "command", "runs", "succeeded", "killed");
  for (const auto& [command, count] : runs) {
    std::printf("soak_writers: %-8s %8ld %10ld %8ld\n", command.c_str(), count, succeeded[command],
                killed[command]);
    kills += killed[command];
  }
  std::printf("soak_writers: %ld commands killed on the way\n", kills);
}

}  // namespace
