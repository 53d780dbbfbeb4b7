// The history records the tree byte for byte, one entry per change, changes
// made outside the tool and commands killed halfway, and refuses what is
// not its own.
#include <git2.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <filesystem>

#include "history/reading.h"
#include "history/who.h"
#include "history_fixture.h"

namespace history_test {
namespace {

namespace fs = std::filesystem;
using history::ChangeInfo;

std::size_t EntryCount(const history::History& history) {
  auto entries = history::ReadEntries(history, {});
  return entries.ok() ? entries.model().size() : 0;
}

TEST_F(HistoryTest, FilesAreKeptByteForByteWhateverTheUsersGitSettingsSay) {
  const std::map<std::string, std::string> files = {
      {".typedata-machine", "[machine]\r\nname = test\r\n"},
      {"type/0003/a.dat", "speed=5\r\nfeed=2\r\n"},
      {"type/0003/b.dat", std::string("lf only\nnul \0 inside\n", 21)},
      {"type/0003/c.dat", "cr only\rlast"},
      {"type/0004/d.dat", "$Id$ kept as it is\n"},
      {"type/0004/blank at the end ", "a name another system could not hold\n"},
      {"type/0004/dot at the end.", "x\n"},
      {"type/0004/GIT~1", "x\n"},
  };
  for (const auto& [path, bytes] : files) Write(path, bytes);
  auto history = OpenHistory();
  ASSERT_NE(history, nullptr);
  auto first = history->RecordOutside(alice_);
  ASSERT_TRUE(first.ok()) << first.refusal().message;
  EXPECT_TRUE(first.model().made && first.model().first);
  EXPECT_EQ(LastEntryFiles(*history), files);
  auto read = history::ReadFileAt(*history, "HEAD", "type/0003/a.dat");
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.model(), files.at("type/0003/a.dat"));

