// The platform layer: the service's paths, CR LF on disk, whole lines, and
// replacing a file so that every failure leaves the old one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#ifndef _WIN32
#include <sys/stat.h>

#include "platform/posix_folder_listing.h"
#endif
#include "platform/text_file.h"
#include "support/fault_file_system.h"
#include "support/workspace.h"

namespace {

using td::platform::Fs;
using td::platform::LineReader;
using td::platform::ReplaceFileAtomically;
using td::platform::TextWriter;
using td::testing::FaultFileSystem;
using td::testing::MakeDirs;
using td::testing::ReadFileBytes;
using td::testing::UseFileSystem;
using td::testing::WriteFileBytes;

class PlatformTest : public td::testing::WorkspaceTest {};

bool WriteText(const std::string& target, const std::string& text) {
  return ReplaceFileAtomically(target, [&](TextWriter& out) {
    out.Write(text);
    return true;
  });
}

std::vector<std::string> ReadLines(const std::string& path) {
  LineReader reader(Fs().OpenRead(path));
  std::vector<std::string> lines;
  for (std::string line; reader.Next(&line);) lines.push_back(line);
  EXPECT_FALSE(reader.error());
  return lines;
}

TEST_F(PlatformTest, ServicePathsReachFilesWhateverTheirLetterCase) {
  ASSERT_TRUE(Fs().MakeDir("..\\type"));
  ASSERT_TRUE(Fs().MakeDir("..\\type"));  // exists already: still fine
  ASSERT_TRUE(Fs().MakeDir("..\\type\\0012"));
  ASSERT_TRUE(WriteText("..\\type\\mmi.typ", "0, \n"));
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/mmi.typ")), "0, \r\n");
  EXPECT_TRUE(Fs().Exists("..\\TYPE\\MMI.TYP"));
  EXPECT_EQ(ReadLines("..\\Type\\MMI.TYP"), std::vector<std::string>{"0, "});
  // Rewriting under the upper-case name replaces the one file.
  ASSERT_TRUE(WriteText("..\\type\\MMI.TYP", "1,\"A\"\n"));
  std::vector<std::string> names;
  ASSERT_TRUE(Fs().ListDir("..\\type", &names));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"0012", "mmi.typ"}));
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/mmi.typ")), "1,\"A\"\r\n");
  // Names of mixed case are found too, in either direction.
  WriteFileBytes(workspace_.Path("type/0012/Cf0012.Dat"), "x");
  EXPECT_EQ(ReadLines("..\\type\\0012\\CF0012.DAT"), std::vector<std::string>{"x"});
  EXPECT_EQ(ReadLines("..\\TYPE\\0012\\cf0012.dat"), std::vector<std::string>{"x"});
  EXPECT_FALSE(Fs().Exists("..\\type\\0012\\CF0013.DAT"));
  EXPECT_EQ(td::platform::ParentOf("..\\type\\0012\\CF0012.DAT"), "..\\type\\0012");
}

TEST_F(PlatformTest, LinesAreReadWholeWithEitherLineEnd) {
  const std::string long_line(200000, 'x');
  WriteFileBytes(workspace_.Path("work/lines.txt"), "a\r\n\r\nb\n" + long_line + "\r\nc\rd\nlast");
  EXPECT_EQ(ReadLines("lines.txt"), (std::vector<std::string>{"a", "", "b", long_line, "c\rd", "last"}));
  WriteFileBytes(workspace_.Path("work/empty.txt"), "");
  EXPECT_TRUE(ReadLines("empty.txt").empty());
  LineReader missing(Fs().OpenRead("no-such-file"));
  std::string line;
  EXPECT_FALSE(missing.Next(&line));
  EXPECT_TRUE(missing.error());
}

