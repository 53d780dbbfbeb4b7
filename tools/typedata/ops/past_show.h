// show and diff of the past: a type's values as an entry of the history
// kept them (ops/past_values), presented as today's.
#ifndef TOOLS_TYPEDATA_OPS_PAST_SHOW_H
#define TOOLS_TYPEDATA_OPS_PAST_SHOW_H

#include <string>

#include "core/refusal.h"
#include "core/session.h"
#include "core/values.h"
#include "ops/models.h"
#include "ops/show.h"

namespace tool::ops {

// A show model and the entry it was read at.
struct PastShow {
  ShowModel shown;
  std::string revision;
};

// show TYPE --at WHEN: kNotFound when WHEN names no entry or the entry had
// no such type.
Result<PastShow> ShowAt(Session& session, const ShowRequest& request, const std::string& when);

// One side of a diff: a type, now ("" ) or at a WHEN.
struct DiffSide {
  int number = 0;
  std::string when;
};

struct PastDiff {
  DiffModel diff;
  std::string firstRevision;  // "" for now
  std::string secondRevision;
};

// diff TYPE@WHEN TYPE@WHEN, either side now. Refused as diff's are (usage).
Result<PastDiff> DiffAt(Session& session, const DiffSide& first, const DiffSide& second);

// The values that differ between two loadings of types, matched by config
// prefix, kind and item number; described items only. A side that lacks
// the config or item holds none (an empty item, marked by present false).
struct ValueChange {
  std::string config;
  char kind = 0;
  int item = 0;
  const ItemValue* before = nullptr;  // null: not there
  const ItemValue* after = nullptr;
};
std::vector<ValueChange> ChangedValues(const TypeValues* before, const TypeValues* after);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_PAST_SHOW_H
