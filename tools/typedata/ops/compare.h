// compare: several types side by side, every item their configs describe.
#ifndef TOOLS_TYPEDATA_OPS_COMPARE_H
#define TOOLS_TYPEDATA_OPS_COMPARE_H

#include <string>
#include <vector>

#include "core/refusal.h"
#include "ops/models.h"
#include "core/session.h"

namespace tool::ops {

struct CompareRequest {
  std::vector<int> numbers;     // the first is the one the others are held against
  std::string config;           // one config's prefix, "" for all
  bool onlyDifferences = true;  // keep only the rows whose values differ
};

// Refused for a number that names no type, or a type that cannot be loaded.
Result<CompareModel> Compare(const Session& session, const CompareRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_COMPARE_H
