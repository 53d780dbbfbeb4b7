// DAT_fread: sections replace blocks, items land at their numbers, and
// nothing outside a section of the read is stored.
#include <cstring>

#include "datafile/datafile_support.h"
#include "datafile/parse_state.h"

namespace {

using dftest::BlockImage;
using dftest::DatafileTest;
using dftest::ImageOf;

const char* kMachine = R"(
offline on
config 1 prefix CF
  items D 3
  items S 2
  items A 2
  items L 1
  items V 3
config 2 prefix OT
  items D 2
)";

class Reader : public DatafileTest {
 protected:
  void SetUp() override { type_ = Start(kMachine); }

  // Reads text as the file of config position p of type 12.
  int ReadText(const std::string& text, int p = 0) {
    const std::string name = p == 0 ? "CF0012.DAT" : "OT0012.DAT";
    WriteTypeFile(12, name, text);
    return DAT_fread(type_->configs[p].datName, p, type_);
  }
  BlockTable* Table(int p = 0) { return type_->configs[p].blocks; }
  std::vector<double> Values(int slot, int p = 0) { return ImageOf(Table(p), slot).values; }
  std::vector<std::string> Texts(int slot = TD_SLOT_V) { return ImageOf(Table(), slot).texts; }

  TypeRecord* type_ = nullptr;
};

using V = std::vector<double>;
using T = std::vector<std::string>;

TEST_F(Reader, SectionsReplaceTheirBlocksAndLeaveTheOthers) {
  BlockTable* table = BuildBlocks(type_, 0, /*twins=*/true);
  static_cast<ValueBlock*>(table->slot[TD_SLOT_S])->values[1] = 7.5;
  static_cast<ValueBlock*>(table->slot[TD_SLOT_D])->values[2] = 9.0;
  static_cast<ValueBlock*>(table->slot[TD_SLOT_OFFLINE_S])->values[0] = 6.0;
  void* oldS = table->slot[TD_SLOT_S];
  void* oldA = table->slot[TD_SLOT_A];
  const long live = mmisim::LiveAllocations();

  ASSERT_EQ(ReadText("[D]\r\n1:1.5,\r\n2:-2;\r\n[V]\r\n1:abc,\r\n2:;\r\n"), 0);
  EXPECT_EQ(Table(), table);
  EXPECT_EQ(Values(TD_SLOT_D), (V{1.5, -2, 0, 0})) << "fewer items than the count: the rest is zero";
  EXPECT_EQ(Texts(), (T{"abc", "", "", ""}));
  EXPECT_EQ(table->slot[TD_SLOT_S], oldS);
  EXPECT_EQ(table->slot[TD_SLOT_A], oldA);
  EXPECT_EQ(Values(TD_SLOT_S), (V{0, 7.5, 0}));
  EXPECT_EQ(Values(TD_SLOT_OFFLINE_S), (V{6, 0, 0}));
  // The twins of the sections read are fresh, zero-filled, and sized alike.
  EXPECT_EQ(ImageOf(table, TD_SLOT_OFFLINE_D), (BlockImage{true, 'D', 3, {0, 0, 0, 0}, {}}));
  EXPECT_EQ(ImageOf(table, TD_SLOT_OFFLINE_V), (BlockImage{true, 'V', 3, {}, {"", "", "", ""}}));
  EXPECT_EQ(mmisim::LiveAllocations(), live) << "replaced blocks are released";
  EXPECT_EQ(td::currentSection, 4);
  EXPECT_EQ(td::currentBlockTable, table);
  EXPECT_EQ(static_cast<void*>(td::currentTextBlock), table->slot[TD_SLOT_V]);
}

