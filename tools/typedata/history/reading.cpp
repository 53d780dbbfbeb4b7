#include "history/reading.h"

#include <cstdio>
#include <ctime>
#include <map>
#include <set>

#include "history/git_util.h"
#include "history/repository_files.h"
#include "history/tree_scan.h"

namespace history {
namespace {

using tool::RefusalKind;

std::string IsoTime(std::int64_t seconds) {
  const auto when = static_cast<std::time_t>(seconds);
  std::tm parts{};
  gmtime_r(&when, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

Result<CommitPtr> LookUpCommit(git_repository* repo, const std::string& revision) {
  git_object* object = nullptr;
  if (git_revparse_single(&object, repo, revision.c_str()) < 0)
    return Refusal::Of(RefusalKind::kNotFound, "no entry of the history is " + revision);
  ObjectPtr owned(object);
  git_object* peeled = nullptr;
  if (git_object_peel(&peeled, object, GIT_OBJECT_COMMIT) < 0)
    return Refusal::Of(RefusalKind::kNotFound, revision + " is not an entry of the history");
  return CommitPtr(reinterpret_cast<git_commit*>(peeled));
}

FileChangeKind KindOf(git_delta_t status) {
  if (status == GIT_DELTA_ADDED) return FileChangeKind::kAdded;
  if (status == GIT_DELTA_DELETED) return FileChangeKind::kDeleted;
  return FileChangeKind::kModified;
}

// The object at path in tree (a zero id when there is none).
git_oid IdAt(git_tree* tree, const std::string& path) {
  git_oid id{};
  git_tree_entry* entry = nullptr;
  if (tree != nullptr && git_tree_entry_bypath(&entry, tree, path.c_str()) == 0) {
    id = *git_tree_entry_id(entry);
    git_tree_entry_free(entry);
  }
  return id;
}

// Each entry's tree is looked at twice (as itself and as its child's
// parent): the answer kept by the tree's id.
bool SameAt(git_tree* before, git_tree* after, const std::string& path,
            std::map<std::string, git_oid>* seen) {
  auto at = [&](git_tree* tree) {
    if (tree == nullptr) return git_oid{};
    const std::string key = OidText(*git_tree_id(tree));
    auto found = seen->find(key);
    if (found != seen->end()) return found->second;
    if (seen->size() > 4) seen->clear();
    return (*seen)[key] = IdAt(tree, path);
  };
  const git_oid a = at(before);
  const git_oid b = at(after);
  return git_oid_equal(&a, &b);
}

int CollectBlob(const char* folder, const git_tree_entry* entry, void* payload) {
  if (git_tree_entry_type(entry) != GIT_OBJECT_BLOB) return 0;
  auto* files = static_cast<std::map<std::string, std::string>*>(payload);
  (*files)[std::string(folder) + git_tree_entry_name(entry)] = OidText(*git_tree_entry_id(entry));
  return 0;
}

// Reads every object once: libgit2 checks each against its name as it
// reads it.
class ObjectChecker {
 public:
  explicit ObjectChecker(git_repository* repo, Verification* out) : repo_(repo), out_(out) {
    git_repository_odb(&odb_, repo);
  }
  ~ObjectChecker() { git_odb_free(odb_); }

  bool Read(const git_oid& id, const std::string& what) {
    if (!seen_.insert(OidText(id)).second) return true;
    git_odb_object* object = nullptr;
    if (odb_ == nullptr || git_odb_read(&object, odb_, &id) < 0) {
      out_->chainOk = false;
      out_->problems.push_back(GitError(what + " " + OidText(id) + " cannot be read"));
      return false;
    }
    git_odb_object_free(object);
    return true;
  }

  void Tree(const git_oid& id, const std::string& path) {
    if (seen_.count(OidText(id)) != 0) return;
    if (!Read(id, "the folder " + path)) return;
    git_tree* tree = nullptr;
    if (git_tree_lookup(&tree, repo_, &id) < 0) return;
    TreePtr owned(tree);
    for (std::size_t i = 0; i < git_tree_entrycount(tree); ++i) {
      const git_tree_entry* entry = git_tree_entry_byindex(tree, i);
      const std::string child = path + git_tree_entry_name(entry);
      if (git_tree_entry_type(entry) == GIT_OBJECT_TREE)
        Tree(*git_tree_entry_id(entry), child + "/");
      else
        Read(*git_tree_entry_id(entry), "the file " + child);
    }
  }

 private:
  git_repository* repo_;
  Verification* out_;
  git_odb* odb_ = nullptr;
  std::set<std::string> seen_;
};

}  // namespace

Result<std::vector<Entry>> ReadEntries(const History& history, const EntryFilter& filter) {
  git_repository* repo = history.repository();
  std::vector<Entry> entries;
  std::string error;
  CommitPtr head = HeadCommit(repo, &error);
  if (!error.empty()) return Refusal::InputOutput(error, history.root() + "/.git", "");
  if (head == nullptr) return entries;
  git_revwalk* rawWalk = nullptr;
  if (git_revwalk_new(&rawWalk, repo) < 0) return GitRefusal("cannot read the history", history.root());
  RevwalkPtr walk(rawWalk);
  git_revwalk_sorting(walk.get(), GIT_SORT_TOPOLOGICAL | GIT_SORT_TIME);
  if (git_revwalk_push(walk.get(), git_commit_id(head.get())) < 0)
    return GitRefusal("cannot read the history", history.root());

  git_diff_options options;
  git_diff_options_init(&options, GIT_DIFF_OPTIONS_VERSION);
  // The path taken as it is spelt, never as a pattern.
  options.flags = GIT_DIFF_DISABLE_PATHSPEC_MATCH | GIT_DIFF_SKIP_BINARY_CHECK;
  char* pathspec = const_cast<char*>(filter.path.c_str());
  if (!filter.path.empty()) {
    options.pathspec.strings = &pathspec;
    options.pathspec.count = 1;
  }
  std::map<std::string, git_oid> pathIds;
  git_oid id;
  int rc = 0;
  while ((rc = git_revwalk_next(&id, walk.get())) == 0) {
    git_commit* rawCommit = nullptr;
    if (git_commit_lookup(&rawCommit, repo, &id) < 0)
      return GitRefusal("cannot read the entry " + OidText(id), history.root());
    CommitPtr commit(rawCommit);
    git_tree* rawTree = nullptr;
    git_tree* rawParentTree = nullptr;
    if (git_commit_tree(&rawTree, commit.get()) < 0)
      return GitRefusal("cannot read the entry " + OidText(id), history.root());
    TreePtr tree(rawTree);
    if (git_commit_parentcount(commit.get()) > 0) {
      git_commit* rawParent = nullptr;
      if (git_commit_parent(&rawParent, commit.get(), 0) < 0 ||
          git_commit_tree(&rawParentTree, rawParent) < 0) {
        git_commit_free(rawParent);
        return GitRefusal("cannot read the entry before " + OidText(id), history.root());
      }
      git_commit_free(rawParent);
    }
    TreePtr parentTree(rawParentTree);
    // An entry that left the path (a file or a folder) as it was is passed
    // over by its name alone, without a diff.
    if (!filter.path.empty() && SameAt(parentTree.get(), tree.get(), filter.path, &pathIds)) continue;
    git_diff* rawDiff = nullptr;
    if (git_diff_tree_to_tree(&rawDiff, repo, parentTree.get(), tree.get(), &options) < 0)
      return GitRefusal("cannot read the entry " + OidText(id), history.root());
    DiffPtr diff(rawDiff);
    const std::size_t count = git_diff_num_deltas(diff.get());
    if (!filter.path.empty() && count == 0) continue;
    Entry entry;
    entry.revision = OidText(id);
    const git_signature* author = git_commit_author(commit.get());
    entry.time = author->when.time;
    entry.timeText = IsoTime(entry.time);
    entry.author = author->name;
    const std::string message = git_commit_message(commit.get());
    entry.summary = SummaryOf(message);
    entry.trailers = ParseTrailers(message);
    for (std::size_t i = 0; i < count; ++i) {
      const git_diff_delta* delta = git_diff_get_delta(diff.get(), i);
      FileChange change;
      change.kind = KindOf(delta->status);
      change.path = change.kind == FileChangeKind::kDeleted ? delta->old_file.path : delta->new_file.path;
      if (change.kind != FileChangeKind::kAdded) change.oldBlob = OidText(delta->old_file.id);
      if (change.kind != FileChangeKind::kDeleted) change.newBlob = OidText(delta->new_file.id);
      entry.changes.push_back(change);
    }
    entries.push_back(std::move(entry));
    if (filter.limit != 0 && entries.size() >= filter.limit) break;
  }
  if (rc < 0 && rc != GIT_ITEROVER) return GitRefusal("cannot read the history", history.root());
  return entries;
}

Result<std::string> ReadFileAt(const History& history, const std::string& revision, const std::string& path) {
  auto commit = LookUpCommit(history.repository(), revision);
  if (!commit.ok()) return commit.refusal();
  git_tree* rawTree = nullptr;
  if (git_commit_tree(&rawTree, commit.model().get()) < 0)
    return GitRefusal("cannot read the entry " + revision, history.root());
  TreePtr tree(rawTree);
  git_tree_entry* rawEntry = nullptr;
  if (git_tree_entry_bypath(&rawEntry, tree.get(), path.c_str()) < 0)
    return Refusal::Of(RefusalKind::kNotFound, "the entry " + revision + " has no file " + path);
  std::unique_ptr<git_tree_entry, void (*)(git_tree_entry*)> entry(rawEntry, git_tree_entry_free);
  if (git_tree_entry_type(entry.get()) != GIT_OBJECT_BLOB)
    return Refusal::Of(RefusalKind::kNotFound, "the entry " + revision + " has no file " + path);
  git_blob* rawBlob = nullptr;
  if (git_blob_lookup(&rawBlob, history.repository(), git_tree_entry_id(entry.get())) < 0)
    return GitRefusal("cannot read " + path + " at " + revision, history.root());
  BlobPtr blob(rawBlob);
  return std::string(static_cast<const char*>(git_blob_rawcontent(blob.get())),
                     static_cast<std::size_t>(git_blob_rawsize(blob.get())));
}

Result<std::vector<std::string>> ListFilesAt(const History& history, const std::string& revision,
                                             const std::string& folder) {
  auto commit = LookUpCommit(history.repository(), revision);
  if (!commit.ok()) return commit.refusal();
  git_tree* rawTree = nullptr;
  if (git_commit_tree(&rawTree, commit.model().get()) < 0)
    return GitRefusal("cannot read the entry " + revision, history.root());
  TreePtr tree(rawTree);
  std::vector<std::string> paths;
  git_tree_entry* rawEntry = nullptr;
  if (git_tree_entry_bypath(&rawEntry, tree.get(), folder.c_str()) < 0) return paths;
  std::unique_ptr<git_tree_entry, void (*)(git_tree_entry*)> entry(rawEntry, git_tree_entry_free);
  if (git_tree_entry_type(entry.get()) != GIT_OBJECT_TREE) return paths;
  git_tree* rawFolder = nullptr;
  if (git_tree_lookup(&rawFolder, history.repository(), git_tree_entry_id(entry.get())) < 0)
    return GitRefusal("cannot read " + folder + " at " + revision, history.root());
  TreePtr folderTree(rawFolder);
  std::map<std::string, std::string> files;
  git_tree_walk(folderTree.get(), GIT_TREEWALK_PRE, CollectBlob, &files);
  for (const auto& [path, blob] : files) paths.push_back(folder + "/" + path);
  return paths;
}

bool ParseIsoTime(const std::string& text, std::int64_t* seconds) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) != 3 || used != 10) return false;
  std::size_t at = 10;
  if (at < text.size() && (text[at] == 'T' || text[at] == ' ')) {
    int more = 0;
    if (std::sscanf(text.c_str() + at + 1, "%2d:%2d%n", &hour, &minute, &more) != 2 || more != 5)
      return false;
    at += 6;
    if (at < text.size() && text[at] == ':') {
      if (std::sscanf(text.c_str() + at + 1, "%2d%n", &second, &more) != 1 || more != 2) return false;
      at += 3;
    }
  }
  int offset = 0;
  if (at < text.size()) {
    const std::string zone = text.substr(at);
    int zoneHours = 0, zoneMinutes = 0;
    if (zone == "Z") {
    } else if ((zone[0] == '+' || zone[0] == '-') &&
               (std::sscanf(zone.c_str() + 1, "%2d:%2d", &zoneHours, &zoneMinutes) == 2 ||
                std::sscanf(zone.c_str() + 1, "%2d%2d", &zoneHours, &zoneMinutes) == 2) &&
               (zone.size() == 6 || zone.size() == 5)) {
      offset = (zoneHours * 60 + zoneMinutes) * 60 * (zone[0] == '-' ? -1 : 1);
    } else {
      return false;
    }
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return false;
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  *seconds = static_cast<std::int64_t>(timegm(&parts)) - offset;
  return true;
}

Result<std::string> ResolveWhen(const History& history, const std::string& when) {
  git_repository* repo = history.repository();
  if (when.empty()) return Refusal::Of(RefusalKind::kUsage, "a point in the history is needed");
  int valid = 0;
  git_reference* tag = nullptr;
  if (git_reference_name_is_valid(&valid, ("refs/tags/" + when).c_str()) == 0 && valid &&
      git_reference_lookup(&tag, repo, ("refs/tags/" + when).c_str()) == 0) {
    git_reference_free(tag);
    auto commit = LookUpCommit(repo, "refs/tags/" + when);
    if (!commit.ok()) return commit.refusal();
    return OidText(*git_commit_id(commit.model().get()));
  }
  std::int64_t seconds = 0;
  if (ParseIsoTime(when, &seconds)) {
    EntryFilter all;
    auto entries = ReadEntries(history, all);
    if (!entries.ok()) return entries.refusal();
    for (const Entry& entry : entries.model()) {
      if (entry.time <= seconds) return entry.revision;
    }
    return Refusal::Of(RefusalKind::kNotFound, "the history has no entry made at or before " + when);
  }
  if (when[0] == '-') return Refusal::Of(RefusalKind::kNotFound, "no entry of the history is " + when);
  auto commit = LookUpCommit(repo, when);
  if (!commit.ok()) return commit.refusal();
  return OidText(*git_commit_id(commit.model().get()));
}

Result<std::string> MakeRelease(const History& history, const std::string& name, const ChangeInfo& who) {
  git_repository* repo = history.repository();
  int valid = 0;
  if (name.empty() || git_reference_name_is_valid(&valid, ("refs/tags/" + name).c_str()) < 0 || !valid)
    return Refusal::Of(RefusalKind::kUsage, "\"" + OneLine(name) + "\" cannot name a release");
  std::string error;
  CommitPtr head = HeadCommit(repo, &error);
  if (!error.empty()) return Refusal::InputOutput(error, history.root() + "/.git", "");
  if (head == nullptr) return Refusal::Of(RefusalKind::kRefused, "the history has no entry to release yet");
  git_reference* existing = nullptr;
  if (git_reference_lookup(&existing, repo, ("refs/tags/" + name).c_str()) == 0) {
    git_reference_free(existing);
    return Refusal::Of(RefusalKind::kRefused, "a release named " + name + " is already there");
  }
  git_signature* rawTagger = nullptr;
  std::string tagger = OneLine(who.user);
  for (char& c : tagger) {
    if (c == '<' || c == '>') c = ' ';
  }
  if (tagger.empty()) tagger = "unknown";
  std::string address = tagger + "@" + (who.station.empty() ? "localhost" : OneLine(who.station));
  for (char& c : address) {
    if (c == ' ' || c == '<' || c == '>') c = '.';
  }
  if (git_signature_new(&rawTagger, tagger.c_str(), address.c_str(), std::time(nullptr), 0) < 0)
    return GitRefusal("cannot name the release's author", "");
  SignaturePtr signature(rawTagger);
  const std::string message =
      BuildMessage("release " + name,
                   {{kUserTrailer, who.user}, {kStationTrailer, who.station}, {kReasonTrailer, who.reason}});
  git_oid tagId;
  if (git_tag_create(&tagId, repo, name.c_str(), reinterpret_cast<const git_object*>(head.get()),
                     signature.get(), message.c_str(), 0) < 0)
    return GitRefusal("cannot make the release " + name, history.root());
  if (auto refused = SyncRepository(history.root())) return *refused;
  return OidText(tagId);
}

Result<Verification> Verify(const History& history) {
  git_repository* repo = history.repository();
  Verification out;
  ObjectChecker checker(repo, &out);
  std::string error;
  CommitPtr head = HeadCommit(repo, &error);
  if (!error.empty()) {
    out.chainOk = false;
    out.problems.push_back(error);
    return out;
  }
  std::map<std::string, std::string> kept;  // path -> blob of the last entry
  if (head != nullptr) {
    git_revwalk* rawWalk = nullptr;
    if (git_revwalk_new(&rawWalk, repo) < 0) return GitRefusal("cannot read the history", history.root());
    RevwalkPtr walk(rawWalk);
    git_revwalk_push(walk.get(), git_commit_id(head.get()));
    git_revwalk_push_glob(walk.get(), "refs/tags/*");
    // The releases' own objects (who pinned them, when, why) too.
    git_tag_foreach(
        repo,
        [](const char*, git_oid* tag, void* payload) {
          static_cast<ObjectChecker*>(payload)->Read(*tag, "the release");
          return 0;
        },
        &checker);
    git_oid id;
    int rc = 0;
    while ((rc = git_revwalk_next(&id, walk.get())) == 0) {
      ++out.entries;
      if (!checker.Read(id, "the entry")) continue;
      git_commit* commit = nullptr;
      if (git_commit_lookup(&commit, repo, &id) < 0) continue;
      checker.Tree(*git_commit_tree_id(commit), "");
      git_commit_free(commit);
    }
    if (rc < 0 && rc != GIT_ITEROVER) {
      out.chainOk = false;
      out.problems.push_back(GitError("the chain of entries breaks"));
    }
    git_tree* rawTree = nullptr;
    if (git_commit_tree(&rawTree, head.get()) == 0) {
      TreePtr tree(rawTree);
      git_tree_walk(tree.get(), GIT_TREEWALK_PRE, CollectBlob, &kept);
    }
  }
  // The index only spares reading files unchanged since; without it (or
  // with a damaged one) every file is read.
  git_index* rawIndex = nullptr;
  if (git_repository_index(&rawIndex, repo) < 0) rawIndex = nullptr;
  IndexPtr index(rawIndex);
  struct timespec stamp {};
  struct stat indexStat {};
  if (stat((history.root() + "/.git/index").c_str(), &indexStat) == 0) stamp = indexStat.st_mtim;
  auto scan = ScanTree(history.root(), repo, index.get(), stamp, /*write=*/false);
  if (!scan.ok()) return scan.refusal();
  for (const ScannedFile& file : scan.model().files) {
    auto found = kept.find(file.path);
    if (found == kept.end()) {
      out.differences.push_back({file.path, FileChangeKind::kAdded});
    } else {
      if (found->second != OidText(file.id))
        out.differences.push_back({file.path, FileChangeKind::kModified});
      kept.erase(found);
    }
  }
  for (const auto& [path, blob] : kept) out.differences.push_back({path, FileChangeKind::kDeleted});
  return out;
}

}  // namespace history
