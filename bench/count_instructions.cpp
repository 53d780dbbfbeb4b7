// One operation on the busy config (20,000 numbers and 500 texts), repeated,
// with callgrind collecting only while the operation runs. Instruction
// counts do not change with the load of a shared machine as times do.
//
//   valgrind --tool=callgrind --collect-atstart=no
//     build/release/bin/bench_count_instructions read 10
//
// Operations: read (DAT_fread), save-present and save-missing
// (SaveCurrentTypeData with the file there, and with none). Prints the
// file's bytes and the repetitions, for instructions per byte.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT  // without valgrind's headers: counts everything
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mmisim.h"
#include "platform/file_system.h"
#include "support/bench_folder.h"
#include "support/large_machine.h"
#include "typedata.h"

int main(int argc, char** argv) {
  const std::string op = argc > 1 ? argv[1] : "read";
  const int repetitions = argc > 2 ? std::atoi(argv[2]) : 10;
  if (op != "read" && op != "save-present" && op != "save-missing") {
    std::fprintf(stderr, "usage: %s read|save-present|save-missing [repetitions]\n", argv[0]);
    return 2;
  }
  constexpr int kTypeNo = 12;
  bench::BenchFolder folder;
  bench::MachineShape shape;
  shape.configs.push_back(bench::ProportionalConfig("BUSY", 20000));
  bench::StartMachine(shape);
  mmisim::AddType(kTypeNo, "BENCH");
  bench::MakeTypeData(kTypeNo, 5);
  const std::string path = bench::TypeDataPaths(kTypeNo)[0];
  TypeRecord* type = nullptr;
  GetMMITypeNameAndStruc(kTypeNo, nullptr, &type);

  int failures = 0;
  for (int i = 0; i < repetitions; ++i) {
    if (op == "save-missing") td::platform::Fs().Remove(path);
    CALLGRIND_TOGGLE_COLLECT;
    const int result = op == "read" ? DAT_fread(type->configs[0].datName, 0, type) : SaveCurrentTypeData(0);
    CALLGRIND_TOGGLE_COLLECT;
    failures += result != 0;
  }
  std::printf("op %s bytes %lld repetitions %d failures %d\n", op.c_str(),
              static_cast<long long>(bench::TotalBytes({path})), repetitions, failures);
  mmisim::Stop();
  return failures == 0 ? 0 : 1;
}
