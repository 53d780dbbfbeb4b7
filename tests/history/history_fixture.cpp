#include "history_fixture.h"

#include <git2.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "history/git_util.h"

namespace history_test {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Before any test (and before libgit2 reads the user's settings): HOME is
// a folder whose git settings would change every file's bytes if the
// history let them (line ends made CRLF, a filter that rewrites content).
fs::path HomeFolder() { return fs::temp_directory_path() / ("history-home-" + std::to_string(getpid())); }

const bool kHostileHome = [] {
  const fs::path home = HomeFolder();
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(HomeFolder(), ignored);
  });
  fs::create_directories(home);
  WriteText(home / ".gitconfig",
            "[core]\n\tautocrlf = true\n\teol = crlf\n\tattributesFile = " + (home / "attributes").string() +
                "\n[filter \"hostile\"]\n\tclean = tr a-z A-Z\n\tsmudge = tr A-Z a-z\n\trequired = true\n"
                "[user]\n\tname = Someone Else\n\temail = else@example.invalid\n");
  WriteText(home / "attributes", "* text eol=crlf filter=hostile ident\n");
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
  setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
  // Plain git run by the tests reads the tree's repository, never one a
  // calling shell or hook points at.
  for (const char* name :
       {"GIT_DIR", "GIT_WORK_TREE", "GIT_INDEX_FILE", "GIT_OBJECT_DIRECTORY", "GIT_CEILING_DIRECTORIES"})
    unsetenv(name);
  return true;
}();

}  // namespace

void HistoryTest::SetUp() {
  ASSERT_TRUE(kHostileHome);
  std::string pattern = (fs::temp_directory_path() / "history-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  Write(".typedata-machine", "[machine]\r\nname = test\r\n");
}

void HistoryTest::TearDown() {
  std::error_code ignored;
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root_, ignored);
}

void HistoryTest::Write(const std::string& relative, const std::string& bytes) {
  WriteText(fs::path(root_) / relative, bytes);
}

std::string HistoryTest::Read(const std::string& relative) const {
  std::ifstream in(fs::path(root_) / relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::shared_ptr<history::History> HistoryTest::OpenHistory() {
  auto opened = history::History::Open(root_);
  EXPECT_TRUE(opened.ok()) << (opened.ok() ? "" : opened.refusal().message);
  return opened.ok() ? opened.model() : nullptr;
}

std::map<std::string, std::string> HistoryTest::LastEntryFiles(const history::History& history) const {
  std::map<std::string, std::string> files;
  std::string error;
  history::CommitPtr head = history::HeadCommit(history.repository(), &error);
  if (head == nullptr) return files;
  git_tree* tree = nullptr;
  if (git_commit_tree(&tree, head.get()) < 0) return files;
  struct Walk {
    git_repository* repo;
    std::map<std::string, std::string>* files;
  } walk{history.repository(), &files};
  git_tree_walk(
      tree, GIT_TREEWALK_PRE,
      [](const char* folder, const git_tree_entry* entry, void* payload) {
        auto* w = static_cast<Walk*>(payload);
        if (git_tree_entry_type(entry) != GIT_OBJECT_BLOB) return 0;
        git_blob* blob = nullptr;
        if (git_blob_lookup(&blob, w->repo, git_tree_entry_id(entry)) < 0) return -1;
        (*w->files)[std::string(folder) + git_tree_entry_name(entry)] =
            std::string(static_cast<const char*>(git_blob_rawcontent(blob)),
                        static_cast<std::size_t>(git_blob_rawsize(blob)));
        git_blob_free(blob);
        return 0;
      },
      &walk);
  git_tree_free(tree);
  return files;
}

std::string HistoryTest::Run(const std::string& command, int* status) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 4096> buffer{};
  std::size_t got = 0;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), got);
  const int rc = pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return output;
}

bool HistoryTest::HaveGit() {
  int status = 0;
  Run("git --version >/dev/null 2>&1", &status);
  return status == 0;
}

}  // namespace history_test
