// init: a new catalogue with type 0 and the defaults of every config.
#ifndef TOOLS_TYPEDATA_OPS_INIT_H
#define TOOLS_TYPEDATA_OPS_INIT_H

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct InitRequest {
  bool force = false;  // replace a catalogue, or start anew beside type folders
};

// session: a changing session opened with its type folder made. Refused
// where a catalogue or type folders exist (unless forced).
Result<InitModel> Init(Session& session, const InitRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_INIT_H
