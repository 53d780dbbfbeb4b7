#include "crash_harness.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/crash_file_system.h"
#include "support/fault_file_system.h"

namespace fs = std::filesystem;

namespace td::testing {
namespace {

bool IsTemporary(const std::string& path) {
  const std::string name = fs::path(path).filename().string();
  return name == "temp.dat" || name == "temp.typ" || name.find(".tmp") != std::string::npos ||
         name.find("temp") == 0 || name.find("-tmp") != std::string::npos;
}

// Each file holds its old or its new content (absent counts as content).
void ExpectOldOrNew(const Tree& before, const Tree& after, const Tree& now, const std::string& what) {
  std::map<std::string, bool> paths;
  for (const Tree* tree : {&before, &after, &now}) {
    for (const auto& [path, bytes] : *tree) paths[path] = true;
  }
  for (const auto& [path, unused] : paths) {
    const auto old = before.find(path);
    const auto fresh = after.find(path);
    const auto held = now.find(path);
    const bool isOld = (old == before.end() && held == now.end()) ||
                       (old != before.end() && held != now.end() && old->second == held->second);
    const bool isNew = (fresh == after.end() && held == now.end()) ||
                       (fresh != after.end() && held != now.end() && fresh->second == held->second);
    EXPECT_TRUE(isOld || isNew) << what << ": " << path << " holds neither its old nor its new content";
    if (held != now.end()) {
      EXPECT_FALSE(IsTemporary(path)) << what << ": " << path << " was left behind";
    }
  }
}

}  // namespace

Tree ReadTree(const std::string& root) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file())
      tree[fs::relative(entry.path(), root).generic_string()] = ReadFileBytes(entry.path().string());
  }
  return tree;
}

void LayTree(const std::string& root, const Tree& tree) {
  std::error_code ignored;
  fs::remove_all(root, ignored);
  fs::create_directories(root);
  for (const auto& [path, bytes] : tree) {
    fs::create_directories((fs::path(root) / path).parent_path());
    WriteFileBytes((fs::path(root) / path).string(), bytes);
  }
}

void CheckEveryFailureAndCrash(const std::string& root, const CrashScenario& scenario,
                               CrashCoverage* coverage) {
  scenario.lay();
  scenario.start();
  const Tree before = ReadTree(root);
  long steps = 0;
  {
    FaultFileSystem counting;
    UseFileSystem use(&counting);
    ASSERT_TRUE(scenario.operation()) << "the operation works without faults";
    steps = counting.count();
  }
  const Tree after = ReadTree(root);
  ASSERT_NE(before, after) << "the operation changes files";
  if (scenario.agree) scenario.agree();

  for (long n = 1; n <= steps; ++n) {
    LayTree(root, before);
    scenario.start();
    FaultFileSystem faulty;
    faulty.FailAt(n);
    bool succeeded = false;
    {
      UseFileSystem use(&faulty);
      succeeded = scenario.operation();
    }
    const Tree now = ReadTree(root);
    const std::string what = "failing operation " + std::to_string(n) + " of " + std::to_string(steps);
    ExpectOldOrNew(before, after, now, what);
    if (succeeded) {
      for (const auto& [path, bytes] : after) {
        if (scenario.mayLag && scenario.mayLag(path)) continue;
        const auto held = now.find(path);
        EXPECT_TRUE(held != now.end() && held->second == bytes)
            << what << ": reported success, so " << path << " must hold its new content";
      }
      if (scenario.agree) scenario.agree();
    }
    ++coverage->failurePoints;
  }

  // One crash more than there are steps: the power fails right after the
  // operation has returned, before anything else is flushed.
  for (long n = 1; n <= steps + 1; ++n) {
    LayTree(root, before);
    scenario.start();
    CrashFileSystem crashing(root);
    crashing.CrashAt(n);
    bool succeeded = false;
    {
      UseFileSystem use(&crashing);
      succeeded = scenario.operation();
    }
    crashing.Crash();
    const std::string what = "crash at step " + std::to_string(n) + " of " + std::to_string(steps);
    const Tree now = ReadTree(root);
    ExpectOldOrNew(before, after, now, what);
    // The power failed right after a reported success (no step failed):
    // all of it must have been on the disk by then, the renames' folder
    // entries included.
    if (succeeded && n > steps) {
      for (const auto& [path, bytes] : after) {
        const auto held = now.find(path);
        EXPECT_TRUE(held != now.end() && held->second == bytes)
            << what << ": reported success, so " << path << " must hold its new content after the crash";
      }
    }
    // After the restart, on what the crash left, the operation works again.
    scenario.start();
    EXPECT_TRUE(scenario.operation()) << what << ": the operation fails after the restart";
    ++coverage->crashPoints;
  }
}

}  // namespace td::testing
