// Reading a tree's history: its entries newest first with the files each
// changed, a file's bytes at an entry, a WHEN (a revision, a release's name,
// a date and time) resolved to an entry, releases, and verify.
#ifndef TOOLS_TYPEDATA_HISTORY_READING_H
#define TOOLS_TYPEDATA_HISTORY_READING_H

#include <cstdint>
#include <string>
#include <vector>

#include "history/entry_message.h"
#include "history/history.h"

namespace history {

enum class FileChangeKind { kAdded, kModified, kDeleted };

struct FileChange {
  std::string path;  // from ROOT: "type/0003/x.dat", ".typedata-machine"
  FileChangeKind kind = FileChangeKind::kModified;
  std::string oldBlob;  // hex; empty when added
  std::string newBlob;  // hex; empty when deleted
};

struct Entry {
  std::string revision;   // the commit, hex
  std::int64_t time = 0;  // seconds since 1970, UTC
  std::string timeText;   // ISO 8601, UTC: "2026-12-07T22:19:35Z"
  std::string author;     // the commit's author name
  std::string summary;    // the message's first line
  EntryTrailers trailers;
  std::vector<FileChange> changes;
};

struct EntryFilter {
  // Only entries that changed a file at this path or under it
  // ("type/0003", "type/0003/x.dat"); empty: every entry.
  std::string path;
  std::size_t limit = 0;  // 0: no limit
};

// The entries reachable from the last one, newest first.
Result<std::vector<Entry>> ReadEntries(const History& history, const EntryFilter& filter);

// The bytes of the file at path (from ROOT) as entry revision kept it;
// kNotFound when the entry has no such file.
Result<std::string> ReadFileAt(const History& history, const std::string& revision, const std::string& path);

// The files (paths from ROOT) that entry revision kept under folder
// ("type/0003"; "type" for every type's), in git's order; empty when it
// kept none there.
Result<std::vector<std::string>> ListFilesAt(const History& history, const std::string& revision,
                                             const std::string& folder);

// A WHEN to the entry it names: a release's name, an ISO 8601 date and
// time (UTC unless it says its offset; a bare date is that day's 00:00
// UTC), meaning the last entry made at or before it, or a revision
// (a commit's hex or its prefix, HEAD~2). kNotFound when none.
Result<std::string> ResolveWhen(const History& history, const std::string& when);

// Seconds since 1970 for an ISO 8601 date and time, or false.
bool ParseIsoTime(const std::string& text, std::int64_t* seconds);

// An annotated tag NAME on the last entry: who, when, why.
Result<std::string> MakeRelease(const History& history, const std::string& name, const ChangeInfo& who);

struct FileDifference {
  std::string path;
  FileChangeKind kind = FileChangeKind::kModified;  // as the tree stands against its last entry
};

struct Verification {
  bool chainOk = true;
  std::vector<std::string> problems;  // objects missing or damaged, said whole
  std::vector<FileDifference> differences;
  std::size_t entries = 0;
  bool ok() const { return chainOk && differences.empty(); }
};

// Every entry's objects read and checked against their names, and the
// tree compared with its last entry, file by file. Writes nothing.
Result<Verification> Verify(const History& history);

}  // namespace history

#endif  // TOOLS_TYPEDATA_HISTORY_READING_H
