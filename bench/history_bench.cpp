// What keeping a tree's history costs a change: `set` of one value, and an
// import that pushes two shared configs to 1,000 types, each on a tree of
// 1,000 types x 4 configs with its history and on the same tree made with
// `init --no-history`, in the same run. With TD_BENCH_HISTORY_CHANGES=N
// (e.g. 10000) it also makes N single-value changes and reports the
// history's size against the tree's own bytes.
//
//   build/release/bin/bench_history
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/session.h"
#include "render/output.h"

namespace {

namespace fs = std::filesystem;
constexpr int kTypes = 1000;

std::FILE* Quiet() {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  return sink;
}

int Run(const std::string& root, const std::vector<std::string>& words) {
  tool::GlobalOptions options;
  options.root = root;
  options.reason = "benchmark";
  tool::Output out(Quiet(), Quiet());
  return tool::RunWords(options, words, out);
}

std::uintmax_t BytesUnder(const fs::path& folder) {
  std::uintmax_t total = 0;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(folder, error))
    if (entry.is_regular_file(error)) total += entry.file_size(error);
  return total;
}

// A tree of kTypes types named T40+STEEL+Fn: every type shares TOOL (part
// 1) and MAT (part 2) with every other, so a change of either is pushed to
// all of them. Made once: type 0 by init, the others as copies of its files.
class Tree {
 public:
  explicit Tree(bool history) {
    root_ = (fs::temp_directory_path() /
             ("typedata-bench-history-" + std::to_string(::getpid()) + (history ? "-kept" : "-plain")))
                .string();
    fs::remove_all(root_);
    if (Run(root_,
            history ? std::vector<std::string>{"init"} : std::vector<std::string>{"init", "--no-history"}))
      std::abort();
    const fs::path type = fs::path(root_) / "type";
    std::ofstream catalogue(type / "mmi.typ", std::ios::binary | std::ios::trunc);
    for (int typeNo = 0; typeNo < kTypes; ++typeNo) {
      char number[8];
      std::snprintf(number, sizeof number, "%04d", typeNo);
      catalogue << typeNo << ",\"T40+STEEL+F" << typeNo << "\"\r\n";
      if (typeNo == 0) continue;
      fs::create_directories(type / number);
      for (const char* prefix : {"MAIN", "TOOL", "MAT", "FEED"})
        fs::copy_file(type / "0000" / (std::string(prefix) + "0000.DAT"),
                      type / number / (std::string(prefix) + number + ".DAT"));
    }
    catalogue.close();
    csv_ = root_ + "-import.csv";
    // The first change of a tree with history records the tree as it was:
    // made here, not timed.
    if (Run(root_, {"set", "1", "MAIN", "D:1=1"})) std::abort();
  }
  ~Tree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    fs::remove(csv_, ignored);
  }
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;

  const std::string& root() const { return root_; }
  const std::string& csv() const { return csv_; }

 private:
  std::string root_;
  std::string csv_;
};

Tree& TreeWith(bool history) {
  static Tree kept(true);
  static Tree plain(false);
  return history ? kept : plain;
}

void BM_SetOneValue(benchmark::State& state) {
  const Tree& tree = TreeWith(state.range(0) != 0);
  long value = 0;
  for (auto _ : state) {
    if (Run(tree.root(), {"set", "5", "MAIN", "D:1=" + std::to_string(++value % 1000 + 2)}))
      state.SkipWithError("set failed");
  }
  state.SetLabel(state.range(0) ? "with history" : "without history");
}

// One import that changes TOOL and MAT of type 5: both pushed to all types.
void BM_PushTwoSharedConfigs(benchmark::State& state) {
  const Tree& tree = TreeWith(state.range(0) != 0);
  long value = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      std::ofstream csv(tree.csv(), std::ios::binary | std::ios::trunc);
      ++value;
      csv << "config,kind,item,value\nTOOL,D,1," << value % 1000 + 2 << "\nMAT,D,1," << value % 1000 + 2
          << "\n";
    }
    state.ResumeTiming();
    if (Run(tree.root(), {"import", "5", tree.csv()})) state.SkipWithError("import failed");
  }
  state.SetLabel(state.range(0) ? "with history" : "without history");
}

// Not a timing: N single-value changes, then the history's bytes over the
// tree's own (type/ and the machine description).
void BM_HistorySize(benchmark::State& state) {
  const char* wanted = std::getenv("TD_BENCH_HISTORY_CHANGES");
  const long changes = wanted ? std::atol(wanted) : 0;
  if (changes <= 0) {
    state.SkipWithError("set TD_BENCH_HISTORY_CHANGES=N to measure the history's size after N changes");
    for (auto _ : state) {
    }
    return;
  }
  const Tree& tree = TreeWith(true);
  for (auto _ : state) {
    for (long change = 0; change < changes; ++change) {
      const int typeNo = static_cast<int>(change % kTypes);
      if (Run(tree.root(),
              {"set", std::to_string(typeNo), "MAIN", "D:2=" + std::to_string(change % 997 + 1)}))
        state.SkipWithError("set failed");
    }
  }
  const double history = static_cast<double>(BytesUnder(fs::path(tree.root()) / ".git"));
  const double own = static_cast<double>(BytesUnder(fs::path(tree.root()) / "type") +
                                         fs::file_size(fs::path(tree.root()) / ".typedata-machine"));
  state.counters["changes"] = static_cast<double>(changes);
  state.counters["history bytes"] = history;
  state.counters["tree bytes"] = own;
  state.counters["history / tree"] = history / own;
}

BENCHMARK(BM_SetOneValue)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PushTwoSharedConfigs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_HistorySize)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
