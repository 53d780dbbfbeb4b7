// Reading the history: a WHEN resolved to its entry, the entries of a path,
// releases, the settings, and verify naming what differs or is damaged.
#include <git2.h>

#include <filesystem>
#include <fstream>

#include "history/packing.h"
#include "history/reading.h"
#include "history_fixture.h"

namespace history_test {
namespace {

namespace fs = std::filesystem;

TEST(HistoryTime, IsoDatesAndTimesAreReadAsUtcUnlessTheySayTheirOffset) {
  struct Row {
    const char* text;
    bool ok;
    std::int64_t seconds;
  };
  const Row rows[] = {
      {"2026-12-07", true, 1796601600},
      {"2026-12-07T22:19", true, 1796601600 + 22 * 3600 + 19 * 60},
      {"2026-12-07 22:19:35", true, 1796601600 + 22 * 3600 + 19 * 60 + 35},
      {"2026-12-07T22:19:35Z", true, 1796601600 + 22 * 3600 + 19 * 60 + 35},
      {"2026-12-07T23:19:35+01:00", true, 1796601600 + 22 * 3600 + 19 * 60 + 35},
      {"2026-12-07T21:19:35-0100", true, 1796601600 + 22 * 3600 + 19 * 60 + 35},
      {"2026-13-07", false, 0},
      {"2026-12-07T25:00", false, 0},
      {"2026-12-07T22:19Zulu", false, 0},
      {"v1.0", false, 0},
      {"a1b2c3d", false, 0},
  };
  for (const Row& row : rows) {
    std::int64_t seconds = 0;
    EXPECT_EQ(history::ParseIsoTime(row.text, &seconds), row.ok) << row.text;
    if (row.ok) {
      EXPECT_EQ(seconds, row.seconds) << row.text;
    }
  }
}

class HistoryReading : public HistoryTest {
 protected:
  // Three entries: the first (speed=5), alice's (speed=6), then a release
  // v1 and an outside change (speed=7) and a change of another type.
  void MakeEntries() {
    Write("type/0003/a.dat", "speed=5\n");
    Write("type/0004/b.dat", "feed=1\n");
    history_ = OpenHistory();
    ASSERT_NE(history_, nullptr);
    ASSERT_TRUE(history_->RecordOutside(alice_).ok());
    ASSERT_TRUE(history_->BeginChange(alice_).ok());
    Write("type/0003/a.dat", "speed=6\n");
    ASSERT_TRUE(history_->Record(alice_).ok());
    auto release = history::MakeRelease(*history_, "v1", alice_);
    ASSERT_TRUE(release.ok()) << release.refusal().message;
    Write("type/0003/a.dat", "speed=7\n");
    ASSERT_TRUE(history_->RecordOutside(alice_).ok());
    Write("type/0004/b.dat", "feed=2\n");
    ASSERT_TRUE(history_->RecordOutside(alice_).ok());
  }
  std::string At(const std::string& when, const std::string& path = "type/0003/a.dat") {
    auto revision = history::ResolveWhen(*history_, when);
    if (!revision.ok()) return "refused: " + revision.refusal().message;
    auto bytes = history::ReadFileAt(*history_, revision.model(), path);
    return bytes.ok() ? bytes.model() : "refused: " + bytes.refusal().message;
  }
  std::shared_ptr<history::History> history_;
};

TEST_F(HistoryReading, AWhenNamesTheEntryItMeans) {
  MakeEntries();
  auto entries = history::ReadEntries(*history_, {});
  ASSERT_TRUE(entries.ok());
  ASSERT_EQ(entries.model().size(), 4U);
  const std::string aliceRevision = entries.model()[2].revision;
  EXPECT_EQ(At("HEAD"), "speed=7\n");
  EXPECT_EQ(At("v1"), "speed=6\n");
  EXPECT_EQ(At("HEAD~3"), "speed=5\n");
  EXPECT_EQ(At(aliceRevision.substr(0, 10)), "speed=6\n");
  EXPECT_EQ(At(entries.model()[0].timeText), "speed=7\n");
  EXPECT_EQ(At("2099-01-01"), "speed=7\n");
  EXPECT_EQ(At("2000-01-01"), "refused: the history has no entry made at or before 2000-01-01");
  EXPECT_EQ(At("no-such-release"), "refused: no entry of the history is no-such-release");
  EXPECT_NE(At("HEAD", "type/0009/z.dat").find("has no file type/0009/z.dat"), std::string::npos);
  auto listed = history::ListFilesAt(*history_, "HEAD", "type");
  ASSERT_TRUE(listed.ok());
  EXPECT_EQ(listed.model(), (std::vector<std::string>{"type/0003/a.dat", "type/0004/b.dat"}));
  listed = history::ListFilesAt(*history_, "HEAD", "type/0009");
  ASSERT_TRUE(listed.ok());
  EXPECT_TRUE(listed.model().empty());
}

TEST_F(HistoryReading, EntriesOfAPathAndReleases) {
  MakeEntries();
  history::EntryFilter filter;
  filter.path = "type/0003";
  auto entries = history::ReadEntries(*history_, filter);
  ASSERT_TRUE(entries.ok());
  ASSERT_EQ(entries.model().size(), 3U);  // not the change of 0004
  EXPECT_TRUE(entries.model()[0].trailers.outside);
  ASSERT_EQ(entries.model()[0].changes.size(), 1U);
  EXPECT_EQ(entries.model()[0].changes[0].path, "type/0003/a.dat");
  EXPECT_EQ(entries.model()[0].changes[0].kind, history::FileChangeKind::kModified);
  EXPECT_EQ(entries.model()[1].trailers.user, "alice");
  EXPECT_EQ(entries.model()[2].changes.size(), 1U);  // the first entry, as far as 0003 goes
  EXPECT_EQ(entries.model()[2].changes[0].kind, history::FileChangeKind::kAdded);
  // A path spelt as a pattern matches nothing but itself.
  filter.path = "type/000*";
  entries = history::ReadEntries(*history_, filter);
  ASSERT_TRUE(entries.ok());
  EXPECT_TRUE(entries.model().empty());

  auto again = history::MakeRelease(*history_, "v1", alice_);
  ASSERT_FALSE(again.ok());
  EXPECT_EQ(again.refusal().message, "a release named v1 is already there");
  EXPECT_FALSE(history::MakeRelease(*history_, "bad..name", alice_).ok());
}

TEST_F(HistoryReading, VerifyNamesEveryFileThatDiffersAndEveryDamagedObject) {
  MakeEntries();
  auto clean = history::Verify(*history_);
  ASSERT_TRUE(clean.ok());
  EXPECT_TRUE(clean.model().ok());
  EXPECT_EQ(clean.model().entries, 4U);

  Write("type/0003/a.dat", "speed=8\n");
  Write("type/0005/new.dat", "x\n");
  fs::remove(root_ + "/type/0004/b.dat");
  auto differs = history::Verify(*history_);
  ASSERT_TRUE(differs.ok());
  EXPECT_TRUE(differs.model().chainOk);
  std::vector<std::pair<std::string, history::FileChangeKind>> named;
  for (const auto& difference : differs.model().differences)
    named.emplace_back(difference.path, difference.kind);
  const std::vector<std::pair<std::string, history::FileChangeKind>> expected = {
      {"type/0003/a.dat", history::FileChangeKind::kModified},
      {"type/0005/new.dat", history::FileChangeKind::kAdded},
      {"type/0004/b.dat", history::FileChangeKind::kDeleted}};
  EXPECT_EQ(named, expected);

  // An object damaged on disk (a file of the first entry, the release's
  // own): its bytes no longer match its name, and verify names it.
  auto entries = history::ReadEntries(*history_, {});
  ASSERT_TRUE(entries.ok());
  git_oid tag{};
  ASSERT_EQ(git_reference_name_to_id(&tag, history_->repository(), "refs/tags/v1"), 0);
  char tagText[GIT_OID_HEXSZ + 1];
  git_oid_tostr(tagText, sizeof tagText, &tag);
  for (const std::string& damagedObject :
       {entries.model().back().changes.front().newBlob, std::string(tagText)}) {
    const std::string object =
        root_ + "/.git/objects/" + damagedObject.substr(0, 2) + "/" + damagedObject.substr(2);
    ASSERT_TRUE(fs::exists(object)) << object;
    fs::permissions(object, fs::perms::owner_write, fs::perm_options::add);
    std::string zipped;
    {
      std::ifstream in(object, std::ios::binary);
      zipped.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(zipped.size(), 4U);
    const std::string original = zipped;
    zipped[zipped.size() - 3] = static_cast<char>(zipped[zipped.size() - 3] ^ 0x55);
    std::ofstream(object, std::ios::binary | std::ios::trunc) << zipped;
    auto reopened = history::History::OpenExisting(root_);
    ASSERT_TRUE(reopened.ok());
    auto damaged = history::Verify(*reopened.model());
    std::ofstream(object, std::ios::binary | std::ios::trunc) << original;
    ASSERT_TRUE(damaged.ok());
    EXPECT_FALSE(damaged.model().chainOk);
    ASSERT_FALSE(damaged.model().problems.empty());
    EXPECT_NE(damaged.model().problems[0].find(damagedObject), std::string::npos)
        << damaged.model().problems[0];
  }
}

TEST_F(HistoryReading, PackedEntriesReadAsBeforeAndTheirLooseCopiesGo) {
  MakeEntries();
  auto countLoose = [this] {
    std::size_t loose = 0;
    for (const auto& folder : fs::directory_iterator(root_ + "/.git/objects")) {
      if (folder.path().filename().string().size() != 2) continue;
      for (const auto& object : fs::directory_iterator(folder.path()))
        loose += object.is_regular_file() ? 1 : 0;
    }
    return loose;
  };
  const std::size_t before = countLoose();
  EXPECT_EQ(history::PackIfDue(history_->repository(), root_, 5), "");  // 4 entries: not due
  EXPECT_EQ(countLoose(), before);
  EXPECT_EQ(history::PackIfDue(history_->repository(), root_, 4), "");
  EXPECT_LT(countLoose(), before / 2) << "of " << before;
  auto reopened = history::History::OpenExisting(root_);
  ASSERT_TRUE(reopened.ok());
  history_ = reopened.model();
  EXPECT_EQ(At("HEAD~3"), "speed=5\n");
  EXPECT_EQ(At("v1"), "speed=6\n");
  auto verified = history::Verify(*history_);
  ASSERT_TRUE(verified.ok());
  EXPECT_TRUE(verified.model().ok()) << (verified.model().problems.empty() ? ""
                                                                           : verified.model().problems[0]);
  // The next entries are packed from where the last packing stopped: a
  // second pack.
  for (const char* value : {"speed=10\n", "speed=11\n"}) {
    Write("type/0003/a.dat", value);
    ASSERT_TRUE(history_->RecordOutside(alice_).ok());
  }
  EXPECT_EQ(history::PackIfDue(history_->repository(), root_, 2), "");
  std::size_t packs = 0;
  for (const auto& file : fs::directory_iterator(root_ + "/.git/objects/pack"))
    packs += file.path().extension() == ".pack" ? 1 : 0;
  EXPECT_EQ(packs, 2U);
  EXPECT_EQ(At("HEAD~1"), "speed=10\n");
  if (HaveGit()) {
    int status = -1;
    const std::string fsck = Run("git -C '" + root_ + "' fsck --strict 2>&1", &status);
    EXPECT_EQ(status, 0) << fsck;
  }
}

TEST_F(HistoryTest, SettingsAreKeptWithTheTree) {
  auto none = history::ReadSettings(root_);
  ASSERT_TRUE(none.ok());
  EXPECT_TRUE(none.model().enabled);
  EXPECT_FALSE(none.model().requireReason);

  ASSERT_TRUE(history::WriteSettings(root_, {true, true}).ok());
  auto kept = history::ReadSettings(root_);
  ASSERT_TRUE(kept.ok());
  EXPECT_TRUE(kept.model().requireReason);
  auto refused = history::WriteSettings(root_, {false, false});
  ASSERT_FALSE(refused.ok());
  EXPECT_TRUE(fs::exists(root_ + "/.git"));

  const std::string other = root_ + "/other";
  fs::create_directories(other);
  ASSERT_TRUE(history::WriteSettings(other, {false, true}).ok());
  auto without = history::ReadSettings(other);
  ASSERT_TRUE(without.ok());
  EXPECT_FALSE(without.model().enabled);
  EXPECT_TRUE(without.model().requireReason);
  auto opened = history::History::Open(other);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.refusal().message, "the tree at " + other + " was made without history");
  EXPECT_FALSE(fs::exists(other + "/.git"));
}

}  // namespace
}  // namespace history_test
