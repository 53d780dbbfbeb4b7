// Reading and writing one config's type data file of 20,000 numeric items
// and 500 texts, beside a plain scan of the same bytes for line ends.
// Rates are per CPU second; the wall time of a save also holds the flush
// to disk that makes the replace safe.
//
//   build/release/bin/bench_datafile
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "mmisim.h"
#include "platform/file_system.h"
#include "typedata.h"

namespace {

constexpr int kTypeNo = 12;
const char* kPath = "..\\type\\0012\\BENCH0012.DAT";

// A machine whose one config holds 20,000 numbers, half of them real, and
// 500 texts; its type data file, made anew, sits in a fresh folder.
class Setting {
 public:
  Setting() {
    char pattern[] = "/tmp/typedata-bench-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(root_ + "/work");
    std::filesystem::current_path(root_ + "/work");

    std::ostringstream machine;
    machine << "config 1 prefix BENCH\n";
    const char* kinds[] = {"D 8000", "S 4000", "A 4000", "L 4000"};
    for (const char* kind : kinds) {
      const int count = std::atoi(kind + 2);
      machine << "items " << kind << "\nitem " << kind[0] << " 1-" << count / 2 << " P 0 scale 3\n";
    }
    machine << "items V 500\n";
    mmisim::Machine parsed;
    std::string error;
    if (!mmisim::ParseMachine(machine.str(), "bench", &parsed, &error)) std::abort();
    mmisim::Start(parsed);
    mmisim::SetRecording(false);
    mmisim::AddType(kTypeNo, "BENCH");
    GetMMISystemStruc()->currentTypeNo = kTypeNo;
    GetMMITypeNameAndStruc(kTypeNo, nullptr, &type_);

    auto* table = static_cast<BlockTable*>(MMI_GlobalAlloc(TD_BLOCK_TABLE_SIZE));
    std::mt19937 random(5);
    const char letters[] = "DSAL";
    for (int k = 0; k < 4; ++k) {
      const int count = k == 0 ? 8000 : 4000;
      auto* block = static_cast<ValueBlock*>(MMI_GlobalAlloc(TD_VALUE_BLOCK_SIZE(count)));
      block->kind = letters[k];
      block->count = static_cast<std::uint16_t>(count);
      for (int i = 0; i < count; ++i)
        block->values[i] = static_cast<int>(random() % 2000000) / 1000.0 - 1000.0;
      table->slot[k] = block;
      // Comm memory holds the same values, so that a rewrite writes the
      // same bytes.
      const int codes[] = {TD_CODE_D, TD_CODE_S, TD_CODE_A, TD_CODE_L};
      for (int i = 0; k < 3 && i < count; ++i) {
        const CfgId id = TD_CFGID(i, codes[k], 0);
        mmisim::SetCommValue(id, ConvertDoubleToMMIForm(block->values[i], id));
      }
    }
    auto* texts = static_cast<TextBlock*>(MMI_GlobalAlloc(TD_TEXT_BLOCK_SIZE(500)));
    texts->kind = 'V';
    texts->count = 500;
    for (int i = 0; i < 500; ++i)
      std::snprintf(texts->texts[i], TD_TEXT_SIZE, "setting text number %d of the bench", i);
    table->slot[TD_SLOT_V] = texts;
    type_->configs[0].blocks = table;
    if (SaveCurrentTypeData(0) != 0) std::abort();
    bytes_ = static_cast<std::int64_t>(std::filesystem::file_size(root_ + "/type/0012/BENCH0012.DAT"));
  }
  ~Setting() {
    mmisim::Stop();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(root_);
  }

  TypeRecord* type() const { return type_; }
  std::int64_t bytes() const { return bytes_; }

 private:
  std::string root_;
  TypeRecord* type_ = nullptr;
  std::int64_t bytes_ = 0;
};

Setting& TheSetting() {
  static Setting setting;
  return setting;
}

void BM_LineScan(benchmark::State& state) {
  Setting& setting = TheSetting();
  std::string buffer(64 * 1024, '\0');
  for (auto _ : state) {
    auto file = td::platform::Fs().OpenRead(kPath);
    long lines = 0;
    for (std::int64_t got; (got = file->Read(&buffer[0], buffer.size())) > 0;) {
      const char* at = buffer.data();
      const char* end = at + got;
      while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at))))) {
        ++lines;
        ++at;
      }
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * setting.bytes());
  state.counters["file_bytes"] = static_cast<double>(setting.bytes());
}
BENCHMARK(BM_LineScan);

void BM_Read(benchmark::State& state) {
  Setting& setting = TheSetting();
  for (auto _ : state) {
    if (DAT_fread(setting.type()->configs[0].datName, 0, setting.type()) != 0)
      state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(state.iterations() * setting.bytes());
  state.counters["file_bytes"] = static_cast<double>(setting.bytes());
}
BENCHMARK(BM_Read);

// The file present: header lines kept, D, S and A through comm memory.
void BM_Rewrite(benchmark::State& state) {
  Setting& setting = TheSetting();
  for (auto _ : state) {
    if (SaveCurrentTypeData(0) != 0) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() * setting.bytes());
  state.counters["file_bytes"] = static_cast<double>(setting.bytes());
}
BENCHMARK(BM_Rewrite);

// No file yet: every value from the blocks.
void BM_WriteAnew(benchmark::State& state) {
  Setting& setting = TheSetting();
  for (auto _ : state) {
    state.PauseTiming();
    td::platform::Fs().Remove(kPath);
    state.ResumeTiming();
    if (SaveCurrentTypeData(0) != 0) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() * setting.bytes());
  state.counters["file_bytes"] = static_cast<double>(setting.bytes());
}
BENCHMARK(BM_WriteAnew);

}  // namespace

BENCHMARK_MAIN();