TEST_F(Reader, TwinsOnlyForDSAndVAndOnlyWithOfflineCopies) {
  ASSERT_EQ(ReadText("[A]\r\n1:1;\r\n[L]\r\n1:2;\r\n[S]\r\n2:3;\r\n"), 0);
  EXPECT_EQ(ImageOf(Table(), TD_SLOT_OFFLINE_S), (BlockImage{true, 'S', 2, {0, 0, 0}, {}}));
  EXPECT_EQ(Values(TD_SLOT_S), (V{0, 3, 0}));
  EXPECT_EQ(Values(TD_SLOT_A), (V{1, 0, 0}));
  EXPECT_EQ(Values(TD_SLOT_L), (V{2, 0}));
  for (int slot : {TD_SLOT_D, TD_SLOT_OFFLINE_D, TD_SLOT_V, TD_SLOT_OFFLINE_V}) {
    EXPECT_EQ(Table()->slot[slot], nullptr) << slot;
  }

  // Without offline copies the old twin is neither released nor replaced.
  GetMMISystemStruc()->offlineEnabled = 0;
  void* twin = Table()->slot[TD_SLOT_OFFLINE_S];
  ASSERT_EQ(ReadText("[S]\r\n1:4;\r\n"), 0);
  EXPECT_EQ(Table()->slot[TD_SLOT_OFFLINE_S], twin);
  EXPECT_EQ(Values(TD_SLOT_S), (V{4, 0, 0}));
}

