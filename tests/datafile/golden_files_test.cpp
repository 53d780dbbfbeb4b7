// Golden type data files (tests/data/datafile): written from blocks and read
// and rewritten byte for byte, CR LF on disk. Both builds compare against
// the same files.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "datafile/datafile_support.h"

namespace {

using dftest::DatafileTest;
using dftest::GoldenFile;

const char* kGoldMachine = R"(
offline on
config 1 prefix GOLD
  items D 6
  item D 1-3 P 0 scale 2
  item D 4 I
  item D 5 none
  item D 6 F 0 scale 3
  items S 3
  item S 3 blank
  items A 2
  item A 2 P 0 scale 1
  items L 2
  item L 1 P 0 scale 2
  items V 4
  item V 3 blank
)";

class GoldenFiles : public DatafileTest {
 protected:
  void SetUp() override {
    type_ = Start(kGoldMachine);
    table_ = BuildBlocks(type_, 0, true);
  }
  double* Values(int slot) { return static_cast<ValueBlock*>(table_->slot[slot])->values; }
  char* Text(int index) {
    return static_cast<TextBlock*>(type_->configs[0].blocks->slot[TD_SLOT_V])->texts[index];
  }

  // Comm memory holds what the blocks hold, in the controller's form, as
  // after the type was loaded.
  void LoadCommMemory() {
    const int configIndex = SearchMMIConfigIndex(1, nullptr);
    for (const td::Kind& kind : td::kKinds) {
      const auto* block = static_cast<const ValueBlock*>(type_->configs[0].blocks->slot[kind.slot]);
      if (!kind.inCommMem || !block) continue;
      for (int i = 0; i < block->count; ++i) {
        const CfgId id = TD_CFGID(i, kind.code, configIndex);
        mmisim::SetCommValue(id, ConvertDoubleToMMIForm(block->values[i], id));
      }
    }
  }

  TypeRecord* type_ = nullptr;
  BlockTable* table_ = nullptr;
};

// The golden file was written by neither build: both must write exactly
// these bytes from these blocks, so a file written on Linux and one written
// by the Windows DLL under Wine are byte-identical. The values are chosen
// where C runtimes round "%f" differently (ties such as 0.0078125, and
// 123456.7890125, whose decimal text is not the double's).
TEST_F(GoldenFiles, SameBytesFromTheLinuxAndTheWindowsBuild) {
  const double d[] = {0.0078125, 0.0234375, 2.5e-6, -2.7, 9.9, 123456.7890125};
  std::memcpy(Values(TD_SLOT_D), d, sizeof d);
  const double s[] = {-0.5, 7.99, 3.0};
  std::memcpy(Values(TD_SLOT_S), s, sizeof s);
  const double a[] = {2147483647.9, 1e22};
  std::memcpy(Values(TD_SLOT_A), a, sizeof a);
  const double l[] = {-0.0, 42.9};
  std::memcpy(Values(TD_SLOT_L), l, sizeof l);
  std::strcpy(Text(0), "plain");
  std::strcpy(Text(1), "with: colon and spaces ");
  std::strcpy(Text(2), "hidden");
  std::strcpy(Text(3), "bytes \xe4\xf6\xfc\x80");

  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  const std::string golden = GoldenFile("written_from_blocks.dat");
  EXPECT_EQ(ReadTypeFile(12, "GOLD0012.DAT"), golden);

  // Read back and written anew, the file comes out the same again.
  type_->configs[0].blocks = nullptr;
  ASSERT_EQ(DAT_fread("GOLD0012.DAT", 0, type_), 0);
  ASSERT_EQ(std::remove(TypeFile(12, "GOLD0012.DAT").c_str()), 0);
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  EXPECT_EQ(ReadTypeFile(12, "GOLD0012.DAT"), golden);
}

TEST_F(GoldenFiles, HeaderLinesKeptByteForByte) {
  const std::string golden = GoldenFile("header_lines_kept.dat");
  // The file holds header lines of 300 and of 5000 characters.
  std::vector<std::size_t> lengths;
  for (std::size_t start = 0, end; (end = golden.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lengths.push_back(end - start);
  }
  EXPECT_NE(std::find(lengths.begin(), lengths.end(), 300u), lengths.end());
  EXPECT_NE(std::find(lengths.begin(), lengths.end(), 5000u), lengths.end());
  WriteTypeFile(12, "GOLD0012.DAT", golden);
  ASSERT_EQ(DAT_fread("GOLD0012.DAT", 0, type_), 0);
  // The header lines filled nothing; the sections did.
  const double d[] = {12.34, -0.5, 0, -2, 0, 0.125, 0};
  EXPECT_EQ(std::memcmp(Values(TD_SLOT_D), d, sizeof d), 0);
  EXPECT_STREQ(Text(3), "last");

  LoadCommMemory();
  ASSERT_EQ(SaveCurrentTypeData(0), 0);
  EXPECT_EQ(ReadTypeFile(12, "GOLD0012.DAT"), golden);
  EXPECT_EQ(NamesIn(12), std::vector<std::string>{"GOLD0012.DAT"});
}

}  // namespace
