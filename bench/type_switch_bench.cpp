// A type switch on the large machine (64 configs of 4,096 items of each
// numeric kind and 256 texts): ChangeCurrentTypeData, which reads a type's
// 64 type data files and writes its D, S and A values into comm memory,
// beside reading the bytes of the same files; and the two halves of the
// switch apart.
//
//   build/release/bin/bench_type_switch
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "mmisim.h"
#include "platform/file_system.h"
#include "support/bench_folder.h"
#include "support/comm_items.h"
#include "support/large_machine.h"
#include "typedata.h"

namespace {

// Two types whose files hold different values, type 1 loaded.
class Setting {
 public:
  Setting() {
    const bench::MachineShape shape = bench::LargeMachine();
    configs_ = static_cast<int>(shape.configs.size());
    numbers_ = shape.configs[0].counts[0];
    bench::StartMachine(shape);
    for (int typeNo : {1, 2}) {
      mmisim::AddType(typeNo, typeNo == 1 ? "T1" : "T2");
      bench::MakeTypeData(typeNo, static_cast<std::uint32_t>(typeNo) * 7);
      paths_[typeNo - 1] = bench::TypeDataPaths(typeNo);
      bytes_[typeNo - 1] = bench::TotalBytes(paths_[typeNo - 1]);
    }
    if (ChangeCurrentTypeData(1, 2) != 0) std::abort();
  }
  ~Setting() { mmisim::Stop(); }

  const std::vector<std::string>& paths(int typeNo) const { return paths_[typeNo - 1]; }
  std::int64_t bytes(int typeNo) const { return bytes_[typeNo - 1]; }
  int configs() const { return configs_; }
  int numbers() const { return numbers_; }

 private:
  bench::BenchFolder folder_;
  std::vector<std::string> paths_[2];
  std::int64_t bytes_[2] = {0, 0};
  int configs_ = 0;
  int numbers_ = 0;
};

Setting& TheSetting() {
  static Setting setting;
  return setting;
}

void Report(benchmark::State& state, std::int64_t bytes) {
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

// The switch back and forth between the two types, comm memory written.
void BM_TypeSwitch(benchmark::State& state) {
  Setting& setting = TheSetting();
  int current = 1;
  for (auto _ : state) {
    const int next = 3 - current;
    if (ChangeCurrentTypeData(next, current) != 0) state.SkipWithError("switch failed");
    current = next;
  }
  Report(state, (setting.bytes(1) + setting.bytes(2)) / 2);
}
BENCHMARK(BM_TypeSwitch)->Unit(benchmark::kMillisecond);

// The same files' bytes, read whole in 64 KiB pieces.
void BM_ReadFileBytes(benchmark::State& state) {
  Setting& setting = TheSetting();
  std::string buffer(64 * 1024, '\0');
  int current = 1;
  for (auto _ : state) {
    current = 3 - current;
    std::int64_t total = 0;
    for (const std::string& path : setting.paths(current)) {
      auto file = td::platform::Fs().OpenRead(path);
      for (std::int64_t got; (got = file->Read(&buffer[0], buffer.size())) > 0;) total += got;
    }
    benchmark::DoNotOptimize(total);
  }
  Report(state, (setting.bytes(1) + setting.bytes(2)) / 2);
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

// The switch's first half alone: every file of a type through the reader.
void BM_ReadAllConfigs(benchmark::State& state) {
  Setting& setting = TheSetting();
  TypeRecord* type = nullptr;
  GetMMITypeNameAndStruc(1, nullptr, &type);
  for (auto _ : state) {
    for (int p = 0; p < setting.configs(); ++p) {
      if (DAT_fread(type->configs[p].datName, p, type) != 0) state.SkipWithError("read failed");
    }
  }
  Report(state, setting.bytes(1));
}
BENCHMARK(BM_ReadAllConfigs)->Unit(benchmark::kMillisecond);

// The second half alone: 786,432 D, S and A values into comm memory.
void BM_SetCommMemory(benchmark::State& state) {
  Setting& setting = TheSetting();
  TypeRecord* type = nullptr;
  GetMMITypeNameAndStruc(1, nullptr, &type);
  for (auto _ : state) SetCurrentTypeDataToCommMem(type);
  state.SetItemsProcessed(state.iterations() * setting.configs() * 3 * setting.numbers());
}
BENCHMARK(BM_SetCommMemory)->Unit(benchmark::kMillisecond);

// What the second half asks of the host alone, for every item: its
// description, its conversion and its place in comm memory.
void BM_SetCommMemoryHostCalls(benchmark::State& state) {
  Setting& setting = TheSetting();
  for (auto _ : state) {
    bench::ForEachCommItem(setting.configs(), setting.numbers(), [](CfgId id) {
      CfgIdRecord* record = nullptr;
      GetCFGIDStruc(id, &record);
      std::int32_t value = ConvertDoubleToMMIForm(1.5, id);
      SetDataToCommMem(id, &value);
    });
  }
  state.SetItemsProcessed(state.iterations() * setting.configs() * 3 * setting.numbers());
}
BENCHMARK(BM_SetCommMemoryHostCalls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
