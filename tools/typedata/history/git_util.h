// Small helpers around libgit2: owning handles, its last error as text, the
// library started once.
#ifndef TOOLS_TYPEDATA_HISTORY_GIT_UTIL_H
#define TOOLS_TYPEDATA_HISTORY_GIT_UTIL_H

#include <git2.h>

#include <memory>
#include <string>

#include "core/refusal.h"

namespace history {

// Starts libgit2 once for the process (and sets what the history relies on:
// objects' hashes checked as they are read).
void StartGit();

// "what: libgit2's message" for the last failed call.
std::string GitError(const std::string& what);
tool::Refusal GitRefusal(const std::string& what, const std::string& file);

template <typename T, void (*Free)(T*)>
struct GitFree {
  void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)>
using GitPtr = std::unique_ptr<T, GitFree<T, Free>>;

using RepoPtr = GitPtr<git_repository, git_repository_free>;
using IndexPtr = GitPtr<git_index, git_index_free>;
using TreePtr = GitPtr<git_tree, git_tree_free>;
using CommitPtr = GitPtr<git_commit, git_commit_free>;
using ObjectPtr = GitPtr<git_object, git_object_free>;
using ConfigPtr = GitPtr<git_config, git_config_free>;
using OdbPtr = GitPtr<git_odb, git_odb_free>;
using OdbObjectPtr = GitPtr<git_odb_object, git_odb_object_free>;
using SignaturePtr = GitPtr<git_signature, git_signature_free>;
using RevwalkPtr = GitPtr<git_revwalk, git_revwalk_free>;
using DiffPtr = GitPtr<git_diff, git_diff_free>;
using BlobPtr = GitPtr<git_blob, git_blob_free>;
using ReferencePtr = GitPtr<git_reference, git_reference_free>;
using TagPtr = GitPtr<git_tag, git_tag_free>;
using PackBuilderPtr = GitPtr<git_packbuilder, git_packbuilder_free>;

std::string OidText(const git_oid& oid);

// The commit HEAD names, or null when the history has no entry yet.
CommitPtr HeadCommit(git_repository* repo, std::string* error);

}  // namespace history

#endif  // TOOLS_TYPEDATA_HISTORY_GIT_UTIL_H
