// The peak memory of a type switch on the large machine, against the size
// of the value blocks that the switch fills.
//
// Every heap allocation of the process (the service's, the simulated
// host's and the C++ library's) passes through the counting malloc below,
// which keeps the bytes in use and their highest mark. What counts:
//
//   value blocks   the blocks hung into the type's BlockTables (numbers,
//                  texts and their offline twins), at their allocated sizes;
//   switch peak    the highest heap in use during ChangeCurrentTypeData
//                  less the heap in use before it; the blocks the reader
//                  releases and makes anew are in use before, so this is
//                  what the switch needs beyond them (line buffer, token
//                  buffers, new blocks before the old ones go, host memory
//                  that grows);
//   ratio          (value blocks + switch peak) / value blocks.
//
// The simulated host's own tables (item descriptions, comm memory) exist
// before the switch and are shown apart. Also printed: the process's
// maximum resident set (getrusage), which holds all of these and the page
// cache's copies of nothing (files are read through the kernel).
//
//   build/release/bin/bench_peak_memory
#include <malloc.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kinds.h"
#include "mmisim.h"
#include "support/bench_folder.h"
#include "support/large_machine.h"
#include "typedata.h"

// ---- Counting allocator ----------------------------------------------------

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void __libc_free(void* memory);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

std::atomic<long long> inUse{0};
std::atomic<long long> highest{0};

void* Counted(void* memory) {
  if (memory) {
    const long long now = inUse += static_cast<long long>(malloc_usable_size(memory));
    long long seen = highest.load();
    while (now > seen && !highest.compare_exchange_weak(seen, now)) {
    }
  }
  return memory;
}

void Uncount(void* memory) {
  if (memory) inUse -= static_cast<long long>(malloc_usable_size(memory));
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) { return Counted(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) { return Counted(__libc_calloc(count, size)); }
void free(void* memory) {
  Uncount(memory);
  __libc_free(memory);
}
void* realloc(void* memory, std::size_t size) {
  Uncount(memory);
  return Counted(__libc_realloc(memory, size));
}
void* memalign(std::size_t alignment, std::size_t size) { return Counted(__libc_memalign(alignment, size)); }
void* aligned_alloc(std::size_t alignment, std::size_t size) { return memalign(alignment, size); }
int posix_memalign(void** memory, std::size_t alignment, std::size_t size) {
  *memory = memalign(alignment, size);
  return *memory ? 0 : ENOMEM;
}
}

// ---- The switch -------------------------------------------------------------

namespace {

long long ValueBlockBytes(const TypeRecord* type, int configs) {
  long long bytes = 0;
  for (int p = 0; p < configs; ++p) {
    const BlockTable* table = type->configs[p].blocks;
    if (!table) continue;
    for (int slot = 0; slot < TD_SLOT_COUNT; ++slot) {
      if (table->slot[slot]) bytes += static_cast<long long>(malloc_usable_size(table->slot[slot]));
    }
  }
  return bytes;
}

double MiB(long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int main() {
  bench::BenchFolder folder;
  const bench::MachineShape shape = bench::LargeMachine();
  const int configs = static_cast<int>(shape.configs.size());
  bench::StartMachine(shape);
  for (int typeNo : {1, 2}) {
    mmisim::AddType(typeNo, typeNo == 1 ? "T1" : "T2");
    bench::MakeTypeData(typeNo, static_cast<std::uint32_t>(typeNo) * 7);
  }
  // Type 1 loaded and comm memory holding every item: the state in which
  // an operator switches.
  if (ChangeCurrentTypeData(1, 2) != 0 || ChangeCurrentTypeData(2, 1) != 0 ||
      ChangeCurrentTypeData(1, 2) != 0)
    return 1;
  TypeRecord* type = nullptr;
  GetMMITypeNameAndStruc(2, nullptr, &type);

  const long long before = inUse.load();
  const long long blocksBefore = ValueBlockBytes(type, configs);
  highest = before;
  const int result = ChangeCurrentTypeData(2, 1);
  const long long peak = highest.load();
  const long long after = inUse.load();
  const long long blocks = ValueBlockBytes(type, configs);
  if (result != 0) return 1;

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const long long switchPeak = peak - before;
  std::printf("value_block_bytes %lld\n", blocks);
  std::printf("value_block_bytes_before %lld\n", blocksBefore);
  std::printf("heap_before %lld\n", before);
  std::printf("heap_peak %lld\n", peak);
  std::printf("heap_after %lld\n", after);
  std::printf("switch_peak_bytes %lld\n", switchPeak);
  std::printf("host_and_other_heap %lld\n", before - blocksBefore);
  std::printf("max_rss_bytes %lld\n", static_cast<long long>(usage.ru_maxrss) * 1024);
  std::printf("ratio %.4f\n", static_cast<double>(blocks + switchPeak) / static_cast<double>(blocks));
  std::fprintf(stderr,
               "value blocks %.1f MiB, switch needs %.2f MiB beyond them: %.3fx; heap before %.1f MiB\n",
               MiB(blocks), MiB(switchPeak),
               static_cast<double>(blocks + switchPeak) / static_cast<double>(blocks), MiB(before));
  mmisim::Stop();
  return 0;
}
