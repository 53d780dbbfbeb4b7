// A tree's history: a git repository at ROOT/.git, ROOT its work tree, with
// one entry (commit) per change of ROOT/type/** and ROOT/.typedata-machine,
// kept byte for byte. A changing command, with the tree's lock held:
//   1. RecordOutside: what differs from the last entry becomes an entry of
//      its own, marked outside (or interrupted, when a killed command left
//      its pending record); a tree without history gets its first entry.
//   2. BeginChange: a small pending record in ROOT/.git, so that a kill
//      between here and Record is told apart from a change made outside.
//   3. its own change, its files saved;
//   4. Record: one entry for everything changed; the pending record goes.
#ifndef TOOLS_TYPEDATA_HISTORY_HISTORY_H
#define TOOLS_TYPEDATA_HISTORY_HISTORY_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/refusal.h"

struct git_repository;

namespace history {

using tool::Refusal;
using tool::Result;

// Who made a change and why; each field said as given (control characters
// become spaces), empty fields left out of the entry.
struct ChangeInfo {
  std::string user;
  std::string station;
  std::string command;  // the command in words: "set 0003 speed=5"
  std::string reason;
  std::string checkedBy;
};

// What a recording call did.
struct Recorded {
  bool made = false;         // an entry was added
  std::string revision;      // its commit, in hex
  bool interrupted = false;  // it records what a killed command left
  bool outside = false;      // it records a change made outside the tool
  bool first = false;        // it is the tree's first entry
  std::string note;          // said, not a failure: the history could not be packed
};

// A tree's settings for its history: kept in ROOT/.git/config, or, for a
// tree made without history, in ROOT/.typedata-no-history (same format).
struct Settings {
  bool enabled = true;
  bool requireReason = false;
};

// The settings of the tree at root (defaults when it says nothing).
Result<Settings> ReadSettings(const std::string& root);

// Stores them: enabled makes (or keeps) the history, !enabled leaves the
// tree without one (refused when it already has one: a history is never
// thrown away by the tool).
Result<Settings> WriteSettings(const std::string& root, const Settings& settings);

class History {
 public:
  // Opens the tree's history, making it (an empty repository, no entry yet)
  // when there is none; refused for a ROOT/.git that is not a tree's history
  // and for a tree made without history. Never uses a repository above root.
  static Result<std::shared_ptr<History>> Open(const std::string& root);

  // The same, but never makes one: kNotFound when the tree has none.
  static Result<std::shared_ptr<History>> OpenExisting(const std::string& root);

  ~History();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  // Step 1: the tree as it is, compared with the last entry.
  Result<Recorded> RecordOutside(const ChangeInfo& recorder);
  // Step 2: the pending record, made durable before the change begins.
  Result<Recorded> BeginChange(const ChangeInfo& change);
  // Step 4: one entry for the change (none when no recorded file changed);
  // the pending record removed.
  Result<Recorded> Record(const ChangeInfo& change);

  // True while a pending record is in the repository.
  bool HasPending() const;

  const std::string& root() const { return root_; }
  git_repository* repository() const { return repo_; }

 private:
  History(std::string root, git_repository* repo);
  Result<Recorded> Commit(const std::string& message, const ChangeInfo& author, const ChangeInfo& committer);

  std::string root_;
  git_repository* repo_ = nullptr;
};

// The trailers' names, as entries carry them.
inline constexpr char kUserTrailer[] = "Typedata-User";
inline constexpr char kStationTrailer[] = "Typedata-Station";
inline constexpr char kCommandTrailer[] = "Typedata-Command";
inline constexpr char kReasonTrailer[] = "Reason";
inline constexpr char kCheckedByTrailer[] = "Checked-By";
inline constexpr char kOutsideTrailer[] = "Typedata-Outside";
inline constexpr char kInterruptedTrailer[] = "Typedata-Interrupted";
inline constexpr char kFirstTrailer[] = "Typedata-First";
inline constexpr char kRecordedByTrailer[] = "Typedata-Recorded-By";

}  // namespace history

#endif  // TOOLS_TYPEDATA_HISTORY_HISTORY_H
