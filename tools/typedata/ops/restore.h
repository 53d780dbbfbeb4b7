// restore: a type's values (every config's, one config's or one item's)
// brought back as an entry of the tree's history kept them, through the
// service as set saves them: a shared config pushed to the types that
// share it, --strict and the controller's rounding as for set. Only the
// values that differ are changed; the change is one entry of its own, so a
// restore is undone by another.
#ifndef TOOLS_TYPEDATA_OPS_RESTORE_H
#define TOOLS_TYPEDATA_OPS_RESTORE_H

#include <optional>
#include <string>
#include <vector>

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"
#include "ops/save_values.h"

namespace tool::ops {

struct RestoreRequest {
  int number = 0;
  std::string at;       // WHEN: a revision, a release's name, a date and time
  std::string config;   // "" for every config
  std::string item;     // "" for every item, else KIND:N (needs config)
  bool strict = false;  // refuse values that would be stored rounded
};

struct RestoreOutcome {
  RestoreModel model;
  std::vector<std::string> notes;  // values stored rounded
  std::optional<SaveFailure> failure;
};

// Refused before anything is written: a tree without history, a WHEN that
// names no entry, a type absent then or now, a config or item it did not
// or does not have. A save that fails is an outcome.
Result<RestoreOutcome> Restore(Session& session, const RestoreRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_RESTORE_H
