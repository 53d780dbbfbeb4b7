// Copying type data files between type folders, and any file with its
// times: bytes exactly, the target replaced whole or not at all.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "support/workspace.h"
#include "typedata.h"

namespace {

namespace fs = std::filesystem;
using td::testing::FileExists;
using td::testing::MakeDirs;
using td::testing::ReadFileBytes;
using td::testing::WriteFileBytes;

class FileCopyTest : public td::testing::WorkspaceTest {
 protected:
  std::string TypeFile(const std::string& relative) const { return workspace_.Path("type/" + relative); }
  // Every name in a folder, sorted.
  std::vector<std::string> Names(const std::string& relative) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(workspace_.Path(relative))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Bytes that a text-mode or line-by-line copy would change or stop at.
std::string AwkwardBytes() {
  std::string bytes = "[D]\r\n1,2.5\r\n";
  bytes += std::string(3000, 'x') + "\r\n";     // longer than any piece
  bytes += std::string("nul\0inside\r\n", 12);  // a NUL byte
  bytes += "ctrl-z\x1a after\r\n";              // end-of-file mark of text mode
  bytes += "lf only\nbare cr\r\n\xff\xfe high\r\n";
  bytes += "no line end";
  return bytes;
}

TEST_F(FileCopyTest, CopiesATypeDataFileBetweenTypeFoldersByteForByte) {
  MakeDirs(TypeFile("0005"));
  WriteFileBytes(TypeFile("0005/P0005.DAT"), AwkwardBytes());

  // No folder for type 7 and no leave to make one.
  EXPECT_EQ(FileCopy("P0005.DAT", "P0007.DAT", 0), -1);
  EXPECT_FALSE(FileExists(TypeFile("0007")));

  ASSERT_EQ(FileCopy("P0005.DAT", "P0007.DAT", 1), 0);
  EXPECT_EQ(ReadFileBytes(TypeFile("0007/P0007.DAT")), AwkwardBytes());
  EXPECT_EQ(Names("type/0007"), std::vector<std::string>{"P0007.DAT"});

  // A longer target is replaced whole; an existing folder is no failure.
  WriteFileBytes(TypeFile("0007/P0007.DAT"), std::string(10000, 'o'));
  ASSERT_EQ(FileCopy("P0005.DAT", "P0007.DAT", 1), 0);
  EXPECT_EQ(ReadFileBytes(TypeFile("0007/P0007.DAT")), AwkwardBytes());

  // Across configs, and within one folder.
  ASSERT_EQ(FileCopy("P0005.DAT", "QQ0005.DAT", 0), 0);
  EXPECT_EQ(ReadFileBytes(TypeFile("0005/QQ0005.DAT")), AwkwardBytes());
  EXPECT_EQ(Names("type/0005"), (std::vector<std::string>{"P0005.DAT", "QQ0005.DAT"}));

  // An empty source gives an empty target.
  WriteFileBytes(TypeFile("0005/E0005.DAT"), "");
  WriteFileBytes(TypeFile("0007/E0007.DAT"), "old");
  ASSERT_EQ(FileCopy("E0005.DAT", "E0007.DAT", 0), 0);
  EXPECT_EQ(ReadFileBytes(TypeFile("0007/E0007.DAT")), "");
}

TEST_F(FileCopyTest, SameFileMissingSourceAndBadNames) {
  MakeDirs(TypeFile("0005"));
  WriteFileBytes(TypeFile("0005/P0005.DAT"), "keep\r\n");
  EXPECT_EQ(FileCopy("P0005.DAT", "P0005.DAT", 1), 0);
  EXPECT_EQ(ReadFileBytes(TypeFile("0005/P0005.DAT")), "keep\r\n");
  EXPECT_EQ(Names("type/0005"), std::vector<std::string>{"P0005.DAT"});

  // A missing source makes no folder and no target.
  EXPECT_EQ(FileCopy("P0006.DAT", "P0008.DAT", 1), -1);
  EXPECT_EQ(FileCopy("P0006.DAT", "P0006.DAT", 1), -1);
  EXPECT_EQ(Names("type"), std::vector<std::string>{"0005"});

  // Names that name no type data file in a type folder.
  const std::vector<const char*> bad = {"005.DAT",              // seven characters
                                        "PABCD.DAT",            // no digits
                                        "..\\0005\\P0005.DAT",  // a folder part
                                        "../0005/P0005.DAT",
                                        "C:P0005.DAT",
                                        nullptr};
  for (const char* name : bad) {
    EXPECT_EQ(FileCopy(name, "P0007.DAT", 1), -1) << (name ? name : "null");
    EXPECT_EQ(FileCopy("P0005.DAT", name, 1), -1) << (name ? name : "null");
  }
  const std::string tooLong = std::string(240, 'P') + "0005.DAT";
  EXPECT_EQ(FileCopy("P0005.DAT", tooLong.c_str(), 1), -1);
  EXPECT_EQ(Names("type"), std::vector<std::string>{"0005"});
  // Eight characters are enough.
  ASSERT_EQ(FileCopy("P0005.DAT", "0009.DAT", 1), 0);
  EXPECT_EQ(ReadFileBytes(TypeFile("0009/0009.DAT")), "keep\r\n");
}

TEST_F(FileCopyTest, ExecCopyGivesExactContentAndTheSourcesTimes) {
  MakeDirs(workspace_.Path("from"));
  MakeDirs(workspace_.Path("to"));
  const std::string source = workspace_.Path("from/machine.ini");
  const std::string target = workspace_.Path("to/machine.ini");
  WriteFileBytes(source, AwkwardBytes());
  WriteFileBytes(target, std::string(20000, 'o'));
  const auto past = fs::last_write_time(source) - std::chrono::hours(24 * 500);
  fs::last_write_time(source, past);

  ASSERT_EQ(ExecCopy("..\\from\\machine.ini", "..\\to\\machine.ini"), 0);
  EXPECT_EQ(ReadFileBytes(target), AwkwardBytes());
  EXPECT_EQ(fs::last_write_time(target), past);
  EXPECT_EQ(Names("to"), std::vector<std::string>{"machine.ini"});

  // An absolute path is used as it is; a new target is created.
  ASSERT_EQ(ExecCopy(source.c_str(), "copy.ini"), 0);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("work/copy.ini")), AwkwardBytes());
  EXPECT_EQ(fs::last_write_time(workspace_.Path("work/copy.ini")), past);
  // Onto itself: the content stays.
  ASSERT_EQ(ExecCopy("copy.ini", "copy.ini"), 0);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("work/copy.ini")), AwkwardBytes());

  EXPECT_EQ(ExecCopy("missing.ini", "new.ini"), -1);
  EXPECT_FALSE(FileExists(workspace_.Path("work/new.ini")));
  EXPECT_EQ(ExecCopy("copy.ini", "..\\nowhere\\copy.ini"), -1);
  EXPECT_EQ(ExecCopy(nullptr, "copy.ini"), -1);
  EXPECT_EQ(ExecCopy("copy.ini", ""), -1);
  EXPECT_EQ(Names("work"), std::vector<std::string>{"copy.ini"});

  // Files that look like temporary files of earlier versions are nobody's
  // to replace or remove: not a source, not a stranger beside the target.
  WriteFileBytes(workspace_.Path("work/x.copy-tmp"), "source");
  WriteFileBytes(workspace_.Path("work/copy.ini.copy-tmp"), "stranger");
  ASSERT_EQ(ExecCopy("x.copy-tmp", "x"), 0);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("work/x.copy-tmp")), "source");
  EXPECT_EQ(ReadFileBytes(workspace_.Path("work/x")), "source");
  ASSERT_EQ(ExecCopy("x", "copy.ini"), 0);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("work/copy.ini.copy-tmp")), "stranger");
  EXPECT_EQ(Names("work"), (std::vector<std::string>{"copy.ini", "copy.ini.copy-tmp", "x", "x.copy-tmp"}));
}

