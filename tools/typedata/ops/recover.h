// recover: a catalogue written anew from the type folders found, for a
// tree whose catalogue was lost.
#ifndef TOOLS_TYPEDATA_OPS_RECOVER_H
#define TOOLS_TYPEDATA_OPS_RECOVER_H

#include <string>

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct RecoverRequest {
  std::string namesFile;  // as given, for messages; "" for none
  std::string namesText;  // its text: "NUMBER,NAME" lines
};

// session: a changing session, with or without a catalogue. Refused where
// a catalogue exists or no type folder holds files.
Result<RecoverModel> Recover(Session& session, const RecoverRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_RECOVER_H