// The reader takes the file in pieces of 64 KiB and hands lines out where
// they lie: line ends, and CR LF pairs, that fall on a piece's edge.
TEST_F(PlatformTest, LinesAcrossTheReadersPiecesComeOutWhole) {
  constexpr std::size_t kPiece = 64 * 1024;
  for (std::size_t first : {kPiece - 2, kPiece - 1, kPiece, kPiece + 1}) {
    const std::string a(first, 'a');
    const std::string b(3 * kPiece + 5, 'b');
    WriteFileBytes(workspace_.Path("work/edges.txt"), a + "\r\n" + b + "\nshort\r\n\r\n" + "end");
    EXPECT_EQ(ReadLines("edges.txt"), (std::vector<std::string>{a, b, "short", "", "end"})) << first;
  }
  // In place: a C string whose end is the line's end, free to change.
  WriteFileBytes(workspace_.Path("work/place.txt"), "one\r\ntwo\nthree");
  LineReader reader(Fs().OpenRead("place.txt"));
  std::vector<std::string> seen;
  char* line = nullptr;
  std::size_t length = 0;
  while (reader.NextInPlace(&line, &length)) {
    EXPECT_EQ(std::strlen(line), length);
    seen.emplace_back(line, length);
    line[0] = 'X';
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_FALSE(reader.error());
}

TEST_F(PlatformTest, TextIsWrittenWithCrLfAndBytesUnchanged) {
  const std::string bytes = std::string("x\x01\xff\x1a\0y", 6);
  ASSERT_TRUE(WriteText("out.txt", "one\ntwo\n" + bytes + "\n"));
  EXPECT_EQ(ReadFileBytes(workspace_.Path("work/out.txt")), "one\r\ntwo\r\n" + bytes + "\r\n");
  EXPECT_FALSE(td::testing::TemporaryFileIn(workspace_.Path("work")));

  // Plain lines and texts mixed, over many of the writer's 64 KiB pieces.
  std::string expected;
  ASSERT_TRUE(ReplaceFileAtomically("big.txt", [&](TextWriter& out) {
    for (int i = 0; i < 20000; ++i) {
      const std::string plain =
          std::to_string(i) + ":" + std::string(static_cast<std::size_t>(i % 37), 'p') + ",";
      out.WritePlainLine(plain.data(), plain.size());
      expected += plain + "\r\n";
      const std::string text = "t\n" + std::string(static_cast<std::size_t>(i % 300), 'x') + "\n";
      out.Write(text);
      expected += "t\r\n" + std::string(static_cast<std::size_t>(i % 300), 'x') + "\r\n";
    }
    const std::string huge(200000, 'h');
    out.WriteLine(huge);
    expected += huge + "\r\n";
    return true;
  }));
  EXPECT_EQ(ReadFileBytes(workspace_.Path("work/big.txt")), expected);
}

TEST_F(PlatformTest, EveryFailureWhileReplacingLeavesTheOldFile) {
  WriteFileBytes(workspace_.Path("work/data.txt"), "old\r\n");
  // Count the operations of one successful replace, then fail each in turn.
  long operations = 0;
  {
    FaultFileSystem counting;
    UseFileSystem use(&counting);
    ASSERT_TRUE(WriteText("data.txt", "old\n"));
    operations = counting.count();
  }
  ASSERT_GE(operations, 5);  // open, append, sync, close, rename (and folder sync)
  for (long n = 1; n <= operations; ++n) {
    FaultFileSystem faulty;
    faulty.FailAt(n);
    UseFileSystem use(&faulty);
    const bool replaced = WriteText("data.txt", "new\n");
    const std::string now = ReadFileBytes(workspace_.Path("work/data.txt"));
    const auto failed_op = faulty.log()[static_cast<std::size_t>(n - 1)];
    if (failed_op == FaultFileSystem::Op::kSyncDir) {
      // The new file is in place; only the folder's flush failed.
      EXPECT_TRUE(replaced);
      EXPECT_EQ(now, "new\r\n");
      WriteFileBytes(workspace_.Path("work/data.txt"), "old\r\n");
    } else {
      EXPECT_FALSE(replaced) << "operation " << n;
      EXPECT_EQ(now, "old\r\n") << "operation " << n;
    }
    EXPECT_FALSE(td::testing::TemporaryFileIn(workspace_.Path("work"))) << "operation " << n;
  }
}

TEST_F(PlatformTest, FillThatGivesUpLeavesTheOldFile) {
  WriteFileBytes(workspace_.Path("work/data.txt"), "old\r\n");
  EXPECT_FALSE(ReplaceFileAtomically("data.txt", [](TextWriter& out) {
    out.Write("half");
    return false;
  }));
  EXPECT_EQ(ReadFileBytes(workspace_.Path("work/data.txt")), "old\r\n");
  EXPECT_FALSE(td::testing::TemporaryFileIn(workspace_.Path("work")));
  EXPECT_FALSE(WriteText("no\\such\\folder\\x.txt", "x\n"));
}

TEST_F(PlatformTest, CopyTimesGivesTheSourcesModificationTime) {
  WriteFileBytes(workspace_.Path("work/a.txt"), "a");
  WriteFileBytes(workspace_.Path("work/b.txt"), "b");
  namespace fs = std::filesystem;
  const auto past = fs::last_write_time(workspace_.Path("work/a.txt")) - std::chrono::hours(24 * 400);
  fs::last_write_time(workspace_.Path("work/a.txt"), past);
  ASSERT_TRUE(Fs().CopyTimes("a.txt", "b.txt"));
  EXPECT_EQ(fs::last_write_time(workspace_.Path("work/b.txt")), past);
  EXPECT_FALSE(Fs().CopyTimes("missing.txt", "b.txt"));
}

// Files and folders flushed as a group: every one must be there, and a
// missing one fails the flush rather than being made.
TEST_F(PlatformTest, AGroupFlushFailsForAMissingFile) {
  MakeDirs(workspace_.Path("type"));
  std::vector<std::string> paths;
  for (int i = 0; i < 20; ++i) {
    WriteFileBytes(workspace_.Path("work/f" + std::to_string(i) + ".txt"), "x");
    paths.push_back("f" + std::to_string(i) + ".txt");
  }
  EXPECT_TRUE(Fs().SyncFiles(paths));
  EXPECT_TRUE(Fs().SyncDirs({".", "..\\type"}));
  paths.insert(paths.begin() + 10, "missing.txt");
  EXPECT_FALSE(Fs().SyncFiles(paths));
  EXPECT_FALSE(td::testing::FileExists(workspace_.Path("work/missing.txt")));
  EXPECT_FALSE(Fs().SyncDirs({".", "..\\no-such-folder"}));
}

#ifndef _WIN32
// Two names that differ only in letter case: neither is taken for the
// other, by reader or writer, and a new file is never made through a
// symbolic link.
TEST_F(PlatformTest, ANameMatchingTwoEntriesIsRefusedAndLinksAreNotFollowed) {
  MakeDirs(workspace_.Path("type"));
  WriteFileBytes(workspace_.Path("type/mmi.typ"), "0, \r\n");
  WriteFileBytes(workspace_.Path("type/MMI.TYP"), "1,\"A\"\r\n");
  for (const char* name : {"..\\type\\mmi.typ", "..\\type\\MMI.TYP", "..\\TYPE\\Mmi.Typ"}) {
    errno = 0;
    EXPECT_EQ(Fs().OpenRead(name), nullptr) << name;
    EXPECT_EQ(errno, ENOTUNIQ) << name;
    EXPECT_FALSE(WriteText(name, "2,\"B\"\n")) << name;
    EXPECT_FALSE(Fs().Exists(name)) << name;
  }
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/mmi.typ")), "0, \r\n");
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/MMI.TYP")), "1,\"A\"\r\n");
  EXPECT_FALSE(td::testing::TemporaryFileIn(workspace_.Path("type")));

  WriteFileBytes(workspace_.Path("outside.txt"), "mine");
  std::filesystem::create_symlink(workspace_.Path("outside.txt"), workspace_.Path("work/link.tmp"));
  EXPECT_EQ(Fs().OpenWrite("link.tmp", td::platform::WriteMode::kCreateNew), nullptr);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("outside.txt")), "mine");
}

