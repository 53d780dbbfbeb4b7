// set: items of one config of a type given new values, saved with the
// types that share the config.
#ifndef TOOLS_TYPEDATA_OPS_SET_H
#define TOOLS_TYPEDATA_OPS_SET_H

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/refusal.h"
#include "core/revision.h"
#include "core/session.h"
#include "ops/models.h"
#include "ops/save_values.h"

namespace tool::ops {

struct SetRequest {
  int number = 0;
  std::string prefix;                    // the config
  std::vector<std::string> assignments;  // KIND:ITEM=VALUE
  bool strict = false;                   // refuse values that would be stored rounded
  // Refused unless the files are as they were read: expect is a revision
  // show gave (the type's, or the config's file's); seen the revision of
  // each file a page read, by file. Neither: saved whatever they hold.
  std::string expect{};
  std::map<std::string, std::string> seen{};
  const RevisionMemory* memory = nullptr;  // the values read, where kept, to say what changed
};

// What set did: the changes (model.changes says which were rounded) and
// the files saved, or when the save failed what became of it.
struct SetOutcome {
  SetModel model;
  std::vector<std::string> notes;  // values stored rounded
  std::optional<SaveFailure> failure;
  std::optional<RevisionConflict> conflict;  // nothing saved: the files changed since they were read
};

// Refused before anything is written; a save that fails is an outcome.
Result<SetOutcome> Set(Session& session, const SetRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_SET_H
