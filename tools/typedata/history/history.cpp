#include "history/history.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <unordered_set>

#include "history/entry_message.h"
#include "history/git_util.h"
#include "history/packing.h"
#include "history/repository_files.h"
#include "history/tree_scan.h"

namespace history {
namespace {

using tool::RefusalKind;

std::string PendingPath(const std::string& root) { return root + "/.git/typedata-pending"; }
std::string NoHistoryPath(const std::string& root) { return root + "/.typedata-no-history"; }

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

Refusal Foreign(const std::string& root) {
  return Refusal::Of(RefusalKind::kUsage,
                     root +
                         "/.git is a git repository that is not this tree's history; the tool keeps its "
                         "history there and leaves another's repository alone: move it away, or make "
                         "the tree in a folder of its own");
}

// Opens ROOT/.git, never one above it, and only when it is the tree's own.
Result<RepoPtr> OpenOwn(const std::string& root) {
  const std::string gitPath = root + "/.git";
  struct stat st {};
  if (lstat(gitPath.c_str(), &st) != 0) {
    if (errno == ENOENT)
      return Refusal::Of(RefusalKind::kNotFound, "the tree at " + root + " has no history");
    const std::string reason = std::strerror(errno);
    return Refusal::InputOutput("cannot read " + gitPath + ": " + reason, gitPath, reason);
  }
  if (!S_ISDIR(st.st_mode)) return Foreign(root);
  git_repository* repo = nullptr;
  if (git_repository_open_ext(&repo, gitPath.c_str(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) < 0)
    return GitRefusal("cannot open the tree's history " + gitPath, gitPath);
  RepoPtr owned(repo);
  git_config* config = nullptr;
  int mark = 0;
  if (git_repository_config_snapshot(&config, repo) < 0)
    return GitRefusal("cannot read the settings of " + gitPath, gitPath);
  ConfigPtr ownedConfig(config);
  if (git_config_get_bool(&mark, config, "typedata.history") < 0 || mark == 0) return Foreign(root);
  if (git_repository_is_bare(repo)) return Foreign(root);
  return owned;
}

std::string SignatureName(const std::string& name) {
  std::string clean = OneLine(name);
  for (char& c : clean) {
    if (c == '<' || c == '>') c = ' ';
  }
  clean = OneLine(clean);
  return clean.empty() ? "unknown" : clean;
}

// git wants an address: the user at the station ("alice@line-3"), as near
// to one as the tool knows.
std::string Address(const ChangeInfo& who) {
  std::string address =
      SignatureName(who.user) + "@" + SignatureName(who.station.empty() ? "localhost" : who.station);
  for (char& c : address) {
    if (c == ' ') c = '.';
  }
  return address;
}

Result<SignaturePtr> Signature(const ChangeInfo& who, git_time_t when) {
  git_signature* signature = nullptr;
  if (git_signature_new(&signature, SignatureName(who.user).c_str(), Address(who).c_str(), when, 0) < 0)
    return GitRefusal("cannot name the entry's author", "");
  return SignaturePtr(signature);
}

TrailerList ChangeTrailers(const ChangeInfo& change) {
  return {{kUserTrailer, change.user},
          {kStationTrailer, change.station},
          {kCommandTrailer, change.command},
          {kReasonTrailer, change.reason},
          {kCheckedByTrailer, change.checkedBy}};
}

std::string Recorder(const ChangeInfo& recorder) {
  const std::string user = OneLine(recorder.user);
  const std::string station = OneLine(recorder.station);
  return station.empty() ? user : user + "@" + station;
}

// The repository's index, the stat cache of the tree's files; one that
// cannot be read is only a cache lost: made anew.
Result<IndexPtr> OpenIndex(git_repository* repo, const std::string& root) {
  const std::string path = root + "/.git/index";
  git_index* index = nullptr;
  if (git_repository_index(&index, repo) == 0) {
    IndexPtr owned(index);
    // Read again when another process (the server, a command) wrote it.
    if (git_index_read(index, 0) == 0) return owned;
    if (unlink(path.c_str()) == 0 && git_index_read(index, 1) == 0) return owned;
    return GitRefusal("cannot read the history's index", path);
  }
  if (unlink(path.c_str()) != 0 || git_repository_index(&index, repo) < 0)
    return GitRefusal("cannot read the history's index", path);
  return IndexPtr(index);
}

}  // namespace

History::History(std::string root, git_repository* repo) : root_(std::move(root)), repo_(repo) {}
History::~History() { git_repository_free(repo_); }

Result<std::shared_ptr<History>> History::OpenExisting(const std::string& root) {
  StartGit();
  auto repo = OpenOwn(root);
  if (!repo.ok()) return repo.refusal();
  return std::shared_ptr<History>(new History(root, repo.model().release()));
}

Result<std::shared_ptr<History>> History::Open(const std::string& root) {
  StartGit();
  if (Exists(NoHistoryPath(root)))
    return Refusal::Of(RefusalKind::kRefused, "the tree at " + root + " was made without history");
  if (!Exists(root + "/.git")) {
    if (auto refused = MakeRepository(root)) return *refused;
  }
  return OpenExisting(root);
}

bool History::HasPending() const { return Exists(PendingPath(root_)); }

Result<Recorded> History::BeginChange(const ChangeInfo& change) {
  const std::string message = BuildMessage(change.command, ChangeTrailers(change));
  if (auto refused = WriteDurably(PendingPath(root_), message)) return *refused;
  return Recorded{};
}

Result<Recorded> History::RecordOutside(const ChangeInfo& recorder) {
  std::string pending;
  const bool hasPending = ReadWhole(PendingPath(root_), &pending);
  std::string error;
  CommitPtr head = HeadCommit(repo_, &error);
  if (!error.empty()) return Refusal::InputOutput(error, root_ + "/.git", "");
  std::string message;
  // Nobody is named for a change the tool did not see made.
  ChangeInfo author{"outside the tool", recorder.station, "", "", ""};
  Recorded kind;
  if (hasPending) {
    // The killed command's own words, its user and reason.
    const EntryTrailers killed = ParseTrailers(pending);
    author = {killed.user, killed.station, killed.command, killed.reason, killed.checkedBy};
    TrailerList trailers = ChangeTrailers(author);
    trailers.emplace_back(kInterruptedTrailer, "true");
    trailers.emplace_back(kRecordedByTrailer, Recorder(recorder));
    message = BuildMessage(SummaryOf(pending) + " (interrupted)", trailers);
    kind.interrupted = true;
  } else if (head == nullptr) {
    message = BuildMessage("the tree as it was when its history began",
                           {{kFirstTrailer, "true"}, {kRecordedByTrailer, Recorder(recorder)}});
    kind.first = true;
  } else {
    message = BuildMessage("changed outside the tool",
                           {{kOutsideTrailer, "true"}, {kRecordedByTrailer, Recorder(recorder)}});
    kind.outside = true;
  }
  auto made = Commit(message, author, recorder);
  if (!made.ok()) return made;
  if (hasPending) {
    if (auto refused = RemoveDurably(PendingPath(root_))) return *refused;
  }
  if (!made.model().made) return made;
  kind.made = true;
  kind.revision = made.model().revision;
  kind.note = made.model().note;
  kind.first = kind.first || head == nullptr;
  return kind;
}

Result<Recorded> History::Record(const ChangeInfo& change) {
  auto made = Commit(BuildMessage(change.command, ChangeTrailers(change)), change, change);
  if (!made.ok()) return made;
  if (auto refused = RemoveDurably(PendingPath(root_))) return *refused;
  return made;
}

// One commit of the tree as it is now, when it differs from the last entry;
// the index refreshed either way, so that `git status` is clean.
Result<Recorded> History::Commit(const std::string& message, const ChangeInfo& author,
                                 const ChangeInfo& committer) {
  // The tree's lock is held: no other command of the tool writes here.
  ClearStaleLocks(root_);
  auto opened = OpenIndex(repo_, root_);
  if (!opened.ok()) return opened.refusal();
  IndexPtr index = std::move(opened.model());
  struct timespec stamp {};
  struct stat indexStat {};
  if (stat((root_ + "/.git/index").c_str(), &indexStat) == 0) stamp = indexStat.st_mtim;
  auto scan = ScanTree(root_, repo_, index.get(), stamp, /*write=*/true);
  if (!scan.ok()) return scan.refusal();
  // Only what changed is put into the index: the folders of the rest keep
  // their trees from its cache, and an unchanged tree costs no writing.
  bool touched = false;
  std::unordered_set<std::string> paths;
  for (const ScannedFile& file : scan.model().files) {
    paths.insert(file.path);
    if (file.cached) continue;
    const git_index_entry entry = IndexEntryFor(file);
    if (git_index_add(index.get(), &entry) < 0)
      return GitRefusal("cannot keep " + file.path, root_ + "/" + file.path);
    touched = true;
  }
  for (std::size_t i = git_index_entrycount(index.get()); i-- > 0;) {
    const git_index_entry* entry = git_index_get_byindex(index.get(), i);
    if (GIT_INDEX_ENTRY_STAGE(entry) == 0 && paths.count(entry->path) != 0) continue;
    const std::string path = entry->path;
    if (git_index_remove(index.get(), path.c_str(), GIT_INDEX_ENTRY_STAGE(entry)) < 0)
      return GitRefusal("cannot fill the history's index", root_);
    touched = true;
  }
  git_oid treeId;
  if (git_index_write_tree(&treeId, index.get()) < 0)
    return GitRefusal("cannot write the history's tree", root_);

  std::string error;
  CommitPtr head = HeadCommit(repo_, &error);
  if (!error.empty()) return Refusal::InputOutput(error, root_ + "/.git", "");
  // A tree with no file yet and no entry is nothing to record either.
  const bool same =
      head != nullptr ? git_oid_equal(&treeId, git_commit_tree_id(head.get())) : scan.model().files.empty();
  Recorded recorded;
  if (!same) {
    git_tree* rawTree = nullptr;
    if (git_tree_lookup(&rawTree, repo_, &treeId) < 0)
      return GitRefusal("cannot write the history's tree", root_);
    TreePtr tree(rawTree);
    const git_time_t now = std::time(nullptr);
    auto authorSignature = Signature(author, now);
    if (!authorSignature.ok()) return authorSignature.refusal();
    auto committerSignature = Signature(committer, now);
    if (!committerSignature.ok()) return committerSignature.refusal();
    const git_commit* parents[1] = {head.get()};
    git_oid commitId;
    if (git_commit_create(&commitId, repo_, nullptr, authorSignature.model().get(),
                          committerSignature.model().get(), nullptr, message.c_str(), tree.get(),
                          head != nullptr ? 1 : 0, parents) < 0)
      return GitRefusal("cannot write the history's entry", root_);
    // The entry's objects durable before the branch names it, so that a
    // crash never leaves a branch naming what is not there.
    if (auto refused = SyncRepository(root_)) return *refused;
    if (auto refused = MoveBranch(repo_, commitId, SummaryOf(message))) return *refused;
    recorded.made = true;
    recorded.revision = OidText(commitId);
  }
  if ((touched || recorded.made) && git_index_write(index.get()) < 0)
    return GitRefusal("cannot write the history's index", root_);
  if (recorded.made) {
    if (auto refused = SyncRepository(root_)) return *refused;
    recorded.note = PackIfDue(repo_, root_);
  }
  return recorded;
}

Result<Settings> ReadSettings(const std::string& root) {
  StartGit();
  Settings settings;
  const std::string marker = NoHistoryPath(root);
  git_config* config = nullptr;
  if (Exists(marker)) {
    settings.enabled = false;
    if (git_config_open_ondisk(&config, marker.c_str()) < 0)
      return GitRefusal("cannot read " + marker, marker);
  } else {
    auto repo = OpenOwn(root);
    if (!repo.ok())
      return repo.refusal().kind == RefusalKind::kNotFound ? Result<Settings>(settings) : repo.refusal();
    if (git_repository_config_snapshot(&config, repo.model().get()) < 0)
      return GitRefusal("cannot read the history's settings", root + "/.git/config");
  }
  ConfigPtr owned(config);
  int value = 0;
  if (git_config_get_bool(&value, config, "typedata.requireReason") == 0) settings.requireReason = value != 0;
  return settings;
}

Result<Settings> WriteSettings(const std::string& root, const Settings& settings) {
  StartGit();
  const std::string marker = NoHistoryPath(root);
  git_config* config = nullptr;
  if (!settings.enabled) {
    if (OpenOwn(root).ok())
      return Refusal::Of(RefusalKind::kRefused,
                         "the tree at " + root + " has a history; the tool never removes one");
    if (git_config_open_ondisk(&config, marker.c_str()) < 0)
      return GitRefusal("cannot write " + marker, marker);
  } else {
    if (Exists(marker) && unlink(marker.c_str()) != 0) {
      const std::string reason = std::strerror(errno);
      return Refusal::InputOutput("cannot remove " + marker + ": " + reason, marker, reason);
    }
    auto opened = History::Open(root);
    if (!opened.ok()) return opened.refusal();
    if (git_repository_config(&config, opened.model()->repository()) < 0)
      return GitRefusal("cannot write the history's settings", root + "/.git/config");
  }
  ConfigPtr owned(config);
  if (git_config_set_bool(config, "typedata.history", settings.enabled ? 1 : 0) < 0 ||
      git_config_set_bool(config, "typedata.requireReason", settings.requireReason ? 1 : 0) < 0)
    return GitRefusal("cannot write the history's settings", root);
  return settings;
}

}  // namespace history
