// A type switch on a large machine: ChangeCurrentTypeData, which reads a
// type's 64 type data files and writes its D, S and A values into comm
// memory, beside reading the bytes of the same files, and the two halves of
// the switch apart. 64 configs, each with 4,096 items of every numeric kind
// (half of them real) and 256 texts. Recording is off.
//
//   build/release/bin/bench_type_switch
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "kinds.h"
#include "mmisim.h"
#include "platform/file_system.h"
#include "typedata.h"

namespace {

constexpr int kConfigs = 64;
constexpr int kNumbers = 4096;
constexpr int kTexts = 256;

std::string MachineText() {
  std::ostringstream machine;
  machine << "offline on\n";
  for (int c = 1; c <= kConfigs; ++c) {
    machine << "config " << c << " prefix C" << c << "\n";
    for (const char* kind : {"D", "S", "A", "L"}) {
      machine << "items " << kind << " " << kNumbers << "\n";
      machine << "item " << kind << " 1-" << kNumbers / 2 << " P 0 scale 3\n";
    }
    machine << "items V " << kTexts << "\n";
  }
  return machine.str();
}

// Two types whose files hold different random values, type 1 loaded.
class Setting {
 public:
  Setting() {
    char pattern[] = "/tmp/typedata-bench-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(root_ + "/work");
    std::filesystem::current_path(root_ + "/work");
    mmisim::Machine machine;
    std::string error;
    if (!mmisim::ParseMachine(MachineText(), "bench", &machine, &error)) std::abort();
    mmisim::Start(machine);
    mmisim::SetRecording(false);
    std::mt19937 random(7);
    for (int typeNo : {1, 2}) {
      mmisim::AddType(typeNo, typeNo == 1 ? "T1" : "T2");
      MakeFiles(typeNo, random);
    }
    for (int typeNo : {1, 2}) {
      TypeRecord* type = nullptr;
      GetMMITypeNameAndStruc(typeNo, nullptr, &type);
      for (int p = 0; p < kConfigs; ++p) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "%04d", typeNo);
        const std::string name = type->configs[p].datName;
        paths_[typeNo - 1].push_back("..\\type\\" + std::string(folder) + "\\" + name);
        bytes_[typeNo - 1] +=
            static_cast<std::int64_t>(std::filesystem::file_size(root_ + "/type/" + folder + "/" + name));
      }
    }
    if (ChangeCurrentTypeData(1, 2) != 0) std::abort();
  }
  ~Setting() {
    mmisim::Stop();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(root_);
  }

  const std::vector<std::string>& paths(int typeNo) const { return paths_[typeNo - 1]; }
  std::int64_t bytes(int typeNo) const { return bytes_[typeNo - 1]; }

 private:
  // Defaults built while the type is current, then random values, saved.
  static void MakeFiles(int typeNo, std::mt19937& random) {
    GetMMISystemStruc()->currentTypeNo = static_cast<std::uint16_t>(typeNo);
    TypeRecord* type = nullptr;
    GetMMITypeNameAndStruc(typeNo, nullptr, &type);
    for (int p = 0; p < kConfigs; ++p) {
      if (InitialSetTypeData(type, p) != 0) std::abort();
      BlockTable* table = type->configs[p].blocks;
      for (const td::Kind& kind : td::kKinds) {
        if (kind.numeric) {
          ValueBlock* block = td::ValueSlot(table, kind.slot);
          for (int i = 0; i < block->count; ++i) {
            block->values[i] = static_cast<int>(random() % 2000000) / 1000.0 - 1000.0;
          }
        } else {
          TextBlock* block = td::TextSlot(table, kind.slot);
          for (int i = 0; i < block->count; ++i) {
            std::snprintf(block->texts[i], TD_TEXT_SIZE, "text %d of config %d, type %d", i, p + 1, typeNo);
          }
        }
      }
    }
    SetCurrentTypeDataToCommMem(type);
    for (int p = 0; p < kConfigs; ++p) {
      if (SaveCurrentTypeData(p) != 0) std::abort();
    }
  }

  std::string root_;
  std::vector<std::string> paths_[2];
  std::int64_t bytes_[2] = {0, 0};
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
    for (int p = 0; p < kConfigs; ++p) {
      if (DAT_fread(type->configs[p].datName, p, type) != 0) state.SkipWithError("read failed");
    }
  }
  Report(state, setting.bytes(1));
}
BENCHMARK(BM_ReadAllConfigs)->Unit(benchmark::kMillisecond);

// The second half alone: 786,432 D, S and A values into comm memory.
void BM_SetCommMemory(benchmark::State& state) {
  TheSetting();
  TypeRecord* type = nullptr;
  GetMMITypeNameAndStruc(1, nullptr, &type);
  for (auto _ : state) SetCurrentTypeDataToCommMem(type);
  state.SetItemsProcessed(state.iterations() * kConfigs * 3 * kNumbers);
}
BENCHMARK(BM_SetCommMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
