// typedata check on trees of 1,000 and 9,999 types, beside the floor of any
// command that reads a whole tree: every type data file read into memory
// once. Checking should take time linear in the tree: its time per type
// stays the same from the small tree to the large one, as the floor's does.
// Peak memory is bounded by the largest type (measure with /usr/bin/time -v).
//
//   build/release/bin/bench_check
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "check/check.h"
#include "mmisim.h"
#include "core/session.h"
#include "support/bench_folder.h"
#include "support/large_machine.h"
#include "support/one_tree.h"

namespace {

namespace fs = std::filesystem;
constexpr int kVariants = 8;  // types written through the service; the others copy their bytes

bench::MachineShape Shape() {
  bench::MachineShape shape;
  for (int c = 0; c < 4; ++c)
    shape.configs.push_back(bench::ProportionalConfig("C" + std::to_string(c + 1), 40));
  return shape;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The service writes a text as it is, and its reader cuts a text at ','.
// The texts drawn for the benchmarks hold ", type N": without the comma
// they read back whole, and the tree is clean.
std::string WithoutCommasInTexts(std::string bytes) {
  for (std::size_t at = 0; (at = bytes.find(", type ", at)) != std::string::npos;) bytes.erase(at, 1);
  return bytes;
}

// A clean tree of types types that the tool remembers the machine of.
class Tree {
 public:
  explicit Tree(int types) {
    bench::WriteCatalogue(types, [](int typeNo) { return typeNo ? "T" + std::to_string(typeNo) : ""; });
    std::ofstream(folder_.root() + "/.typedata-machine", std::ios::binary) << bench::MachineText(Shape());
    bench::StartMachine(Shape(), /*catalogue=*/true);
    std::vector<std::vector<std::pair<std::string, std::string>>> variants;
    for (int v = 0; v < kVariants; ++v) {
      bench::MakeTypeData(v, static_cast<std::uint32_t>(v + 1));
      std::vector<std::pair<std::string, std::string>> files;
      for (const std::string& path : bench::TypeDataPaths(v)) {
        const std::string system = bench::SystemPath(path);
        const std::string name = fs::path(system).filename().string();
        files.emplace_back(name.substr(0, name.size() - 8), WithoutCommasInTexts(Bytes(system)));
      }
      variants.push_back(std::move(files));
    }
    mmisim::Stop();
    for (int typeNo = 0; typeNo < types; ++typeNo) {
      char folder[32];
      std::snprintf(folder, sizeof folder, "%04d", typeNo);
      const std::string dir = folder_.TypePath(folder);
      fs::create_directories(dir);
      for (const auto& [prefix, bytes] : variants[typeNo % kVariants])
        std::ofstream(dir + "/" + prefix + folder + ".DAT", std::ios::binary) << bytes;
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder_.TypePath(""))) {
      if (entry.is_regular_file() && entry.path().extension() == ".DAT")
        paths_.push_back(entry.path().string());
    }
  }

  const std::string& root() const { return folder_.root(); }
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  bench::BenchFolder folder_;
  std::vector<std::string> paths_;
};

Tree& TreeOf(int types) { return bench::TreeOfSize<Tree>(types); }

void PerType(benchmark::State& state, int types) {
  state.counters["types"] = types;
  state.counters["per type"] =
      benchmark::Counter(static_cast<double>(types),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Check(benchmark::State& state) {
  const int types = static_cast<int>(state.range(0));
  Tree& tree = TreeOf(types);
  tool::GlobalOptions options;
  options.root = tree.root();
  for (auto _ : state) {
    tool::Session session;
    std::string error;
    if (!session.Open(options, false, &error)) state.SkipWithError(error.c_str());
    const std::vector<tool::Problem> problems = tool::CheckTree(session, nullptr);
    if (!problems.empty()) {
      const tool::Problem& first = problems.front();
      const std::string what = std::to_string(problems.size()) + " problems in a clean tree, the first " +
                               first.file + ":" + std::to_string(first.line) + ": " + first.message;
      state.SkipWithError(what.c_str());
      break;
    }
    benchmark::DoNotOptimize(problems);
  }
  PerType(state, types);
}

// The floor: every file's bytes read once, nothing done with them.
void BM_ReadEveryFile(benchmark::State& state) {
  const int types = static_cast<int>(state.range(0));
  Tree& tree = TreeOf(types);
  for (auto _ : state) {
    std::size_t total = 0;
    for (const std::string& path : tree.paths()) total += Bytes(path).size();
    benchmark::DoNotOptimize(total);
  }
  PerType(state, types);
}

BENCHMARK(BM_ReadEveryFile)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Check)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadEveryFile)->Arg(9999)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Check)->Arg(9999)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
