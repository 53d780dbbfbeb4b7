// log: the history's entries newest first, each with its value changes
// old -> new, read through the service (ops/past_values) before and after
// each entry.
#ifndef TOOLS_TYPEDATA_OPS_LOG_H
#define TOOLS_TYPEDATA_OPS_LOG_H

#include <optional>
#include <string>
#include <vector>

#include "core/refusal.h"
#include "core/session.h"
#include "core/values.h"

namespace tool {

// One value an entry changed, as the data file stores it (rounded as
// stored); none where the type, config or item was not there.
struct LogChange {
  int type = 0;
  std::string config;
  char kind = 0;
  int item = 0;
  std::optional<std::string> oldValue;
  std::optional<std::string> newValue;
};

struct LogEntry {
  std::string revision;  // hex
  std::string time;      // ISO 8601, UTC
  std::string user;
  std::string station;
  std::string command;
  std::string reason;
  std::string checkedBy;
  bool outside = false;
  bool interrupted = false;
  std::vector<LogChange> changes;
};

struct LogModel {
  int type = -1;      // the type asked for, -1 for all
  std::string since;  // the WHEN given, and the entry it named ("" for none)
  std::string sinceRevision;
  std::string until;
  std::string untilRevision;
  std::vector<LogEntry> entries;  // newest first
};

namespace ops {

struct LogRequest {
  int type = -1;       // -1: every type
  std::string config;  // a config's prefix, "" for all
  std::string item;    // "K:N" (D:1), "" for all
  std::string since;   // a WHEN: only entries after the one it names
  std::string until;   // a WHEN: only entries up to the one it names
  std::string user;    // only this user's entries
};

// Refused (usage) for an item not of the form K:N; kNotFound for a tree
// without history and for a since or until that names no entry (a date
// before the first entry, given as since, means from the beginning).
Result<LogModel> Log(Session& session, const LogRequest& request);

}  // namespace ops
}  // namespace tool

#endif  // TOOLS_TYPEDATA_OPS_LOG_H
