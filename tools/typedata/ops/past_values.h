// A type's values as an entry of the tree's history kept them, read
// through the service as today's are (never by a parser of the tool's).
//
// The entry's catalogue and the type's data files are written into a
// private scratch tree (a temporary folder, never inside the tree, removed
// when the reader goes); the simulated host is started on it with the
// machine description the entry kept (the tree's current one when it kept
// none) and the type is loaded. One scratch tree serves every reading of a
// reader, and the host is started again only when the catalogue or the
// machine differ from the last reading's, so reading many entries costs a
// load each.
//
// The host is one per process: while a PastValues lives it stands on the
// scratch tree, not on the session's. When the reader goes, the host is
// started again on the session's tree (its machine, its catalogue, its
// current type); whatever was loaded before is to be loaded again. So:
// read the past first, let the reader go, then work on today's tree.
//
// Builds without history (Windows) refuse Open: "history is not in this
// build of typedata".
#ifndef TOOLS_TYPEDATA_OPS_PAST_VALUES_H
#define TOOLS_TYPEDATA_OPS_PAST_VALUES_H

#include <memory>
#include <string>

#include "core/refusal.h"
#include "core/session.h"
#include "core/values.h"

namespace history {
class History;
}

namespace tool::ops {

// Said by every history command of a build that keeps none.
inline constexpr const char* kNoHistoryInBuild = "history is not in this build of typedata";

class PastValues {
 public:
  // The reader of the session's tree's history: kNotFound when the tree
  // has none, kUsage in a build without history.
  static Result<std::unique_ptr<PastValues>> Open(Session& session);
  ~PastValues();
  PastValues(const PastValues&) = delete;
  PastValues& operator=(const PastValues&) = delete;

  // The entry (its revision, in hex) a WHEN names: a revision, a release's
  // name, or a date and time (the last entry made at or before it).
  // kNotFound when none.
  Result<std::string> Resolve(const std::string& when) const;

  // typeNo's values as entry revision kept them. kNotFound when the entry's
  // catalogue has no such type (or the entry has no catalogue); kRefused
  // when its files cannot be read by the service.
  Result<TypeValues> Load(const std::string& revision, int typeNo);

  // The bytes of a file (its path from the root: "type/0001/TOOL0001.DAT")
  // as entry revision kept it; kNotFound when it kept none.
  Result<std::string> FileAt(const std::string& revision, const std::string& path) const;

  // The history read (for the entries themselves; null without history).
  std::shared_ptr<history::History> history() const;

 private:
  struct State;
  PastValues(Session& session, std::unique_ptr<State> state);
  Session& session_;
  std::unique_ptr<State> state_;
};

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_PAST_VALUES_H
