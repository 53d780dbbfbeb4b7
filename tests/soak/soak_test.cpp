// The soak test: random operations against a model of the type tree, with
// faults injected at random, checked after every step.
//
//   TD_SOAK_OPERATIONS  operations to run (default 300; e.g. 100000 for the
//                       long run)
//   TD_SOAK_SEED        the seed, to repeat a run (default: a fresh one,
//                       printed)
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "soak/soak_host.h"
#include "support/sim_host.h"

namespace {

unsigned long long FromEnvironment(const char* name, unsigned long long otherwise) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return otherwise;
  return std::strtoull(text, nullptr, 10);
}

class Soak : public td::testing::SimHostTest {};

TEST_F(Soak, RandomOperationsAgreeWithTheModel) {
  const long operations = static_cast<long>(FromEnvironment("TD_SOAK_OPERATIONS", 300));
  const unsigned long long seed = FromEnvironment("TD_SOAK_SEED", std::random_device()());
  std::printf("soak: %ld operations, seed %llu (TD_SOAK_SEED=%llu repeats this run)\n", operations, seed,
              seed);
  std::fflush(stdout);
  RecordProperty("seed", std::to_string(seed));

  td::soak::SoakHost host(workspace_.root(), seed, operations > 1000 ? 16 : 10);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(host.Begin()) << host.failure() << "\nseed " << seed;
  long done = 0;
  while (done < operations && host.Step()) {
    // The long run says how far it is.
    if (++done % 10000 == 0) {
      const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      std::printf("soak: %ld operations after %.0f s\n", done, elapsed);
      std::fflush(stdout);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(done, operations) << host.failure() << "\nseed " << seed;

  long faults = 0;
  long failed = 0;
  std::printf("soak: %ld operations in %.1f s, %zu types and %zu files at the end\n", done, seconds,
              host.model().list.size(), host.model().files.size());
  std::printf("soak: %-14s %8s %8s %8s\n", "operation", "runs", "faults", "failed");
  for (const auto& [name, figures] : host.figures()) {
    std::printf("soak: %-14s %8ld %8ld %8ld\n", name.c_str(), figures.runs, figures.faultsFired,
                figures.failed);
    faults += figures.faultsFired;
    failed += figures.failed;
  }
  std::printf("soak: %ld faults struck, %ld operations failed and left the old state\n", faults, failed);
  // A run long enough to inject faults must have met some, or the faults
  // are not reaching the service.
  if (done >= 200) {
    EXPECT_GT(faults, 0);
  }
}

}  // namespace
