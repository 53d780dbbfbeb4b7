// use: a type loaded and made current, and downloaded to the controller
// unless asked not to.
#ifndef TOOLS_TYPEDATA_OPS_USE_H
#define TOOLS_TYPEDATA_OPS_USE_H

#include "core/progress.h"
#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct UseRequest {
  int number = 0;
  bool download = true;
};

// Refused for a number that names no type and for a type whose files the
// service would not load (the current type then stays). A download that
// did not end is no refusal: the model says so (report.downloaded).
// progress (may be null) is told the download's steps.
Result<UseModel> Use(Session& session, const UseRequest& request, Progress* progress);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_USE_H
