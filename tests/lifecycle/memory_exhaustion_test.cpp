// Memory running out at every allocation of an operation: a failure
// reported, never a crash, and what was built stays hung in the records.
#include <gtest/gtest.h>

#include <filesystem>

#include "kinds.h"
#include "lifecycle/lifecycle.h"

namespace {

using td::testing::RecordOf;

// Blocks reachable from the record: the record, its tables and their blocks.
long Reachable(const TypeRecord* record) {
  if (record == nullptr) return 0;
  long count = 1;
  for (int p = 0; p < GetMMITypeInfo()->configCount; ++p) {
    const BlockTable* table = record->configs[p].blocks;
    if (table == nullptr) continue;
    ++count;
    for (void* block : table->slot) count += block != nullptr;
  }
  return count;
}

class MemoryExhaustion : public td::testing::LifecycleTest {};

TEST_F(MemoryExhaustion, CreateSetTypeDataAtEveryAllocation) {
  long before = mmisim::AllocationCalls();
  ASSERT_EQ(CreateSetTypeData(), 0);
  const long allocations = mmisim::AllocationCalls() - before;
  ASSERT_EQ(Reachable(GetMMITypeInfo()->typeList), allocations);
  std::filesystem::remove_all(workspace_.Path("type"));

  for (long n = 1; n <= allocations; ++n) {
    mmisim::StartHost(mmisim::SampleMachine());
    mmisim::AddType(3, "OLD");
    before = mmisim::AllocationCalls();
    mmisim::FailAllocationAt(n);
    EXPECT_EQ(CreateSetTypeData(), -1) << "allocation " << n;
    EXPECT_EQ(mmisim::AllocationCalls() - before, n) << "it stops at the failure";
    // The new record is built before it replaces the list: running out of
    // memory leaves the list as it was.
    const TypeRecord* record = GetMMITypeInfo()->typeList;
    EXPECT_EQ(record->typeNo, 3) << "allocation " << n << ": nothing changed";
    EXPECT_EQ(GetMMITypeInfo()->typeCount, 1);
    EXPECT_FALSE(td::testing::FileExists(workspace_.Path("type/mmi.typ")));
  }
}

TEST_F(MemoryExhaustion, InitialSetTypeDataAtEveryAllocation) {
  ASSERT_EQ(CreateSetTypeData(), 0);
  TypeRecord* record = RecordOf(0);
  long before = mmisim::AllocationCalls();
  ASSERT_EQ(InitialSetTypeData(record, 0), 0);
  const long allocations = mmisim::AllocationCalls() - before;
  EXPECT_EQ(allocations, 9) << "MAIN: table, D, S, A, L, V and three twins";

  for (long n = 1; n <= allocations; ++n) {
    BlockTable* old = record->configs[0].blocks;
    mmisim::FailAllocationAt(n);
    EXPECT_EQ(InitialSetTypeData(record, 0), -1) << "allocation " << n;
    const BlockTable* table = record->configs[0].blocks;
    if (n == 1) {
      EXPECT_EQ(table, old) << "no table: the entry keeps the one it had";
      continue;
    }
    ASSERT_NE(table, old);
    long blocks = 0;
    for (void* block : table->slot) blocks += block != nullptr;
    EXPECT_EQ(blocks, n - 2) << "allocation " << n;
  }
}

TEST_F(MemoryExhaustion, LoadingAtEveryAllocationNamesTheConfig) {
  ASSERT_EQ(CreateSetTypeData(), 0);
  ASSERT_EQ(ReadCurrentTypeData(0), 0);
  const auto comm = mmisim::CommMemory();
  long before = mmisim::AllocationCalls();
  ASSERT_EQ(ReadCurrentTypeData(0), 0);
  const long allocations = mmisim::AllocationCalls() - before;
  ASSERT_GT(allocations, 0);

  for (long n = 1; n <= allocations; ++n) {
    mmisim::FailAllocationAt(n);
    const int result = ChangeCurrentTypeData(0, 0);
    EXPECT_GE(result, 1) << "allocation " << n;
    EXPECT_LE(result, 4);
    EXPECT_EQ(mmisim::CommMemory(), comm);
    mmisim::FailAllocationAt(0);
    ASSERT_EQ(ReadCurrentTypeData(0), 0) << "the files are whole: a new read recovers";
  }
}

}  // namespace
