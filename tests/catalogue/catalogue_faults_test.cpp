// File operations failing one at a time, every one in turn, while the
// catalogue is updated and files are copied: the old files survive every
// failure, and no temporary file is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "catalogue_support.h"
#include "support/fault_file_system.h"

namespace {

namespace fs = std::filesystem;
using Op = td::testing::FaultFileSystem::Op;
using td::testing::CatalogueTest;
using td::testing::FaultFileSystem;
using td::testing::kTwoConfigMachine;
using td::testing::ReadFileBytes;
using td::testing::UseFileSystem;
using td::testing::WriteFileBytes;

struct Outcome {
  int result = 0;
  Op failed{};
  int ordinal = 0;  // the failed operation is the ordinal-th of its kind
};

// Runs the operation once to count its file operations, then once for each
// of them with that one failing; check looks at every outcome.
void FailEachOperationInTurn(const std::function<void()>& reset, const std::function<int()>& run,
                             const std::function<void(long n, const Outcome&)>& check) {
  long operations = 0;
  {
    reset();
    FaultFileSystem counting;
    UseFileSystem use(&counting);
    ASSERT_EQ(run(), 0) << "without faults";
    operations = counting.count();
  }
  ASSERT_GE(operations, 5);
  for (long n = 1; n <= operations; ++n) {
    reset();
    FaultFileSystem faulty;
    faulty.FailAt(n);
    Outcome outcome;
    {
      UseFileSystem use(&faulty);
      outcome.result = run();
    }
    ASSERT_TRUE(faulty.failed()) << "operation " << n;
    outcome.failed = faulty.log()[static_cast<std::size_t>(n - 1)];
    outcome.ordinal =
        static_cast<int>(std::count(faulty.log().begin(), faulty.log().begin() + n, outcome.failed));
    check(n, outcome);
  }
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class CatalogueFaultTest : public CatalogueTest {
 protected:
  const std::string before_ = "// heading\r\n12,\"Alpha\" // note\r\n0, \r\n";
  long liveBefore_ = 0;

  void Reset() {
    StartWith(kTwoConfigMachine, before_);
    liveBefore_ = mmisim::LiveAllocations();
  }
  void ExpectOldCatalogue(long n) {
    EXPECT_EQ(Catalogue(), before_) << "operation " << n;
    EXPECT_EQ(TypeList(), (std::vector<std::pair<int, std::string>>{{12, "Alpha"}, {0, ""}}))
        << "operation " << n;
    EXPECT_EQ(GetMMITypeInfo()->typeCount, 2) << "operation " << n;
    EXPECT_EQ(mmisim::LiveAllocations(), liveBefore_)
        << "operation " << n << ": the new record is given back";
  }
};

TEST_F(CatalogueFaultTest, AddingATypeEitherHappensWholeOrNotAtAll) {
  const auto check = [&](long n, const Outcome& outcome) {
    EXPECT_EQ(Names(workspace_.Path("type")), std::vector<std::string>{"mmi.typ"});
    if (outcome.failed == Op::kSyncDir) {
      // The new catalogue is in place; only its folder's flush failed.
      EXPECT_EQ(outcome.result, 0);
      EXPECT_EQ(Catalogue(), "// heading\r\n13,\"Beta\"\r\n12,\"Alpha\" // note\r\n0, \r\n");
      EXPECT_EQ(TypeList().front(), std::make_pair(13, std::string("Beta")));
      return;
    }
    EXPECT_EQ(outcome.result, -1) << "operation " << n;
    ExpectOldCatalogue(n);
  };
  FailEachOperationInTurn([&] { Reset(); }, [] { return UpdateTypeFile("Beta", 13, 1); }, check);
}

TEST_F(CatalogueFaultTest, RenamingATypeEitherHappensWholeOrNotAtAll) {
  const auto check = [&](long n, const Outcome& outcome) {
    EXPECT_EQ(Names(workspace_.Path("type")), std::vector<std::string>{"mmi.typ"});
    if (outcome.failed == Op::kSyncDir) {
      EXPECT_EQ(outcome.result, 0);
      EXPECT_EQ(Catalogue(), "// heading\r\n12,\"Gamma\"\r\n0, \r\n");
      return;
    }
    EXPECT_EQ(outcome.result, -1) << "operation " << n;
    ExpectOldCatalogue(n);
  };
  FailEachOperationInTurn([&] { Reset(); }, [] { return UpdateTypeFile("Gamma", 12, 0); }, check);
}

class CopyFaultTest : public td::testing::WorkspaceTest {
 protected:
  // A source larger than one piece of the copy, so reads and writes repeat.
  const std::string source_ = std::string(150000, 's') + std::string("\0\x1a\r\n", 4);
  const std::string old_ = "old target\r\n";

  void Reset() {
    fs::remove_all(workspace_.Path("type"));
    td::testing::MakeDirs(workspace_.Path("type/0005"));
    td::testing::MakeDirs(workspace_.Path("type/0007"));
    WriteFileBytes(workspace_.Path("type/0005/P0005.DAT"), source_);
    WriteFileBytes(workspace_.Path("type/0007/P0007.DAT"), old_);
  }
  void ExpectOnlyTheFiles(long n) {
    EXPECT_EQ(Names(workspace_.Path("type/0005")), std::vector<std::string>{"P0005.DAT"})
        << "operation " << n;
    EXPECT_EQ(Names(workspace_.Path("type/0007")), std::vector<std::string>{"P0007.DAT"})
        << "operation " << n;
    EXPECT_EQ(ReadFileBytes(workspace_.Path("type/0005/P0005.DAT")), source_) << "operation " << n;
  }
  std::string Target() const { return ReadFileBytes(workspace_.Path("type/0007/P0007.DAT")); }
};

// Only steps whose failure cannot harm the copy may go unnoticed: making a
// folder that exists already, closing the first file opened for writing (the
// test whether the target may be written), flushing the folder.
bool Harmless(const Outcome& outcome) {
  return outcome.failed == Op::kSyncDir || outcome.failed == Op::kMakeDir ||
         (outcome.failed == Op::kClose && outcome.ordinal == 1);
}

TEST_F(CopyFaultTest, FileCopyLeavesTheOldTargetOrPutsTheWholeCopy) {
  int failures = 0;
  for (int makeFolder : {0, 1}) {
    const auto check = [&](long n, const Outcome& outcome) {
      ExpectOnlyTheFiles(n);
      if (outcome.result == 0) {
        EXPECT_TRUE(Harmless(outcome)) << "operation " << n;
        EXPECT_EQ(Target(), source_) << "operation " << n;
      } else {
        ++failures;
        EXPECT_EQ(outcome.result, -1);
        EXPECT_EQ(Target(), old_) << "operation " << n;
      }
    };
    FailEachOperationInTurn([&] { Reset(); }, [&] { return FileCopy("P0005.DAT", "P0007.DAT", makeFolder); },
                            check);
  }
  EXPECT_GE(failures, 14) << "reads, writes, flush, close and rename failures are all noticed";
}

TEST_F(CopyFaultTest, ExecCopyLeavesTheOldTargetOrPutsTheWholeCopy) {
  int failures = 0;
  FailEachOperationInTurn([&] { Reset(); },
                          [] { return ExecCopy("..\\type\\0005\\P0005.DAT", "..\\type\\0007\\P0007.DAT"); },
                          [&](long n, const Outcome& outcome) {
                            ExpectOnlyTheFiles(n);
                            if (outcome.failed == Op::kCopyTimes) {
                              EXPECT_EQ(outcome.result, -1) << "the times were not given";
                              EXPECT_EQ(Target(), source_);
                            } else if (outcome.result == 0) {
                              EXPECT_TRUE(Harmless(outcome)) << "operation " << n;
                              EXPECT_EQ(Target(), source_) << "operation " << n;
                            } else {
                              ++failures;
                              EXPECT_EQ(Target(), old_) << "operation " << n;
                            }
                          });
  EXPECT_GE(failures, 7);
}

}  // namespace