TEST_F(Reader, ItemsLandAtTheirNumbersWhateverTheLineLayout) {
  ASSERT_EQ(ReadText("[D]\r\n1:1.0,2:2.0;3:3.0\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{1, 2, 3, 0}));
  ASSERT_EQ(ReadText("[D]\r\n1:1.0,,junk,2:2.0\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{1, 2, 0, 0}));
  // Gaps in the numbering keep every value at its own index.
  ASSERT_EQ(ReadText("[D]\r\n1:1,\r\n3:3;\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{1, 0, 3, 0}));
  ASSERT_EQ(ReadText("[D]\r\n3:3, 1:1 ,\t2 :2\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{1, 2, 3, 0}));
  // Numbers 0, missing or not numbers are passed over.
  ASSERT_EQ(ReadText("[D]\r\n0:5,:6,x:7,-1:8,1a:9,+2:10,2:2.5e1x,4:4d-1\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{0, 25, 0, 0.4}));
  // The exponent letters and the other forms of the number grammar.
  ASSERT_EQ(ReadText("[D]\r\n1: -1.5D2, 2:+.5E+1; 3:abc\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{-150, 5, 0, 0}));
  // A last line without a line end ends with the file, whatever the
  // reader's buffer held after it before (here the end of a line "1:1234,"
  // of an earlier piece of the file).
  std::string lines = "[D]\r\n";
  for (int i = 0; i < 20000; ++i) lines += "1:1234,\r\n";
  ASSERT_EQ(ReadText(lines + "1:12"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{12, 0, 0, 0}));
}

// Lines of one number item as the writer writes them are read by a short
// way; every such line, and every line that only looks like one, must give
// what the same item gives on a line of any other layout.
TEST_F(Reader, WrittenLinesReadAsAnyOtherLayout) {
  const char* lines[] = {"1:2.5,", "2:-3;", "3:0.000001,", "4:7;", "0:5,", "1:,", "1:-,", "01:5,",
                         "1:123456789012345678901.5,", "2:1e5,", "3:1.5d1;", "1:5,x", "1:5;;", "2:5,3:6;",
                         "1:5, ", "3:8;//note", "1:1.5.5,", "5:7;", "123456:5,", "1234567:5,",
                         "3:99999999999999999999999,",
                         // Eight characters at a time: every length of the
                         // whole and the decimal digits, and what is not a digit.
                         "3:-123.456000,", "2:1234567.12345678;", "3:12345678.5,", "1:.12345678,",
                         "1:12345678,", "2:1.234567891,", "1:5.12345x7,", "1:0.00000\xb5,", "1\xb5:1.000000,",
                         "000003:1.000000,", "0000003:1.000000,", "3:-.5000000,", "3:1234567.,",
                         "00003:-474;", "00003:1234567,", "00002:12x4,", "000001:-.5;", "00001:-,",
                         // Numbers of eight digits or more in two words, a
                         // point after them, and what follows the value.
                         "2:2147483647,", "3:-2147483648;", "1:123456789012345,", "1:1234567890123456,",
                         "1:123456789.5,", "2:-0.000000,", "1:1.1234567,", "1:5,\r", "1:5:;", "1:5.5.,"};
  for (const char* line : lines) {
    const int written = ReadText(std::string("[D]\r\n") + line + "\r\n");
    const V writtenValues = Values(TD_SLOT_D);
    // A blank in front takes the general steps, which cut it first.
    const int general = ReadText(std::string("[D]\r\n ") + line + "\r\n");
    EXPECT_EQ(written, general) << line;
    EXPECT_EQ(writtenValues, Values(TD_SLOT_D)) << line;
  }
  ASSERT_EQ(ReadText("[D]\r\n2:-3;\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{0, -3, 0, 0}));
  EXPECT_EQ(ReadText("[D]\r\n5:7;\r\n"), -1);
  EXPECT_EQ(ReadText("[D]\r\n123456:7;\r\n"), -1);
  // In a text section the same line is a text.
  ASSERT_EQ(ReadText("[V]\r\n2:-3;\r\n"), 0);
  EXPECT_EQ(Texts(), (T{"", "-3", "", ""}));
}

TEST_F(Reader, ASectionTakesOneItemMoreThanItsCount) {
  ASSERT_EQ(ReadText("[D]\r\n1:1,2:2,3:3,4:4;\r\n[V]\r\n1:a,2:b,3:c,4:d;\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{1, 2, 3, 4}));
  EXPECT_EQ(Texts(), (T{"a", "b", "c", "d"}));

  // One more fails the read; what was read before stays.
  EXPECT_EQ(ReadText("[S]\r\n1:1;\r\n[D]\r\n1:5,2:6,5:7;\r\n"), -1);
  EXPECT_EQ(Values(TD_SLOT_S), (V{1, 0, 0}));
  EXPECT_EQ(Values(TD_SLOT_D), (V{5, 6, 0, 0}));
  EXPECT_EQ(ReadText("[V]\r\n5:e;\r\n"), -1);
  EXPECT_EQ(Texts(), (T{"", "", "", ""}));
  EXPECT_EQ(ReadText("[D]\r\n99999999999999999999:1\r\n"), -1);
  // Counts of 0: the item beyond is the spare place, the next fails.
  ASSERT_EQ(ReadText("[D]\r\n1:1;\r\n", 1), 0);
  ASSERT_EQ(ReadText("[L]\r\n1:1;\r\n", 1), 0);
  EXPECT_EQ(Values(TD_SLOT_L, 1), (V{1}));
  EXPECT_EQ(ReadText("[L]\r\n2:1;\r\n", 1), -1);
}

TEST_F(Reader, TextsRunToTheNextSeparator) {
  ASSERT_EQ(ReadText("[V]\r\n3:abc ;\r\n2:a:b;\r\n1: lead\r\n"), 0);
  EXPECT_EQ(Texts(), (T{" lead", "a:b", "abc ", ""}));
  ASSERT_EQ(ReadText("[V]\r\n1:a//b;\r\n2:x,y;\r\n"), 0);
  EXPECT_EQ(Texts(), (T{"a", "x", "", ""}));
  // The longest text that the field takes is kept; the rest is dropped.
  const std::string long_text(300, 't');
  ASSERT_EQ(ReadText("[V]\r\n1:" + long_text + ",2:after;\r\n"), 0);
  EXPECT_EQ(Texts(), (T{std::string(TD_TEXT_MAX, 't'), "after", "", ""}));
  // Bytes above 127 and control characters belong to the text.
  ASSERT_EQ(ReadText("[V]\r\n1:\x01\x7f\x80\xff\t\x1a x;\r\n"), 0);
  EXPECT_EQ(Texts()[0], "\x01\x7f\x80\xff\t\x1a x");
}

TEST_F(Reader, SectionHeaderLines) {
  ASSERT_EQ(ReadText("[ D ]\r\n1:1;\r\n[S] , extra\r\n1:2;\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{1, 0, 0, 0}));
  EXPECT_EQ(Values(TD_SLOT_S), (V{2, 0, 0}));
  // Ignored headers: the items after them go on filling the current section.
  ASSERT_EQ(ReadText("[D]\r\n1:1;\r\n[d]\r\n2:2;\r\n[DS]\r\n3:3\r\n[]\r\n4:4\r\n[x] , [S]\r\n1:5\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{5, 2, 3, 4}));
  // A first token without ']' fails the read.
  EXPECT_EQ(ReadText("[D\r\n"), -1);
  EXPECT_EQ(ReadText("[D,S]\r\n"), -1);
  // 31 tokens are read, 32 fail.
  std::string tokens31 = "[D]";
  for (int i = 1; i < 31; ++i) tokens31 += ",t";
  EXPECT_EQ(ReadText(tokens31 + "\r\n1:8\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{8, 0, 0, 0}));
  EXPECT_EQ(ReadText(tokens31 + ",t\r\n"), -1);
  // Tokens of any length: no buffer is too small for them.
  ASSERT_EQ(ReadText("[D]," + std::string(5000, 'x') + "\r\n1:3\r\n[" + std::string(5000, 'L') +
                     "]\r\n2:4\r\n[    \t  V" + std::string(3000, ' ') + "]" + std::string(70, ';') +
                     "\r\n1:v\r\n"),
            0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{3, 4, 0, 0}));
  EXPECT_EQ(Texts()[0], "v");
}

TEST_F(Reader, ItemsBeforeTheFirstSectionOfTheReadAreHeaderLines) {
  // A read of config 2 leaves its D block in the parse state...
  ASSERT_EQ(ReadText("[D]\r\n1:1;\r\n", 1), 0);
  const BlockImage other = ImageOf(Table(1), TD_SLOT_D);
  // ...which no header line of the next read may reach.
  ASSERT_EQ(ReadText("Created: 2024-01-02 10:30\r\n1:99,2:98\r\n[x]\r\n1:97\r\n[D]\r\n2:2;\r\n"), 0);
  EXPECT_EQ(ImageOf(Table(1), TD_SLOT_D), other);
  EXPECT_EQ(Values(TD_SLOT_D), (V{0, 2, 0, 0}));
}

TEST_F(Reader, SectionsTwiceKeepTheSecond) {
  const long live = mmisim::LiveAllocations();
  ASSERT_EQ(ReadText("[D]\r\n1:1,2:2;\r\n[V]\r\n1:a\r\n[D]\r\n3:3;\r\n"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{0, 0, 3, 0}));
  // Table, D and its twin, V and its twin: the first D pair is gone.
  EXPECT_EQ(mmisim::LiveAllocations(), live + 5);
}

TEST_F(Reader, EmptyAndMissingFiles) {
  ASSERT_EQ(type_->configs[0].blocks, nullptr);
  EXPECT_EQ(DAT_fread("CF0012.DAT", 0, type_), -1) << "no file";
  EXPECT_EQ(type_->configs[0].blocks, nullptr);
  ASSERT_EQ(ReadText(""), 0);
  ASSERT_NE(Table(), nullptr);
  for (void* slot : Table()->slot) EXPECT_EQ(slot, nullptr);
  ASSERT_EQ(ReadText("// only comments\r\n\r\n   \t\r\n// [D]\r\n"), 0);
  for (void* slot : Table()->slot) EXPECT_EQ(slot, nullptr);
  // Lines end in CR LF or LF alike; the last may have none.
  ASSERT_EQ(ReadText("[D]\n1:1,\n2:2;\r\n[S]\r\n1:3"), 0);
  EXPECT_EQ(Values(TD_SLOT_D), (V{1, 2, 0, 0}));
  EXPECT_EQ(Values(TD_SLOT_S), (V{3, 0, 0}));
}

TEST_F(Reader, RefusesWhatWouldReachOutsideItsRecords) {
  WriteTypeFile(12, "CF0012.DAT", "[D]\r\n1:1;\r\n");
  EXPECT_EQ(DAT_fread("CF0012.DAT", 2, type_), -1) << "beyond configCount";
  EXPECT_EQ(DAT_fread("CF0012.DAT", -1, type_), -1);
  EXPECT_EQ(DAT_fread(nullptr, 0, type_), -1);
  EXPECT_EQ(DAT_fread("CF0012.DAT", 0, nullptr), -1);
  EXPECT_EQ(DAT_fread(std::string(300, 'n').c_str(), 0, type_), -1);
  type_->typeNo = 10000;
  EXPECT_EQ(DAT_fread("CF0012.DAT", 0, type_), -1);
  type_->typeNo = 12;
  EXPECT_EQ(type_->configs[0].blocks, nullptr);
  EXPECT_EQ(DAT_fread("cf0012.dat", 0, type_), 0) << "names are matched without regard to case";
  EXPECT_EQ(Values(TD_SLOT_D), (V{1, 0, 0, 0}));
}

}  // namespace
