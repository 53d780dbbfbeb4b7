// Runs an operation that changes files with every one of its file
// operations failed in turn, and separately with a crash at every step,
// and checks what the disk holds afterwards.
#ifndef TESTS_RELIABILITY_CRASH_HARNESS_H
#define TESTS_RELIABILITY_CRASH_HARNESS_H

#include <functional>
#include <map>
#include <string>

#include "support/workspace.h"

namespace td::testing {

using Tree = std::map<std::string, std::string>;  // path below the root -> bytes

Tree ReadTree(const std::string& root);
void LayTree(const std::string& root, const Tree& tree);

struct CrashScenario {
  // Lays the files: the same on every call.
  std::function<void()> lay;
  // Starts the host on the files as they are and prepares its memory.
  std::function<void()> start;
  // The operation; true when it reports success.
  std::function<bool()> operation;
  // Checks the host's memory against the disk after a reported success
  // (the catalogue and the type list agree, say). Optional.
  std::function<void()> agree;
  // Files that a reported success need not have brought to their new
  // state (copies that the operation reports no failure of). Optional.
  std::function<bool(const std::string& path)> mayLag;
};

struct CrashCoverage {
  long failurePoints = 0;  // operations failed one at a time
  long crashPoints = 0;    // crashes, one at each step
};

// Every file below root must hold its old or its new content after each
// failure and each crash; no temporary file may be left; after a reported
// success the disk holds the new state; the operation works again after
// each crash. Adds what it covered to coverage.
void CheckEveryFailureAndCrash(const std::string& root, const CrashScenario& scenario,
                               CrashCoverage* coverage);

}  // namespace td::testing

#endif  // TESTS_RELIABILITY_CRASH_HARNESS_H
