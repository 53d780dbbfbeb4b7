// The reader on hostile files and with memory exhausted: never a crash, a
// store outside a block (blocks are exactly sized global memory), a block
// of the wrong size, a leak, or a pointer to released memory.
#include <random>
#include <set>
#include <string>
#include <vector>

#include "datafile/datafile_support.h"

namespace {

using dftest::DatafileTest;
using dftest::ImageOf;

const char* kMachine = R"(
offline on
config 1 prefix CF
  items D 3
  items S 1
  items A 0
  items L 2
  items V 2
)";

class HostileReader : public DatafileTest {
 protected:
  void SetUp() override { type_ = Start(kMachine); }

  int Read(const std::string& bytes) {
    WriteTypeFile(12, "CF0012.DAT", bytes);
    return DAT_fread("CF0012.DAT", 0, type_);
  }

  // Every block in the table has the kind and count of its slot, and the
  // table and its blocks are all the memory alive beyond baseline.
  void CheckTable(long baseline) {
    const BlockTable* table = type_->configs[0].blocks;
    ASSERT_NE(table, nullptr);
    std::set<void*> blocks;
    const char kinds[TD_SLOT_COUNT] = {'D', 'S', 'A', 'L', 'D', 'S', 'V', 'V'};
    for (int slot = 0; slot < TD_SLOT_COUNT; ++slot) {
      if (!table->slot[slot]) continue;
      blocks.insert(table->slot[slot]);
      const dftest::BlockImage image = ImageOf(table, slot);
      EXPECT_EQ(image.kind, kinds[slot]) << slot;
      EXPECT_EQ(image.count, dftest::CountOf(0, kinds[slot])) << slot;
      if (slot == TD_SLOT_OFFLINE_D || slot == TD_SLOT_OFFLINE_S) {
        EXPECT_NE(table->slot[slot - 4], nullptr) << "a twin exists only beside its main block";
      }
      if (slot == TD_SLOT_OFFLINE_V) {
        EXPECT_NE(table->slot[TD_SLOT_V], nullptr);
      }
    }
    EXPECT_EQ(mmisim::LiveAllocations(), baseline + 1 + static_cast<long>(blocks.size()));
  }

  std::vector<dftest::BlockImage> Images() const {
    std::vector<dftest::BlockImage> images;
    for (int slot = 0; slot < TD_SLOT_COUNT; ++slot)
      images.push_back(ImageOf(type_->configs[0].blocks, slot));
    return images;
  }

  TypeRecord* type_ = nullptr;
};

