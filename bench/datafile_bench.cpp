// Reading and writing one config's type data file, beside the plain work
// on the same bytes: DAT_fread beside reading the file and finding every
// line end; SaveCurrentTypeData (file made anew, and file present) beside
// writing the same bytes with one fwrite, and with one fwrite made as
// durable as the save makes its file (fsync, rename, folder fsync).
//
// The argument is the config's number of numeric items: two fifths D, a
// fifth each S, A and L, and a text for every forty. 20,000 is the busy
// config of 20,000 numbers and 500 texts; the others show how the rates
// follow the file size.
//
// The writers wait for the disk (the save flushes its file before the
// replace), so their iterations are counted in wall-clock time; the
// tables compare CPU times and show the wall-clock ones beside them.
//
//   build/release/bin/bench_datafile
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mmisim.h"
#include "platform/file_system.h"
#include "support/bench_folder.h"
#include "support/large_machine.h"
#include "typedata.h"

namespace {

constexpr int kTypeNo = 12;
const int kSizes[] = {500, 2000, 5000, 20000, 80000};

class Setting {
 public:
  Setting() {
    bench::MachineShape shape;
    for (int numbers : kSizes)
      shape.configs.push_back(bench::ProportionalConfig("N" + std::to_string(numbers), numbers));
    bench::StartMachine(shape);
    mmisim::AddType(kTypeNo, "BENCH");
    bench::MakeTypeData(kTypeNo, 5);
    paths_ = bench::TypeDataPaths(kTypeNo);
  }
  ~Setting() { mmisim::Stop(); }

  // The config position of a size.
  static int Position(int numbers) {
    for (int p = 0; p < static_cast<int>(std::size(kSizes)); ++p) {
      if (kSizes[p] == numbers) return p;
    }
    std::abort();
  }
  TypeRecord* type() const {
    TypeRecord* type = nullptr;
    GetMMITypeNameAndStruc(kTypeNo, nullptr, &type);
    return type;
  }
  const std::string& path(int numbers) const { return paths_[static_cast<std::size_t>(Position(numbers))]; }
  std::int64_t bytes(int numbers) const { return bench::TotalBytes({path(numbers)}); }
  std::string content(int numbers) const {
    auto file = td::platform::Fs().OpenRead(path(numbers));
    std::string all(static_cast<std::size_t>(bytes(numbers)), '\0');
    std::size_t at = 0;
    for (std::int64_t got; at < all.size() && (got = file->Read(&all[at], all.size() - at)) > 0;)
      at += static_cast<std::size_t>(got);
    return all;
  }

 private:
  bench::BenchFolder folder_;
  std::vector<std::string> paths_;
};

Setting& TheSetting() {
  static Setting setting;
  return setting;
}

void Report(benchmark::State& state, std::int64_t bytes) {
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int numbers : kSizes) b->Arg(numbers);
}

void BM_LineScan(benchmark::State& state) {
  Setting& setting = TheSetting();
  const int numbers = static_cast<int>(state.range(0));
  const std::string& path = setting.path(numbers);
  std::string buffer(64 * 1024, '\0');
  for (auto _ : state) {
    auto file = td::platform::Fs().OpenRead(path);
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
  Report(state, setting.bytes(numbers));
}
BENCHMARK(BM_LineScan)->Apply(Sizes);

void BM_Read(benchmark::State& state) {
  Setting& setting = TheSetting();
  const int numbers = static_cast<int>(state.range(0));
  const int position = Setting::Position(numbers);
  TypeRecord* type = setting.type();
  for (auto _ : state) {
    if (DAT_fread(type->configs[position].datName, position, type) != 0) state.SkipWithError("read failed");
  }
  Report(state, setting.bytes(numbers));
}
BENCHMARK(BM_Read)->Apply(Sizes);

// The file present: header lines kept, D, S and A through comm memory.
void BM_SavePresent(benchmark::State& state) {
  Setting& setting = TheSetting();
  const int numbers = static_cast<int>(state.range(0));
  const int position = Setting::Position(numbers);
  for (auto _ : state) {
    if (SaveCurrentTypeData(position) != 0) state.SkipWithError("save failed");
  }
  Report(state, setting.bytes(numbers));
}
BENCHMARK(BM_SavePresent)->Apply(Sizes)->UseRealTime();

// No file yet: every value from the blocks.
void BM_SaveMissing(benchmark::State& state) {
  Setting& setting = TheSetting();
  const int numbers = static_cast<int>(state.range(0));
  const int position = Setting::Position(numbers);
  const std::string& path = setting.path(numbers);
  for (auto _ : state) {
    state.PauseTiming();
    td::platform::Fs().Remove(path);
    state.ResumeTiming();
    if (SaveCurrentTypeData(position) != 0) state.SkipWithError("save failed");
  }
  Report(state, setting.bytes(numbers));
}
BENCHMARK(BM_SaveMissing)->Apply(Sizes)->UseRealTime();

// The same bytes, written with one fwrite into a file of their own.
void BM_Fwrite(benchmark::State& state) {
  Setting& setting = TheSetting();
  const int numbers = static_cast<int>(state.range(0));
  const std::string content = setting.content(numbers);
  const std::string path = bench::SystemPath("..\\type\\0012\\fwrite.dat");
  for (auto _ : state) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(content.data(), 1, content.size(), file) != content.size() ||
        std::fclose(file) != 0)
      state.SkipWithError("fwrite failed");
  }
  Report(state, static_cast<std::int64_t>(content.size()));
}
BENCHMARK(BM_Fwrite)->Apply(Sizes)->UseRealTime();

// The same, made as durable as a save: flushed to disk, renamed over the
// file, the folder flushed.
void BM_FwriteDurable(benchmark::State& state) {
  Setting& setting = TheSetting();
  const int numbers = static_cast<int>(state.range(0));
  const std::string content = setting.content(numbers);
  const std::string folder = bench::SystemPath("..\\type\\0012");
  const std::string temp = folder + "/fwrite.tmp";
  const std::string target = folder + "/fwrite.dat";
  for (auto _ : state) {
    FILE* file = std::fopen(temp.c_str(), "wb");
    bool ok = file && std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
              std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
    ok = file && std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ok = ok && dir >= 0 && ::fsync(dir) == 0;
    if (dir >= 0) ::close(dir);
    if (!ok) state.SkipWithError("durable fwrite failed");
  }
  Report(state, static_cast<std::int64_t>(content.size()));
}
BENCHMARK(BM_FwriteDurable)->Apply(Sizes)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