// After -1 the reason of the failing call is the caller's to read.
TEST_F(FileCopyTest, AFailedCopyLeavesItsReason) {
  MakeDirs(TypeFile("0005"));
  WriteFileBytes(TypeFile("0005/P0005.DAT"), "new\r\n");
  WriteFileBytes(TypeFile("0007"), "a file where the type folder should be");
#ifdef _WIN32
  SetLastError(0);
  EXPECT_EQ(FileCopy("P0005.DAT", "P0007.DAT", 1), -1);
  EXPECT_NE(GetLastError(), 0u);
#else
  errno = 0;
  EXPECT_EQ(FileCopy("P0005.DAT", "P0007.DAT", 1), -1);
  EXPECT_EQ(errno, ENOTDIR);
  errno = 0;
  EXPECT_EQ(ExecCopy("..\\type\\0005\\missing.DAT", "x"), -1);
  EXPECT_EQ(errno, ENOENT);
#endif
}

TEST_F(FileCopyTest, ATargetProtectedAgainstWritingIsLeftAlone) {
  MakeDirs(TypeFile("0005"));
  MakeDirs(TypeFile("0007"));
  WriteFileBytes(TypeFile("0005/P0005.DAT"), "new\r\n");
  WriteFileBytes(TypeFile("0007/P0007.DAT"), "protected\r\n");
  fs::permissions(TypeFile("0007/P0007.DAT"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  if (std::ofstream(TypeFile("0007/P0007.DAT"), std::ios::app)) {
    GTEST_SKIP() << "this user may write any file";
  }
  EXPECT_EQ(FileCopy("P0005.DAT", "P0007.DAT", 0), -1);
  EXPECT_EQ(ExecCopy("..\\type\\0005\\P0005.DAT", "..\\type\\0007\\P0007.DAT"), -1);
  EXPECT_EQ(ReadFileBytes(TypeFile("0007/P0007.DAT")), "protected\r\n");
  EXPECT_EQ(Names("type/0007"), std::vector<std::string>{"P0007.DAT"});
  fs::permissions(TypeFile("0007/P0007.DAT"), fs::perms::owner_write, fs::perm_options::add);
}

}  // namespace