  if (HaveGit()) {
    // Plain git, under the same hostile settings, gives the same bytes and
    // finds the tree unchanged.
    EXPECT_EQ(Run("git -C '" + root_ + "' cat-file blob HEAD:type/0003/c.dat"), files.at("type/0003/c.dat"));
    EXPECT_EQ(Run("git -C '" + root_ + "' status --porcelain 2>&1"), "");
  }
}

TEST_F(HistoryTest, TheToolsOwnFilesTemporariesAndSpecialFilesAreNeverRecorded) {
  Write("type/0003/a.dat", "speed=5\n");
  Write("type/.typedata-lock", "1234\n");
  Write("type/.typedata-journal/0001", "journal\n");
  Write("type/.typedata-journal.new", "journal\n");
  Write("type/0003/~td0badf00d.tmp", "half written\n");
  Write("type/0003/TEMP.DAT", "old temporary\n");
  Write("type/0003/x.copy-tmp", "copy\n");
  Write(".typedata-state", "current=0003\n");
  Write(".typedata-no-history-not", "a file beside the tree\n");
  ASSERT_EQ(mkfifo((root_ + "/type/0003/fifo").c_str(), 0644), 0);
  auto history = OpenHistory();
  ASSERT_NE(history, nullptr);
  ASSERT_TRUE(history->RecordOutside(alice_).ok());
  std::map<std::string, std::string> expected = {{".typedata-machine", "[machine]\r\nname = test\r\n"},
                                                 {"type/0003/a.dat", "speed=5\n"}};
  EXPECT_EQ(LastEntryFiles(*history), expected);
  // A new lock or temporary is no change of the tree.
  Write("type/0004/~tdCAFEBABE.tmp", "x");
  Write("type/.typedata-lock", "5678\n");
  auto again = history->RecordOutside(alice_);
  ASSERT_TRUE(again.ok());
  EXPECT_FALSE(again.model().made);
  if (HaveGit()) {
    EXPECT_EQ(Run("git -C '" + root_ + "' status --porcelain 2>&1"), "");
  }
}

TEST_F(HistoryTest, AChangeToAThousandFilesIsOneEntry) {
  for (int i = 0; i < 1000; ++i) Write("type/" + std::to_string(1000 + i) + "/p.dat", "value=1\n");
  auto history = OpenHistory();
  ASSERT_NE(history, nullptr);
  ASSERT_TRUE(history->RecordOutside(alice_).ok());
  ASSERT_TRUE(history->BeginChange(alice_).ok());
  for (int i = 0; i < 1000; ++i) Write("type/" + std::to_string(1000 + i) + "/p.dat", "value=2\n");
  auto recorded = history->Record(alice_);
  ASSERT_TRUE(recorded.ok()) << recorded.refusal().message;
  auto entries = history::ReadEntries(*history, {});
  ASSERT_TRUE(entries.ok());
  ASSERT_EQ(entries.model().size(), 2U);
  EXPECT_EQ(entries.model()[0].changes.size(), 1000U);
  EXPECT_EQ(entries.model()[0].trailers.user, "alice");
  EXPECT_FALSE(history->HasPending());
}

TEST_F(HistoryTest, AChangeMadeOutsideIsAnEntryOfItsOwnBeforeTheCommands) {
  Write("type/0003/a.dat", "speed=5\n");
  Write("type/0004/gone.dat", "x\n");
  auto history = OpenHistory();
  ASSERT_NE(history, nullptr);
  ASSERT_TRUE(history->RecordOutside(alice_).ok());
  Write("type/0003/a.dat", "speed=7\n");  // by hand, or the host program
  fs::remove_all(root_ + "/type/0004");
  auto outside = history->RecordOutside(alice_);
  ASSERT_TRUE(outside.ok());
  EXPECT_TRUE(outside.model().made && outside.model().outside);
  const std::map<std::string, std::string> afterHand = {{".typedata-machine", "[machine]\r\nname = test\r\n"},
                                                        {"type/0003/a.dat", "speed=7\n"}};
  EXPECT_EQ(LastEntryFiles(*history), afterHand);
  ASSERT_TRUE(history->BeginChange(alice_).ok());
  Write("type/0003/a.dat", "speed=9\n");
  ASSERT_TRUE(history->Record(alice_).ok());

  auto entries = history::ReadEntries(*history, {});
  ASSERT_TRUE(entries.ok());
  ASSERT_EQ(entries.model().size(), 3U);
  const history::Entry& mine = entries.model()[0];
  const history::Entry& theirs = entries.model()[1];
  EXPECT_EQ(mine.trailers.reason, "recipe fix");
  EXPECT_EQ(mine.trailers.checkedBy, "bob");
  EXPECT_FALSE(mine.trailers.outside);
  EXPECT_TRUE(theirs.trailers.outside);
  EXPECT_EQ(theirs.trailers.user, "");  // nobody is named for a change nobody recorded
  EXPECT_EQ(theirs.trailers.recordedBy, "alice@station-1");
  auto before = history::ReadFileAt(*history, theirs.revision, "type/0003/a.dat");
  ASSERT_TRUE(before.ok());
  EXPECT_EQ(before.model(), "speed=7\n");
}

TEST_F(HistoryTest, WhatAKilledCommandLeftIsAnInterruptedEntryWithItsUserAndReason) {
  Write("type/0003/a.dat", "speed=5\n");
  {
    auto history = OpenHistory();
    ASSERT_NE(history, nullptr);
    ASSERT_TRUE(history->RecordOutside(alice_).ok());
    ASSERT_TRUE(history->BeginChange(alice_).ok());
    Write("type/0003/a.dat", "speed=6\n");
  }  // killed here: no Record
  const ChangeInfo carol{"carol", "station-2", "list", "", ""};
  auto history = OpenHistory();
  ASSERT_NE(history, nullptr);
  EXPECT_TRUE(history->HasPending());
  auto recorded = history->RecordOutside(carol);
  ASSERT_TRUE(recorded.ok());
  EXPECT_TRUE(recorded.model().made && recorded.model().interrupted);
  EXPECT_FALSE(history->HasPending());
  auto entries = history::ReadEntries(*history, {});
  ASSERT_TRUE(entries.ok());
  ASSERT_EQ(entries.model().size(), 2U);
  const history::Entry& killed = entries.model()[0];
  EXPECT_TRUE(killed.trailers.interrupted);
  EXPECT_FALSE(killed.trailers.outside);
  EXPECT_EQ(killed.author, "alice");
  EXPECT_EQ(killed.trailers.user, "alice");
  EXPECT_EQ(killed.trailers.reason, "recipe fix");
  EXPECT_EQ(killed.trailers.recordedBy, "carol@station-2");

  // Killed before it changed anything: the record goes, no entry is made.
  ASSERT_TRUE(history->BeginChange(alice_).ok());
  auto nothing = history->RecordOutside(carol);
  ASSERT_TRUE(nothing.ok());
  EXPECT_FALSE(nothing.model().made);
  EXPECT_FALSE(history->HasPending());
  EXPECT_EQ(EntryCount(*history), 2U);

  // Killed while libgit2 held its locks: stale ones do not stop the next entry.
  for (const char* lock : {"/.git/index.lock", "/.git/refs/heads/main.lock"}) {
    Write(lock + 1, "");
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    fs::last_write_time(root_ + lock, old);
  }
  Write("type/0003/a.dat", "speed=8\n");
  // The index is only a cache: a damaged one is made anew (in a new
  // process, as the next command would be).
  Write(".git/index", "DIRC damaged");
  history = OpenHistory();
  ASSERT_NE(history, nullptr);
  auto afterLocks = history->RecordOutside(carol);
  ASSERT_TRUE(afterLocks.ok()) << afterLocks.refusal().message;
  EXPECT_TRUE(afterLocks.model().made);
  EXPECT_EQ(EntryCount(*history), 3U);
}

TEST_F(HistoryTest, PlainGitLogReadsTheEntriesAndTheirTrailers) {
  if (!HaveGit()) GTEST_SKIP() << "no git on this machine";
  Write("type/0003/a.dat", "speed=5\n");
  auto history = OpenHistory();
  ASSERT_NE(history, nullptr);
  ASSERT_TRUE(history->RecordOutside(alice_).ok());
  ASSERT_TRUE(history->BeginChange(alice_).ok());
  Write("type/0003/a.dat", "speed=6\n");
  ASSERT_TRUE(history->Record(alice_).ok());
  int status = -1;
  const std::string log = Run("git -C '" + root_ +
                                  "' log --format='%an|%s|%(trailers:key=Reason,valueonly,separator=)|"
                                  "%(trailers:key=Checked-By,valueonly,separator=)' 2>&1",
                              &status);
  EXPECT_EQ(status, 0) << log;
  EXPECT_EQ(log,
            "alice|set 0003 speed=5|recipe fix|bob\n"
            "outside the tool|the tree as it was when its history began||\n");
}

TEST_F(HistoryTest, ARepositoryThatIsNotTheTreesHistoryIsRefusedAndLeftAlone) {
  git_libgit2_init();
  git_repository* foreign = nullptr;
  ASSERT_EQ(git_repository_init(&foreign, root_.c_str(), 0), 0);
  git_repository_free(foreign);
  const std::string config = Read(".git/config");
  auto opened = history::History::Open(root_);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.refusal().kind, tool::RefusalKind::kUsage);
  EXPECT_NE(opened.refusal().message.find(".git is a git repository that is not this tree's history"),
            std::string::npos);
  EXPECT_EQ(Read(".git/config"), config);
  git_libgit2_shutdown();
}

