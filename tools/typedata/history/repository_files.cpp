#include "history/repository_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "history/git_util.h"

namespace history {
namespace {

constexpr char kNewRepository[] = ".typedata-history-new";

// What plain git reads beside the repository's own settings: every file
// taken byte for byte whatever the user's attributes and filters say, and
// only the recorded files shown by `git status`.
constexpr char kAttributes[] =
    "# The tree's files are kept byte for byte: no line-end conversion, no filter.\n"
    "* -text -filter -ident\n";
constexpr char kExclude[] =
    "# Only type/ and the machine description are recorded; the tool's own\n"
    "# files and temporaries never are.\n"
    "/*\n"
    "!/type/\n"
    ".typedata-*\n"
    "!/.typedata-machine\n"
    "~[tT][dD]*.[tT][mM][pP]\n"
    "[tT][eE][mM][pP].[dD][aA][tT]\n"
    "[tT][eE][mM][pP].[tT][yY][pP]\n"
    "[cC][oO][pP][yY].[tT][mM][pP]\n"
    "*.[cC][oO][pP][yY]-[tT][mM][pP]\n";

tool::Refusal Failed(const std::string& what, const std::string& path, int error) {
  const std::string reason = std::strerror(error);
  return tool::Refusal::InputOutput(what + ": " + reason, path, reason);
}

std::optional<tool::Refusal> FlushFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Failed("cannot flush " + folder, folder, errno);
  const int rc = fsync(fd);
  const int error = errno;
  close(fd);
  if (rc != 0 && error != EINVAL) return Failed("cannot flush " + folder, folder, error);
  return std::nullopt;
}

bool WriteSmall(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.flush();
  return static_cast<bool>(out);
}

std::optional<tool::Refusal> Build(const std::string& root, const std::string& temp) {
  git_repository_init_options options;
  git_repository_init_options_init(&options, GIT_REPOSITORY_INIT_OPTIONS_VERSION);
  options.flags = GIT_REPOSITORY_INIT_BARE | GIT_REPOSITORY_INIT_NO_REINIT | GIT_REPOSITORY_INIT_MKDIR;
  options.initial_head = "main";
  options.description = "A typedata tree's history: every change of type/ and the machine description.";
  git_repository* raw = nullptr;
  if (git_repository_init_ext(&raw, temp.c_str(), &options) < 0)
    return GitRefusal("cannot make the tree's history in " + root, root);
  RepoPtr repo(raw);
  git_config* rawConfig = nullptr;
  if (git_repository_config(&rawConfig, repo.get()) < 0)
    return GitRefusal("cannot make the tree's history in " + root, root);
  ConfigPtr config(rawConfig);
  // Settings in the repository win over the user's own (~/.gitconfig).
  if (git_config_set_bool(config.get(), "core.bare", 0) < 0 ||
      git_config_set_bool(config.get(), "core.autocrlf", 0) < 0 ||
      git_config_set_string(config.get(), "core.safecrlf", "false") < 0 ||
      git_config_set_bool(config.get(), "core.filemode", 0) < 0 ||
      git_config_set_bool(config.get(), "core.logallrefupdates", 1) < 0 ||
      // Any name Linux holds is kept, even one Windows or macOS could not.
      git_config_set_bool(config.get(), "core.protectNTFS", 0) < 0 ||
      git_config_set_bool(config.get(), "core.protectHFS", 0) < 0 ||
      git_config_set_bool(config.get(), "gc.auto", 0) < 0 ||
      git_config_set_bool(config.get(), "typedata.history", 1) < 0)
    return GitRefusal("cannot make the tree's history in " + root, root);
  std::error_code ignored;
  std::filesystem::create_directories(temp + "/info", ignored);
  if (!WriteSmall(temp + "/info/attributes", kAttributes) || !WriteSmall(temp + "/info/exclude", kExclude))
    return Failed("cannot make the tree's history in " + root, temp, errno != 0 ? errno : EIO);
  return std::nullopt;
}

}  // namespace

