// typedata infer on trees of 1,000 and 9,999 types of 40 configs, beside
// the floor of any command that reads a whole tree: every type data file
// read into memory once. Inferring should take time linear in the tree's
// bytes: its bytes per second stay the same from the small tree to the
// large one, as the floor's do.
//
//   build/release/bin/bench_infer
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "infer/infer.h"
#include "mmisim.h"
#include "support/bench_folder.h"
#include "support/large_machine.h"
#include "support/one_tree.h"

namespace {

namespace fs = std::filesystem;
constexpr int kConfigs = 40;
constexpr int kVariants = 16;  // types written through the service; the others copy their bytes

// The text at name part p (1 to 3) of a type's name, as a number.
int PartIndex(int typeNo, int p) { return typeNo % (p == 1 ? 7 : p == 2 ? 11 : 13); }

std::string Name(int typeNo) {
  if (typeNo == 0) return "";
  return "A" + std::to_string(PartIndex(typeNo, 1)) + "+B" + std::to_string(PartIndex(typeNo, 2)) + "+C" +
         std::to_string(PartIndex(typeNo, 3));
}

bench::MachineShape Shape() {
  bench::MachineShape shape;
  shape.nameParts = 3;
  for (int c = 0; c < kConfigs; ++c) {
    bench::ConfigShape config = bench::ProportionalConfig("C" + std::to_string(c + 1), 20);
    config.part = c % 4;
    shape.configs.push_back(config);
  }
  return shape;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A tree of types types in a folder of its own, consistent as a tree in use
// is: kVariants types written by the service with values of their own, and
// every named type's file of a config a copy of one of theirs, chosen by
// the name part through which the config is shared (by the type, for a
// config that is not shared).
class Tree {
 public:
  explicit Tree(int types) {
    bench::WriteCatalogue(types, Name);
    const bench::MachineShape shape = Shape();
    bench::StartMachine(shape, /*catalogue=*/true);
    std::vector<std::vector<std::string>> variants;  // [variant][config] -> bytes
    for (int v = 0; v < kVariants; ++v) {
      bench::MakeTypeData(v, static_cast<std::uint32_t>(v + 1));
      std::vector<std::string> files;
      for (const std::string& path : bench::TypeDataPaths(v)) files.push_back(Bytes(bench::SystemPath(path)));
      variants.push_back(std::move(files));
    }
    mmisim::Stop();
    for (int typeNo = 1; typeNo < types; ++typeNo) {
      char folder[32];
      std::snprintf(folder, sizeof folder, "%04d", typeNo);
      const std::string dir = folder_.TypePath(folder);
      fs::create_directories(dir);
      for (int c = 0; c < kConfigs; ++c) {
        const int part = shape.configs[c].part;
        const int variant = (part == 0 ? typeNo : PartIndex(typeNo, part)) % kVariants;
        std::ofstream(dir + "/" + shape.configs[c].prefix + folder + ".DAT", std::ios::binary)
            << variants[variant][c];
      }
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder_.TypePath(""))) {
      if (entry.is_regular_file() && entry.path().extension() == ".DAT") {
        paths_.push_back(entry.path().string());
        bytes_ += static_cast<std::int64_t>(entry.file_size());
      }
    }
  }

  const std::string& root() const { return folder_.root(); }
  const std::vector<std::string>& paths() const { return paths_; }
  std::int64_t bytes() const { return bytes_; }

 private:
  bench::BenchFolder folder_;
  std::vector<std::string> paths_;
  std::int64_t bytes_ = 0;
};

Tree& TreeOf(int types) { return bench::TreeOfSize<Tree>(types); }

void BM_Infer(benchmark::State& state) {
  Tree& tree = TreeOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    tool::infer::Inference inference;
    std::string error;
    if (!tool::infer::InferTree(tree.root(), &inference, &error)) state.SkipWithError(error.c_str());
    if (inference.machine.configs.size() != kConfigs) state.SkipWithError("configs missing");
    if (!inference.conflicts.empty()) state.SkipWithError(inference.conflicts[0].problem.c_str());
    benchmark::DoNotOptimize(inference);
  }
  state.SetBytesProcessed(state.iterations() * tree.bytes());
  state.counters["files"] = static_cast<double>(tree.paths().size());
}

// The floor: every file's bytes read once, nothing done with them.
void BM_ReadEveryFile(benchmark::State& state) {
  Tree& tree = TreeOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::size_t total = 0;
    for (const std::string& path : tree.paths()) total += Bytes(path).size();
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * tree.bytes());
  state.counters["files"] = static_cast<double>(tree.paths().size());
}

// Both on one tree before the next is made.
BENCHMARK(BM_ReadEveryFile)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Infer)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadEveryFile)->Arg(9999)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Infer)->Arg(9999)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
