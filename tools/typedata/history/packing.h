// The history kept small: every so many entries, the objects the newest
// entries added are packed together (git's deltas between the versions of
// a folder's listing and of a file), and their loose copies removed.
#ifndef TOOLS_TYPEDATA_HISTORY_PACKING_H
#define TOOLS_TYPEDATA_HISTORY_PACKING_H

#include <git2.h>

#include <cstddef>
#include <string>

namespace history {

// The entries between two packings.
inline constexpr std::size_t kPackEvery = 256;

// Packs the entries made since the last packing when there are at least
// `every` of them (refs/typedata/packed marks the last one packed). Empty
// when done or not due; else what went wrong (the history is whole either
// way: a loose object is removed only once the pack holding it is durable).
std::string PackIfDue(git_repository* repo, const std::string& root, std::size_t every = kPackEvery);

}  // namespace history

#endif  // TOOLS_TYPEDATA_HISTORY_PACKING_H
