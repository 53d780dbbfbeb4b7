// export: a type's values, for the command line to write as JSON or CSV.
#ifndef TOOLS_TYPEDATA_OPS_EXPORT_H
#define TOOLS_TYPEDATA_OPS_EXPORT_H

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct ExportRequest {
  int number = 0;
};

// The type's values as loaded, or a refusal (no such type, a type that
// cannot be loaded).
Result<ExportModel> Export(const Session& session, const ExportRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_EXPORT_H
