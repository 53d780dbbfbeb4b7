#include "history/git_util.h"

#include <mutex>

namespace history {

void StartGit() {
  static std::once_flag once;
  std::call_once(once, [] {
    git_libgit2_init();
    // Every object read is checked against its name: verify and every read
    // of the past rely on it.
    git_libgit2_opts(GIT_OPT_ENABLE_STRICT_HASH_VERIFICATION, 1);
    git_libgit2_opts(GIT_OPT_ENABLE_STRICT_OBJECT_CREATION, 1);
    // The tree's own repository may belong to another user of the machine
    // (a service account's tree opened by an engineer); libgit2 runs no
    // command its configuration names, so its owner is not checked.
    git_libgit2_opts(GIT_OPT_SET_OWNER_VALIDATION, 0);
    // The user's own git settings (~/.gitconfig, /etc/gitconfig) are never
    // read: line-end conversion, filters or a broken file there must not
    // change or stop the history. The repository's own config says all.
    for (const git_config_level_t level : {GIT_CONFIG_LEVEL_SYSTEM, GIT_CONFIG_LEVEL_XDG,
                                           GIT_CONFIG_LEVEL_GLOBAL, GIT_CONFIG_LEVEL_PROGRAMDATA})
      git_libgit2_opts(GIT_OPT_SET_SEARCH_PATH, level, "");
  });
}

std::string GitError(const std::string& what) {
  const git_error* error = git_error_last();
  if (error == nullptr || error->message == nullptr) return what;
  return what + ": " + error->message;
}

tool::Refusal GitRefusal(const std::string& what, const std::string& file) {
  const git_error* error = git_error_last();
  std::string reason = error != nullptr && error->message != nullptr ? error->message : "";
  return tool::Refusal::InputOutput(reason.empty() ? what : what + ": " + reason, file, reason);
}

std::string OidText(const git_oid& oid) {
  char text[GIT_OID_HEXSZ + 1];
  git_oid_tostr(text, sizeof text, &oid);
  return text;
}

CommitPtr HeadCommit(git_repository* repo, std::string* error) {
  git_oid oid;
  int rc = git_reference_name_to_id(&oid, repo, "HEAD");
  if (rc == GIT_ENOTFOUND) return nullptr;
  if (rc < 0) {
    *error = GitError("the history's last entry cannot be read");
    return nullptr;
  }
  git_commit* commit = nullptr;
  if (git_commit_lookup(&commit, repo, &oid) < 0) {
    *error = GitError("the history's last entry cannot be read");
    return nullptr;
  }
  return CommitPtr(commit);
}

}  // namespace history
