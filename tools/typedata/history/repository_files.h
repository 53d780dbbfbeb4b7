// The history's own files: making the repository whole or not at all, the
// pending record, and the flushes that order an entry's writes.
#ifndef TOOLS_TYPEDATA_HISTORY_REPOSITORY_FILES_H
#define TOOLS_TYPEDATA_HISTORY_REPOSITORY_FILES_H

#include <git2.h>

#include <optional>
#include <string>

#include "core/refusal.h"

namespace history {

// Makes ROOT/.git, the tree's history with no entry yet: built under a
// name of its own in ROOT, then renamed into place, so that a read-only
// ROOT, a full disk or a kill leaves no half-made repository behind.
std::optional<tool::Refusal> MakeRepository(const std::string& root);

// Replaces path with bytes, flushed, through a temporary file and a rename.
std::optional<tool::Refusal> WriteDurably(const std::string& path, const std::string& bytes);
// Removes path (nothing to do when it is gone), the removal flushed.
std::optional<tool::Refusal> RemoveDurably(const std::string& path);
// False when path cannot be read (gone).
bool ReadWhole(const std::string& path, std::string* bytes);

// Everything written so far into ROOT/.git made durable (one syncfs).
std::optional<tool::Refusal> SyncRepository(const std::string& root);

// Lock files in ROOT/.git that a killed writer left (the index's, HEAD's,
// the branch's): they would stop every later entry. One younger than a few
// seconds may be a plain git command's at work: it is waited for first.
void ClearStaleLocks(const std::string& root);

// The branch HEAD names set to commit (made when it is not there yet).
std::optional<tool::Refusal> MoveBranch(git_repository* repo, const git_oid& commit,
                                        const std::string& summary);

}  // namespace history

#endif  // TOOLS_TYPEDATA_HISTORY_REPOSITORY_FILES_H