TEST_F(HistoryTest, ATreeInsideAnotherRepositoryGetsItsOwnHistory) {
  git_libgit2_init();
  git_repository* outer = nullptr;
  ASSERT_EQ(git_repository_init(&outer, root_.c_str(), 0), 0);
  git_repository_free(outer);
  git_libgit2_shutdown();
  root_ += "/tree";
  Write("type/0003/a.dat", "speed=5\n");
  auto history = OpenHistory();
  ASSERT_NE(history, nullptr);
  ASSERT_TRUE(history->RecordOutside(alice_).ok());
  EXPECT_TRUE(fs::is_directory(root_ + "/.git"));
  EXPECT_EQ(EntryCount(*history), 1U);
  root_ = fs::path(root_).parent_path().string();
}

TEST_F(HistoryTest, AHistoryThatCannotBeMadeIsSaidAndLeavesNoHalfMadeRepository) {
  Write("type/0003/a.dat", "speed=5\n");
  // A kill's leftover is there; then the disk takes no byte more (a file
  // size limit stands for a full disk, and holds for root too).
  ASSERT_EQ(mkdir((root_ + "/.typedata-history-new").c_str(), 0755), 0);
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit none = saved;
  none.rlim_cur = 0;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
  auto full = history::History::Open(root_);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  ASSERT_FALSE(full.ok());
  EXPECT_EQ(full.refusal().kind, tool::RefusalKind::kInputOutput);
  EXPECT_EQ(full.refusal().message.rfind("cannot make the tree's history in " + root_, 0), 0U)
      << full.refusal().message;
  EXPECT_FALSE(fs::exists(root_ + "/.git"));
  EXPECT_FALSE(fs::exists(root_ + "/.typedata-history-new"));

  // A read-only ROOT (where permissions hold: not for root).
  ASSERT_EQ(chmod(root_.c_str(), 0555), 0);
  if (access(root_.c_str(), W_OK) != 0) {
    auto readOnly = history::History::Open(root_);
    ASSERT_FALSE(readOnly.ok());
    EXPECT_EQ(readOnly.refusal().kind, tool::RefusalKind::kInputOutput);
    EXPECT_FALSE(fs::exists(root_ + "/.git"));
  }
  chmod(root_.c_str(), 0755);
}

TEST(HistoryWho, TheUserIsTheGivenNameElseTypedataUserElseTheAccount) {
  const std::string account = HistoryTest::Run("id -un | tr -d '\\n'");
  ASSERT_FALSE(account.empty());
  struct Row {
    const char* given;
    const char* environment;  // null: not set
    std::string expected;
  };
  const Row rows[] = {
      {"carol", "dave", "carol"}, {"", "dave", "dave"}, {"", "", account}, {"", nullptr, account}};
  for (const Row& row : rows) {
    if (row.environment != nullptr) {
      setenv("TYPEDATA_USER", row.environment, 1);
    } else {
      unsetenv("TYPEDATA_USER");
    }
    EXPECT_EQ(history::CurrentUser(row.given), row.expected)
        << row.given << "/" << (row.environment ? row.environment : "unset");
  }
  unsetenv("TYPEDATA_USER");
  EXPECT_FALSE(history::StationName().empty());
}

}  // namespace
}  // namespace history_test
