// typedata check: each problem of a seeded tree found once, nothing on a
// clean tree.
#include <gtest/gtest.h>

#include "tool_runner.h"

namespace {

class Check : public td::testing::ToolTest {
 protected:
  void Edit(const std::string& file, const std::string& from, const std::string& to) {
    const std::string path = workspace_.Path("type/" + file);
    std::string bytes = td::testing::ReadFileBytes(path);
    const std::size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos) << file << " has no " << from;
    bytes.replace(at, from.size(), to);
    td::testing::WriteFileBytes(path, bytes);
  }
};

TEST_F(Check, CleanTreeHasNoProblems) {
  ASSERT_EQ(Tool("init").status, 0);
  ASSERT_EQ(Tool("add T40+STEEL+FAST").status, 0);
  ASSERT_EQ(Tool("add T40+ALU").status, 0);
  ASSERT_EQ(Tool("set 1 TOOL D:1=41.5").status, 0);
  const auto run = Tool("check");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("No problems found."), std::string::npos);
}

TEST_F(Check, FindsEachSeededProblemOnce) {
  ASSERT_EQ(Tool("init").status, 0);
  for (const char* name : {"T40+STEEL+FAST", "T40+ALU+SLOW", "T55+STEEL"})
    ASSERT_EQ(Tool(std::string("add ") + name).status, 0);
  ASSERT_EQ(Tool("add A+B --number 8").status, 0);

  // The catalogue lists 8, 3, 2, 1, 0 (newest first); two lines follow.
  Edit("mmi.typ", "0, ", "0, \r\nthis is no record\r\n1,\"DUP\"");  // not understood; number 1 twice
  Edit("mmi.typ", "8,\"A+B\"", "8,\"A++B\"");                       // a name the tool refuses
  std::remove(workspace_.Path("type/0003/FEED0003.DAT").c_str());   // a missing file
  Edit("0001/MAIN0001.DAT", "[A]", "9:1.0,\r\n[A]");                // beyond the S count of 4
  Edit("0002/MAIN0002.DAT", "2:12.500000,\r\n", "");                // a gap in D
  Edit("0001/FEED0001.DAT", "[V]\r\n1:", "[V]\r\n1:fast,feed");     // a text holding ','
  Edit("0003/MAIN0003.DAT", "3:120,", "3:99999999999,");            // more than the controller holds
  Edit("0003/MAIN0003.DAT", "[S]", "[\f S ]");  // a header the reader takes as it is: no problem
  Edit("0003/MAIN0003.DAT", "2:3,", "+2:3,");   // names no item to the reader: S 2 reads as 0
  td::testing::WriteFileBytes(workspace_.Path("type/0001/temp.dat"), "half");  // a temporary file
  Edit("0002/TOOL0002.DAT", "4:2,", "4:3,");                                   // a shared config that differs
  Edit("0008/MAIN0008.DAT", "1:12.500000", "1:abc");                           // the reader takes it for 0
  td::testing::WriteFileBytes(workspace_.Path("type/0008/FEED0008.DAT"), "");  // no section at all
  std::remove(workspace_.Path("type/0008/MAT0008.DAT").c_str());
  td::testing::MakeDirs(workspace_.Path("type/0008/MAT0008.DAT"));  // a folder in a file's place
  td::testing::MakeDirs(workspace_.Path("type/0042"));              // a type folder not listed
  td::testing::WriteFileBytes(workspace_.Path("type/0042/MAIN0042.DAT"), "[D]\r\n");
#ifndef _WIN32  // one file where letter case is ignored
  td::testing::WriteFileBytes(workspace_.Path("type/0042/main0042.dat"), "[D]\r\n");  // letter case only
#endif
  for (const char* leftover :
       {"type/~td0123abcd.tmp", "type/temp.typ", "type/0001/copy.tmp", "type/0002/MAIN0002.DAT.copy-tmp"})
    td::testing::WriteFileBytes(workspace_.Path(leftover), "half");

  const auto run = Tool("check");
  EXPECT_EQ(run.status, 1);
  const auto use = Tool("use 8");
  EXPECT_EQ(use.status, 1) << "a file without a section is not loaded as a type without values";
  EXPECT_NE(use.err.find("FEED0008.DAT"), std::string::npos) << use.err;
  std::vector<std::pair<std::string, std::string>> expected = {
      {"type/mmi.typ:6:", "not understood"},
      {"type/mmi.typ:7:", "listed twice"},
      {"type/mmi.typ:1:", "'A++B' is malformed"},
      {"type/0003/FEED0003.DAT:0:", "missing"},
      {"type/0001/MAIN0001.DAT:", "item 9 is beyond"},
      {"type/0002/MAIN0002.DAT:", "has no item 2"},
      {"type/0001/FEED0001.DAT:", "holds ','"},
      {"type/0003/MAIN0003.DAT:", "cannot hold 99999999999"},
      {"type/0003/MAIN0003.DAT:", "[S] has no item 2"},
      {"type/0001/temp.dat:0:", "temporary file"},
      {"type/0001/TOOL0001.DAT:0:", "shared config TOOL"},
      {"type/0008/MAIN0008.DAT:2:", "'abc' is not a number"},
      {"type/0008/FEED0008.DAT:0:", "holds no section"},
      {"type/0008/MAT0008.DAT:0:", "a folder stands where the type data file belongs"},
      {"type/0042:0:", "the catalogue does not list type 42"},
      {"type/~td0123abcd.tmp:0:", "temporary file"},
      {"type/temp.typ:0:", "temporary file"},
      {"type/0001/copy.tmp:0:", "temporary file"},
      {"type/0002/MAIN0002.DAT.copy-tmp:0:", "temporary file"},
  };
#ifndef _WIN32
  expected.emplace_back("type/0042/", "differ only in letter case");
#endif
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(run.out.substr(start, end - start));
  }
  EXPECT_EQ(lines.size(), expected.size()) << run.out;
  for (const auto& [where, what] : expected) {
    int found = 0;
    for (const std::string& line : lines)
      found += line.rfind(where, 0) == 0 && line.find(what) != std::string::npos;
    EXPECT_EQ(found, 1) << where << " ... " << what << "\n" << run.out;
  }
}

}  // namespace