std::optional<tool::Refusal> MakeRepository(const std::string& root) {
  StartGit();
  const std::string temp = root + "/" + kNewRepository;
  std::error_code ignored;
  // One left by a kill is ours, by its name: made again from the start.
  std::filesystem::remove_all(temp, ignored);
  if (auto refused = Build(root, temp)) {
    std::filesystem::remove_all(temp, ignored);
    return refused;
  }
  if (auto refused = SyncRepository(temp)) {
    std::filesystem::remove_all(temp, ignored);
    return refused;
  }
  const std::string target = root + "/.git";
  if (rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    std::filesystem::remove_all(temp, ignored);
    return Failed("cannot make the tree's history " + target, target, error);
  }
  return FlushFolder(root);
}

std::optional<tool::Refusal> WriteDurably(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".new";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return Failed("cannot write " + temp, temp, errno);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      unlink(temp.c_str());
      return Failed("cannot write " + temp, temp, error);
    }
    done += static_cast<std::size_t>(wrote);
  }
  if (fsync(fd) != 0 || close(fd) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return Failed("cannot write " + temp, temp, error);
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return Failed("cannot write " + path, path, error);
  }
  return FlushFolder(std::filesystem::path(path).parent_path().string());
}

std::optional<tool::Refusal> RemoveDurably(const std::string& path) {
  if (unlink(path.c_str()) != 0) {
    if (errno == ENOENT) return std::nullopt;
    return Failed("cannot remove " + path, path, errno);
  }
  return FlushFolder(std::filesystem::path(path).parent_path().string());
}

bool ReadWhole(const std::string& path, std::string* bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  bytes->clear();
  char buffer[4096];
  ssize_t got = 0;
  // The record is small; a hostile one is cut at 64 KiB.
  while ((got = read(fd, buffer, sizeof buffer)) > 0 && bytes->size() < 65536)
    bytes->append(buffer, static_cast<std::size_t>(got));
  close(fd);
  return true;
}

std::optional<tool::Refusal> SyncRepository(const std::string& root) {
  const std::string folder = std::filesystem::exists(root + "/.git") ? root + "/.git" : root;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Failed("cannot flush " + folder, folder, errno);
  const int rc = syncfs(fd);
  const int error = errno;
  close(fd);
  if (rc != 0) return Failed("cannot flush " + folder, folder, error);
  return std::nullopt;
}

void ClearStaleLocks(const std::string& root) {
  const std::string git = root + "/.git/";
  std::string branch = "refs/heads/main";
  std::string head;
  if (ReadWhole(git + "HEAD", &head) && head.rfind("ref: ", 0) == 0) {
    branch = head.substr(5, head.find('\n') == std::string::npos ? std::string::npos : head.find('\n') - 5);
  }
  // Only a branch's own name: HEAD is a file anyone may have written.
  if (branch.rfind("refs/heads/", 0) != 0 || branch.find("..") != std::string::npos)
    branch = "refs/heads/main";
  for (const std::string& name : {std::string("index.lock"), std::string("HEAD.lock"), branch + ".lock",
                                  std::string("packed-refs.lock"), std::string("config.lock")}) {
    const std::string path = git + name;
    for (int wait = 0; wait < 50; ++wait) {
      struct stat st {};
      if (lstat(path.c_str(), &st) != 0) break;
      if (std::time(nullptr) - st.st_mtime > 5 || wait == 49) {
        unlink(path.c_str());
        break;
      }
      usleep(100 * 1000);
    }
  }
}

std::optional<tool::Refusal> MoveBranch(git_repository* repo, const git_oid& commit,
                                        const std::string& summary) {
  git_reference* head = nullptr;
  if (git_reference_lookup(&head, repo, "HEAD") < 0) return GitRefusal("cannot read the history's HEAD", "");
  ReferencePtr ownedHead(head);
  if (git_reference_type(head) != GIT_REFERENCE_SYMBOLIC) {
    // Someone checked out an older entry with plain git: the next one
    // follows the entry HEAD names.
    if (git_repository_set_head_detached(repo, &commit) < 0)
      return GitRefusal("cannot move the history's HEAD", "");
    return std::nullopt;
  }
  const std::string branch = git_reference_symbolic_target(head);
  git_reference* moved = nullptr;
  if (git_reference_create(&moved, repo, branch.c_str(), &commit, 1, ("typedata: " + summary).c_str()) < 0)
    return GitRefusal("cannot move the history's branch", "");
  git_reference_free(moved);
  return std::nullopt;
}

}  // namespace history
