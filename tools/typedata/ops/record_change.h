// Every change of a tree kept in its history: what changed outside the
// tool first, then one entry for the change itself. Both front ends wrap
// each change in one, with the tree's lock held from before Begin to after
// Finish.
#ifndef TOOLS_TYPEDATA_OPS_RECORD_CHANGE_H
#define TOOLS_TYPEDATA_OPS_RECORD_CHANGE_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/refusal.h"
#include "core/session.h"

namespace tool::ops {

// Who changes the tree, and why.
struct Recorder {
  std::string user;       // "" : TYPEDATA_USER, else the login name
  std::string command;    // the command in words
  std::string reason;     // required when the tree says so
  std::string checkedBy;  // "" when nobody checked it
};

class ChangeRecording {
 public:
  // Records what differs from the history's last entry (a change made
  // outside, or what a stopped command left), then marks the change as
  // begun. Refused when the tree requires a reason and none is given, or
  // when its history cannot be opened or written (nothing is changed then).
  // makeHistory: a tree without history gets one (false: init --no-history).
  static Result<std::unique_ptr<ChangeRecording>> Begin(const Session& session, const Recorder& recorder,
                                                        bool makeHistory = true);
  ChangeRecording(const ChangeRecording&) = delete;
  ChangeRecording& operator=(const ChangeRecording&) = delete;
  ~ChangeRecording();

  // After the change (done or not): one entry for what it changed, none
  // when it changed nothing. A refusal when the entry could not be made:
  // the next change records it as left by an interrupted command.
  std::optional<Refusal> Finish();

  // What recording said on the way (the entry of a change made outside).
  const std::vector<std::string>& notes() const { return notes_; }

 private:
  struct State;
  explicit ChangeRecording(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
  std::vector<std::string> notes_;
};

// Whether this build keeps histories (the Windows build does not yet).
bool HistoryInThisBuild();

// Keeps with the tree whether it has a history and whether every change
// must give a reason (init). Refused for a tree that has a history already
// and is asked to have none: the tool never throws a history away.
std::optional<Refusal> KeepHistorySettings(const Session& session, bool keepHistory, bool requireReason);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_RECORD_CHANGE_H
