// Replacing a type data file: a fault at any step of a save leaves the old
// file byte for byte (or no file, when there was none) and no temporary file.
#include <filesystem>

#include "datafile/datafile_support.h"
#include "support/fault_file_system.h"

namespace {

using dftest::DatafileTest;
using td::testing::FaultFileSystem;
using td::testing::UseFileSystem;
using Op = FaultFileSystem::Op;

const char* kMachine = R"(
config 1 prefix CF
  items D 3
  item D 1 P 0 scale 2
  items L 1
  items V 2
)";

const char* kOldFile = "// old header\r\n\r\n[D]\r\n1:1.000000,\r\n2:2,\r\n3:3;\r\n[V]\r\n1:old;\r\n";

class SaveFaults : public DatafileTest {
 protected:
  void SetUp() override {
    TypeRecord* type = Start(kMachine);
    BlockTable* table = BuildBlocks(type, 0, false);
    static_cast<ValueBlock*>(table->slot[TD_SLOT_D])->values[0] = 4.5;
    static_cast<ValueBlock*>(table->slot[TD_SLOT_L])->values[0] = 8;
    std::snprintf(static_cast<TextBlock*>(table->slot[TD_SLOT_V])->texts[1], TD_TEXT_SIZE, "new");
    mmisim::SetCommValue(TD_CFGID(1, TD_CODE_D, 0), 77);
  }
  // The type folder as it was before the save: the old file, or nothing.
  void Restore(bool present) {
    std::filesystem::remove_all(TypeFolder(12));
    if (present) WriteTypeFile(12, "CF0012.DAT", kOldFile);
  }
};

TEST_F(SaveFaults, EveryFailedStepLeavesTheOldFile) {
  for (bool present : {true, false}) {
    SCOPED_TRACE(present ? "old file present" : "no old file");
    Restore(present);
    FaultFileSystem counter;
    {
      UseFileSystem use(&counter);
      ASSERT_EQ(SaveCurrentTypeData(0), 0);
    }
    const std::string saved = ReadTypeFile(12, "CF0012.DAT");
    ASSERT_NE(saved, kOldFile);
    ASSERT_GE(counter.count(), present ? 8 : 6);  // open, read, folders, write, flush, close, rename...

    for (long n = 1; n <= counter.count(); ++n) {
      Restore(present);
      FaultFileSystem fs;
      fs.FailAt(n);
      int result;
      {
        UseFileSystem use(&fs);
        result = SaveCurrentTypeData(0);
      }
      ASSERT_TRUE(fs.failed());
      const Op op = fs.log()[static_cast<std::size_t>(n - 1)];
      SCOPED_TRACE("fault at step " + std::to_string(n) + ", operation " +
                   std::to_string(static_cast<int>(op)));
      EXPECT_FALSE(td::testing::TemporaryFileIn(TypeFile(12, "")));
      if (result == 0) {
        // Only what the save does not depend on may fail without harm: a
        // folder that exists already, the folder flush after the rename, and
        // opening a file that is not there.
        EXPECT_TRUE(op == Op::kMakeDir || op == Op::kSyncDir || (!present && op == Op::kOpenRead));
        EXPECT_EQ(ReadTypeFile(12, "CF0012.DAT"), saved);
      } else {
        EXPECT_EQ(result, -1);
        if (present) {
          EXPECT_EQ(ReadTypeFile(12, "CF0012.DAT"), kOldFile);
        } else {
          EXPECT_FALSE(td::testing::FileExists(TypeFile(12, "CF0012.DAT")));
        }
      }
    }
  }
}

TEST_F(SaveFaults, AnOldFileThatCannotBeOpenedIsNotOverwritten) {
  Restore(true);
  FaultFileSystem fs;
  fs.FailAt(1);
  {
    UseFileSystem use(&fs);
    EXPECT_EQ(SaveCurrentTypeData(0), -1);
  }
  EXPECT_EQ(fs.log().front(), Op::kOpenRead);
  EXPECT_EQ(ReadTypeFile(12, "CF0012.DAT"), kOldFile);
}

TEST_F(SaveFaults, TheReaderReportsAFailedRead) {
  Restore(true);
  TypeRecord* type = nullptr;
  GetMMITypeNameAndStruc(12, nullptr, &type);
  for (long n : {1, 2}) {
    FaultFileSystem fs;
    fs.FailAt(n);  // the open, then the first read
    UseFileSystem use(&fs);
    EXPECT_EQ(DAT_fread("CF0012.DAT", 0, type), -1);
  }
}

}  // namespace
