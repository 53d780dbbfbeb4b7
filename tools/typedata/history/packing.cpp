#include "history/packing.h"

#include <dirent.h>
#include <unistd.h>

#include <vector>

#include "history/git_util.h"
#include "history/repository_files.h"

namespace history {
namespace {

constexpr char kPackedRef[] = "refs/typedata/packed";

// The walk from HEAD back to the last packed entry (not included).
bool WalkSincePacked(git_repository* repo, const git_oid& head, RevwalkPtr* walk, std::size_t* count) {
  git_revwalk* raw = nullptr;
  if (git_revwalk_new(&raw, repo) < 0) return false;
  walk->reset(raw);
  git_oid packed;
  if (git_revwalk_push(raw, &head) < 0) return false;
  if (git_reference_name_to_id(&packed, repo, kPackedRef) == 0) git_revwalk_hide(raw, &packed);
  *count = 0;
  git_oid id;
  while (git_revwalk_next(&id, raw) == 0) ++*count;
  git_revwalk_reset(raw);
  if (git_revwalk_push(raw, &head) < 0) return false;
  if (git_reference_name_to_id(&packed, repo, kPackedRef) == 0) git_revwalk_hide(raw, &packed);
  return true;
}

// Removes each loose object that a pack now holds.
void RemovePackedLooseObjects(const std::string& objects) {
  git_odb* packs = nullptr;
  git_odb_backend* backend = nullptr;
  if (git_odb_new(&packs) < 0) return;
  OdbPtr owned(packs);
  if (git_odb_backend_pack(&backend, objects.c_str()) < 0 || git_odb_add_backend(packs, backend, 1) < 0)
    return;
  static const char kHex[] = "0123456789abcdef";
  for (int high = 0; high < 16; ++high) {
    for (int low = 0; low < 16; ++low) {
      const std::string prefix = {kHex[high], kHex[low]};
      std::string folder = objects;
      folder.append("/").append(prefix);
      DIR* dir = opendir(folder.c_str());
      if (dir == nullptr) continue;
      std::vector<std::string> names;
      while (dirent* entry = readdir(dir)) {
        if (std::string(entry->d_name).size() == GIT_OID_HEXSZ - 2) names.emplace_back(entry->d_name);
      }
      closedir(dir);
      for (const std::string& name : names) {
        git_oid id;
        if (git_oid_fromstr(&id, (prefix + name).c_str()) < 0) continue;
        if (git_odb_exists(packs, &id)) unlink(std::string(folder).append("/").append(name).c_str());
      }
      rmdir(folder.c_str());  // only when it is empty
    }
  }
}

}  // namespace

std::string PackIfDue(git_repository* repo, const std::string& root, std::size_t every) {
  std::string error;
  CommitPtr head = HeadCommit(repo, &error);
  if (head == nullptr) return error;
  const git_oid headId = *git_commit_id(head.get());
  RevwalkPtr walk;
  std::size_t count = 0;
  if (!WalkSincePacked(repo, headId, &walk, &count)) return GitError("the history could not be packed");
  if (count < every) return {};
  git_packbuilder* raw = nullptr;
  if (git_packbuilder_new(&raw, repo) < 0) return GitError("the history could not be packed");
  PackBuilderPtr builder(raw);
  git_packbuilder_set_threads(raw, 1);
  const std::string objects = root + "/.git/objects";
  if (git_packbuilder_insert_walk(raw, walk.get()) < 0 ||
      git_packbuilder_write(raw, (objects + "/pack").c_str(), 0, nullptr, nullptr) < 0)
    return GitError("the history could not be packed");
  // The pack durable before any loose copy goes.
  if (auto refused = SyncRepository(root)) return refused->message;
  RemovePackedLooseObjects(objects);
  git_reference* ref = nullptr;
  if (git_reference_create(&ref, repo, kPackedRef, &headId, 1, "typedata: packed") < 0)
    return GitError("the history could not be packed");
  git_reference_free(ref);
  return {};
}

}  // namespace history
