// The type catalogue with 1,000 and with 9,999 types: SearchTypeNo,
// Type_Add and UpdateTypeFile (adding a type and renaming one), beside one
// pass over the type list and beside rewriting the catalogue's bytes (read
// whole, written with one write, replaced as durably as the service
// replaces it, and without the flushes). Each should grow linearly with the
// number of types, as its baseline does.
//
//   build/release/bin/bench_catalogue
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "catalogue/type_record.h"
#include "mmisim.h"
#include "support/bench_folder.h"
#include "support/large_machine.h"
#include "typedata.h"

namespace {

const char kCatalogue[] = "../type/mmi.typ";

std::string TypeName(int typeNo) { return "TYPE " + std::to_string(typeNo); }

std::string FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A small machine whose catalogue lists types 0 to types - 1, each with
// its type folder. Made anew when a benchmark asks for another number of
// types.
class Setting {
 public:
  explicit Setting(int types) : types_(types) {
    bench::WriteCatalogue(types, TypeName);
    // Every type has its folder beside the catalogue, as in a tree in use:
    // a name looked up without regard to case is looked for among them.
    for (int typeNo = 0; typeNo < types; ++typeNo) {
      char folder[32];
      std::snprintf(folder, sizeof folder, "../type/%04d", typeNo);
      std::filesystem::create_directory(folder);
    }
    bench::StartMachine(bench::UniformMachine(4, 16, 2), /*catalogue=*/true);
    if (GetMMITypeInfo()->typeCount != types) std::abort();
    bytes_ = FileBytes(kCatalogue);
  }
  ~Setting() { mmisim::Stop(); }

  int types() const { return types_; }
  const std::string& bytes() const { return bytes_; }
  // Takes the type that the last add put at the head of the list out again,
  // and the catalogue file back to what it was.
  void UndoAdd(bool file) {
    TypeCatalogue* catalogue = GetMMITypeInfo();
    TypeRecord* added = catalogue->typeList;
    catalogue->typeList = added->next;
    --catalogue->typeCount;
    catalogue->maxTypeNo = static_cast<std::uint16_t>(types_ - 1);
    td::catalogue::ReleaseTypeRecord(added);
    if (file) {
      std::ofstream out(kCatalogue, std::ios::binary | std::ios::trunc);
      out << bytes_;
    }
  }

 private:
  bench::BenchFolder folder_;
  int types_;
  std::string bytes_;
};

// Released by main before the process ends: the simulated host's own
// tables are gone once static objects are destroyed.
std::unique_ptr<Setting> setting;

Setting& TheSetting(int types) {
  if (!setting || setting->types() != types) {
    setting.reset();
    setting = std::make_unique<Setting>(types);
  }
  return *setting;
}

void Sizes(benchmark::internal::Benchmark* b) { b->Arg(1000)->Arg(9999); }

void Report(benchmark::State& state, int types) { state.counters["types"] = types; }

void BM_TypeListPass(benchmark::State& state) {
  const Setting& setting = TheSetting(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    unsigned sum = 0;
    for (const TypeRecord* type = GetMMITypeInfo()->typeList; type; type = type->next) sum += type->typeNo;
    benchmark::DoNotOptimize(sum);
  }
  Report(state, setting.types());
}
BENCHMARK(BM_TypeListPass)->Apply(Sizes);

// Types 0 to n - 1 are taken: the answer is n, found after the whole list.
void BM_SearchTypeNo(benchmark::State& state) {
  const Setting& setting = TheSetting(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (SearchTypeNo() != setting.types()) state.SkipWithError("wrong free number");
  }
  Report(state, setting.types());
}
BENCHMARK(BM_SearchTypeNo)->Apply(Sizes);

void BM_TypeAdd(benchmark::State& state) {
  Setting& setting = TheSetting(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (Type_Add("NEW TYPE", setting.types()) != 0) state.SkipWithError("add failed");
    state.PauseTiming();
    setting.UndoAdd(false);
    state.ResumeTiming();
  }
  Report(state, setting.types());
}
BENCHMARK(BM_TypeAdd)->Apply(Sizes)->UseRealTime();

void BM_UpdateTypeFileAdd(benchmark::State& state) {
  Setting& setting = TheSetting(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (UpdateTypeFile("NEW TYPE", setting.types(), 1) != 0) state.SkipWithError("add failed");
    state.PauseTiming();
    setting.UndoAdd(true);
    state.ResumeTiming();
  }
  Report(state, setting.types());
}
BENCHMARK(BM_UpdateTypeFileAdd)->Apply(Sizes)->UseRealTime();

// The type in the middle of the list gets a new name, and back.
void BM_UpdateTypeFileRename(benchmark::State& state) {
  Setting& setting = TheSetting(static_cast<int>(state.range(0)));
  const int typeNo = setting.types() / 2;
  const std::string names[2] = {"RENAMED", TypeName(typeNo)};
  int turn = 0;
  for (auto _ : state) {
    if (UpdateTypeFile(names[turn].c_str(), typeNo, 0) != 0) state.SkipWithError("rename failed");
    turn ^= 1;
  }
  Report(state, setting.types());
}
BENCHMARK(BM_UpdateTypeFileRename)->Apply(Sizes)->UseRealTime();

// The catalogue's bytes read whole and written to a temporary file with one
// write, renamed over the catalogue; durable: flushed to disk first, and the
// folder flushed after, as the service replaces the catalogue.
void RewriteBytes(benchmark::State& state, bool durable) {
  Setting& setting = TheSetting(static_cast<int>(state.range(0)));
  const char kTemp[] = "../type/temp.typ";
  for (auto _ : state) {
    const std::string bytes = FileBytes(kCatalogue);
    const int fd = ::open(kTemp, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    bool ok = fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    if (durable) ok = ok && ::fsync(fd) == 0;
    ok = fd >= 0 && ::close(fd) == 0 && ok;
    ok = ok && std::rename(kTemp, kCatalogue) == 0;
    if (durable) {
      const int dir = ::open("../type", O_RDONLY | O_DIRECTORY);
      ok = ok && dir >= 0 && ::fsync(dir) == 0;
      if (dir >= 0) ::close(dir);
    }
    if (!ok) state.SkipWithError("rewrite failed");
  }
  Report(state, setting.types());
  state.counters["file_bytes"] = static_cast<double>(setting.bytes().size());
}

void BM_RewriteCatalogueBytes(benchmark::State& state) { RewriteBytes(state, false); }
BENCHMARK(BM_RewriteCatalogueBytes)->Apply(Sizes)->UseRealTime();

void BM_RewriteCatalogueBytesDurable(benchmark::State& state) { RewriteBytes(state, true); }
BENCHMARK(BM_RewriteCatalogueBytesDurable)->Apply(Sizes)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  setting.reset();
  return 0;
}