// What is not a regular file is refused at once: a FIFO in a data file's
// place would hold the reader until a writer came, a device would never end.
TEST_F(PlatformTest, OnlyRegularFilesAreReadAndSpecialOnesAreRefusedAtOnce) {
  MakeDirs(workspace_.Path("type/0001"));
  ASSERT_EQ(::mkfifo(workspace_.Path("type/0001/MAIN0001.DAT").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", workspace_.Path("type/mmi.typ"));
  MakeDirs(workspace_.Path("type/0002/TOOL0002.DAT"));
  const struct {
    const char* path;
    int error;
  } rows[] = {{"..\\type\\0001\\MAIN0001.DAT", EINVAL},
              {"..\\type\\mmi.typ", EINVAL},
              {"..\\type\\0002\\TOOL0002.DAT", EISDIR}};
  for (const auto& row : rows) {
    errno = 0;
    EXPECT_EQ(Fs().OpenRead(row.path), nullptr) << row.path;
    EXPECT_EQ(errno, row.error) << row.path;
  }
}

// A folder's names are kept between look-ups. Whatever another process
// changes in the folder right after a look-up (within the same tick of the
// clock), the next look-up sees.
TEST_F(PlatformTest, FolderChangedByAnotherProcessRightAfterALookUpIsReadAgain) {
  namespace fs = std::filesystem;
  const std::string type = workspace_.Path("type");
  struct Row {
    const char* change;
    std::function<void()> make;
    const char* name;   // looked up after the change
    bool unique;        // false: it now matches two entries
    const char* found;  // the entry's name; "" when there is none
  };
  const std::vector<Row> rows = {
      {"a name differing only in letter case", [&] { WriteFileBytes(type + "/MMI.TYP", "1"); },
       "..\\type\\mmi.typ", false, ""},
      {"a new file", [&] { WriteFileBytes(type + "/CF0012.DAT", "1"); }, "..\\type\\cf0012.dat", true,
       "CF0012.DAT"},
      {"the file removed", [&] { fs::remove(type + "/mmi.typ"); }, "..\\type\\MMI.TYP", true, ""},
      {"the file renamed to other letters", [&] { fs::rename(type + "/mmi.typ", type + "/Mmi.Typ"); },
       "..\\type\\MMI.TYP", true, "Mmi.Typ"},
      {"the folder replaced by another",
       [&] {
         fs::rename(type, workspace_.Path("type.old"));
         MakeDirs(type);
         WriteFileBytes(type + "/MMI.typ", "1");
       },
       "..\\type\\mmi.typ", true, "MMI.typ"},
  };
  for (const Row& row : rows) {
    fs::remove_all(type);
    fs::remove_all(workspace_.Path("type.old"));
    MakeDirs(type);
    WriteFileBytes(type + "/mmi.typ", "0");
    // Names are kept only once the folder's last change is older than the
    // tick of its times.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(Fs().Exists("..\\TYPE\\MMI.TYP")) << row.change;
    const std::uint64_t reads = td::platform::FolderReads();
    ASSERT_TRUE(Fs().Exists("..\\type\\Mmi.typ")) << row.change;
    if (td::platform::FolderReads() != reads)
      GTEST_SKIP() << "this file system's folders are read every time";
    row.make();
    std::string native;
    errno = 0;
    ASSERT_EQ(td::platform::ResolvePath(row.name, &native), row.unique) << row.change;
    if (!row.unique) {
      EXPECT_EQ(errno, ENOTUNIQ) << row.change;
      EXPECT_EQ(Fs().OpenRead(row.name), nullptr) << row.change;
      continue;
    }
    EXPECT_EQ(Fs().Exists(row.name), *row.found != '\0') << row.change;
    std::vector<std::string> names;
    ASSERT_TRUE(Fs().ListDir("..\\type", &names)) << row.change;
    const bool listed = std::find(names.begin(), names.end(), row.found) != names.end();
    EXPECT_EQ(listed, *row.found != '\0') << row.change;
    if (*row.found != '\0') {
      EXPECT_EQ(native, "../type/" + std::string(row.found)) << row.change;
    }
  }
}
#endif

}  // namespace