TEST_F(HostileReader, TenThousandItemsOnOneLine) {
  std::string line;
  for (int i = 1; i <= 10000; ++i) line += std::to_string(i % 4 + 1) + ":" + std::to_string(i) + ",";
  ASSERT_EQ(Read("[D]\r\n" + line + "\r\n"), 0);
  // Numbers 1 to 4 only: each place holds the last value written to it.
  EXPECT_EQ(ImageOf(type_->configs[0].blocks, TD_SLOT_D).values,
            (std::vector<double>{10000, 9997, 9998, 9999}));
  std::string beyond;
  for (int i = 1; i <= 10000; ++i) beyond += std::to_string(i) + ":" + std::to_string(i) + ";";
  EXPECT_EQ(Read("[V]\r\n" + beyond + "\r\n"), -1);
  EXPECT_EQ(ImageOf(type_->configs[0].blocks, TD_SLOT_V).texts, (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(HostileReader, TenMegabyteFiles) {
  const long baseline = mmisim::LiveAllocations();
  mmisim::SetRecording(false);
  std::string sections;
  while (sections.size() < 10'000'000) sections += "[D]\r\n1:1.5,\r\n2:-2;\r\n[V]\r\n1:text, 2:more;\r\n";
  ASSERT_EQ(Read(sections), 0);
  CheckTable(baseline);
  EXPECT_EQ(ImageOf(type_->configs[0].blocks, TD_SLOT_D).values, (std::vector<double>{1.5, -2, 0, 0}));
  // One line of 10 MB: a section header with a huge token, then items.
  ASSERT_EQ(Read("[S]," + std::string(10'000'000, 'x') + "\r\n1:5\r\n"), 0);
  ASSERT_EQ(Read("[S]\r\n" + std::string(10'000'000, ' ') + "1:" + std::string(10'000'000, '7') + "\r\n"), 0);
  EXPECT_EQ(ImageOf(type_->configs[0].blocks, TD_SLOT_S).values[0], std::numeric_limits<double>::infinity());
  ASSERT_EQ(Read("[V]\r\n2:" + std::string(10'000'000, 'v') + "\r\n"), 0);
  EXPECT_EQ(ImageOf(type_->configs[0].blocks, TD_SLOT_V).texts[1], std::string(TD_TEXT_MAX, 'v'));
  CheckTable(baseline);
}

TEST_F(HostileReader, RandomFilesNeverReachOutsideTheirBlocks) {
  const long baseline = mmisim::LiveAllocations();
  std::mt19937 random(99);
  const char* fragments[] = {"[D]", "[S]", "[A]", "[L]", "[V]", "[ V ]", "[X]", "[", "]", "[D", "[]", "[D,S]",
                             ":", ",", ";", "//", "\r\n", "\n", " ", "\t", "\r", "0", "1", "2", "3", "4", "5",
                             "9", "99999999999", "-", ".", "e", "d", "1.5e308", "abc",
                             // Whole lines as the writer writes them.
                             "1:2.5,\r\n", "2:-3;\r\n", "3:-0.125000,\r\n", "4:12345678901,\n",
                             "000002:7;\r\n"};
  int failed = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string file;
    // Now and then a file of several of the reader's 64 KiB pieces.
    const int pieces = round % 500 == 0 ? 40000 : static_cast<int>(random() % 80);
    for (int i = 0; i < pieces; ++i) {
      if (random() % 10 == 0) {
        file += static_cast<char>(random() % 256);  // any byte, the zero included
      } else {
        file += fragments[random() % (sizeof fragments / sizeof *fragments)];
      }
    }
    const int result = Read(file);
    ASSERT_TRUE(result == 0 || result == -1);
    failed += result != 0;
    CheckTable(baseline);
    // A blank in front of every line sends each line the general way, past
    // the short way for the writer's lines: both must store the same.
    const std::vector<dftest::BlockImage> images = Images();
    std::string blanks = " ";
    for (char c : file) blanks += c == '\n' ? std::string("\n ") : std::string(1, c);
    EXPECT_EQ(Read(blanks), result);
    EXPECT_EQ(Images(), images);
    CheckTable(baseline);
    if (HasFailure()) {
      ADD_FAILURE() << "file: " << ::testing::PrintToString(file);
      return;
    }
  }
  EXPECT_GT(failed, 100);  // the fragments make both outcomes common
  EXPECT_LT(failed, 2900);
}

TEST_F(HostileReader, ExhaustedMemoryGivesMinusOne) {
  const std::string file = "[D]\r\n1:1;\r\n[S]\r\n1:2;\r\n[A]\r\n[L]\r\n1:3;\r\n[V]\r\n1:t;\r\n";
  const long before = mmisim::AllocationCalls();
  ASSERT_EQ(Read(file), 0);
  const long allocations = mmisim::AllocationCalls() - before;
  ASSERT_EQ(allocations, 1 + 2 + 2 + 1 + 1 + 2);  // table; D, S, V with twins; A; L

  for (bool fresh_table : {true, false}) {
    for (long n = 1; n <= allocations - (fresh_table ? 0 : 1); ++n) {
      SCOPED_TRACE("allocation " + std::to_string(n) + (fresh_table ? " from no table" : " into a table"));
      if (fresh_table) type_->configs[0].blocks = nullptr;
      mmisim::FailAllocationAt(n);
      EXPECT_EQ(Read(file), -1);
      mmisim::FailAllocationAt(0);
      const BlockTable* table = type_->configs[0].blocks;
      if (fresh_table && n == 1) {
        EXPECT_EQ(table, nullptr);
        continue;
      }
      ASSERT_NE(table, nullptr);
#ifndef _WIN32
      // No slot points at released memory: the stand-in for global memory
      // knows every live block.
      for (void* block : table->slot) {
        if (block) {
          EXPECT_NE(GlobalHandle(block), nullptr);
        }
      }
#endif
    }
  }
  ASSERT_EQ(Read(file), 0);
  EXPECT_EQ(ImageOf(type_->configs[0].blocks, TD_SLOT_V).texts[0], "t");
}

}  // namespace
